#include "browser/shelltreemodel.h"

#include <QScopedValueRollback>
#include <algorithm>
#include <unordered_set>

#include "browser/foldermerge.h"
#include "browser/pidllist.h"
#include "browser/shellicons.h"
#include "platform/hourglass.h"
#include "platform/shell_error.h"

namespace nomaro {

namespace {

constexpr ShellTreeOptions kDefaultOptions = kDefaultTreeOptions;

// The folder's column-0 order, a failed comparison counting as equal, read as the low 16 bits
// of the answer taken as a signed number.
int treeOrder(const platform::ShellFolder &folder, const platform::ItemIdList &a, const platform::ItemIdList &b)
{
    try {
        return static_cast<std::int16_t>(folder.compare(0, a, b) & 0xFFFF);
    } catch (const platform::ShellError &) {
        return 0;
    }
}

// A node stands for a folder by its name and kind: a folder whose size or time changed (a child
// came or went) is still the same node, with what lies below it kept.
platform::ItemIdList nodeIdentity(const platform::ItemIdList &relative)
{
    platform::ItemElement element = relative.firstElement();
    element.size = 0;
    element.mtimeSeconds = 0;
    element.mtimeNanoseconds = 0;
    element.flags &= ~platform::ElementStatKnown;
    return platform::ItemIdList::single(element).value_or(relative);
}

} // namespace

ShellTreeModel::ShellTreeModel(QObject *parent)
    : QAbstractItemModel(parent), m_options(kDefaultOptions)
{
}

ShellTreeModel::~ShellTreeModel() = default;

ShellTreeNodeData *ShellTreeModel::nodeOf(const QModelIndex &index)
{
    return static_cast<ShellTreeNodeData *>(index.internalPointer());
}

QModelIndex ShellTreeModel::indexOf(const ShellTreeNodeData *node) const
{
    if (!node)
        return {};
    return createIndex(node->row, 0, const_cast<ShellTreeNodeData *>(node));
}

QModelIndex ShellTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row == 0 && m_top ? indexOf(m_top.get()) : QModelIndex();
    const ShellTreeNodeData *node = nodeOf(parent);
    if (row >= static_cast<int>(node->children.size()))
        return {};
    return indexOf(node->children[row].get());
}

QModelIndex ShellTreeModel::parent(const QModelIndex &child) const
{
    if (!child.isValid())
        return {};
    return indexOf(nodeOf(child)->parent());
}

int ShellTreeModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return m_top ? 1 : 0;
    return static_cast<int>(nodeOf(parent)->children.size());
}

int ShellTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

bool ShellTreeModel::hasChildren(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return m_top != nullptr;
    const ShellTreeNodeData *node = nodeOf(parent);
    return !node->children.empty() || node->hasButton;
}

QVariant ShellTreeModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const ShellTreeNodeData *node = nodeOf(index);
    switch (role) {
    case Qt::DisplayRole:
        return node->caption;
    case Qt::EditRole: {
        const std::unique_ptr<platform::ShellFolder> holder = node->bindParentFolder();
        return holder ? QString::fromStdString(holder->displayName(node->relativeId(), platform::DisplayNameKind::ForEditing))
                      : node->caption;
    }
    case Qt::ForegroundRole:
        if (node->attributes() & platform::AttrHidden)
            return m_ghosted;
        return {};
    case Qt::DecorationRole:
        return shellIcon(node->iconName, node->attributes() & platform::AttrHidden,
                         node->attributes() & platform::AttrLink);
    default:
        return {};
    }
}

Qt::ItemFlags ShellTreeModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // Whether the item can be renamed is asked when an editor is about to open.
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool ShellTreeModel::canFetchMore(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return false;
    const ShellTreeNodeData *node = nodeOf(parent);
    // Nothing is read while a change is being announced: a view that asked for more from inside
    // the announcement would start a second change before the first one is complete.
    return !m_announcing && !node->filled && node->hasButton && !node->leadsBackUp;
}

void ShellTreeModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    const platform::HourglassGuard hourglass;
    fill(*nodeOf(parent));
}

unsigned ShellTreeModel::enumFlags() const
{
    unsigned flags = platform::EnumFolders;
    if (hasOption(stoIncludeNonFolders))
        flags |= platform::EnumNonFolders;
    if (hasOption(stoShowHidden))
        flags |= platform::EnumHidden;
    return flags;
}

