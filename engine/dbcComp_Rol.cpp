#include "engine/dbcComp_Rol.h"

namespace dbc {

TRolData::TRolData(TCustomObjs* objs) : TDbObj(objs) { SetObjType(dboRole); }

std::string TRolData::GetObjKeyDef() const {
    switch (UserType) {
    case usrLgn: return "Login: " + ObjName();
    case usrUsr: return "User: " + ObjName();
    case usrRol: break;
    }
    return "Role: " + ObjName();
}

TGntData::TGntData(TCustomObjs* objs) : TDbObj(objs) { SetObjType(dboGrant); }

std::string TGntData::Q(std::string_view name, bool quote) const {
    return quote ? QuoteIdent(name) : std::string(name);
}

std::string TGntData::FldsText(bool quote) const {
    if (Flds.empty())
        return {};
    std::string text = " (";
    for (std::size_t i = 0; i < Flds.size(); ++i) {
        if (i > 0)
            text += ", ";
        text += Q(Flds[i], quote);
    }
    return text + ")";
}

std::string TGntData::PrivilegeList() const {
    if (Privilege.Contains(gntAll))
        return "ALL";
    static const TGrantPrivilegeSet kTablePrivileges{gntInsert, gntUpdate, gntDelete, gntSelect,
                                                     gntReferences};
    std::vector<std::string_view> items;
    if (GntObjType == dboTable || GntObjType == dboView || GntObjType == dboUnknown) {
        if (Privilege == kTablePrivileges) {
            items.push_back("ALL");
        } else {
            static constexpr std::pair<TGrantPrivilege, std::string_view> kOrder[] = {
                {gntDelete, "DELETE"}, {gntInsert, "INSERT"}, {gntSelect, "SELECT"},
                {gntUpdate, "UPDATE"}, {gntReferences, "REFERENCES"}};
            for (auto [privilege, word] : kOrder)
                if (Privilege.Contains(privilege))
                    items.push_back(word);
        }
    }
    if (Privilege.Contains(gntConnect))
        items.push_back("CONNECT");
    if (Privilege.Contains(gntExecute))
        items.push_back("EXECUTE");
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += ", ";
        text += items[i];
    }
    return text;
}

std::string TGntData::Grantee(bool quote) const {
    std::string_view keyword;
    switch (GntUserType) {
    case dboProcedure: keyword = "PROCEDURE "; break;
    case dboTrigger: keyword = "TRIGGER "; break;
    case dboView: keyword = "VIEW "; break;
    case dboPackage: keyword = "PACKAGE "; break;
    default: break;
    }
    return std::string(keyword) + Q(User, quote);
}

std::string TGntData::GrantText(bool quote) const {
    if (GntObjType == dboRole)
        return "GRANT " + Q(GntObjName, quote) + " TO " + Q(User, quote) +
               (Option == 1 ? " WITH ADMIN OPTION" : "");
    if (GntObjType == dboUnknown && !Body.empty())
        return Body;
    std::string text = "GRANT " + PrivilegeList() + FldsText(quote);
    if (!GntObjName.empty()) {
        std::string_view keyword;
        switch (GntObjType) {
        case dboProcedure: keyword = "PROCEDURE "; break;
        case dboTable: keyword = "TABLE "; break;
        case dboPackage: keyword = "PACKAGE "; break;
        default: break;
        }
        text += " ON " + std::string(keyword) + Q(GntObjName, quote);
    }
    text += " TO " + Grantee(quote);
    if (Option == 1)
        text += " WITH GRANT OPTION";
    return text;
}

} // namespace dbc
