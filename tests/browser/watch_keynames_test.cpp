#include "browser/keynames.h"

#include <gtest/gtest.h>

namespace nomaro {
namespace {

struct KeyNameCase
{
    const char *what;
    const char *name;
    QKeyCombination expected;
};

const KeyNameCase kCases[] = {
    {"a control letter", "Ctrl+A", QKeyCombination(Qt::ControlModifier, Qt::Key_A)},
    {"case does not matter", "cTRL+c", QKeyCombination(Qt::ControlModifier, Qt::Key_C)},
    {"the caret stands for control", "^V", QKeyCombination(Qt::ControlModifier, Qt::Key_V)},
    {"a run of prefixes in any order", "Alt+Shift+^x",
     QKeyCombination(Qt::AltModifier | Qt::ShiftModifier | Qt::ControlModifier, Qt::Key_X)},
    {"a named key alone", "Del", QKeyCombination(Qt::Key_Delete)},
    {"named keys ignore case", "pgdn", QKeyCombination(Qt::Key_PageDown)},
    {"a digit", "Shift+7", QKeyCombination(Qt::ShiftModifier, Qt::Key_7)},
    {"a function key", "F5", QKeyCombination(Qt::Key_F5)},
    {"a two-digit function key", "ctrl+f12", QKeyCombination(Qt::ControlModifier, Qt::Key_F12)},
    {"the last function key", "F24", QKeyCombination(Qt::Key_F24)},
    {"enter, escape, backspace", "BkSp", QKeyCombination(Qt::Key_Backspace)},
    {"space", "Ctrl+Space", QKeyCombination(Qt::ControlModifier, Qt::Key_Space)},
    {"no function key 0", "F0", QKeyCombination(Qt::Key_unknown)},
    {"no function key 25", "F25", QKeyCombination(Qt::Key_unknown)},
    {"a leading zero is no function key", "F05", QKeyCombination(Qt::Key_unknown)},
    {"prefixes without a key", "Ctrl+", QKeyCombination(Qt::Key_unknown)},
    {"an empty name", "", QKeyCombination(Qt::Key_unknown)},
    {"an unknown name", "Ctrl+Foo", QKeyCombination(Qt::Key_unknown)},
    {"a prefix without its plus", "CtrlA", QKeyCombination(Qt::Key_unknown)},
    {"a blank is no part of a name", "Ctrl+ A", QKeyCombination(Qt::Key_unknown)},
};

TEST(KeyNames, ParsesPrefixesAndKeyNames)
{
    for (const KeyNameCase &row : kCases)
        EXPECT_EQ(parseKeyName(row.name), row.expected) << row.what << ": \"" << row.name << "\"";
}

TEST(KeyNames, TheComponentTableHoldsItsSevenKeysInOrder)
{
    EXPECT_EQ(componentKey(ComponentKey::SelectAll), QKeyCombination(Qt::ControlModifier, Qt::Key_A));
    EXPECT_EQ(componentKey(ComponentKey::Delete), QKeyCombination(Qt::Key_Delete));
    EXPECT_EQ(componentKey(ComponentKey::Copy), QKeyCombination(Qt::ControlModifier, Qt::Key_C));
    EXPECT_EQ(componentKey(ComponentKey::Cut), QKeyCombination(Qt::ControlModifier, Qt::Key_X));
    EXPECT_EQ(componentKey(ComponentKey::Paste), QKeyCombination(Qt::ControlModifier, Qt::Key_V));
    EXPECT_EQ(componentKey(ComponentKey::Refresh), QKeyCombination(Qt::Key_F5));
    EXPECT_EQ(componentKey(ComponentKey::EditCaption), QKeyCombination(Qt::Key_F2));
}

} // namespace
} // namespace nomaro
