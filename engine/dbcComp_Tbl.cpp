#include "engine/dbcComp_Tbl.h"

namespace dbc {

TTblData::TTblData(TCustomObjs* objs) : TDbObj(objs) { SetObjType(dboTable); }

TFldData& TTblData::AddFld(std::string name) {
    return AddOwnedField(*this, Flds, std::move(name));
}

TFldData* TTblData::FindFld(std::string_view name) const { return Flds.objectOf(name); }

void TTblData::SetUpdFldPos(bool value) {
    updFldPos_ = value;
    if (auto* counterpart = dynamic_cast<TTblData*>(RefObj()))
        counterpart->updFldPos_ = true;
}

} // namespace dbc
