#include "platform/file_verbs.h"

#include "tests/support/tempdir.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace nomaro::platform {
namespace {

using test::TempDir;

std::vector<std::string> entries(const std::string &folder)
{
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct MimeCase
{
    const char *what;
    std::vector<std::string> paths;
    bool cut;
};

TEST(FileVerbsMime, ItemsAndCutSurviveTheRoundTrip)
{
    const std::vector<MimeCase> cases = {
        {"copy of two files", {"/tmp/a b.txt", "/tmp/è#%?.txt"}, false},
        {"cut of a folder", {"/home/u/cartella"}, true},
        {"name that is not UTF-8", {std::string("/tmp/caff\xe8\xff.txt")}, false},
    };
    for (const MimeCase &c : cases) {
        SCOPED_TRACE(c.what);
        const std::unique_ptr<QMimeData> data = mimeDataForItems(c.paths, c.cut);
        EXPECT_TRUE(data->hasFormat(QStringLiteral("text/uri-list")));
        EXPECT_TRUE(data->hasText());
        const ClipboardItems items = itemsFromMimeData(*data);
        EXPECT_EQ(items.paths, c.paths);
        EXPECT_EQ(items.cut, c.cut);
    }
}

TEST(FileVerbsMime, WhatFileManagersWriteIsRead)
{
    QMimeData gnome;
    gnome.setData(QStringLiteral("x-special/gnome-copied-files"),
                  "cut\nfile:///tmp/a%20b\nhttp://host/x\nfile://localhost/tmp/c\n");
    const ClipboardItems cut = itemsFromMimeData(gnome);
    EXPECT_TRUE(cut.cut);
    EXPECT_EQ(cut.paths, (std::vector<std::string>{"/tmp/a b", "/tmp/c"}));

    QMimeData uris;
    uris.setData(QStringLiteral("text/uri-list"), "# comment\r\nfile:///tmp/x\r\nfile://other/y\r\n");
    const ClipboardItems copy = itemsFromMimeData(uris);
    EXPECT_FALSE(copy.cut);
    EXPECT_EQ(copy.paths, (std::vector<std::string>{"/tmp/x"}));

    // A gnome entry without its verb says nothing: the URI list stands.
    uris.setData(QStringLiteral("x-special/gnome-copied-files"), "file:///tmp/z");
    EXPECT_EQ(itemsFromMimeData(uris).paths, (std::vector<std::string>{"/tmp/x"}));
}

TEST(FileVerbsMime, TheDragCarriesTheItemsForFileManagersWithoutAVerb)
{
    const std::vector<std::string> paths = {"/tmp/a b.txt", "/tmp/cartella", std::string("/tmp/caff\xe8.txt")};
    const std::unique_ptr<QMimeData> data = dragDataForItems(paths);
    EXPECT_EQ(itemsFromMimeData(*data).paths, paths);
    EXPECT_FALSE(itemsFromMimeData(*data).cut);
    // The drop's action decides between copy and move, so no copy-or-cut line goes along.
    EXPECT_FALSE(data->hasFormat(QStringLiteral("x-special/gnome-copied-files")));
    // What other programs read of a drop: the URLs as Qt and file managers parse them.
    ASSERT_EQ(data->urls().size(), 3);
    EXPECT_EQ(data->urls()[0].toLocalFile(), QStringLiteral("/tmp/a b.txt"));
    EXPECT_EQ(data->urls()[0].toString(QUrl::FullyEncoded), QStringLiteral("file:///tmp/a%20b.txt"));
    EXPECT_TRUE(data->text().startsWith(QStringLiteral("/tmp/a b.txt\n/tmp/cartella\n")));
}

TEST(FileVerbsNetwork, AFolderIsOnANetworkDriveByItsDeepestMount)
{
    const std::vector<Drive> drives = {
        {"/", "ext4", "/dev/sda1", DriveType::Fixed},
        {"/mnt/share", "cifs", "//server/share", DriveType::Network},
        {"/mnt/share/local", "ext4", "/dev/sdb1", DriveType::Fixed},
        {"/home/ada/nfs", "nfs4", "server:/home", DriveType::Network},
    };
    struct Case
    {
        const char *folder;
        bool network;
    };
    const Case cases[] = {
        {"/mnt/share", true},
        {"/mnt/share/docs/2024", true},
        {"/mnt/shared", false},
        {"/mnt/share/local/x", false},
        {"/home/ada/nfs/progetti", true},
        {"/home/ada", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(onNetworkDrive(drives, c.folder), c.network) << c.folder;
    EXPECT_FALSE(onNetworkDrive({}, "/mnt/share")) << "an unreadable mount table says nothing";
}

TEST(FileVerbsPaste, CopyNamesKeepTheExtension)
{
    EXPECT_EQ(copyName("nome.txt", false, 1), "nome (copia).txt");
    EXPECT_EQ(copyName("nome.txt", false, 2), "nome (copia 2).txt");
    EXPECT_EQ(copyName("nome", false, 1), "nome (copia)");
    EXPECT_EQ(copyName(".profile", false, 3), ".profile (copia 3)");
    EXPECT_EQ(copyName("cartella.d", true, 1), "cartella.d (copia)");
}

TEST(FileVerbsPaste, AClashNeverReplacesAndMakesTheNextCopyName)
{
    TempDir source;
    TempDir target;
    const std::string file = source.writeFile("nome.txt", "nuovo");
    target.writeFile("nome.txt", "vecchio");
    target.writeFile("nome (copia).txt", "vecchio 1");

    const std::vector<PasteResult> results = pasteItems({file}, target.path(), false);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].outcome, PasteOutcome::Copied);
    EXPECT_EQ(results[0].target, target.pathOf("nome (copia 2).txt"));
    EXPECT_EQ(test::readFile(target.pathOf("nome.txt")), "vecchio");
    EXPECT_EQ(test::readFile(target.pathOf("nome (copia).txt")), "vecchio 1");
    EXPECT_EQ(test::readFile(target.pathOf("nome (copia 2).txt")), "nuovo");
    EXPECT_EQ(test::readFile(file), "nuovo");
}

TEST(FileVerbsPaste, IntoItsOwnFolderCopyMakesACopyAndMoveDoesNothing)
{
    TempDir folder;
    const std::string file = folder.writeFile("a.txt", "x");
    EXPECT_EQ(pasteItems({file}, folder.path(), false)[0].target, folder.pathOf("a (copia).txt"));
    const PasteResult moved = pasteItems({file}, folder.path(), true)[0];
    EXPECT_EQ(moved.outcome, PasteOutcome::Unchanged);
    EXPECT_EQ(entries(folder.path()), (std::vector<std::string>{"a (copia).txt", "a.txt"}));
}

TEST(FileVerbsPaste, AFolderTreeIsCopiedWithLinksModesAndTimes)
{
    TempDir source;
    TempDir target;
    source.makeFolder("albero");
    source.makeFolder("albero/sotto");
    const std::string script = source.writeFile("albero/sotto/run.sh", "#!/bin/sh\n");
    ::chmod(script.c_str(), 0751);
    const timespec times[2] = {{1000000000, 0}, {1200000000, 0}};
    ::utimensat(AT_FDCWD, script.c_str(), times, 0);
    ASSERT_EQ(::symlink("sotto/run.sh", source.pathOf("albero/link").c_str()), 0);
    ::chmod(source.pathOf("albero/sotto").c_str(), 0555); // read-only folders still copy whole
    ::utimensat(AT_FDCWD, source.pathOf("albero").c_str(), times, 0);

    const PasteResult result = pasteItems({source.pathOf("albero")}, target.path(), false)[0];
    ASSERT_EQ(result.outcome, PasteOutcome::Copied) << result.message;
    EXPECT_EQ(test::readFile(target.pathOf("albero/sotto/run.sh")), "#!/bin/sh\n");
    struct stat info;
    ASSERT_EQ(::stat(target.pathOf("albero/sotto/run.sh").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0751u);
    EXPECT_EQ(info.st_mtim.tv_sec, 1200000000);
    ASSERT_EQ(::stat(target.pathOf("albero/sotto").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0555u);
    ASSERT_EQ(::stat(target.pathOf("albero").c_str(), &info), 0);
    EXPECT_EQ(info.st_mtim.tv_sec, 1200000000);
    EXPECT_EQ(std::filesystem::read_symlink(target.pathOf("albero/link")), "sotto/run.sh");
    EXPECT_TRUE(test::exists(source.pathOf("albero/sotto/run.sh")));
}

TEST(FileVerbsPaste, MoveOnOneFileSystemRenamesAroundAClash)
{
    TempDir source;
    TempDir target;
    const std::string file = source.writeFile("nome.txt", "spostato");
    const std::string folder = source.makeFolder("cartella");
    target.makeFolder("cartella");

    const std::vector<PasteResult> results = pasteItems({file, folder + "/"}, target.path(), true);
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].outcome, PasteOutcome::Moved);
    EXPECT_EQ(results[0].target, target.pathOf("nome.txt"));
    EXPECT_EQ(results[1].outcome, PasteOutcome::Moved);
    EXPECT_EQ(results[1].target, target.pathOf("cartella (copia)"));
    EXPECT_TRUE(entries(source.path()).empty());
    EXPECT_EQ(test::readFile(target.pathOf("nome.txt")), "spostato");
}

TEST(FileVerbsPaste, MoveAcrossFileSystemsCopiesThenRemovesTheSource)
{
    TempDir target;
    std::string pattern = "/dev/shm/nomaro-test-XXXXXX";
    struct stat shm;
    struct stat tmp;
    if (::stat("/dev/shm", &shm) != 0 || ::stat(target.path().c_str(), &tmp) != 0
        || shm.st_dev == tmp.st_dev || !::mkdtemp(pattern.data()))
        GTEST_SKIP() << "no second file system at /dev/shm";
    const std::string source = pattern;
    std::filesystem::create_directories(source + "/albero/sotto");
    std::filesystem::create_symlink("sotto", source + "/albero/link");
    {
        std::ofstream(source + "/albero/sotto/a.txt") << "a";
    }
    target.makeFolder("albero");

    const PasteResult result = pasteItems({source + "/albero"}, target.path(), true)[0];
    EXPECT_EQ(result.outcome, PasteOutcome::Moved) << result.message;
    EXPECT_EQ(result.target, target.pathOf("albero (copia)"));
    EXPECT_EQ(test::readFile(target.pathOf("albero (copia)/sotto/a.txt")), "a");
    EXPECT_EQ(std::filesystem::read_symlink(target.pathOf("albero (copia)/link")), "sotto");
    EXPECT_TRUE(entries(source).empty());
    std::filesystem::remove_all(source);
}

TEST(FileVerbsPaste, AFolderIntoItselfOrItsSubfolderIsRefused)
{
    TempDir root;
    const std::string folder = root.makeFolder("cartella");
    const std::string inner = root.makeFolder("cartella/dentro");
    for (const std::string &target : {folder, inner}) {
        for (const bool cut : {false, true}) {
            SCOPED_TRACE(target + (cut ? " cut" : " copy"));
            const PasteResult result = pasteItems({folder}, target, cut)[0];
            EXPECT_EQ(result.outcome, PasteOutcome::Failed);
            EXPECT_TRUE(result.message.starts_with(cut ? "Impossibile spostare \"cartella\""
                                                       : "Impossibile copiare \"cartella\""))
                << result.message;
            EXPECT_EQ(entries(folder), (std::vector<std::string>{"dentro"}));
            EXPECT_TRUE(entries(inner).empty());
        }
    }
}

TEST(FileVerbsPaste, AVanishedItemIsReportedAndTheOthersStillPasted)
{
    TempDir source;
    TempDir target;
    const std::string file = source.writeFile("b.txt", "b");
    const std::vector<PasteResult> results =
        pasteItems({source.pathOf("sparito.txt"), file}, target.path(), false);
    EXPECT_EQ(results[0].outcome, PasteOutcome::Failed);
    EXPECT_TRUE(results[0].message.starts_with("Impossibile copiare \"sparito.txt\": "));
    EXPECT_EQ(results[1].outcome, PasteOutcome::Copied);
    EXPECT_EQ(entries(target.path()), (std::vector<std::string>{"b.txt"}));
}

// Stops the paste once `stopAt` has had `bytes` of its copy made, as "Annulla" would.
struct Canceller
{
    Canceller(std::string stop, std::uint64_t after) : stopAt(std::move(stop)), bytes(after) {}

    std::string stopAt;
    std::uint64_t bytes;
    std::atomic<bool> cancelled{false};
    std::vector<PasteStatus> seen;

    PasteProgress progress()
    {
        PasteProgress progress;
        progress.cancelled = &cancelled;
        progress.onProgress = [this](const PasteStatus &status) {
            seen.push_back(status);
            if (status.current == stopAt && status.bytesDone >= bytes)
                cancelled = true;
        };
        return progress;
    }
};

TEST(FileVerbsPasteCancel, TheItemInHandIsRemovedAndTheRestLeftAlone)
{
    TempDir source;
    TempDir target;
    const std::string big(4 * 1024 * 1024, 'x');
    const std::string first = source.writeFile("primo.txt", "1");
    source.makeFolder("albero");
    source.writeFile("albero/a.bin", big);
    source.writeFile("albero/b.bin", big);
    const std::string last = source.writeFile("ultimo.txt", "3");

    Canceller canceller("albero", 1 + big.size() + 1);
    const std::vector<PasteResult> results =
        pasteItems({first, source.pathOf("albero"), last}, target.path(), false, canceller.progress());
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].outcome, PasteOutcome::Copied);
    EXPECT_EQ(results[1].outcome, PasteOutcome::Cancelled);
    EXPECT_EQ(results[2].outcome, PasteOutcome::Cancelled);
    EXPECT_TRUE(results[1].message.empty() && results[2].message.empty()) << "stopping is no failure";
    EXPECT_EQ(entries(target.path()), (std::vector<std::string>{"primo.txt"})) << "no half-made tree";
    EXPECT_EQ(test::readFile(source.pathOf("albero/b.bin")), big);

