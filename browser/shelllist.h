#pragma once

#include <QTreeView>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "browser/fileverbcommands.h"
#include "browser/shelldragdrop.h"
#include "browser/shelllistoptions.h"
#include "browser/shelllocator.h"
#include "platform/itemidlist.h"
#include "platform/locale_formats.h"

namespace nomaro::platform {
class ShellFolder;
}

namespace nomaro {

class FolderContext;
class FolderLister;
class ShellListItemData;
class ShellListModel;

// Where the header draws the sort arrow.
enum class HeaderSortDisplayMode { lvNone, lvLeftAlign, lvRightOfText, lvRightAlign };

// The folder list: the contents of one folder of the shell namespace in a report view. Row
// texts, types and icons are made when a row is drawn; the rows keep only compact item data.
// Its FolderLister reads, merges and watches the folder; the list shows the rows and forwards
// what the user asks for. Linked to a folder tree (see FolderPaneLink), its own navigation goes
// out as requests and the tree's choice comes back through showFolder.
class ShellList : public QTreeView
{
    Q_OBJECT

public:
    static constexpr ShellListOptions kDefaultOptions = sloAutoFill | sloNonFilesystemAncestors
        | sloDefaultKeyHandling | sloContextMenus | sloDynamicRefresh
        | sloOleDrag | sloOleDrop | sloFolderContextMenu | sloShowHidden
        | sloFilesCanBeFolders;
    static constexpr int kDefaultWidths[4] = {200, 60, 100, 120};

    explicit ShellList(QWidget *parent = nullptr);
    ~ShellList() override;

    // Rows and selection, in display order.
    int itemCount() const;
    int selectedCount() const;
    bool isItemSelected(int index) const;
    // The item's in-folder name as raw file-system bytes, from its item data.
    std::string itemName(int index) const;
    ShellListItemData *itemData(int index) const;
    void selectItem(int index, bool selected);
    void SelectAll();

    // The shown folder. Assigning copies the designation into the list's own locator.
    ShellLocator &Folder();
    const ShellLocator &Folder() const;
    void SetFolder(const ShellLocator &folder) { Folder().Assign(&folder); }
    // Designates a file-system folder by path (raising a ShellError when it does not exist).
    void setFolderPath(const std::string &path);

    ShellListOptions Options() const;
    bool hasOption(ShellListOption option) const { return Options().testFlag(option); }
    void SetOptions(ShellListOptions options);

    // The ";"-separated file masks; a different text refills the list at once.
    const std::string &FileFilter() const;
    void SetFileFilter(const std::string &mask);
    const std::vector<std::string> &masks() const;

    // Empties the list and reads the folder again. Does nothing before the list has a window.
    void Refresh();
    // Reads the folder again and merges: rows of vanished items go, new items are appended at
    // the end, nothing is sorted; the selection and the current row stay with their items.
    void UpdateItems();
    void GoUp(int levels);
    // Enters the selected folder or opens the selected items.
    void openSelection();

    // The signed, 1-based sort column: positive ascending, negative descending, 0 by caption.
    int sortKey() const { return m_sortKey; }
    void setSortKey(int key);
    // A click on a column header: the sort column again reverses, another sorts ascending.
    void columnClick(int column);

    HeaderSortDisplayMode headerSortDisplayMode() const { return m_headerSortDisplayMode; }
    void setHeaderSortDisplayMode(HeaderSortDisplayMode mode);

    // The form's settings.
    void setMultiSelect(bool multiSelect);
    void setHideSelection(bool hide);

    // Whether the folder gives the columns (details mode) or the list's own four are shown.
    bool isDetailsMode() const;

    // While linked, going up and entering a folder are asked of the tree (upRequested,
    // folderEntered), which answers through showFolder; a linked tree may show the file-system
    // folders itself (sloHideFoldersWhenLinkedToTree).
    void setLinkedToTree(bool linked);
    bool isLinkedToTree() const;
    // Shows the folder `absolute` (the tree's choice).
    void showFolder(const platform::ItemIdList &absolute);
    // Does a refresh that waits for its delay or was put off, at once.
    void flushPendingRefresh();

