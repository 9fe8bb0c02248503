#include "EngineFixture.h"

#include "engine/dbcComp_Exc.h"
#include "engine/dbcComp_Fnc.h"
#include "engine/dbcComp_Idx.h"

#include <gtest/gtest.h>

using namespace dbc;
using namespace enginetest;

TEST(ObjectBase, ConstructedState) {
    TDbObj obj(nullptr);
    EXPECT_TRUE(obj.ObjCreated());
    EXPECT_EQ(obj.ObjType(), dboUnknown);
    EXPECT_EQ(obj.DatabaseType(), dbAbstract);
    EXPECT_EQ(obj.CompareObjects(), DefCmpObjSet);
    EXPECT_EQ(obj.UpdateDescriptionMode(), udDescribe);
    EXPECT_EQ(obj.SQLExec(), nullptr);
    obj.SetObjName("my table");
    EXPECT_EQ(obj.QuoteIdent("my table"), "my table"); // no collection, no quoting
    EXPECT_EQ(obj.AlterDef(), "/* Alter <...> */");
    EXPECT_EQ(obj.GenComment("note"), "/* note */");
}

TEST(ObjectBase, CreatedFlagMovesWithTheCounterpart) {
    ComparePair pair;
    TTblData& master = AddTable(pair.m(), "T", {});
    TTblData& target = AddTable(pair.t(), "T", {});
    master.SetRefObj(&target);
    EXPECT_EQ(target.RefObj(), &master);
    target.SetObjCreated(false);
    EXPECT_FALSE(master.ObjCreated());
    master.SetObjCreated(true);
    EXPECT_TRUE(target.ObjCreated());
}

TEST(ObjectBase, CounterpartLinksNeverDangle) {
    ComparePair pair;
    TTblData& master = AddTable(pair.m(), "T", {});
    TTblData& first = AddTable(pair.t(), "T", {});
    TTblData& second = AddTable(pair.t(), "U", {});
    master.SetRefObj(&first);
    master.SetRefObj(&second);
    EXPECT_EQ(first.RefObj(), nullptr);
    EXPECT_EQ(second.RefObj(), &master);
    pair.master.Clear();
    EXPECT_EQ(second.RefObj(), nullptr);
}

TEST(ObjectBase, QuotingFollowsTheCollectionsDialect) {
    Database db;
    TTblData& table = AddTable(db.objs(), "order", {});
    EXPECT_EQ(table.ObjFullName(), "\"order\"");
    EXPECT_EQ(table.QuoteIdent("ORDER"), "\"ORDER\"");
    EXPECT_EQ(table.QuoteIdent("ORDERS"), "ORDERS");
    db.objs().IBServerOptions().SQLDialect = 1;
    EXPECT_EQ(table.ObjFullName(), "order");
}

TEST(ObjectBase, DefaultDropTexts) {
    Database db;
    auto add = [&](auto obj, const char* name) {
        obj->SetObjName(name);
        return db.objs().AddObj(std::move(obj));
    };
    EXPECT_EQ(add(std::make_unique<TExcData>(&db.objs()), "E_FAIL")->DropDef(),
              "/* Drop: E_FAIL (TExcData) */\r\nDROP EXCEPTION E_FAIL");
    EXPECT_EQ(add(std::make_unique<TDmnData>(&db.objs()), "D money")->DropDef(),
              "/* Drop: D money (TDmnData) */\r\nDROP DOMAIN \"D money\"");
    EXPECT_EQ(add(std::make_unique<TUdfData>(&db.objs()), "STRLEN")->DropDef(),
              "/* Drop: STRLEN (TUdfData) */\r\nDROP EXTERNAL FUNCTION STRLEN");
    EXPECT_EQ(add(std::make_unique<TIdxData>(&db.objs()), "IX_A")->DropDef(),
              "/* Drop: IX_A (TIdxData) */\r\nDROP INDEX IX_A");
    TTblData& table = AddTable(db.objs(), "Orders", {"TOTAL"});
    EXPECT_EQ(table.FindFld("TOTAL")->DropDef(),
              "/* Drop: TOTAL (TFldData) */\r\nALTER TABLE \"Orders\" DROP TOTAL");
    EXPECT_EQ(add(std::make_unique<TGnrData>(&db.objs()), "G")->DropDef(), "/* Drop: G (TGnrData) */\r\n");
}

