#include "platform/save_file.h"

#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <QString>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace nomaro {
namespace {

using platform::SaveResult;
using platform::saveFileReplacing;

struct SpecialTarget
{
    const char *what;
    mode_t kind;          // S_IFIFO, S_IFCHR
    bool throughSymlink;  // the chosen name is a link to it
};

class SaveOntoSpecialFile : public testing::TestWithParam<SpecialTarget> {};

// Renaming a new file over a pipe or a device would replace it; pointed at a system device by
// root, that breaks the machine. The save refuses, says why in Italian, and leaves it.
TEST_P(SaveOntoSpecialFile, IsRefusedAndTheTargetStaysAsItWas)
{
    const SpecialTarget &target = GetParam();
    test::TempDir dir;
    const std::string special = dir.pathOf("speciale");
    // The same numbers as /dev/null, made here so that nothing of the system is at stake.
    const dev_t device = target.kind == S_IFCHR ? makedev(1, 3) : 0;
    if (::mknod(special.c_str(), target.kind | 0666, device) != 0)
        GTEST_SKIP() << "mknod is not allowed here (a device node needs root)";
    std::string chosen = special;
    if (target.throughSymlink) {
        chosen = dir.pathOf("lista.TXT");
        ASSERT_EQ(::symlink("speciale", chosen.c_str()), 0);
    }

    const SaveResult result = saveFileReplacing(chosen, "x\r\n");

    EXPECT_FALSE(result.saved);
    EXPECT_TRUE(QString::fromStdString(result.error).contains(QStringLiteral("Non è un file normale")))
        << result.error;
    struct stat info{};
    ASSERT_EQ(::lstat(special.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & S_IFMT, target.kind);
    EXPECT_EQ(info.st_rdev, device);
    const std::vector<std::string> expected =
        target.throughSymlink ? std::vector<std::string>{"lista.TXT", "speciale"}
                              : std::vector<std::string>{"speciale"};
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SaveOntoSpecialFile,
    testing::Values(SpecialTarget{"fifo", S_IFIFO, false},
                    SpecialTarget{"link_to_fifo", S_IFIFO, true},
                    SpecialTarget{"character_device", S_IFCHR, false},
                    SpecialTarget{"link_to_character_device", S_IFCHR, true}),
    [](const auto &info) { return std::string(info.param.what); });

} // namespace
} // namespace nomaro
