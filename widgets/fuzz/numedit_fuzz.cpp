// Drives random key, paste, clear, locale and step sequences through the numeric field's rules
// and stops at the first state that breaks one of the field's promises: the caret and the
// selection stay inside the text, and the text reads back as a number unless it ends in an
// unfinished exponent ("1E", "1E-").

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "widgets/numedit_rules.h"
#include "widgets/spin_rules.h"

namespace {

using namespace nomaro;

const Separators kLocales[] = {
    {u',', u'.'},    {u'.', u','},    {u'.', u'\''}, {u',', u'\u00a0'},
    {u',', u'\u202f'}, {u'\u066b', u'\u066c'}, {u'.', 0},
};

const char16_t kTyped[] = {u'0', u'1', u'2', u'5', u'9', u'-', u'E', u'e', u',', u'.',
                           u'x', u' ', u'\'', u'\u00a0', u'\u066b', u'+', 3, 22, 24};

class FuzzClipboard final : public Clipboard
{
public:
    std::u16string text() const override { return m_text; }
    void setText(const std::u16string &text) override { m_text = text; }

private:
    std::u16string m_text;
};

[[noreturn]] void fail(const char *what, const NumEditRules &rules)
{
    std::fprintf(stderr, "numedit_fuzz: %s; text '%s', selection %d+%d\n", what, toUtf8(rules.text()).c_str(),
                 rules.selStart(), rules.selLength());
    std::abort();
}

bool unfinishedExponent(const std::u16string &text)
{
    return text.ends_with(u'E') || text.ends_with(u"E-");
}

// Reads the value; false for the one text allowed not to read.
bool readValue(const NumEditRules &rules, Extended &value)
{
    try {
        value = rules.value();
        return true;
    } catch (const std::runtime_error &) {
        if (!unfinishedExponent(rules.text()))
            fail("a text that does not read back", rules);
        return false;
    }
}

void check(const NumEditRules &rules)
{
    const int length = static_cast<int>(rules.text().size());
    if (rules.selStart() < 0 || rules.selLength() < 0 || rules.selStart() + rules.selLength() > length)
        fail("caret or selection outside the text", rules);
    Extended value = 0;
    if (!readValue(rules, value))
        return;
    // A formatted value reads back and, but for the engineering format, whose mantissa may round
    // to 0 or 1000, formats to the same text.
    const std::u16string formatted = rules.FormatValue(value);
    Extended back = 0;
    try {
        back = TextToValue(formatted, rules.separators(), rules.separators());
    } catch (const std::runtime_error &) {
        fail("a formatted value that does not read back", rules);
    }
    if (rules.numberFormat() != NumFormat::Engineering && rules.FormatValue(back) != formatted) {
        const std::string message = "formatting is not stable: '" + toUtf8(formatted) + "' then '"
                                    + toUtf8(rules.FormatValue(back)) + "'";
        fail(message.c_str(), rules);
    }
}

// Runs an action that reads the value and may therefore throw for an unfinished exponent; the
// state must then be unchanged.
template<typename Action>
void guarded(NumEditRules &rules, Action action)
{
    const std::u16string before = rules.text();
    try {
        action();
    } catch (const std::runtime_error &) {
        if (!unfinishedExponent(before) || rules.text() != before)
            fail("an action failed on a readable text or changed it", rules);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::size_t at = 0;
    const auto next = [&]() -> unsigned { return at < size ? data[at++] : 0; };

    NumEditRules rules(kLocales[0]);
    SpinRules spin;
    std::int64_t now = 0;
    spin.setTickSource([&now] { return now; });
    FuzzClipboard clipboard;
    // Replaying a crash with NUMEDIT_FUZZ_TRACE set prints every step.
    static const bool trace = std::getenv("NUMEDIT_FUZZ_TRACE") != nullptr;

    while (at < size) {
        const unsigned op = next() % 20;
        switch (op) {
        case 0: case 1: case 2: case 3: case 4: case 5: case 6:
            rules.onChar(kTyped[next() % std::size(kTyped)], clipboard);
            break;
        case 7:
            rules.onDeleteKey(DeleteKey::Backspace);
            break;
        case 8:
            rules.onDeleteKey(DeleteKey::Delete);
            break;
        case 9: {
            const int start = static_cast<int>(next() % 24);
            rules.setSelection(start, static_cast<int>(next() % 24));
            break;
        }
        case 10: {
            std::u16string pasted;
            for (unsigned n = next() % 8; n > 0; --n)
                pasted.push_back(kTyped[next() % std::size(kTyped)]);
            clipboard.setText(pasted);
            rules.onPaste(clipboard);
            break;
        }
        case 11:
            rules.onCut(clipboard);
            break;
        case 12:
            rules.DeleteSelection();
            break;
        case 13:
            rules.onKeyRelease(next() % 2 == 0);
            break;
        case 14:
            guarded(rules, [&] { rules.setDecimals(static_cast<int>(next() % 18) - 2); });
            break;
        case 15: {
            const unsigned format = next() % 4;
            guarded(rules, [&] { rules.setNumberFormat(static_cast<NumFormat>(format)); });
            break;
        }
        case 16:
            rules.UpdateSeparators(kLocales[next() % std::size(kLocales)]);
            break;
        case 17:
            // Leaving the field.
            guarded(rules, [&] {
                if (spin.roundsOnExit(rules))
                    spin.RoundValue(rules);
                rules.reformat();
                if (rules.isOutsideLimits())
                    rules.correctToLimits();
            });
            break;
        case 18: {
            const unsigned which = next();
            now += static_cast<std::int64_t>(next() % 4) * 100;
            guarded(rules, [&] {
                const StepResult result = (which & 1) ? spin.StepUp(rules, StepSource::Button)
                                                      : spin.StepDown(rules, StepSource::Key);
                if (result == StepResult::InvalidEntry)
                    rules.correctToLimits();
            });
            if (which & 2)
                spin.resetStep();
            break;
        }
        case 19: {
            const unsigned setting = next() % 6;
            const Extended amount = static_cast<Extended>(static_cast<int>(next()) - 64) / 4;
            switch (setting) {
            case 0: rules.setMaxValue(amount); break;
            case 1: rules.setMinValue(amount); break;
            case 2: guarded(rules, [&] { spin.setIncrement(amount, rules); }); break;
            case 3: spin.setWrap(!spin.wrap()); break;
            case 4: spin.setRoundValues(!spin.roundValues()); break;
            default: rules.setMaxLength(static_cast<int>(next() % 12)); break;
            }
            break;
        }
        default:
            break;
        }
        if (trace)
            std::fprintf(stderr, "op %2u: '%s' %d+%d\n", op, toUtf8(rules.text()).c_str(), rules.selStart(),
                         rules.selLength());
        check(rules);
    }
    return 0;
}
