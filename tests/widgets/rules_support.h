#pragma once

#include <string>

#include "widgets/numedit_rules.h"

namespace nomaro::test {

inline const Separators kItalian{u',', u'.'};
inline const Separators kEnglish{u'.', u','};

class MemoryClipboard final : public Clipboard
{
public:
    std::u16string text() const override { return m_text; }
    void setText(const std::u16string &text) override { m_text = text; }

private:
    std::u16string m_text;
};

// A field state written as its text with the caret as "|" or the selection in "[...]", e.g.
// "3,1|4" or "3[,1]4"; UTF-8.
void setState(NumEditRules &rules, const std::string &state);
std::string stateOf(const NumEditRules &rules);

// Feeds keys: '\b' is Backspace, '\x7f' Delete, anything else is typed. After each key the
// key release runs, as the line edit does.
void press(NumEditRules &rules, const std::string &keys, Clipboard &clipboard);

} // namespace nomaro::test
