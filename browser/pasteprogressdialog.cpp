#include "browser/pasteprogressdialog.h"

#include <QByteArray>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <mutex>
#include <thread>

#include "platform/hourglass.h"

namespace nomaro {
namespace {

constexpr int kRefreshMs = 100;

} // namespace

PasteProgressDialog::PasteProgressDialog(QWidget *parent, bool moving)
    : QDialog(parent)
    , m_moving(moving)
    , m_current(new QLabel(this))
    , m_counts(new QLabel(this))
    , m_bar(new QProgressBar(this))
    , m_cancel(new QPushButton(QStringLiteral("Annulla"), this))
{
    setObjectName(QStringLiteral("PasteProgressDialog"));
    setWindowTitle(moving ? QStringLiteral("Spostamento in corso") : QStringLiteral("Copia in corso"));
    setWindowModality(Qt::ApplicationModal);
    m_current->setObjectName(QStringLiteral("currentItem"));
    m_current->setMinimumWidth(360);
    m_counts->setObjectName(QStringLiteral("counts"));
    m_bar->setObjectName(QStringLiteral("progress"));
    m_cancel->setObjectName(QStringLiteral("cancel"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_current);
    layout->addWidget(m_counts);
    layout->addWidget(m_bar);
    layout->addWidget(m_cancel, 0, Qt::AlignRight);
    connect(m_cancel, &QPushButton::clicked, this, &PasteProgressDialog::reject);
}

void PasteProgressDialog::showStatus(const platform::PasteStatus &status)
{
    if (!m_cancel->isEnabled())
        return;
    const QString name = QFile::decodeName(QByteArray::fromStdString(status.current));
    // A long name is cut in the middle rather than widening the dialog past the screen.
    const QString shown = m_current->fontMetrics().elidedText(name, Qt::ElideMiddle, m_current->minimumWidth());
    m_current->setText((m_moving ? QStringLiteral("Sposto \"%1\"") : QStringLiteral("Copio \"%1\"")).arg(shown));
    m_counts->setText(QStringLiteral("%1 di %2 elementi, %3")
                          .arg(status.itemsDone)
                          .arg(status.items)
                          .arg(QLocale().formattedDataSize(qint64(status.bytesDone), 1, QLocale::DataSizeTraditionalFormat)));
    m_bar->setRange(0, int(status.items));
    m_bar->setValue(int(status.itemsDone));
}

void PasteProgressDialog::reject()
{
    if (!m_cancel->isEnabled())
        return;
    m_cancel->setEnabled(false);
    m_current->setText(QStringLiteral("Annullamento in corso..."));
    Q_EMIT cancelRequested();
}

std::vector<platform::PasteResult> runPasteWithProgress(QWidget *owner, bool moving, const PasteJob &job,
                                                        std::chrono::milliseconds delay)
{
    std::atomic<bool> cancelled{false};
    std::mutex statusMutex;
    platform::PasteStatus latest;
    platform::PasteProgress progress;
    progress.cancelled = &cancelled;
    progress.onProgress = [&](const platform::PasteStatus &status) {
        const std::lock_guard lock(statusMutex);
        latest = status;
    };

    std::vector<platform::PasteResult> results;
    bool finished = false;
    QEventLoop waiting;
    PasteProgressDialog *dialog = nullptr;
    // Receives the thread's word on this thread; destroyed first, so a word that comes too late
    // is dropped rather than reaching the loop or the dialog after they are gone.
    QObject receiver;
    std::thread worker([&] {
        results = job(progress);
        QMetaObject::invokeMethod(
            &receiver,
            [&] {
                finished = true;
                waiting.quit();
                if (dialog)
                    dialog->accept();
            },
            Qt::QueuedConnection);
    });

    {
        const platform::HourglassGuard hourglass;
        QTimer::singleShot(delay, &waiting, &QEventLoop::quit);
        waiting.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!finished) {
        PasteProgressDialog shown(owner, moving);
        QObject::connect(&shown, &PasteProgressDialog::cancelRequested, [&] { cancelled = true; });
        const auto refresh = [&] {
            const std::lock_guard lock(statusMutex);
            shown.showStatus(latest);
        };
        QTimer refreshTimer;
        QObject::connect(&refreshTimer, &QTimer::timeout, refresh);
        refreshTimer.start(kRefreshMs);
        refresh();
        dialog = &shown;
        shown.exec();
        dialog = nullptr;
    }
    // Only an event loop ended from outside (the program quitting) gets here unfinished.
    cancelled = true;
    worker.join();
    return results;
}

} // namespace nomaro
