#include "browser/shelllist.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QScopeGuard>
#include <algorithm>

#include "browser/changenoticecoalescer.h"
#include "browser/foldercontext.h"
#include "browser/folderlister.h"
#include "browser/shellerrorreport.h"
#include "browser/shelllistitemdata.h"
#include "browser/shelllistmodel.h"
#include "platform/entry_stat.h"
#include "platform/shell_namespace.h"
#include "widgets/messages.h"

namespace nomaro {
namespace {

// The request a list posts itself to fill once its window exists.
const QEvent::Type kDeferredFill = static_cast<QEvent::Type>(QEvent::registerEventType(QEvent::User + 0x467));

[[nodiscard]] auto holdUpdates(QWidget *widget)
{
    const bool wasEnabled = widget->updatesEnabled();
    widget->setUpdatesEnabled(false);
    return qScopeGuard([widget, wasEnabled] { widget->setUpdatesEnabled(wasEnabled); });
}

} // namespace

ShellList::ShellList(QWidget *parent)
    : QTreeView(parent)
    , m_model(new ShellListModel(this))
    , m_lister(new FolderLister(*m_model, this))
{
    m_model->setGhostedBrush(palette().brush(QPalette::Disabled, QPalette::Text));
    setModel(m_model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    // Captions are edited through F2 and the context menu only.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTextElideMode(Qt::ElideRight);
    header()->setStretchLastSection(false);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);
    showSortIndicator();
    connect(header(), &QHeaderView::sectionClicked, this,
            [this](int section) { reportShellErrors(this, [&] { columnClick(section); }); });

    setUpLister();
}

ShellList::~ShellList()
{
    // The lister's hooks reach this view; it goes first.
    delete std::exchange(m_lister, nullptr);
    if (hasWindow())
        saveColumnWidths();
}

void ShellList::setUpLister()
{
    FolderLister &lister = *m_lister;
    lister.canFill = [this] { return hasWindow(); };
    lister.hasFocus = [this] { return hasFocusWithin(); };
    lister.fillStarting = [this] {
        if (OnFillStart)
            OnFillStart(this);
    };
    lister.fillCompleted = [this] {
        if (OnFillComplete)
            OnFillComplete(this);
    };
    lister.folderBound = [this](const platform::ShellFolder &folder) { rebuildColumns(folder); };
    lister.refilled = [this] { refilled(); };
    lister.addItem = [this](const platform::ShellFolder &parent, const platform::ItemIdList &parentId,
                            const platform::ItemIdList &child, std::uint32_t attributes) {
        bool allow = true;
        if (OnAddItem)
            OnAddItem(this, parent, parentId, child, attributes, allow);
        return allow;
    };
    lister.rowLeaving = [this](int row, ShellListItemData &item) {
        if (OnDeleteItem)
            OnDeleteItem(this, row, item);
    };
    lister.addFailed = [this] { showError(this, QStringLiteral("Exception in AddNewShellItem")); };
    lister.reportError = [this](const platform::ShellError &error) { showShellError(this, error); };

    connect(&lister, &FolderLister::folderDesignated, this, [this] { Q_EMIT shownFolderChanged(Folder().IdList()); });
    connect(&lister, &FolderLister::folderChanged, this, [this] {
        if (OnFolderChanged)
            OnFolderChanged(this);
    });
    connect(&lister, &FolderLister::aboutToMerge, this, [this] { Q_EMIT aboutToCatchUp(); });
    lister.setOptions(kDefaultOptions);
}

bool ShellList::hasWindow() const
{
    return testAttribute(Qt::WA_WState_Created);
}

bool ShellList::hasFocusWithin() const
{
    // The caption editor's focus is the list's too.
    const QWidget *focused = QApplication::focusWidget();
    return focused && (focused == this || isAncestorOf(focused));
}

ShellLocator &ShellList::Folder()
{
    return m_lister->Folder();
}

const ShellLocator &ShellList::Folder() const
{
    return m_lister->Folder();
}

ShellListOptions ShellList::Options() const
{
    return m_lister->options();
}

const std::string &ShellList::FileFilter() const
{
    return m_lister->fileFilter();
}

const std::vector<std::string> &ShellList::masks() const
{
    return m_lister->masks();
}

bool ShellList::isDetailsMode() const
{
    return folderContext().isDetailsMode();
}

void ShellList::setLinkedToTree(bool linked)
{
    m_lister->setLinkedToTree(linked);
}

bool ShellList::isLinkedToTree() const
{
    return m_lister->isLinkedToTree();
}

void ShellList::showFolder(const platform::ItemIdList &absolute)
{
    // Called by the tree's signals: a folder that cannot be shown is reported here.
    reportShellErrors(this, [&] { Folder().SetIdList(absolute); });
}

void ShellList::flushPendingRefresh()
{
    m_lister->coalescer().refreshPendingNow();
}

int ShellList::itemCount() const
{
    return m_model->rowCount();
}

int ShellList::selectedCount() const
{
    return static_cast<int>(selectionModel()->selectedRows().size());
}

bool ShellList::isItemSelected(int index) const
{
    return index >= 0 && index < itemCount() && selectionModel()->isRowSelected(index, {});
}

std::string ShellList::itemName(int index) const
{
    const ShellListItemData *item = m_model->item(index);
    return item ? item->fileSystemName() : std::string();
}

ShellListItemData *ShellList::itemData(int index) const
{
    return m_model->item(index);
}

void ShellList::selectItem(int index, bool selected)
{
    if (index < 0 || index >= itemCount())
        return;
    selectionModel()->select(m_model->index(index, 0), (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect)
                                                           | QItemSelectionModel::Rows);
}

void ShellList::SelectAll()
{
    const auto held = holdUpdates(this);
    selectAll();
}

const FolderContext &ShellList::folderContext() const
{
    return m_model->context();
}

const platform::ShellFolder *ShellList::boundFolder() const
{
    return m_model->context().folder();
}

const platform::ItemIdList &ShellList::currentFolderId() const
{
    return m_model->context().folderId();
}

const platform::LocaleFormats &ShellList::localeFormats() const
{
    return m_model->context().formats();
}

const QString &ShellList::shortTimeFormat() const
{
    return m_model->context().shortTimeFormat();
}

void ShellList::setFolderPath(const std::string &path)
{
    Folder().SetIdList(platform::idListFromPath(path));
}

void ShellList::SetOptions(ShellListOptions options)
{
    const ShellListOptions changed = options ^ Options();
    {
        const auto held = holdUpdates(this);
        m_lister->setOptions(options);
    }
    if (hasWindow() && (changed & sloOleDrop))
        m_dragDrop.setDropsAccepted(hasOption(sloOleDrop));
    if (changed)
        Q_EMIT optionsChanged(options);
}

void ShellList::SetFileFilter(const std::string &mask)
{
    const auto held = holdUpdates(this);
    m_lister->setFileFilter(mask);
}

void ShellList::setMultiSelect(bool multiSelect)
{
    setSelectionMode(multiSelect ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

void ShellList::setHideSelection(bool hide)
{
    // A view shows its selection in the inactive colours when it loses the focus; to keep it
    // plainly visible those colours are the active ones.
    QPalette colours = palette();
    const QPalette standard = QApplication::palette(this);
    const QPalette::ColorGroup source = hide ? QPalette::Inactive : QPalette::Active;
    colours.setBrush(QPalette::Inactive, QPalette::Highlight, standard.brush(source, QPalette::Highlight));
    colours.setBrush(QPalette::Inactive, QPalette::HighlightedText, standard.brush(source, QPalette::HighlightedText));
    setPalette(colours);
}

void ShellList::Refresh()
{
    const auto held = holdUpdates(this);
    m_lister->refresh();
}

void ShellList::UpdateItems()
{
    const auto held = holdUpdates(this);
    m_lister->update();
}

void ShellList::refilled()
{
    sortItems();
    if (itemCount() > 0)
        selectionModel()->setCurrentIndex(m_model->index(0, 0), QItemSelectionModel::NoUpdate);
}

void ShellList::removeAllRows()
{
    const auto held = holdUpdates(this);
    m_model->clear(m_lister->rowLeaving);
}

void ShellList::GoUp(int levels)
{
    if (hasOption(sloDontChangeFolder))
        return;
    if (isLinkedToTree()) {
        Q_EMIT upRequested(levels);
        return;
    }
    const platform::ItemIdList &current = Folder().IdList();
    const int count = current.count();
    if (count == 0)
        return;
    Folder().SetIdList(current.first(std::max(0, count - levels)));
}

void ShellList::openSelection()
{
    Q_EMIT aboutToCatchUp();
    m_lister->coalescer().refreshPendingNow();

    std::vector<ShellListItemData *> selected;
    for (const QModelIndex &index : selectionModel()->selectedRows())
        selected.push_back(m_model->item(index.row()));
    if (selected.empty())
        return;
    if (selected.size() > 1) {
        openItems(selected);
        return;
    }

    ShellListItemData &item = *selected.front();
    if (item.isLink()) {
        // A link to a folder is entered at its target, so a link that leads back up never
        // builds an ever longer path.
        if (const std::optional<std::string> target = platform::resolvedFolder(item.path())) {
            enterFolder(platform::idListFromPath(*target));
            return;
        }
    } else if (item.isFolder()) {
        enterFolder(item.absoluteId());
        return;
    }
    openItems(selected);
}

void ShellList::enterFolder(const platform::ItemIdList &absolute)
{
    if (hasOption(sloDontChangeFolder))
        return;
    const platform::ItemIdList target = absolute;
    clearSelection();
    removeAllRows();
    if (isLinkedToTree())
        Q_EMIT folderEntered(target);
    else
        Folder().SetIdList(target);
}

void ShellList::openItems(const std::vector<ShellListItemData *> &items)
{
    bool handled = false;
    if (OnDblClickOpen)
        OnDblClickOpen(this, handled);
    if (handled)
        return;
    std::vector<std::string> paths;
    for (ShellListItemData *item : items) {
        if (std::string path = item->path(); !path.empty())
            paths.push_back(std::move(path));
    }
    m_verbs.open(paths);
}

bool ShellList::event(QEvent *event)
{
    if (event->type() == kDeferredFill) {
        if (itemCount() == 0)
            Refresh();
        return true;
    }
    return QTreeView::event(event);
}

void ShellList::showEvent(QShowEvent *event)
{
    QTreeView::showEvent(event);
    if (!m_windowShown) {
        m_windowShown = true;
        if (hasOption(sloOleDrop))
            m_dragDrop.setDropsAccepted(true);
        if (hasOption(sloAutoFill) && itemCount() == 0)
            QCoreApplication::postEvent(this, new QEvent(kDeferredFill));
    }
}

void ShellList::keyPressEvent(QKeyEvent *event)
{
    if (hasOption(sloDefaultKeyHandling) && state() != EditingState) {
        if (runCommandKey(*event))
            return;
        switch (event->key()) {
        case Qt::Key_Backspace:
            GoUp(1);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            openSelection();
            return;
        default:
            break;
        }
    }
    QTreeView::keyPressEvent(event);
}

void ShellList::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        m_model->setGhostedBrush(palette().brush(QPalette::Disabled, QPalette::Text));
    QTreeView::changeEvent(event);
}

void ShellList::focusInEvent(QFocusEvent *event)
{
    QTreeView::focusInEvent(event);
    // Reached by the keyboard with nothing selected, Enter would open nothing and type-ahead
    // would have no start; a click chooses its own row. The focus coming back with the window or
    // the page selects nothing: the rows the user chose may have gone meanwhile, and the row in
    // their place is not one the user chose.
    const Qt::FocusReason reason = event->reason();
    const bool byKeyboard = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
    if (!byKeyboard || itemCount() == 0 || selectionModel()->hasSelection())
        return;
    const QModelIndex current = currentIndex().isValid() ? currentIndex().siblingAtColumn(0) : m_model->index(0, 0);
    selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ShellList::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        openSelection();
        return;
    }
    QTreeView::mouseDoubleClickEvent(event);
}

} // namespace nomaro
