#include "engine/dbcIBParser.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace dbc;

TEST(ReservedWords, TableHoldsEveryWordOnceInByteOrder) {
    auto words = IbResWords();
    ASSERT_EQ(words.size(), 192u);
    for (std::size_t i = 1; i < words.size(); ++i)
        EXPECT_LT(words[i - 1].Word, words[i].Word);
    std::set<int> codes;
    for (const TIbResWord& w : words) {
        EXPECT_GT(w.Symbol, syLastFixedSymbol);
        codes.insert(w.Symbol);
    }
    EXPECT_EQ(codes.size(), 187u); // five synonym pairs share a code
    EXPECT_EQ(IbFindResWord("INT"), IbFindResWord("INTEGER"));
    EXPECT_EQ(IbFindResWord("ASC"), syASCENDING);
    EXPECT_EQ(IbFindResWord("RDB$DB_KEY"), syRDB_DB_KEY);
    EXPECT_EQ(IbFindResWord("_<charset>"), syCharsetIntroducer);
    EXPECT_EQ(IbFindResWord("OVER"), 0);
    EXPECT_TRUE(IbTypeSymbols().Contains(syBOOLEAN));
    EXPECT_FALSE(IbTypeSymbols().Contains(sySELECT));
}

TEST(ReservedWords, VersionsReserveTheirOwnSets) {
    EXPECT_FALSE(IbKeywordSet(st_Firebird_25).Contains(syROLE));
    EXPECT_TRUE(IbKeywordSet(st_FireBird_15).Contains(syROLE));
    EXPECT_TRUE(IbKeywordSet(st_InterBase_5x).Contains(syROLE));
    EXPECT_FALSE(IbKeywordSet(st_InterBase_4x).Contains(syROLE));
    EXPECT_FALSE(IbKeywordSet(st_Firebird_30).Contains(syDESCENDING));
    EXPECT_TRUE(IbKeywordSet(st_Firebird_30).Contains(sySELECT));
}

TEST(IdentDialect3, QuotingAcrossServerVersions) {
    struct Case { const char* name; bool fb15; bool fb25; bool fb30; };
    const Case cases[] = {
        {"CUSTOMER", false, false, false},
        {"A1_B$C", false, false, false},
        {"", false, false, false},
        {"customer", true, true, true},     // lower case
        {"Customer", true, true, true},
        {"1ST", true, true, true},          // leading digit
        {"_X", true, true, true},
        {"MY TABLE", true, true, true},     // blank
        {"A-B", true, true, true},
        {"SELECT", true, true, true},       // reserved everywhere
        {"TYPE", true, true, false},        // free only in Firebird 3
        {"OVER", false, true, true},        // additional word from Firebird 2.5 on
        {"ROLE", true, false, false},       // freed by Firebird 2
        {"ACTION", true, false, false},
        {"ROWS", false, true, true},        // free in 1.5, additional in 2.x and 3
        {"BOOLEAN", false, false, true},    // additional in Firebird 3
        {"DATABASE", true, true, false},
        {"DAY", true, true, true},          // additional since InterBase 6
        {"RECREATE", true, true, true},
        {"TRUE", false, false, true},
        {"RDB$RECORD_VERSION", false, false, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IdentDialect3(c.name, st_FireBird_15), c.fb15) << c.name << " 1.5";
        EXPECT_EQ(IdentDialect3(c.name, st_Firebird_25), c.fb25) << c.name << " 2.5";
        EXPECT_EQ(IdentDialect3(c.name, st_Firebird_30), c.fb30) << c.name << " 3.0";
    }
}

TEST(IdentDialect3, InterBase75QuotesEveryTableWord) {
    EXPECT_TRUE(IdentDialect3("CROSS", st_InterBase_75));
    EXPECT_FALSE(IdentDialect3("CROSS", st_InterBase_7x));
    EXPECT_FALSE(IdentDialect3("COALESCE", st_InterBase_75));
    EXPECT_TRUE(IdentDialect3("COALESCE", st_InterBase_7x));
}

TEST(QuoteIdent, OnlyDialectThreeQuotesAndInnerQuotesAreDoubled) {
    EXPECT_EQ(QuoteIdent("Customer", st_Firebird_25, 3), "\"Customer\"");
    EXPECT_EQ(QuoteIdent("Customer", st_Firebird_25, 1), "Customer");
    EXPECT_EQ(QuoteIdent("SELECT", st_Firebird_25, 2), "SELECT");
    EXPECT_EQ(QuoteIdent("CUSTOMER", st_Firebird_25, 3), "CUSTOMER");
    EXPECT_EQ(QuoteIdent("say \"hi\"", st_Firebird_25, 3), "\"say \"\"hi\"\"\"");
}
