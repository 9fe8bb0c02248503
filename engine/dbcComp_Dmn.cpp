#include "engine/dbcComp_Dmn.h"

namespace dbc {

TDmnData::TDmnData(TCustomObjs* objs) : TDbObj(objs), fData_(std::make_unique<TFldData>(objs)) {
    SetObjType(dboDomain);
    fData_->OwnObj = this;
}

void TDmnData::SetObjName(std::string name) {
    fData_->SysName = name;
    fData_->OwnName = name;
    TDbObj::SetObjName(std::move(name));
}

} // namespace dbc
