#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "workset/file_table.h"

namespace nomaro {

// What a rule hands back to the window: a message to show in an error box (empty for none) and
// whether the rule went on to rewrite the new names, after which the views must be rebuilt.
struct RuleOutcome
{
    std::string message;
    bool applied = false;
};

enum class SeparatorChoice { Underscore, Dash, Space, User };

struct SequentialInput
{
    std::string baseName;
    SeparatorChoice separator = SeparatorChoice::Underscore;
    std::string userSeparator;
    int digits = 2;
    double startFrom = 0.0;
    double increment = 1.0;
};

struct SearchReplaceInput
{
    std::string search;
    std::string replacement;
    bool upperCase = false;
};

struct ExtensionInput
{
    std::string extension;
    bool upperCase = false;
};

struct CleanNameInput
{
    std::string wordList;
    bool ignoreCase = false;
};

struct CharReplaceInput
{
    std::string search;
    std::string replacement;
};

RuleOutcome ApplySequentialRule(FileTable &table, const SequentialInput &input);
RuleOutcome ApplySearchReplaceRule(FileTable &table, const SearchReplaceInput &input);
RuleOutcome ApplyExtensionRule(FileTable &table, const ExtensionInput &input);
RuleOutcome ApplyCleanNameRule(FileTable &table, const CleanNameInput &input);
RuleOutcome ApplyCharReplaceRule(FileTable &table, const CharReplaceInput &input);

// The first character of a field: a whole UTF-8 sequence, or one byte where the text is not
// valid UTF-8 there.
std::string_view firstCharacter(std::string_view text);

// The clean-name word list: at most 20 trimmed pieces between commas, empty pieces kept.
std::vector<std::string> splitWordList(const std::string &text);

// Caption of an echo label of the character-replace page: "<" + first character + ">".
std::string echoLabelText(std::string_view fieldText);

} // namespace nomaro
