// The folder tree's reading of a file-system folder: the same children as the folder's own
// enumeration, and link counts that answer the has-subfolders question as a lookup would.

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/shell_namespace.h"
#include "platform/subfolders.h"
#include "tests/support/tempdir.h"

using nomaro::platform::SubfolderAnswer;
using nomaro::platform::SubfolderProbe;
using nomaro::test::TempDir;
namespace platform = nomaro::platform;

namespace {

// Every kind of entry a folder can hold.
void fillWithEveryKind(const TempDir &dir)
{
    dir.makeFolder("leaf");
    dir.makeFolder("parent/child");
    dir.makeFolder("onlyhidden/.inner");
    dir.makeFolder(".hiddenfolder");
    dir.writeFile("file.txt", "x");
    dir.writeFile(".hiddenfile");
    ASSERT_EQ(::symlink("parent", dir.pathOf("linktofolder").c_str()), 0);
    ASSERT_EQ(::symlink("file.txt", dir.pathOf("linktofile").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere", dir.pathOf("dangling").c_str()), 0);
    ASSERT_EQ(::mkfifo(dir.pathOf("pipe").c_str(), 0600), 0);
}

std::vector<std::string> enumerated(const std::string &path, unsigned flags)
{
    const auto folder = platform::ShellFolder::bind(platform::idListFromPath(path));
    std::vector<std::string> ids;
    int error = 0;
    folder->enumerate(flags, [&](platform::ItemIdList &&child) { ids.push_back(child.bytes()); }, error);
    return ids;
}

} // namespace

TEST(FolderChildren, AreTheChildrenTheFoldersEnumerationGivesForEveryKindAsked)
{
    TempDir dir;
    fillWithEveryKind(dir);
    const unsigned kinds[] = {
        platform::EnumFolders,
        platform::EnumFolders | platform::EnumHidden,
        platform::EnumNonFolders,
        platform::EnumFolders | platform::EnumNonFolders | platform::EnumHidden,
    };
    for (const unsigned flags : kinds) {
        const auto read = platform::readFolderChildren(dir.path(), flags);
        ASSERT_TRUE(read.has_value()) << flags;
        std::vector<std::string> ids;
        for (const platform::FolderChild &child : *read)
            ids.push_back(child.id.bytes());
        EXPECT_EQ(ids, enumerated(dir.path(), flags)) << "flags " << flags;
    }
    EXPECT_FALSE(platform::readFolderChildren(dir.pathOf("missing"), platform::EnumFolders).has_value());
}

TEST(FolderChildren, LinkCountsAnswerAsTheProbesOwnLookup)
{
    TempDir dir;
    fillWithEveryKind(dir);
    for (const bool hidden : {true, false}) {
        const unsigned flags = platform::EnumFolders | (hidden ? platform::EnumHidden : 0u);
        const SubfolderProbe probe(dir.path(), hidden);
        const auto read = platform::readFolderChildren(dir.path(), flags);
        ASSERT_TRUE(read.has_value());
        for (const platform::FolderChild &child : *read) {
            const std::string name(child.id.firstElement().name);
            EXPECT_EQ(probe.ask(name, child.linkCount), probe.ask(name)) << name << (hidden ? " with hidden" : "");
        }
    }
    const SubfolderProbe probe(dir.path(), true);
    const struct Case
    {
        const char *name;
        SubfolderAnswer answer;
    } cases[] = {{"leaf", SubfolderAnswer::No}, {"parent", SubfolderAnswer::Yes}, {"onlyhidden", SubfolderAnswer::Yes}};
    for (const Case &c : cases) {
        struct stat info{};
        ASSERT_EQ(::lstat(dir.pathOf(c.name).c_str(), &info), 0);
        EXPECT_EQ(probe.ask(c.name, info.st_nlink), c.answer) << c.name;
    }
}
