#include <gtest/gtest.h>

#include "platform/beep.h"
#include "rules_support.h"

namespace nomaro {
namespace {

using test::kEnglish;
using test::kItalian;
using test::MemoryClipboard;

struct KeyCase
{
    const char *name;
    int decimals;
    NumFormat format;
    const char *before; // "|" the caret, "[...]" the selection
    const char *keys;   // '\b' Backspace, '\x7f' Delete
    const char *after;
    int beeps;
};

class KeysTest : public ::testing::TestWithParam<KeyCase>
{
};

TEST_P(KeysTest, keysEditTheTextOnlyInWaysThatLeaveANumber)
{
    const KeyCase &c = GetParam();
    NumEditRules rules(kItalian);
    rules.setDecimals(c.decimals);
    rules.setNumberFormat(c.format);
    test::setState(rules, c.before);
    MemoryClipboard clipboard;
    const int beeps = platform::beepCount();
    test::press(rules, c.keys, clipboard);
    EXPECT_EQ(test::stateOf(rules), c.after);
    EXPECT_EQ(platform::beepCount() - beeps, c.beeps);
}

constexpr NumFormat kStd = NumFormat::Standard;
constexpr NumFormat kSci = NumFormat::Scientific;

INSTANTIATE_TEST_SUITE_P(
    Typing, KeysTest,
    ::testing::Values(
        KeyCase{"letter_other_than_e_beeps", -1, kStd, "12|", "x", "12|", 1},
        KeyCase{"thousands_separator_is_refused", -1, kStd, "12|", ".", "12|", 1},
        KeyCase{"blank_is_refused", -1, kStd, "12|", " ", "12|", 1},
        KeyCase{"typed_e_is_shown_as_E", -1, kStd, "12|", "e", "12E|", 0},
        KeyCase{"digit_replaces_a_lone_zero", -1, kStd, "0|", "5", "5|", 0},
        KeyCase{"digit_replaces_the_zero_after_the_minus", -1, kStd, "-0|", "7", "-7|", 0},
        KeyCase{"digits_append", -1, kStd, "1|", "234", "1234|", 0},
        KeyCase{"separator_goes_to_the_end", -1, kStd, "1|23", ",", "123,|", 0},
        KeyCase{"separator_goes_before_the_exponent", -1, kStd, "1|2E5", ",", "12,|E5", 0},
        KeyCase{"second_separator_moves_the_caret_after_the_first", -1, kStd, "3,1|4", ",", "3,|14", 0},
        KeyCase{"separator_refused_without_decimals", 0, kStd, "12|", ",", "12|", 1},
        KeyCase{"separator_collapses_the_selection", -1, kStd, "[12]", ",", "12,|", 0},
        KeyCase{"E_is_appended_at_the_end", -1, kStd, "1|2", "E", "12E|", 0},
        KeyCase{"second_E_moves_the_caret_after_the_first", -1, kStd, "1|2E5", "E", "12E|5", 0},
        KeyCase{"selected_text_is_replaced_by_a_digit", -1, kStd, "[123]", "5", "5|", 0},
        KeyCase{"part_of_the_text_selected_is_replaced", -1, kStd, "1[23]4", "9", "19|4", 0}),
    [](const auto &info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    SignAndExponent, KeysTest,
    ::testing::Values(
        KeyCase{"minus_turns_12_into_minus_12", -1, kStd, "1|2", "-", "-1|2", 0},
        KeyCase{"minus_turns_minus_12_back_into_12", -1, kStd, "-1|2", "-", "1|2", 0},
        KeyCase{"minus_with_the_caret_in_front", -1, kStd, "|12", "-", "-|12", 0},
        KeyCase{"minus_twice_with_the_caret_in_front", -1, kStd, "|12", "--", "|12", 0},
        KeyCase{"digit_never_goes_before_the_sign", -1, kStd, "|-12", "3", "-3|12", 0},
        KeyCase{"minus_in_the_exponent_signs_the_exponent", -1, kStd, "1E|5", "-", "1E-|5", 0},
        KeyCase{"minus_in_the_exponent_again_removes_its_sign", -1, kStd, "1E-5|", "-", "1E5|", 0},
        KeyCase{"digit_after_E_goes_after_the_exponent_sign", -1, kStd, "1E|-5", "7", "1E-7|5", 0},
        KeyCase{"zero_after_E_is_replaced", -1, kStd, "1E|0", "5", "1E5|", 0},
        KeyCase{"exponent_4932_is_allowed", -1, kStd, "1E493|", "2", "1E4932|", 0},
        KeyCase{"exponent_beyond_4932_beeps", -1, kStd, "1E493|", "3", "1E493|", 1},
        KeyCase{"negative_exponent_beyond_4932_beeps", -1, kStd, "1E-49|", "33", "1E-493|", 1},
        KeyCase{"replacing_the_zero_after_E_keeps_the_bound", -1, kStd, "1E|0493", "9", "1E|0493", 1},
        KeyCase{"exponent_typed_key_by_key", -1, kStd, "2|", "e-3", "2E-3|", 0}),
    [](const auto &info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    FixedDecimals, KeysTest,
    ::testing::Values(
        KeyCase{"backspace_after_the_last_decimal_keeps_two_decimals", 2, kStd, "3,14|", "\b", "3,1|0", 0},
        KeyCase{"digit_after_the_separator_overwrites", 2, kStd, "3,|14", "9", "3,9|4", 0},
        KeyCase{"digit_after_the_last_decimal_beeps", 2, kStd, "3,14|", "9", "3,14|", 1},
        KeyCase{"digit_before_the_separator_is_inserted", 2, kStd, "3|,14", "2", "32|,14", 0},
        KeyCase{"delete_before_the_separator_removes_the_first_decimal", 2, kStd, "3|,14", "\x7f", "3,|40", 0},
        KeyCase{"selection_over_the_separator", 2, kStd, "3[,1]4", "\b", "3,|40", 0},
        KeyCase{"whole_text_selected_then_a_digit", 2, kStd, "[3,14]", "5", "5|,00", 0},
        KeyCase{"digit_after_an_empty_decimal_part_never_overwrites_E", 1, kStd, "1,|E-5", "0", "1,0|E-5", 0}),
    [](const auto &info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Deleting, KeysTest,
    ::testing::Values(
        KeyCase{"backspace_after_the_separator_removes_the_digit_before", -1, kStd, "23,|5", "\b", "2|,5", 0},
        KeyCase{"lone_integer_digit_becomes_zero", -1, kStd, "3,|14", "\b", "0|,14", 0},
        KeyCase{"lone_digit_becomes_zero", -1, kStd, "7|", "\b", "0|", 0},
        KeyCase{"delete_steps_over_the_separator", -1, kStd, "23|,5", "\x7f", "23,|", 0},
        KeyCase{"backspace_removes_the_leading_minus", -1, kStd, "-|5", "\b", "|5", 0},
        KeyCase{"backspace_on_a_lone_minus_leaves_zero", -1, kStd, "-|", "\b", "|0", 0},
        KeyCase{"backspace_at_the_start_does_nothing", -1, kStd, "|12", "\b", "|12", 0},
        KeyCase{"delete_at_the_end_does_nothing", -1, kStd, "12|", "\x7f", "12|", 0},
        KeyCase{"backspace_never_removes_E", -1, kStd, "12E|5", "\b", "1|E5", 0},
        KeyCase{"delete_never_removes_E", -1, kStd, "1|E5", "\x7f", "1E|", 0},
        KeyCase{"first_digit_of_a_number_with_a_negative_exponent", -1, kStd, "5|E-3", "\b", "0|E-3", 0},
        KeyCase{"nor_two_separators_in_a_row", -1, kStd, "1|,E-5", "\x7f", "1,E|5", 0},
        KeyCase{"scientific_keeps_a_digit_after_E", -1, kSci, "1E5|", "\b", "1E|0", 0},
        KeyCase{"thousands_separators_are_not_counted_in_a_selection", -1, NumFormat::Thousands, "1[.23]4", "\b",
                "1|4", 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(NumEditRules, readOnlyTextDoesNotChange)
{
    NumEditRules rules(kItalian);
    test::setState(rules, "1[2]3");
    rules.setReadOnly(true);
    MemoryClipboard clipboard;
    clipboard.setText(u"9");
    test::press(rules, "5\b\x7f", clipboard);
    rules.onPaste(clipboard);
    rules.onCut(clipboard);
    EXPECT_EQ(test::stateOf(rules), "1[2]3");
    EXPECT_EQ(clipboard.text(), u"2"); // copying still works
}

TEST(NumEditRules, maxLengthRefusesAnotherCharacter)
{
    NumEditRules rules(kItalian);
    rules.setMaxLength(3);
    test::setState(rules, "12|");
    MemoryClipboard clipboard;
    const int beeps = platform::beepCount();
    test::press(rules, "34-", clipboard);
    EXPECT_EQ(test::stateOf(rules), "123|");
    EXPECT_EQ(platform::beepCount() - beeps, 2);
}

TEST(NumEditRules, thousandsAreGroupedWhileTyping)
{
    NumEditRules rules(kItalian);
    rules.setNumberFormat(NumFormat::Thousands);
    MemoryClipboard clipboard;
    test::press(rules, "1234", clipboard);
    EXPECT_EQ(test::stateOf(rules), "1.234|");
    test::press(rules, "5,5", clipboard);
    EXPECT_EQ(test::stateOf(rules), "12.345,5|");
    test::setState(rules, "12.3|45,5");
    test::press(rules, "\b", clipboard);
    EXPECT_EQ(test::stateOf(rules), "1.2|45,5");
}

TEST(NumEditRules, anUnfinishedExponentIsLeftAloneByTheGrouping)
{
    NumEditRules rules(kItalian);
    rules.setNumberFormat(NumFormat::Thousands);
    MemoryClipboard clipboard;
    test::press(rules, "1234E", clipboard);
    EXPECT_EQ(test::stateOf(rules), "1.234E|");
    EXPECT_THROW(rules.value(), std::runtime_error);
    test::press(rules, "2", clipboard);
    EXPECT_EQ(test::stateOf(rules), "123.400|");
}

TEST(NumEditRules, copyLeavesOutTheThousandsSeparators)
{
    NumEditRules rules(kItalian);
    MemoryClipboard clipboard;
    test::setState(rules, "[1.234],5");
    rules.onCopy(clipboard);
    EXPECT_EQ(clipboard.text(), u"1234");
    test::setState(rules, "1.234,5|");
    rules.onCopy(clipboard);
    EXPECT_EQ(clipboard.text(), u"0");
    test::setState(rules, "[-]5");
    rules.onCopy(clipboard);
    EXPECT_EQ(clipboard.text(), u"-0");
}

TEST(NumEditRules, cutCopiesThenDeletesTheSelection)
{
    NumEditRules rules(kItalian);
    MemoryClipboard clipboard;
    test::setState(rules, "1[23]");
    rules.onChar(24, clipboard);
    EXPECT_EQ(clipboard.text(), u"23");
    EXPECT_EQ(test::stateOf(rules), "1|");
}

TEST(NumEditRules, pasteTypesEachCharacterAndBeepsForEachRefusedOne)
{
    NumEditRules rules(kItalian);
    MemoryClipboard clipboard;
    clipboard.setText(u"1a2,5b");
    test::setState(rules, "[0]");
    const int beeps = platform::beepCount();
    rules.onChar(22, clipboard);
    EXPECT_EQ(test::stateOf(rules), "12,5|");
    EXPECT_EQ(platform::beepCount() - beeps, 2);
}

TEST(NumEditRules, pastedControlCharactersAreNoCommands)
{
    NumEditRules rules(kItalian);
    MemoryClipboard clipboard;
    clipboard.setText(std::u16string(1, char16_t(22)) + u"5" + std::u16string(1, char16_t(24)));
    test::setState(rules, "0|");
    const int beeps = platform::beepCount();
    rules.onPaste(clipboard);
    EXPECT_EQ(test::stateOf(rules), "5|");
    EXPECT_EQ(platform::beepCount() - beeps, 2);
}

TEST(NumEditRules, limitsOnExitGoToTheNearerLimitWithABeep)
{
    NumEditRules rules(kItalian);
    rules.setMaxValue(9999);
    rules.setMinValue(0);
    test::setState(rules, "12000|");
    ASSERT_TRUE(rules.isOutsideLimits());
    const int beeps = platform::beepCount();
    rules.correctToLimits();
    EXPECT_EQ(test::stateOf(rules), "9999|");
    EXPECT_EQ(platform::beepCount() - beeps, 1);

    NumEditRules step(kItalian);
    step.setMaxValue(100);
    step.setMinValue(1);
    test::setState(step, "0|");
    step.correctToLimits();
    EXPECT_EQ(test::stateOf(step), "1|");
}

TEST(NumEditRules, minValueAboveMaxValueIsIgnoredSoMaxValueComesFirst)
{
    NumEditRules rules(kItalian);
    rules.setMinValue(1);
    EXPECT_EQ(rules.minValue(), 0);
    EXPECT_FALSE(rules.hasLimits());
    rules.setMaxValue(100);
    rules.setMinValue(1);
    EXPECT_EQ(rules.minValue(), 1);
    EXPECT_EQ(rules.maxValue(), 100);
    rules.setMaxValue(0);
    EXPECT_EQ(rules.maxValue(), 100);
}

TEST(NumEditRules, decimalsAreBoundedAndReformatTheText)
{
    NumEditRules rules(kItalian);
    rules.setValue(2.5);
    rules.setDecimals(20);
    EXPECT_EQ(rules.decimals(), 14);
    rules.setDecimals(-7);
    EXPECT_EQ(rules.decimals(), -1);
    rules.setMaxLength(5);
    rules.setDecimals(4);
    EXPECT_EQ(rules.decimals(), 3);
    EXPECT_EQ(toUtf8(rules.text()), "2,500");
}

TEST(NumEditRules, aLocaleWithoutThousandsSeparatorDropsTheGrouping)
{
    NumEditRules rules(kItalian);
    rules.setNumberFormat(NumFormat::Thousands);
    rules.setValue(1234567);
    rules.UpdateSeparators(Separators{u',', 0});
    EXPECT_EQ(test::stateOf(rules), "1234567|");
    EXPECT_EQ(rules.value(), 1234567);
}

TEST(NumEditRules, aSeparatorChangeRewritesTheText)
{
    NumEditRules rules(kItalian);
    rules.setNumberFormat(NumFormat::Thousands);
    rules.setValue(2.5);
    EXPECT_EQ(toUtf8(rules.text()), "2,5");
    EXPECT_EQ(rules.value(kEnglish), 2.5L);
    rules.UpdateSeparators(kEnglish);
    EXPECT_EQ(toUtf8(rules.text()), "2.5");
    EXPECT_EQ(rules.value(), 2.5L);
    rules.setValue(1234.5);
    EXPECT_EQ(toUtf8(rules.text()), "1,234.5");
}

} // namespace
} // namespace nomaro
