#include "EngineFixture.h"

#include "engine/dbcComp_Exc.h"

#include <gtest/gtest.h>

using namespace dbc;
using namespace enginetest;

namespace {

// Counts how many of its instances are alive, to show what the collection frees.
struct ProbeTable : TTblData {
    static inline int alive = 0;
    explicit ProbeTable(TCustomObjs* objs, const char* name) : TTblData(objs) {
        SetObjName(name);
        ++alive;
    }
    ~ProbeTable() override { --alive; }
};

// An extractor that refuses names and records errors, as the real ones will.
struct RecordingExtract : TCustomExtract {
    std::string refused;
    std::vector<std::string> errors;
    RecordingExtract() {
        OnErrorMessage = [this](platform::Object&, const std::string& text) { errors.push_back(text); };
    }
    bool AcceptObj(const std::string& name, TDbObject) override { return name != refused; }
};

} // namespace

TEST(Collections, AddObjRefusesAndFreesWhatItDoesNotFile) {
    struct Case { const char* name; bool ignoreIBE; bool filed; };
    for (const Case& c : {Case{"IBE$LOG", true, false}, Case{"IBE$LOG", false, true},
                          Case{"MY_IBE$LOG", true, true}, Case{"ibe$log", true, true}}) {
        Database db;
        db.objs().IBServerOptions().IBCompareOptions.IgnoreIBEObjects = c.ignoreIBE;
        TDbObj* filed = db.objs().AddObj(std::make_unique<ProbeTable>(&db.objs(), c.name));
        EXPECT_EQ(filed != nullptr, c.filed) << c.name;
        EXPECT_EQ(db.objs().GetTable(c.name) != nullptr, c.filed) << c.name;
        EXPECT_EQ(ProbeTable::alive, c.filed ? 1 : 0) << c.name;
    }
    EXPECT_EQ(ProbeTable::alive, 0);
}

TEST(Collections, DuplicateKeyKeepsTheFirstAndFreesTheSecond) {
    Database db;
    TDbObj* first = db.objs().AddObj(std::make_unique<ProbeTable>(&db.objs(), "T"));
    EXPECT_EQ(db.objs().AddObj(std::make_unique<ProbeTable>(&db.objs(), "T")), nullptr);
    EXPECT_EQ(db.objs().GetTable("T"), first);
    EXPECT_EQ(db.objs().Tbl.size(), 1u);
    EXPECT_EQ(ProbeTable::alive, 1);
}

TEST(Collections, AcceptanceByExtractorAndHook) {
    Database db;
    RecordingExtract extract;
    extract.SetDBStructure(&db.structure);
    extract.refused = "SKIP_ME";
    EXPECT_EQ(db.objs().AddObj(std::make_unique<ProbeTable>(&db.objs(), "SKIP_ME")), nullptr);
    db.objs().OnAccept_Obj = [](platform::Object& sender, TDbObj& obj, bool& accept) {
        EXPECT_NE(dynamic_cast<TCustomObjs*>(&sender), nullptr);
        accept = obj.ObjName() != "HOOKED";
    };
    EXPECT_EQ(db.objs().AddObj(std::make_unique<ProbeTable>(&db.objs(), "HOOKED")), nullptr);
    EXPECT_NE(db.objs().AddObj(std::make_unique<ProbeTable>(&db.objs(), "KEPT")), nullptr);
    EXPECT_EQ(ProbeTable::alive, 1);
    db.objs().Clear();
    EXPECT_EQ(ProbeTable::alive, 0);
}

TEST(Collections, UnknownClassIsReportedAndFreed) {
    Database db;
    RecordingExtract extract;
    extract.SetDBStructure(&db.structure);
    TTblData& table = AddTable(db.objs(), "T", {});
    EXPECT_EQ(db.objs().AddObj(std::make_unique<TDependObj>(&db.objs(), table, -1, -1)), nullptr);
    EXPECT_EQ(extract.errors, std::vector<std::string>{"Unknown DbObject to add (TDependObj)"});
    EXPECT_EQ(extract.MsgManager().ErrCount(), 1);
}

TEST(Collections, ListsAreSortedByteWiseAndCaseSensitive) {
    Database db;
    for (const char* name : {"b", "B", "A", "_X", "a"})
        AddTable(db.objs(), name, {});
    std::vector<std::string> order;
    for (const auto& entry : db.objs().Tbl)
        order.push_back(entry.text);
    EXPECT_EQ(order, (std::vector<std::string>{"A", "B", "_X", "a", "b"}));
    AddTable(db.objs(), "CUSTOMER", {"ID"});
    EXPECT_EQ(db.objs().GetTable("customer"), nullptr);
    EXPECT_NE(db.objs().GetTableField("CUSTOMER", "ID"), nullptr);
    EXPECT_EQ(db.objs().GetTableField("CUSTOMER", "id"), nullptr);
}

