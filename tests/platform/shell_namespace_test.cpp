#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <random>
#include <unistd.h>

#include "platform/shell_compare.h"
#include "platform/shell_error.h"
#include "platform/shell_namespace.h"
#include "tests/support/tempdir.h"

using namespace nomaro::platform;
using nomaro::test::TempDir;

namespace {

struct Child
{
    ItemIdList id;
    std::string name;
    std::uint32_t attributes;
};

std::vector<Child> children(const ShellFolder &folder, unsigned flags = EnumFolders | EnumNonFolders | EnumHidden)
{
    std::vector<Child> found;
    int error = 0;
    const EnumEnd end = folder.enumerate(
        flags,
        [&](ItemIdList &&child) {
            found.push_back({child, folder.displayName(child, DisplayNameKind::InFolder), folder.attributes(child, ~0u)});
        },
        error);
    EXPECT_EQ(end, EnumEnd::NoMoreItems);
    return found;
}

const Child *named(const std::vector<Child> &all, const std::string &name)
{
    for (const Child &child : all) {
        if (child.name == name)
            return &child;
    }
    return nullptr;
}

} // namespace

TEST(CompareNames, OrdersAsTheUserExpects)
{
    struct Case
    {
        const char *what;
        const char *a;
        const char *b;
    };
    const Case before[] = {
        {"digit runs compare by value", "img2", "img10"},
        {"letters ignore case", "apple", "Banana"},
        {"a prefix comes first", "abc", "abcd"},
        {"equal apart from case falls back to bytes", "ABC", "abc"},
        {"equal numbers fall back to bytes", "a01", "a1"},
        {"long digit runs do not overflow", "x99999999999999999999998", "x99999999999999999999999"},
    };
    for (const Case &c : before) {
        EXPECT_LT(compareNames(c.a, c.b), 0) << c.what;
        EXPECT_GT(compareNames(c.b, c.a), 0) << c.what;
    }
    EXPECT_EQ(compareNames("same", "same"), 0);
}

TEST(CompareNames, PrefixKeysNeverContradictTheFullComparison)
{
    // Names from a small alphabet, so that shared beginnings, digit runs of every length,
    // leading zeros and letters differing only in case all turn up often.
    std::mt19937 random(7);
    const std::string alphabet = "aAbB_. 0019";
    auto randomName = [&] {
        std::string name;
        const int length = static_cast<int>(random() % 24);
        for (int i = 0; i < length; ++i)
            name.push_back(alphabet[random() % alphabet.size()]);
        return name;
    };
    int decidedByKey = 0;
    for (int round = 0; round < 200000; ++round) {
        const std::string a = randomName();
        const std::string b = randomName();
        const SortKey keyA = namePrefixKey(a);
        const SortKey keyB = namePrefixKey(b);
        if (keyA == keyB)
            continue;
        ++decidedByKey;
        ASSERT_EQ(keyA < keyB, compareNames(a, b) < 0) << '"' << a << "\" vs \"" << b << '"';
    }
    EXPECT_GT(decidedByKey, 100000);
}

TEST(ShellNamespace, DesktopHoldsHomeAndComputerWhichHaveNoPathOfTheirOwn)
{
    const auto desktop = ShellFolder::bind(ItemIdList());
    EXPECT_TRUE(desktop->path().empty());
    const std::vector<Child> all = children(*desktop);
    ASSERT_GE(all.size(), 2u);
    const Child &home = all.front();
    EXPECT_EQ(desktop->childPath(home.id), QFile::encodeName(QDir::homePath()).toStdString());
    EXPECT_TRUE(home.attributes & AttrFileSystem);
    const Child &computer = all.back();
    EXPECT_EQ(computer.name, "Computer");
    EXPECT_TRUE(desktop->childPath(computer.id).empty());
    EXPECT_FALSE(computer.attributes & AttrFileSystem);
    EXPECT_TRUE(computer.attributes & AttrFileSystemAncestor);

    const auto drives = ShellFolder::bind(specialFolderIdList(SpecialDrives));
    EXPECT_TRUE(drives->path().empty());
    EXPECT_TRUE(drives->hasColumnDetails());
    const std::vector<Child> mounted = children(*drives);
    ASSERT_FALSE(mounted.empty());
    const auto root = std::find_if(mounted.begin(), mounted.end(),
                                   [&](const Child &c) { return drives->childPath(c.id) == "/"; });
    ASSERT_NE(root, mounted.end());
    EXPECT_EQ(root->name, "File system");
}

