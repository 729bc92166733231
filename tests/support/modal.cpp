#include "tests/support/modal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace nomaro::test {

ModalAnswerer::ModalAnswerer(QString button)
    : m_button(std::move(button))
{
    QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
    m_timer.start(5);
}

ModalAnswerer::~ModalAnswerer() = default;

void ModalAnswerer::poll()
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    m_titles << box->windowTitle();
    m_texts << box->text();
    for (QAbstractButton *button : box->buttons()) {
        if (button->text() == m_button) {
            button->click();
            return;
        }
    }
    box->reject();
}

ModalDialogHandler::ModalDialogHandler(std::function<void(QWidget *)> handle)
    : m_handle(std::move(handle))
{
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible() && !qobject_cast<QMessageBox *>(modal))
            m_handle(modal);
    });
    m_timer.start(5);
}

ModalDialogHandler::~ModalDialogHandler() = default;

} // namespace nomaro::test
