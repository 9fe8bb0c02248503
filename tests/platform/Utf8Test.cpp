#include "platform/Utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace platform {
namespace {

TEST(Utf8Test, MalformedUtf8IsNotTakenForUtf8) {
    EXPECT_TRUE(isValidUtf8("ação €  \xF0\x9F\x98\x80"));
    for (const char* bad :
         {"\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF", "a\x80"})
        EXPECT_FALSE(isValidUtf8(bad)) << bad;
}

// -1 tells a reader of chunks to wait for the rest of a sequence; 0 that none can follow.
TEST(Utf8Test, SequenceLengthTellsCutFromInvalid) {
    const struct {
        std::string bytes;
        int length;
    } cases[] = {{"a", 1},          {"\xC3\xA7", 2},     {"\xE2\x82\xAC", 3}, {"\xF0\x9F\x98\x80", 4},
                 {"\xE2\x82", -1},  {"\xF0\x9F", -1},    {"\x80", 0},         {"\xC0\xAF", 0},
                 {"\xE2\x28\xA1", 0}, {"\xF5\x80\x80\x80", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(utf8SequenceLength(c.bytes), c.length) << testing::PrintToString(c.bytes);
}

TEST(Utf8Test, CodePointsRoundTrip) {
    for (const char32_t c : {U'A', U'\u00E7', U'\u20AC', U'\U0001F600', U'\U0010FFFF'}) {
        std::string text;
        appendUtf8(text, c);
        const int length = utf8SequenceLength(text);
        ASSERT_EQ(static_cast<std::size_t>(length), text.size());
        EXPECT_EQ(decodeUtf8Sequence(text, length), c);
    }
}

TEST(Utf8Test, Windows1252MapsItsOwnRangeAndKeepsUnassignedBytes) {
    EXPECT_EQ(windows1252ToUtf8("S\xE3o Jo\xE3o \x80 \x93ok\x94"), "São João € “ok”");
    EXPECT_EQ(windows1252CodePoint(0x81), U'\u0081');
    EXPECT_EQ(windows1252CodePoint(0x9F), U'\u0178');
    EXPECT_EQ(windows1252CodePoint('a'), U'a');
}

} // namespace
} // namespace platform
