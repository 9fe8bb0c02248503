// The SQL layer of the parser framework: comments, the terminator, the || operator, the
// query-context stack and the generic dependency passes.

#include "engine/dbcParser.h"

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

#include <algorithm>

namespace dbc {

TCustomSQLParser::TCustomSQLParser(TCustomExtract* extractor) : TCustomParser(extractor) {}

TCustomSQLParser::~TCustomSQLParser() = default;

void TCustomSQLParser::ParseScript(const std::vector<std::string>& lines, TCustomObjs* objs) {
    TCustomParser::ParseScript(lines, objs);
    if (Objs())
        Objs()->ConnectionOptions() = connectionOptions_;
}

bool TCustomSQLParser::SkipText() {
    const char32_t next = CurCh();
    if ((Ch() == '-' && next == '-') || (Ch() == '/' && next == '*')) {
        SkipComment();
        return true;
    }
    return TCustomParser::SkipText();
}

void TCustomSQLParser::SkipComment() {
    comment_.clear();
    const bool block = Ch() == '/';
    GetChar();
    GetChar();
    const std::size_t start = ChIx();
    if (block) {
        while (!AtEndOfText() && !(Ch() == '*' && CurCh() == '/'))
            GetChar();
        comment_ = CopyTxt(start, ChIx() - start);
        if (!AtEndOfText()) {
            GetChar();
            GetChar();
        }
    } else {
        while (!AtEndOfText() && Ch() != '\n')
            GetChar();
        comment_ = CopyTxt(start, ChIx() - start);
    }
    if (DebugLogOptions.Contains(dlComment))
        DoDbgMsg("Comment: " + comment_);
}

void TCustomSQLParser::DoGetSy() {
    if (CheckTermStr())
        return;
    if (Ch() == '|' && CurCh() == '|') {
        SetSy(sy_Concat);
        GetChar();
        GetChar();
        return;
    }
    TCustomParser::DoGetSy();
}

void TCustomSQLParser::SkipStatement(const TSymSet& stop) {
    while (Sy() != sy_EOF && !stop.Contains(Sy()))
        GetSy();
}

std::string TCustomSQLParser::CopyTxtFrom(std::size_t pos) const {
    const std::size_t end = std::max(SyBegPos(), pos);
    return std::string(TrimText(CopyTxt(pos, end - pos)));
}

TSelectContext& TCustomSQLParser::PushSelectContext() {
    selectCtx_.push_back(std::make_unique<TSelectContext>());
    return *selectCtx_.back();
}

void TCustomSQLParser::PopSelectContext() {
    if (!selectCtx_.empty())
        selectCtx_.pop_back();
}

TDbObj* TCustomSQLParser::FindObj(std::string_view name, TDbObjectSet kinds) const {
    TCustomObjs* objs = Objs();
    if (!objs)
        return nullptr;
    TDbObj* found = nullptr;
    auto tryKind = [&](TDbObject kind, auto lookup) {
        if (!found && kinds.Contains(kind))
            found = lookup();
    };
    tryKind(dboTable, [&] { return static_cast<TDbObj*>(objs->GetTable(name)); });
    tryKind(dboView, [&] { return static_cast<TDbObj*>(objs->GetView(name)); });
    tryKind(dboProcedure, [&] { return static_cast<TDbObj*>(objs->GetProcedure(name)); });
    tryKind(dboTrigger, [&] { return static_cast<TDbObj*>(objs->GetTrigger(name)); });
    tryKind(dboGenerator, [&] { return static_cast<TDbObj*>(objs->GetGenerator(name)); });
    tryKind(dboIndex, [&] { return static_cast<TDbObj*>(objs->GetIndex(name)); });
    tryKind(dboException, [&] { return static_cast<TDbObj*>(objs->GetException(name)); });
    tryKind(dboDomain, [&] { return static_cast<TDbObj*>(objs->GetDomain(name)); });
    tryKind(dboFunction, [&] { return static_cast<TDbObj*>(objs->GetFunction(name)); });
    return found;
}

void TCustomSQLParser::LinkDepend(TDbObj* dependent, TDbObj* obj, std::string_view fieldName) {
    TCustomObjs* objs = Objs();
    // An object never depends on itself (a procedure selecting from itself, for one).
    if (!objs || !dependent || !obj || dependent == obj)
        return;
    objs->LinkDepend(dependent, obj, GetPosY(), GetPosX(), fieldName);
    // A view reading a column of a table also relies on the domains of that table's columns.
    auto* view = dynamic_cast<TViwData*>(dependent);
    auto* table = dynamic_cast<TTblData*>(obj);
    if (!view || !table || fieldName.empty())
        return;
    for (const auto& entry : table->Flds) {
        const TFldData& column = *entry.object;
        if (column.FieldType == iftDomain)
            if (TDmnData* domain = objs->GetDomain(column.DomainName))
                objs->LinkDepend(view, domain, GetPosY(), GetPosX());
    }
}

void TCustomSQLParser::LinkDepend(TDbObj* dependent, std::string_view name, TDbObjectSet kinds) {
    if (!Objs())
        return;
    if (!dependent) {
        ErrMsg("\"Dependent\" db-object not assigned. (TCustomParser.LinkDepend(...))");
        return;
    }
    // System objects are no dependencies.
    if (DatabaseType() == dbInterBase && UpperText(name.substr(0, 4)) == "RDB$")
        return;
    if (kinds.Contains(dependent->ObjType()) && dependent->ObjName() == name)
        kinds.Exclude(dependent->ObjType());
    LinkDepend(dependent, FindObj(name, kinds));
}

TDbObj* TCustomSQLParser::ResolveQualifier(std::string_view qualifier) const {
    std::string table;
    for (std::size_t level = selectCtx_.size(); level-- > 0 && table.empty();) {
        const TSelectContext& ctx = *selectCtx_[level];
        for (const auto* names : {&ctx.SelectAliases, &ctx.SelectTables}) {
            auto it = std::find(names->begin(), names->end(), qualifier);
            if (it != names->end()) {
                table = ctx.SelectTables[static_cast<std::size_t>(it - names->begin())];
                break;
            }
        }
    }
    return table.empty() ? nullptr : FindObj(table, {dboTable, dboView, dboProcedure});
}

void TCustomSQLParser::AddLinkDepend(TDbObj* dependent, std::string_view qualifier,
                                     std::string_view fieldName) {
    TCustomObjs* objs = Objs();
    if (!objs)
        return;
    const TSelectContext* top = selectCtx_.empty() ? nullptr : selectCtx_.back().get();
    if (!top || (top->SecondPass && top->SelectTables.empty())) {
        // Outside any query a bare name can only be a generator.
        const bool local = std::find(LocalVariables.begin(), LocalVariables.end(), fieldName) !=
                           LocalVariables.end();
        if (!local)
            LinkDepend(dependent, fieldName, TDbObjectSet{dboGenerator});
        return;
    }
    if (!top->SecondPass || fieldName.empty())
        return;

    if (!qualifier.empty()) {
        TDbObj* obj = ResolveQualifier(qualifier);
        LinkDepend(dependent, obj, fieldName == "*" ? std::string_view() : fieldName);
        return;
    }
    if (fieldName == "*") {
        for (const std::string& name : top->SelectTables)
            LinkDepend(dependent, FindObj(name, {dboTable, dboView, dboProcedure}));
        return;
    }
    auto hasColumn = [&](TDbObj* obj) {
        if (auto* table = dynamic_cast<TTblData*>(obj))
            return table->FindFld(fieldName) != nullptr;
        if (auto* view = dynamic_cast<TViwData*>(obj))
            return view->FindFld(fieldName) != nullptr;
        if (auto* procedure = dynamic_cast<TPrcData*>(obj))
            return procedure->Returns.objectOf(fieldName) != nullptr;
        return false;
    };
    for (std::size_t level = selectCtx_.size(); level-- > 0;) {
        for (const std::string& name : selectCtx_[level]->SelectTables) {
            TDbObj* obj = FindObj(name, {dboTable, dboView, dboProcedure});
            if (obj && hasColumn(obj)) {
                LinkDepend(dependent, obj, fieldName);
                return;
            }
        }
    }
}

void TCustomSQLParser::Link_Depend() {
    if (!Objs())
        return;
    Objs()->SortGrants();
    LinkIdx();
    LinkCtr();
    LinkPkFk();
    LinkGrant();
}

void TCustomSQLParser::LinkIdx() {
    TCustomObjs& objs = *Objs();
    for (auto& entry : objs.Idx) {
        TIdxData* index = entry.object.get();
        TTblData* table = objs.GetTable(index->TblName);
        if (!table)
            continue;
        objs.LinkDepend(index, table);
        for (const auto& column : index->Flds)
            if (table->FindFld(column.text))
                objs.LinkDepend(index, table, -1, -1, column.text);
    }
}

void TCustomSQLParser::LinkCtr() {
    TCustomObjs& objs = *Objs();
    auto linkColumns = [&](TCtrData* constraint, const std::string& tableName,
                           const ObjList<TFldData>& columns) {
        TTblData* table = objs.GetTable(tableName);
        if (!table)
            return;
        objs.LinkDepend(constraint, table);
        for (const auto& column : columns)
            if (table->FindFld(column.text))
                objs.LinkDepend(constraint, table, -1, -1, column.text);
    };
    for (auto& entry : objs.Ctr) {
        TCtrData* constraint = entry.object.get();
        linkColumns(constraint, constraint->TblName, constraint->Flds);
        if (constraint->CtType() == ctFKey || constraint->CtType() == ctReferences)
            linkColumns(constraint, constraint->RefTblName, constraint->RefFlds);
    }
}

void TCustomSQLParser::LinkPkFk() {
    TCustomObjs& objs = *Objs();
    auto names = [](const ObjList<TFldData>& list) {
        std::vector<std::string> result;
        for (const auto& entry : list)
            result.push_back(entry.text);
        return result;
    };
    for (auto& fkEntry : objs.Ctr) {
        TCtrData* fk = fkEntry.object.get();
        if (fk->CtType() != ctFKey)
            continue;
        const std::vector<std::string> referenced = names(fk->RefFlds);
        for (auto& keyEntry : objs.Ctr) {
            TCtrData* key = keyEntry.object.get();
            if (key->TblName != fk->RefTblName)
                continue;
            // REFERENCES without a column list means the primary key.
            const bool matches = referenced.empty()
                                     ? key->CtType() == ctPKey
                                     : (key->CtType() == ctPKey || key->CtType() == ctUnique) &&
                                           names(key->Flds) == referenced;
            if (matches)
                objs.LinkDepend(fk, key);
        }
    }
}

void TCustomSQLParser::LinkGrant() {
    TCustomObjs& objs = *Objs();
    auto lookup = [&](const std::string& name, TDbObject kind) -> TDbObj* {
        switch (kind) {
        case dboTable: return objs.GetTable(name);
        case dboView: return objs.GetView(name);
        case dboProcedure: return objs.GetProcedure(name);
        case dboTrigger: return objs.GetTrigger(name);
        case dboPackage: return objs.GetPackage(name);
        case dboRole: return objs.GetRole(name);
        case dboUser: return objs.Rol.objectOf("User: " + name);
        default: return nullptr;
        }
    };
    for (auto& entry : objs.Gnt) {
        TGntData* grant = entry.object.get();
        if (TDbObj* obj = lookup(grant->GntObjName, grant->GntObjType))
            objs.LinkDepend(grant, obj);
        if (TDbObjectSet{dboProcedure, dboTrigger, dboView, dboRole, dboUser}.Contains(grant->GntUserType))
            if (TDbObj* grantee = lookup(grant->User, grant->GntUserType))
                objs.LinkDepend(grant, grantee);
    }
}

} // namespace dbc
