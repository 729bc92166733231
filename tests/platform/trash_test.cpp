#include "platform/trash.h"

#include "tests/support/ordinary_user.h"
#include "tests/support/tempdir.h"

#include <QByteArray>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nomaro::platform {
namespace {

using test::TempDir;

std::vector<std::string> entries(const std::string &folder)
{
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto &entry : std::filesystem::directory_iterator(folder, ignored))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void writeAt(const std::string &path, const std::string &content)
{
    std::ofstream(path, std::ios::binary) << content;
}

std::string parentOf(const std::string &path)
{
    return path.substr(0, path.rfind('/'));
}

std::string uid()
{
    return std::to_string(::getuid());
}

// The names a user gives: blanks, "%" (which the info file escapes itself), accented letters,
// and bytes that are not UTF-8 (an old disk's Latin-1 name).
const std::vector<std::string> kOddNames = {
    "lista 100% (bozza).txt",
    "nome con spazi è (copia) 100%.txt",
    "sconto 50%25 + più.pdf",
    std::string("caff\xe8 \xff.txt"),
};

bool validUtf8(const std::string &text)
{
    const QByteArray bytes = QByteArray::fromStdString(text);
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

TEST(TrashInfo, PathsAreEscapedSoEveryByteComesBack)
{
    EXPECT_EQ(trash::escapedPath("/home/u/a b/è%.txt"), "/home/u/a%20b/%C3%A8%25.txt");
    EXPECT_EQ(trash::escapedPath(std::string("caff\xe8\xff+#?=&;", 12)), "caff%E8%FF%2B%23%3F%3D%26%3B");
    EXPECT_EQ(trash::escapedPath("sotto/-_.!~*'()"), "sotto/-_.!~*'()");
    for (const std::string &name : kOddNames) {
        const std::string escaped = trash::escapedPath("/x/" + name);
        EXPECT_EQ(QByteArray::fromPercentEncoding(QByteArray::fromStdString(escaped)).toStdString(), "/x/" + name);
        EXPECT_TRUE(std::all_of(escaped.begin(), escaped.end(), [](char c) { return c > ' ' && c < 127; }))
            << escaped;
    }
}

TEST(TrashInfo, TheDeletionDateIsLocalTime)
{
    const QByteArray oldZone = qgetenv("TZ");
    qputenv("TZ", "CET-1");
    ::tzset();
    EXPECT_EQ(trash::deletionDate(1000000000), "2001-09-09T02:46:40"); // 01:46:40 UTC
    qputenv("TZ", "UTC0");
    ::tzset();
    EXPECT_EQ(trash::deletionDate(1000000000), "2001-09-09T01:46:40");
    if (oldZone.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", oldZone);
    ::tzset();
}

TEST(TrashInfo, TrashNamesNumberTheRepeatsAndFitTheInfoFileName)
{
    EXPECT_EQ(trash::trashName("nome.txt", false, 1), "nome.txt");
    EXPECT_EQ(trash::trashName("nome.txt", false, 3), "nome.3.txt");
    EXPECT_EQ(trash::trashName("cartella.d", true, 2), "cartella.d.2");
    EXPECT_EQ(trash::trashName(".profile", false, 2), ".profile.2");

    // "NAME.trashinfo" must fit in 255 bytes; the cut never splits a letter.
    const std::string longName = std::string(240, 'a') + "èèèèè.jpeg";
    const std::string cut = trash::trashName(longName, false, 12);
    EXPECT_LE(cut.size() + 10, 255u);
    EXPECT_TRUE(cut.ends_with(".12.jpeg")) << cut;
    EXPECT_TRUE(validUtf8(cut)) << cut;
    EXPECT_NE(trash::trashName(longName, false, 1), trash::trashName(longName, false, 2));
}

// A program the tests read the trash back with: trash-cli's commands, gio (through its own
// session bus, which starts the desktop's trash service).
struct ToolRun
{
    bool ran = false;      // ended by itself with status 0
    bool finished = false; // ended by itself, whatever its status
    std::string output;
    std::string errors;
};

ToolRun runTool(const QString &program, const QStringList &arguments, const QByteArray &input = {})
{
    ToolRun run;
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(10000))
        return run;
    process.write(input);
    process.closeWriteChannel();
    run.finished = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    run.ran = run.finished && process.exitCode() == 0;
    run.output = process.readAllStandardOutput().toStdString();
    run.errors = process.readAllStandardError().toStdString();
    return run;
}

ToolRun gio(const QStringList &arguments)
{
    return runTool(QStringLiteral("dbus-run-session"), QStringList{QStringLiteral("--"), QStringLiteral("gio")} + arguments);
}

bool haveTools()
{
    for (const char *tool : {"trash-list", "trash-restore", "gio", "dbus-run-session"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return false;
    }
    return true;
}

// How each tool shows a path it read from the trash: trash-cli replaces bytes that are not
// UTF-8, gio writes every byte outside ASCII as \xNN.
std::string asTrashListShows(const std::string &path)
{
    return QString::fromUtf8(QByteArray::fromStdString(path)).toStdString();
}

std::string asGioShows(const std::string &path)
{
    static const char kHex[] = "0123456789abcdef";
    std::string shown;
    for (const char byte : path) {
        const auto c = static_cast<unsigned char>(byte);
        if (c < 0x80) {
            shown += byte;
        } else {
            shown += "\\x";
            shown += kHex[c >> 4];
            shown += kHex[c & 15];
        }
    }
    return shown;
}

// The gio line of a trashed item: "trash:///...<TAB>original path".
std::string gioUriOf(const std::string &listing, const std::string &original)
{
    const std::string tail = "\t" + asGioShows(original) + "\n";
    const size_t at = listing.find(tail);
    if (at == std::string::npos)
        return {};
    const size_t start = listing.rfind('\n', at);
    return listing.substr(start == std::string::npos ? 0 : start + 1, at - (start == std::string::npos ? 0 : start + 1));
}

class TrashTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_oldHome = qgetenv("HOME");
        m_oldDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("HOME", QByteArray::fromStdString(m_home.path()));
        // Not there yet: the trash makes it.
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(m_home.pathOf("dati")));
    }
    void TearDown() override
    {
        qputenv("HOME", m_oldHome);
        qputenv("XDG_DATA_HOME", m_oldDataHome);
    }

