#include "rename/naming_rules.h"

#include "platform/ascii_case.h"
#include "platform/utf8.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace nomaro {
namespace {

// Cuts that the rules make when they glue the rest of a text back on: a name keeps at most 1000
// characters after a cut, the word list at most 10000 after a comma.
constexpr std::size_t kNameTail = 1000;
constexpr std::size_t kListTail = 10000;
constexpr std::size_t kMaxWords = 20;

std::int64_t roundHalfToEven(double value)
{
    // The spin fields bound their values far inside this; the clamp keeps any caller safe.
    value = std::clamp(value, -1e15, 1e15);
    const double floor = std::floor(value);
    const double fraction = value - floor;
    auto whole = static_cast<std::int64_t>(floor);
    if (fraction > 0.5 || (fraction == 0.5 && whole % 2 != 0))
        ++whole;
    return whole;
}

std::string zeroPadded(std::int64_t number, int digits)
{
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%*.*lld", digits, digits, static_cast<long long>(number));
    return buffer;
}

bool isBlankOrControl(unsigned char c)
{
    return c <= 0x20 || c == 0x7F;
}

std::string trimmed(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlankOrControl(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && isBlankOrControl(static_cast<unsigned char>(text[end - 1])))
        --end;
    return std::string(text.substr(begin, end - begin));
}

// text without the `length` bytes at `pos`, keeping at most kNameTail bytes after them.
std::string withoutRange(const std::string &text, std::size_t pos, std::size_t length)
{
    return text.substr(0, pos) + text.substr(pos + length, kNameTail);
}

} // namespace

std::string_view firstCharacter(std::string_view text)
{
    return text.substr(0, platform::utf8CharacterLength(text, 0));
}

std::vector<std::string> splitWordList(const std::string &text)
{
    std::vector<std::string> words;
    std::string rest = text;
    while (!rest.empty() && words.size() < kMaxWords) {
        const auto comma = rest.find(',');
        if (comma == std::string::npos) {
            words.push_back(trimmed(rest));
            break;
        }
        words.push_back(trimmed(std::string_view(rest).substr(0, comma)));
        rest = rest.substr(comma + 1, kListTail);
    }
    return words;
}

std::string echoLabelText(std::string_view fieldText)
{
    return "<" + std::string(firstCharacter(fieldText)) + ">";
}

RuleOutcome ApplySequentialRule(FileTable &table, const SequentialInput &input)
{
    if (input.baseName.empty())
        return {"Nome Base vuoto", false};
    std::string separator;
    switch (input.separator) {
    case SeparatorChoice::Underscore: separator = "_"; break;
    case SeparatorChoice::Dash: separator = "-"; break;
    case SeparatorChoice::Space: separator = " "; break;
    case SeparatorChoice::User: separator = input.userSeparator; break;
    }
    std::int64_t counter = roundHalfToEven(input.startFrom);
    const std::int64_t step = roundHalfToEven(input.increment);
    for (int i = 0; i < table.rowCount(); ++i) {
        nm &row = table.row(i);
        row.newName = input.baseName + separator + zeroPadded(counter, input.digits)
            + extensionOf(row.name);
        counter += step;
    }
    return {{}, true};
}

RuleOutcome ApplySearchReplaceRule(FileTable &table, const SearchReplaceInput &input)
{
    if (input.search.empty())
        return {"Campo Cerca vuoto", false};
    const std::string replacement =
        input.upperCase ? platform::upperAscii(input.replacement) : input.replacement;
    for (int i = 0; i < table.rowCount(); ++i) {
        nm &row = table.row(i);
        const auto found = row.name.find(input.search);
        if (found == std::string::npos)
            continue;
        row.newName = row.name.substr(0, found) + replacement
            + row.name.substr(found + input.search.size(), kNameTail);
    }
    return {{}, true};
}

RuleOutcome ApplyExtensionRule(FileTable &table, const ExtensionInput &input)
{
    std::string extension = input.extension;
    if (!extension.empty() && extension.front() != '.')
        extension.insert(extension.begin(), '.');
    if (input.upperCase)
        extension = platform::upperAscii(extension);
    for (int i = 0; i < table.rowCount(); ++i) {
        nm &row = table.row(i);
        row.newName = basePartOf(row.name) + extension;
    }
    return {{}, true};
}

RuleOutcome ApplyCleanNameRule(FileTable &table, const CleanNameInput &input)
{
    RuleOutcome outcome{{}, true};
    std::vector<std::string> words;
    if (input.wordList.empty())
        outcome.message = "Campo Caratteri vuoto";
    else
        words = splitWordList(input.wordList);
    if (input.ignoreCase)
        for (std::string &word : words)
            word = platform::upperAscii(word);

    for (int i = 0; i < table.rowCount(); ++i) {
        nm &row = table.row(i);
        std::string base = basePartOf(row.name);
        // Matching runs on this copy; case folding keeps every byte in place, so a position
        // found in it is the same position in the name.
        std::string compared = input.ignoreCase ? platform::upperAscii(base) : base;
        for (const std::string &word : words) {
            if (word.empty())
                continue;
            const auto found = compared.find(word);
            if (found == std::string::npos)
                continue;
            base = withoutRange(base, found, word.size());
            compared = withoutRange(compared, found, word.size());
        }
        row.newName = base + extensionOf(row.name);
    }
    return outcome;
}

RuleOutcome ApplyCharReplaceRule(FileTable &table, const CharReplaceInput &input)
{
    if (input.search.empty())
        return {"Campo Cerca vuoto", false};
    const std::string_view searched = firstCharacter(input.search);
    const std::string_view replacement = firstCharacter(input.replacement);
    for (int i = 0; i < table.rowCount(); ++i) {
        nm &row = table.row(i);
        const std::string base = basePartOf(row.name);
        std::string result;
        result.reserve(base.size());
        for (std::size_t pos = 0; pos < base.size();) {
            const std::size_t length = platform::utf8CharacterLength(base, pos);
            const std::string_view character = std::string_view(base).substr(pos, length);
            if (character == searched)
                result.append(replacement);
            else
                result.append(character);
            pos += length;
        }
        row.newName = result + extensionOf(row.name);
    }
    return {{}, true};
}

} // namespace nomaro
