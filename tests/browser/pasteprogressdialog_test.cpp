// The progress of a long paste: the dialog that shows it and the thread that runs it.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "browser/pasteprogressdialog.h"

using nomaro::PasteProgressDialog;
using nomaro::runPasteWithProgress;
using nomaro::platform::PasteOutcome;
using nomaro::platform::PasteProgress;
using nomaro::platform::PasteResult;
using nomaro::platform::PasteStatus;

namespace {

// Watches, from the event loop the run keeps going, for the dialog and hands it to `onShown`
// once it shows a status.
class DialogWatch
{
public:
    explicit DialogWatch(std::function<void(PasteProgressDialog &)> onShown) : m_onShown(std::move(onShown))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto *dialog = qobject_cast<PasteProgressDialog *>(QApplication::activeModalWidget());
            if (dialog && dialog->isVisible() && !m_seen
                && !dialog->findChild<QLabel *>(QStringLiteral("counts"))->text().isEmpty()) {
                m_seen = true;
                m_onShown(*dialog);
            }
        });
        m_timer.start(5);
    }
    bool seen() const { return m_seen; }

private:
    std::function<void(PasteProgressDialog &)> m_onShown;
    QTimer m_timer;
    bool m_seen = false;
};

TEST(PasteProgress, AQuickPasteShowsNoDialog)
{
    QWidget owner;
    DialogWatch watch([](PasteProgressDialog &dialog) { dialog.accept(); });
    const std::vector<PasteResult> results = runPasteWithProgress(&owner, false, [](const PasteProgress &) {
        return std::vector<PasteResult>{{"/a", "/b/a", PasteOutcome::Copied, {}}};
    });
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].outcome, PasteOutcome::Copied);
    EXPECT_FALSE(watch.seen());
}

TEST(PasteProgress, ALongPasteShowsItsProgressAndAnnullaStopsIt)
{
    QWidget owner;
    std::atomic<bool> stoppedByCancel{false};
    // Copies "grande.bin", the second of three items, until it is told to stop.
    const auto job = [&](const PasteProgress &progress) {
        progress.onProgress(PasteStatus{1, 3, 3 * 1024 * 1024, "grande.bin"});
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!progress.cancelled->load() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        stoppedByCancel = progress.cancelled->load();
        return std::vector<PasteResult>{{"/x/piccolo.txt", "/y/piccolo.txt", PasteOutcome::Copied, {}},
                                        {"/x/grande.bin", {}, PasteOutcome::Cancelled, {}},
                                        {"/x/altro.txt", {}, PasteOutcome::Cancelled, {}}};
    };
    QString current;
    QString counts;
    QString title;
    DialogWatch watch([&](PasteProgressDialog &dialog) {
        current = dialog.findChild<QLabel *>(QStringLiteral("currentItem"))->text();
        counts = dialog.findChild<QLabel *>(QStringLiteral("counts"))->text();
        title = dialog.windowTitle();
        auto *cancel = dialog.findChild<QPushButton *>(QStringLiteral("cancel"));
        ASSERT_EQ(cancel->text(), QStringLiteral("Annulla"));
        cancel->click();
    });
    const std::vector<PasteResult> results =
        runPasteWithProgress(&owner, true, job, std::chrono::milliseconds(50));
    EXPECT_TRUE(watch.seen());
    EXPECT_TRUE(stoppedByCancel) << "Annulla reached the copying thread";
    EXPECT_EQ(results.size(), 3u) << "the results come back once the thread ended";
    EXPECT_EQ(title, QStringLiteral("Spostamento in corso"));
    EXPECT_EQ(current, QStringLiteral("Sposto \"grande.bin\""));
    EXPECT_TRUE(counts.startsWith(QStringLiteral("1 di 3 elementi, 3"))) << counts.toStdString();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the dialog is gone";
}

TEST(PasteProgress, EscAndTheCloseButtonAskToStopButTheDialogWaitsForTheThread)
{
    PasteProgressDialog dialog(nullptr, false);
    int requests = 0;
    QObject::connect(&dialog, &PasteProgressDialog::cancelRequested, [&] { ++requests; });
    dialog.show();
    dialog.reject();
    dialog.close();
    EXPECT_EQ(requests, 1) << "one request, however often asked";
    EXPECT_TRUE(dialog.isVisible()) << "closing waits for the item in hand to be cleaned up";
    EXPECT_FALSE(dialog.findChild<QPushButton *>(QStringLiteral("cancel"))->isEnabled());
}

} // namespace
