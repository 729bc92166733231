#include "browser/pidllist.h"

#include <algorithm>

#include "platform/shell_namespace.h"

namespace nomaro {

PidlList::PidlList(const platform::ShellFolder *folder)
    : m_byFolder(folder && folder->path().empty() ? folder : nullptr)
{
}

int PidlList::compare(const platform::ItemIdList &a, const platform::ItemIdList &b) const
{
    if (m_byFolder)
        return m_byFolder->compare(0, a, b);
    const int order = a.bytes().compare(b.bytes());
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

void PidlList::add(platform::ItemIdList id, std::size_t tag)
{
    m_entries.push_back({std::move(id), tag});
    m_sorted = m_entries.size() <= 1;
}

void PidlList::sort()
{
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [this](const Entry &a, const Entry &b) { return compare(a.id, b.id) < 0; });
    m_sorted = true;
}

std::size_t PidlList::lowerBound(const platform::ItemIdList &id) const
{
    const auto at = std::lower_bound(m_entries.begin(), m_entries.end(), id,
                                     [this](const Entry &entry, const platform::ItemIdList &key) {
                                         return compare(entry.id, key) < 0;
                                     });
    return static_cast<std::size_t>(at - m_entries.begin());
}

std::ptrdiff_t PidlList::find(const platform::ItemIdList &id) const
{
    const std::size_t at = lowerBound(id);
    if (at < m_entries.size() && compare(m_entries[at].id, id) == 0)
        return static_cast<std::ptrdiff_t>(at);
    return -1;
}

} // namespace nomaro