    // What the dialog was told: the item in hand, items done of all, bytes growing.
    ASSERT_FALSE(canceller.seen.empty());
    EXPECT_EQ(canceller.seen.front().items, 3u);
    EXPECT_EQ(canceller.seen.front().current, "primo.txt");
    EXPECT_EQ(canceller.seen.back().itemsDone, 2u);
    EXPECT_GT(canceller.seen.back().bytesDone, big.size());
}

TEST(FileVerbsPasteCancel, AMoveAcrossFileSystemsStoppedKeepsTheSource)
{
    TempDir target;
    std::string pattern = "/dev/shm/nomaro-test-XXXXXX";
    struct stat shm;
    struct stat tmp;
    if (::stat("/dev/shm", &shm) != 0 || ::stat(target.path().c_str(), &tmp) != 0
        || shm.st_dev == tmp.st_dev || !::mkdtemp(pattern.data()))
        GTEST_SKIP() << "no second file system at /dev/shm";
    const std::string source = pattern + "/grande.bin";
    const std::string big(2 * 1024 * 1024, 'y');
    std::ofstream(source, std::ios::binary) << big;

    Canceller canceller("grande.bin", 1);
    const PasteResult result = pasteItems({source}, target.path(), true, canceller.progress())[0];
    EXPECT_EQ(result.outcome, PasteOutcome::Cancelled);
    EXPECT_TRUE(entries(target.path()).empty());
    EXPECT_EQ(test::readFile(source), big);
    std::filesystem::remove_all(pattern);
}

