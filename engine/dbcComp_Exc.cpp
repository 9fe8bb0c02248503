#include "engine/dbcComp_Exc.h"

namespace dbc {

TExcData::TExcData(TCustomObjs* objs) : TDbObj(objs) { SetObjType(dboException); }

} // namespace dbc
