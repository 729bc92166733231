#include "tests/fusefs/fuse_mount.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <sys/stat.h>

namespace nomaro::test {
namespace {

using namespace std::chrono_literals;

bool statSucceeds(const std::string &path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

// The hang other tests rely on: a call on a held path waits while other paths answer, and
// goes on once released.
TEST(HeldCalls, HoldsOnlyTheMarkedPathUntilReleased)
{
    FuseMount mount({});
    NOMARO_REQUIRE_MOUNT(mount);
    ASSERT_EQ(::mkdir(mount.backingOf("lento").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(mount.backingOf("pronto").c_str(), 0755), 0);

    std::future<bool> held;
    ASSERT_EQ(::mkdir(mount.backingOf("lento/dentro").c_str(), 0755), 0);
    HeldCalls hold(mount, "/lento/*");
    held = std::async(std::launch::async, statSucceeds, mount.pathOf("lento/dentro"));
    ASSERT_TRUE(hold.waitUntilHolding(10s));
    EXPECT_TRUE(statSucceeds(mount.pathOf("pronto")));
    EXPECT_EQ(held.wait_for(0s), std::future_status::timeout);

    hold.release();
    EXPECT_TRUE(held.get());
}

// Ending the guard releases what it held, so a test that fails midway still ends.
TEST(HeldCalls, EndOfTheGuardReleases)
{
    FuseMount mount({});
    NOMARO_REQUIRE_MOUNT(mount);
    std::future<bool> held;
    {
        HeldCalls hold(mount, "*");
        held = std::async(std::launch::async, statSucceeds, mount.path());
        ASSERT_TRUE(hold.waitUntilHolding(10s));
    }
    EXPECT_TRUE(held.get());
}

} // namespace
} // namespace nomaro::test
