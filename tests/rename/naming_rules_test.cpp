#include "rename/naming_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nomaro {
namespace {

using Names = std::vector<std::string>;

// Every row starts with a new name that no rule produces, so a row a rule leaves alone shows.
FileTable tableOf(const Names &names)
{
    FileTable table;
    for (const std::string &name : names) {
        nm row;
        row.name = name;
        row.newName = "old:" + name;
        row.folder = "/tmp";
        row.extension = extensionOf(name);
        table.append(row);
    }
    return table;
}

Names newNamesOf(const FileTable &table)
{
    Names names;
    for (int i = 0; i < table.rowCount(); ++i)
        names.push_back(table.row(i).newName);
    return names;
}

template<typename Input>
struct RuleCase
{
    const char *what;
    Names names;
    Input input;
    Names expected;
    std::string message = {};
    bool applied = true;
};

template<typename Input>
std::string caseName(const testing::TestParamInfo<RuleCase<Input>> &info)
{
    std::string name;
    for (const char *c = info.param.what; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

template<typename Input, RuleOutcome (*Rule)(FileTable &, const Input &)>
void checkRule(const RuleCase<Input> &rule)
{
    FileTable table = tableOf(rule.names);
    const RuleOutcome outcome = Rule(table, rule.input);
    EXPECT_EQ(outcome.message, rule.message);
    EXPECT_EQ(outcome.applied, rule.applied);
    EXPECT_EQ(newNamesOf(table), rule.expected);
    for (int i = 0; i < table.rowCount(); ++i)
        EXPECT_EQ(table.row(i).name, rule.names[static_cast<std::size_t>(i)]) << "names stay";
}

// ---- Sequential numbering -------------------------------------------------------------------

using SequentialCase = RuleCase<SequentialInput>;
class SequentialRule : public testing::TestWithParam<SequentialCase> {};

TEST_P(SequentialRule, GivesNewNames)
{
    checkRule<SequentialInput, ApplySequentialRule>(GetParam());
}

SequentialInput sequential(std::string base, SeparatorChoice separator, int digits, double start,
                           double step, std::string user = {})
{
    return {std::move(base), separator, std::move(user), digits, start, step};
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SequentialRule,
    testing::Values(
        SequentialCase{"three digits keep each extension in its own case",
                       {"a.jpg", "b.JPG", "c"},
                       sequential("Vacanze", SeparatorChoice::Underscore, 3, 1, 1),
                       {"Vacanze_001.jpg", "Vacanze_002.JPG", "Vacanze_003"}},
        SequentialCase{"dash and four digits",
                       {"x.png"},
                       sequential("V", SeparatorChoice::Dash, 4, 7, 1),
                       {"V-0007.png"}},
        SequentialCase{"space separator", {"x.png"},
                       sequential("V", SeparatorChoice::Space, 2, 5, 1), {"V 05.png"}},
        SequentialCase{"user separator empty joins base and number",
                       {"a.jpg"},
                       sequential("Vacanze", SeparatorChoice::User, 2, 1, 1, ""),
                       {"Vacanze01.jpg"}},
        SequentialCase{"user separator of several characters",
                       {"a.jpg"},
                       sequential("Vacanze", SeparatorChoice::User, 2, 1, 1, " - "),
                       {"Vacanze - 01.jpg"}},
        SequentialCase{"blank base name is accepted",
                       {"a.txt"},
                       sequential(" ", SeparatorChoice::Underscore, 2, 1, 1),
                       {" _01.txt"}},
        SequentialCase{"numbers wider than the digit count are written in full",
                       {"a.txt", "b.txt", "c.txt"},
                       sequential("F", SeparatorChoice::Underscore, 2, 98, 1),
                       {"F_98.txt", "F_99.txt", "F_100.txt"}},
        SequentialCase{"start and step round a half to the even neighbour",
                       {"a", "b"},
                       sequential("F", SeparatorChoice::Underscore, 2, 2.5, 1.5),
                       {"F_02", "F_04"}},
        SequentialCase{"start rounds a half up to an even number",
                       {"a"},
                       sequential("F", SeparatorChoice::Underscore, 2, 3.5, 1),
                       {"F_04"}},
        SequentialCase{"empty base name stops and writes nothing",
                       {"a.txt"},
                       sequential("", SeparatorChoice::Underscore, 2, 1, 1),
                       {"old:a.txt"},
                       "Nome Base vuoto",
                       false}),
    caseName<SequentialInput>);

TEST(SequentialRuleNumbering, ThousandthRowHasFourDigits)
{
    FileTable table = tableOf(Names(1000, "a.jpg"));
    ApplySequentialRule(table, sequential("Vacanze", SeparatorChoice::Underscore, 3, 1, 1));
    EXPECT_EQ(table.row(998).newName, "Vacanze_999.jpg");
    EXPECT_EQ(table.row(999).newName, "Vacanze_1000.jpg");
}

// ---- Search and replace -----------------------------------------------------------------------

using SearchCase = RuleCase<SearchReplaceInput>;
class SearchReplaceRule : public testing::TestWithParam<SearchCase> {};

TEST_P(SearchReplaceRule, GivesNewNames)
{
    checkRule<SearchReplaceInput, ApplySearchReplaceRule>(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SearchReplaceRule,
    testing::Values(
        SearchCase{"replaces only the first occurrence and a row without it keeps its new name",
                   {"banana.txt", "BANANA.txt"},
                   {"a", "o", false},
                   {"bonana.txt", "old:BANANA.txt"}},
        SearchCase{"only the replacement is upper cased",
                   {"foto_mare.jpg"},
                   {"foto", "img", true},
                   {"IMG_mare.jpg"}},
        SearchCase{"upper casing leaves accented letters alone",
                   {"x.txt"},
                   {"x", "città", true},
                   {"CITTà.txt"}},
        SearchCase{"empty replacement deletes the occurrence",
                   {"copia di foto.jpg"},
                   {"copia di ", "", false},
                   {"foto.jpg"}},
        SearchCase{"search runs over the extension too",
                   {"foto.jpeg"},
                   {".jpeg", ".jpg", false},
                   {"foto.jpg"}},
        SearchCase{"comparison is exact in letter case",
                   {"Foto.jpg"},
                   {"foto", "img", false},
                   {"old:Foto.jpg"}},
        SearchCase{"multibyte text is found and replaced whole",
                   {"città.txt"},
                   {"à", "a", false},
                   {"citta.txt"}},
        SearchCase{"empty search stops and writes nothing",
                   {"a.txt"},
                   {"", "b", false},
                   {"old:a.txt"},
                   "Campo Cerca vuoto",
                   false}),
    caseName<SearchReplaceInput>);

// ---- Change of extension ----------------------------------------------------------------------

using ExtensionCase = RuleCase<ExtensionInput>;
class ExtensionRule : public testing::TestWithParam<ExtensionCase> {};

TEST_P(ExtensionRule, GivesNewNames)
{
    checkRule<ExtensionInput, ApplyExtensionRule>(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtensionRule,
    testing::Values(
        ExtensionCase{"extension without a dot gets one and replaces only the last part",
                      {"foto.jpg", "archivio.tar.gz"},
                      {"JPG", false},
                      {"foto.JPG", "archivio.tar.JPG"}},
        ExtensionCase{"extension with a dot is taken as typed",
                      {"foto.jpg"},
                      {".JPG", false},
                      {"foto.JPG"}},
        ExtensionCase{"upper casing the extension", {"foto.jpg"}, {"jpg", true}, {"foto.JPG"}},
        ExtensionCase{"a name without a dot gets the extension appended",
                      {"README"},
                      {"txt", false},
                      {"README.txt"}},
        ExtensionCase{"empty extension removes it and may leave an empty name",
                      {"foto.jpg", ".config"},
                      {"", false},
                      {"foto", ""}}),
    caseName<ExtensionInput>);

// ---- Clean name -------------------------------------------------------------------------------

using CleanCase = RuleCase<CleanNameInput>;
class CleanNameRule : public testing::TestWithParam<CleanCase> {};

TEST_P(CleanNameRule, GivesNewNames)
{
    checkRule<CleanNameInput, ApplyCleanNameRule>(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CleanNameRule,
    testing::Values(
        CleanCase{"each word removes its first occurrence in what earlier words left",
                  {"Film.DivX.ITA.avi"},
                  {"DivX,.", false},
                  {"Film.ITA.avi"}},
        CleanCase{"ignoring case cuts the name in its own case",
                  {"Film DivX.avi"},
                  {"divx", true},
                  {"Film .avi"}},
        CleanCase{"without ignoring case the word must match exactly",
                  {"Film DivX.avi"},
                  {"divx", false},
                  {"Film DivX.avi"}},
        CleanCase{"only the first twenty of twenty five words are used",
                  {"abcdefghijklmnopqrstuvwxy.txt"},
                  {"a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q,r,s,t,u,v,w,x,y", false},
                  {"uvwxy.txt"}},
        CleanCase{"empty pieces keep their place among the twenty",
                  {"ab.txt"},
                  {",, ,\t,,,,,,,,,,,,,,,,a,b", false},
                  {"b.txt"}},
        CleanCase{"words are trimmed of blanks and control characters but keep inner blanks",
                  {"Mio Div X.avi"},
                  {" \tDiv X \r, ", false},
                  {"Mio .avi"}},
        CleanCase{"the extension part is never touched",
                  {"video.avi", ".config"},
                  {"avi,config,.", false},
                  {"video.avi", ".config"}},
        CleanCase{"empty list shows a message and gives the current names",
                  {"a.txt"},
                  {"", false},
                  {"a.txt"},
                  "Campo Caratteri vuoto",
                  true}),
    caseName<CleanNameInput>);

TEST(CleanNameWordList, TrailingCommaAddsNoWordAndLongListsStopAtTwenty)
{
    EXPECT_EQ(splitWordList("A,B,"), (Names{"A", "B"}));
    EXPECT_EQ(splitWordList("A,,B"), (Names{"A", "", "B"}));
    EXPECT_EQ(splitWordList(std::string(30, ',')).size(), 20u);
}

// ---- Replace one character --------------------------------------------------------------------

using CharCase = RuleCase<CharReplaceInput>;
class CharReplaceRule : public testing::TestWithParam<CharCase> {};

TEST_P(CharReplaceRule, GivesNewNames)
{
    checkRule<CharReplaceInput, ApplyCharReplaceRule>(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CharReplaceRule,
    testing::Values(
        CharCase{"every dot of the base becomes a blank and the extension dot stays",
                 {"Il.mio.film.avi"},
                 {".", " "},
                 {"Il mio film.avi"}},
        CharCase{"empty replacement deletes every occurrence",
                 {"a_b_c.txt"},
                 {"_", ""},
                 {"abc.txt"}},
        CharCase{"only the first character of each field counts",
                 {"a-b-c.txt"},
                 {"-x", "+y"},
                 {"a+b+c.txt"}},
        CharCase{"a multibyte character is replaced whole",
                 {"è_bello_è.txt"},
                 {"è", "e"},
                 {"e_bello_e.txt"}},
        CharCase{"a multibyte replacement is put whole",
                 {"a b.txt"},
                 {" ·", "·x"},
                 {"a·b.txt"}},
        CharCase{"a character sharing a first byte with the searched one is not cut",
                 {"perciò.txt"},
                 {"à", "a"},
                 {"perciò.txt"}},
        CharCase{"bytes that are not UTF-8 count one by one",
                 {"caf\xE9\xE9.txt"},
                 {"\xE9", "e"},
                 {"cafee.txt"}},
        CharCase{"a name that is all extension is unchanged",
                 {".config"},
                 {".", "_"},
                 {".config"}},
        CharCase{"empty search stops and writes nothing",
                 {"a.txt"},
                 {"", "_"},
                 {"old:a.txt"},
                 "Campo Cerca vuoto",
                 false}),
    caseName<CharReplaceInput>);

// ---- Echo labels ---------------------------------------------------------------------------

TEST(EchoLabel, ShowsTheWholeFirstCharacterBetweenAngles)
{
    EXPECT_EQ(echoLabelText("."), "<.>");
    EXPECT_EQ(echoLabelText(" "), "< >");
    EXPECT_EQ(echoLabelText(""), "<>");
    EXPECT_EQ(echoLabelText("èx"), "<è>");
}

} // namespace
} // namespace nomaro
