#include "engine/dbcCompColumn.h"
#include "engine/dbcDBOptions.h"
#include "engine/dbcTypes.h"

#include <gtest/gtest.h>

using namespace dbc;

TEST(Types, ScriptTerminatorPerDatabaseKind) {
    EXPECT_EQ(GenScriptTerm(dbInterBase), ";\r\n");
    EXPECT_EQ(GenScriptTerm(dbAbstract), ";\r\n");
    EXPECT_EQ(GenScriptTerm(dbSybaseASA), "\r\ngo\r\n");
    EXPECT_EQ(GenScriptTerm(dbSybaseASE), "\r\ngo\r\n");
    EXPECT_EQ(GenScriptTerm(dbMSSQL), "\r\nGO\r\n");
}

TEST(Types, QuotedStringDoublesApostrophesOnly) {
    struct Case { const char* text; const char* literal; };
    for (const Case& c : {Case{"", "''"}, Case{"O'Brien", "'O''Brien'"}, Case{"''", "''''''"},
                          Case{"two\r\nlines", "'two\r\nlines'"}, Case{"\"x\"", "'\"x\"'"}})
        EXPECT_EQ(ScriptQuotedStr(c.text), c.literal) << c.text;
}

TEST(Types, SchemaObjectName) {
    EXPECT_EQ(SchObjName("", "CUSTOMER"), "CUSTOMER");
    EXPECT_EQ(SchObjName("S", "N"), "S.N");
}

TEST(Types, TryStrToIntAcceptsWholeDecimalIntegersOnly) {
    struct Case { const char* text; bool ok; int value; };
    for (const Case& c : {Case{"0", true, 0}, Case{"42", true, 42}, Case{"-7", true, -7},
                          Case{"+7", true, 7}, Case{"2147483647", true, 2147483647},
                          Case{"2147483648", false, 0}, Case{"", false, 0}, Case{"12a", false, 0},
                          Case{" 1", false, 0}, Case{"+-1", false, 0}, Case{"1.5", false, 0}}) {
        int value = -1;
        EXPECT_EQ(TryStrToInt(c.text, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST(Types, CompareSetMasks) {
    EXPECT_EQ(DefCmpObjSet.Mask(), 0x7FFFFFu);
    EXPECT_EQ((DefCmpObjSet - TCmpObjSetType{coDescription}).Mask(), 0x3FFFFFu);
    EXPECT_EQ(TCmpObjSetType({coDomain, coTable}).Mask(), 0x11u);
    EXPECT_EQ(TCmpObjSetType::FromMask(0x400000), TCmpObjSetType{coDescription});
}

TEST(Types, EnumerationsKeepOneByteAndTheirOrdinals) {
    static_assert(sizeof(TDbObject) == 1 && sizeof(TStatType) == 1 && sizeof(TGrantPrivilege) == 1);
    static_assert(sizeof(TDBFieldType) == 1 && sizeof(TIBSQLServerVersionType) == 1);
    EXPECT_EQ(dboTblLIst, 61);
    EXPECT_EQ(dboUseOfList, 68);
    EXPECT_EQ(gntForceAnyTransaction, 42);
    EXPECT_EQ(stPackage, 19);
    EXPECT_EQ(odbDelete, 14);
    EXPECT_EQ(coDescription, 22);
    EXPECT_EQ(iftDomain, 94);
    EXPECT_EQ(st_Firebird_30, 11);
    EXPECT_EQ(dbCustomOLEDB, 13);
    EXPECT_EQ(cnFireDAC, 15);
}

TEST(Types, SetsOverWideEnumerations) {
    TDbObjectSet kinds{dboTable, dboUseOfList};
    EXPECT_TRUE(kinds.Contains(dboUseOfList));
    EXPECT_FALSE(kinds.Contains(dboView));
    kinds.Exclude(dboUseOfList);
    EXPECT_EQ(kinds, TDbObjectSet{dboTable});
    TGrantPrivilegeSet privileges{gntSelect};
    privileges |= TGrantPrivilegeSet{gntForceAnyTransaction};
    EXPECT_EQ(privileges.Mask(), (1ull << 4) | (1ull << 42));
}