TEST(ObjectBase, KeysAndNamesUnderADatabasePrefix) {
    ComparePair pair;
    pair.master.db_prefix = "M_";
    pair.target.db_prefix = "T_";
    TTblData& master = AddTable(pair.m(), "M_CUSTOMER", {});
    TTblData& target = AddTable(pair.t(), "T_CUSTOMER", {});
    EXPECT_EQ(master.ShortObjName(), "CUSTOMER");
    EXPECT_EQ(master.RefObjName(), "T_CUSTOMER");
    // Both sides are filed under the same key, so the pair links.
    EXPECT_EQ(master.ObjKeyDef(), "CUSTOMER");
    EXPECT_EQ(target.ObjKeyDef(), "CUSTOMER");
    EXPECT_EQ(pair.t().Tbl.objectOf(master.ObjKeyDef()), &target);
    EXPECT_EQ(master.Caption(), "CUSTOMER");
    TDbObj unnamed(&pair.m());
    unnamed.SysName = "INTEG_12";
    EXPECT_EQ(unnamed.Caption(), "INTEG_12");
}

TEST(ObjectBase, DescriptionOnlyWhenDescriptionsAreCompared) {
    Database db;
    TTblData& table = AddTable(db.objs(), "T", {});
    table.Description = "Orders";
    EXPECT_NE(table.DescriptionDef(), "");
    db.objs().CompareObjects.Exclude(coDescription);
    EXPECT_EQ(table.DescriptionDef(), "");
    db.objs().CompareObjects.Include(coDescription);
    table.CompExclude = true;
    EXPECT_EQ(table.DescriptionDef(), "");
    EXPECT_EQ(table.CreateDef(), "");
}

// One object of each described kind, its description statement rendered in each mode.
class DescriptionModes : public testing::TestWithParam<std::pair<TUpdateDescriptionType, const char*>> {};

TEST_P(DescriptionModes, RenderAsGolden) {
    Database db;
    db.objs().IBServerOptions().IBCompareOptions.UpdateDescriptionMode = GetParam().first;
    auto named = [&](auto obj, const char* name) {
        obj->SetObjName(name);
        obj->Description = std::string("About ") + name + " (it's here)";
        return db.objs().AddObj(std::move(obj));
    };
    std::vector<TDbObj*> objs;
    objs.push_back(named(std::make_unique<TDmnData>(&db.objs()), "D_MONEY"));
    TTblData& table = AddTable(db.objs(), "Customer", {"NAME"});
    table.Description = "About Customer";
    table.FindFld("NAME")->Description = "About NAME";
    objs.push_back(&table);
    objs.push_back(table.FindFld("NAME"));
    TViwData& view = AddView(db.objs(), "V_CUST", "SELECT NAME FROM Customer", {"NAME"});
    view.Description = "About V_CUST";
    view.FindFld("NAME")->Description = "About view NAME";
    objs.push_back(&view);
    objs.push_back(view.FindFld("NAME"));
    TPrcData& procedure = AddProcedure(db.objs(), "P_GET", " BEGIN END");
    procedure.Description = "About P_GET";
    TFldData& param = procedure.AddParam("ID", ioIn);
    param.Description = "About ID";
    objs.push_back(&procedure);
    objs.push_back(&param);
    objs.push_back(named(std::make_unique<TTrgData>(&db.objs()), "TR_A"));
    objs.push_back(named(std::make_unique<TExcData>(&db.objs()), "E_A"));
    objs.push_back(named(std::make_unique<TIdxData>(&db.objs()), "IX_A"));
    objs.push_back(named(std::make_unique<TUdfData>(&db.objs()), "F_A"));
    objs.push_back(named(std::make_unique<TGnrData>(&db.objs()), "G_A"));
    objs.push_back(named(std::make_unique<TRolData>(&db.objs()), "R_A"));
    objs.push_back(named(std::make_unique<TGntData>(&db.objs()), "GRANT"));
    for (TDbObj* obj : objs)
        db.exec.AddDescription(*obj);
    // A grant has no description statement: the catalogue mode writes its description as a
    // comment, the other modes write nothing.
    EXPECT_EQ(db.Script(), Golden(GetParam().second));
    EXPECT_EQ(db.exec.Statements(2).OwnName, "Customer");
    EXPECT_EQ(db.exec.Statements(2).Description, "About NAME");
    EXPECT_EQ(db.exec.Statements(6).OwnName, "P_GET");
    EXPECT_EQ(db.exec.Statements(6).ObjType, dboParam);
}

std::string ModeName(const testing::TestParamInfo<DescriptionModes::ParamType>& info) {
    const char* names[] = {"SysTables", "Describe", "Comment"};
    return names[info.param.first];
}

INSTANTIATE_TEST_SUITE_P(Modes, DescriptionModes,
                         testing::Values(std::pair{udSysTables, "descriptions_systables.sql"},
                                         std::pair{udDescribe, "descriptions_describe.sql"},
                                         std::pair{udComment, "descriptions_comment.sql"}),
                         ModeName);
