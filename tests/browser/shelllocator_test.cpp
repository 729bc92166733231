#include <gtest/gtest.h>

#include "browser/shelllocator.h"
#include "platform/shell_error.h"
#include "platform/shell_namespace.h"
#include "tests/support/tempdir.h"

using nomaro::ShellLocator;
using nomaro::platform::ItemIdList;
using nomaro::test::TempDir;

namespace {

struct CountedLocator
{
    ShellLocator locator;
    int changes = 0;
    CountedLocator()
    {
        locator.setChangeHandler([this] { ++changes; });
    }
};

std::string lengthBytes(std::uint32_t length)
{
    std::string out;
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>((length >> shift) & 0xFF));
    return out;
}

} // namespace

TEST(ShellLocator, AFreshLocatorIsTheDesktopWithoutAPath)
{
    const ShellLocator locator;
    EXPECT_EQ(locator.kind(), ShellLocator::ByIdList);
    EXPECT_TRUE(locator.IdList().isDesktop());
    EXPECT_TRUE(locator.Path().empty());
    EXPECT_FALSE(locator.isStored());
}

TEST(ShellLocator, PathOfTheRootEndsInSlashAndNoOtherDoes)
{
    TempDir dir;
    ShellLocator locator;
    locator.SetIdList(nomaro::platform::idListFromPath("/"));
    EXPECT_EQ(locator.Path(), "/");
    locator.SetIdList(nomaro::platform::idListFromPath(dir.path() + "/"));
    EXPECT_EQ(locator.Path(), dir.path());
    locator.SetSpecialFolder(nomaro::platform::SpecialDrives);
    EXPECT_TRUE(locator.Path().empty());
}

TEST(ShellLocator, SetIdListCallsTheHandlerOnlyWhenTheDesignationChanges)
{
    TempDir dir;
    const ItemIdList folder = nomaro::platform::idListFromPath(dir.path());
    CountedLocator counted;

    counted.locator.SetIdList(ItemIdList());
    EXPECT_EQ(counted.changes, 0) << "desktop to desktop";
    counted.locator.SetIdList(folder);
    EXPECT_EQ(counted.changes, 1) << "desktop to a folder";
    dir.writeFile("touch-the-folder");
    counted.locator.SetIdList(nomaro::platform::idListFromPath(dir.path()));
    EXPECT_EQ(counted.changes, 1) << "the same folder with a newer time";
    counted.locator.Clear();
    EXPECT_EQ(counted.changes, 2) << "a folder back to the desktop";
    EXPECT_FALSE(counted.locator.hasIdList());
    counted.locator.SetSpecialFolder(nomaro::platform::SpecialDesktop);
    counted.locator.SetIdList(ItemIdList());
    EXPECT_EQ(counted.changes, 4) << "leaving a special folder always counts";
    EXPECT_EQ(counted.locator.specialFolder(), ShellLocator::kNoSpecialFolder);
}

TEST(ShellLocator, AssignCopiesOnlyWhatDiffers)
{
    TempDir dir;
    ShellLocator source;
    source.SetIdList(nomaro::platform::idListFromPath(dir.path()));
    CountedLocator target;

    target.locator.Assign(&source);
    EXPECT_EQ(target.changes, 1);
    EXPECT_TRUE(target.locator == source);
    target.locator.Assign(&source);
    EXPECT_EQ(target.changes, 1) << "equal locators";
    target.locator.Assign(nullptr);
    EXPECT_EQ(target.changes, 2);
    EXPECT_TRUE(target.locator.IdList().isDesktop());

    source.SetSpecialFolder(nomaro::platform::SpecialDrives);
    target.locator.Assign(&source);
    EXPECT_EQ(target.locator.kind(), ShellLocator::BySpecialFolder);
    EXPECT_EQ(target.locator.specialFolder(), nomaro::platform::SpecialDrives);
    EXPECT_EQ(target.changes, 3);
}

TEST(ShellLocator, StreamFormRoundTripsBothKinds)
{
    TempDir dir;
    ShellLocator byList;
    byList.SetIdList(nomaro::platform::idListFromPath(dir.path()));
    const std::string listStream = byList.toStream();
    const std::string &bytes = byList.IdList().bytes();
    EXPECT_EQ(listStream, std::string(1, '\0') + lengthBytes(static_cast<std::uint32_t>(bytes.size())) + bytes);

    CountedLocator readBack;
    EXPECT_EQ(readBack.locator.readStream(listStream + "trailing"), listStream.size());
    EXPECT_TRUE(readBack.locator == byList);
    EXPECT_EQ(readBack.locator.Path(), dir.path());
    EXPECT_EQ(readBack.changes, 1);

    ShellLocator special;
    special.SetSpecialFolder(nomaro::platform::SpecialDrives);
    EXPECT_EQ(special.toStream(), std::string("\x01\x11", 2));
    ShellLocator specialBack;
    EXPECT_EQ(specialBack.readStream(special.toStream()), 2u);
    EXPECT_TRUE(specialBack == special);
}

TEST(ShellLocator, AKindZeroRecordOfLengthZeroReadsAsTheDesktop)
{
    ShellLocator locator;
    EXPECT_EQ(locator.readStream(std::string(1, '\0') + lengthBytes(0)), 5u);
    EXPECT_EQ(locator.kind(), ShellLocator::BySpecialFolder);
    EXPECT_EQ(locator.specialFolder(), nomaro::platform::SpecialDesktop);
    EXPECT_TRUE(locator.IdList().isDesktop());
}

TEST(ShellLocator, DamagedStreamsRaiseAndLeaveTheLocatorAsItWas)
{
    const std::string cases[] = {
        std::string(),
        std::string("\x02", 1),
        std::string("\x01", 1),
        std::string(1, '\0') + lengthBytes(10) + "short",
        std::string(1, '\0') + lengthBytes(3) + "abc",
    };
    for (const std::string &bytes : cases) {
        CountedLocator locator;
        EXPECT_THROW(locator.locator.readStream(bytes), nomaro::platform::ShellError);
        EXPECT_EQ(locator.changes, 0);
        EXPECT_TRUE(locator.locator.IdList().isDesktop());
    }
}
