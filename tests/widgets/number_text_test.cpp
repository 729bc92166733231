#include <gtest/gtest.h>

#include <cfloat>
#include <stdexcept>

#include "rules_support.h"
#include "widgets/number_text.h"

namespace nomaro {
namespace {

using test::kEnglish;
using test::kItalian;

struct FormatCase
{
    const char *name;
    Extended value;
    int decimals;
    NumFormat format;
    const char *expected;
};

class FormatValueTest : public ::testing::TestWithParam<FormatCase>
{
};

TEST_P(FormatValueTest, writesTheValueAsTheFieldShowsIt)
{
    const FormatCase &c = GetParam();
    EXPECT_EQ(toUtf8(FormatValue(c.value, c.decimals, c.format, kItalian)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FormatValueTest,
    ::testing::Values(
        FormatCase{"whole_number_is_its_digits_alone", 9999, -1, NumFormat::Standard, "9999"},
        FormatCase{"zero", 0, -1, NumFormat::Standard, "0"},
        FormatCase{"negative_zero_has_no_sign", -0.0L, -1, NumFormat::Standard, "0"},
        FormatCase{"fraction_shows_its_significant_decimals", 2.5L, -1, NumFormat::Standard, "2,5"},
        FormatCase{"never_more_than_15_significant_digits", 1234.56789012345678L, -1, NumFormat::Standard,
                   "1234,56789012346"},
        FormatCase{"tiny_fraction_rounds_to_zero", 1e-20L, -1, NumFormat::Standard, "0"},
        FormatCase{"fixed_decimals_are_padded", 3.1L, 2, NumFormat::Standard, "3,10"},
        FormatCase{"fixed_decimals_round_a_half_up", 2.345L, 2, NumFormat::Standard, "2,35"},
        FormatCase{"no_decimals_round_a_half_up", 2.5L, 0, NumFormat::Standard, "3"},
        FormatCase{"fixed_decimals_beyond_15_digits_are_zeros", 1234.123456789012345L, 14, NumFormat::Standard,
                   "1234,12345678901000"},
        FormatCase{"thousands_are_grouped", 1234567.5L, -1, NumFormat::Thousands, "1.234.567,5"},
        FormatCase{"negative_thousands", -1234, -1, NumFormat::Thousands, "-1.234"},
        FormatCase{"short_number_has_no_group", 999, -1, NumFormat::Thousands, "999"},
        FormatCase{"scientific", 12345, -1, NumFormat::Scientific, "1,2345E4"},
        FormatCase{"scientific_negative_exponent", 0.00012L, -1, NumFormat::Scientific, "1,2E-4"},
        FormatCase{"scientific_fixed_decimals", 12345, 2, NumFormat::Scientific, "1,23E4"},
        FormatCase{"scientific_zero", 0, -1, NumFormat::Scientific, "0E0"},
        FormatCase{"engineering_exponent_is_a_multiple_of_three", 12345, -1, NumFormat::Engineering, "12,345E3"},
        FormatCase{"engineering_below_one", 0.00012L, -1, NumFormat::Engineering, "0,12E-3"},
        FormatCase{"engineering_zero", 0, -1, NumFormat::Engineering, "0E0"},
        FormatCase{"engineering_below_the_normal_range", 1e-4932L, -1, NumFormat::Engineering, "1E-4932"},
        FormatCase{"huge_standard_number_is_written_with_exponent", 1.5e20L, -1, NumFormat::Standard, "1,5E20"},
        FormatCase{"largest_value_reads_back", LDBL_MAX, -1, NumFormat::Standard, "1,18973149535723E4932"}),
    [](const auto &info) { return std::string(info.param.name); });

struct ReadCase
{
    const char *name;
    const char16_t *text;
    Extended expected;
};

class TextToValueTest : public ::testing::TestWithParam<ReadCase>
{
};

TEST_P(TextToValueTest, readsTheText)
{
    const ReadCase &c = GetParam();
    EXPECT_EQ(TextToValue(c.text, kItalian, kItalian), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TextToValueTest,
    ::testing::Values(ReadCase{"decimal_comma", u"2,5", 2.5L},
                      ReadCase{"thousands_are_ignored", u"1.234,5", 1234.5L},
                      ReadCase{"empty_is_zero", u"", 0},
                      ReadCase{"lone_minus_is_zero", u"-", 0},
                      ReadCase{"exponent", u"1E3", 1000},
                      ReadCase{"negative_exponent", u"1,5E-2", 0.015L},
                      ReadCase{"trailing_separator", u"23,", 23},
                      ReadCase{"missing_integer_digits", u"-,5", -0.5L},
                      ReadCase{"missing_mantissa_digits", u"-E5", 0},
                      ReadCase{"overflow_gives_the_largest_value", u"9E4932", LDBL_MAX},
                      ReadCase{"underflow_gives_zero", u"1E-4999", 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(TextToValue, textsThatAreNoNumberThrowWithTheTextInTheMessage)
{
    for (const char16_t *text : {u"1E", u"1E-", u"abc", u"1,2,3", u"1-2", u"1E5E"}) {
        try {
            TextToValue(text, kItalian, kItalian);
            ADD_FAILURE() << toUtf8(text) << " was read";
        } catch (const std::runtime_error &error) {
            EXPECT_EQ(std::string(error.what()), "'" + toUtf8(text) + "' non è un numero valido.");
        }
    }
}

TEST(TextToValue, aTextWrittenBeforeALocaleChangeIsReadWithItsOwnSeparators)
{
    EXPECT_EQ(TextToValue(u"1.234,5", kItalian, kEnglish), 1234.5L);
    EXPECT_EQ(TextToValue(u"1,234.5", kEnglish, kItalian), 1234.5L);
}

TEST(UpdateSeparators, swapsBothSeparatorsInOnePass)
{
    EXPECT_EQ(toUtf8(UpdateSeparators(u"1.234.567,25", kItalian, kEnglish)), "1,234,567.25");
}

TEST(FormatValue, everyFormattedValueReadsBackToItself)
{
    for (Extended x : {0.1L, -3.75L, 1e15L, 123456789.125L, 1e-10L, 4.5e300L}) {
        for (NumFormat format : {NumFormat::Standard, NumFormat::Thousands, NumFormat::Scientific,
                                 NumFormat::Engineering}) {
            const std::u16string text = FormatValue(x, -1, format, kItalian);
            const Extended back = TextToValue(text, kItalian, kItalian);
            EXPECT_NEAR(static_cast<double>(back / x), 1.0, 1e-13) << toUtf8(text);
        }
    }
}

} // namespace
} // namespace nomaro