    std::string homeTrash() const { return m_home.pathOf("dati/Trash"); }

    // Trashes each odd name from a folder of its own under `base` into `trashFolder`, where
    // its entry records the path from `recordedFrom` ("" for an absolute path), and checks what
    // other programs read of them. gio's trash service ignores tmpfs mounts.
    void trashAndReadBack(const std::string &base, const std::string &trashFolder,
                          const std::string &recordedFrom, bool gioWatches = true)
    {
        std::vector<std::string> originals;
        for (size_t i = 0; i < kOddNames.size(); ++i) {
            const std::string folder = base + "/f" + std::to_string(i);
            std::filesystem::create_directory(folder);
            originals.push_back(folder + "/" + kOddNames[i]);
            writeAt(originals.back(), "contenuto " + std::to_string(i));
        }
        for (const TrashResult &result : moveItemsToTrash(originals))
            ASSERT_TRUE(result.trashed) << result.message;
        for (const std::string &original : originals)
            EXPECT_FALSE(test::exists(original));
        EXPECT_EQ(entries(trashFolder + "/files").size(), kOddNames.size());
        EXPECT_EQ(entries(trashFolder + "/info").size(), kOddNames.size());
        for (size_t i = 0; i < kOddNames.size(); ++i) {
            const std::string recorded = recordedFrom.empty() ? originals[i] : originals[i].substr(recordedFrom.size() + 1);
            EXPECT_EQ(test::readFile(trashFolder + "/files/" + kOddNames[i]), "contenuto " + std::to_string(i));
            const std::string info = test::readFile(trashFolder + "/info/" + kOddNames[i] + ".trashinfo");
            EXPECT_TRUE(info.starts_with("[Trash Info]\nPath=" + trash::escapedPath(recorded) + "\nDeletionDate="))
                << info;
        }

        if (!haveTools()) {
            m_unchecked = "trash-cli or gio missing: scripts/install-deps installs them";
            return;
        }
        const ToolRun trashList = runTool(QStringLiteral("trash-list"), {});
        const ToolRun gioList = gio({QStringLiteral("trash"), QStringLiteral("--list")});
        ASSERT_TRUE(trashList.finished) << trashList.errors;
        ASSERT_TRUE(gioList.ran) << gioList.errors;
        const auto listed = [&](const std::string &original) {
            return trashList.output.find(" " + asTrashListShows(original) + "\n") != std::string::npos;
        };
        // trash-cli reads the trash of every mount in turn and gives up at one it cannot read
        // (another program's broken network mount); then only gio is asked.
        const bool trashCli = trashList.ran || std::all_of(originals.begin(), originals.end(), listed);
        if (!trashCli)
            m_unchecked = "trash-cli stopped at another program's mount:\n" + trashList.errors;
        for (const std::string &original : originals) {
            if (trashCli) {
                EXPECT_TRUE(listed(original)) << original << " in\n" << trashList.output;
            }
            if (gioWatches) {
                EXPECT_FALSE(gioUriOf(gioList.output, original).empty()) << original << " in\n" << gioList.output;
            }
        }

        // trash-cli restores a name from its text, so only UTF-8 names come back whole; gio
        // (2.74) restores to the path as it shows it, so only ASCII names come back whole.
        for (size_t i = 0; i < originals.size(); ++i) {
            const std::string &original = originals[i];
            const bool byGio = gioWatches && asGioShows(original) == original;
            if (!validUtf8(original) || (!byGio && !trashCli))
                continue;
            SCOPED_TRACE(original);
            const ToolRun restore = byGio ? gio({QStringLiteral("trash"), QStringLiteral("--restore"),
                                                 QString::fromStdString(gioUriOf(gioList.output, original))})
                                          : runTool(QStringLiteral("trash-restore"),
                                                    {QString::fromStdString(parentOf(original))}, "0\n");
            EXPECT_TRUE(restore.ran) << restore.output << restore.errors;
            EXPECT_EQ(test::readFile(original), "contenuto " + std::to_string(i));
        }
    }

