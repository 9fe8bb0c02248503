#include "EngineFixture.h"

#include "engine/dbcComp_Fnc.h"
#include "engine/dbcComp_Idx.h"

#include <gtest/gtest.h>

using namespace dbc;
using namespace enginetest;

TEST(TriggerTexts, TypeNumbersAndHeader) {
    Database db;
    AddTable(db.objs(), "T", {});
    TTrgData& trigger = AddTrigger(db.objs(), "TR_T", "T", 17, "AS BEGIN END");
    EXPECT_EQ(trigger.OwnObj(), db.objs().GetTable("T"));
    struct Case { int typ; const char* text; };
    for (const Case& c : {Case{1, "BEFORE INSERT"}, Case{6, "AFTER DELETE"}, Case{17, "BEFORE INSERT OR UPDATE"},
                          Case{113, "BEFORE INSERT OR UPDATE OR DELETE"}, Case{4, "AFTER UPDATE"}}) {
        trigger.Typ = c.typ;
        EXPECT_EQ(trigger.TrgTypStr(), c.text) << c.typ;
    }
    trigger.Typ = 17;
    EXPECT_EQ(trigger.Def(), "CREATE TRIGGER TR_T FOR T\r\nACTIVE BEFORE INSERT OR UPDATE POSITION 0 \r\nAS BEGIN END");
    trigger.Active = false;
    trigger.Position = 5;
    EXPECT_EQ(trigger.EmptyDef(), "CREATE TRIGGER TR_T FOR T\r\nINACTIVE BEFORE INSERT OR UPDATE POSITION 5 \r\n"
                                  " AS Declare variable I integer;\r\nBEGIN I = 0; END");
    EXPECT_EQ(trigger.AlterDef(), "ALTER TRIGGER TR_T\r\nAS BEGIN END");
    EXPECT_EQ(trigger.DropDef(), "DROP TRIGGER TR_T");

    TTrgData& onConnect = AddTrigger(db.objs(), "TR_CONNECT", "DATABASE", 0, "AS BEGIN END");
    onConnect.EventType = "CONNECT";
    EXPECT_EQ(onConnect.OwnObj(), nullptr);
    EXPECT_EQ(onConnect.Ib_HeaderDef(), "CREATE TRIGGER TR_CONNECT\r\nACTIVE ON CONNECT\r\n POSITION 0 \r\n");
}

TEST(TriggerTexts, DdlTriggerTypesNeedSixtyFourBits) {
    Database db;
    TTrgData& trigger = AddTrigger(db.objs(), "TR_DDL", "DATABASE", 0, "AS BEGIN END");
    // Type numbers as Firebird 3 stores them.
    struct Case { std::int64_t typ; const char* text; };
    for (const Case& c : {Case{16387, "AFTER CREATE TABLE"}, Case{16480, "BEFORE ALTER PROCEDURE OR DROP PROCEDURE"},
                          Case{2147500033, "AFTER CREATE SEQUENCE"}, Case{140737488371712, "BEFORE DROP MAPPING"},
                          Case{26388279083008, "BEFORE CREATE PACKAGE BODY OR DROP PACKAGE BODY"},
                          Case{9223372036854767614, "BEFORE ANY DDL STATEMENT"},
                          Case{9223372036854767615, "AFTER ANY DDL STATEMENT"}}) {
        trigger.Typ = c.typ;
        EXPECT_TRUE(trigger.IsDdlTrigger()) << c.typ;
        EXPECT_EQ(trigger.TrgTypStr(), c.text) << c.typ;
    }
    trigger.Typ = 16387;
    EXPECT_EQ(trigger.Def(), "CREATE TRIGGER TR_DDL\r\nACTIVE AFTER CREATE TABLE POSITION 0 \r\nAS BEGIN END");
    EXPECT_EQ(DdlTriggerEventBit("CREATE PACKAGE BODY"), 43);
    EXPECT_EQ(DdlTriggerEventBit("CREATE CHEESE"), -1);
    trigger.Typ = TrgTypeDatabase + 3;
    EXPECT_FALSE(trigger.IsDdlTrigger());
}

