#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/dir_reader.h"
#include "tests/support/tempdir.h"

using namespace nomaro::platform;
using nomaro::test::TempDir;

namespace {

using Names = std::vector<std::string>;

// The names a plain readdir loop gives, in its order.
Names readdirOrder(const std::string &path)
{
    Names names;
    DIR *dir = ::opendir(path.c_str());
    while (const dirent *entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

struct Reading
{
    FolderRead result;
    Names names;
    std::vector<EntryStatus> statuses;
};

Reading readAll(int fd, const std::function<bool(std::string_view)> &wanted = {})
{
    Reading reading;
    reading.result = readFolder(fd, wanted, [&](std::string_view name, const EntryStatus &status) {
        reading.names.emplace_back(name);
        reading.statuses.push_back(status);
    });
    return reading;
}

} // namespace

TEST(ReadFolder, HandsEveryEntryOverInTheFoldersOwnOrderWithItsLookup)
{
    // Enough entries for every lookup thread.
    TempDir dir;
    for (int i = 0; i < 3000; ++i)
        dir.writeFile("f" + std::to_string(i), i % 7 == 0 ? "x" : "");
    dir.makeFolder("sub");
    ASSERT_EQ(::symlink("sub", dir.pathOf("to-sub").c_str()), 0);
    const int fd = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const Reading reading = readAll(fd);
    ::close(fd);

    EXPECT_EQ(reading.result.end, FolderReadEnd::Complete);
    EXPECT_EQ(reading.names, readdirOrder(dir.path()));
    for (std::size_t i = 0; i < reading.names.size(); ++i) {
        const std::string &name = reading.names[i];
        const EntryStatus expected = statEntry(dir.pathOf(name));
        ASSERT_TRUE(reading.statuses[i].found()) << name;
        EXPECT_EQ(reading.statuses[i].info.st_ino, expected.info.st_ino) << name;
        EXPECT_EQ(reading.statuses[i].info.st_size, expected.info.st_size) << name;
        EXPECT_EQ(reading.statuses[i].isLink, name == "to-sub") << name;
    }
}

TEST(ReadFolder, LeavesOutUnwantedNamesBeforeLookingThemUp)
{
    TempDir dir;
    dir.writeFile(".hidden");
    dir.writeFile("plain");
    const int fd = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const Reading reading = readAll(fd, [](std::string_view name) { return name[0] != '.'; });
    ::close(fd);
    EXPECT_EQ(reading.names, (Names{"plain"}));
}

TEST(ReadFolder, AFolderRemovedWhileOpenIsNoListing)
{
    TempDir dir;
    const std::string sub = dir.makeFolder("sub");
    dir.writeFile("sub/a");
    const int fd = ::open(sub.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::unlink((sub + "/a").c_str());
    ::rmdir(sub.c_str());
    const Reading reading = readAll(fd);
    ::close(fd);
    EXPECT_EQ(reading.result.end, FolderReadEnd::Vanished);
    EXPECT_EQ(reading.result.error, ENOENT);
    EXPECT_TRUE(reading.names.empty());
}

TEST(ReadFolder, ADescriptorThatIsNoFolderFails)
{
    TempDir dir;
    const int fd = ::open(dir.writeFile("file").c_str(), O_RDONLY | O_CLOEXEC);
    const Reading reading = readAll(fd);
    ::close(fd);
    EXPECT_EQ(reading.result.end, FolderReadEnd::Failed);
    EXPECT_EQ(reading.result.error, ENOTDIR);
}