FolderListing::Acceptance ShellTreeModel::acceptance() const
{
    FolderListing::Acceptance acceptance;
    acceptance.nonFilesystemAncestors = hasOption(stoVirtualFolders);
    acceptance.onAddItem = onAddItem;
    return acceptance;
}

void ShellTreeModel::clear()
{
    const QScopedValueRollback announcing(m_announcing, true);
    beginResetModel();
    if (m_top)
        leaving(*m_top);
    m_top.reset();
    endResetModel();
}

void ShellTreeModel::fillTop(const platform::ItemIdList &base)
{
    clear();
    platform::ShellFolder::bind(base); // raises the platform's error for the base folder
    auto top = std::make_unique<ShellTreeNodeData>(base);
    const std::unique_ptr<platform::ShellFolder> holder = top->bindParentFolder();
    if (holder) {
        top->caption = QString::fromStdString(holder->displayName(top->relativeId(), platform::DisplayNameKind::InFolder));
        top->iconName = holder->iconName(top->relativeId());
    } else {
        // The desktop has no name of its own within a parent; its node still needs a caption.
        top->caption = QStringLiteral("Scrivania");
        top->iconName = "user-desktop";
    }
    top->hasButton = true;
    {
        const QScopedValueRollback announcing(m_announcing, true);
        beginInsertRows({}, 0, 0);
        m_top = std::move(top);
        endInsertRows();
    }
    inserted(*m_top);
    fill(*m_top);
}

std::unique_ptr<ShellTreeNodeData> ShellTreeModel::makeChild(ShellTreeNodeData &node, const platform::ShellFolder &folder,
                                                             TreeChild child)
{
    auto made = std::make_unique<ShellTreeNodeData>(&node, std::move(child.id), child.attributes);
    made->caption = QString::fromStdString(folder.displayName(made->relativeId(), platform::DisplayNameKind::InFolder));
    made->iconName = folder.iconName(made->relativeId());
    made->hasButton = buttonFor(child);
    made->leadsBackUp = child.leadsBackUp;
    return made;
}

bool ShellTreeModel::buttonFor(const TreeChild &child) const
{
    const bool isFolder = child.attributes & platform::AttrFolder;
    return hasOption(stoIncludeNonFolders) ? (isFolder || child.hasSubfolders) : (isFolder && child.hasSubfolders);
}

bool ShellTreeModel::fill(ShellTreeNodeData &node)
{
    if (node.filled)
        return true;
    const std::unique_ptr<platform::ShellFolder> bound = node.bindFolder();
    std::optional<std::vector<TreeChild>> reading;
    if (bound)
        reading = readTreeChildren(*bound, TreeReadingRequest{enumFlags()});
    if (!reading)
        return false;
    const platform::ShellFolder *folder = bound.get();

    node.filled = true;
    if (!node.children.empty()) {
        // Show-folder added a child to this folder when it could not be read: the other children
        // go to their sorted places around it.
        for (TreeChild &child : *reading) {
            if (!childMatching(node, *folder, child.id))
                insertChild(node, *folder, std::move(child));
        }
        if (onNodeFilled)
            onNodeFilled(node);
        return true;
    }

    const FolderListing::Acceptance accept = acceptance();
    std::vector<std::unique_ptr<ShellTreeNodeData>> made;
    made.reserve(reading->size());
    for (TreeChild &child : *reading) {
        if (m_listing.accepts(*folder, child.id, child.attributes, accept))
            made.push_back(makeChild(node, *folder, std::move(child)));
    }
    std::stable_sort(made.begin(), made.end(), [folder](const auto &a, const auto &b) {
        return treeOrder(*folder, a->relativeId(), b->relativeId()) < 0;
    });

    if (!made.empty()) {
        {
            const QScopedValueRollback announcing(m_announcing, true);
            beginInsertRows(indexOf(&node), 0, static_cast<int>(made.size()) - 1);
            node.children = std::move(made);
            renumber(node, 0);
            endInsertRows();
        }
        for (std::size_t row = 0; row < node.children.size(); ++row)
            inserted(*node.children[row]);
    } else {
        showsButton(node, false);
    }
    if (onNodeFilled)
        onNodeFilled(node);
    return true;
}

void ShellTreeModel::showsButton(ShellTreeNodeData &node, bool button)
{
    if (node.hasButton == button)
        return;
    node.hasButton = button;
    const QModelIndex index = indexOf(&node);
    Q_EMIT dataChanged(index, index);
}

