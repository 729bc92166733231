// The bounded read that keeps a hung network folder from freezing the window, driven with a
// reader that hangs until the test lets it go.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <filesystem>
#include <optional>
#include <string>

#include "browser/boundedreading.h"
#include "platform/shell_namespace.h"
#include "tests/support/tempdir.h"

using nomaro::test::TempDir;
using namespace std::chrono_literals;

namespace {

// A reader that hangs until released, as a read of a server that does not answer does.
struct Hang
{
    std::mutex mutex;
    std::condition_variable released;
    bool free = false;
    bool ended = false;

    void release()
    {
        const std::lock_guard lock(mutex);
        free = true;
        released.notify_all();
    }
};

} // namespace

TEST(BoundedReading, AReadThatHangsIsGivenUpAfterTheWaitAndEndsHarmlesslyLater)
{
    TempDir dir;
    const nomaro::platform::ItemIdList folder = nomaro::platform::idListFromPath(dir.path());
    auto hang = std::make_shared<Hang>();
    const auto start = std::chrono::steady_clock::now();
    const std::optional<std::string> read = nomaro::readOnWorker<std::string>(
        folder, 100ms, [hang](const nomaro::platform::ShellFolder &bound) -> std::optional<std::string> {
            std::unique_lock lock(hang->mutex);
            hang->released.wait(lock, [&] { return hang->free; });
            hang->ended = true;
            hang->released.notify_all();
            return bound.path();
        });
    EXPECT_FALSE(read) << "the folder counts as one that cannot be enumerated";
    EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);

    // The worker, let go after the caller gave up, ends without reaching the caller.
    hang->release();
    std::unique_lock lock(hang->mutex);
    EXPECT_TRUE(hang->released.wait_for(lock, 5s, [&] { return hang->ended; }));
}

TEST(BoundedReading, AnAnswerInTimeIsTheResultAndAFolderThatCannotBeBoundIsNone)
{
    TempDir dir;
    const auto pathOf = [](const nomaro::platform::ShellFolder &bound) -> std::optional<std::string> { return bound.path(); };
    EXPECT_EQ(nomaro::readOnWorker<std::string>(nomaro::platform::idListFromPath(dir.path()), 5s, pathOf), dir.path())
        << "read on the worker's own binding of the folder";

    const std::string gone = dir.makeFolder("gone");
    const nomaro::platform::ItemIdList goneId = nomaro::platform::idListFromPath(gone);
    std::filesystem::remove(gone);
    EXPECT_FALSE(nomaro::readOnWorker<std::string>(goneId, 5s, pathOf));

    EXPECT_EQ(nomaro::readBounded<std::string>(*nomaro::platform::ShellFolder::bind(nomaro::platform::idListFromPath(dir.path())),
                                               0ms, pathOf),
              dir.path())
        << "a local folder is read at once, whatever the wait";
}
