// A frozen server, played by the test file system's own process stopped with SIGSTOP: every call
// on the mount then waits until the process goes on (SIGCONT), as on an sshfs mount whose server
// stopped. The watching of folders and drives must hold neither the window nor the program's end.

#include <QElapsedTimer>
#include <chrono>
#include <QObject>
#include <atomic>
#include <csignal>
#include <dirent.h>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>

#include "browser/changehandlerthread.h"
#include "browser/shelllist.h"
#include "browser/shelltreewatch.h"
#include "platform/locale_formats.h"
#include "platform/shell_namespace.h"
#include "platform/subfolders.h"
#include "platform/watched_drives.h"
#include "tests/browser/shownlist.h"
#include "tests/fusefs/fuse_mount.h"
#include "tests/support/threads.h"

namespace nomaro {
namespace {

using test::FuseMount;

using test::threadCount;

// The file system's process: the child of this test process that runs nomaro_fusefs.
pid_t fileSystemProcess()
{
    DIR *processes = ::opendir("/proc");
    pid_t found = -1;
    while (const dirent *entry = ::readdir(processes)) {
        const std::string pid = entry->d_name;
        if (pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream stat("/proc/" + pid + "/stat");
        std::string line;
        std::getline(stat, line);
        // pid (comm) state ppid ...
        const std::size_t close = line.rfind(')');
        if (close == std::string::npos || line.find("(nomaro_fusefs)") == std::string::npos)
            continue;
        if (std::stol(line.substr(close + 4)) == ::getpid())
            found = static_cast<pid_t>(std::stol(pid));
    }
    ::closedir(processes);
    return found;
}

class FrozenServer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        NOMARO_REQUIRE_MOUNT(mount);
        m_process = fileSystemProcess();
        ASSERT_GT(m_process, 0);
        ::mkdir(mount.backingOf("folder").c_str(), 0755);
    }
    // The test always lets the file system go on, also when it fails.
    void TearDown() override { thaw(); }

    void freeze() { ASSERT_EQ(::kill(m_process, SIGSTOP), 0); }
    void thaw()
    {
        if (m_process > 0)
            ::kill(m_process, SIGCONT);
    }

