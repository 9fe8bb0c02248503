#include "EngineFixture.h"

#include <gtest/gtest.h>

using namespace dbc;
using namespace enginetest;

TEST(Dependencies, NewViewOverAMissingProcedureCreatesTheProcedureEmptyFirst) {
    ComparePair pair;
    TPrcData& procedure = AddProcedure(pair.m(), "P_TOTALS", " BEGIN SUSPEND; /* real */ END");
    procedure.AddParam("CUSTOMER_ID", ioIn).FieldType = iftInteger;
    TFldData& total = procedure.AddParam("TOTAL", ioOut);
    total.FieldType = iftNumeric;
    total.Precision = 15;
    total.Scale = 2;
    TViwData& view = AddView(pair.m(), "V_TOTALS", "SELECT TOTAL FROM P_TOTALS(1)", {"TOTAL"});
    pair.m().LinkDepend(&view, &procedure);
    pair.LinkAndMarkCreated();
    ASSERT_FALSE(view.ObjCreated());

    view.CreateDependDef();
    view.CreateDependDef();

    EXPECT_EQ(Statements(pair.exec),
              (std::vector<StatementKey>{{odbEmptyCreate, dboProcedure, "P_TOTALS"},
                                         {odbCreate, dboView, "V_TOTALS"}}));
    EXPECT_TRUE(procedure.ObjCreated());
    EXPECT_TRUE(procedure.RestoreBody());
    EXPECT_TRUE(view.ObjCreated());
    EXPECT_FALSE(view.UseOf()[0]->Active); // followed once
    EXPECT_EQ(pair.Script(), Golden("create_view_over_new_procedure.sql"));
}

TEST(Dependencies, ProcedureThatTheTargetHasIsNotCreatedEmpty) {
    ComparePair pair;
    TPrcData& master = AddProcedure(pair.m(), "P", " BEGIN EXIT; END");
    AddProcedure(pair.t(), "P", " BEGIN EXIT; END");
    TViwData& view = AddView(pair.m(), "V", "SELECT 1 FROM P", {});
    pair.m().LinkDepend(&view, &master);
    pair.LinkAndMarkCreated();
    master.SetObjCreated(false); // dropped earlier in the script

    view.CreateDependDef();
    EXPECT_EQ(Statements(pair.exec), (std::vector<StatementKey>{{odbCreate, dboView, "V"}}));
    EXPECT_TRUE(view.UseOf()[0]->Active);
}

TEST(Dependencies, NewTableColumnAndViewOverIt) {
    ComparePair pair;
    TTblData& table = AddTable(pair.m(), "ORDERS", {"ID", "TOTAL"});
    TViwData& view = AddView(pair.m(), "V_ORDERS", "SELECT TOTAL FROM ORDERS", {"TOTAL"});
    AddTable(pair.t(), "ORDERS", {"ID"});
    pair.m().LinkDepend(&view, &table);
    pair.m().LinkDepend(&view, &table, -1, -1, "TOTAL");
    pair.LinkAndMarkCreated();
    EXPECT_TRUE(table.ObjCreated());
    EXPECT_FALSE(table.FindFld("TOTAL")->ObjCreated());

    view.CreateDependDef();
    EXPECT_EQ(Statements(pair.exec),
              (std::vector<StatementKey>{{odbCreate, dboField, "TOTAL"}, {odbCreate, dboView, "V_ORDERS"}}));
    EXPECT_EQ(pair.exec.Statements(0).OwnName, "ORDERS");
}

