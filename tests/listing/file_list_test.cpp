#include "listing/file_list.h"

#include <QLocale>
#include <cctype>
#include <gtest/gtest.h>

namespace nomaro {
namespace {

platform::LocaleFormats italian()
{
    return platform::LocaleFormats::fromLocale(QLocale(QLocale::Italian, QLocale::Italy));
}

nm fileRow(std::string name, std::string folder = "/Foto", double size = 0.0,
           platform::DateTimeValue when = 0.0)
{
    nm row;
    row.name = name;
    row.newName = std::move(name);
    row.folder = std::move(folder);
    row.size = size;
    row.dateTime = when;
    row.extension = extensionOf(row.name);
    return row;
}

nm folderRow(std::string name, std::string folder = "/Foto")
{
    nm row = fileRow(std::move(name), std::move(folder));
    row.folderFlag = kFolderFlag;
    row.extension.clear();
    return row;
}

platform::DateTimeValue at(int year, int month, int day, int h = 0, int m = 0, int s = 0)
{
    return platform::toDateTimeValue(QDate(year, month, day), QTime(h, m, s));
}

std::vector<std::string> build(const std::vector<nm> &rows, const ListOptions &options,
                               const platform::LocaleFormats &formats = italian())
{
    FileTable table;
    for (const nm &row : rows)
        table.append(row);
    return BuildFileList(table, options, formats);
}

TEST(BuildFileList, EmptyWorkingSetGivesNoLineWhateverTheOptions)
{
    FileTable table;
    for (int bits = 0; bits < (1 << 7); ++bits) {
        for (const LetterCase letterCase : {LetterCase::AsIs, LetterCase::Upper, LetterCase::Lower}) {
            for (const char *separator : {" ", ";", "\t", "", "--"}) {
                ListOptions options;
                options.markFolders = bits & 1;
                options.path = bits & 2;
                options.extension = bits & 4;
                options.size = bits & 8;
                options.sizeUnit = (bits & 16) ? SizeUnit::MB : SizeUnit::KB;
                options.date = bits & 32;
                options.time = bits & 64;
                options.separator = separator;
                options.letterCase = letterCase;
                EXPECT_TRUE(BuildFileList(table, options, italian()).empty()) << bits;
            }
        }
    }
}

TEST(BuildFileList, ExampleLineUnderItalianLocale)
{
    ListOptions options;
    options.path = true;
    options.extension = true;
    options.size = true;
    options.date = true;
    options.separator = ";";
    options.letterCase = LetterCase::Upper;
    const auto lines = build({fileRow("Mare.jpg", "/Foto", 1536000, at(2026, 12, 7, 14, 5, 9))}, options);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "  /FOTO/MARE.JPG;   1.500 KB;07/12/26");
}

TEST(BuildFileList, OneLinePerRowInTableOrderFromTheNewNames)
{
    nm renamed = fileRow("a.txt");
    renamed.newName = "z.txt";
    ListOptions options;
    options.markFolders = false;
    options.extension = true;
    EXPECT_EQ(build({renamed, fileRow("b.txt"), folderRow("c")}, options),
              (std::vector<std::string>{"z.txt", "b.txt", "c"}));
}

TEST(QuoteCsvField, QuotesOnlyWhatWouldSplitOrJoinRecords)
{
    const struct
    {
        std::string field;
        std::string written;
    } cases[] = {
        {"", ""},
        {"plain name", "plain name"},
        {"  a,b", "  a,b"},
        {"caf\xE9", "caf\xE9"},
        {"a;b", "\"a;b\""},
        {"\"", "\"\"\"\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"cr\r", "\"cr\r\""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(quoteCsvField(c.field), c.written) << c.field;
}

struct LineCase
{
    const char *shows;
    nm row;
    ListOptions options;
    std::string expected;
    platform::LocaleFormats formats = italian();
};

ListOptions bare()
{
    ListOptions options;
    options.markFolders = false;
    return options;
}

template<typename Change>
ListOptions with(ListOptions options, Change change)
{
    change(options);
    return options;
}

platform::LocaleFormats withDateFormat(const char *format)
{
    platform::LocaleFormats formats = italian();
    formats.shortDateFormat = QString::fromLatin1(format);
    return formats;
}

class BuildFileListLine : public ::testing::TestWithParam<LineCase>
{
};

TEST_P(BuildFileListLine, Builds)
{
    const LineCase &c = GetParam();
    const auto lines = build({c.row}, c.options, c.formats);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], c.expected);
}

const auto kDate = at(2026, 12, 7, 14, 5, 9);

INSTANTIATE_TEST_SUITE_P(
    Cases, BuildFileListLine,
    ::testing::Values(
        LineCase{"default marker before a folder, nothing after it", folderRow("Photos"), ListOptions{},
                 "<>Photos"},
        LineCase{"default marker as two blanks before a file", fileRow("a.jpg"), ListOptions{}, "  a"},
        LineCase{"three character marker on a folder", folderRow("Dir"),
                 with(ListOptions{}, [](ListOptions &o) { o.marker = "[D]"; }), "[D]Dir"},
        LineCase{"three character marker pads a file with three blanks", fileRow("f.txt"),
                 with(ListOptions{}, [](ListOptions &o) { o.marker = "[D]"; }), "   f"},
        LineCase{"marker blanks count characters, not bytes", fileRow("f.txt"),
                 with(ListOptions{}, [](ListOptions &o) { o.marker = "\xE2\x86\x92"; }), " f"},
        LineCase{"empty marker puts nothing before a folder", folderRow("Dir"),
                 with(ListOptions{}, [](ListOptions &o) { o.marker.clear(); }), "Dir"},
        LineCase{"empty marker puts nothing before a file", fileRow("f.txt"),
                 with(ListOptions{}, [](ListOptions &o) { o.marker.clear(); }), "f"},
        LineCase{"marker off leaves folders unmarked", folderRow("Dir"), bare(), "Dir"},
        LineCase{"name loses only its last extension", fileRow("report.final.doc"), bare(),
                 "report.final"},
        LineCase{"name without a dot stays whole", fileRow("README"), bare(), "README"},
        LineCase{"folder loses its extension too", folderRow("v1.2"), bare(), "v1"},
        LineCase{"path joins folder and name with one slash", fileRow("a.txt", "/home/u"),
                 with(bare(), [](ListOptions &o) { o.path = true; o.extension = true; }),
                 "/home/u/a.txt"},
        LineCase{"root folder gets no second slash", fileRow("a.txt", "/"),
                 with(bare(), [](ListOptions &o) { o.path = true; o.extension = true; }), "/a.txt"},
        LineCase{".profile with everything off leaves the size without a separator",
                 fileRow(".profile", "/h", 100),
                 with(bare(), [](ListOptions &o) { o.size = true; o.separator = ";"; }),
                 "       0 KB"},
        LineCase{".profile with everything off leaves the date without a separator",
                 fileRow(".profile", "/h", 100, kDate),
                 with(bare(), [](ListOptions &o) { o.date = true; o.separator = ";"; }), "07/12/26"},
        LineCase{"altro with an empty separator runs the fields together",
                 fileRow("a.txt", "/h", 2048, kDate),
                 with(bare(), [](ListOptions &o) { o.size = true; o.date = true; o.separator = ""; }),
                 "a       2 KB07/12/26"},
        LineCase{"altro with two characters puts both between fields",
                 fileRow("a.txt", "/h", 2048, kDate),
                 with(bare(), [](ListOptions &o) { o.size = true; o.date = true; o.separator = "-+"; }),
                 "a-+       2 KB-+07/12/26"},
        LineCase{"tab separator", fileRow("a.txt", "/h", 2048),
                 with(bare(), [](ListOptions &o) { o.size = true; o.separator = "\t"; }),
                 "a\t       2 KB"},
        LineCase{"511 bytes round down to 0 KB", fileRow("a", "/h", 511),
                 with(bare(), [](ListOptions &o) { o.size = true; }), "a        0 KB"},
        LineCase{"512 bytes round up to 1 KB", fileRow("a", "/h", 512),
                 with(bare(), [](ListOptions &o) { o.size = true; }), "a        1 KB"},
        LineCase{"1536000 bytes give 1 MB in five characters", fileRow("a", "/h", 1536000),
                 with(bare(), [](ListOptions &o) { o.size = true; o.sizeUnit = SizeUnit::MB; }),
                 "a     1 MB"},
        LineCase{"a wide size is written whole", fileRow("a", "/h", 5e12),
                 with(bare(), [](ListOptions &o) { o.size = true; }), "a 4.882.812.500 KB"},
        LineCase{"a folder's size is written like a file's", folderRow("d"),
                 with(bare(), [](ListOptions &o) { o.size = true; o.sizeUnit = SizeUnit::MB; }),
                 "d     0 MB"},
        LineCase{"date and time with Ora", fileRow("a", "/h", 0, kDate),
                 with(bare(), [](ListOptions &o) { o.date = true; o.time = true; }),
                 "a 07/12/26 14:05:09"},
        LineCase{"midnight shows no time even with Ora", fileRow("a", "/h", 0, at(2026, 12, 7)),
                 with(bare(), [](ListOptions &o) { o.date = true; o.time = true; }), "a 07/12/26"},
        LineCase{"four-digit year shows its whole date and no time", fileRow("a", "/h", 0, kDate),
                 with(bare(), [](ListOptions &o) { o.date = true; }), "a 07/12/2026",
                 withDateFormat("dd/MM/yyyy")},
        LineCase{"short date form shows no part of the time", fileRow("a", "/h", 0, at(2026, 5, 1, 1, 2, 3)),
                 with(bare(), [](ListOptions &o) { o.date = true; }), "a 1/5/26",
                 withDateFormat("d/M/yy")},
        LineCase{"MAIUSCOLO changes ASCII letters only", fileRow("perch\xC3\xA9.txt"),
                 with(bare(), [](ListOptions &o) { o.extension = true; o.letterCase = LetterCase::Upper; }),
                 "PERCH\xC3\xA9.TXT"},
        LineCase{"minuscolo leaves an accented capital", fileRow("\xC3\x88 QUI.TXT"),
                 with(bare(), [](ListOptions &o) { o.extension = true; o.letterCase = LetterCase::Lower; }),
                 "\xC3\x88 qui.txt"},
        LineCase{"letter case touches folder and name, not marker or separator",
                 fileRow("Ab.Txt", "/Dir", 0, kDate),
                 with(ListOptions{}, [](ListOptions &o) {
                     o.marker = "xY";
                     o.path = true;
                     o.date = true;
                     o.separator = "sEp";
                     o.letterCase = LetterCase::Lower;
                 }),
                 "  /dir/absEp07/12/26"},
        LineCase{"CSV quotes a name holding the separator, marker and path included",
                 fileRow("a;b.txt", "/Foto", 2048), with(ListOptions{}, [](ListOptions &o) {
                     o.path = true;
                     o.size = true;
                     o.separator = ";";
                     o.csvQuoting = true;
                 }),
                 "\"  /Foto/a;b\";       2 KB"},
        LineCase{"CSV doubles the quotes of a name that begins with one",
                 fileRow("\"x\" y.txt"), with(ListOptions{}, [](ListOptions &o) { o.csvQuoting = true; }),
                 "\"  \"\"x\"\" y\""},
        LineCase{"CSV quotes a marker holding a semicolon", folderRow("Dir"),
                 with(ListOptions{}, [](ListOptions &o) {
                     o.marker = ";";
                     o.csvQuoting = true;
                 }),
                 "\";Dir\""},
        LineCase{"CSV leaves commas and leading blanks as they are", fileRow(" a,b.txt", "/h", 2048),
                 with(ListOptions{}, [](ListOptions &o) {
                     o.size = true;
                     o.separator = ";";
                     o.csvQuoting = true;
                 }),
                 "   a,b;       2 KB"},
        LineCase{"a semicolon outside CSV is written as it is", fileRow("a;b.txt"),
                 with(bare(), [](ListOptions &o) { o.separator = ";"; }), "a;b"}),
    [](const ::testing::TestParamInfo<LineCase> &info) {
        std::string name;
        for (const char *p = info.param.shows; *p; ++p)
            name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        return name;
    });

} // namespace
} // namespace nomaro
