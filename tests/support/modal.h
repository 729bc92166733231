#pragma once

#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

class QWidget;

namespace nomaro::test {

// While alive, answers every modal message box that opens by pressing the button with the given
// text ("Sì", "No", "OK"), and records what each box said.
class ModalAnswerer
{
public:
    explicit ModalAnswerer(QString button);
    ~ModalAnswerer();

    QStringList titles() const { return m_titles; }
    QStringList texts() const { return m_texts; }
    int count() const { return static_cast<int>(m_texts.size()); }

private:
    void poll();

    QString m_button;
    QStringList m_titles;
    QStringList m_texts;
    QTimer m_timer;
};

// While alive, hands every modal dialog other than a message box (a file dialog, the filter
// dialog) to `handle`, which must close it.
class ModalDialogHandler
{
public:
    explicit ModalDialogHandler(std::function<void(QWidget *)> handle);
    ~ModalDialogHandler();

private:
    std::function<void(QWidget *)> m_handle;
    QTimer m_timer;
};

} // namespace nomaro::test
