#include "platform/paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/ordinary_user.h"
#include "tests/support/tempdir.h"

namespace nomaro::platform {
namespace {

using test::TempDir;

TEST(IsAtOrBelow, ComparesWholeNamesOnly)
{
    const struct
    {
        const char *shows;
        const char *path;
        const char *folder;
        bool expected;
    } cases[] = {
        {"the folder itself", "/home/u", "/home/u", true},
        {"a path inside", "/home/u/a/b", "/home/u", true},
        {"a name that only begins like the folder", "/home/user", "/home/u", false},
        {"a folder above", "/home", "/home/u", false},
        {"the root holds every absolute path", "/mnt", "/", true},
        {"the root holds itself", "/", "/", true},
        {"the root holds no relative path", "mnt", "/", false},
        {"an empty folder holds nothing", "/home", "", false},
        {"an empty path lies nowhere", "", "/home", false},
    };
    for (const auto &row : cases)
        EXPECT_EQ(isAtOrBelow(row.path, row.folder), row.expected) << row.shows;
}

TEST(ProgramFolder, FallsBackFromTheExecutablesFolderToDocumentsToHome)
{
    TempDir dir;
    const std::string program = dir.makeFolder("bin");
    const std::string documents = dir.makeFolder("Documenti");
    const std::string home = dir.makeFolder("home");
    const std::string file = dir.writeFile("not-a-folder");
    const std::string missing = dir.pathOf("missing");
    const struct
    {
        const char *shows;
        std::string executable;
        std::string documents;
        std::string expected;
    } cases[] = {
        {"a writable executable folder", program, documents, program + "/"},
        {"a missing executable folder", missing, documents, documents + "/"},
        {"an executable folder that is a file", file, documents, documents + "/"},
        {"no documents folder", missing, missing, home + "/"},
        {"documents that is a file", missing, file, home + "/"},
        {"the root keeps its one slash", "/", documents, "/"},
    };
    for (const auto &c : cases) {
        if (c.executable == "/" && ::access("/", W_OK) != 0)
            continue;
        EXPECT_EQ(chooseProgramFolder(c.executable, c.documents, home), c.expected) << c.shows;
    }
}

TEST(ProgramFolder, ExecutableFolderTheUserMayNotWriteGivesDocuments)
{
    if (!test::checksRunAsOrdinaryUser())
        return;
    TempDir dir;
    const std::string program = dir.makeFolder("bin");
    const std::string documents = dir.makeFolder("Documenti");
    const std::string home = dir.makeFolder("home");
    ASSERT_EQ(::chmod(program.c_str(), 0555), 0);
    EXPECT_EQ(chooseProgramFolder(program, documents, home), documents + "/");
    EXPECT_EQ(chooseProgramFolder(program, dir.pathOf("missing"), home), home + "/");
    EXPECT_EQ(chooseProgramFolder("/usr/bin", documents, home), documents + "/");
}

} // namespace
} // namespace nomaro::platform
