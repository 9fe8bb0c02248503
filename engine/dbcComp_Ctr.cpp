#include "engine/dbcComp_Ctr.h"

namespace dbc {

namespace {

std::string_view ActionText(TUDAction action) {
    switch (action) {
    case udaRestrict: return "RESTRICT";
    case udaCascade: return "CASCADE";
    case udaDefault: return "SET DEFAULT";
    case udaNull: return "SET NULL";
    case udaNoAction: break;
    }
    return {};
}

} // namespace

TCtrData::TCtrData(TCustomObjs* objs) : TDbObj(objs) { SetObjType(dboConstraint); }

void TCtrData::SetCtType(TConstraintType type) {
    ctType_ = type;
    switch (type) {
    case ctPKey: SetObjType(dboPKey); break;
    case ctUnique: SetObjType(dboUnique); break;
    case ctFKey: SetObjType(dboFKey); break;
    case ctCheck: SetObjType(dboCheck); break;
    case ctDefault: SetObjType(dboDefault); break;
    case ctReferences: SetObjType(dboReferences); break;
    case ctKey:
    case ctNotNull: break;
    }
}

std::string TCtrData::GetCaption() const {
    if (!ObjName().empty())
        return ObjName();
    if (!SysName.empty())
        return SysName;
    return Def();
}

std::string TCtrData::GetObjKeyDef() const {
    return ObjName().empty() ? DefText(false) : TDbObj::GetObjKeyDef();
}

std::string TCtrData::Name(std::string_view name, bool quote) const {
    return quote ? QuoteIdent(name) : std::string(name);
}

std::string TCtrData::ColumnList(const ObjList<TFldData>& list, bool quote) const {
    std::string text;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i > 0)
            text += ", ";
        text += Name(list[i].text, quote);
    }
    return text;
}

std::string TCtrData::UsingIndexText(bool quote) const {
    if (UsingIndex.empty())
        return {};
    return std::string(UsingDescIndex ? "\r\nUSING DESC INDEX " : "\r\nUSING INDEX ") +
           Name(UsingIndex, quote);
}

std::string TCtrData::ConstraintText(bool quote) const {
    std::string text;
    if (!ObjName().empty())
        text = "CONSTRAINT " + Name(ObjName(), quote) + " ";
    switch (ctType_) {
    case ctPKey:
        return text + "PRIMARY KEY (" + ColumnList(Flds, quote) + ")" + UsingIndexText(quote);
    case ctUnique:
        return text + "UNIQUE (" + ColumnList(Flds, quote) + ")" + UsingIndexText(quote);
    case ctFKey: {
        text += "FOREIGN KEY (" + ColumnList(Flds, quote) + ") REFERENCES " + Name(RefTblName, quote);
        if (!RefFlds.empty())
            text += " (" + ColumnList(RefFlds, quote) + ")";
        // Databases of on-disk structure 8 and older know no referential actions.
        const int ods = Objs() ? Objs()->ODSMajorVersionOfTarget() : 0;
        if (ods == 0 || ods > 8) {
            if (OnUpdate != udaNoAction)
                text += " ON UPDATE " + std::string(ActionText(OnUpdate));
            if (OnDelete != udaNoAction)
                text += " ON DELETE " + std::string(ActionText(OnDelete));
        }
        return text + UsingIndexText(quote);
    }
    case ctCheck: return text + "CHECK" + Body;
    case ctKey:
    case ctDefault:
    case ctNotNull:
    case ctReferences: break;
    }
    return text;
}

std::string TCtrData::DefText(bool quote) const {
    return "ALTER TABLE " + Name(TblName, quote) + " ADD " + ConstraintText(quote);
}

} // namespace dbc
