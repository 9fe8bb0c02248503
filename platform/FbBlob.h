#pragma once

// Internal to the Firebird access layer: whole-blob reads and writes.

#include "platform/FbApi.h"

#include <string>
#include <string_view>

namespace platform::fbapi {

// The whole content of a blob, read in segments.
std::string readBlob(const Api& api, isc_db_handle* database, isc_tr_handle* transaction,
                     ISC_QUAD id);

// A new blob holding the bytes, written in segments; valid in that transaction only.
ISC_QUAD writeBlob(const Api& api, isc_db_handle* database, isc_tr_handle* transaction,
                   std::string_view bytes);

} // namespace platform::fbapi
