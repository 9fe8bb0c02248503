#include "engine/dbcDBStructure.h"

namespace dbc {

TDBStructure::TDBStructure() : TCustomDBStructure(std::make_unique<TObjs>()) {}

} // namespace dbc
