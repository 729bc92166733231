#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browser/foldermerge.h"
#include "browser/pidllist.h"
#include "platform/shell_namespace.h"

using nomaro::FolderMerge;
using nomaro::PidlList;
using nomaro::platform::ElementType;
using nomaro::platform::ItemElement;
using nomaro::platform::ItemIdList;

namespace {

// An entry "name" or "name:size".
ItemIdList entry(const std::string &text)
{
    ItemElement element;
    element.type = ElementType::Entry;
    const std::size_t colon = text.find(':');
    element.name = std::string_view(text).substr(0, colon);
    if (colon != std::string::npos)
        element.size = std::stoull(text.substr(colon + 1));
    return *ItemIdList::single(element);
}

std::vector<std::string> names(const std::vector<ItemIdList> &ids)
{
    std::vector<std::string> out;
    for (const ItemIdList &id : ids)
        out.emplace_back(id.firstElement().name);
    return out;
}

struct MergeCase
{
    const char *what;
    std::vector<std::string> shown;   // the rows, in row order
    std::vector<std::string> reading; // the folder read again, in its order
    std::vector<std::size_t> vanished;
    std::vector<std::string> added;
};

const std::vector<MergeCase> &mergeCases()
{
    static const std::vector<MergeCase> cases = {
        {"nothing changed", {"a", "b", "c"}, {"c", "a", "b"}, {}, {}},
        {"a file was created", {"a", "b"}, {"b", "new", "a"}, {}, {"new"}},
        {"a file was deleted", {"a", "b", "c"}, {"a", "c"}, {1}, {}},
        {"a file whose size changed is deleted and new", {"a:1", "b:2"}, {"a:1", "b:3"}, {1}, {"b"}},
        {"a burst keeps the reading's order", {"a", "b", "c", "d"}, {"z", "b", "y", "x"}, {0, 2, 3}, {"z", "y", "x"}},
        {"an empty folder shown filling", {}, {"b", "a"}, {}, {"b", "a"}},
        {"a folder emptied", {"b", "a"}, {}, {0, 1}, {}},
        {"an item read twice is new the second time", {"a"}, {"a", "a"}, {}, {"a"}},
        {"an item shown twice and read once leaves one row", {"a", "b", "a"}, {"b", "a"}, {2}, {}},
        {"a name that is the prefix of another is its own item", {"ab", "a"}, {"abc", "a"}, {0}, {"abc"}},
    };
    return cases;
}

// Under the byte-wise rule the rows may come as a sorted list, as an unsorted one or as the
// bytes where they lie; all three give the same merge.
enum class Shown { Sorted, Unsorted, Bytes };

FolderMerge merged(const MergeCase &c, Shown form)
{
    std::vector<ItemIdList> shown;
    for (const std::string &text : c.shown)
        shown.push_back(entry(text));
    std::vector<ItemIdList> reading;
    for (const std::string &text : c.reading)
        reading.push_back(entry(text));
    if (form == Shown::Bytes) {
        std::vector<std::string_view> bytes;
        for (const ItemIdList &id : shown)
            bytes.emplace_back(id.bytes());
        return nomaro::mergeFolder(bytes, std::move(reading));
    }
    PidlList snapshot(nullptr);
    for (std::size_t row = 0; row < shown.size(); ++row)
        snapshot.add(shown[row], row);
    if (form == Shown::Sorted)
        snapshot.sort();
    PidlList fresh(nullptr);
    for (ItemIdList &id : reading)
        fresh.add(std::move(id), 0);
    return nomaro::mergeFolder(snapshot, std::move(fresh));
}

} // namespace

TEST(FolderMerge, TellsWhichRowsVanishedAndWhichItemsAreNew)
{
    for (const Shown form : {Shown::Sorted, Shown::Unsorted, Shown::Bytes}) {
        for (const MergeCase &c : mergeCases()) {
            const FolderMerge merge = merged(c, form);
            EXPECT_EQ(merge.vanished, c.vanished) << c.what << " (form " << static_cast<int>(form) << ")";
            EXPECT_EQ(names(merge.added), c.added) << c.what << " (form " << static_cast<int>(form) << ")";
        }
    }
}