    // Says which tool could not be asked, after every other check of the test has run.
    void skipUnchecked()
    {
        if (!m_unchecked.empty())
            GTEST_SKIP() << m_unchecked;
    }

    std::string m_unchecked;
    TempDir m_home;
    TempDir m_files;
    QByteArray m_oldHome;
    QByteArray m_oldDataHome;
};

TEST_F(TrashTest, OddNamesOnTheHomeFileSystemAreReadAndRestoredByOtherPrograms)
{
    trashAndReadBack(m_files.path(), homeTrash(), "");
    skipUnchecked();
}

TEST_F(TrashTest, TheSameNameTwiceGetsTwoEntriesAndNothingIsReplaced)
{
    const std::string file = m_files.pathOf("doppio.txt");
    writeAt(file, "primo");
    ASSERT_TRUE(moveItemsToTrash({file})[0].trashed);
    writeAt(file, "secondo");
    // A stray item without its info file holds the next name too.
    writeAt(homeTrash() + "/files/doppio.2.txt", "estraneo");
    const TrashResult second = moveItemsToTrash({file})[0];
    ASSERT_TRUE(second.trashed) << second.message;
    EXPECT_EQ(test::readFile(homeTrash() + "/files/doppio.txt"), "primo");
    EXPECT_EQ(test::readFile(homeTrash() + "/files/doppio.2.txt"), "estraneo");
    EXPECT_EQ(test::readFile(homeTrash() + "/files/doppio.3.txt"), "secondo");
    EXPECT_EQ(entries(homeTrash() + "/info"), (std::vector<std::string>{"doppio.3.txt.trashinfo", "doppio.txt.trashinfo"}));
}

TEST_F(TrashTest, AFolderGoesWholeAndAVanishedItemIsReportedInItalian)
{
    const std::string folder = m_files.makeFolder("cartella/");
    m_files.writeFile("cartella/dentro.txt", "x");
    const std::vector<TrashResult> results = moveItemsToTrash({folder, m_files.pathOf("sparito.txt")});
    EXPECT_TRUE(results[0].trashed) << results[0].message;
    EXPECT_EQ(test::readFile(homeTrash() + "/files/cartella/dentro.txt"), "x");
    EXPECT_FALSE(results[1].trashed);
    EXPECT_TRUE(results[1].message.starts_with("Impossibile spostare \"sparito.txt\" nel cestino: "))
        << results[1].message;
    EXPECT_EQ(entries(homeTrash() + "/info"), (std::vector<std::string>{"cartella.trashinfo"}));
}

// Run as an ordinary user: an item its folder does not let go of stays, with no entry for it.
TEST_F(TrashTest, ARefusedMoveLeavesNoInfoFileBehind)
{
    if (!test::checksRunAsOrdinaryUser())
        return;
    const std::string file = m_files.writeFile("bloccato.txt", "resta");
    ::chmod(m_files.path().c_str(), 0555);
    const TrashResult result = moveItemsToTrash({file})[0];
    ::chmod(m_files.path().c_str(), 0700);
    EXPECT_FALSE(result.trashed);
    EXPECT_TRUE(result.message.starts_with("Impossibile spostare \"bloccato.txt\" nel cestino: ")) << result.message;
    EXPECT_EQ(test::readFile(file), "resta");
    EXPECT_TRUE(entries(homeTrash() + "/info").empty());
}

// A file system of its own mounted on a temporary folder, for as long as the test runs.
class ScratchMount
{
public:
    // tmpfs, or an ext4 image on a loop device, which the desktop's trash service also watches.
    enum class Kind { Tmpfs, Ext4 };