TEST(ShellNamespace, APathTurnsIntoAListAndBack)
{
    TempDir dir;
    const std::string sub = dir.makeFolder("a/b");
    const ItemIdList list = idListFromPath(sub + "/./");
    EXPECT_EQ(pathOf(list), sub);
    EXPECT_EQ(ShellFolder::bind(list)->path(), sub);
    EXPECT_EQ(pathOf(idListFromPath("/")), "/");
    EXPECT_EQ(pathOf(idListFromPath(QFile::encodeName(QDir::homePath()).toStdString())),
              QFile::encodeName(QDir::homePath()).toStdString());
}

TEST(ShellNamespace, AMissingFolderRaisesTheSystemsError)
{
    TempDir dir;
    try {
        idListFromPath(dir.pathOf("gone/deeper"));
        FAIL() << "no error raised";
    } catch (const ShellError &error) {
        EXPECT_EQ(error.code(), ENOENT);
        EXPECT_NE(std::string(error.what()).find("gone"), std::string::npos);
    }

    const std::string sub = dir.makeFolder("sub");
    const ItemIdList list = idListFromPath(sub);
    ::rmdir(sub.c_str());
    try {
        ShellFolder::bind(list);
        FAIL() << "no error raised";
    } catch (const ShellError &error) {
        EXPECT_EQ(error.code(), ENOENT);
    }
}

TEST(ShellNamespace, EnumerationListsOddEntriesWithTheirRealBytes)
{
    TempDir dir;
    const std::string latin1("caf\xe9.txt");
    dir.writeFile(latin1, "x");
    dir.writeFile("line\nbreak");
    dir.writeFile(" leading blank");
    dir.writeFile(".hidden");
    dir.makeFolder("folder");
    ASSERT_EQ(::symlink("nowhere", dir.pathOf("dangling").c_str()), 0);
    ASSERT_EQ(::symlink("loop", dir.pathOf("loop").c_str()), 0);
    ASSERT_EQ(::symlink("folder", dir.pathOf("to-folder").c_str()), 0);

    const auto folder = ShellFolder::bind(idListFromPath(dir.path()));
    const std::vector<Child> all = children(*folder);
    EXPECT_EQ(all.size(), 8u);
    ASSERT_NE(named(all, latin1), nullptr);
    EXPECT_EQ(folder->childPath(named(all, latin1)->id), dir.pathOf(latin1));
    EXPECT_TRUE(named(all, latin1)->attributes & AttrStream);
    ASSERT_NE(named(all, "line\nbreak"), nullptr);
    ASSERT_NE(named(all, " leading blank"), nullptr);
    EXPECT_TRUE(named(all, ".hidden")->attributes & AttrHidden);
    EXPECT_FALSE(named(all, "folder")->attributes & AttrHidden);

    const std::uint32_t dangling = named(all, "dangling")->attributes;
    EXPECT_TRUE(dangling & AttrLink);
    EXPECT_FALSE(dangling & AttrFolder);
    EXPECT_FALSE(named(all, "loop")->attributes & AttrFolder);
    const std::uint32_t toFolder = named(all, "to-folder")->attributes;
    EXPECT_TRUE((toFolder & AttrLink) && (toFolder & AttrFolder));

    EXPECT_EQ(children(*folder, EnumFolders).size(), 2u);
    EXPECT_EQ(children(*folder, EnumFolders | EnumNonFolders).size(), 7u);
}