    FuseMount mount{{}};

private:
    pid_t m_process = -1;
};

// The tree and the list read such a folder with a time limit; asking must not look at it.
TEST_F(FrozenServer, AFolderOnTheMountCountsAsOneThatMayNotAnswer)
{
    freeze();
    EXPECT_TRUE(platform::isOnNetworkDrive(mount.pathOf("folder")));
    EXPECT_TRUE(platform::isOnNetworkDrive(mount.path()));
    EXPECT_FALSE(platform::isOnNetworkDrive(test::TempDir().path()));
}

TEST_F(FrozenServer, TheMountIsAskedOnceAndCountsAsNotWorkingUntilItAnswers)
{
    platform::NetworkProbes probes;
    ASSERT_EQ(probes.inWorkingOrder({mount.path()}), std::vector<bool>{true});
    freeze();
    const int threadsBefore = threadCount();
    for (int look = 0; look < 10; ++look)
        EXPECT_EQ(probes.inWorkingOrder({mount.path()}), std::vector<bool>{false}) << look;
    EXPECT_EQ(probes.inFlight(), 1u);
    // The thread of the first question may still be on its way out, hence at most.
    EXPECT_LE(threadCount(), threadsBefore + 1);

    thaw();
    while (probes.inFlight() > 0)
        std::this_thread::yield();
    EXPECT_EQ(probes.inWorkingOrder({mount.path()}), std::vector<bool>{true});
}

TEST_F(FrozenServer, AWatcherHeldUpByTheServerHoldsItsCallerOnceAndNotItsEnd)
{
    test::TempDir local;
    auto watcher = std::make_unique<ChangeHandlerThread>(nullptr);
    int root = -1;
    ASSERT_TRUE(watcher->AddWatch(mount.path(), platform::DirectoryNameChanges, &root, true));
    freeze();

    // Adding a folder looks it up on the server: the caller waits the action's time limit, once.
    QElapsedTimer held;
    held.start();
    EXPECT_FALSE(watcher->AddFolder(root, mount.pathOf("folder")));
    EXPECT_LT(held.elapsed(), ChangeHandlerThread::kActionTimeoutMs + 1000);

    // Later requests neither queue behind it nor wait, and the end does not wait for the thread.
    QElapsedTimer after;
    after.start();
    EXPECT_TRUE(watcher->RemoveFolder(root, mount.pathOf("folder")));
    EXPECT_TRUE(watcher->RemoveAllWatches());
    int slot = -1;
    EXPECT_FALSE(watcher->AddWatch(local.path(), platform::FileNameChanges, &slot, false));
    watcher.reset();
    EXPECT_LT(after.elapsed(), ChangeHandlerThread::kActionTimeoutMs);
}

TEST_F(FrozenServer, AWatcherAnswersAgainOnceTheServerDoes)
{
    test::TempDir local;
    ChangeHandlerThread watcher(nullptr);
    int root = -1;
    ASSERT_TRUE(watcher.AddWatch(mount.path(), platform::DirectoryNameChanges, &root, true));
    freeze();
    EXPECT_FALSE(watcher.AddFolder(root, mount.pathOf("folder")));
    thaw();
    // The held-up call comes back, and the requests after it are answered again.
    int slot = -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!watcher.AddWatch(local.path(), platform::FileNameChanges, &slot, false)
           && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    EXPECT_EQ(slot, root + 1);
    EXPECT_TRUE(watcher.AddFolder(root, mount.pathOf("folder")));
}

// The tree starts its watch on every full refresh: a frozen drive costs the probe's time limit
// the first time and nothing after, while the question is still out.
TEST_F(FrozenServer, StartingTheTreeWatchHoldsTheWindowLessThanTheActionLimit)
{
    freeze();
    QObject owner;
    ShellTreeWatch watch(&owner);
    for (int start = 0; start < 3; ++start) {
        QElapsedTimer held;
        held.start();
        watch.start(platform::DirectoryNameChanges);
        EXPECT_LT(held.elapsed(), ChangeHandlerThread::kActionTimeoutMs) << start;
        EXPECT_TRUE(watch.isWatching());
    }
}

// F5 on a folder of a frozen drive: the list gives the folder up as one that does not answer,
// within the read's time limit, and places no watch that would wait for the drive once more.
TEST_F(FrozenServer, TheFolderListGivesUpAFrozenFolderWithinTheReadLimit)
{
    for (const char *name : {"a.txt", "b.txt", "c.txt"})
        std::ofstream(mount.backingOf(std::string("folder/") + name)) << name;
    test::ShownList shown(mount.pathOf("folder"));
    ASSERT_EQ(shown.list.itemCount(), 3);
    freeze();
    // Past the kernel's one-second memory of the folder's attributes, so every look-up waits.
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));

    // Should the list wait for the drive after all, the server goes on after ten seconds, so
    // that the test fails instead of hanging.
    std::atomic<bool> pressed{false};
    std::thread watchdog([&] {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!pressed && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        thaw();
    });
    for (int press = 0; press < 2; ++press) {
        QElapsedTimer held;
        held.start();
        shown.list.Refresh();
        EXPECT_LT(held.elapsed(), 2500) << press;
        EXPECT_EQ(shown.list.itemCount(), 0) << press;
    }
    pressed = true;
    watchdog.join();
}

// "Computer" shows each drive's size; a frozen drive's row is drawn without one, at once.
TEST_F(FrozenServer, TheDriveListShowsAFrozenDriveWithoutAskingItsSize)
{
    const auto computer = platform::ShellFolder::bind(platform::specialFolderIdList(platform::SpecialDrives));
    std::optional<platform::ItemIdList> drive;
    int error = 0;
    computer->enumerate(platform::EnumFolders, [&](platform::ItemIdList &&child) {
        if (computer->childPath(child) == mount.path())
            drive = std::move(child);
    }, error);
    ASSERT_TRUE(drive);
    freeze();

    auto size = std::async(std::launch::async, [&] {
        return computer->detailText(*drive, 2, platform::LocaleFormats{}) + computer->detailText(*drive, 3, platform::LocaleFormats{});
    });
    const bool answered = size.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
    thaw(); // a call stuck on the file system comes back, so the future can end
    ASSERT_TRUE(answered);
    EXPECT_EQ(size.get(), "");
}

} // namespace
} // namespace nomaro
