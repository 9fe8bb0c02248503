#pragma once

#include "engine/dbcClasses.h"

#include <cstdint>
#include <string_view>

namespace dbc {

enum TBefAftType : std::uint8_t { baUnknown, baBefore, baAfter, baResolve, baFor, baInsteadOf };
enum TInsUpdDelType : std::uint8_t { iudUnknown, iudInsert, iudUpdate, iudDelete, iudInsUpd, iudSelect };
using TInsUpdDelSet = EnumSet<TInsUpdDelType, 6>;

// Kinds of Firebird trigger type numbers, in bits 13 and 14: DML triggers (0), database event
// triggers (8192 plus the event) and DDL triggers, whose type number sets bit 0 for AFTER and one
// bit per DDL event.
inline constexpr std::int64_t TrgTypeKindMask = 0x6000;
inline constexpr std::int64_t TrgTypeDatabase = 0x2000;
inline constexpr std::int64_t TrgTypeDdl = 0x4000;
// BEFORE ANY DDL STATEMENT.
inline constexpr std::int64_t TrgTypeDdlAny = 0x7FFFFFFFFFFFDFFE;
// The bit of a DDL event ("CREATE TABLE", "DROP PACKAGE BODY", ...) in the type number; -1 for
// a text that names none.
int DdlTriggerEventBit(std::string_view event);

// A table or view trigger, a database trigger or a DDL trigger (owner "DATABASE"). Like a procedure it can be
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
    // The trigger type number as the catalogue stores it (64 bits wide for DDL triggers); the
    // header is rendered from it.
    std::int64_t Typ = 0;
    // CONNECT, DISCONNECT, TRANSACTION START, TRANSACTION COMMIT or TRANSACTION ROLLBACK.
    std::string EventType;

    const std::string& OwnName() const { return fOwnName_; }
    // Stores the owner name and looks the owner up as a table, else a view.
    void SetOwnName(std::string name);
    TDbObj* OwnObj() const { return fOwnObj_; }
    bool IsDatabaseTrigger() const { return fOwnName_ == "DATABASE"; }
    bool IsDdlTrigger() const { return (Typ & TrgTypeKindMask) == TrgTypeDdl; }

    // "BEFORE INSERT OR UPDATE" and the like, "AFTER CREATE TABLE OR DROP TABLE" for a DDL
    // trigger; "ON <event>" and a line break for a database trigger.
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