TEST(TriggerTexts, SourceDefKeepsTheFirstBody) {
    Database db;
    TTrgData& trigger = AddTrigger(db.objs(), "TR", "T", 2, "AS BEGIN /* v1 */ END");
    std::string first = trigger.SourceDef();
    trigger.Body = "AS BEGIN /* v2 */ END";
    EXPECT_EQ(trigger.SourceDef(), first);
    EXPECT_EQ(trigger.SourceBody, "AS BEGIN /* v1 */ END");
}

TEST(TriggerTexts, EmptyingMarksTheMasterForRestore) {
    ComparePair pair;
    TTrgData& target = AddTrigger(pair.t(), "TR", "T", 2, "AS BEGIN END");
    TTrgData& master = AddTrigger(pair.m(), "TR", "T", 2, "AS BEGIN END");
    pair.LinkAndMarkCreated();
    target.AssignEmptyBody();
    target.AssignEmptyBody();
    EXPECT_TRUE(master.RestoreBody());
    EXPECT_EQ(target.Body, TTrgData::EmptyBody());
    EXPECT_EQ(Statements(pair.exec), (std::vector<StatementKey>{{odbAlter, dboTrigger, "TR"}}));
}

TEST(ProcedureTexts, DefinitionsAndEmptyBodies) {
    Database db;
    TPrcData& procedure = AddProcedure(db.objs(), "P", " BEGIN EXIT; END");
    EXPECT_EQ(procedure.Def(), "CREATE PROCEDURE P AS\r\n BEGIN EXIT; END");
    EXPECT_EQ(procedure.EmptyBody(), " BEGIN EXIT; END");
    procedure.AddParam("A", ioIn).FieldType = iftInteger;
    TFldData& b = procedure.AddParam("b", ioIn);
    b.FieldType = iftVarchar;
    b.CharLength = 10;
    b.FDefValue = "'x'";
    TFldData& r = procedure.AddParam("R", ioOut);
    r.FieldType = iftBigInt;
    EXPECT_EQ(procedure.ParamDef(), "(A INTEGER,\r\n\"b\" VARCHAR(10) = 'x')\r\n RETURNS(R BIGINT)\r\n");
    EXPECT_EQ(procedure.EmptyBody(), " BEGIN SUSPEND; END");
    EXPECT_EQ(procedure.EmptyDef(), "CREATE PROCEDURE P(A INTEGER,\r\n\"b\" VARCHAR(10) = 'x')\r\n RETURNS(R BIGINT)\r\n"
                                    " AS\r\n BEGIN SUSPEND; END");
    EXPECT_EQ(procedure.AlterEmptyDef().substr(0, 17), "ALTER PROCEDURE P");
    EXPECT_EQ(procedure.DropDef(), "DROP PROCEDURE P");
    procedure.IsFunction = true;
    EXPECT_EQ(procedure.ParamDef(), "(A INTEGER,\r\n\"b\" VARCHAR(10) = 'x')\r\n RETURNS R BIGINT\r\n");
    EXPECT_EQ(procedure.EmptyBody(), " BEGIN RETURN NULL; END");
    EXPECT_EQ(procedure.AlterDef().substr(0, 17), "ALTER FUNCTION P(");
    procedure.Deterministic = true;
    EXPECT_EQ(procedure.ParamDef(), "(A INTEGER,\r\n\"b\" VARCHAR(10) = 'x')\r\n RETURNS R BIGINT DETERMINISTIC\r\n");
    procedure.External = "EXTERNAL NAME 'lib!entry' ENGINE UDR";
    EXPECT_EQ(procedure.Def(), "CREATE FUNCTION P(A INTEGER,\r\n\"b\" VARCHAR(10) = 'x')\r\n RETURNS R BIGINT "
                               "DETERMINISTIC\r\nEXTERNAL NAME 'lib!entry' ENGINE UDR");
    procedure.CompExclude = true;
    EXPECT_EQ(procedure.EmptyDef(), "");
    procedure.ClearParams();
    EXPECT_TRUE(procedure.Params.empty());
    EXPECT_TRUE(procedure.Returns.empty());
}

