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
    : m_relative(base.isDesktop() ? platform::ItemIdList() : base.last()), m_absolute(base)
{
}

ShellTreeNodeData::ShellTreeNodeData(ShellTreeNodeData *parent, platform::ItemIdList relative,
                                     std::uint32_t attributes)
    : m_parent(parent), m_relative(std::move(relative)), m_attributes(attributes)
{
}

const platform::ItemIdList &ShellTreeNodeData::absoluteId() const
{
    if (!m_absolute)
        m_absolute = m_parent->absoluteId() + m_relative;
    return *m_absolute;
}

const platform::ShellFolder *ShellTreeNodeData::folder() const
{
    if (!m_folder)
        m_folder = tryBind(absoluteId());
    return m_folder.get();
}

const platform::ShellFolder *ShellTreeNodeData::parentFolder() const
{
    if (m_parent)
        return m_parent->folder();
    if (absoluteId().isDesktop())
        return nullptr;
    if (!m_topParentFolder)
        m_topParentFolder = tryBind(absoluteId().first(absoluteId().count() - 1));
    return m_topParentFolder.get();
}

bool ShellTreeNodeData::canRename() const
{
    // Asked when needed: it costs a look at the disk that a fill of many folders should not pay.
    const platform::ShellFolder *holder = m_parent ? m_parent->folder() : nullptr;
    return holder && (holder->attributes(m_relative, platform::AttrCanRename) & platform::AttrCanRename);
}

void ShellTreeNodeData::setRelativeId(platform::ItemIdList relative)
{
    m_relative = std::move(relative);
    dropCaches();
}

void ShellTreeNodeData::dropCaches()
{
    if (m_parent)
        m_absolute.reset();
    m_folder.reset();
    for (const std::unique_ptr<ShellTreeNodeData> &child : children)
        child->dropCaches();
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
