#pragma once

#include "engine/dbcClasses.h"

namespace dbc {

enum TBefAftType : std::uint8_t { baUnknown, baBefore, baAfter, baResolve, baFor, baInsteadOf };
enum TInsUpdDelType : std::uint8_t { iudUnknown, iudInsert, iudUpdate, iudDelete, iudInsUpd, iudSelect };
using TInsUpdDelSet = EnumSet<TInsUpdDelType, 6>;

// A table or view trigger, or a database trigger (owner "DATABASE"). Like a procedure it can be
// given an empty body and have the real one restored later.
class TTrgData : public TDbObj {
public:
    explicit TTrgData(TCustomObjs* objs);
    std::string_view ClassName() const override { return "TTrgData"; }

    // The body as first rendered by SourceDef, and as the script created the trigger.
    std::string SourceBody;
    std::string CreateBody;
    bool Active = true;
    TBefAftType BefAft = baUnknown;
    TInsUpdDelSet InsUpdDel;
    int Position = 0;
    // The trigger type number as the catalogue stores it; the header is rendered from it.
    int Typ = 0;
    // CONNECT, DISCONNECT, TRANSACTION START, TRANSACTION COMMIT or TRANSACTION ROLLBACK.
    std::string EventType;

    const std::string& OwnName() const { return fOwnName_; }
    // Stores the owner name and looks the owner up as a table, else a view.
    void SetOwnName(std::string name);
    TDbObj* OwnObj() const { return fOwnObj_; }
    bool IsDatabaseTrigger() const { return fOwnName_ == "DATABASE"; }

    // "BEFORE INSERT OR UPDATE" and the like; "ON <event>" and a line break for a database trigger.
    std::string TrgTypStr() const;
    std::string Ib_HeaderDef() const;
    std::string Def() const override;
    std::string SourceDef() override;
    std::string AlterDef() const override;
    std::string DropDef() const override { return "DROP TRIGGER " + ObjFullName(); }
    static std::string EmptyBody();
    std::string EmptyDef() const;

    bool RestoreBody() const { return fRestoreBody_; }
    void SetRestoreBody(bool value);
    // Empties the body of a created trigger, makes its dependencies inactive, marks the master
    // trigger for restore and scripts the ALTER.
    void AssignEmptyBody();

private:
    std::string fOwnName_;
    TDbObj* fOwnObj_ = nullptr;
    bool fRestoreBody_ = false;
};

} // namespace dbc