TEST(Collections, ProcedureParametersAndRoles) {
    Database db;
    TPrcData& procedure = AddProcedure(db.objs(), "P", "");
    TFldData& in = procedure.AddParam("A", ioIn);
    TFldData& out = procedure.AddParam("B", ioOut);
    EXPECT_EQ(db.objs().GetProcParam("P", "A"), &in);
    EXPECT_EQ(db.objs().GetProcParam("P", "B"), &out);
    EXPECT_EQ(db.objs().GetProcParam("P", "C"), nullptr);
    auto role = std::make_unique<TRolData>(&db.objs());
    role->SetObjName("MANAGER");
    TRolData* filed = db.objs().AddObj(std::move(role));
    EXPECT_EQ(db.objs().Rol[0].text, "Role: MANAGER");
    EXPECT_EQ(db.objs().GetRole("MANAGER"), filed);
    filed->UserType = usrUsr;
    EXPECT_EQ(db.objs().GetRole("MANAGER"), nullptr);
}

TEST(Collections, LinkDependRecordsBothDirections) {
    Database db;
    TObjs& objs = db.objs();
    TTblData& table = AddTable(objs, "T", {"A"});
    TViwData& view = AddView(objs, "V", "SELECT A FROM T", {"A"});
    TPrcData& procedure = AddProcedure(objs, "P", "");

    objs.LinkDepend(&view, &table, 1, 8, "MISSING");
    EXPECT_TRUE(view.UseOf().empty());

    objs.LinkDepend(&view, &table, 1, 8, "A");
    objs.LinkDepend(&view, &table, 1, 8, "A");
    TFldData& column = *table.FindFld("A");
    ASSERT_EQ(view.UseOf().size(), 1u);
    EXPECT_EQ(view.UseOf()[0]->Obj, &column);
    EXPECT_EQ(view.UseOf()[0]->ObjType(), dboField);
    EXPECT_EQ(view.UseOf()[0]->ObjName(), "A");
    EXPECT_EQ(view.UseOf()[0]->PosY, 1);
    EXPECT_EQ(view.UseOf()[0]->PosX, 8);
    ASSERT_EQ(column.UseIn().size(), 1u);
    EXPECT_EQ(column.UseIn()[0]->Obj, &view);
    EXPECT_TRUE(column.UseIn()[0]->Active);

    objs.LinkDepend(&view, &procedure, -1, -1, "OUTPUT");
    ASSERT_EQ(view.UseOf().size(), 2u);
    EXPECT_EQ(view.UseOf()[1]->Obj, &procedure);
    EXPECT_EQ(procedure.UseIn()[0]->GetCaption(), "V");
}

TEST(Collections, TableColumnUsingADomainLinksTableAndColumn) {
    Database db;
    TObjs& objs = db.objs();
    TTblData& table = AddTable(objs, "T", {"PRICE"});
    auto domain = std::make_unique<TDmnData>(&objs);
    domain->SetObjName("D_MONEY");
    TDmnData* money = objs.AddObj(std::move(domain));
    objs.LinkDepend(&table, money, -1, -1, "PRICE");
    ASSERT_EQ(money->UseIn().size(), 2u);
    EXPECT_EQ(money->UseIn()[0]->Obj, &table);
    EXPECT_EQ(money->UseIn()[1]->Obj, table.FindFld("PRICE"));
    EXPECT_EQ(money->Data().SysName, "D_MONEY");
    EXPECT_EQ(money->GetCaption(), "D_MONEY");
}

TEST(Collections, RemoveDependDropsEveryRecordOfTheObject) {
    Database db;
    TObjs& objs = db.objs();
    TTblData& table = AddTable(objs, "T", {"A"});
    TViwData& view = AddView(objs, "V", "", {});
    TPrcData& procedure = AddProcedure(objs, "P", "");
    objs.LinkDepend(&view, &table);
    objs.LinkDepend(&procedure, &table, -1, -1, "A");
    objs.LinkDepend(&procedure, &view);
    objs.RemoveDepend(&table);
    EXPECT_TRUE(view.UseOf().empty());
    EXPECT_EQ(table.UseIn().size(), 1u); // its own records go when it goes
    EXPECT_EQ(procedure.UseOf().size(), 2u); // the column and the view
    objs.RemoveDepend(table.FindFld("A"));
    ASSERT_EQ(procedure.UseOf().size(), 1u);
    EXPECT_EQ(procedure.UseOf()[0]->Obj, &view);
}

