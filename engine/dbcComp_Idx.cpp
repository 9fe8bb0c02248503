#include "engine/dbcComp_Idx.h"

namespace dbc {

TIdxData::TIdxData(TCustomObjs* objs) : TDbObj(objs) { SetObjType(dboIndex); }

} // namespace dbc