void ShellTreeModel::inserted(ShellTreeNodeData &node) const
{
    if (onNodeInserted)
        onNodeInserted(node);
}

ShellTreeNodeData *ShellTreeModel::findChild(const ShellTreeNodeData &node, const platform::ItemIdList &relative) const
{
    const std::unique_ptr<platform::ShellFolder> folder = node.bindFolder();
    return folder ? childMatching(node, *folder, relative) : nullptr;
}

ShellTreeNodeData *ShellTreeModel::childMatching(const ShellTreeNodeData &node, const platform::ShellFolder &folder,
                                                 const platform::ItemIdList &relative)
{
    for (const std::unique_ptr<ShellTreeNodeData> &child : node.children) {
        if (treeOrder(folder, child->relativeId(), relative) == 0)
            return child.get();
    }
    return nullptr;
}

ShellTreeNodeData *ShellTreeModel::addChild(ShellTreeNodeData &node, const platform::ItemIdList &relative)
{
    const std::unique_ptr<platform::ShellFolder> folder = node.bindFolder();
    if (!folder)
        return nullptr;
    return insertChild(node, *folder, describeTreeChild(*folder, relative, enumFlags()));
}

ShellTreeNodeData *ShellTreeModel::insertChild(ShellTreeNodeData &node, const platform::ShellFolder &folder, TreeChild child)
{
    if (!m_listing.accepts(folder, child.id, child.attributes, acceptance()))
        return nullptr;
    std::unique_ptr<ShellTreeNodeData> made = makeChild(node, folder, std::move(child));
    const auto at = std::upper_bound(node.children.begin(), node.children.end(), made, [&folder](const auto &a, const auto &b) {
        return treeOrder(folder, a->relativeId(), b->relativeId()) < 0;
    });
    const int row = static_cast<int>(at - node.children.begin());
    ShellTreeNodeData *added = made.get();
    {
        const QScopedValueRollback announcing(m_announcing, true);
        beginInsertRows(indexOf(&node), row, row);
        node.children.insert(node.children.begin() + row, std::move(made));
        renumber(node, row);
        endInsertRows();
    }
    showsButton(node, true);
    inserted(*added);
    return added;
}

void ShellTreeModel::update(ShellTreeNodeData &node)
{
    const bool wasFilled = node.filled && !node.leadsBackUp;
    const std::unique_ptr<platform::ShellFolder> bound = wasFilled ? node.bindFolder() : nullptr;
    if (!bound)
        return;
    const platform::ShellFolder *folder = bound.get();
    std::optional<std::vector<TreeChild>> reading = readTreeChildren(*folder, TreeReadingRequest{enumFlags()});
    if (reading) {
        PidlList snapshot(folder);
        snapshot.reserve(node.children.size());
        for (const std::unique_ptr<ShellTreeNodeData> &child : node.children)
            snapshot.add(nodeIdentity(child->relativeId()), static_cast<std::size_t>(child->row));
        snapshot.sort();
        PidlList fresh(folder);
        fresh.reserve(reading->size());
        for (std::size_t i = 0; i < reading->size(); ++i)
            fresh.add(nodeIdentity((*reading)[i].id), i);
        const FolderMerge merge = mergeFolder(snapshot, std::move(fresh));

        // Vanished rows go back to front, a run of neighbours at a time.
        for (auto it = merge.vanished.rbegin(); it != merge.vanished.rend();) {
            const int last = static_cast<int>(*it);
            int first = last;
            for (++it; it != merge.vanished.rend() && static_cast<int>(*it) == first - 1; ++it)
                --first;
            removeChildren(node, first, last);
        }
        // The new identities come in the reading's order; each leads back to the child read,
        // which the reading has described already. The leaves are looked at before the new
        // children take their children out of the reading.
        showNewSubfolders(node, *reading);
        std::size_t next = 0;
        for (const platform::ItemIdList &identity : merge.added) {
            while (next < reading->size() && nodeIdentity((*reading)[next].id) != identity)
                ++next;
            if (next < reading->size())
                insertChild(node, *folder, std::move((*reading)[next++]));
        }
    }
    for (std::size_t i = 0; i < node.children.size(); ++i)
        update(*node.children[i]);
}

