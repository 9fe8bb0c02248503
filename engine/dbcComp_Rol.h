#pragma once

#include "engine/dbcClasses.h"

#include <string>
#include <vector>

namespace dbc {

enum TUserType : std::uint8_t { usrRol, usrLgn, usrUsr };

// A role (on Firebird every TRolData is one), filed under "Role: " and its name.
class TRolData : public TDbObj {
public:
    explicit TRolData(TCustomObjs* objs);
    std::string_view ClassName() const override { return "TRolData"; }
    std::string GetObjKeyDef() const override;

    // The owner as the catalogue records it.
    std::string OwnName;
    TUserType UserType = usrRol;
};

// One granted privilege set: privileges on an object, or membership in a role (GntObjType
// dboRole), given to a user, role or database object. Filed and matched by its GRANT text.
class TGntData : public TDbObj {
public:
    explicit TGntData(TCustomObjs* objs);
    std::string_view ClassName() const override { return "TGntData"; }

    TGrantPrivilegeSet Privilege;
    std::string User;
    TDbObject GntUserType = dboUnknown;
    std::string GntObjName;
    TDbObject GntObjType = dboUnknown;
    // 1 for WITH GRANT OPTION (WITH ADMIN OPTION on a role membership).
    int Option = 0;
    // Columns the privileges are restricted to; empty for the whole object.
    std::vector<std::string> Flds;
    TCmpObjType CmpGrantType = coGrant;

    // " (c1, c2)" with quoted column names; empty without columns.
    std::string FldsSeq() const { return FldsText(true); }
    // The GRANT statement; a ready text in Body when no object kind is set.
    std::string Def() const override { return GrantText(true); }
    // The GRANT statement without any identifier quoting.
    std::string GetObjKeyDef() const override { return GrantText(false); }

private:
    std::string Q(std::string_view name, bool quote) const;
    std::string FldsText(bool quote) const;
    std::string PrivilegeList() const;
    std::string Grantee(bool quote) const;
    std::string GrantText(bool quote) const;
};

} // namespace dbc
