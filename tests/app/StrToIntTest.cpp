#include "app/StrToInt.h"

#include <gtest/gtest.h>

#include <optional>

namespace app {
namespace {

struct Case {
    const char* text;
    std::optional<std::int32_t> value;
};

void PrintTo(const Case& c, std::ostream* os) { *os << '\'' << c.text << '\''; }

class StrToIntTest : public testing::TestWithParam<Case> {};

TEST_P(StrToIntTest, AcceptsOnlyWholeDecimalTextsInRange) {
    const Case& c = GetParam();
    EXPECT_EQ(tryStrToInt(c.text), c.value);
    EXPECT_EQ(strToIntDef(c.text, -7), c.value.value_or(-7));
    if (c.value) {
        EXPECT_EQ(strToInt(c.text), *c.value);
    } else {
        try {
            strToInt(c.text);
            FAIL() << "no failure for '" << c.text << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.what(), "'" + std::string(c.text) + "' is not a valid integer value");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StrToIntTest,
    testing::Values(Case{"0", 0}, Case{"10012", 10012}, Case{"-5", -5}, Case{"+7", 7},
                    Case{"007", 7}, Case{"2147483647", 2147483647},
                    Case{"-2147483648", -2147483647 - 1},
                    Case{"2147483648", {}}, // 9.9.9.9999999 without its dots is far above this
                    Case{"9999999999", {}}, Case{"", {}}, Case{" 1", {}}, Case{"1 ", {}},
                    Case{"1a", {}}, Case{"1.0", {}}, Case{"+", {}}, Case{"-", {}}, Case{"+-1", {}},
                    Case{"0x10", {}}, Case{"abc", {}}));

} // namespace
} // namespace app
