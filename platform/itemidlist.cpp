#include "platform/itemidlist.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace nomaro::platform {
namespace {

// Length, type, flags, size, seconds, nanoseconds; the name follows.
constexpr std::size_t kHeaderSize = 2 + 1 + 1 + 8 + 8 + 4;
constexpr std::size_t kMaxElement = 0xFFFF;

std::uint16_t readLength(const std::string &bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at])
                                      | (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

template <typename T>
T readValue(const char *at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

template <typename T>
void appendValue(std::string &out, T value)
{
    char raw[sizeof value];
    std::memcpy(raw, &value, sizeof value);
    out.append(raw, sizeof value);
}

// Offset of element `index`, or of the terminator when the list has fewer elements.
std::size_t offsetOf(const std::string &bytes, int index)
{
    std::size_t at = 0;
    for (int i = 0; i < index; ++i) {
        const std::uint16_t length = readLength(bytes, at);
        if (length == 0)
            break;
        at += length;
    }
    return at;
}

} // namespace

static_assert(std::endian::native == std::endian::little, "identifier lists are little-endian");

ItemIdList::ItemIdList()
    : m_bytes(2, '\0')
{
}

std::optional<ItemIdList> ItemIdList::fromBytes(std::string_view bytes)
{
    std::size_t at = 0;
    while (true) {
        if (bytes.size() - at < 2)
            return std::nullopt;
        const auto length = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at])
                                                       | (static_cast<unsigned char>(bytes[at + 1]) << 8));
        if (length == 0)
            break;
        if (length < kHeaderSize || length > bytes.size() - at)
            return std::nullopt;
        const auto type = static_cast<unsigned char>(bytes[at + 2]);
        if (type < 1 || type > 3)
            return std::nullopt;
        at += length;
    }
    if (at + 2 != bytes.size())
        return std::nullopt;
    return ItemIdList(std::string(bytes));
}

std::optional<ItemIdList> ItemIdList::single(const ItemElement &element)
{
    const std::size_t length = kHeaderSize + element.name.size();
    if (length > kMaxElement)
        return std::nullopt;
    std::string bytes;
    bytes.reserve(length + 2);
    appendValue(bytes, static_cast<std::uint16_t>(length));
    bytes.push_back(static_cast<char>(element.type));
    bytes.push_back(static_cast<char>(element.flags));
    appendValue(bytes, element.size);
    appendValue(bytes, element.mtimeSeconds);
    appendValue(bytes, element.mtimeNanoseconds);
    bytes.append(element.name);
    bytes.append(2, '\0');
    return ItemIdList(std::move(bytes));
}

int ItemIdList::count() const
{
    int n = 0;
    std::size_t at = 0;
    while (std::uint16_t length = readLength(m_bytes, at)) {
        at += length;
        ++n;
    }
    return n;
}

ItemElement ItemIdList::element(int index) const
{
    return decodeFirst(std::string_view(m_bytes).substr(offsetOf(m_bytes, index)));
}

std::vector<ItemElement> ItemIdList::elements() const
{
    std::vector<ItemElement> all;
    const std::string_view bytes(m_bytes);
    for (std::size_t at = 0; std::uint16_t length = readLength(m_bytes, at); at += length)
        all.push_back(decodeFirst(bytes.substr(at)));
    return all;
}

ItemElement ItemIdList::decodeFirst(std::string_view bytes)
{
    ItemElement element;
    if (bytes.size() < 2)
        return element;
    const char *p = bytes.data();
    const auto length = static_cast<std::uint16_t>(static_cast<unsigned char>(p[0]) | (static_cast<unsigned char>(p[1]) << 8));
    if (length < kHeaderSize)
        return element;
    element.type = static_cast<ElementType>(p[2]);
    element.flags = static_cast<std::uint8_t>(p[3]);
    element.size = readValue<std::uint64_t>(p + 4);
    element.mtimeSeconds = readValue<std::int64_t>(p + 12);
    element.mtimeNanoseconds = readValue<std::uint32_t>(p + 20);
    element.name = std::string_view(p + kHeaderSize, length - kHeaderSize);
    return element;
}

ItemElement ItemIdList::lastElement() const
{
    const int n = count();
    return n == 0 ? ItemElement{} : element(n - 1);
}

ItemIdList ItemIdList::first(int n) const
{
    const std::size_t end = offsetOf(m_bytes, n < 0 ? 0 : n);
    std::string bytes = m_bytes.substr(0, end);
    bytes.append(2, '\0');
    return ItemIdList(std::move(bytes));
}

ItemIdList ItemIdList::last() const
{
    const int n = count();
    if (n == 0)
        return {};
    const std::size_t at = offsetOf(m_bytes, n - 1);
    return ItemIdList(m_bytes.substr(at));
}

ItemIdList ItemIdList::operator+(const ItemIdList &relative) const
{
    std::string bytes;
    bytes.reserve(m_bytes.size() + relative.m_bytes.size() - 2);
    bytes.append(m_bytes, 0, m_bytes.size() - 2);
    bytes.append(relative.m_bytes);
    return ItemIdList(std::move(bytes));
}

bool sameItem(const ItemIdList &a, const ItemIdList &b)
{
    const std::vector<ItemElement> x = a.elements();
    const std::vector<ItemElement> y = b.elements();
    return std::equal(x.begin(), x.end(), y.begin(), y.end(), [](const ItemElement &p, const ItemElement &q) {
        return p.type == q.type && p.name == q.name;
    });
}

} // namespace nomaro::platform
