// The dependency passes after a script is read, and the resolution of names through the
// query-context stack that the body reader relies on.

#include "ParserFixture.h"

#include "engine/dbcComp_Ctr.h"
#include "engine/dbcComp_Dmn.h"
#include "engine/dbcComp_Gnr.h"
#include "engine/dbcComp_Idx.h"
#include "engine/dbcComp_Pkg.h"
#include "engine/dbcComp_Prc.h"
#include "engine/dbcComp_Rol.h"
#include "engine/dbcComp_Tbl.h"
#include "engine/dbcComp_Trg.h"
#include "engine/dbcComp_Viw.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace dbc;
using namespace enginetest;

namespace {

// What the object uses: names, and table.column for columns; sorted.
std::vector<std::string> Uses(const TDbObj* obj) {
    std::vector<std::string> uses;
    if (!obj)
        return {"<no object>"};
    for (const auto& d : obj->UseOf()) {
        const auto* column = dynamic_cast<const TFldData*>(d->Obj);
        uses.push_back(column ? column->OwnName + "." + column->ObjName() : d->Obj->GetCaption());
    }
    std::sort(uses.begin(), uses.end());
    return uses;
}

using Names = std::vector<std::string>;

} // namespace

TEST(ParserDependencies, IndicesAndKeysDependOnTheirColumns) {
    ScriptParse parse;
    parse.ParseAndLink("create table m (id int not null primary key, code int);\n"
                       "create table d (id int, m_id int, constraint fk_d foreign key (m_id) references m (id));\n"
                       "create unique index ix_code on m (code, nosuch);\n"
                       "alter table d add constraint uq_d unique (id, m_id);");
    EXPECT_EQ(Uses(parse.objs.GetIndex("IX_CODE")), (Names{"M", "M.CODE"}));
    EXPECT_EQ(Uses(parse.objs.GetConstraint("UQ_D")), (Names{"D", "D.ID", "D.M_ID"}));
    const TCtrData* pk = parse.objs.Ctr[0].object->CtType() == ctPKey ? parse.objs.Ctr[0].object.get() : nullptr;
    ASSERT_NE(pk, nullptr);
    EXPECT_EQ(Uses(pk), (Names{"M", "M.ID"}));
    EXPECT_EQ(Uses(parse.objs.GetConstraint("FK_D")), (Names{"ALTER TABLE M ADD PRIMARY KEY (ID)", "D", "D.M_ID", "M", "M.ID"}));
    // Both directions are recorded: the column knows the key that covers it.
    EXPECT_EQ(parse.objs.GetTableField("D", "M_ID")->UseIn().size(), 2u);
}

TEST(ParserDependencies, ForeignKeyWithoutColumnsUsesThePrimaryKey) {
    ScriptParse parse;
    parse.ParseAndLink("create table m (id int not null primary key, u int unique);\n"
                       "create table d (m_id int references m);");
    const TCtrData* fk = nullptr;
    for (const auto& entry : parse.objs.Ctr)
        if (entry.object->CtType() == ctFKey)
            fk = entry.object.get();
    EXPECT_EQ(Uses(fk), (Names{"ALTER TABLE M ADD PRIMARY KEY (ID)", "D", "D.M_ID", "M"}));
}

