// Renaming a row in place: the caption editor, and the rename through the folder, which never
// replaces another item.

#include <QFile>
#include <QLineEdit>
#include <utility>

#include "browser/changenoticecoalescer.h"
#include "browser/folderlister.h"
#include "browser/shelllist.h"
#include "browser/shelllistitemdata.h"
#include "browser/shelllistmodel.h"
#include "platform/shell_error.h"
#include "platform/shell_namespace.h"
#include "widgets/messages.h"

namespace nomaro {

bool ShellList::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    // The view also passes presses and clicks through here, to let a delegate see them.
    if (!index.isValid() || !(trigger & (editTriggers() | EditKeyPressed)) || m_editedRow)
        return QTreeView::edit(index, trigger, event);
    const QModelIndex caption = index.siblingAtColumn(0);
    ShellListItemData *item = m_model->item(caption.row());
    if (!item || state() == DraggingState || !item->canRename())
        return false;
    if (!QTreeView::edit(caption, trigger, event) || state() != EditingState)
        return false;
    m_editedRow = caption;
    m_committedCaption.reset();
    m_lister->coalescer().beginCaptionEdit();
    return true;
}

void ShellList::commitData(QWidget *editor)
{
    // The rename waits until the editor has gone, so an error box cannot make the editor lose
    // the focus and commit a second time.
    if (const auto *line = qobject_cast<QLineEdit *>(editor))
        m_committedCaption = line->text();
}

void ShellList::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    QTreeView::closeEditor(editor, hint);
    if (!m_editedRow)
        return;
    const QPersistentModelIndex row = *std::exchange(m_editedRow, std::nullopt);
    const std::optional<QString> caption = std::exchange(m_committedCaption, std::nullopt);
    if (caption && row.isValid())
        renameRow(row.row(), *caption);
    m_lister->coalescer().endCaptionEdit();
}

void ShellList::renameRow(int row, const QString &caption)
{
    ShellListItemData *item = m_model->item(row);
    const platform::ShellFolder *folder = boundFolder();
    if (!item || !folder)
        return;
    const std::string newName = QFile::encodeName(caption.trimmed()).toStdString();
    try {
        platform::ItemIdList renamed = folder->rename(item->relativeId(), newName);
        // Only a rename that reached the disk sends a notice; the flag must not swallow the next
        // change of another program.
        if (renamed != item->relativeId())
            m_lister->coalescer().ignoreNextNotice();
        m_model->setRelativeId(row, std::move(renamed));
    } catch (const platform::ShellError &error) {
        showError(this, QString::fromLocal8Bit(error.what()));
    }
}

} // namespace nomaro