    explicit ScratchMount(Kind kind)
    {
        ::chmod(m_dir.path().c_str(), 0755);
        m_point = m_dir.makeFolder("punto");
        if (kind == Kind::Tmpfs) {
            m_mounted = ::mount("nomaro-test", m_point.c_str(), "tmpfs", 0, "size=16m,mode=0755") == 0;
            return;
        }
        const QString image = QString::fromStdString(m_dir.pathOf("disco.img"));
        const auto ran = [](const QString &program, const QStringList &arguments) {
            QProcess process;
            process.start(program, arguments);
            return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit
                && process.exitCode() == 0;
        };
        m_mounted = ran(QStringLiteral("truncate"), {QStringLiteral("-s"), QStringLiteral("16M"), image})
            && ran(QStringLiteral("mkfs.ext4"), {QStringLiteral("-q"), QStringLiteral("-F"), image})
            && ran(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("loop"), image,
                                              QString::fromStdString(m_point)});
    }
    ~ScratchMount()
    {
        if (m_mounted)
            ::umount2(m_point.c_str(), MNT_DETACH);
    }

    bool mounted() const { return m_mounted; }
    const std::string &point() const { return m_point; }

private:
    TempDir m_dir;
    std::string m_point;
    bool m_mounted = false;
};

TEST_F(TrashTest, OnAnotherMountTheItemsStayOnItsOwnTrash)
{
    for (const ScratchMount::Kind kind : {ScratchMount::Kind::Tmpfs, ScratchMount::Kind::Ext4}) {
        SCOPED_TRACE(kind == ScratchMount::Kind::Tmpfs ? "tmpfs" : "ext4 image");
        ScratchMount mount(kind);
        if (!mount.mounted())
            GTEST_SKIP() << "this test may not mount a file system here (it needs root)";
        const std::string trash = mount.point() + "/.Trash-" + uid();
        trashAndReadBack(mount.point(), trash, mount.point(), kind == ScratchMount::Kind::Ext4);
        if (HasFatalFailure())
            return;
        EXPECT_FALSE(test::exists(homeTrash())) << "nothing crossed to the home's file system";
        // The entry is recorded from the top folder, so it holds wherever the disk is mounted.
        writeAt(mount.point() + "/relativo.txt", "r");
        ASSERT_TRUE(moveItemsToTrash({mount.point() + "/relativo.txt"})[0].trashed);
        EXPECT_TRUE(test::readFile(trash + "/info/relativo.txt.trashinfo").starts_with("[Trash Info]\nPath=relativo.txt\n"));
    }
    skipUnchecked();
}

TEST_F(TrashTest, TheSharedTrashOfAMountIsUsedOnlyWhenItIsARealStickyFolder)
{
    struct Case
    {
        const char *what;
        bool sticky;
        bool link;
        const char *landsIn; // relative to the mount's top folder, "UID" for the user's number
    };
    const Case cases[] = {
        {"a sticky .Trash holds the user's trash", true, false, ".Trash/UID"},
        {"a .Trash without the sticky bit is left alone", false, false, ".Trash-UID"},
        {"a link named .Trash is never followed", true, true, ".Trash-UID"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ScratchMount mount(ScratchMount::Kind::Tmpfs);
        if (!mount.mounted())
            GTEST_SKIP() << "this test may not mount a file system here (it needs root)";
        const std::string shared = mount.point() + (c.link ? "/altrove" : "/.Trash");
        std::filesystem::create_directory(shared);
        ::chmod(shared.c_str(), c.sticky ? 01777 : 0777);
        if (c.link)
            std::filesystem::create_directory_symlink("altrove", mount.point() + "/.Trash");
        const std::string file = mount.point() + "/via.txt";
        writeAt(file, "v");
        ASSERT_TRUE(moveItemsToTrash({file})[0].trashed);
        std::string landsIn = c.landsIn;
        landsIn.replace(landsIn.find("UID"), 3, uid());
        EXPECT_EQ(test::readFile(mount.point() + "/" + landsIn + "/files/via.txt"), "v");
    }
}

TEST_F(TrashTest, WhereNoTrashCanBeMadeNothingIsDeleted)
{
    ScratchMount mount(ScratchMount::Kind::Tmpfs);
    if (!mount.mounted())
        GTEST_SKIP() << "this test may not mount a file system here (it needs root)";
    const std::string file = mount.point() + "/prezioso.txt";
    writeAt(file, "resta");
    ASSERT_EQ(::mount(nullptr, mount.point().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    const TrashResult result = moveItemsToTrash({file})[0];
    EXPECT_FALSE(result.trashed);
    EXPECT_TRUE(result.message.starts_with("Impossibile spostare \"prezioso.txt\" nel cestino: sul disco che lo"
                                           " contiene non si può creare un cestino"))
        << result.message;
    EXPECT_EQ(test::readFile(file), "resta");
    EXPECT_FALSE(test::exists(homeTrash())) << "never a copy to the home's trash";
}

} // namespace
} // namespace nomaro::platform