TEST(Dependencies, DroppedTableDropsAndEmptiesItsUsersFirst) {
    ComparePair pair;
    TTblData& table = AddTable(pair.t(), "OLD_LOG", {"ID"});
    TViwData& view = AddView(pair.t(), "V_LOG", "SELECT ID FROM OLD_LOG", {"ID"});
    TViwData& outer = AddView(pair.t(), "V_LOG2", "SELECT ID FROM V_LOG", {"ID"});
    TPrcData& procedure = AddProcedure(pair.t(), "P_PURGE", " BEGIN DELETE FROM OLD_LOG; END");
    TTrgData& trigger = AddTrigger(pair.t(), "TR_AUDIT", "AUDIT", 2, "AS BEGIN INSERT INTO OLD_LOG VALUES (1); END");
    AddProcedure(pair.m(), "P_PURGE", " BEGIN END");
    pair.t().LinkDepend(&view, &table);
    pair.t().LinkDepend(&outer, &view);
    pair.t().LinkDepend(&procedure, &table);
    pair.t().LinkDepend(&trigger, &table);
    pair.LinkAndMarkCreated();

    table.DropDependDef();
    table.DropDependDef();

    EXPECT_EQ(Statements(pair.exec),
              (std::vector<StatementKey>{{odbDrop, dboView, "V_LOG2"},
                                         {odbDrop, dboView, "V_LOG"},
                                         {odbEmpty, dboProcedure, "P_PURGE"},
                                         {odbEmpty, dboTrigger, "TR_AUDIT"},
                                         {odbDrop, dboTable, "OLD_LOG"}}));
    EXPECT_FALSE(table.ObjCreated());
    EXPECT_FALSE(table.FindFld("ID")->ObjCreated());
    EXPECT_FALSE(view.ObjCreated());
    EXPECT_EQ(procedure.Body, " BEGIN EXIT; END");
    EXPECT_EQ(procedure.CurrentDefinition, procedure.Def());
    EXPECT_TRUE(pair.m().GetProcedure("P_PURGE")->RestoreBody());
    EXPECT_EQ(trigger.Body, TTrgData::EmptyBody());
    EXPECT_EQ(pair.Script(), Golden("drop_table_with_users.sql"));
}

TEST(Dependencies, TablesAndGeneratorsTheMasterStillHasAreNeverDropped) {
    ComparePair pair;
    TTblData& table = AddTable(pair.t(), "KEEP", {});
    AddTable(pair.m(), "KEEP", {});
    auto make = [](TObjs& objs) {
        auto generator = std::make_unique<TGnrData>(&objs);
        generator->SetObjName("G_ID");
        return objs.AddObj(std::move(generator));
    };
    TGnrData* generator = make(pair.t());
    make(pair.m());
    pair.LinkAndMarkCreated();
    table.DropDependDef();
    generator->DropDependDef();
    EXPECT_EQ(pair.exec.StatementsCount(), 0u);
    EXPECT_TRUE(table.ObjCreated());
    EXPECT_TRUE(generator->ObjCreated());
}

TEST(Dependencies, DroppedProcedureDropsWhatCallsIt) {
    ComparePair pair;
    TPrcData& callee = AddProcedure(pair.t(), "P_OLD", " BEGIN EXIT; /* work */ END");
    TPrcData& caller = AddProcedure(pair.t(), "P_CALLER", " BEGIN EXECUTE PROCEDURE P_OLD; END");
    TViwData& view = AddView(pair.t(), "V_OLD", "SELECT 1 FROM P_OLD", {});
    TTblData& table = AddTable(pair.t(), "T", {});
    pair.t().LinkDepend(&caller, &callee);
    pair.t().LinkDepend(&view, &callee);
    pair.t().LinkDepend(&callee, &table);
    pair.LinkAndMarkCreated();

    callee.DropDependDef();
    EXPECT_EQ(Statements(pair.exec),
              (std::vector<StatementKey>{{odbEmpty, dboProcedure, "P_CALLER"},
                                         {odbDrop, dboView, "V_OLD"},
                                         {odbDrop, dboProcedure, "P_OLD"}}));
    // Its own body was emptied in the model only, and uses nothing any more.
    EXPECT_EQ(callee.Body, " BEGIN EXIT; END");
    EXPECT_FALSE(callee.UseOf()[0]->Active);
}

TEST(Dependencies, DebugLogNamesEachObjectBeforeItsCreate) {
    ComparePair pair;
    TTblData& table = AddTable(pair.m(), "T", {"C"});
    pair.LinkAndMarkCreated();
    std::vector<std::string> lines;
    pair.m().OnLogNextLine = [&](platform::Object&, const std::string& text) { lines.push_back(text); };
    DebugLog = true;
    table.FindFld("C")->CreateDependDef();
    table.CreateDependDef();
    DebugLog = false;
    EXPECT_EQ(lines, (std::vector<std::string>{"TFldData: T / C", "TTblData: T"}));
}
