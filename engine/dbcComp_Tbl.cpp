#include "engine/dbcComp_Tbl.h"

namespace dbc {

TTblData::TTblData(TCustomObjs* objs) : TDbObj(objs) { SetObjType(dboTable); }

TFldData& TTblData::AddFld(std::string name) {
    auto column = std::make_unique<TFldData>(Objs());
    column->SetObjName(name);
    column->OwnName = ObjName();
    column->OwnObj = this;
    column->Position = static_cast<std::uint32_t>(Flds.size());
    TFldData& result = *column;
    Flds.add(std::move(name), std::move(column));
    return result;
}

TFldData* TTblData::FindFld(std::string_view name) const { return Flds.objectOf(name); }

void TTblData::SetUpdFldPos(bool value) {
    updFldPos_ = value;
    if (auto* counterpart = dynamic_cast<TTblData*>(RefObj()))
        counterpart->updFldPos_ = true;
}

} // namespace dbc