TEST(ProcedureTexts, RestoreFlagFollowsTheCounterpart) {
    ComparePair pair;
    TPrcData& master = AddProcedure(pair.m(), "P", "");
    TPrcData& target = AddProcedure(pair.t(), "P", "");
    pair.LinkAndMarkCreated();
    master.SetRestoreBody(true);
    EXPECT_TRUE(target.RestoreBody());
    target.SetRestoreBody(false);
    EXPECT_FALSE(master.RestoreBody());
}

namespace {

TFldData& Column(Database& db, TDBFieldType type) {
    static int n = 0;
    TTblData& table = db.objs().Tbl.empty() ? AddTable(db.objs(), "T", {}) : *db.objs().Tbl[0].object;
    TFldData& column = table.AddFld("C" + std::to_string(++n));
    column.FieldType = type;
    return column;
}

} // namespace

TEST(ColumnTexts, TypeTexts) {
    Database db;
    auto type = [&](TDBFieldType t, auto&& set) {
        TFldData& column = Column(db, t);
        set(column);
        return column.TypeDef();
    };
    auto none = [](TFldData&) {};
    EXPECT_EQ(type(iftChar, [](TFldData& c) { c.CharLength = 1; }), "CHAR");
    EXPECT_EQ(type(iftChar, [](TFldData& c) { c.CharLength = 3; }), "CHAR(3)");
    EXPECT_EQ(type(iftVarchar, [](TFldData& c) { c.CharLength = 40; }), "VARCHAR(40)");
    EXPECT_EQ(type(iftCstring, [](TFldData& c) { c.CharLength = 8; }), "CSTRING(8)");
    EXPECT_EQ(type(iftBlob, [](TFldData& c) { c.BlobSegSize = 80; }), "BLOB");
    EXPECT_EQ(type(iftBlob, [](TFldData& c) { c.BlobSubType = 1; c.BlobSegSize = 100; }), "BLOB SUB_TYPE 1 SEGMENT SIZE 100");
    EXPECT_EQ(type(iftNumeric, [](TFldData& c) { c.Precision = 9; }), "NUMERIC(9)");
    EXPECT_EQ(type(iftDecimal, [](TFldData& c) { c.Precision = 18; c.Scale = 4; }), "DECIMAL(18,4)");
    EXPECT_EQ(type(iftNumeric, [](TFldData& c) { c.Precision = 5; c.Scale = 2; c.ArrayBounds = {{1, 3}, {0, 9}}; }),
              "NUMERIC [1:3, 0:9](5,2)");
    EXPECT_EQ(type(iftDoublePrecision, none), "DOUBLE PRECISION");
    EXPECT_EQ(type(iftTimeStamp, none), "TIMESTAMP");
    EXPECT_EQ(type(iftUnknown, none), "? DataType");
    EXPECT_EQ(type(iftInteger, [](TFldData& c) { c.Body = "(A + B)"; }), "COMPUTED BY (A + B)");
    EXPECT_EQ(type(iftDomain, [](TFldData& c) { c.DomainName = "d_money"; }), "\"d_money\"");
    EXPECT_EQ(type(iftDomain, [](TFldData& c) { c.DomainName = "D"; c.TypeOf = true; }), "TYPE OF D");
    EXPECT_EQ(type(iftDomain, [](TFldData& c) { c.TypeOf = true; c.TypeOfTbl = "T"; c.TypeOfFld = "ID"; }),
              "TYPE OF COLUMN T.ID");
    EXPECT_EQ(type(iftInteger, [](TFldData& c) { c.FncParameter = 2; c.Nullable = false; }), "PARAMETER 2");
    EXPECT_EQ(type(iftInteger, [](TFldData& c) { c.FDefValue = "0"; c.Nullable = false; }), "INTEGER DEFAULT 0 NOT NULL");
    EXPECT_EQ(type(iftVarchar, [](TFldData& c) { c.CharLength = 5; c.FDefValue = "\"it's\""; }),
              "VARCHAR(5) DEFAULT 'it''s'");
    db.objs().IBServerOptions().SQLDialect = 1;
    EXPECT_EQ(type(iftTimeStamp, none), "DATE");
    EXPECT_EQ(type(iftTime, [](TFldData& c) { c.ArrayBounds = {{1, 2}}; }), "DATE [1:2]");
}