TEST(ShellNamespace, ComparisonPutsFoldersFirstAndBreaksTiesByName)
{
    TempDir dir;
    dir.writeFile("b10.txt", "1234");
    dir.writeFile("b9.txt", "1234");
    dir.writeFile("a.txt", "12345678");
    dir.makeFolder("z");
    const auto folder = ShellFolder::bind(idListFromPath(dir.path()));
    std::vector<Child> all = children(*folder);
    auto sortedBy = [&](int column) {
        std::sort(all.begin(), all.end(),
                  [&](const Child &a, const Child &b) { return folder->compare(column, a.id, b.id) < 0; });
        std::vector<std::string> names;
        for (const Child &child : all)
            names.push_back(child.name);
        return names;
    };
    EXPECT_EQ(sortedBy(0), (std::vector<std::string>{"z", "a.txt", "b9.txt", "b10.txt"}));
    EXPECT_EQ(sortedBy(1), (std::vector<std::string>{"z", "b9.txt", "b10.txt", "a.txt"}));

    // The keys that sorting compares first agree with the comparison wherever they differ, one
    // by one and all at once.
    std::vector<ItemElement> elements;
    for (const Child &child : all)
        elements.push_back(child.id.firstElement());
    for (int column = 0; column < 4; ++column) {
        const std::vector<SortKey> keys = folder->sortKeys(column, elements);
        for (std::size_t x = 0; x < all.size(); ++x) {
            for (std::size_t y = 0; y < all.size(); ++y) {
                if (keys[x] < keys[y]) {
                    EXPECT_LT(folder->compare(column, all[x].id, all[y].id), 0) << column << ' ' << all[x].name << ' ' << all[y].name;
                }
            }
        }
        for (const Child &x : all) {
            for (const Child &y : all) {
                const SortKey keyX = folder->sortKey(column, x.id.firstElement());
                const SortKey keyY = folder->sortKey(column, y.id.firstElement());
                if (keyX < keyY) {
                    EXPECT_LT(folder->compare(column, x.id, y.id), 0) << column << ' ' << x.name << ' ' << y.name;
                }
            }
        }
    }
}

TEST(ShellNamespace, KeysOfTheTypeColumnGiveTheOrderOfTheComparison)
{
    TempDir dir;
    for (const char *name : {"b.png", "a.txt", "c.jpg", "a.png", "README", "d.TXT", ".hidden", "x.unknownext"})
        dir.writeFile(name);
    dir.makeFolder("folder");
    dir.makeFolder("dir.png");
    const auto folder = ShellFolder::bind(idListFromPath(dir.path()));
    std::vector<Child> all = children(*folder);
    std::vector<ItemElement> elements;
    for (const Child &child : all)
        elements.push_back(child.id.firstElement());
    const std::vector<SortKey> keys = folder->sortKeys(2, elements);

    std::vector<std::size_t> byKeys(all.size());
    for (std::size_t i = 0; i < byKeys.size(); ++i)
        byKeys[i] = i;
    std::vector<std::size_t> byCompare = byKeys;
    std::sort(byKeys.begin(), byKeys.end(), [&](std::size_t a, std::size_t b) {
        return keys[a] != keys[b] ? keys[a] < keys[b] : folder->compare(2, all[a].id, all[b].id) < 0;
    });
    std::sort(byCompare.begin(), byCompare.end(),
              [&](std::size_t a, std::size_t b) { return folder->compare(2, all[a].id, all[b].id) < 0; });
    EXPECT_EQ(byKeys, byCompare);
}

TEST(ShellNamespace, RenameNeverReplacesAnExistingItem)
{
    TempDir dir;
    dir.writeFile("old", "mine");
    dir.writeFile("taken", "theirs");
    const auto folder = ShellFolder::bind(idListFromPath(dir.path()));
    const std::vector<Child> all = children(*folder);
    const ItemIdList old = named(all, "old")->id;

    try {
        folder->rename(old, "taken");
        FAIL() << "no error raised";
    } catch (const ShellError &error) {
        EXPECT_EQ(error.code(), EEXIST);
    }
    EXPECT_EQ(nomaro::test::readFile(dir.pathOf("taken")), "theirs");

    for (const char *bad : {"", ".", "..", "a/b"})
        EXPECT_THROW(folder->rename(old, bad), ShellError) << bad;

    const ItemIdList renamed = folder->rename(old, "new");
    EXPECT_EQ(renamed.firstElement().name, "new");
    EXPECT_EQ(nomaro::test::readFile(dir.pathOf("new")), "mine");
    EXPECT_FALSE(nomaro::test::exists(dir.pathOf("old")));
}

TEST(ShellNamespace, RenameOntoAnotherSpellingThatIsASecondHardLinkKeepsBothLinks)
{
    TempDir dir;
    dir.writeFile("foto.jpg", "pixels");
    ASSERT_EQ(::link(dir.pathOf("foto.jpg").c_str(), dir.pathOf("FOTO.JPG").c_str()), 0);
    const auto folder = ShellFolder::bind(idListFromPath(dir.path()));
    const ItemIdList old = named(children(*folder), "foto.jpg")->id;

    EXPECT_THROW(folder->rename(old, "FOTO.JPG"), ShellError);
    EXPECT_TRUE(nomaro::test::exists(dir.pathOf("foto.jpg")));
    EXPECT_TRUE(nomaro::test::exists(dir.pathOf("FOTO.JPG")));
}
