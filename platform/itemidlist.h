#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nomaro::platform {

// What one element of an identifier list stands for.
enum class ElementType : std::uint8_t {
    Entry = 1,    // a file-system entry, by its name within its parent folder
    Root = 2,     // a file-system folder hung under a virtual folder, by its absolute path
    Computer = 3, // the virtual folder listing the drives
};

// Kind bits of an element, taken when the element was made.
enum ElementFlag : std::uint8_t {
    ElementDirectory = 0x01,
    ElementSymlink = 0x02,
    ElementLinkToDirectory = 0x04, // a symbolic link whose target is a directory
    ElementRegular = 0x08,
    ElementHome = 0x10,    // Root: the user's home folder
    ElementDesktop = 0x20, // Root: the user's desktop folder
    ElementDrive = 0x40,   // Root: a mount point
    ElementStatKnown = 0x80, // size and time were read from the entry
};

// One element, decoded. `name` points into the list it was read from.
struct ItemElement
{
    ElementType type = ElementType::Entry;
    std::uint8_t flags = 0;
    std::uint64_t size = 0;
    std::int64_t mtimeSeconds = 0; // the last write, or the last change where no write time is kept
    std::uint32_t mtimeNanoseconds = 0;
    std::string_view name; // Entry: the name bytes; Root: the absolute path; Computer: empty

    bool isDirectory() const { return flags & (ElementDirectory | ElementLinkToDirectory); }
};

// An item identifier list: elements, each a 16-bit little-endian length (counting itself)
// followed by its payload, then a 2-byte zero terminator. The empty list (terminator alone)
// designates the desktop, the root of the namespace. A list relative to a folder holds one
// element; an absolute list holds the whole way down from the desktop.
class ItemIdList
{
public:
    ItemIdList();

    // Checks the element lengths and the terminator; nullopt for bytes that are no list.
    static std::optional<ItemIdList> fromBytes(std::string_view bytes);
    // A one-element list. Nullopt when the element would not fit in 16 bits of length.
    static std::optional<ItemIdList> single(const ItemElement &element);

    // The whole list with its terminator.
    const std::string &bytes() const { return m_bytes; }
    bool isDesktop() const { return m_bytes.size() <= 2; }
    int count() const;

    // Element `index`; walks the list from its start, so a loop over all elements uses elements().
    ItemElement element(int index) const;
    // Every element in order, read in one pass.
    std::vector<ItemElement> elements() const;
    ItemElement firstElement() const { return decodeFirst(m_bytes); }
    // The first element of a list's bytes (a valid list); sorting uses it to reach the bytes
    // without going through the object that holds them.
    static ItemElement decodeFirst(std::string_view bytes);
    ItemElement lastElement() const;

    // The first `n` elements (all of them when n >= count()).
    ItemIdList first(int n) const;
    // The last element alone.
    ItemIdList last() const;
    // This list followed by the elements of `relative`.
    ItemIdList operator+(const ItemIdList &relative) const;

    // Byte-for-byte equality: an entry whose size or time changed differs from its old list.
    bool operator==(const ItemIdList &other) const = default;

private:
    explicit ItemIdList(std::string bytes) : m_bytes(std::move(bytes)) {}

    std::string m_bytes;
};

// Whether two absolute lists designate the same item, regardless of the sizes and times that
// their elements carry.
bool sameItem(const ItemIdList &a, const ItemIdList &b);

} // namespace nomaro::platform