TEST(ColumnTexts, CharacterSetsIdentityAndDomainDefaults) {
    Database db;
    TIBServerOptions& options = db.objs().IBServerOptions();
    options.SetDBCharSet("UTF8");
    TFldData& name = Column(db, iftVarchar);
    name.CharLength = 10;
    name.CharSet = "WIN1252";
    name.Collation = "PXW_INTL";
    EXPECT_EQ(name.TypeDef(), "VARCHAR(10)"); // character sets are only compared on request
    options.IBCompareOptions.FldCharsetCompare = true;
    EXPECT_EQ(name.TypeDef(), "VARCHAR(10) CHARACTER SET WIN1252 COLLATE PXW_INTL");
    name.CharSet = "UTF8";
    name.Collation.clear();
    EXPECT_EQ(name.TypeDef(), "VARCHAR(10)");

    TFldData& id = Column(db, iftInteger);
    id.Identity = true;
    id.Nullable = false;
    EXPECT_EQ(id.TypeDef(), "INTEGER");
    options.SQLServerVersion = st_Firebird_30;
    EXPECT_EQ(id.TypeDef(), "INTEGER GENERATED BY DEFAULT AS IDENTITY");
    id.IdentityStart = "66";
    EXPECT_EQ(id.TypeDef(), "INTEGER GENERATED BY DEFAULT AS IDENTITY (START WITH 66)");

    auto domain = std::make_unique<TDmnData>(&db.objs());
    domain->SetObjName("D_FLAG");
    domain->Data().FieldType = iftSmallInt;
    domain->Data().FDefValue = "0";
    domain->Data().CheckDef = "(VALUE IN (0, 1))";
    TDmnData* flag = db.objs().AddObj(std::move(domain));
    EXPECT_EQ(flag->Data().Def(), "SMALLINT DEFAULT 0 CHECK(VALUE IN (0, 1))");
    TFldData& active = Column(db, iftDomain);
    active.DomainName = "D_FLAG";
    active.FDefValue = "0";
    EXPECT_EQ(active.GetDmnData(), flag);
    EXPECT_EQ(active.Def(), active.ObjName() + " D_FLAG");
    active.FDefValue = "1";
    EXPECT_EQ(active.Def(), active.ObjName() + " D_FLAG DEFAULT 1");
}

TEST(ColumnTexts, FirebirdTypeCodes) {
    struct Case { int code; TDBFieldType type; };
    for (const Case& c : {Case{7, iftSmallInt}, Case{8, iftInteger}, Case{9, iftQuad}, Case{10, iftFloat},
                          Case{12, iftDate}, Case{13, iftTime}, Case{14, iftChar}, Case{16, iftBigInt},
                          Case{17, iftBoolean}, Case{23, iftBoolean}, Case{27, iftDoublePrecision},
                          Case{35, iftTimeStamp}, Case{37, iftVarchar}, Case{40, iftCstring},
                          Case{261, iftBlob}, Case{99, iftUnknown}})
        EXPECT_EQ(FldTypeFromIbType(c.code, 3), c.type) << c.code;
    EXPECT_EQ(FldTypeFromIbType(35, 1), iftDate);
}

TEST(ViewTexts, Definition) {
    Database db;
    TViwData& view = AddView(db.objs(), "V", "SELECT A, B FROM T", {"A", "b"});
    EXPECT_EQ(view.GetFlds(), "(\r\nA,\r\n\"b\")");
    EXPECT_EQ(view.Def(), "CREATE VIEW V(\r\nA,\r\n\"b\")\r\n AS \r\nSELECT A, B FROM T");
    EXPECT_EQ(view.DropDef(), "DROP VIEW V");
    TViwData& bare = AddView(db.objs(), "W", "SELECT 1 FROM RDB$DATABASE", {});
    EXPECT_EQ(bare.Def(), "CREATE VIEW W\r\n AS \r\nSELECT 1 FROM RDB$DATABASE");
}

