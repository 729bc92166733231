#include <gtest/gtest.h>

#include <string>

#include "platform/utf8.h"

namespace nomaro::platform {
namespace {

struct CharacterCase
{
    const char *what;
    std::string text;
    std::size_t length;
    char32_t codePoint;
};

class Utf8Character : public testing::TestWithParam<CharacterCase>
{
};

TEST_P(Utf8Character, IsAWholeSequenceOrOneByte)
{
    const CharacterCase &c = GetParam();
    EXPECT_EQ(utf8CharacterLength(c.text, 0), c.length);
    if (c.text.empty())
        return;
    std::size_t pos = 0;
    EXPECT_EQ(nextUtf8CodePoint(c.text, pos), c.codePoint);
    EXPECT_EQ(pos, c.length);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8Character,
    testing::Values(CharacterCase{"ascii", "ab", 1, U'a'},
                    CharacterCase{"two_bytes", "\xC3\xA8" "a", 2, U'\u00E8'},
                    CharacterCase{"three_bytes", "\xE2\x82\xAC" "a", 3, U'\u20AC'},
                    CharacterCase{"four_bytes", "\xF0\x9F\x93\xB7x", 4, U'\U0001F4F7'},
                    CharacterCase{"cut_sequence", "\xE2\x82", 1, U'\uFFFD'},
                    CharacterCase{"lone_continuation", "\x80\x80", 1, U'\uFFFD'},
                    CharacterCase{"overlong_form", "\xC0\x80", 1, U'\uFFFD'},
                    CharacterCase{"surrogate", "\xED\xA0\x80", 1, U'\uFFFD'},
                    CharacterCase{"above_unicode", "\xF4\x90\x80\x80", 1, U'\uFFFD'},
                    CharacterCase{"latin1_byte_before_ascii", "\xE9t", 1, U'\uFFFD'},
                    CharacterCase{"empty", "", 0, 0}),
    [](const auto &info) { return std::string(info.param.what); });

TEST(Utf8CharacterCount, CountsSequencesWholeAndStrayBytesOneByOne)
{
    EXPECT_EQ(utf8CharacterCount(""), 0u);
    EXPECT_EQ(utf8CharacterCount("<>"), 2u);
    EXPECT_EQ(utf8CharacterCount("\xE2\x86\x92"), 1u);
    EXPECT_EQ(utf8CharacterCount("caff\xE8"), 5u);
}

} // namespace
} // namespace nomaro::platform
