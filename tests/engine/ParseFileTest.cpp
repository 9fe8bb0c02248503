// Script files: their encodings and line breaks, the in-memory and temporary-file buffers, and
// files read through INPUT.

#include "ParserFixture.h"
#include "TempDir.h"

#include "engine/dbcComp_Exc.h"
#include "engine/dbcComp_Rol.h"
#include "engine/dbcComp_Tbl.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace dbc;
using namespace enginetest;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

std::string Utf16le(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t u : text) {
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    }
    return bytes;
}

// Points the temporary folder at a folder of the test's own while it lives, so that what the
// parser leaves there can be counted.
class OwnTemporaryFolder {
public:
    OwnTemporaryFolder() {
        if (const char* old = std::getenv("TMPDIR"))
            old_ = old;
        ::setenv("TMPDIR", dir_.path().c_str(), 1);
    }
    ~OwnTemporaryFolder() {
        if (old_.empty())
            ::unsetenv("TMPDIR");
        else
            ::setenv("TMPDIR", old_.c_str(), 1);
    }
    std::size_t Files() const {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir_.path()),
                                                      std::filesystem::directory_iterator()));
    }

private:
    TempDir dir_;
    std::string old_;
};

struct EncodingCase {
    const char* name;
    std::string bytes;
};

// The same script, "create exception e 'Olá €';" and "create role r;" on the next line.
const EncodingCase kEncodings[] = {
    {"Utf8", "create exception e 'Ol\xC3\xA1 \xE2\x82\xAC';\ncreate role r;"},
    {"Utf8WithMark", "\xEF\xBB\xBF" "create exception e 'Ol\xC3\xA1 \xE2\x82\xAC';\r\ncreate role r;"},
    {"Windows1252", "create exception e 'Ol\xE1 \x80';\rcreate role r;"},
    {"Utf16", Utf16le(u"create exception e 'Ol\u00E1 \u20AC';\r\ncreate role r;")},
};

// Test names show the case by its name.
void PrintTo(const EncodingCase& c, std::ostream* os) { *os << c.name; }

class ScriptFiles : public testing::TestWithParam<std::tuple<EncodingCase, TParseBufferType>> {};

INSTANTIATE_TEST_SUITE_P(Parser, ScriptFiles,
                         testing::Combine(testing::ValuesIn(kEncodings), testing::Values(pb_String, pb_File)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) == pb_File ? "InFile" : "InMemory");
                         });

} // namespace

TEST_P(ScriptFiles, DecodedToUtf8WithLineBreaks) {
    const auto& [encoding, buffer] = GetParam();
    TempDir dir;
    writeFile(dir / "s.sql", encoding.bytes);
    OwnTemporaryFolder temporary;
    ScriptParse parse;
    parse.parser.ParseBuffer = buffer;
    parse.parser.ParseFile((dir / "s.sql").string(), &parse.objs);
    EXPECT_EQ(parse.Messages(), std::vector<std::string>{});
    EXPECT_EQ(parse.objs.GetException("E")->Msg, "Ol\xC3\xA1 \xE2\x82\xAC");
    ASSERT_EQ(parse.statements.size(), 2u);
    EXPECT_EQ(parse.statements[1].Text, "create role r");
    EXPECT_EQ(temporary.Files(), 0u);
}

TEST(ScriptFiles, CharactersSplitAcrossReadChunksSurvive) {
    // The file is read in chunks of 10240 bytes; the euro sign and the surrogate pair straddle
    // the first chunk boundary.
    const std::string head = "create exception e '";
    const std::string utf8 = "-- " + std::string(10239 - 4 - head.size(), 'x') + "\n" + head + "\xE2\x82\xAC';";
    ASSERT_EQ(utf8.find("\xE2\x82\xAC"), 10239u);
    std::u16string text = u"-- " + std::u16string((10238 - 2) / 2 - 4 - head.size(), u'x') + u"\n";
    text += std::u16string(head.begin(), head.end()) + u"\U0001F600';";
    const std::string utf16 = Utf16le(text);
    ASSERT_EQ(utf16.find("\x3D\xD8"), 10238u);

    for (const auto& [bytes, message] : {std::pair{utf8, std::string("\xE2\x82\xAC")},
                                         std::pair{utf16, std::string("\xF0\x9F\x98\x80")}}) {
        for (TParseBufferType buffer : {pb_String, pb_File}) {
            TempDir dir;
            writeFile(dir / "s.sql", bytes);
            ScriptParse parse;
            parse.parser.ParseBuffer = buffer;
            parse.parser.ParseFile((dir / "s.sql").string(), &parse.objs);
            ASSERT_NE(parse.objs.GetException("E"), nullptr);
            EXPECT_EQ(parse.objs.GetException("E")->Msg, message);
        }
    }
}

