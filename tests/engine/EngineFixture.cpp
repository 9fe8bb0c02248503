#include "EngineFixture.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace enginetest {

using namespace dbc;

std::string Golden(const std::string& name) {
    std::ifstream in(std::string(ENGINE_GOLDEN_DIR) + "/" + name, std::ios::binary);
    if (!in)
        throw std::runtime_error("missing golden file " + name);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += "\r\n";
        text += lines[i];
    }
    return text;
}

Database::Database() {
    structure.SetDatabaseType(dbInterBase);
    exec.DatabaseType = dbInterBase;
    objs().SetSQLExec(&exec);
}

std::string Database::Script() {
    std::vector<std::string> lines;
    exec.GetScript(lines, false);
    return Joined(lines);
}

ComparePair::ComparePair() {
    for (TDBStructure* s : {&master, &target})
        s->SetDatabaseType(dbInterBase);
    m().SetCompareRole(crMasterRole);
    t().SetCompareRole(crTargetRole);
    m().SetLinkedObjs(&t());
    t().SetLinkedObjs(&m());
    m().SetSQLExec(&exec);
    t().SetSQLExec(&exec);
    exec.DatabaseType = dbInterBase;
}

namespace {

template <class T>
void LinkList(ObjList<T>& masterList, ObjList<T>& targetList) {
    for (auto& entry : masterList) {
        T* counterpart = targetList.objectOf(entry.text);
        entry.object->SetRefObj(counterpart);
        entry.object->SetObjCreated(counterpart != nullptr);
    }
    for (auto& entry : targetList)
        entry.object->SetObjCreated(true);
}

template <class T>
void LinkColumns(ObjList<T>& masterList, ObjList<T>& targetList) {
    for (auto& entry : masterList) {
        T* counterpart = targetList.objectOf(entry.text);
        for (auto& column : entry.object->Flds) {
            TFldData* other = counterpart ? counterpart->FindFld(column.text) : nullptr;
            column.object->SetRefObj(other);
            column.object->SetObjCreated(other != nullptr);
        }
    }
    for (auto& entry : targetList)
        for (auto& column : entry.object->Flds)
            column.object->SetObjCreated(true);
}

} // namespace

void ComparePair::LinkAndMarkCreated() {
    LinkList(m().Dmn, t().Dmn);
    LinkList(m().Tbl, t().Tbl);
    LinkList(m().Prc, t().Prc);
    LinkList(m().Trg, t().Trg);
    LinkList(m().Gnr, t().Gnr);
    LinkList(m().Viw, t().Viw);
    LinkList(m().Gnt, t().Gnt);
    LinkColumns(m().Tbl, t().Tbl);
    LinkColumns(m().Viw, t().Viw);
}

std::string ComparePair::Script() {
    std::vector<std::string> lines;
    exec.GetScript(lines, false);
    return Joined(lines);
}

std::vector<StatementKey> Statements(const TCustomSQLExec& exec) {
    std::vector<StatementKey> keys;
    for (std::size_t i = 0; i < exec.StatementsCount(); ++i) {
        const TStatement& st = exec.Statements(i);
        if (st.Typ != stComment)
            keys.emplace_back(st.Operation, st.ObjType, st.ObjName);
    }
    return keys;
}

TTblData& AddTable(TObjs& objs, const std::string& name, std::initializer_list<const char*> columns) {
    auto table = std::make_unique<TTblData>(&objs);
    table->SetObjName(name);
    for (const char* column : columns)
        table->AddFld(column).FieldType = iftInteger;
    return *objs.AddObj(std::move(table));
}

TViwData& AddView(TObjs& objs, const std::string& name, const std::string& body,
                  std::initializer_list<const char*> columns) {
    auto view = std::make_unique<TViwData>(&objs);
    view->SetObjName(name);
    view->Body = body;
    for (const char* column : columns)
        view->AddFld(column);
    return *objs.AddObj(std::move(view));
}

TPrcData& AddProcedure(TObjs& objs, const std::string& name, const std::string& body) {
    auto procedure = std::make_unique<TPrcData>(&objs);
    procedure->SetObjName(name);
    procedure->Body = body;
    return *objs.AddObj(std::move(procedure));
}

TTrgData& AddTrigger(TObjs& objs, const std::string& name, const std::string& owner, int typ,
                     const std::string& body) {
    auto trigger = std::make_unique<TTrgData>(&objs);
    trigger->SetObjName(name);
    trigger->SetOwnName(owner);
    trigger->Typ = typ;
    trigger->Body = body;
    return *objs.AddObj(std::move(trigger));
}

} // namespace enginetest
