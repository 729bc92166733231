#include "listing/save_file.h"

#include "tests/fusefs/folder_state.h"
#include "tests/fusefs/fuse_mount.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <future>

namespace nomaro {
namespace {

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

} // namespace
} // namespace nomaro
