#include "app/ReleaseNotes.h"
#include "app/TextUtil.h"

#include <gtest/gtest.h>

namespace app {
namespace {

using Lines = std::vector<std::string>;

TEST(TextUtilTest, LowerCasesOnlyAsciiLetters) {
    EXPECT_EQ(lowerCaseAscii("Loja01"), "loja01");
    EXPECT_EQ(lowerCaseAscii("SÃO-JOSÉ_Ç"), "sÃo-josÉ_Ç");
}

TEST(TextUtilTest, RemovesEveryDot) {
    EXPECT_EQ(removeAll("1.0.0.12", '.'), "10012");
    EXPECT_EQ(removeAll("", '.'), "");
}

TEST(TextUtilTest, SplitsLinesAtEveryKindOfBreak) {
    EXPECT_EQ(splitLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines("a\r\n\r\nb\r\n"), (Lines{"a", "", "b"}));
    EXPECT_EQ(splitLines("\n"), (Lines{""}));
    EXPECT_EQ(splitLines(""), Lines{});
}

TEST(TextUtilTest, MessageBreaksBecomeLineBreaks) {
    EXPECT_EQ(crToLineBreaks("Erro\r\rmotivo"), "Erro\n\nmotivo");
}

TEST(ReleaseNotesTest, Utf8ComesThroughAsItIs) {
    const std::string text = "Versão 1.0.0.10\r\n- Correção na emissão de notas\r\n";
    EXPECT_EQ(decodeReleaseNotes(text), text);
}

TEST(ReleaseNotesTest, ByteOrderMarkIsDropped) {
    EXPECT_EQ(decodeReleaseNotes("\xEF\xBB\xBFVersão\r\n"), "Versão\r\n");
}

TEST(ReleaseNotesTest, Windows1252FileIsReadInItsCodePage) {
    EXPECT_EQ(decodeReleaseNotes("S\xE3o Jo\xE3o \x80 \x93ok\x94"), "São João € “ok”");
}

} // namespace
} // namespace app
