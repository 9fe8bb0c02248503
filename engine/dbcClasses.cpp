#include "engine/dbcClasses.h"

#include "engine/dbcCompColumn.h"
#include "engine/dbcComp_Ctr.h"
#include "engine/dbcComp_Dmn.h"
#include "engine/dbcComp_Exc.h"
#include "engine/dbcComp_Fnc.h"
#include "engine/dbcComp_Gnr.h"
#include "engine/dbcComp_Idx.h"
#include "engine/dbcComp_Pkg.h"
#include "engine/dbcComp_Prc.h"
#include "engine/dbcComp_Rol.h"
#include "engine/dbcComp_Tbl.h"
#include "engine/dbcComp_Trg.h"
#include "engine/dbcComp_Viw.h"
#include "engine/dbcIBParser.h"
#include "engine/dbcMsg.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <istream>
#include <iterator>
#include <stdexcept>

namespace dbc {

namespace {

template <class T>
T* As(TDbObj* obj) {
    return dynamic_cast<T*>(obj);
}
template <class T>
const T* As(const TDbObj* obj) {
    return dynamic_cast<const T*>(obj);
}

bool IsComputedColumn(const TDbObj* obj) {
    const auto* column = As<TFldData>(obj);
    return column && column->Computed();
}

// Whether a procedure's or trigger's body is its fixed empty body.
bool HasEmptyBody(const TDbObj* obj) {
    if (const auto* procedure = As<TPrcData>(obj))
        return procedure->Body == procedure->EmptyBody();
    if (As<TTrgData>(obj))
        return obj->Body == TTrgData::EmptyBody();
    return false;
}

// The owner name a column or parameter statement carries; empty for other objects.
std::string ColumnOwnerName(const TDbObj& obj) {
    const auto* column = As<TFldData>(&obj);
    return obj.ObjType() == dboField && column ? column->OwnName : std::string();
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TDbObj

TDbObj::TDbObj(TCustomObjs* objs) : objs_(objs) {}

TDbObj::~TDbObj() { SetRefObj(nullptr); }

void TDbObj::SetRefObj(TDbObj* obj) {
    // The link is kept symmetric, so that a freed object is never left as anyone's counterpart.
    if (refObj_)
        refObj_->refObj_ = nullptr;
    if (obj) {
        if (obj->refObj_)
            obj->refObj_->refObj_ = nullptr;
        obj->refObj_ = this;
    }
    refObj_ = obj;
}

TDatabaseType TDbObj::DatabaseType() const { return objs_ ? objs_->DatabaseType() : dbAbstract; }

const TIBServerOptions* TDbObj::IBServerOptions() const {
    return objs_ ? &objs_->IBServerOptions() : nullptr;
}

TCmpObjSetType TDbObj::CompareObjects() const {
    return objs_ ? objs_->CompareObjects : DefCmpObjSet;
}

TCustomSQLExec* TDbObj::SQLExec() const { return objs_ ? objs_->SQLExec() : nullptr; }

TUpdateDescriptionType TDbObj::UpdateDescriptionMode() const {
    if (DatabaseType() != dbInterBase)
        return udDescribe;
    return objs_->IBServerOptions().IBCompareOptions.UpdateDescriptionMode;
}

std::string TDbObj::db_prefix() const { return objs_ ? objs_->db_prefix() : std::string(); }

std::string TDbObj::ShortObjName() const {
    std::string prefix = db_prefix();
    if (!prefix.empty() && objName_.starts_with(prefix))
        return objName_.substr(prefix.size());
    return objName_;
}

std::string TDbObj::RefObjName() const {
    TCustomObjs* linked = objs_ ? objs_->LinkedObjs() : nullptr;
    return linked ? linked->db_prefix() + ShortObjName() : ShortObjName();
}

std::string TDbObj::ObjFullName() const { return QuoteIdent(objName_); }

bool TDbObj::UseInActive() const {
    return std::any_of(useIn_.begin(), useIn_.end(), [this](const auto& d) {
        return d->Active && d->Obj != this && d->Obj->GetObjCreated();
    });
}

bool TDbObj::UseOfActive() const {
    return std::any_of(useOf_.begin(), useOf_.end(), [this](const auto& d) {
        return d->Active && d->Obj != this && !d->Obj->GetObjCreated();
    });
}

void TDbObj::SetObjCreated(bool value) {
    objCreated_ = value;
    if (refObj_)
        refObj_->objCreated_ = value;
}

std::string TDbObj::GetCaption() const {
    std::string name = ShortObjName();
    if (!name.empty())
        return name;
    if (!SysName.empty())
        return SysName;
    return Def();
}

std::string TDbObj::GetObjKeyDef() const {
    // Both structures' prefixes are dropped whole, so objects of two prefixed databases meet
    // under the same key.
    return ShortObjName();
}

std::string TDbObj::CreateDef() const { return CompExclude ? std::string() : Def(); }

std::string TDbObj::DropDef() const {
    std::string text = "/* Drop: " + objName_ + " (" + std::string(ClassName()) + ") */\r\n";
    switch (objType_) {
    case dboFunction: return text + "DROP EXTERNAL FUNCTION " + ObjFullName();
    case dboException: return text + "DROP EXCEPTION " + ObjFullName();
    case dboIndex: return text + "DROP INDEX " + ObjFullName();
    case dboDomain: return text + "DROP DOMAIN " + ObjFullName();
    case dboField:
        return text + "ALTER TABLE " + QuoteIdent(ColumnOwnerName(*this)) + " DROP " + ObjFullName();
    default: return text;
    }
}

std::string TDbObj::SourceDef() { return SourceDefinition.empty() ? Def() : SourceDefinition; }

std::string TDbObj::GenComment(std::string_view comment) const {
    return "/* " + std::string(comment) + " */";
}

std::string TDbObj::QuoteIdent(std::string_view ident) const {
    if (!objs_)
        return std::string(ident);
    const TIBServerOptions& options = objs_->IBServerOptions();
    return Quote_Ident(ident, objs_->DatabaseType(), options.SQLServerVersion, options.SQLDialect);
}

std::string TDbObj::DescriptionDef() const {
    if (CompExclude || !CompareObjects().Contains(coDescription) || DatabaseType() != dbInterBase)
        return {};
    return DescriptionText(QuoteIdent(objName_), ScriptQuotedStr(Description));
}

// The Firebird description statement; q is the quoted name, l the description literal.
std::string TDbObj::DescriptionText(std::string_view q, std::string_view l) const {
    enum Kind { Domain, Table, View, Procedure, Trigger, Exception, Index, Function, Generator,
                Role, TableColumn, ViewColumn, Parameter, Other };
    Kind kind = Other;
    const auto* column = As<TFldData>(this);
    if (As<TDmnData>(this)) kind = Domain;
    else if (As<TTblData>(this)) kind = Table;
    else if (As<TViwData>(this)) kind = View;
    else if (As<TPrcData>(this)) kind = Procedure;
    else if (As<TTrgData>(this)) kind = Trigger;
    else if (As<TExcData>(this)) kind = Exception;
    else if (As<TIdxData>(this)) kind = Index;
    else if (As<TUdfData>(this)) kind = Function;
    else if (As<TGnrData>(this)) kind = Generator;
    else if (As<TRolData>(this)) kind = Role;
    else if (column && As<TTblData>(column->OwnObj)) kind = TableColumn;
    else if (column && As<TViwData>(column->OwnObj)) kind = ViewColumn;
    else if (column && As<TPrcData>(column->OwnObj)) kind = Parameter;

    const std::string name = ScriptQuotedStr(objName_);
    const std::string owner = column ? column->OwnName : std::string();
    const std::string ql(q);
    const std::string ll(l);
    const std::string qo = column ? QuoteIdent(owner) : std::string();

    switch (UpdateDescriptionMode()) {
    case udSysTables: {
        auto update = [&](std::string_view table, std::string_view key) {
            return "UPDATE " + std::string(table) + " SET RDB$DESCRIPTION = \r\n" + ll +
                   "\r\nWHERE " + std::string(key) + " = " + name;
        };
        switch (kind) {
        case Domain: return update("RDB$FIELDS", "RDB$FIELD_NAME");
        case Table:
        case View: return update("RDB$RELATIONS", "RDB$RELATION_NAME");
        case Procedure: return update("RDB$PROCEDURES", "RDB$PROCEDURE_NAME");
        case Trigger: return update("RDB$TRIGGERS", "RDB$TRIGGER_NAME");
        case Exception: return update("RDB$EXCEPTIONS", "RDB$EXCEPTION_NAME");
        case Index: return update("RDB$INDICES", "RDB$INDEX_NAME");
        case Function: return update("RDB$FUNCTIONS", "RDB$FUNCTION_NAME");
        case Generator: return update("RDB$GENERATORS", "RDB$GENERATOR_NAME");
        case Role: return update("RDB$ROLES", "RDB$ROLE_NAME");
        case TableColumn:
        case ViewColumn:
            return "UPDATE RDB$RELATION_FIELDS SET RDB$DESCRIPTION = \r\n" + ll +
                   "\r\nWHERE RDB$RELATION_NAME = " + ScriptQuotedStr(owner) +
                   " AND RDB$FIELD_NAME = " + name;
        case Parameter:
            return "UPDATE RDB$PROCEDURE_PARAMETERS SET RDB$DESCRIPTION = \r\n" + ll +
                   "\r\nWHERE RDB$PROCEDURE_NAME = " + ScriptQuotedStr(owner) +
                   " AND RDB$PARAMETER_NAME = " + name;
        case Other: return GenComment(Description);
        }
        break;
    }
    case udDescribe: {
        auto describe = [&](std::string_view what) { return "DESCRIBE " + std::string(what) + " " + ql + "\r\n" + ll; };
        switch (kind) {
        case Domain: return describe("DOMAIN");
        case Table: return describe("TABLE");
        case Procedure: return describe("PROCEDURE");
        case Trigger: return describe("TRIGGER");
        case Exception: return describe("EXCEPTION");
        case Index: return describe("INDEX");
        case Function: return describe("FUNCTION");
        case View: return describe("VIEW");
        case Generator: return describe("GENERATOR");
        case Role: return describe("ROLE");
        case TableColumn: return "DESCRIBE FIELD " + ql + " TABLE " + qo + "\r\n" + ll;
        case ViewColumn: return "DESCRIBE FIELD " + ql + " VIEW " + qo + "\r\n" + ll;
        case Parameter: return "DESCRIBE PARAMETER " + ql + " PROCEDURE " + qo + "\r\n" + ll;
        case Other: return {};
        }
        break;
    }
    case udComment: {
        auto comment = [&](std::string_view what) { return "COMMENT ON " + std::string(what) + " " + ql + " IS\r\n" + ll; };
        switch (kind) {
        case Domain: return comment("DOMAIN");
        case Table: return comment("TABLE");
        case View: return comment("VIEW");
        case Procedure: return comment("PROCEDURE");
        case Trigger: return comment("TRIGGER");
        case Function: return comment("EXTERNAL FUNCTION");
        case Exception: return comment("EXCEPTION");
        case Generator: return comment("GENERATOR");
        case Index: return comment("INDEX");
        case Role: return comment("ROLE");
        case TableColumn:
        case ViewColumn: return "COMMENT ON COLUMN " + qo + "." + ql + " IS\r\n" + ll;
        case Parameter: return "COMMENT ON PARAMETER " + qo + "." + ql + " IS\r\n" + ll;
        case Other: return {};
        }
        break;
    }
    }
    return {};
}

TStatement* TDbObj::AddToScript(std::string_view text, TStatType typ, std::string_view objName,
                                TDbObject objType, TDbOperation operation,
                                std::string_view ownName) const {
    TCustomSQLExec* exec = SQLExec();
    return exec ? exec->Add(text, typ, objName, objType, operation, ownName) : nullptr;
}

void TDbObj::AddDescriptionOf(const TDbObj& obj) const {
    if (TCustomSQLExec* exec = SQLExec())
        exec->AddDescription(obj);
}

void TDbObj::SetUseOfInactive() {
    for (auto& d : useOf_)
        d->Active = false;
}

void TDbObj::CreateDependDef() {
    DoBeforeCreate();
    if (!GetObjCreated()) {
        auto* procedure = As<TPrcData>(this);
        if (procedure) {
            AddToScript(CreateDef(), stProcedure, objName_, dboProcedure, odbCreate);
        } else if (auto* trigger = As<TTrgData>(this)) {
            AddToScript(CreateDef(), stTrigger, objName_, dboTrigger, odbCreate);
            trigger->CreateBody = Body;
            for (auto& d : useIn_)
                d->Active = false;
        } else {
            AddToScript(CreateDef(), stStatement, ObjFullName(), objType_, odbCreate,
                        ColumnOwnerName(*this));
            SetObjCreated(true);
        }
        if (CompareObjects().Contains(coDescription)) {
            if (As<TFldData>(this) && !Description.empty())
                AddDescriptionOf(*this);
            if (procedure) {
                if (!Description.empty())
                    AddDescriptionOf(*this);
                for (const auto* list : {&procedure->Params, &procedure->Returns})
                    for (const auto& entry : *list)
                        if (!entry.object->Description.empty())
                            AddDescriptionOf(*entry.object);
            }
        }
        SetObjCreated(true);
    }
    DoAfterCreate();
}

void TDbObj::LogBeforeCreate() const {
    if (!objs_)
        return;
    std::string line(ClassName());
    if (const auto* column = As<TFldData>(this))
        line += ": " + column->OwnName + " / " + objName_;
    else
        line += ": " + objName_;
    objs_->DoLogNextLine(line);
}

void TDbObj::DoBeforeCreate() {
    if (DebugLog)
        LogBeforeCreate();
    // A column's own table is not a dependency to create first.
    if (const auto* column = As<TFldData>(this))
        for (auto& d : useOf_)
            if (d->Obj->ObjName() == column->OwnName)
                d->Active = false;
    CreateDependencies();
}

// Creates, in list order, what this object uses and what is not there yet. Dependencies on
// domains, generators, exceptions and external functions are left alone: those kinds are
// created before tables.
void TDbObj::CreateDependencies() {
    auto* self = this;
    const auto* selfColumn = As<TFldData>(self);
    const bool selfIsTable = As<TTblData>(self) != nullptr;
    // By index: creating others only changes flags, never this list.
    for (std::size_t i = 0; i < useOf_.size(); ++i) {
        TDependObj& d = *useOf_[i];
        if (!d.Active)
            continue;
        TDbObj* used = d.Obj;

        if (auto* table = As<TTblData>(used); table && d.ObjField.empty()) {
            if (selfColumn && selfColumn->Computed()) {
                // A computed column needs its table, but without the table's computed columns,
                // unless it reads one of them itself.
                bool saved = table->SkipComputedDef();
                table->SetSkipComputedDef(true);
                for (const auto& u : useOf_) {
                    const auto* column = As<TFldData>(u->Obj);
                    if (column && column->Computed() && column->OwnName == table->ObjName()) {
                        table->SetSkipComputedDef(false);
                        break;
                    }
                }
                table->CreateDependDef();
                table->SetSkipComputedDef(saved);
            } else if (!selfIsTable || table->ObjName() != objName_) {
                table->CreateDependDef();
            }
            d.Active = false;
        }
        if (d.Active && !used->GetObjCreated()) {
            auto* column = As<TFldData>(used);
            if (column && As<TTblData>(column->OwnObj)) {
                if (!column->GetObjCreated())
                    column->CreateDependDef();
                d.Active = false;
            }
        }
        if (d.Active && !used->GetObjCreated() && As<TTrgData>(self) && As<TViwData>(used))
            used->CreateDependDef();
        if (d.Active && !used->GetObjCreated() && selfIsTable) {
            const auto* column = As<TFldData>(used);
            if (column && column->OwnName == objName_)
                d.Active = false;
        }
        if (d.Active) {
            auto* procedure = As<TPrcData>(used);
            TCustomObjs* target = objs_ ? objs_->GetObjsTarget() : nullptr;
            if (procedure && !procedure->GetObjCreated() &&
                !(target && target->GetProcedure(procedure->ObjName()))) {
                // Created with an empty body so that this object can refer to it; the real body
                // comes back with the procedure's own step.
                AddToScript(procedure->EmptyDef(), stProcedure, procedure->ObjName(), dboProcedure,
                            odbEmptyCreate);
                procedure->SetRestoreBody(true);
                procedure->SetObjCreated(true);
                d.Active = false;
            }
        }
        if (d.Active) {
            auto* view = As<TViwData>(used);
            if (view && !view->GetObjCreated()) {
                if (!(As<TViwData>(self) && view->ObjName() == objName_))
                    view->CreateDependDef();
                d.Active = false;
            }
        }
    }
}

void TDbObj::DropDependDef() {
    if (!GetObjCreated())
        return;
    // A table or generator the master still has is never dropped this way.
    if (TCustomObjs* master = objs_ ? objs_->GetObjsMaster() : nullptr) {
        if (As<TTblData>(this) && master->GetTable(objName_))
            return;
        if (As<TGnrData>(this) && master->GetGenerator(objName_))
            return;
    }
    DoBeforeDrop();
    if (GetObjCreated()) {
        if (auto* table = As<TTblData>(this))
            for (auto& entry : table->Flds)
                entry.object->SetObjCreated(false);
        if (auto* view = As<TViwData>(this))
            for (auto& entry : view->Flds)
                entry.object->SetObjCreated(false);
        std::string name = objName_;
        if (name.empty() && As<TCtrData>(this))
            name = SysName;
        AddToScript(DropDef(), stStatement, name, objType_, odbDrop, ColumnOwnerName(*this));
        SetObjCreated(false);
    }
    DoAfterDrop();
}

void TDbObj::DoBeforeDrop() { DropDependents(); }

// Drops, empties or marks, in list order, what uses this object.
void TDbObj::DropDependents() {
    const auto* selfColumn = As<TFldData>(this);
    const bool selfIsView = As<TViwData>(this) != nullptr;
    for (std::size_t i = 0; i < useIn_.size(); ++i) {
        TDependObj& d = *useIn_[i];
        TDbObj* user = d.Obj;
        // The owning table is not a user to drop.
        if (selfColumn && d.ObjName() == selfColumn->OwnName)
            d.Active = false;
        if (As<TViwData>(user) && user->GetObjCreated())
            d.Active = true;
        if (!user->GetObjCreated())
            d.Active = false;
        if (!d.Active)
            continue;

        if (auto* procedure = As<TPrcData>(user)) {
            if (!HasEmptyBody(procedure))
                procedure->AssignEmptyBody(true);
        } else if (selfIsView && IsComputedColumn(user)) {
            user->DropDependDef();
        } else if (As<TViwData>(user)) {
            user->DropDependDef();
            user->SetObjCreated(false);
        } else if (auto* trigger = As<TTrgData>(user)) {
            if (!HasEmptyBody(trigger)) {
                trigger->Body = TTrgData::EmptyBody();
                AddToScript(trigger->AlterDef(), stTrigger, trigger->ObjName(), dboTrigger, odbEmpty);
            }
        } else if (As<TGntData>(user)) {
            user->SetObjCreated(false);
        } else {
            continue;
        }
        d.Active = false;
    }
    if (auto* procedure = As<TPrcData>(this)) {
        if (!HasEmptyBody(procedure)) {
            Body = procedure->EmptyBody();
            SetUseOfInactive();
        }
        for (std::size_t i = 0; i < useIn_.size(); ++i) {
            TDependObj& d = *useIn_[i];
            if (d.Active && d.Obj->GetObjCreated() && !As<TFldData>(d.Obj)) {
                d.Obj->DropDependDef();
                d.Active = false;
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------
// TDependObj

TDependObj::TDependObj(TCustomObjs* objs, TDbObj& obj, int posY, int posX)
    : TDbObj(objs), Obj(&obj), PosX(posX), PosY(posY) {
    SetObjName(obj.ObjName());
    SetObjType(obj.ObjType());
}

std::string TDependObj::GetCaption() const {
    if (!ObjField.empty())
        return ObjName() + " (field: " + ObjField + ")";
    return Obj ? Obj->GetCaption() : ObjName();
}

// ---------------------------------------------------------------------------------------------
// TCustomObjs

namespace {

template <class T>
T* Lookup(const ObjList<T>& list, std::string_view key) {
    return list.objectOf(key);
}

// Files obj in list when it is a T; a refused duplicate is destroyed. False when obj is no T.
template <class T>
bool FileInto(ObjList<T>& list, std::unique_ptr<TDbObj>& obj, const std::string& key,
              TDbObj*& filed) {
    auto* typed = dynamic_cast<T*>(obj.get());
    if (!typed)
        return false;
    obj.release();
    filed = list.add(key, std::unique_ptr<T>(typed)) == ObjList<T>::npos ? nullptr : typed;
    return true;
}

// Calls fn on every object of the collection and on every object they own (columns,
// parameters, a domain's data, index and constraint columns, function arguments).
template <class Fn>
void ForEachObject(TCustomObjs& objs, Fn&& fn) {
    auto each = [&](auto& list) {
        for (auto& entry : list)
            if (entry.object)
                fn(*entry.object);
    };
    each(objs.Dmn);
    each(objs.Udf);
    each(objs.Trg);
    each(objs.Prc);
    each(objs.Tbl);
    each(objs.Exc);
    each(objs.Gnr);
    each(objs.Idx);
    each(objs.Viw);
    each(objs.Rol);
    each(objs.Gnt);
    each(objs.Ctr);
    each(objs.Pkg);
    for (auto& entry : objs.Dmn)
        fn(entry.object->Data());
    for (auto& entry : objs.Udf) {
        fn(entry.object->RtnFld());
        for (auto& argument : entry.object->PrmList)
            fn(*argument);
    }
    for (auto& entry : objs.Tbl)
        each(entry.object->Flds);
    for (auto& entry : objs.Viw)
        each(entry.object->Flds);
    for (auto& entry : objs.Prc) {
        each(entry.object->Params);
        each(entry.object->Returns);
    }
    for (auto& entry : objs.Idx)
        each(entry.object->Flds);
    for (auto& entry : objs.Ctr) {
        each(entry.object->Flds);
        each(entry.object->RefFlds);
    }
}

} // namespace

TCustomObjs::TCustomObjs()
    : Dmn(true), Udf(true), Trg(true), Prc(true), Tbl(true), Exc(true), Gnr(true), Idx(true),
      Viw(true), Rol(true), Gnt(true), Ctr(true), Pkg(true) {
    connectionOptions_.UserName = "SYSDBA";
    connectionOptions_.Password = "pelicanos";
}

TCustomObjs::~TCustomObjs() = default;

TDbObj* TCustomObjs::AddObj(std::unique_ptr<TDbObj> obj) {
    if (!obj)
        return nullptr;
    bool accept = true;
    if (TCustomExtract* extractor = dbStructure_ ? dbStructure_->Extractor() : nullptr)
        accept = extractor->AcceptObj(obj->ObjName(), obj->ObjType());
    if (OnAccept_Obj)
        OnAccept_Obj(*this, *obj, accept);
    if (!accept)
        return nullptr;
    if (databaseType_ == dbInterBase && ibServerOptions_.IBCompareOptions.IgnoreIBEObjects &&
        obj->ObjName().starts_with("IBE$"))
        return nullptr;

    const std::string key = obj->GetObjKeyDef();
    TDbObj* filed = nullptr;
    if (FileInto(Dmn, obj, key, filed) || FileInto(Udf, obj, key, filed) ||
        FileInto(Tbl, obj, key, filed) || FileInto(Viw, obj, key, filed) ||
        FileInto(Prc, obj, key, filed) || FileInto(Trg, obj, key, filed) ||
        FileInto(Idx, obj, key, filed) || FileInto(Gnr, obj, key, filed) ||
        FileInto(Ctr, obj, key, filed) || FileInto(Exc, obj, key, filed) ||
        FileInto(Gnt, obj, key, filed) || FileInto(Pkg, obj, key, filed) ||
        FileInto(Rol, obj, key, filed))
        return filed;
    ErrMsg("Unknown DbObject to add (" + std::string(obj->ClassName()) + ")");
    return nullptr;
}

TGntData* TCustomObjs::AddGrant(std::unique_ptr<TGntData> grant) {
    if (!grant)
        return nullptr;
    // A grant kept as its own text (a Firebird 3 DDL privilege) is filed by that text alone:
    // merging privileges into it would lose the text.
    auto readyText = [](const TGntData& g) { return g.GntObjType == dboUnknown && !g.Body.empty(); };
    for (auto& entry : Gnt) {
        TGntData& filed = *entry.object;
        if (readyText(*grant))
            break;
        if (readyText(filed))
            continue;
        if (filed.GntObjName != grant->GntObjName || filed.User != grant->User ||
            filed.Option != grant->Option)
            continue;
        if (filed.Flds.empty() && grant->Flds.empty()) {
            filed.Privilege |= grant->Privilege;
            return nullptr;
        }
        if (filed.Privilege == grant->Privilege && !filed.Flds.empty() && !grant->Flds.empty()) {
            for (const std::string& column : grant->Flds)
                if (std::find(filed.Flds.begin(), filed.Flds.end(), column) == filed.Flds.end())
                    filed.Flds.push_back(column);
            return nullptr;
        }
    }
    TGntData* raw = grant.get();
    std::string key = grant->GetObjKeyDef();
    return Gnt.add(std::move(key), std::move(grant)) == ObjList<TGntData>::npos ? nullptr : raw;
}

void TCustomObjs::SortGrants() {
    Gnt.setSorted(false);
    for (std::size_t i = 0; i < Gnt.size(); ++i)
        Gnt.setText(i, Gnt[i].object->GetObjKeyDef());
    Gnt.setSorted(true);
}

void TCustomObjs::LinkDepend(TDbObj* d1, TDbObj* d2, int posY, int posX, std::string_view fldName) {
    if (!d1 || !d2)
        return;
    if (!fldName.empty()) {
        if (auto* table = As<TTblData>(d2)) {
            if (TFldData* column = table->FindFld(fldName)) {
                d2 = column;
                fldName = {};
            }
        } else if (auto* view = As<TViwData>(d2)) {
            if (TFldData* column = view->FindFld(fldName)) {
                d2 = column;
                fldName = {};
            }
        } else if (auto* table1 = As<TTblData>(d1); table1 && (As<TCtrData>(d2) || As<TDmnData>(d2))) {
            // The table uses the constraint or domain, and so does its column.
            LinkDepend(d1, d2, posY, posX);
            if (TFldData* column = table1->FindFld(fldName)) {
                d1 = column;
                fldName = {};
            }
        } else if (As<TPrcData>(d2)) {
            fldName = {};
        }
    }
    for (const auto& d : d1->useOf_)
        if (d->Obj == d2 && d->ObjField == fldName)
            return;
    // A column that neither object has records nothing.
    if (!fldName.empty())
        return;
    d1->useOf_.push_back(std::make_unique<TDependObj>(this, *d2, posY, posX));
    d2->useIn_.push_back(std::make_unique<TDependObj>(this, *d1, posY, posX));
}

void TCustomObjs::RemoveDepend(const TDbObj* obj) {
    auto drop = [obj](DependList& list) {
        std::erase_if(list, [obj](const auto& d) { return d->Obj == obj; });
    };
    ForEachObject(*this, [&](TDbObj& o) {
        drop(o.useIn_);
        drop(o.useOf_);
    });
}

TDmnData* TCustomObjs::GetDomain(std::string_view name) const { return Lookup(Dmn, name); }
TTblData* TCustomObjs::GetTable(std::string_view name) const { return Lookup(Tbl, name); }
TViwData* TCustomObjs::GetView(std::string_view name) const { return Lookup(Viw, name); }
TPrcData* TCustomObjs::GetProcedure(std::string_view name) const { return Lookup(Prc, name); }
TTrgData* TCustomObjs::GetTrigger(std::string_view name) const { return Lookup(Trg, name); }
TGnrData* TCustomObjs::GetGenerator(std::string_view name) const { return Lookup(Gnr, name); }
TExcData* TCustomObjs::GetException(std::string_view name) const { return Lookup(Exc, name); }
TIdxData* TCustomObjs::GetIndex(std::string_view name) const { return Lookup(Idx, name); }
TUdfData* TCustomObjs::GetFunction(std::string_view name) const { return Lookup(Udf, name); }
TPkgData* TCustomObjs::GetPackage(std::string_view name) const { return Lookup(Pkg, name); }
TCtrData* TCustomObjs::GetConstraint(std::string_view key) const { return Lookup(Ctr, key); }

TFldData* TCustomObjs::GetTableField(std::string_view table, std::string_view field) const {
    TTblData* t = GetTable(table);
    return t ? t->FindFld(field) : nullptr;
}

TFldData* TCustomObjs::GetViewField(std::string_view view, std::string_view field) const {
    TViwData* v = GetView(view);
    return v ? v->FindFld(field) : nullptr;
}

TFldData* TCustomObjs::GetProcParam(std::string_view procedure, std::string_view param) const {
    TPrcData* p = GetProcedure(procedure);
    if (!p)
        return nullptr;
    if (TFldData* input = p->Params.objectOf(param))
        return input;
    return p->Returns.objectOf(param);
}

TRolData* TCustomObjs::GetRole(std::string_view name) const {
    for (const auto& entry : Rol)
        if (entry.object->ObjName() == name && entry.object->UserType == usrRol)
            return entry.object.get();
    return nullptr;
}

const TCustomObjs* TCustomObjs::ObjsInRole(TCompareRoleType role) const {
    if (compareRole_ == role)
        return this;
    if (linkedObjs_ && linkedObjs_->compareRole_ == role)
        return linkedObjs_;
    return nullptr;
}

TCustomObjs* TCustomObjs::GetObjsMaster() {
    return compareRole_ == crMasterRole ? this : linkedObjs_;
}

TCustomObjs* TCustomObjs::GetObjsTarget() {
    return compareRole_ == crTargetRole ? this : linkedObjs_;
}

int TCustomObjs::ODSMajorVersionOfTarget() const {
    const TCustomObjs* target = ObjsInRole(crTargetRole);
    return target ? target->ibServerOptions_.IBDatabaseOptions.ODSMajorVersion : 0;
}

std::string TCustomObjs::db_prefix() const {
    return dbStructure_ ? dbStructure_->db_prefix : std::string();
}

std::string TCustomObjs::DbConnectStr() const {
    return databaseType_ == dbInterBase ? ibServerOptions_.ConnectDatabaseDef(connectionOptions_)
                                        : std::string();
}

void TCustomObjs::DoLogNextLine(const std::string& text) {
    if (OnLogNextLine) {
        OnLogNextLine(*this, text);
        return;
    }
    TCustomExtract* extractor = dbStructure_ ? dbStructure_->Extractor() : nullptr;
    if (extractor && extractor->OnLogNextLine) {
        extractor->OnLogNextLine(*this, text);
        return;
    }
    if (sqlExec_ && sqlExec_->OnLogNextLine)
        sqlExec_->OnLogNextLine(*this, text);
}

void TCustomObjs::ErrMsg(const std::string& text) {
    if (TCustomExtract* extractor = dbStructure_ ? dbStructure_->Extractor() : nullptr)
        extractor->DoErrorMessage(text);
}

void TCustomObjs::Clear() {
    Ctr.clear();
    Idx.clear();
    Gnt.clear();
    Trg.clear();
    Viw.clear();
    Prc.clear();
    Tbl.clear();
    Udf.clear();
    Dmn.clear();
    Exc.clear();
    Gnr.clear();
    Pkg.clear();
    Rol.clear();
    ibServerOptions_.IBDatabaseOptions.Clear();
    TermString = ";";
    ExtractFrom = efUnknown;
    DBDescription.clear();
}

// ---------------------------------------------------------------------------------------------
// TCustomDBStructure and TCustomExtract

TCustomDBStructure::TCustomDBStructure(std::unique_ptr<TCustomObjs> objs) : objs_(std::move(objs)) {
    objs_->SetDBStructure(this);
}

TCustomDBStructure::~TCustomDBStructure() = default;

void TCustomDBStructure::Clear() {
    if (objs_)
        objs_->Clear();
    db_prefix.clear();
}

void TCustomDBStructure::notification(platform::Component& dying) {
    if (&dying == extractor_)
        extractor_ = nullptr;
}

TCustomExtract::~TCustomExtract() = default;

void TCustomExtract::SetDBStructure(TCustomDBStructure* value) {
    if (value == structure_)
        return;
    if (structure_) {
        if (structure_->Extractor() == this)
            structure_->SetExtractor(nullptr);
        removeFreeNotification(*structure_);
    }
    structure_ = value;
    if (structure_) {
        freeNotification(*structure_);
        structure_->SetExtractor(this);
    }
}

bool TCustomExtract::AcceptObj(const std::string&, TDbObject) { return true; }

void TCustomExtract::DoErrorMessage(const std::string& text) {
    if (OnErrorMessage)
        OnErrorMessage(*this, text);
    else
        ShowMessage(text);
    msgMngr_.AddMsg(text, mt_Err);
}

void TCustomExtract::notification(platform::Component& dying) {
    if (&dying == structure_)
        structure_ = nullptr;
}

// ---------------------------------------------------------------------------------------------
// TStatement and TCustomSQLExec

std::string TStatement::GetCaption() const {
    std::string caption;
    if (ObjType == dboField) {
        caption = OwnName + " (" + ObjName + "): alter";
    } else {
        std::string_view what;
        switch (Operation) {
        case odbCreate: what = ": create"; break;
        case odbAlter: what = ": alter"; break;
        case odbDrop: what = ": drop"; break;
        case odbEmpty: what = ": empty body"; break;
        case odbRestore: what = ": restore body"; break;
        case odbEmptyCreate: what = ": create empty"; break;
        case odbEmptyDrop: what = ": empty before drop"; break;
        case odbDescription: what = ": description"; break;
        case odbInsert: what = ": insert"; break;
        case odbUpdate: what = ": update"; break;
        case odbDelete: what = ": delete"; break;
        default: break;
        }
        caption = ObjName + std::string(what);
    }
    if (caption.empty() && !Text.empty())
        caption = Text.front();
    return caption;
}

TCustomSQLExec::TCustomSQLExec() = default;
TCustomSQLExec::~TCustomSQLExec() = default;

void TCustomSQLExec::DoLogNextLine(const std::string& text) {
    if (OnLogNextLine)
        OnLogNextLine(*this, text);
}

void TCustomSQLExec::DoProgressUpdate(int position, int maximum) {
    if (OnProgressUpdate)
        OnProgressUpdate(*this, position, maximum);
}

void TCustomSQLExec::DoErrorMessage(const std::string& text) {
    if (OnErrorMessage)
        OnErrorMessage(*this, text);
    else
        ShowMessage(text);
    ++Errors;
}

void TCustomSQLExec::DoMsgErr(const std::string& text, const TDbObj* obj) {
    DoErrorMessage(text);
    msgMngr_.AddMsg(text, mt_Err, obj);
}

void TCustomSQLExec::DoMsgWrn(const std::string& text, const TDbObj* obj) {
    DoLogNextLine("Warning: " + text);
    msgMngr_.AddMsg(text, mt_Wrn, obj);
}

void TCustomSQLExec::LoadFromFile(const std::string& fileName) {
    if (OnLoadScript) {
        std::vector<std::string> lines;
        bool loaded = true;
        OnLoadScript(*this, fileName, lines, loaded);
        ScriptFileName = fileName;
        if (loaded)
            LoadScript(lines);
        return;
    }
    ScriptFileName.clear();
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(fileName, ignored)) {
        DoErrorMessage("File not found: " + fileName);
        return;
    }
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
        DoErrorMessage("Cannot read file: " + fileName);
        return;
    }
    ScriptFileName = fileName;
    LoadFromStream(&in);
}

void TCustomSQLExec::LoadFromStream(std::istream* stream) {
    std::vector<std::string> lines;
    if (stream) {
        std::string text{std::istreambuf_iterator<char>(*stream), std::istreambuf_iterator<char>()};
        std::string_view view = text;
        if (view.starts_with("\xEF\xBB\xBF"))
            view.remove_prefix(3);
        lines = SplitLines(view);
    }
    LoadScript(lines);
}

void TCustomSQLExec::LoadScript(const std::vector<std::string>&) {}

TStatement* TCustomSQLExec::Add(std::string_view text, TStatType typ, std::string_view objName,
                                TDbObject objType, TDbOperation operation,
                                std::string_view ownName, std::string_view term) {
    if (text.empty() && typ != stComment)
        return nullptr;
    auto statement = std::make_unique<TStatement>(this);
    statement->Text = SplitLines(text);
    statement->Typ = typ;
    statement->ObjName = objName;
    statement->OwnName = ownName;
    statement->ObjType = objType;
    statement->Operation = operation;
    statement->Len = static_cast<std::int32_t>(statement->Text.size());
    if (!term.empty())
        statement->Term = term;
    else if (typ != stComment)
        statement->Term = GenScriptTerm(DatabaseType);

    bool accept = true;
    if (OnStatementAdd)
        OnStatementAdd(*this, *statement, accept);
    if (!accept)
        return nullptr;

    line_ += statement->Len + 1;
    switch (typ) {
    case stStatement:
    case stProcedure:
    case stTrigger:
    case stDescription:
    case stInsert:
    case stUpdate:
    case stDelete: isUpdate_ = true; break;
    default: break;
    }
    statements_.push_back(std::move(statement));
    return statements_.back().get();
}

TStatement* TCustomSQLExec::AddDescription(const TDbObj& obj) {
    std::string owner;
    if (obj.ObjType() == dboField || obj.ObjType() == dboParam) {
        const auto* column = As<TFldData>(&obj);
        if (column && (As<TTblData>(column->OwnObj) || As<TViwData>(column->OwnObj) ||
                       As<TPrcData>(column->OwnObj)))
            owner = column->OwnName;
    }
    TStatement* statement =
        Add(obj.DescriptionDef(), stDescription, obj.ObjName(), obj.ObjType(), odbDescription, owner);
    if (statement)
        statement->Description = obj.Description;
    return statement;
}

void TCustomSQLExec::Clear() {
    statements_.clear();
    line_ = 0;
    isUpdate_ = false;
}

void TCustomSQLExec::Delete(std::size_t index) {
    if (index >= statements_.size())
        throw std::out_of_range("TCustomSQLExec::Delete: no statement " + std::to_string(index));
    statements_.erase(statements_.begin() + static_cast<std::ptrdiff_t>(index));
}

bool TCustomSQLExec::ExecuteScript() {
    Errors = 0;
    return true;
}

std::ptrdiff_t TCustomSQLExec::IndexOf(const TStatement* statement) const {
    for (std::size_t i = 0; i < statements_.size(); ++i)
        if (statements_[i].get() == statement)
            return static_cast<std::ptrdiff_t>(i);
    return -1;
}

void TCustomSQLExec::SelectAll(bool select) {
    for (auto& statement : statements_)
        statement->Select = select;
}

// ---------------------------------------------------------------------------------------------
// Free routines

std::string Quote_Ident(std::string_view ident, TDatabaseType databaseType,
                        TIBSQLServerVersionType serverVersion, int sqlDialect) {
    if (databaseType != dbInterBase)
        return std::string(ident);
    return QuoteIdent(ident, serverVersion, sqlDialect);
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(pos));
            break;
        }
        lines.emplace_back(text.substr(pos, end - pos));
        pos = end + 1;
        if (text[end] == '\r' && pos < text.size() && text[pos] == '\n')
            ++pos;
    }
    return lines;
}

std::string_view TrimText(std::string_view text) {
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace dbc