    // The rows and the context of the fill they came from (the folder shown, its formats), and
    // the lister that reads them.
    ShellListModel &rowModel() const { return *m_model; }
    FolderLister &lister() const { return *m_lister; }
    const FolderContext &folderContext() const;
    const platform::ShellFolder *boundFolder() const;
    const platform::ItemIdList &currentFolderId() const;
    const platform::LocaleFormats &localeFormats() const;
    const QString &shortTimeFormat() const;

    // Optional events; each receives the list first.
    std::function<void(ShellList *)> OnFillStart;
    std::function<void(ShellList *)> OnFillComplete;
    std::function<void(ShellList *, const platform::ShellFolder &parent, const platform::ItemIdList &parentId,
                       const platform::ItemIdList &relative, std::uint32_t attributes, bool &allow)>
        OnAddItem;
    std::function<void(ShellList *, int row, ShellListItemData &item)> OnDeleteItem;
    std::function<void(ShellList *)> OnFolderChanged;
    std::function<void(ShellList *, bool &handled)> OnDblClickOpen;

Q_SIGNALS:
    // The shown folder was designated anew (by any means); emitted before its rows are read.
    void shownFolderChanged(const nomaro::platform::ItemIdList &absolute);
    // The user entered a folder or went up while a tree is linked: the tree leads.
    void folderEntered(const nomaro::platform::ItemIdList &absolute);
    void upRequested(int levels);
    // The list is about to bring itself up to date or to open items: a linked tree does its own
    // waiting refresh first.
    void aboutToCatchUp();
    // A command changed folders that send no change notices.
    void unwatchedFolderChanged();
    void optionsChanged(nomaro::ShellListOptions options);

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    // "Apri", "Taglia", "Copia", "Incolla", "Rinomina", "Elimina" (shelllist_contextmenu.cpp).
    void contextMenuEvent(QContextMenuEvent *event) override;
    // Dragging rows out and dropping files in (shelllist_dragdrop.cpp).
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    // In-place rename (shelllist_rename.cpp).
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void commitData(QWidget *editor) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void setUpLister();
    // The key table (shelllist_commands.cpp); true when the key was one of its entries.
    bool runCommandKey(const QKeyEvent &event);
    // The file-system paths of the selected rows, in display order.
    std::vector<std::string> selectedPaths() const;
    // The verbs: to the clipboard, from it into the shown folder (never replacing an item), and
    // to the trash after a confirmation; the last two are followed by UpdateItems.
    void copySelection(bool cut);
    void pasteIntoFolder();
    void deleteSelection();
    // UpdateItems after a command that ran (the tree's too where no notice will tell it), then
    // the command's failures.
    void afterCommand(const CommandOutcome &outcome);
    // Drag and drop (shelllist_dragdrop.cpp): the folder row under `position`, else the shown
    // folder; the drag of the selected rows.
    std::string dropFolderAt(const QPoint &position) const;
    void dragSelection();
    // In-place rename: gives the row a new name, or shows why it cannot have it.
    void renameRow(int row, const QString &caption);

    bool hasWindow() const;
    bool hasFocusWithin() const;
    void removeAllRows();
    // After a full fill: the rows sorted, the first one current (not selected).
    void refilled();
    // Columns and sorting (shelllist_columns.cpp).
    void rebuildColumns(const platform::ShellFolder &folder);
    void saveColumnWidths() const;
    // The width a header section needs to show `caption` whole.
    int captionWidth(const QString &caption) const;
    void sortItems();
    void showSortIndicator();
    void enterFolder(const platform::ItemIdList &absolute);
    void openItems(const std::vector<ShellListItemData *> &items);

    ShellListModel *m_model = nullptr;
    FolderLister *m_lister = nullptr;

    bool m_rememberWidths = false;
    int m_sortKey = 1;
    HeaderSortDisplayMode m_headerSortDisplayMode = HeaderSortDisplayMode::lvRightOfText;
    bool m_windowShown = false;
    // The caption an editor committed, given to the rename once the editor has gone.
    std::optional<QString> m_committedCaption;
    std::optional<QPersistentModelIndex> m_editedRow; // while a caption is edited

    FileVerbCommands m_verbs{this};
    ShellDragDrop m_dragDrop{*this, [this](const QPoint &position) { return dropFolderAt(position); }};
};

} // namespace nomaro
