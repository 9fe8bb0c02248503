#include "engine/dbcComp_Trg.h"

#include "engine/dbcComp_Tbl.h"
#include "engine/dbcComp_Viw.h"

namespace dbc {

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
    if (IsDatabaseTrigger())
        return "ON " + EventType + "\r\n";
    static constexpr std::string_view kActions[] = {"", "INSERT", "UPDATE", "DELETE"};
    std::string text = (Typ % 2 != 0) ? "BEFORE " : "AFTER ";
    // The actions are three 2-bit codes of the catalogue's type number.
    const int codes = Typ + 1;
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