// Run by RefusedPasteLeavesEverythingAsItWas in a child process as an ordinary user.
TEST(FileVerbsPasteChild, PasteIsRefused)
{
    const char *source = std::getenv("NOMARO_PASTE_SOURCE");
    const char *target = std::getenv("NOMARO_PASTE_TARGET");
    if (!source || !target)
        GTEST_SKIP() << "run only as the child of the refused paste";
    const bool cut = std::getenv("NOMARO_PASTE_CUT") != nullptr;
    const PasteResult result = pasteItems({source}, target, cut)[0];
    EXPECT_EQ(result.outcome, PasteOutcome::Failed);
    EXPECT_TRUE(result.message.starts_with(cut ? "Impossibile spostare \"" : "Impossibile copiare \""))
        << result.message;
}

// The test program itself, run again as an ordinary user (root is refused nothing) from a copy
// that user may run wherever the build folder is.
bool runChildAsOrdinaryUser(const TempDir &root, const QProcessEnvironment &environment,
                            std::string &output)
{
    const std::string copy = root.pathOf("child-test");
    std::filesystem::copy_file(QCoreApplication::applicationFilePath().toStdString(), copy);
    ::chmod(copy.c_str(), 0755);
    QStringList arguments;
    QString program = QString::fromStdString(copy);
    if (::geteuid() == 0) {
        arguments << QStringLiteral("--reuid=65534") << QStringLiteral("--regid=65534")
                  << QStringLiteral("--clear-groups") << program;
        program = QStringLiteral("setpriv");
    }
    arguments << QStringLiteral("--gtest_filter=FileVerbsPasteChild.PasteIsRefused");
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setWorkingDirectory(QString::fromStdString(root.path()));
    child.start(program, arguments);
    if (!child.waitForFinished(60000))
        return false;
    output = child.readAllStandardOutput().toStdString() + child.readAllStandardError().toStdString();
    return child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0
        && output.find("[  PASSED  ] 1 test") != std::string::npos;
}

