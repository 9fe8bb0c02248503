#include "engine/dbcComp_Fnc.h"

namespace dbc {

TUdfData::TUdfData(TCustomObjs* objs) : TDbObj(objs), rtnFld_(std::make_unique<TFldData>(objs)) {
    SetObjType(dboFunction);
    rtnFld_->OwnObj = this;
}

TFldData& TUdfData::AddPrm() {
    auto argument = std::make_unique<TFldData>(Objs());
    argument->OwnName = ObjName();
    argument->OwnObj = this;
    argument->Position = static_cast<std::uint32_t>(PrmList.size());
    PrmList.push_back(std::move(argument));
    return *PrmList.back();
}

} // namespace dbc