namespace {

std::unique_ptr<TGntData> Grant(TObjs& objs, std::initializer_list<TGrantPrivilege> privileges,
                                std::vector<std::string> columns = {}, int option = 0) {
    auto grant = std::make_unique<TGntData>(&objs);
    grant->GntObjName = "CUSTOMER";
    grant->GntObjType = dboTable;
    grant->User = "CLERK";
    grant->Privilege = TGrantPrivilegeSet(privileges);
    grant->Flds = std::move(columns);
    grant->Option = option;
    return grant;
}

} // namespace

TEST(Collections, GrantsMergeIntoEqualOnes) {
    Database db;
    TObjs& objs = db.objs();
    TGntData* select = objs.AddGrant(Grant(objs, {gntSelect}));
    ASSERT_NE(select, nullptr);
    EXPECT_EQ(objs.AddGrant(Grant(objs, {gntInsert})), nullptr);
    EXPECT_EQ(select->Privilege, TGrantPrivilegeSet({gntSelect, gntInsert}));
    EXPECT_NE(objs.AddGrant(Grant(objs, {gntSelect}, {}, 1)), nullptr); // grant option differs

    TGntData* update = objs.AddGrant(Grant(objs, {gntUpdate}, {"NAME"}));
    ASSERT_NE(update, nullptr);
    EXPECT_EQ(objs.AddGrant(Grant(objs, {gntUpdate}, {"CITY", "NAME"})), nullptr);
    EXPECT_EQ(update->Flds, (std::vector<std::string>{"NAME", "CITY"}));
    EXPECT_EQ(objs.Gnt.size(), 3u);

    // The merged grants still sit under their old keys until the list is re-keyed.
    EXPECT_NE(objs.Gnt.indexOf("GRANT SELECT ON TABLE CUSTOMER TO CLERK"), ObjList<TGntData>::npos);
    objs.SortGrants();
    EXPECT_NE(objs.Gnt.indexOf("GRANT INSERT, SELECT ON TABLE CUSTOMER TO CLERK"), ObjList<TGntData>::npos);
    EXPECT_NE(objs.Gnt.indexOf("GRANT UPDATE (NAME, CITY) ON TABLE CUSTOMER TO CLERK"), ObjList<TGntData>::npos);
    EXPECT_EQ(objs.Gnt.indexOf("GRANT SELECT ON TABLE CUSTOMER TO CLERK"), ObjList<TGntData>::npos);
}

TEST(Collections, GrantsKeptAsTextAreNeverMerged) {
    Database db;
    TObjs& objs = db.objs();
    auto textGrant = [&](const char* text) {
        auto grant = std::make_unique<TGntData>(&objs);
        grant->User = "PUBLIC";
        grant->Body = text;
        return grant;
    };
    ASSERT_NE(objs.AddGrant(textGrant("GRANT CREATE TABLE TO PUBLIC")), nullptr);
    ASSERT_NE(objs.AddGrant(textGrant("GRANT CREATE VIEW TO PUBLIC")), nullptr);
    EXPECT_EQ(objs.AddGrant(textGrant("GRANT CREATE VIEW TO PUBLIC")), nullptr); // the same text twice
    auto plain = Grant(objs, {gntSelect});
    plain->User = "PUBLIC";
    plain->GntObjName.clear();
    ASSERT_NE(objs.AddGrant(std::move(plain)), nullptr);
    ASSERT_EQ(objs.Gnt.size(), 3u);
    EXPECT_NE(objs.Gnt.indexOf("GRANT CREATE TABLE TO PUBLIC"), ObjList<TGntData>::npos);
    EXPECT_NE(objs.Gnt.indexOf("GRANT CREATE VIEW TO PUBLIC"), ObjList<TGntData>::npos);
}

TEST(Collections, ClearEmptiesListsAndKeepsOptions) {
    Database db;
    TObjs& objs = db.objs();
    AddTable(objs, "T", {"A"});
    AddView(objs, "V", "", {});
    objs.AddGrant(Grant(objs, {gntSelect}));
    objs.TermString = "^";
    objs.ExtractFrom = efDatabase;
    objs.DBDescription = "db";
    objs.IBServerOptions().SQLServerVersion = st_Firebird_25;
    objs.IBServerOptions().SetDBCharSet("UTF8");
    objs.IBServerOptions().IBDatabaseOptions.ODSMajorVersion = 11;
    objs.ConnectionOptions().DatabaseName = "x.fdb";
    objs.SetCompareRole(crTargetRole);
    db.structure.db_prefix = "X_";
    db.structure.Clear();
    EXPECT_TRUE(objs.Tbl.empty());
    EXPECT_TRUE(objs.Viw.empty());
    EXPECT_TRUE(objs.Gnt.empty());
    EXPECT_EQ(objs.TermString, ";");
    EXPECT_EQ(objs.ExtractFrom, efUnknown);
    EXPECT_EQ(objs.DBDescription, "");
    EXPECT_EQ(objs.IBServerOptions().IBDatabaseOptions.ODSMajorVersion, 0);
    EXPECT_EQ(objs.IBServerOptions().SQLServerVersion, st_Firebird_25);
    EXPECT_EQ(objs.IBServerOptions().DBCharSet(), "UTF8");
    EXPECT_EQ(objs.ConnectionOptions().DatabaseName, "x.fdb");
    EXPECT_EQ(objs.CompareRole(), crTargetRole);
    EXPECT_EQ(db.structure.db_prefix, "");
}