TEST(FolderMerge, ALargeFolderMergesAsAPlainScanWould)
{
    // Enough entries that the hash table's probes run into one another; every seventh row
    // vanished, every third one changed its size, and new names are spread through the reading.
    std::vector<std::string> shownText;
    std::vector<std::string> readText;
    std::vector<std::size_t> vanished;
    std::vector<std::string> added;
    for (int i = 0; i < 20000; ++i) {
        const std::string name = "Foto " + std::to_string(i) + ".jpg";
        shownText.push_back(name + ":" + std::to_string(i % 100));
        if (i % 7 == 0) {
            vanished.push_back(static_cast<std::size_t>(i));
            continue;
        }
        if (i % 3 == 0) {
            vanished.push_back(static_cast<std::size_t>(i));
            readText.push_back(name + ":" + std::to_string(i % 100 + 1));
            added.push_back(name);
        } else {
            readText.push_back(shownText.back());
        }
        if (i % 1000 == 0) {
            readText.push_back("Nuovo " + std::to_string(i));
            added.push_back("Nuovo " + std::to_string(i));
        }
    }
    const MergeCase c{"large", shownText, readText, vanished, added};
    for (const Shown form : {Shown::Sorted, Shown::Bytes}) {
        const FolderMerge merge = merged(c, form);
        EXPECT_EQ(merge.vanished, vanished);
        EXPECT_EQ(names(merge.added), added);
    }
}

TEST(FolderMerge, AVirtualFolderComparesByItsOwnRuleNotByBytes)
{
    // The desktop's home folder read twice is the same item even when its time changed between
    // the readings, since the desktop has no path and identity there is the folder's ordering.
    const auto desktop = nomaro::platform::ShellFolder::bind(ItemIdList());
    std::vector<ItemIdList> first;
    std::vector<ItemIdList> second;
    int error = 0;
    desktop->enumerate(nomaro::platform::EnumFolders, [&](ItemIdList &&child) { first.push_back(child); }, error);
    desktop->enumerate(nomaro::platform::EnumFolders, [&](ItemIdList &&child) {
        ItemElement element = child.firstElement();
        const std::string name(element.name);
        element.name = name;
        element.mtimeSeconds += 3600;
        second.push_back(*ItemIdList::single(element));
    }, error);
    ASSERT_FALSE(first.empty());
    ASSERT_NE(first.front(), second.front());

    PidlList snapshot(desktop.get());
    for (std::size_t i = 0; i < first.size(); ++i)
        snapshot.add(first[i], i);
    snapshot.sort();
    PidlList reading(desktop.get());
    for (ItemIdList &id : second)
        reading.add(std::move(id), 0);
    const FolderMerge merge = nomaro::mergeFolder(snapshot, std::move(reading));
    EXPECT_TRUE(merge.vanished.empty());
    EXPECT_TRUE(merge.added.empty());

    PidlList bytes(nullptr);
    EXPECT_NE(bytes.compare(first.front(), second.front()), 0) << "byte-wise the two differ";
}

TEST(PidlList, InAFileSystemFolderOrdersAndFindsByTheIdentifiersBytes)
{
    PidlList list(nullptr);
    const char *written[] = {"abc", "ab", "b", "abd", "a", "ab:1"};
    for (std::size_t i = 0; i < std::size(written); ++i)
        list.add(entry(written[i]), i);
    EXPECT_FALSE(list.isSorted());
    list.sort();
    for (std::size_t i = 1; i < list.size(); ++i)
        EXPECT_LT(list[i - 1].id.bytes(), list[i].id.bytes());
    EXPECT_EQ(list[static_cast<std::size_t>(list.find(entry("abd")))].tag, 3u);
    EXPECT_EQ(list[static_cast<std::size_t>(list.find(entry("ab:1")))].tag, 5u) << "the size is part of the identity";
    EXPECT_EQ(list.find(entry("abe")), -1);
    EXPECT_EQ(list.find(entry("a:7")), -1);
}
