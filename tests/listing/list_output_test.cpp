#include "listing/list_output.h"
#include "platform/save_file.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTextDocument>
#include <gtest/gtest.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/listing/file_size_limit.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/tempdir.h"

namespace nomaro {
namespace {

using Lines = std::vector<std::string>;
using platform::SaveResult;
using platform::saveFileReplacing;

TEST(PlainTextDocument, EndsEveryLineWithCrLfAndAddsNothingElse)
{
    EXPECT_EQ(plainTextDocument({}), "");
    EXPECT_EQ(plainTextDocument({""}), "\r\n");
    EXPECT_EQ(plainTextDocument({"a;1 KB", "b;2 KB"}), "a;1 KB\r\nb;2 KB\r\n");
    EXPECT_EQ(plainTextDocument({"perch\xC3\xA9\t\xFF"}), "perch\xC3\xA9\t\xFF\r\n");
}

TEST(SplitLines, ReadsTheFieldTextAsItShowsIt)
{
    EXPECT_EQ(splitLines(""), Lines{});
    EXPECT_EQ(splitLines("a"), Lines{"a"});
    EXPECT_EQ(splitLines("a\n\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(splitLines("a\n"), (Lines{"a", ""}));
    EXPECT_EQ(joinLines({"a", "", "b"}), "a\n\nb");
    EXPECT_EQ(splitLines(joinLines({"  x", "y"})), (Lines{"  x", "y"}));
}

TEST(RtfDocument, EscapesWhatWouldBreakTheDocument)
{
    const std::string rtf = rtfDocument({"  a{b}c\\d", "perch\xC3\xA9", "\xF0\x9F\x98\x80", "bad\xFFz",
                                         "x\ty"});
    EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    EXPECT_NE(rtf.find("Courier New;"), std::string::npos);
    EXPECT_NE(rtf.find("\\fs20   a\\{b\\}c\\\\d\\par"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("perch\\u233\\'3f\\par"), std::string::npos);
    EXPECT_NE(rtf.find("\\u-10179\\'3f\\u-8704\\'3f\\par"), std::string::npos) << "surrogate pair";
    EXPECT_NE(rtf.find("bad\\u-3\\'3fz\\par"), std::string::npos) << "byte that is not UTF-8";
    EXPECT_NE(rtf.find("x\\tab y\\par"), std::string::npos);
    for (const char c : rtf)
        EXPECT_LT(static_cast<unsigned char>(c), 0x80) << "RTF is 7-bit";
}

TEST(RtfDocument, EmptyListingHasNoParagraph)
{
    const std::string rtf = rtfDocument({});
    EXPECT_EQ(rtf.find("\\par\r\n"), std::string::npos);
    EXPECT_EQ(rtf.front(), '{');
    EXPECT_EQ(rtf.substr(rtf.size() - 3), "}\r\n");
}

TEST(PaperSize, MillimetresOfTheLocaleBecomeTwips)
{
    EXPECT_EQ(paperFromMillimetres(210, 297), (PaperSize{11906, 16838}));
    EXPECT_EQ(paperFromMillimetres(216, 279), (PaperSize{12240, 15840})) << "Letter, 8.5 x 11 inches";
    EXPECT_EQ(paperFromMillimetres(216, 356), (PaperSize{12240, 20160})) << "Legal, 8.5 x 14 inches";
    EXPECT_EQ(paperFromMillimetres(148, 210), (PaperSize{8391, 11906})) << "A5";
    EXPECT_EQ(A4Paper, (PaperSize{11906, 16838}));
    EXPECT_EQ(LetterPaper, (PaperSize{12240, 15840}));
}

// Compiles real locales from their sources, once, into a private folder that the C library is
// pointed at, so that the test does not depend on which locales the machine has generated.
class LocalePaper : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_locales = new test::TempDir;
        const QString dir = QString::fromStdString(s_locales->path());
        for (const char *name : {"en_US", "it_IT"}) {
            const QString locale = QString::fromLatin1(name);
            s_compiled = QProcess::execute(QStringLiteral("localedef"),
                                           {QStringLiteral("--no-archive"), QStringLiteral("-i"), locale,
                                            QStringLiteral("-f"), QStringLiteral("UTF-8"),
                                            dir + u'/' + locale + QStringLiteral(".UTF-8")})
                    == 0
                && s_compiled;
        }
    }
    static void TearDownTestSuite()
    {
        delete s_locales;
        s_locales = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_compiled) << "localedef and the locales package must be installed";
        for (const char *name : {"LOCPATH", "LC_ALL", "LC_PAPER", "LANG"}) {
            const char *value = std::getenv(name);
            m_saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        ::setenv("LOCPATH", s_locales->path().c_str(), 1);
    }
    void TearDown() override
    {
        for (const auto &[name, value] : m_saved) {
            if (value.has_value())
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }

private:
    static inline test::TempDir *s_locales = nullptr;
    static inline bool s_compiled = true;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

TEST_F(LocalePaper, ItalyGivesA4AndTheUnitedStatesLetter)
{
    EXPECT_EQ(paperOfLocale("it_IT.UTF-8"), A4Paper);
    EXPECT_EQ(paperOfLocale("en_US.UTF-8"), LetterPaper);
    EXPECT_EQ(paperOfLocale("C.UTF-8"), A4Paper);
    EXPECT_EQ(paperOfLocale("xx_NOWHERE.UTF-8"), A4Paper) << "a locale that cannot be loaded";
}

TEST_F(LocalePaper, SavedDocumentTakesThePaperOfTheUsersLocale)
{
    ::unsetenv("LC_ALL");
    ::setenv("LANG", "it_IT.UTF-8", 1);
    ::setenv("LC_PAPER", "en_US.UTF-8", 1);
    const std::string letter = rtfDocument({"a"});
    EXPECT_NE(letter.find("\\paperw12240\\paperh15840"), std::string::npos) << letter;
    EXPECT_LT(letter.find("\\paperw"), letter.find("\\pard")) << "the paper belongs to the document, not a paragraph";
    EXPECT_EQ(letter.find("\\marg"), std::string::npos) << "margins stay the reader's own";

    ::setenv("LC_ALL", "it_IT.UTF-8", 1);
    EXPECT_NE(rtfDocument({"a"}).find("\\paperw11906\\paperh16838"), std::string::npos) << "LC_ALL wins";
}

// The reader drops leading blanks and collapses runs of them, so the lines are compared that way;
// the blanks themselves are checked in the document's bytes above.
QString collapsed(const QString &text)
{
    QString out = text.trimmed();
    out.replace(QRegularExpression(QStringLiteral(" +")), QStringLiteral(" "));
    return out;
}

TEST(RtfDocument, ReadBackByAnIndependentReader)
{
    test::TempDir dir;
    const Lines lines{"<>Foto", "  a{b}c\\d.txt", "  perch\xC3\xA9.txt", "  citt\xC3\xA0 \xE2\x86\x92 mare",
                      "", "ultima"};
    const std::string path = dir.pathOf("lista.RTF");
    ASSERT_TRUE(saveFileReplacing(path, rtfDocument(lines)).saved);

    QProcess reader;
    reader.start(QStringLiteral("unrtf"), {QStringLiteral("--html"), QString::fromStdString(path)});
    ASSERT_TRUE(reader.waitForFinished(30000)) << "unrtf must be installed";
    ASSERT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
    QTextDocument html;
    html.setHtml(QString::fromUtf8(reader.readAllStandardOutput()));
    QStringList readBack = html.toPlainText().split(u'\n');
    while (!readBack.isEmpty() && readBack.last().trimmed().isEmpty())
        readBack.removeLast();

    QStringList expected;
    for (const std::string &line : lines)
        expected << collapsed(QString::fromStdString(line));
    for (QString &line : readBack)
        line = collapsed(line);
    EXPECT_EQ(readBack, expected);
}

TEST(SaveFileReplacing, WritesExactlyTheBytes)
{
    test::TempDir dir;
    const std::string path = dir.pathOf("lista.TXT");
    const SaveResult result = saveFileReplacing(path, "a\r\nb\r\n");
    EXPECT_TRUE(result.saved);
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(test::readFile(path), "a\r\nb\r\n");
}

TEST(SaveFileReplacing, EmptyListingGivesAZeroByteFile)
{
    test::TempDir dir;
    const std::string path = dir.pathOf("vuota.CSV");
    ASSERT_TRUE(saveFileReplacing(path, plainTextDocument({})).saved);
    ASSERT_TRUE(test::exists(path));
    EXPECT_EQ(test::readFile(path), "");
}

QStringList entriesOf(const test::TempDir &dir)
{
    return QDir(QString::fromStdString(dir.path()))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

TEST(SaveFileReplacing, ReplacesAnExistingFileAndLeavesNoTemporaryBehind)
{
    test::TempDir dir;
    const std::string path = dir.writeFile("lista.TXT", "an older and much longer content\r\n");
    ASSERT_TRUE(saveFileReplacing(path, "new\r\n").saved);
    EXPECT_EQ(test::readFile(path), "new\r\n");
    EXPECT_EQ(entriesOf(dir), QStringList{QStringLiteral("lista.TXT")});
}

TEST(SaveFileReplacing, MissingFolderIsReportedWithTheSystemText)
{
    test::TempDir dir;
    const SaveResult result = saveFileReplacing(dir.pathOf("nessuna/lista.TXT"), "x");
    EXPECT_FALSE(result.saved);
    EXPECT_EQ(result.error, std::strerror(ENOENT));
    EXPECT_TRUE(entriesOf(dir).isEmpty());
}

TEST(SaveFileReplacing, FolderAsTargetIsRefusedAndLeftAlone)
{
    test::TempDir dir;
    const std::string folder = dir.makeFolder("lista.TXT");
    dir.writeFile("lista.TXT/inside", "kept");
    const SaveResult result = saveFileReplacing(folder, "x");
    EXPECT_FALSE(result.saved);
    EXPECT_FALSE(result.error.empty());
    EXPECT_EQ(test::readFile(folder + "/inside"), "kept");
}

TEST(SaveFileReplacing, FailedWriteLeavesTheOldFileByteForByte)
{
    test::TempDir dir;
    const std::string old = "old listing\r\n";
    const std::string path = dir.writeFile("lista.CSV", old);
    SaveResult result;
    {
        test::FileSizeLimit limit(1024);
        result = saveFileReplacing(path, std::string(100000, 'x'));
    }
    EXPECT_FALSE(result.saved);
    EXPECT_EQ(result.error, std::strerror(EFBIG));
    EXPECT_EQ(test::readFile(path), old);
    EXPECT_EQ(entriesOf(dir), QStringList{QStringLiteral("lista.CSV")});
}

TEST(SaveFileReplacing, KeepsTheOldFilesPermissions)
{
    test::TempDir dir;
    const std::string path = dir.writeFile("lista.TXT", "old");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(saveFileReplacing(path, "new").saved);
    struct stat info{};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(SaveFileReplacing, NewFileFollowsTheUmask)
{
    test::TempDir dir;
    const mode_t old = ::umask(027);
    const SaveResult result = saveFileReplacing(dir.pathOf("lista.TXT"), "x");
    ::umask(old);
    ASSERT_TRUE(result.saved);
    struct stat info{};
    ASSERT_EQ(::stat(dir.pathOf("lista.TXT").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(SaveFileReplacing, SymbolicLinkIsFollowedToItsFile)
{
    test::TempDir dir;
    const std::string real = dir.writeFile("vera.TXT", "old");
    const std::string link = dir.pathOf("collegamento.TXT");
    ASSERT_EQ(::symlink("vera.TXT", link.c_str()), 0);
    ASSERT_TRUE(saveFileReplacing(link, "new").saved);
    EXPECT_EQ(test::readFile(real), "new");
    struct stat info{};
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
}

TEST(SaveFileReplacing, LongestNameStillFindsRoomForItsTemporary)
{
    test::TempDir dir;
    const std::string path = dir.pathOf(std::string(251, 'n') + ".TXT");
    ASSERT_TRUE(saveFileReplacing(path, "x").saved);
    EXPECT_EQ(test::readFile(path), "x");
    EXPECT_EQ(entriesOf(dir).size(), 1);
}

TEST(SaveFileReplacing, ReadOnlyTargetIsRefused)
{
    if (!test::checksRunAsOrdinaryUser())
        return;
    test::TempDir dir;
    const std::string path = dir.writeFile("lista.TXT", "kept");
    QFile::setPermissions(QString::fromStdString(path), QFile::ReadOwner);
    const SaveResult result = saveFileReplacing(path, "x");
    EXPECT_FALSE(result.saved);
    EXPECT_FALSE(result.error.empty());
    EXPECT_EQ(test::readFile(path), "kept");
}

} // namespace
} // namespace nomaro