TEST(ViewTexts, RecreateAndPositionMarksReachTheCounterpart) {
    ComparePair pair;
    TViwData& master = AddView(pair.m(), "V", "", {});
    TViwData& target = AddView(pair.t(), "V", "", {});
    TTblData& masterTable = AddTable(pair.m(), "T", {});
    TTblData& targetTable = AddTable(pair.t(), "T", {});
    pair.LinkAndMarkCreated();
    master.SetReCreate(true);
    EXPECT_TRUE(target.ReCreate());
    target.SetReCreate(false);
    EXPECT_FALSE(master.ReCreate());
    masterTable.SetUpdFldPos(true);
    masterTable.SetUpdFldPos(false);
    EXPECT_FALSE(masterTable.UpdFldPos());
    EXPECT_TRUE(targetTable.UpdFldPos());
}

namespace {

TCtrData& Constraint(Database& db, TConstraintType type, const char* name, const char* table,
                     std::initializer_list<const char*> columns) {
    auto ctr = std::make_unique<TCtrData>(&db.objs());
    ctr->SetObjName(name);
    ctr->SetCtType(type);
    ctr->TblName = table;
    for (const char* column : columns)
        ctr->Flds.add(column, nullptr);
    return *db.objs().AddObj(std::move(ctr));
}

} // namespace

TEST(ConstraintTexts, DefinitionsAndKeys) {
    Database db;
    TCtrData fresh(&db.objs());
    EXPECT_EQ(fresh.CtType(), ctFKey);
    EXPECT_EQ(fresh.ObjType(), dboConstraint);

    TCtrData& pk = Constraint(db, ctPKey, "PK_Orders", "Orders", {"ID"});
    EXPECT_EQ(pk.ObjType(), dboPKey);
    EXPECT_EQ(pk.Def(), "ALTER TABLE \"Orders\" ADD CONSTRAINT \"PK_Orders\" PRIMARY KEY (ID)");
    EXPECT_EQ(pk.ObjKeyDef(), "PK_Orders");
    pk.UsingIndex = "IX_PK";
    pk.UsingDescIndex = true;
    EXPECT_EQ(pk.ConstraintDef(), "CONSTRAINT \"PK_Orders\" PRIMARY KEY (ID)\r\nUSING DESC INDEX IX_PK");

    TCtrData& fk = Constraint(db, ctFKey, "", "Lines", {"ORDER_ID", "SHOP"});
    fk.SysName = "INTEG_41";
    fk.RefTblName = "Orders";
    fk.RefFlds.add("ID", nullptr);
    fk.RefFlds.add("SHOP", nullptr);
    fk.OnDelete = udaCascade;
    fk.OnUpdate = udaRestrict;
    EXPECT_EQ(fk.Def(), "ALTER TABLE \"Lines\" ADD FOREIGN KEY (ORDER_ID, SHOP) REFERENCES \"Orders\" (ID, SHOP)"
                        " ON UPDATE RESTRICT ON DELETE CASCADE");
    // Unnamed constraints are keyed by their definition without quoting.
    EXPECT_EQ(fk.GetObjKeyDef(), "ALTER TABLE Lines ADD FOREIGN KEY (ORDER_ID, SHOP) REFERENCES Orders (ID, SHOP)"
                                 " ON UPDATE RESTRICT ON DELETE CASCADE");
    EXPECT_EQ(fk.GetCaption(), "INTEG_41");

    db.objs().SetCompareRole(crTargetRole);
    db.objs().IBServerOptions().IBDatabaseOptions.ODSMajorVersion = 8;
    EXPECT_EQ(fk.ConstraintDef(), "FOREIGN KEY (ORDER_ID, SHOP) REFERENCES \"Orders\" (ID, SHOP)");

    TCtrData& check = Constraint(db, ctCheck, "CK_QTY", "Lines", {});
    check.Body = "(QTY > 0)";
    EXPECT_EQ(check.ConstraintDef(), "CONSTRAINT CK_QTY CHECK(QTY > 0)");
    EXPECT_EQ(Constraint(db, ctUnique, "UQ", "T", {"A", "B"}).ConstraintDef(), "CONSTRAINT UQ UNIQUE (A, B)");
}

namespace {

std::unique_ptr<TGntData> Grant(TObjs& objs, TDbObject objType, const char* obj, TDbObject userType,
                                const char* user, std::initializer_list<TGrantPrivilege> privileges) {
    auto grant = std::make_unique<TGntData>(&objs);
    grant->GntObjType = objType;
    grant->GntObjName = obj;
    grant->GntUserType = userType;
    grant->User = user;
    grant->Privilege = TGrantPrivilegeSet(privileges);
    return grant;
}

} // namespace

