#include "engine/dbcComp_Trg.h"

#include "engine/dbcComp_Tbl.h"
#include "engine/dbcComp_Viw.h"

namespace dbc {

namespace {

struct DdlEvent {
    std::string_view Text;
    int Bit;
};

// As the Firebird 3 catalogue numbers them; bits 13 and 14 hold the trigger kind.
constexpr DdlEvent kDdlEvents[] = {
    {"CREATE TABLE", 1}, {"ALTER TABLE", 2}, {"DROP TABLE", 3},
    {"CREATE PROCEDURE", 4}, {"ALTER PROCEDURE", 5}, {"DROP PROCEDURE", 6},
    {"CREATE FUNCTION", 7}, {"ALTER FUNCTION", 8}, {"DROP FUNCTION", 9},
    {"CREATE TRIGGER", 10}, {"ALTER TRIGGER", 11}, {"DROP TRIGGER", 12},
    {"CREATE EXCEPTION", 16}, {"ALTER EXCEPTION", 17}, {"DROP EXCEPTION", 18},
    {"CREATE VIEW", 19}, {"ALTER VIEW", 20}, {"DROP VIEW", 21},
    {"CREATE DOMAIN", 22}, {"ALTER DOMAIN", 23}, {"DROP DOMAIN", 24},
    {"CREATE ROLE", 25}, {"ALTER ROLE", 26}, {"DROP ROLE", 27},
    {"CREATE INDEX", 28}, {"ALTER INDEX", 29}, {"DROP INDEX", 30},
    {"CREATE SEQUENCE", 31}, {"ALTER SEQUENCE", 32}, {"DROP SEQUENCE", 33},
    {"CREATE USER", 34}, {"ALTER USER", 35}, {"DROP USER", 36},
    {"CREATE COLLATION", 37}, {"DROP COLLATION", 38}, {"ALTER CHARACTER SET", 39},
    {"CREATE PACKAGE", 40}, {"ALTER PACKAGE", 41}, {"DROP PACKAGE", 42},
    {"CREATE PACKAGE BODY", 43}, {"DROP PACKAGE BODY", 44},
    {"CREATE MAPPING", 45}, {"ALTER MAPPING", 46}, {"DROP MAPPING", 47},
};

std::string DdlTrgTypStr(std::int64_t typ) {
    std::string text = (typ & 1) ? "AFTER " : "BEFORE ";
    if ((typ | 1) == (TrgTypeDdlAny | 1))
        return text + "ANY DDL STATEMENT";
    bool first = true;
    for (const DdlEvent& event : kDdlEvents) {
        if (!((typ >> event.Bit) & 1))
            continue;
        if (!first)
            text += " OR ";
        text += event.Text;
        first = false;
    }
    return text;
}

} // namespace

int DdlTriggerEventBit(std::string_view event) {
    for (const DdlEvent& e : kDdlEvents)
        if (e.Text == event)
            return e.Bit;
    return -1;
}

TTrgData::TTrgData(TCustomObjs* objs) : TDbObj(objs) { SetObjType(dboTrigger); }

void TTrgData::SetOwnName(std::string name) {
    if (name != fOwnName_ || !fOwnObj_) {
        fOwnObj_ = nullptr;
        if (TCustomObjs* objs = Objs()) {
            if (TTblData* table = objs->GetTable(name))
                fOwnObj_ = table;
            else
                fOwnObj_ = objs->GetView(name);
        }
    }
    fOwnName_ = std::move(name);
}

std::string TTrgData::TrgTypStr() const {
    if (IsDdlTrigger())
        return DdlTrgTypStr(Typ);
    if (IsDatabaseTrigger())
        return "ON " + EventType + "\r\n";
    static constexpr std::string_view kActions[] = {"", "INSERT", "UPDATE", "DELETE"};
    std::string text = (Typ % 2 != 0) ? "BEFORE " : "AFTER ";
    // The actions are three 2-bit codes of the catalogue's type number.
    const std::int64_t codes = Typ + 1;
    text += kActions[(codes >> 1) & 3];
    for (int shift : {3, 5})
        if (int action = (codes >> shift) & 3)
            text += " OR " + std::string(kActions[action]);
    return text;
}

std::string TTrgData::Ib_HeaderDef() const {
    std::string text = "CREATE TRIGGER " + QuoteIdent(ObjName());
    text += IsDatabaseTrigger() ? "\r\n" : " FOR " + QuoteIdent(fOwnName_) + "\r\n";
    text += Active ? "ACTIVE " : "INACTIVE ";
    text += TrgTypStr();
    text += " POSITION " + std::to_string(Position) + " \r\n";
    return text;
}

std::string TTrgData::Def() const { return Ib_HeaderDef() + Body; }

std::string TTrgData::SourceDef() {
    if (SourceBody.empty())
        SourceBody = Body;
    return Ib_HeaderDef() + SourceBody;
}

std::string TTrgData::AlterDef() const { return "ALTER TRIGGER " + QuoteIdent(ObjName()) + "\r\n" + Body; }

std::string TTrgData::EmptyBody() { return " AS Declare variable I integer;\r\nBEGIN I = 0; END"; }

std::string TTrgData::EmptyDef() const { return Ib_HeaderDef() + EmptyBody(); }

void TTrgData::SetRestoreBody(bool value) {
    fRestoreBody_ = value;
    if (auto* counterpart = dynamic_cast<TTrgData*>(RefObj()))
        counterpart->fRestoreBody_ = value;
}

void TTrgData::AssignEmptyBody() {
    if (!GetObjCreated() || Body == EmptyBody())
        return;
    Body = EmptyBody();
    SetUseOfInactive();
    if (TCustomObjs* master = Objs() ? Objs()->GetObjsMaster() : nullptr)
        if (TTrgData* trigger = master->GetTrigger(ObjName()))
            trigger->SetRestoreBody(true);
    AddToScript(AlterDef(), stTrigger, ObjName(), dboTrigger, odbAlter);
}

} // namespace dbc
