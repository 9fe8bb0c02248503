#include "engine/dbcComp_Viw.h"

namespace dbc {

TViwData::TViwData(TCustomObjs* objs) : TDbObj(objs) { SetObjType(dboView); }

TFldData& TViwData::AddFld(std::string name) {
    return AddOwnedField(*this, Flds, std::move(name));
}

TFldData* TViwData::FindFld(std::string_view name) const { return Flds.objectOf(name); }

std::string TViwData::GetFlds() const {
    if (Flds.empty())
        return {};
    std::string text = "(";
    for (std::size_t i = 0; i < Flds.size(); ++i) {
        text += "\r\n" + QuoteIdent(Flds[i].text);
        if (i + 1 < Flds.size())
            text += ",";
    }
    return text + ")";
}

std::string TViwData::Def() const {
    return "CREATE VIEW " + ObjFullName() + GetFlds() + "\r\n AS \r\n" + Body;
}

std::string TViwData::DropDef() const {
    return CompExclude ? std::string() : "DROP VIEW " + ObjFullName();
}

void TViwData::SetReCreate(bool value) {
    fReCreate_ = value;
    if (auto* counterpart = dynamic_cast<TViwData*>(RefObj()); counterpart && counterpart->fReCreate_ != value)
        counterpart->fReCreate_ = value;
}

} // namespace dbc