TEST(GrantTexts, GrantStatementsAndKeys) {
    Database db;
    TObjs& objs = db.objs();
    const auto allTable = {gntInsert, gntUpdate, gntDelete, gntSelect, gntReferences};
    EXPECT_EQ(Grant(objs, dboTable, "T", dboUser, "U", allTable)->Def(), "GRANT ALL ON TABLE T TO U");
    EXPECT_EQ(Grant(objs, dboView, "V", dboUser, "U", allTable)->Def(), "GRANT ALL ON V TO U");
    EXPECT_EQ(Grant(objs, dboTable, "T", dboUser, "U", {gntAll})->Def(), "GRANT ALL ON TABLE T TO U");
    EXPECT_EQ(Grant(objs, dboTable, "T", dboUser, "U", {gntSelect, gntInsert, gntExecute})->Def(),
              "GRANT INSERT, SELECT, EXECUTE ON TABLE T TO U");
    auto columns = Grant(objs, dboTable, "T", dboUser, "U", {gntUpdate});
    columns->Flds = {"C1", "c2"};
    EXPECT_EQ(columns->Def(), "GRANT UPDATE (C1, \"c2\") ON TABLE T TO U");
    EXPECT_EQ(columns->FldsSeq(), " (C1, \"c2\")");
    EXPECT_EQ(Grant(objs, dboProcedure, "P", dboProcedure, "R", {gntExecute})->Def(),
              "GRANT EXECUTE ON PROCEDURE P TO PROCEDURE R");
    auto withOption = Grant(objs, dboTable, "T", dboTrigger, "TR", {gntSelect});
    withOption->Option = 1;
    EXPECT_EQ(withOption->Def(), "GRANT SELECT ON TABLE T TO TRIGGER TR WITH GRANT OPTION");
    auto role = Grant(objs, dboRole, "Manager", dboUser, "ANN", {});
    role->Option = 1;
    EXPECT_EQ(role->Def(), "GRANT \"Manager\" TO ANN WITH ADMIN OPTION");
    auto ready = Grant(objs, dboUnknown, "", dboUnknown, "", {});
    ready->Body = "GRANT SELECT ON X TO Y";
    EXPECT_EQ(ready->Def(), "GRANT SELECT ON X TO Y");

    // Quoting aside, two grants of the same privileges are the same grant.
    auto quoted = Grant(objs, dboTable, "order", dboUser, "clerk", {gntSelect});
    EXPECT_EQ(quoted->Def(), "GRANT SELECT ON TABLE \"order\" TO \"clerk\"");
    EXPECT_EQ(quoted->GetObjKeyDef(), "GRANT SELECT ON TABLE order TO clerk");
}

TEST(SmallObjects, GeneratorOptionsAndFunctionArguments) {
    Database db;
    TGnrData generator(&db.objs());
    EXPECT_EQ(generator.Cache(), "20");
    EXPECT_TRUE(generator.NoMaxValue());
    EXPECT_TRUE(generator.NoMinValue);
    generator.SetMaxValue("1000");
    EXPECT_FALSE(generator.NoMaxValue());
    generator.SetMaxValue("999999999999999999999999999");
    EXPECT_EQ(generator.MaxValue(), "");
    EXPECT_TRUE(generator.NoMaxValue());
    generator.SetCache("0");
    EXPECT_TRUE(generator.NoCache());
    EXPECT_EQ(generator.Cache(), "");
    generator.SetCache("50");
    generator.SetNoCache(true);
    EXPECT_EQ(generator.Cache(), "");

    TUdfData function(&db.objs());
    function.SetObjName("F");
    TFldData& argument = function.AddPrm();
    argument.FieldType = iftBlob;
    argument.BlobSegSize = 100;
    EXPECT_EQ(argument.TypeDef(), "BLOB"); // external functions take no segment size
    EXPECT_EQ(function.RtnFld().OwnObj, &function);

    TIdxData index(&db.objs());
    EXPECT_TRUE(index.Active);
    EXPECT_EQ(index.ObjType(), dboIndex);
}