TEST(FileVerbsPaste, ARefusedPasteLeavesEverythingAsItWas)
{
    struct Case
    {
        const char *what;
        bool cut;
        mode_t sourceMode; // of the source folder and the tree in it
        mode_t fileMode;   // of the file in the tree
        mode_t targetMode;
    };
    const std::vector<Case> cases = {
        {"copy into a read-only folder", false, 0777, 0644, 0755},
        {"copy of a tree holding an unreadable file removes the half-made copy", false, 0777, 0600,
         0777},
        {"move out of a read-only folder", true, 0755, 0644, 0777},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempDir root;
        ::chmod(root.path().c_str(), 0755);
        const std::string source = root.makeFolder("origine");
        const std::string target = root.makeFolder("destinazione");
        const std::string tree = root.makeFolder("origine/albero");
        const std::string file = root.writeFile("origine/albero/a.txt", "a");
        ::chmod(file.c_str(), c.fileMode);
        ::chmod(tree.c_str(), c.sourceMode);
        ::chmod(source.c_str(), c.sourceMode);
        ::chmod(target.c_str(), c.targetMode);

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("NOMARO_PASTE_SOURCE"), QString::fromStdString(tree));
        environment.insert(QStringLiteral("NOMARO_PASTE_TARGET"), QString::fromStdString(target));
        if (c.cut)
            environment.insert(QStringLiteral("NOMARO_PASTE_CUT"), QStringLiteral("1"));
        std::string output;
        EXPECT_TRUE(runChildAsOrdinaryUser(root, environment, output)) << output;

        EXPECT_EQ(entries(source), (std::vector<std::string>{"albero"}));
        EXPECT_EQ(entries(tree), (std::vector<std::string>{"a.txt"}));
        EXPECT_EQ(test::readFile(file), "a");
        EXPECT_TRUE(entries(target).empty());
    }
}

} // namespace
} // namespace nomaro::platform
