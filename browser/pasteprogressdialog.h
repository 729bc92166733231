#pragma once

// A paste or drop that runs longer than a moment: the copying goes on a thread of its own while
// a small dialog shows how far it has come and offers "Annulla".

#include <QDialog>
#include <chrono>
#include <functional>
#include <vector>

#include "platform/file_verbs.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace nomaro {

class PasteProgressDialog : public QDialog
{
    Q_OBJECT
public:
    PasteProgressDialog(QWidget *parent, bool moving);

    void showStatus(const platform::PasteStatus &status);

    // "Annulla", Esc and the window's close button ask the paste to stop; the dialog stays
    // until the item in hand is cleaned up.
    void reject() override;

Q_SIGNALS:
    void cancelRequested();

private:
    bool m_moving;
    QLabel *m_current;
    QLabel *m_counts;
    QProgressBar *m_bar;
    QPushButton *m_cancel;
};

using PasteJob = std::function<std::vector<platform::PasteResult>(const platform::PasteProgress &)>;

// Runs `job` off the user-interface thread and returns its results. The window takes no input
// meanwhile: for the first `delay` it shows the hourglass, after that the modal dialog.
std::vector<platform::PasteResult> runPasteWithProgress(QWidget *owner, bool moving, const PasteJob &job,
                                                        std::chrono::milliseconds delay = std::chrono::milliseconds(500));

} // namespace nomaro
