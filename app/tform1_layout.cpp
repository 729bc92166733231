#include "app/tform1.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "browser/shelllist.h"
#include "browser/shelltree.h"

// The main window's resizing: the width rule of the first page and the fitting of the window's
// frame to the screen.
namespace nomaro {

TForm1::WidthRule TForm1::widthRule(int pageWidth)
{
    const int fixedPanes = kSplitter2Width + kPanel1Width + kSplitter1Width;
    const int avail = pageWidth - (fixedPanes + 210);
    WidthRule widths;
    widths.folderTree = avail * 30 / 100;
    widths.folderList = avail * 70 / 100;
    widths.workingSet = pageWidth - widths.folderTree - widths.folderList - fixedPanes;
    return widths;
}

void TForm1::FormResize()
{
    const WidthRule widths = widthRule(TabSheet1->width());
    STV1->setFixedWidth(qMax(0, widths.folderTree));
    SLV1->setFixedWidth(qMax(0, widths.folderList));
}

// The window's size counts its title bar and borders, which the window manager reports only once
// the window is shown: then the client area shrinks by the frame, so that the whole window stands
// on the screen's width and the work area's height and keeps its minimum outer size.
void TForm1::fitFrameToScreen()
{
    const QWindow *window = windowHandle();
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (m_frameFitted || !window || !screen)
        return;
    const QMargins frame = window->frameMargins();
    if (frame.isNull())
        return;
    m_frameFitted = true;
    const int frameWidth = frame.left() + frame.right();
    const int frameHeight = frame.top() + frame.bottom();
    setMinimumSize(kMinimumWindow.width() - frameWidth, kMinimumWindow.height() - frameHeight);
    resize(screen->geometry().width() - frameWidth, screen->availableGeometry().height() - frameHeight);
    move(0, 0);
}

void TForm1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    QTimer::singleShot(0, this, &TForm1::fitFrameToScreen);
}

void TForm1::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    fitFrameToScreen();
}

void TForm1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    // The page takes its new width only after the window's own resize; the rule follows it.
    if (watched == TabSheet1 && event->type() == QEvent::Resize)
        FormResize();
    return QWidget::eventFilter(watched, event);
}

} // namespace nomaro
