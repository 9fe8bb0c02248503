#include "engine/dbcComp_Pkg.h"

namespace dbc {

TPkgData::TPkgData(TCustomObjs* objs) : TDbObj(objs) { SetObjType(dboPackage); }

} // namespace dbc
