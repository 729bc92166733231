#include "rules_support.h"

#include <QString>

namespace nomaro::test {

void setState(NumEditRules &rules, const std::string &state)
{
    std::u16string text;
    int start = -1;
    int end = -1;
    for (char16_t c : QString::fromStdString(state).toStdU16String()) {
        if (c == u'|' || c == u'[')
            start = static_cast<int>(text.size());
        else if (c == u']')
            end = static_cast<int>(text.size());
        else
            text.push_back(c);
    }
    rules.setText(text);
    if (start < 0)
        start = static_cast<int>(text.size());
    rules.setSelection(start, end < 0 ? 0 : end - start);
}

std::string stateOf(const NumEditRules &rules)
{
    std::u16string out = rules.text();
    const auto start = static_cast<std::size_t>(rules.selStart());
    if (rules.selLength() == 0) {
        out.insert(start, 1, u'|');
    } else {
        out.insert(start + static_cast<std::size_t>(rules.selLength()), 1, u']');
        out.insert(start, 1, u'[');
    }
    return toUtf8(out);
}

void press(NumEditRules &rules, const std::string &keys, Clipboard &clipboard)
{
    for (char16_t key : QString::fromStdString(keys).toStdU16String()) {
        if (key == u'\b')
            rules.onDeleteKey(DeleteKey::Backspace);
        else if (key == 0x7f)
            rules.onDeleteKey(DeleteKey::Delete);
        else
            rules.onChar(key, clipboard);
        rules.onKeyRelease(false);
    }
}

} // namespace nomaro::test
