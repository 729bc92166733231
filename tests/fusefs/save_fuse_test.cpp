#include "platform/save_file.h"

#include "tests/fusefs/folder_state.h"
#include "tests/fusefs/fuse_mount.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <future>

namespace nomaro {
namespace {

using platform::SaveResult;
using platform::saveFileReplacing;

using test::FuseMount;
using test::folderState;
using test::namesIn;

struct SaveCase
{
    const char *what;
    std::vector<std::string> switches;
};

class SaveThroughFuse : public testing::TestWithParam<SaveCase> {};

// A save replaces the old list with a new file under the same name and leaves nothing else.
TEST_P(SaveThroughFuse, ReplacesTheFileAndLeavesNoTemporary)
{
    FuseMount mount(GetParam().switches);
    NOMARO_REQUIRE_MOUNT(mount);
    std::ofstream(mount.backingOf("lista.TXT"), std::ios::binary) << "old\r\n";
    std::ofstream(mount.backingOf("altro"), std::ios::binary) << "untouched";
    const auto before = folderState(mount.backing());

    const std::string bytes = "uno\r\ndue\r\n" + std::string(300000, 'x') + "\r\n";
    const SaveResult result = saveFileReplacing(mount.pathOf("lista.TXT"), bytes);

    ASSERT_TRUE(result.saved) << result.error;
    const auto after = folderState(mount.backing());
    EXPECT_EQ(namesIn(mount.backing()), (std::vector<std::string>{"altro", "lista.TXT"}));
    EXPECT_EQ(after.at("lista.TXT").digest, bytes);
    EXPECT_EQ(after.at("altro"), before.at("altro"));
}

INSTANTIATE_TEST_SUITE_P(Cases, SaveThroughFuse,
                         testing::Values(SaveCase{"plain", {}},
                                         SaveCase{"without_flag_or_links",
                                                  {"--no-noreplace", "--no-links"}},
                                         SaveCase{"folded_case", {"--fold-case"}}),
                         [](const auto &info) { return std::string(info.param.what); });

// A file system that accepts no bytes (write() returns 0) must end the save with an error,
// leaving the old file and no temporary file beside it.
TEST(SaveThroughFuse, WriteThatAcceptsNothingFailsAndKeepsTheOldFile)
{
    FuseMount mount({"--write-zero"});
    NOMARO_REQUIRE_MOUNT(mount);
    std::ofstream(mount.backingOf("lista.TXT"), std::ios::binary) << "old\r\n";
    const auto before = folderState(mount.backing());

    auto save = std::async(std::launch::async, [&mount] {
        return saveFileReplacing(mount.pathOf("lista.TXT"), "new\r\n");
    });
    if (save.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
        // Taking the file system away makes the stuck write fail, so the test can end.
        mount.unmount();
        save.wait();
        FAIL() << "the save does not end when write() returns 0";
    }
    const SaveResult result = save.get();
    EXPECT_FALSE(result.saved);
    EXPECT_FALSE(result.error.empty());
    EXPECT_EQ(folderState(mount.backing()), before);
}

struct FailingSave
{
    const char *what;
    std::vector<std::string> switches;
    bool temporaryStays; // the file system refuses to remove the temporary file too
};

class FailedSave : public testing::TestWithParam<FailingSave> {};

// However the save fails, the old file stays as it was and the temporary file goes; where the
// file system will not let it go (a server that went away), the error names it, so that the
// user can find a hidden file that may be large.
TEST_P(FailedSave, RemovesItsTemporaryFileOrNamesIt)
{
    FuseMount mount(GetParam().switches);
    NOMARO_REQUIRE_MOUNT(mount);
    std::ofstream(mount.backingOf("lista.TXT"), std::ios::binary) << "old\r\n";
    const auto before = folderState(mount.backing());

    const SaveResult result = saveFileReplacing(mount.pathOf("lista.TXT"), "new\r\n");

    EXPECT_FALSE(result.saved);
    const std::vector<std::string> names = namesIn(mount.backing());
    if (!GetParam().temporaryStays) {
        EXPECT_EQ(folderState(mount.backing()), before);
        EXPECT_EQ(result.error.find(".tmp"), std::string::npos) << result.error;
        return;
    }
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(folderState(mount.backing()).at("lista.TXT"), before.at("lista.TXT"));
    const std::string leftover = mount.pathOf(names.front()); // ".lista.TXT...tmp" sorts first
    EXPECT_NE(result.error.find("\"" + leftover + "\""), std::string::npos) << result.error;
}

// The temporary file is ".lista.TXT.<pid>-<n>.tmp"; its leading dot must be matched by name.
const std::string kTemporary = "--unlink-fails=.lista.TXT.*.tmp";

INSTANTIATE_TEST_SUITE_P(
    Steps, FailedSave,
    testing::Values(FailingSave{"write", {"--write-zero"}, false},
                    FailingSave{"rename", {"--fail-rename=lista.TXT"}, false},
                    FailingSave{"write_and_removal", {"--write-zero", kTemporary}, true},
                    FailingSave{"rename_and_removal", {"--fail-rename=lista.TXT", kTemporary},
                                true}),
    [](const auto &info) { return std::string(info.param.what); });

// The rename over the old file took place, then its answer was lost: the list is saved, and
// saying otherwise would send the user looking for a fault that is not there.
TEST(SaveThroughFuse, RenameWhoseAnswerIsLostIsASave)
{
    FuseMount mount({"--rename-lies=lista.TXT"});
    NOMARO_REQUIRE_MOUNT(mount);
    std::ofstream(mount.backingOf("lista.TXT"), std::ios::binary) << "old\r\n";

    const SaveResult result = saveFileReplacing(mount.pathOf("lista.TXT"), "new\r\n");

    EXPECT_TRUE(result.saved) << result.error;
    EXPECT_EQ(namesIn(mount.backing()), std::vector<std::string>{"lista.TXT"});
    EXPECT_EQ(folderState(mount.backing()).at("lista.TXT").digest, "new\r\n");
}

} // namespace
} // namespace nomaro