TEST(Collections, RolesLinksAndConnectText) {
    TDBStructure structure;
    TObjs& objs = structure.Metadata();
    EXPECT_EQ(structure.CompareRole(), crUnknownRole);
    EXPECT_EQ(structure.DatabaseType(), dbAbstract);
    EXPECT_EQ(objs.DBStructure(), &structure);
    EXPECT_EQ(objs.ConnectionOptions().UserName, "SYSDBA");
    EXPECT_EQ(objs.ConnectionOptions().Password, "pelicanos");
    EXPECT_EQ(objs.CompareObjects, DefCmpObjSet);
    EXPECT_EQ(objs.DbConnectStr(), "");
    structure.SetDatabaseType(dbInterBase);
    objs.ConnectionOptions().DatabaseName = "live.fdb";
    EXPECT_EQ(objs.DbConnectStr(), "CONNECT 'live.fdb' USER 'SYSDBA' PASSWORD 'pelicanos'");

    EXPECT_EQ(objs.GetObjsMaster(), nullptr);
    EXPECT_EQ(objs.ODSMajorVersionOfTarget(), 0);
    ComparePair pair;
    pair.t().IBServerOptions().IBDatabaseOptions.ODSMajorVersion = 11;
    EXPECT_EQ(pair.m().GetObjsMaster(), &pair.m());
    EXPECT_EQ(pair.m().GetObjsTarget(), &pair.t());
    EXPECT_EQ(pair.t().GetObjsMaster(), &pair.m());
    EXPECT_EQ(pair.m().ODSMajorVersionOfTarget(), 11);
    EXPECT_EQ(pair.t().ODSMajorVersionOfTarget(), 11);
}

TEST(Collections, LogLinesGoToTheFirstSinkThatExists) {
    Database db;
    std::vector<std::string> execLines, extractLines, ownLines;
    db.exec.OnLogNextLine = [&](platform::Object& sender, const std::string& text) {
        EXPECT_EQ(&sender, &db.objs());
        execLines.push_back(text);
    };
    db.objs().DoLogNextLine("one");
    RecordingExtract extract;
    extract.SetDBStructure(&db.structure);
    extract.OnLogNextLine = [&](platform::Object&, const std::string& text) { extractLines.push_back(text); };
    db.objs().DoLogNextLine("two");
    db.objs().OnLogNextLine = [&](platform::Object&, const std::string& text) { ownLines.push_back(text); };
    db.objs().DoLogNextLine("three");
    EXPECT_EQ(execLines, std::vector<std::string>{"one"});
    EXPECT_EQ(extractLines, std::vector<std::string>{"two"});
    EXPECT_EQ(ownLines, std::vector<std::string>{"three"});
}

TEST(Structure, ExtractorBindingIsClearedWhenEitherSideGoes) {
    auto structure = std::make_unique<TDBStructure>();
    {
        RecordingExtract extract;
        extract.SetDBStructure(structure.get());
        EXPECT_EQ(structure->Extractor(), &extract);
    }
    EXPECT_EQ(structure->Extractor(), nullptr);

    RecordingExtract extract;
    extract.SetDBStructure(structure.get());
    structure.reset();
    EXPECT_EQ(extract.DBStructure(), nullptr);

    TDBStructure first, second;
    extract.SetDBStructure(&first);
    extract.SetDBStructure(&second);
    EXPECT_EQ(first.Extractor(), nullptr);
    EXPECT_EQ(second.Extractor(), &extract);
}

TEST(Structure, SourceDefinitionsAreTakenFromViewsProceduresAndTriggers) {
    Database db;
    TViwData& view = AddView(db.objs(), "V", "SELECT 1 FROM RDB$DATABASE", {});
    TPrcData& procedure = AddProcedure(db.objs(), "P", "BEGIN END");
    TTrgData& trigger = AddTrigger(db.objs(), "TR", "T", 1, "AS BEGIN END");
    TTblData& table = AddTable(db.objs(), "T", {});
    db.objs().SetSourceDefinition();
    for (TDbObj* obj : std::initializer_list<TDbObj*>{&view, &procedure, &trigger}) {
        EXPECT_EQ(obj->SourceDefinition, obj->Def());
        EXPECT_EQ(obj->CurrentDefinition, obj->Def());
    }
    EXPECT_EQ(table.SourceDefinition, "");
}
