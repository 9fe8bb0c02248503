#pragma once

// Internal to the Firebird access layer: the client library's entry points as resolved at run
// time, and the status-vector check every call goes through. Only the layer's own sources
// include this header; callers see the Fb* classes only.

#include <ibase.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform::fbapi {

// Pointers to the ISC functions of one loaded client library. The types come from <ibase.h>
// so a mismatch between a call and the library's declaration is a compile error.
struct Api {
#define KV_FB_ENTRY_POINTS(X)                                                                      \
    X(isc_attach_database)                                                                         \
    X(isc_create_database)                                                                         \
    X(isc_detach_database)                                                                         \
    X(isc_drop_database)                                                                           \
    X(isc_database_info)                                                                           \
    X(isc_start_transaction)                                                                       \
    X(isc_commit_transaction)                                                                      \
    X(isc_rollback_transaction)                                                                    \
    X(isc_dsql_execute_immediate)                                                                  \
    X(isc_dsql_allocate_statement)                                                                 \
    X(isc_dsql_prepare)                                                                            \
    X(isc_dsql_describe)                                                                           \
    X(isc_dsql_describe_bind)                                                                      \
    X(isc_dsql_sql_info)                                                                           \
    X(isc_dsql_execute)                                                                            \
    X(isc_dsql_execute2)                                                                           \
    X(isc_dsql_fetch)                                                                              \
    X(isc_dsql_free_statement)                                                                     \
    X(isc_open_blob2)                                                                              \
    X(isc_create_blob2)                                                                            \
    X(isc_get_segment)                                                                             \
    X(isc_put_segment)                                                                             \
    X(isc_close_blob)                                                                              \
    X(isc_cancel_blob)                                                                             \
    X(fb_interpret)                                                                                \
    X(fb_sqlstate)                                                                                 \
    X(isc_sqlcode)

#define KV_FB_DECLARE(name) decltype(&::name) name = nullptr;
    KV_FB_ENTRY_POINTS(KV_FB_DECLARE)
#undef KV_FB_DECLARE
};

using Status = std::array<ISC_STATUS, ISC_STATUS_LENGTH>;

// Raises FbError with the server's full message, SQLCODE, SQLSTATE and GDS code when the
// status vector holds an error; does nothing otherwise.
void check(const Api& api, const Status& status);

// Whether the status vector holds an error at all.
inline bool failed(const Status& status) { return status[0] == 1 && status[1] != 0; }

// A parameter block (DPB, TPB, BPB): a version byte, then tagged items.
class ParameterBlock {
public:
    explicit ParameterBlock(char version) : bytes_(1, version) {}

    void add(char tag) { bytes_ += tag; }
    // A text item with a one-byte length; raises FbError when the text is longer than 255.
    void add(char tag, std::string_view text);
    // A little-endian integer item of four bytes.
    void add(char tag, std::int32_t value);

    const char* data() const { return bytes_.data(); }
    short size() const { return static_cast<short>(bytes_.size()); }

private:
    std::string bytes_;
};

// Reads an unsigned little-endian integer of 1 to 4 bytes, as the info calls return them.
std::uint32_t readInteger(const char* bytes, int length);

// Length argument for SQL texts in the ISC calls, which take an unsigned 16-bit length where 0
// means "up to the terminating NUL": longer texts are passed NUL-terminated. Raises FbError on
// a NUL inside the text, which the server would otherwise cut off silently.
unsigned short sqlLength(std::string_view sql);

} // namespace platform::fbapi
