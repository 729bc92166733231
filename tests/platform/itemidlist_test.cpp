#include <gtest/gtest.h>

#include "platform/itemidlist.h"

using nomaro::platform::ElementType;
using nomaro::platform::ItemElement;
using nomaro::platform::ItemIdList;

namespace {

ItemIdList entry(std::string_view name, std::uint64_t size = 0, std::int64_t seconds = 0)
{
    ItemElement element;
    element.type = ElementType::Entry;
    element.name = name;
    element.size = size;
    element.mtimeSeconds = seconds;
    return *ItemIdList::single(element);
}

} // namespace

TEST(ItemIdList, EmptyListIsTheDesktopAndHoldsOnlyTheTerminator)
{
    const ItemIdList desktop;
    EXPECT_TRUE(desktop.isDesktop());
    EXPECT_EQ(desktop.count(), 0);
    EXPECT_EQ(desktop.bytes(), std::string(2, '\0'));
}

TEST(ItemIdList, ElementLengthCountsItselfAndTheListEndsInTwoZeroBytes)
{
    const ItemIdList one = entry("abc");
    const std::string &bytes = one.bytes();
    const int length = static_cast<unsigned char>(bytes[0]) | (static_cast<unsigned char>(bytes[1]) << 8);
    EXPECT_EQ(static_cast<std::size_t>(length) + 2, bytes.size());
    EXPECT_EQ(bytes.substr(bytes.size() - 2), std::string(2, '\0'));
}

TEST(ItemIdList, JoiningCuttingAndDecodingKeepEveryElement)
{
    const ItemIdList path = entry("a", 1, 10) + entry("bb", 2, 20) + entry("ccc", 3, 30);
    ASSERT_EQ(path.count(), 3);
    EXPECT_EQ(path.element(1).name, "bb");
    EXPECT_EQ(path.element(2).size, 3u);
    EXPECT_EQ(path.element(2).mtimeSeconds, 30);
    EXPECT_EQ(path.lastElement().name, "ccc");
    ASSERT_EQ(path.elements().size(), 3u);
    EXPECT_EQ(path.elements()[1].name, "bb");
    EXPECT_EQ(path.elements()[2].mtimeSeconds, 30);
    EXPECT_TRUE(ItemIdList().elements().empty());
    EXPECT_EQ(path.last(), entry("ccc", 3, 30));
    EXPECT_EQ(path.first(2), entry("a", 1, 10) + entry("bb", 2, 20));
    EXPECT_TRUE(path.first(0).isDesktop());
    EXPECT_EQ(path.first(7), path);
}

TEST(ItemIdList, NameBytesSurviveWhateverTheyHold)
{
    const std::string odd("caf\xe9\nwith\0nul", 14);
    EXPECT_EQ(entry(odd).firstElement().name, odd);
}

TEST(ItemIdList, ReadsBackItsOwnBytesAndRefusesDamagedOnes)
{
    const ItemIdList list = entry("x") + entry("yy");
    EXPECT_EQ(ItemIdList::fromBytes(list.bytes()), list);

    const std::string good = list.bytes();
    struct Case
    {
        const char *what;
        std::string bytes;
    };
    const Case cases[] = {
        {"nothing at all", std::string()},
        {"terminator cut short", good.substr(0, good.size() - 1)},
        {"terminator missing", good.substr(0, good.size() - 2)},
        {"bytes after the terminator", good + "z"},
        {"element longer than the list", std::string("\xff\x00", 2) + good.substr(2)},
        {"element shorter than its header", std::string("\x03\x00\x01\x00\x00", 5)},
        {"unknown element type", good.substr(0, 2) + std::string(1, '\x09') + good.substr(3)},
    };
    for (const Case &c : cases)
        EXPECT_FALSE(ItemIdList::fromBytes(c.bytes).has_value()) << c.what;
}

TEST(ItemIdList, SameItemIgnoresSizeAndTimeButBytesDoNot)
{
    const ItemIdList before = entry("a") + entry("file", 10, 100);
    const ItemIdList after = entry("a") + entry("file", 99, 200);
    EXPECT_TRUE(nomaro::platform::sameItem(before, after));
    EXPECT_NE(before, after);
    EXPECT_FALSE(nomaro::platform::sameItem(before, entry("a") + entry("other", 10, 100)));
    EXPECT_FALSE(nomaro::platform::sameItem(before, entry("a")));
}
