#include "browser/keynames.h"

#include <array>
#include <charconv>
#include <utility>

#include "platform/ascii_case.h"

namespace nomaro {
namespace {

constexpr std::array<std::pair<std::string_view, Qt::Key>, 15> kNamedKeys = {{
    {"BkSp", Qt::Key_Backspace}, {"Tab", Qt::Key_Tab}, {"Enter", Qt::Key_Return},
    {"Esc", Qt::Key_Escape}, {"Space", Qt::Key_Space}, {"PgUp", Qt::Key_PageUp},
    {"PgDn", Qt::Key_PageDown}, {"End", Qt::Key_End}, {"Home", Qt::Key_Home},
    {"Left", Qt::Key_Left}, {"Up", Qt::Key_Up}, {"Right", Qt::Key_Right},
    {"Down", Qt::Key_Down}, {"Ins", Qt::Key_Insert}, {"Del", Qt::Key_Delete},
}};
constexpr int kFunctionKeys = 24;

bool takePrefix(std::string_view &name, std::string_view prefix)
{
    if (!platform::equalIgnoringAsciiCase(name.substr(0, prefix.size()), prefix))
        return false;
    name.remove_prefix(prefix.size());
    return true;
}

Qt::Key keyOf(std::string_view name)
{
    if (name.size() == 1) {
        const char c = platform::toUpperAscii(name[0]);
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            return Qt::Key(c); // Qt's letter and digit keys are their upper-case ASCII codes
    }
    for (const auto &[keyName, key] : kNamedKeys) {
        if (platform::equalIgnoringAsciiCase(name, keyName))
            return key;
    }
    if (name.size() >= 2 && platform::toUpperAscii(name[0]) == 'F' && name[1] != '0') {
        int number = 0;
        const auto [end, error] = std::from_chars(name.data() + 1, name.data() + name.size(), number);
        if (error == std::errc() && end == name.data() + name.size() && number >= 1 && number <= kFunctionKeys)
            return Qt::Key(Qt::Key_F1 + number - 1);
    }
    return Qt::Key_unknown;
}

} // namespace

QKeyCombination parseKeyName(std::string_view name)
{
    Qt::KeyboardModifiers modifiers;
    for (;;) {
        if (takePrefix(name, "Shift+"))
            modifiers |= Qt::ShiftModifier;
        else if (takePrefix(name, "Ctrl+") || takePrefix(name, "^"))
            modifiers |= Qt::ControlModifier;
        else if (takePrefix(name, "Alt+"))
            modifiers |= Qt::AltModifier;
        else
            break;
    }
    const Qt::Key key = keyOf(name);
    if (key == Qt::Key_unknown)
        return QKeyCombination(Qt::Key_unknown);
    return QKeyCombination(modifiers, key);
}

QKeyCombination componentKey(ComponentKey key)
{
    static const std::array<QKeyCombination, 7> table = [] {
        constexpr std::array<std::string_view, 7> names = {"Ctrl+A", "Del", "Ctrl+C", "Ctrl+X", "Ctrl+V", "F5", "F2"};
        std::array<QKeyCombination, 7> keys;
        for (std::size_t i = 0; i < names.size(); ++i)
            keys[i] = parseKeyName(names[i]);
        return keys;
    }();
    return table[static_cast<std::size_t>(key)];
}

} // namespace nomaro
