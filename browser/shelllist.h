#pragma once

#include <QTreeView>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "browser/fileverbcommands.h"
#include "browser/folderlisting.h"
#include "browser/shelldragdrop.h"
#include "browser/shelllistoptions.h"
#include "browser/shelllocator.h"
#include "platform/itemidlist.h"
#include "platform/locale_formats.h"

namespace nomaro::platform {
class ShellFolder;
}

namespace nomaro {

class ChangeHandlerThread;
class ChangeNoticeCoalescer;
class FolderContext;
class ShellListItemData;
class ShellListModel;

// Where the header draws the sort arrow.
enum class HeaderSortDisplayMode { lvNone, lvLeftAlign, lvRightOfText, lvRightAlign };

// What the folder list asks of a folder tree linked to it: the tree then leads, and the list
// follows the tree's selection.
class ShellListTreeLink
{
public:
    virtual ~ShellListTreeLink() = default;
    // Show the same folder as the list.
    virtual void showFolder(const ShellLocator &folder) = 0;
    // Move the selection up by `levels` folders.
    virtual void goUp(int levels) = 0;
    // Select the folder designated by `absolute`, which the list then shows.
    virtual void selectFolder(const platform::ItemIdList &absolute) = 0;
    // Carry out a refresh that the tree has put off.
    virtual void doPendingRefresh() = 0;
    // Bring the tree up to date after a command of the list changed folders that send no
    // change notices.
    virtual void refreshAfterCommand() = 0;
};

// The folder list: the contents of one folder of the shell namespace in a report view. Row
// texts, types and icons are made when a row is drawn; the rows keep only compact item data.
class ShellList : public QTreeView
{
    Q_OBJECT

public:
    static constexpr ShellListOptions kDefaultOptions = optionBit(sloAutoFill) | optionBit(sloNonFilesystemAncestors)
        | optionBit(sloDefaultKeyHandling) | optionBit(sloContextMenus) | optionBit(sloDynamicRefresh)
        | optionBit(sloOleDrag) | optionBit(sloOleDrop) | optionBit(sloFolderContextMenu) | optionBit(sloShowHidden)
        | optionBit(sloFilesCanBeFolders);
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
    ShellLocator &Folder() { return m_folder; }
    const ShellLocator &Folder() const { return m_folder; }
    void SetFolder(const ShellLocator &folder) { m_folder.Assign(&folder); }
    // Designates a file-system folder by path (raising a ShellError when it does not exist).
    void setFolderPath(const std::string &path);

    ShellListOptions Options() const { return m_options; }
    bool hasOption(ShellListOption option) const { return m_options & optionBit(option); }
    void SetOptions(ShellListOptions options);

    // The ";"-separated file masks; a different text refills the list at once.
    const std::string &FileFilter() const { return m_listing.fileFilter(); }
    void SetFileFilter(const std::string &mask);
    const std::vector<std::string> &masks() const { return m_listing.masks(); }

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
    bool isDetailsMode() const { return m_detailsMode; }

    // Set by a folder tree when it links itself to the list; nullptr when it goes.
    void setTreeLink(ShellListTreeLink *tree) { m_treeLink = tree; }
    // Does a refresh that was put off, for a linked tree that must see the list up to date.
    void flushPendingRefresh();

    // The rows and the context of the fill they came from (the folder shown, its formats).
    ShellListModel &rowModel() const { return *m_model; }
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
    // Live update (shelllist_liveupdate.cpp).
    void startWatching();
    void stopWatching();
    void coalescedRefresh();
    void deviceChanged(int event);
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
    void folderChanged();
    void removeAllRows();
    // `generation` tells this fill apart from one that a handler starts while it runs.
    void fill(std::unique_ptr<platform::ShellFolder> folder, unsigned generation);
    // Every child of the kinds the options ask for; raises the system's error unless the folder
    // could not be read at all (then `end` tells so and there are no children).
    FolderListing::Reading readFolder(const platform::ShellFolder &folder) const;
    FolderListing::Acceptance acceptance();
    void rebuildColumns(const platform::ShellFolder &folder);
    void saveColumnWidths() const;
    // The width a header section needs to show `caption` whole.
    int captionWidth(const QString &caption) const;
    void sortItems();
    void showSortIndicator();
    void enterFolder(const platform::ItemIdList &absolute);
    void openItems(const std::vector<ShellListItemData *> &items);

    ShellListModel *m_model = nullptr;
    ShellLocator m_folder;
    ShellListOptions m_options = kDefaultOptions;
    FolderListing m_listing;

    bool m_detailsMode = false;
    bool m_rememberWidths = false;
    int m_sortKey = 1;
    HeaderSortDisplayMode m_headerSortDisplayMode = HeaderSortDisplayMode::lvRightOfText;
    ShellListTreeLink *m_treeLink = nullptr;
    bool m_windowShown = false;
    int m_folderChangeDepth = 0;
    // Counts full refreshes, so one that a handler starts during another ends the first.
    unsigned m_fillGeneration = 0;

    ChangeNoticeCoalescer *m_coalescer = nullptr;
    std::unique_ptr<ChangeHandlerThread> m_watcher; // made when watching first starts
    // The caption an editor committed, given to the rename once the editor has gone.
    std::optional<QString> m_committedCaption;
    std::optional<QPersistentModelIndex> m_editedRow; // while a caption is edited

    FileVerbCommands m_verbs{this};
    ShellDragDrop m_dragDrop{*this, [this](const QPoint &position) { return dropFolderAt(position); }};
};

} // namespace nomaro
