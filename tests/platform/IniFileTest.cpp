#include "platform/IniFile.h"

#include "TempDir.h"
#include "TestCases.h"

#include <gtest/gtest.h>

namespace {

using platform::IniFile;

struct ReadCase {
    const char* name;
    std::string text;
    const char* section;
    const char* key;
    std::string expected;
};

void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.name; }

const std::string longValue(320, 'x');

const ReadCase readCases[] = {
    {"plain", "[UPDATE]\r\nNOME_CLIENTE=cliente.exe\r\n", "UPDATE", "NOME_CLIENTE", "cliente.exe"},
    {"byte_order_mark", "\xEF\xBB\xBF[UPDATE]\r\nNOME_BD=DADOS.FDB\r\n", "UPDATE", "NOME_BD", "DADOS.FDB"},
    {"lf_line_ends", "[S]\nA=1\nB=2", "S", "B", "2"},
    {"cr_line_ends", "[S]\rA=1\rB=2\r", "S", "B", "2"},
    {"section_and_key_case", "[Update]\nNome_Cliente=c.exe\n", "UPDATE", "nome_cliente", "c.exe"},
    {"blanks_around_names_and_values", "  [ UPDATE ]  \r\n \t Porta \t=\t 21 \t\r\n", "UPDATE", "PORTA", "21"},
    {"blanks_inside_value_kept", "[S]\nA =  valor com espaço  \n", "S", "A", "valor com espaço"},
    {"trailing_backslash_kept", "[S]\r\nDIR=C:\\App\\\r\nUNC=\\\\srv\\share\r\n", "S", "DIR", "C:\\App\\"},
    {"trailing_backslash_does_not_continue", "[S]\r\nDIR=C:\\App\\\r\nUNC=\\\\srv\\share\r\n", "S", "UNC", "\\\\srv\\share"},
    {"semicolons_in_value", "[S]\nA=a;b ; comentário\n", "S", "A", "a;b ; comentário"},
    {"comment_line", "[S]\n;A=1\nA=2\n", "S", "A", "2"},
    {"first_duplicate_wins", "[S]\nA=primeiro\nA=segundo\n", "S", "A", "primeiro"},
    {"first_duplicate_across_repeated_sections", "[S]\nA=1\n[T]\nA=x\n[s]\nA=2\n", "S", "A", "1"},
    {"repeated_section_adds_keys", "[S]\nA=1\n[T]\n[S]\nB=2\n", "S", "B", "2"},
    {"indented_line_is_its_own_key", "[S]\nA=1\n  B=2\n", "S", "B", "2"},
    {"indented_line_does_not_continue", "[S]\nA=1\n  B=2\n", "S", "A", "1"},
    {"long_line", "[S]\nA=" + longValue + "\nB=2\n", "S", "A", longValue},
    {"line_after_long_line", "[S]\nA=" + longValue + "\nB=2\n", "S", "B", "2"},
    {"first_equals_splits", "[S]\nP=p@ss=word\n", "S", "P", "p@ss=word"},
    {"empty_value_is_empty_not_default", "[S]\nA=\n", "S", "A", ""},
    {"double_quotes_dropped", "[S]\nA=\"entre aspas\"\n", "S", "A", "entre aspas"},
    {"single_quotes_dropped", "[S]\nA='x y'\n", "S", "A", "x y"},
    {"unmatched_quote_kept", "[S]\nA=\"meia\n", "S", "A", "\"meia"},
    {"utf8_bytes_kept", "[S]\nA=São João €\n", "S", "A", "São João €"},
    {"key_before_any_section_ignored", "A=1\n[S]\nB=2\n", "S", "A", "padrão"},
    {"line_without_equals_ignored", "[S]\nA\nB=2\n", "S", "A", "padrão"},
    {"missing_section", "[S]\nA=1\n", "T", "A", "padrão"},
    {"missing_key", "[S]\nA=1\n", "S", "B", "padrão"},
    {"empty_text", "", "S", "A", "padrão"},
};

class IniFileRead : public testing::TestWithParam<ReadCase> {};

TEST_P(IniFileRead, ReadsAsTheWindowsReaderDoes) {
    const auto& c = GetParam();
    EXPECT_EQ(IniFile::parse(c.text).readString(c.section, c.key, "padrão"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, IniFileRead, testing::ValuesIn(readCases),
                         platformtest::caseName);

TEST(IniFileLoad, ReadsAFile) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "CONFIG.ini", "\xEF\xBB\xBF[UPDATE]\r\nDIRETORIO_WEB=Loja01\r\n");
    const auto ini = IniFile::load((dir / "CONFIG.ini").string());
    EXPECT_EQ(ini.readString("update", "diretorio_web"), "Loja01");
}

TEST(IniFileLoad, MissingFileReadsAsDefaults) {
    testsupport::TempDir dir;
    const auto ini = IniFile::load((dir / "CONFIG.ini").string());
    EXPECT_EQ(ini.readString("UPDATE", "NOME_CLIENTE", "nada"), "nada");
}

TEST(IniFileLoad, UnreadablePathRaisesNamingIt) {
    testsupport::TempDir dir;
    const auto folder = (dir / "CONFIG.ini").string();
    std::filesystem::create_directory(folder);
    try {
        IniFile::load(folder);
        FAIL() << "a folder was read as an INI file";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find(folder), std::string::npos) << error.what();
    }
}

} // namespace