TEST(ScriptFiles, LargeScriptThroughATemporaryFile) {
    std::string script = "set term ^;\n";
    for (int i = 0; i < 4000; ++i)
        script += "create table t" + std::to_string(i) + " (id int, name varchar(20) default 'n\xC3\xA3o')^\n";
    TempDir dir;
    writeFile(dir / "big.sql", script);
    ASSERT_GT(script.size(), 3u * 64 * 1024); // several windows of the file buffer
    std::vector<int> progress;
    OwnTemporaryFolder temporary;
    std::size_t temporaryFilesWhileParsing = 0;
    ScriptParse parse;
    parse.parser.ParseBuffer = pb_File;
    parse.parser.OnProgressUpdate = [&](platform::Object&, int line, int total) {
        temporaryFilesWhileParsing = std::max(temporaryFilesWhileParsing, temporary.Files());
        if (line % 1000 == 0)
            progress.push_back(line * 10000 + total);
    };
    parse.parser.ParseFile((dir / "big.sql").string(), &parse.objs);
    EXPECT_EQ(parse.Messages(), std::vector<std::string>{});
    ASSERT_EQ(parse.objs.Tbl.size(), 4000u);
    EXPECT_EQ(parse.objs.GetTableField("T3999", "NAME")->FDefValue, "'n\xC3\xA3o'");
    EXPECT_EQ(parse.statements.back().Text,
              "create table t3999 (id int, name varchar(20) default 'n\xC3\xA3o')");
    EXPECT_EQ(progress, (std::vector<int>{4002, 10004002, 20004002, 30004002, 40004002}));
    EXPECT_EQ(temporaryFilesWhileParsing, 1u); // the script was read from its temporary copy
    EXPECT_EQ(temporary.Files(), 0u);
}

TEST(ScriptFiles, MissingFileIsReported) {
    TempDir dir;
    ScriptParse parse;
    parse.parser.ParseFile((dir / "none.sql").string(), &parse.objs);
    ASSERT_EQ(parse.Messages().size(), 1u);
    EXPECT_NE(parse.Messages()[0].find("File not found: "), std::string::npos);
}

TEST(ScriptFiles, InputReadsAnotherFileIntoTheSameCollections) {
    TempDir dir;
    writeFile(dir / "main.sql", "create table a (i int);\ninput 'part.sql';\ninput 'none.sql';\ncreate role r;");
    writeFile(dir / "part.sql", "set term ^;\ncreate table b (i int)^\n");
    writeFile(dir / "self.sql", "input 'self.sql';");
    ScriptParse parse;
    parse.parser.ScriptFileName = (dir / "main.sql").string();
    parse.parser.ParseFile((dir / "main.sql").string(), &parse.objs);
    EXPECT_EQ(parse.Keys(), (std::vector<std::string>{"stStatement odbCreate dboTable A",
                                                      "stStatement odbCreate dboTable B",
                                                      "stStatement odbCreate dboRole R"}));
    EXPECT_EQ(parse.parser.TermStr(), ";"); // the included file has a terminator of its own
    ASSERT_EQ(parse.Messages().size(), 1u);
    EXPECT_NE(parse.Messages()[0].find("File not found: " + (dir / "none.sql").string()), std::string::npos);

    ScriptParse loop;
    loop.parser.ScriptFileName = (dir / "self.sql").string();
    loop.parser.ParseFile((dir / "self.sql").string(), &loop.objs);
    ASSERT_EQ(loop.Messages().size(), 1u);
    EXPECT_NE(loop.Messages()[0].find("INPUT nested too deeply: "), std::string::npos);
}
