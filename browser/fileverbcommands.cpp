#include "browser/fileverbcommands.h"

#include <QAction>
#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include "browser/dropplan.h"
#include "browser/pasteprogressdialog.h"
#include "platform/drives.h"
#include "platform/file_ops.h"
#include "platform/file_verbs.h"
#include "platform/file_verbs_open.h"
#include "platform/hourglass.h"
#include "widgets/messages.h"

namespace nomaro {
namespace {

// The target folder, the folders that moved items left, and what went wrong.
CommandOutcome pasteOutcome(const std::string &folder, const std::vector<platform::PasteResult> &results)
{
    CommandOutcome outcome{true, {folder}, {}};
    for (const platform::PasteResult &result : results) {
        if (result.outcome == platform::PasteOutcome::Moved)
            outcome.folders.push_back(platform::fileops::parentOf(result.source));
        if (!result.message.empty())
            outcome.failures.push_back(result.message);
    }
    return outcome;
}

// Names the item when there is one, as the user may not see which row the selection holds.
QString trashQuestion(const std::vector<std::string> &paths)
{
    if (paths.size() == 1) {
        const std::string name = platform::fileops::nameOf(paths.front());
        return QStringLiteral("Sposto nel cestino \"%1\" ?").arg(QFile::decodeName(QByteArray::fromStdString(name)));
    }
    return QStringLiteral("Sposto nel cestino questi %1 elementi ?").arg(paths.size());
}

constexpr size_t kMostFailuresNamed = 10;

} // namespace

std::string CommandOutcome::failureText() const
{
    std::string text;
    const size_t named = failures.size() > kMostFailuresNamed + 1 ? kMostFailuresNamed : failures.size();
    for (size_t i = 0; i < named; ++i)
        text += (i > 0 ? "\n" : "") + failures[i];
    const size_t others = failures.size() - named;
    if (others > 0)
        text += "\n... e altri " + std::to_string(others) + " elementi non riusciti.";
    return text;
}

bool CommandOutcome::changedUnwatchedFolder() const
{
    if (folders.empty())
        return false;
    const std::vector<platform::Drive> drives = platform::mountedDrives();
    for (const std::string &folder : folders) {
        if (platform::onNetworkDrive(drives, folder))
            return true;
    }
    return false;
}

std::optional<ComponentKey> FileVerbCommands::commandOf(const QKeyEvent &event)
{
    // The keypad's own flag does not make another key.
    const Qt::KeyboardModifiers modifiers =
        event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const QKeyCombination pressed(modifiers, Qt::Key(event.key()));
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

bool FileVerbCommands::clipboardHasItems()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data && !platform::itemsFromMimeData(*data).paths.empty();
}

void FileVerbCommands::open(const std::vector<std::string> &paths) const
{
    CommandOutcome outcome;
    for (const std::string &path : paths) {
        const std::string what = "Impossibile aprire " + platform::fileops::quotedName(path);
        if (!platform::hasApplicationFor(path)) {
            outcome.failures.push_back(what + ": nessuna applicazione installata apre questo tipo di file ("
                                       + platform::openedTypeOf(path) + ")");
            continue;
        }
        // Built from the bytes, so a name that is not UTF-8 still reaches the application.
        const QByteArray bytes = QByteArray::fromStdString(path).toPercentEncoding("/");
        if (!QDesktopServices::openUrl(QUrl::fromEncoded("file://" + bytes)))
            outcome.failures.push_back(what + ": il sistema non ha avviato l'applicazione");
    }
    showFailures(outcome);
}

void FileVerbCommands::copy(const std::vector<std::string> &paths, bool cut) const
{
    if (!paths.empty())
        QGuiApplication::clipboard()->setMimeData(platform::mimeDataForItems(paths, cut).release());
}

CommandOutcome FileVerbCommands::paste(const std::string &folder) const
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (folder.empty() || !data)
        return {};
    const platform::ClipboardItems items = platform::itemsFromMimeData(*data);
    if (items.paths.empty())
        return {};
    const std::vector<platform::PasteResult> results =
        runPasteWithProgress(m_owner, items.cut, [&](const platform::PasteProgress &progress) {
            return platform::pasteItems(items.paths, folder, items.cut, progress);
        });
    // The clipboard no longer says where cut items are.
    if (items.cut)
        QGuiApplication::clipboard()->clear();
    return pasteOutcome(folder, results);
}

CommandOutcome FileVerbCommands::trash(const std::vector<std::string> &paths) const
{
    if (paths.empty() || !confirm(m_owner, trashQuestion(paths)))
        return {};
    std::vector<platform::TrashResult> results;
    {
        const platform::HourglassGuard hourglass;
        results = platform::moveItemsToTrash(paths);
    }
    CommandOutcome outcome{true, {}, {}};
    for (const platform::TrashResult &result : results) {
        if (result.trashed)
            outcome.folders.push_back(platform::fileops::parentOf(result.path));
        else
            outcome.failures.push_back(result.message);
    }
    return outcome;
}

CommandOutcome FileVerbCommands::drop(const DropPlan &plan) const
{
    if (!plan.accepted())
        return {};
    const std::vector<platform::PasteResult> results =
        runPasteWithProgress(m_owner, plan.moves(), [&](const platform::PasteProgress &progress) {
            return platform::pasteItems(plan.items, plan.folder, plan.moves(), progress);
        });
    return pasteOutcome(plan.folder, results);
}

void FileVerbCommands::showFailures(const CommandOutcome &outcome) const
{
    // One box for all the items, as bulk operations report.
    if (!outcome.failures.empty())
        showError(m_owner, QString::fromStdString(outcome.failureText()));
}

void FileVerbCommands::execMenu(const QPoint &globalPos, const MenuActions &actions) const
{
    QMenu menu(m_owner);
    const auto add = [&menu](const QString &text, const std::function<void()> &action) {
        QAction *entry = menu.addAction(text);
        entry->setEnabled(bool(action));
        if (action)
            QObject::connect(entry, &QAction::triggered, &menu, action);
    };
    add(QStringLiteral("Apri"), actions.open);
    menu.addSeparator();
    add(QStringLiteral("Taglia"), actions.cut);
    add(QStringLiteral("Copia"), actions.copy);
    add(QStringLiteral("Incolla"), actions.paste);
    menu.addSeparator();
    add(QStringLiteral("Rinomina"), actions.rename);
    add(QStringLiteral("Elimina"), actions.remove);
    menu.exec(globalPos);
}

} // namespace nomaro