TEST(ParserDependencies, TriggersGrantsAndDomains) {
    ScriptParse parse;
    parse.ParseAndLink("create domain d_id as int;\ncreate table t (id d_id, n int);\ncreate role clerk;\n"
                       "set term ^;\ncreate trigger tr for t before insert as begin end^\n"
                       "create procedure p (a d_id, b type of column t.n) as begin end^\nset term ;^\n"
                       "grant select on t to clerk;\ngrant execute on procedure p to procedure p;\n"
                       "grant select on t to bob;");
    EXPECT_EQ(Uses(parse.objs.GetTrigger("TR")), Names{"T"});
    EXPECT_EQ(Uses(parse.objs.GetTable("T")), Names{"D_ID"});
    EXPECT_EQ(Uses(parse.objs.GetTableField("T", "ID")), Names{"D_ID"});
    EXPECT_EQ(Uses(parse.objs.GetProcedure("P")), (Names{"D_ID", "T.N"}));

    std::vector<std::string> grants;
    for (const auto& entry : parse.objs.Gnt) {
        const TGntData& grant = *entry.object;
        grants.push_back(grant.Def() + " uses " + testing::PrintToString(Uses(&grant)) + " class " +
                         std::to_string(grant.CmpGrantType));
    }
    EXPECT_EQ(grants, (Names{
                          "GRANT EXECUTE ON PROCEDURE P TO PROCEDURE P uses { \"P\" } class " + std::to_string(coObjGrant),
                          "GRANT SELECT ON TABLE T TO BOB uses { \"T\" } class " + std::to_string(coUserGrant),
                          "GRANT SELECT ON TABLE T TO CLERK uses { \"CLERK\", \"T\" } class " + std::to_string(coRoleGrant)}));
}

TEST(ParserDependencies, CalledProceduresAreDependencies) {
    ScriptParse parse;
    parse.ParseAndLink("create table t (i int);\nset term ^;\n"
                       "create procedure p1 as begin end^\n"
                       "create procedure p2 as begin execute procedure p1; execute procedure p2;\n"
                       "  execute procedure rdb$nothing; /* execute procedure p3; */ end^\n"
                       "create procedure p3 (i int) as begin end^\n"
                       "alter procedure p1 as begin execute procedure p3(1); end^\n"
                       "create trigger tr for t before insert as begin execute procedure p3(new.i); end^\n"
                       "create package k as begin procedure m; end^\n"
                       "create package body k as begin procedure m as begin execute procedure p1; end end^\n"
                       "create procedure p4 as begin execute procedure k.m; end^\nset term ;^");
    EXPECT_EQ(parse.Messages(), Names{});
    EXPECT_EQ(Uses(parse.objs.GetProcedure("P1")), Names{"P3"}); // the later body counts
    EXPECT_EQ(Uses(parse.objs.GetProcedure("P2")), Names{"P1"});
    EXPECT_EQ(Uses(parse.objs.GetTrigger("TR")), (Names{"P3", "T"}));
    EXPECT_EQ(Uses(parse.objs.GetPackage("K")), Names{"P1"});
    EXPECT_EQ(Uses(parse.objs.GetProcedure("P4")), Names{"K"});
    // The record says where in the body the call is.
    const TDependObj& call = *parse.objs.GetProcedure("P2")->UseOf()[0];
    EXPECT_EQ(call.PosY, 1);
}

TEST(ParserDependencies, IndexOfAConstraintIsNoIndexOfItsOwn) {
    ScriptParse parse;
    std::vector<std::string> log;
    parse.parser.OnLogNextLine = [&](platform::Object&, const std::string& line) { log.push_back(line); };
    parse.ParseAndLink("create table t (a int, b int);\nalter table t add constraint uq_a unique (a);\n"
                       "create unique index uq_a on t (a);\ncreate index ix_b on t (b);\n"
                       "alter table t add constraint uq_b unique (a) using index ix_other;");
    ASSERT_EQ(parse.objs.Idx.size(), 1u);
    EXPECT_EQ(parse.objs.Idx[0].object->ObjName(), "IX_B");
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const std::string& l) {
        return l.starts_with("Remove index: ") && l.ends_with("\r\nfor constraint: ALTER TABLE T ADD CONSTRAINT UQ_A UNIQUE (A)");
    }));
}

namespace {

// A collection to resolve names against: a table, a view, a selectable procedure, a generator.
struct Contexts : testing::Test {
    ScriptParse parse;
    TPrcData* procedure = nullptr;
    Contexts() {
        parse.Parse("create table t (a int, b int);\ncreate table u (c int);\ncreate view v (x) as select a from t;\n"
                    "create generator g;\nset term ^;\ncreate procedure sp returns (r int) as begin suspend; end^\n"
                    "create procedure body_of as begin end^\nset term ;^");
        procedure = parse.objs.GetProcedure("BODY_OF");
    }
    TSelectContext& Query(std::vector<std::string> tables, std::vector<std::string> aliases, bool secondPass = true) {
        TSelectContext& ctx = parse.parser.PushSelectContext();
        ctx.SelectTables = std::move(tables);
        ctx.SelectAliases = std::move(aliases);
        ctx.SecondPass = secondPass;
        return ctx;
    }
};

} // namespace

