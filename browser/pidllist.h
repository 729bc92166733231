#pragma once

// Relative identifiers of one folder, each with a tag that names the row (or tree node) it
// belongs to, which can be sorted and searched by binary search under the folder's identity
// rule. The incremental refresh of the tree keeps its snapshot of the nodes in one, and reads the
// folder again into another (see foldermerge.h).
//
// Identity: in a folder with a file-system path two identifiers are the same item when their
// bytes are equal (ordered byte by byte, a common prefix putting the shorter first); as an
// entry's identifier carries its size and time, a file that changed is another item. In a
// virtual folder the folder's own comparison of column 0 decides.

#include <cstddef>
#include <vector>

#include "platform/itemidlist.h"

namespace nomaro::platform {
class ShellFolder;
}

namespace nomaro {

class PidlList
{
public:
    struct Entry
    {
        platform::ItemIdList id;
        std::size_t tag = 0;
    };

    // Under the identity rule of `folder`; byte-wise when it is nullptr. The folder must outlive
    // the list.
    explicit PidlList(const platform::ShellFolder *folder);

    // <0, 0 or >0: the order of two identifiers under the identity rule; 0 means the same item.
    int compare(const platform::ItemIdList &a, const platform::ItemIdList &b) const;
    // Whether identity is the identifiers' bytes (a folder with a file-system path).
    bool isByteWise() const { return m_byFolder == nullptr; }

    void reserve(std::size_t count) { m_entries.reserve(count); }
    // Takes ownership of `id`; the list is unsorted afterwards.
    void add(platform::ItemIdList id, std::size_t tag);
    void sort();
    bool isSorted() const { return m_sorted; }

    // The index of an entry that is the same item as `id`, or -1. The list must be sorted.
    std::ptrdiff_t find(const platform::ItemIdList &id) const;
    // The first index whose entry is not before `id`. The list must be sorted.
    std::size_t lowerBound(const platform::ItemIdList &id) const;

    std::size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    const Entry &operator[](std::size_t index) const { return m_entries[index]; }
    Entry &operator[](std::size_t index) { return m_entries[index]; }
    const std::vector<Entry> &entries() const { return m_entries; }
    std::vector<Entry> &entries() { return m_entries; }

private:
    const platform::ShellFolder *m_byFolder; // nullptr: byte-wise
    std::vector<Entry> m_entries;
    bool m_sorted = true;
};

} // namespace nomaro
