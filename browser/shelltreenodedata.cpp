#include "browser/shelltreenodedata.h"

#include "platform/shell_error.h"

namespace nomaro {

namespace {

std::unique_ptr<platform::ShellFolder> tryBind(const platform::ItemIdList &absolute)
{
    try {
        return platform::ShellFolder::bind(absolute);
    } catch (const platform::ShellError &) {
        return nullptr;
    }
}

} // namespace

ShellTreeNodeData::ShellTreeNodeData(const platform::ItemIdList &base)
    : m_relative(base.isDesktop() ? platform::ItemIdList() : base.last()), m_base(base)
{
}

ShellTreeNodeData::ShellTreeNodeData(ShellTreeNodeData *parent, platform::ItemIdList relative,
                                     std::uint32_t attributes)
    : m_parent(parent), m_relative(std::move(relative)), m_attributes(attributes)
{
}

platform::ItemIdList ShellTreeNodeData::absoluteId() const
{
    // Gathered bottom up, joined top down in one pass: joining at each level would copy the
    // growing identifier once per level.
    std::vector<const platform::ItemIdList *> parts;
    const ShellTreeNodeData *at = this;
    for (; at->m_parent; at = at->m_parent)
        parts.push_back(&at->m_relative);
    std::size_t size = at->m_base.bytes().size();
    for (const platform::ItemIdList *part : parts)
        size += part->bytes().size() - 2;
    std::string bytes;
    bytes.reserve(size);
    bytes.append(at->m_base.bytes(), 0, at->m_base.bytes().size() - 2);
    for (auto part = parts.rbegin(); part != parts.rend(); ++part)
        bytes.append((*part)->bytes(), 0, (*part)->bytes().size() - 2);
    bytes.append(2, '\0');
    return *platform::ItemIdList::fromBytes(bytes);
}

std::unique_ptr<platform::ShellFolder> ShellTreeNodeData::bindFolder() const
{
    return tryBind(absoluteId());
}

std::unique_ptr<platform::ShellFolder> ShellTreeNodeData::bindParentFolder() const
{
    if (m_parent)
        return m_parent->bindFolder();
    if (m_base.isDesktop())
        return nullptr;
    return tryBind(m_base.first(m_base.count() - 1));
}

bool ShellTreeNodeData::canRename() const
{
    // Asked when needed: it costs a look at the disk that a fill of many folders should not pay.
    const std::unique_ptr<platform::ShellFolder> holder = m_parent ? m_parent->bindFolder() : nullptr;
    return holder && (holder->attributes(m_relative, platform::AttrCanRename) & platform::AttrCanRename);
}

bool ShellTreeNodeData::isAtOrBelow(const ShellTreeNodeData *node) const
{
    for (const ShellTreeNodeData *at = this; at; at = at->m_parent) {
        if (at == node)
            return true;
    }
    return false;
}

} // namespace nomaro
