// The scanner: symbols and their display texts, numbers, strings, comments, the terminator,
// Firebird lexical forms, positions and the messages the scanner reports.

#include "engine/dbcIBParser.h"
#include "engine/dbcMsg.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace dbc;

namespace {

// A Firebird parser whose protected scanner operations the tests call.
struct Scanner : TIbParser {
    explicit Scanner(TIBSQLServerVersionType version = st_Firebird_30, int dialect = 1) : TIbParser(nullptr) {
        IBServerOptions().SQLServerVersion = version;
        IBServerOptions().SQLDialect = static_cast<TIBSQLDialectType>(dialect);
        OnErrorMessage = [this](platform::Object&, const std::string& text) { shown.push_back(text); };
    }
    using TIbParser::GetExpr;
    using TIbParser::GetNumDec;

    // Every symbol of the text: its display text, and for identifiers, numbers and strings a
    // colon and what they carry.
    std::string Tokens(const std::string& text) {
        AssignTxt(text);
        std::string tokens;
        for (GetSy(); Sy() != sy_EOF; GetSy()) {
            if (!tokens.empty())
                tokens += ' ';
            tokens += SyResWord();
            if (Sy() == sy_Ident || Sy() == syCharsetIntroducer)
                tokens += ":" + Ident();
            else if (Sy() == sy_Integer)
                tokens += ":" + std::to_string(IntVal());
            else if (Sy() == sy_Float)
                tokens += ":" + StrVal();
            else if (Sy() == sy_String)
                tokens += ":" + std::string(1, StrQuoteCh()) + StrVal() + std::string(1, StrQuoteCh());
        }
        return tokens;
    }
    std::vector<std::string> Errors() const {
        std::vector<std::string> errors;
        for (const auto& m : MsgManager().Messages())
            errors.push_back(m->Msg);
        return errors;
    }
    std::vector<std::string> shown;
};

struct TokenCase {
    const char* name;
    std::string text;
    std::string tokens;
    std::vector<std::string> errors = {};
    TIBSQLServerVersionType version = st_Firebird_30;
    int dialect = 1;
    std::string term = ";";
};

// Test names show the case by its name.
void PrintTo(const TokenCase& c, std::ostream* os) { *os << c.name; }

class TokenStreams : public testing::TestWithParam<TokenCase> {};

const TokenCase kTokenCases[] = {
    {"Empty", "", ""},
    {"OnlyBlanks", " \t\r\n ", ""},
    {"DotsBetweenNumbers", "1..5", "<Integer value>:1 <.> <Float value>:.5"},
    {"LeadingDotFloat", ".5", "<Float value>:.5"},
    {"Floats", "3.25 1e5 2.5E-3", "<Float value>:3.25 <Float value>:1e5 <Float value>:2.5E-3"},
    {"DoubledQuote", "'it''s'", "<String value>:'it's'"},
    {"UnterminatedString", "'abc", "<String value>:'abc'"},
    {"OtherQuotes", "`tick` \"dq\"", "<String value>:`tick` <String value>:\"dq\""},
    {"Identifiers", "abc A1$_B rdb$relations", "<Ident>:ABC <Ident>:A1$_B <Ident>:RDB$RELATIONS"},
    {"ReservedWords", "select Integer int asc", "SELECT INTEGER INTEGER <Ident>:ASC"},
    {"Punctuation", "( ) , - + * / = . : [ ] @ \\ % &",
     "<(> <)> <,> <-> <+> <*> </> <=> <.> <:> <[> <]> <@> \\ % <&>"},
    {"Comparisons", "< <= > >= <> != == =", "\"<\" \"<=\" \">\" \">=\" [<>] [<>] <==> <=>"},
    {"Concatenation", "a||b", "<Ident>:A <||> <Ident>:B"},
    {"TerminatorBeatsSemicolon", "a;b", "<Ident>:A <Terminator> <Ident>:B"},
    {"SemicolonUnderOtherTerminator", "a;b^", "<Ident>:A <;> <Ident>:B <Terminator>", {}, st_Firebird_30, 1, "^"},
    {"TerminatorAfterWord", "END^", "END <Terminator>", {}, st_Firebird_30, 1, "^"},
    {"LongTerminator", "x!!y", "<Ident>:X <Terminator> <Ident>:Y", {}, st_Firebird_30, 1, "!!"},
    {"LineComment", "a -- note\r\nb", "<Ident>:A <Ident>:B"},
    {"LineCommentAtEnd", "a -- note", "<Ident>:A"},
    {"BlockComment", "a/* x; y */b", "<Ident>:A <Ident>:B"},
    {"UnterminatedBlockComment", "a /* x", "<Ident>:A"},
    {"CtrlZIsBlank", "a\x1A" "b", "<Ident>:A <Ident>:B"},
    {"UnknownCharacter", "a # b", "<Ident>:A <Ident>:B", {"Invalid char in source text: \"#\"."}},
    {"LoneBang", "!x", "<Ident>:X", {"Invalid char in source text: \"!\"."}},
    {"NonAsciiOutsideStrings", "\xC3\x84x 'Ol\xC3\xA1'", "<Ident>:X <String value>:'Ol\xC3\xA1'",
     {"Invalid char in source text: \"\xC3\x84\"."}},
    {"Introducer", "_utf8 'x'", "_<charset>:_UTF8 <String value>:'x'"},
    {"HexNumberFirebird30", "0x1F 0XFF", "<Integer value>:31 <Integer value>:255"},
    {"HexNumberBeforeFirebird25", "0x1F", "<Integer value>:0 <Ident>:X1F", {}, st_Firebird_21},
    {"HexString", "X'414243' x''", "<String value>:'ABC' <String value>:''", {}, st_Firebird_25},
    {"BadHexString", "X'4G'", "<String value>:''", {"Invalid hexadecimal string: X'4G'"}, st_Firebird_25},
    {"QuotedIdentifierDialect3", "\"Mixed Case\" \"\"", "<Ident>:Mixed Case <String value>:\"\"", {}, st_Firebird_30, 3},
    {"QuotedIdentifierDialect1", "\"Mixed\"", "<String value>:\"Mixed\""},
    {"WordsFreeInFirebird25", "role global type", "<Ident>:ROLE <Ident>:GLOBAL TYPE", {}, st_Firebird_25},
    {"WordsReservedInFirebird15", "role global", "ROLE <Ident>:GLOBAL", {}, st_FireBird_15},
    {"WordsFreeInFirebird30", "domain key type", "<Ident>:DOMAIN <Ident>:KEY <Ident>:TYPE"},
};

INSTANTIATE_TEST_SUITE_P(Scanner, TokenStreams, testing::ValuesIn(kTokenCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

TEST_P(TokenStreams, ReadAsExpected) {
    const TokenCase& c = GetParam();
    Scanner scanner(c.version, c.dialect);
    scanner.SetTermStr(c.term);
    EXPECT_EQ(scanner.Tokens(c.text), c.tokens);
    EXPECT_EQ(scanner.Errors(), c.errors);
}

TEST(ScannerSymbols, DisplayTextsOfTheFixedCodes) {
    Scanner scanner;
    const char* texts[FixedSymbolCount] = {
        "<EOF>", "<Ident>", "<Float value>", "<String value>", "<Integer value>", "<(>", "<)>", "<,>",
        "<->", "<+>", "<*>", "</>", "<Terminator>", "<;>", "<=>", "<.>", "<:>", "<||>", "\"<\"",
        "\">\"", "\"<=\"", "\">=\"", "[<>]", "<==>", "<[>", "<]>", "<@>", "\\", "%", "<&>"};
    for (int code = 0; code < FixedSymbolCount; ++code)
        EXPECT_EQ(scanner.ResWordBySymbol(static_cast<std::uint8_t>(code)), texts[code]) << code;
    EXPECT_EQ(scanner.ResWordBySymbol(syASCENDING), "ASCENDING");
    EXPECT_EQ(scanner.ResWordBySymbol(syCHARACTER), "CHARACTER");
    EXPECT_EQ(scanner.ResWordBySymbol(syCharsetIntroducer), "_<charset>");
    EXPECT_EQ(scanner.ResWordBySymbol(255), "<\?\?\?>");
    EXPECT_EQ(scanner.ResWords().Count(), FixedSymbolCount + IbResWords().size());
}

TEST(ScannerPositions, LinesColumnsAndScriptInfo) {
    Scanner scanner;
    scanner.ScriptFileName = "a.sql";
    scanner.AssignTxt("ab\r\n  cd # e");
    scanner.GetSy();
    EXPECT_EQ(scanner.GetPosY(), 1);
    scanner.GetSy();
    EXPECT_EQ(scanner.Ident(), "CD");
    EXPECT_EQ(scanner.GetPosY(), 2);
    EXPECT_EQ(scanner.GetPosX(), 5); // the blank after CD
    scanner.GetSy();
    ASSERT_EQ(scanner.MsgManager().Messages().size(), 1u);
    const TMsgData& message = *scanner.MsgManager().Messages()[0];
    EXPECT_EQ(message.FileName, "a.sql");
    EXPECT_EQ(message.PosY, 2);
    EXPECT_EQ(message.PosX, 6); // at the '#'
    ASSERT_EQ(scanner.shown.size(), 1u);
    EXPECT_EQ(scanner.shown[0], "Invalid char in source text: \"#\".\r\nScript: a.sql Line:2 Pos:7\r\n");
    EXPECT_EQ(scanner.Ident(), "E");
}

TEST(ScannerPositions, ColumnsCountCharactersNotBytes) {
    Scanner scanner;
    scanner.AssignTxt("'\xC3\xA1\xC3\xA9' x");
    scanner.GetSy();
    scanner.GetSy();
    EXPECT_EQ(scanner.GetPosX(), 6);
}

TEST(ScannerMessages, OnlyTheFirstErrorIsShownButAllAreRecorded) {
    Scanner scanner;
    EXPECT_EQ(scanner.Tokens("# $ #"), "");
    EXPECT_EQ(scanner.Errors().size(), 3u);
    EXPECT_EQ(scanner.shown.size(), 1u);
}

TEST(ScannerMessages, WithoutAHandlerErrorsGoToTheMessageBox) {
    std::vector<std::string> boxes;
    ShowMessageHook previous = SetShowMessageHook([&](const std::string& text) { boxes.push_back(text); });
    TIbParser parser(nullptr);
    parser.AssignTxt("#");
    parser.GetSy();
    SetShowMessageHook(previous);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].starts_with("Error: Invalid char in source text: \"#\"."));
}

TEST(ScannerExpressions, ParenthesisedGroupsAsRawText) {
    struct Case { const char* text; const char* expr; const char* next; };
    for (const Case& c : {Case{"x ( a (b) ')' \"(\" ) y", "( a (b) ')' \"(\" )", "Y"},
                          Case{"x z", "z", ""}, Case{"x", "", ""}, Case{"x (unclosed", "(unclosed", ""}}) {
        Scanner scanner;
        scanner.AssignTxt(c.text);
        scanner.GetSy();
        EXPECT_EQ(scanner.GetExpr(), c.expr) << c.text;
        scanner.GetSy();
        EXPECT_EQ(scanner.Ident(), c.next) << c.text;
    }
}

TEST(ScannerExpressions, PrecisionAndScale) {
    struct Case { const char* text; int precision; int scale; };
    for (const Case& c : {Case{"NUMERIC(15,2)", 15, 2}, Case{"NUMERIC(4)", 4, 0}, Case{"NUMERIC x", 9, 0}}) {
        Scanner scanner;
        scanner.AssignTxt(c.text);
        scanner.GetSy();
        int precision = 0, scale = 0;
        scanner.GetNumDec(precision, scale);
        EXPECT_EQ(precision, c.precision) << c.text;
        EXPECT_EQ(scale, c.scale) << c.text;
    }
}

TEST(ScannerPositions, ASavedPositionIsReadAgain) {
    Scanner scanner;
    scanner.AssignTxt("select a,\r\n b from t");
    scanner.GetSy();
    TSelectContext& ctx = scanner.PushSelectContext();
    scanner.SetSelectContext(ctx);
    auto readOn = [&] {
        std::string text;
        for (scanner.GetSy(); scanner.Sy() != sy_EOF; scanner.GetSy())
            text += scanner.SyResWord() + ":" + scanner.Ident() + " ";
        return text;
    };
    const std::string first = readOn();
    EXPECT_EQ(first, "<Ident>:A <,>: <Ident>:B FROM:from <Ident>:T ");
    EXPECT_EQ(scanner.GetPosY(), 2);
    scanner.GotoSelectContext(scanner.SelectCtx(0));
    EXPECT_EQ(scanner.GetPosY(), 1);
    EXPECT_EQ(scanner.Sy(), sySELECT);
    EXPECT_EQ(readOn(), first);
    scanner.PopSelectContext();
}

TEST(ScannerDebugLog, SymbolsAndCommentsGoToTheDebugChannel) {
    Scanner scanner;
    std::vector<std::string> lines;
    scanner.OnDebugMessage = [&](platform::Object&, const std::string& line) { lines.push_back(line); };
    scanner.DebugLogOptions = TDebugLogOptions{dlSymbol, dlComment};
    scanner.Tokens("/*c*/ a 'q' 7");
    EXPECT_EQ(scanner.Comment(), "c");
    EXPECT_EQ(lines, (std::vector<std::string>{"Comment: c", "(1,9) <Ident>: 1 =A", "(1,13) <String value>: 3 ='q'",
                                               "(1,14) <Integer value>: 4 =7"}));
}

TEST(ScannerMessages, AReadingThatConsumesNothingIsReportedAndPassedOver) {
    // A dialect whose reading of '?' forgets to advance.
    struct Stuck : TCustomSQLParser {
        Stuck() : TCustomSQLParser(nullptr) {
            OnErrorMessage = [this](platform::Object&, const std::string& text) { shown.push_back(text); };
        }
        std::string_view ClassName() const override { return "Stuck"; }
        void DoGetSy() override {
            if (Ch() == '?')
                return SetSy(sy_Ident);
            TCustomSQLParser::DoGetSy();
        }
        std::vector<std::string> shown;
    } parser;
    parser.AssignTxt("a ? b");
    std::vector<std::uint8_t> symbols;
    for (parser.GetSy(); parser.Sy() != sy_EOF; parser.GetSy())
        symbols.push_back(parser.Sy());
    EXPECT_EQ(symbols.size(), 3u);
    EXPECT_EQ(parser.shown, std::vector<std::string>{"Parser Stuck deadlock."});
}
