#include <gtest/gtest.h>

#include <unistd.h>

#include "browser/foldercontext.h"
#include "browser/folderlisting.h"
#include "browser/shelllistitemdata.h"
#include "platform/shell_namespace.h"
#include "tests/support/tempdir.h"

using nomaro::FolderContext;
using nomaro::FolderListing;
using nomaro::ShellListItemData;
using namespace nomaro::platform;
using nomaro::test::TempDir;

namespace {

using Names = std::vector<std::string>;

Names namesOf(const std::vector<ItemIdList> &ids)
{
    Names out;
    for (const ItemIdList &id : ids)
        out.emplace_back(id.firstElement().name);
    std::sort(out.begin(), out.end());
    return out;
}

// The children of `folder` that the listing accepts, by name.
Names acceptedNames(FolderListing &listing, const ShellFolder &folder, const FolderListing::Acceptance &acceptance = {})
{
    listing.buildNameSet(folder.path());
    FolderListing::Reading reading = FolderListing::read(folder, EnumFolders | EnumNonFolders | EnumHidden);
    EXPECT_EQ(reading.end, EnumEnd::NoMoreItems);
    const Names names = namesOf(listing.accepted(folder, std::move(reading.children), acceptance));
    listing.discardNameSet();
    return names;
}

} // namespace

TEST(FolderListing, MasksAreTheRunsBetweenSemicolonsWithBlanksKept)
{
    struct Case
    {
        const char *text;
        Names masks;
    };
    const Case cases[] = {
        {"*.jpg;*.jpeg", {"*.jpg", "*.jpeg"}},
        {";", {}},
        {";;*.png;", {"*.png"}},
        {" *.txt", {" *.txt"}},
        {"", {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FolderListing::parseMasks(c.text), c.masks) << '"' << c.text << '"';
}

TEST(FolderListing, OnlyADifferentFilterCountsAsAChange)
{
    FolderListing listing;
    EXPECT_FALSE(listing.setFileFilter(""));
    EXPECT_TRUE(listing.setFileFilter("*.txt"));
    EXPECT_FALSE(listing.setFileFilter("*.txt"));
    EXPECT_TRUE(listing.setFileFilter("*.TXT")) << "the comparison is exact";
    EXPECT_EQ(listing.masks(), (Names{"*.TXT"}));
}

TEST(FolderListing, TheAcceptanceTestAppliesTheNameSetAndAsksTheHookLast)
{
    TempDir dir;
    for (const char *name : {"A.JPG", "b.Jpeg", "c.png"})
        dir.writeFile(name);
    dir.makeFolder("sub");
    const auto folder = ShellFolder::bind(idListFromPath(dir.path()));
    FolderListing listing;

    listing.setFileFilter("*.jpg;*.jpeg");
    EXPECT_EQ(acceptedNames(listing, *folder), (Names{"A.JPG", "b.Jpeg", "sub"}));

    listing.setFileFilter("*.*");
    EXPECT_EQ(acceptedNames(listing, *folder), (Names{"A.JPG", "b.Jpeg", "c.png", "sub"}));

    FolderListing::Acceptance hideFolders;
    hideFolders.hideFileSystemFolders = true;
    EXPECT_EQ(acceptedNames(listing, *folder, hideFolders), (Names{"A.JPG", "b.Jpeg", "c.png"}));

    FolderListing::Acceptance hook;
    Names asked;
    hook.onAddItem = [&](const ShellFolder &parent, const ItemIdList &parentId, const ItemIdList &child, std::uint32_t) {
        EXPECT_EQ(&parent, folder.get());
        EXPECT_EQ(parentId, folder->absoluteId());
        asked.emplace_back(child.firstElement().name);
        return child.firstElement().name != "c.png";
    };
    listing.setFileFilter("*.png");
    EXPECT_EQ(acceptedNames(listing, *folder, hook), (Names{"sub"}));
    std::sort(asked.begin(), asked.end());
    EXPECT_EQ(asked, (Names{"c.png", "sub"})) << "a child the masks drop is never asked about";
}

TEST(FolderListing, AVirtualFolderHasNoNameSetAndOnlyFileSystemChildrenWithoutTheOption)
{
    const auto desktop = ShellFolder::bind(ItemIdList());
    FolderListing listing;
    listing.setFileFilter("*.nothing");
    listing.buildNameSet(desktop->path());
    EXPECT_FALSE(listing.hasNameSet());

    FolderListing::Reading reading = FolderListing::read(*desktop, EnumFolders | EnumNonFolders);
    const std::size_t all = reading.children.size();
    ASSERT_GE(all, 2u);
    // "Computer" is a file-system ancestor, so it is a candidate even without the option.
    EXPECT_EQ(listing.accepted(*desktop, std::move(reading.children), {}).size(), all);
}

TEST(FolderListing, AFolderThatVanishedCannotBeRead)
{
    TempDir dir;
    const std::string sub = dir.makeFolder("sub");
    const auto folder = ShellFolder::bind(idListFromPath(sub));
    ASSERT_EQ(::rmdir(sub.c_str()), 0);
    const FolderListing::Reading reading = FolderListing::read(*folder, EnumFolders | EnumNonFolders);
    EXPECT_EQ(reading.end, EnumEnd::CannotStart);
    EXPECT_EQ(reading.error, ENOENT);
    EXPECT_TRUE(reading.children.empty());
}

TEST(ShellListItemData, ADrawnRowShowsTheSizeTheListingReadWithoutLookingAgain)
{
    TempDir dir;
    dir.writeFile("one.txt", std::string(1025, 'x'));
    dir.makeFolder("sub");
    FolderContext context(ShellFolder::bind(idListFromPath(dir.path())), {});
    FolderListing::Reading reading = FolderListing::read(*context.folder(), EnumFolders | EnumNonFolders);
    ASSERT_EQ(reading.children.size(), 2u);
    std::vector<ShellListItemData> rows;
    for (ItemIdList &child : reading.children)
        rows.emplace_back(&context, std::move(child));
    if (rows[0].fileSystemName() != "one.txt")
        std::swap(rows[0], rows[1]);

    // Gone from the disk: the row still shows what was read.
    ::unlink(dir.pathOf("one.txt").c_str());
    EXPECT_EQ(rows[0].detailText(1), QStringLiteral("2 KB"));
    EXPECT_FALSE(rows[0].detailText(3).isEmpty());
    EXPECT_EQ(rows[0].path(), dir.pathOf("one.txt"));
    EXPECT_EQ(rows[1].detailText(1), QString()) << "a folder shows no size";
    EXPECT_EQ(rows[1].detailText(2), QStringLiteral("Cartella"));
    EXPECT_TRUE(rows[1].isFolder());
    EXPECT_TRUE(sameItem(rows[1].absoluteId(), idListFromPath(dir.pathOf("sub"))));
}
