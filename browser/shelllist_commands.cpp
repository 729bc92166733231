// The folder list's key table: select all, delete, copy, cut, paste, refresh and rename.

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

#include "app/messages.h"
#include "browser/foldercontext.h"
#include "browser/keynames.h"
#include "browser/shelllist.h"
#include "browser/shelllistitemdata.h"
#include "browser/shelllistmodel.h"
#include "platform/file_verbs.h"

namespace nomaro {
namespace {

// The entry of the key table that `pressed` is, if any; "Del" also acts with Shift held.
std::optional<ComponentKey> commandOf(QKeyCombination pressed)
{
    for (const ComponentKey command : {ComponentKey::SelectAll, ComponentKey::Delete, ComponentKey::Copy, ComponentKey::Cut,
                                       ComponentKey::Paste, ComponentKey::Refresh, ComponentKey::EditCaption}) {
        if (componentKey(command) == pressed)
            return command;
    }
    if (pressed == QKeyCombination(Qt::ShiftModifier, componentKey(ComponentKey::Delete).key())
        && componentKey(ComponentKey::Delete).keyboardModifiers() == Qt::NoModifier)
        return ComponentKey::Delete;
    return std::nullopt;
}

// One error box for all the items a verb could not handle, as bulk operations report.
template <typename Results>
void showFailures(QWidget *parent, const Results &results)
{
    QStringList messages;
    for (const auto &result : results) {
        if (!result.message.empty())
            messages << QString::fromStdString(result.message);
    }
    if (!messages.isEmpty())
        showError(parent, messages.join(QLatin1Char('\n')));
}

} // namespace

std::vector<std::string> ShellList::selectedPaths() const
{
    std::vector<std::string> paths;
    for (const QModelIndex &index : selectionModel()->selectedRows()) {
        std::string path = m_model->item(index.row())->path();
        if (!path.empty())
            paths.push_back(std::move(path));
    }
    return paths;
}

void ShellList::copySelection(bool cut)
{
    const std::vector<std::string> paths = selectedPaths();
    if (!paths.empty())
        QGuiApplication::clipboard()->setMimeData(platform::mimeDataForItems(paths, cut).release());
}

void ShellList::pasteIntoFolder()
{
    const std::string &folder = folderContext().folderPath();
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (folder.empty() || !data)
        return;
    const platform::ClipboardItems items = platform::itemsFromMimeData(*data);
    if (items.paths.empty())
        return;
    const std::vector<platform::PasteResult> results = platform::pasteItems(items.paths, folder, items.cut);
    // The clipboard no longer says where cut items are.
    if (items.cut)
        QGuiApplication::clipboard()->clear();
    UpdateItems();
    showFailures(this, results);
}

void ShellList::deleteSelection()
{
    const std::vector<std::string> paths = selectedPaths();
    if (paths.empty() || !confirm(this, QStringLiteral("Sposto nel cestino gli elementi selezionati ?")))
        return;
    const std::vector<platform::TrashResult> results = platform::moveItemsToTrash(paths);
    UpdateItems();
    showFailures(this, results);
}

bool ShellList::runCommandKey(const QKeyEvent &event)
{
    // The keypad's own flag does not make another key.
    const Qt::KeyboardModifiers modifiers =
        event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const std::optional<ComponentKey> command = commandOf(QKeyCombination(modifiers, Qt::Key(event.key())));
    if (!command)
        return false;
    switch (*command) {
    case ComponentKey::SelectAll:
        SelectAll();
        break;
    case ComponentKey::Delete:
        deleteSelection();
        break;
    case ComponentKey::Copy:
        copySelection(false);
        break;
    case ComponentKey::Cut:
        copySelection(true);
        break;
    case ComponentKey::Paste:
        pasteIntoFolder();
        break;
    case ComponentKey::Refresh:
        Refresh();
        break;
    case ComponentKey::EditCaption:
        if (currentIndex().isValid())
            QTreeView::edit(currentIndex());
        break;
    }
    return true;
}

} // namespace nomaro