TEST_F(Contexts, QualifiedAndBareColumnsResolveThroughTheStack) {
    TIbParser& parser = parse.parser;
    Query({"T", "SP"}, {"X", ""});
    parser.AddLinkDepend(procedure, "X", "A");  // alias
    parser.AddLinkDepend(procedure, "SP", "R"); // table name as qualifier
    Query({"U"}, {""});
    parser.AddLinkDepend(procedure, "", "B");   // bare, found in the outer query
    parser.AddLinkDepend(procedure, "", "C");   // bare, in the inner one
    parser.AddLinkDepend(procedure, "", "ZZ");  // nowhere
    EXPECT_EQ(Uses(procedure), (Names{"SP", "T.A", "T.B", "U.C"}));
    parser.PopSelectContext();
    parser.PopSelectContext();
    EXPECT_EQ(parser.SelectCtxSize(), 0u);
}

TEST_F(Contexts, StarsLinkWholeObjects) {
    TIbParser& parser = parse.parser;
    Query({"T", "V"}, {"", "W"});
    parser.AddLinkDepend(procedure, "W", "*");
    EXPECT_EQ(Uses(procedure), Names{"V"});
    parser.AddLinkDepend(procedure, "", "*");
    EXPECT_EQ(Uses(procedure), (Names{"T", "V"}));
    parser.PopSelectContext();
}

TEST_F(Contexts, NothingIsLinkedInTheFirstPass) {
    Query({"T"}, {""}, false);
    parse.parser.AddLinkDepend(procedure, "", "A");
    EXPECT_EQ(Uses(procedure), Names{});
    parse.parser.PopSelectContext();
}

TEST_F(Contexts, BareNamesOutsideQueriesAreGeneratorsUnlessLocal) {
    TIbParser& parser = parse.parser;
    parser.LocalVariables = {"G"};
    parser.AddLinkDepend(procedure, "", "G");
    EXPECT_EQ(Uses(procedure), Names{});
    parser.LocalVariables.clear();
    parser.AddLinkDepend(procedure, "", "G");
    EXPECT_EQ(Uses(procedure), Names{"G"});
}

TEST_F(Contexts, LinkingByNameSkipsSystemObjectsAndItself) {
    TIbParser& parser = parse.parser;
    parser.LinkDepend(procedure, "RDB$RELATIONS", TDbObjectSet{dboTable});
    parser.LinkDepend(procedure, "BODY_OF", TDbObjectSet{dboProcedure});
    parser.LinkDepend(procedure, "SP", TDbObjectSet{dboTable}); // not among the kinds
    EXPECT_EQ(Uses(procedure), Names{});
    parser.LinkDepend(procedure, "SP", TDbObjectSet{dboTable, dboProcedure});
    EXPECT_EQ(Uses(procedure), Names{"SP"});
    parser.LinkDepend(nullptr, "SP", TDbObjectSet{dboProcedure});
    EXPECT_EQ(parse.Messages().back().substr(parse.Messages().back().find(' ') + 1),
              "\"Dependent\" db-object not assigned. (TCustomParser.LinkDepend(...))");
}

TEST_F(Contexts, AViewReadingAColumnAlsoUsesTheTableDomains) {
    parse.Parse("create domain d_code as varchar(5);\ncreate table c (id int, code d_code);\n"
                "create view cv as select id from c;");
    TViwData* view = parse.objs.GetView("CV");
    parse.parser.LinkDepend(view, parse.objs.GetTable("C"), "ID");
    EXPECT_EQ(Uses(view), (Names{"C.ID", "D_CODE"}));
}
