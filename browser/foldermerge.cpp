#include "browser/foldermerge.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace nomaro {
namespace {

// Which snapshot entries the reading still holds, and which identifiers of the reading the
// snapshot holds. Matched entries are marked rather than erased, so no list shifts.
struct Matches
{
    std::vector<bool> shown;
    std::vector<bool> read;
};

// The shown identifiers by a hash of their bytes: open addressing with linear probing, each
// slot holding the upper half of the hash beside the entry's index, so most probes that are no
// match are told apart without reaching the bytes.
class ShownByBytes
{
public:
    explicit ShownByBytes(const std::vector<std::string_view> &shown)
        : m_shown(shown)
        , m_matched(shown.size(), false)
    {
        const std::size_t capacity = std::bit_ceil(std::max<std::size_t>(16, 2 * shown.size()));
        m_slots.assign(capacity, kFree);
        m_mask = capacity - 1;
        for (std::size_t index = 0; index < shown.size(); ++index) {
            const std::uint64_t hash = hashOf(shown[index]);
            std::size_t at = hash & m_mask;
            while (m_slots[at] != kFree)
                at = (at + 1) & m_mask;
            m_slots[at] = (hash & kHashPart) | index;
        }
    }

    // Marks a shown entry with these bytes that no earlier call took; false when none is left.
    bool take(std::string_view bytes)
    {
        const std::uint64_t hash = hashOf(bytes);
        for (std::size_t at = hash & m_mask; m_slots[at] != kFree; at = (at + 1) & m_mask) {
            const std::uint64_t slot = m_slots[at];
            if ((slot & kHashPart) != (hash & kHashPart))
                continue;
            const std::size_t index = slot & kIndexPart;
            if (!m_matched[index] && m_shown[index] == bytes) {
                m_matched[index] = true;
                return true;
            }
        }
        return false;
    }

    std::vector<bool> matched() && { return std::move(m_matched); }

private:
    static constexpr std::uint64_t kIndexPart = 0xFFFFFFFFu;
    static constexpr std::uint64_t kHashPart = ~kIndexPart;
    static constexpr std::uint64_t kFree = ~std::uint64_t(0);

    // Eight bytes at a time, each word mixed in by a multiplication: identifiers are short and
    // differ mostly in their name and time, so this spreads them as well as a general hash at a
    // fraction of its cost.
    static std::uint64_t hashOf(std::string_view bytes)
    {
        constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15u;
        std::uint64_t hash = bytes.size() * kMultiplier;
        std::size_t at = 0;
        for (; at + 8 <= bytes.size(); at += 8) {
            std::uint64_t word;
            std::memcpy(&word, bytes.data() + at, 8);
            hash = (hash ^ word) * kMultiplier;
            hash ^= hash >> 29;
        }
        if (at < bytes.size()) {
            std::uint64_t word = 0;
            std::memcpy(&word, bytes.data() + at, bytes.size() - at);
            hash = (hash ^ word) * kMultiplier;
            hash ^= hash >> 29;
        }
        hash *= kMultiplier;
        return hash ^ (hash >> 32);
    }

    const std::vector<std::string_view> &m_shown;
    std::vector<bool> m_matched;
    std::vector<std::uint64_t> m_slots;
    std::size_t m_mask = 0;
};

// The reading is walked from its last identifier to its first, so of an item read twice the
// later reading is the known one, whichever way the snapshot is searched.
template <typename BytesOf>
Matches matchByBytes(const std::vector<std::string_view> &shown, std::size_t readCount, BytesOf bytesOf)
{
    ShownByBytes index(shown);
    std::vector<bool> known(readCount, false);
    for (std::size_t i = readCount; i-- > 0;)
        known[i] = index.take(bytesOf(i));
    return {std::move(index).matched(), std::move(known)};
}

Matches matchSorted(const PidlList &snapshot, const PidlList &reading)
{
    Matches matches{std::vector<bool>(snapshot.size(), false), std::vector<bool>(reading.size(), false)};
    for (std::size_t i = reading.size(); i-- > 0;) {
        const platform::ItemIdList &id = reading[i].id;
        for (std::size_t at = snapshot.lowerBound(id); at < snapshot.size() && snapshot.compare(snapshot[at].id, id) == 0;
             ++at) {
            if (!matches.shown[at]) {
                matches.shown[at] = true;
                matches.read[i] = true;
                break;
            }
        }
    }
    return matches;
}

template <typename TagOf, typename TakeId>
FolderMerge collect(const Matches &matches, TagOf tagOf, TakeId takeId)
{
    FolderMerge merge;
    for (std::size_t at = 0; at < matches.shown.size(); ++at) {
        if (!matches.shown[at])
            merge.vanished.push_back(tagOf(at));
    }
    std::sort(merge.vanished.begin(), merge.vanished.end());
    for (std::size_t i = 0; i < matches.read.size(); ++i) {
        if (!matches.read[i])
            merge.added.push_back(takeId(i));
    }
    return merge;
}

} // namespace

FolderMerge mergeFolder(const PidlList &snapshot, PidlList reading)
{
    const auto tagOf = [&snapshot](std::size_t at) { return snapshot[at].tag; };
    const auto takeId = [&reading](std::size_t i) { return std::move(reading[i].id); };
    if (!snapshot.isByteWise())
        return collect(matchSorted(snapshot, reading), tagOf, takeId);

    std::vector<std::string_view> shown;
    shown.reserve(snapshot.size());
    for (const PidlList::Entry &entry : snapshot.entries())
        shown.emplace_back(entry.id.bytes());
    const Matches matches = matchByBytes(shown, reading.size(), [&reading](std::size_t i) -> std::string_view {
        return reading[i].id.bytes();
    });
    return collect(matches, tagOf, takeId);
}

FolderMerge mergeFolder(const std::vector<std::string_view> &shown, std::vector<platform::ItemIdList> reading)
{
    const Matches matches = matchByBytes(shown, reading.size(), [&reading](std::size_t i) -> std::string_view {
        return reading[i].bytes();
    });
    return collect(matches, [](std::size_t at) { return at; }, [&reading](std::size_t i) { return std::move(reading[i]); });
}

} // namespace nomaro