void ShellTreeModel::showNewSubfolders(ShellTreeNodeData &node, const std::vector<TreeChild> &reading)
{
    // A folder without subfolders is neither read nor watched, so no notice tells when one is
    // made in it; its parent's reading does, and gives it its button.
    std::vector<ShellTreeNodeData *> leaves;
    for (const std::unique_ptr<ShellTreeNodeData> &child : node.children) {
        if (!child->filled && !child->hasButton && !child->leadsBackUp)
            leaves.push_back(child.get());
    }
    if (leaves.empty())
        return;
    std::vector<std::pair<std::string, std::size_t>> read;
    read.reserve(reading.size());
    for (std::size_t i = 0; i < reading.size(); ++i)
        read.emplace_back(nodeIdentity(reading[i].id).bytes(), i);
    std::sort(read.begin(), read.end());
    for (ShellTreeNodeData *leaf : leaves) {
        const std::string identity = nodeIdentity(leaf->relativeId()).bytes();
        const auto found = std::lower_bound(read.begin(), read.end(), std::make_pair(identity, std::size_t{0}));
        if (found != read.end() && found->first == identity)
            showsButton(*leaf, buttonFor(reading[found->second]));
    }
}

void ShellTreeModel::rename(ShellTreeNodeData &node, const std::string &name)
{
    const std::unique_ptr<platform::ShellFolder> holder = node.bindParentFolder();
    if (!holder || node.isTop())
        throw platform::ShellError(EPERM, node.caption.toStdString());
    platform::ItemIdList renamed = holder->rename(node.relativeId(), name);
    node.setRelativeId(std::move(renamed));
    node.caption = QString::fromStdString(holder->displayName(node.relativeId(), platform::DisplayNameKind::InFolder));
    const QModelIndex index = indexOf(&node);
    Q_EMIT dataChanged(index, index);
}

void ShellTreeModel::renumber(ShellTreeNodeData &node, int from) const
{
    for (int row = from; row < static_cast<int>(node.children.size()); ++row)
        node.children[row]->row = row;
}

void ShellTreeModel::removeChildren(ShellTreeNodeData &node, int first, int last)
{
    const QScopedValueRollback announcing(m_announcing, true);
    beginRemoveRows(indexOf(&node), first, last);
    for (int row = first; row <= last; ++row)
        leaving(*node.children[row]);
    node.children.erase(node.children.begin() + first, node.children.begin() + last + 1);
    renumber(node, first);
    endRemoveRows();
}

void ShellTreeModel::leaving(ShellTreeNodeData &node)
{
    for (const std::unique_ptr<ShellTreeNodeData> &child : node.children)
        leaving(*child);
    if (onNodeLeaving)
        onNodeLeaving(node);
}

std::string ShellTreeModel::consistencyProblem() const
{
    if (!m_top)
        return persistentIndexList().isEmpty() ? std::string() : "a persistent index outlives the nodes";
    std::unordered_set<const ShellTreeNodeData *> nodes;
    std::vector<const ShellTreeNodeData *> pending{m_top.get()};
    if (m_top->row != 0)
        return "the top node says it is in row " + std::to_string(m_top->row);
    while (!pending.empty()) {
        const ShellTreeNodeData *node = pending.back();
        pending.pop_back();
        nodes.insert(node);
        const std::string name = node->caption.toStdString();
        if (node->children.empty())
            continue;
        if (!node->hasButton)
            return "\"" + name + "\" has children but no button";
        if (node->leadsBackUp)
            return "\"" + name + "\" leads back up but has children";
        const std::unique_ptr<platform::ShellFolder> folder = node->bindFolder();
        for (std::size_t row = 0; row < node->children.size(); ++row) {
            const ShellTreeNodeData *child = node->children[row].get();
            if (child->parent() != node || child->row != static_cast<int>(row))
                return "\"" + child->caption.toStdString() + "\" under \"" + name + "\" names another parent or row";
            if (folder && row > 0) {
                const int order = treeOrder(*folder, node->children[row - 1]->relativeId(), child->relativeId());
                if (order == 0)
                    return "two children of \"" + name + "\" show the same item";
                if (order > 0)
                    return "the children of \"" + name + "\" are out of order at row " + std::to_string(row);
            }
            pending.push_back(child);
        }
    }
    for (const QModelIndex &index : persistentIndexList()) {
        if (!index.isValid())
            continue;
        const ShellTreeNodeData *node = nodeOf(index);
        if (!nodes.contains(node))
            return "a persistent index points at a node that has gone";
        if (node->row != index.row() || index.column() != 0)
            return "a persistent index to \"" + node->caption.toStdString() + "\" has a stale row";
    }
    return {};
}

} // namespace nomaro
