#include "app/tform1.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <algorithm>
#include <array>

#include "app/anchors.h"
#include "browser/shelllist.h"
#include "browser/shelltree.h"

// The main window's places and sizes: the listing page's controls fitted to their texts, the width
// rule of the first page and the fitting of the window's frame to the screen.
namespace nomaro {
namespace {

// The width a group box needs to hold its controls whole inside its frame: each caption at the
// width its text asks for in the font and style in use, the edit fields at their own width.
int widthToHold(QGroupBox *box)
{
    box->ensurePolished();
    const int frame = box->width() - box->contentsRect().right() - 1;
    int needed = 0;
    for (QWidget *child : box->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        const bool captioned = qobject_cast<QAbstractButton *>(child) || qobject_cast<QLabel *>(child);
        const int width = captioned ? qMax(child->width(), child->sizeHint().width()) : child->width();
        needed = qMax(needed, child->x() + width);
    }
    return needed + frame;
}

// Room kept between two neighbours that had to move to fit.
constexpr int kLeastGap = 4;

} // namespace

// The design's places, except where the font, the style or the scale make a text or a row need
// more room than the design gave: then the place grows, or moves, by the least that shows it whole.
void TForm1::placeListingPage()
{
    // The option boxes of the right column share the width the widest of them needs; the column
    // grows to the left by what they took, and the listing's box gives it up.
    const std::array<QGroupBox *, 3> options{GroupBox3, GroupBox7, GroupBox6};
    int boxWidth = 101;
    for (QGroupBox *box : options)
        boxWidth = qMax(boxWidth, widthToHold(box));
    for (QGroupBox *box : options)
        box->resize(boxWidth, box->height());
    const int column = std::max({111, 5 + boxWidth + 5, widthToHold(GroupBox1)});
    const int columnLeft = 630 - (column - 111);
    m_anchors->place(GroupBox1, QRect(columnLeft, 0, column, 166), Qt::TopEdge | Qt::RightEdge,
                     kDesignedPage);
    // Designed 4 pixels taller than the page holds: the bottom anchor ends it on the page's edge.
    m_anchors->place(GroupBox2, QRect(columnLeft, 171, column, 300), Qt::RightEdge | Qt::BottomEdge,
                     kDesignedPage);
    const int listingRight = columnLeft - 4; // the design's gap between the listing and the column
    m_anchors->place(GroupBox8, QRect(0, 0, listingRight, 427), kAllEdges, kDesignedPage);

    // The bottom row, one height for the four (the design draws STAMPA a pixel higher), its lower
    // edge on the page's: a button whose caption needs more room grows, the ones after it move
    // right as far as they must, and the row ends within the listing's box above it.
    struct RowPlace
    {
        QToolButton *button;
        QRect place;
    };
    std::array<RowPlace, 4> row{{{SBAGGLISTA, QRect(5, 437, 126, 31)},
                                 {SBCOPYCB, QRect(145, 437, 186, 31)},
                                 {SBSTAMPA, QRect(345, 437, 111, 31)},
                                 {SBSAVELISTA, QRect(470, 437, 156, 31)}}};
    int height = 31;
    for (const RowPlace &entry : row)
        height = qMax(height, entry.button->sizeHint().height());
    int previousEnd = 0;
    for (RowPlace &entry : row) {
        entry.place.setWidth(qMax(entry.place.width(), entry.button->sizeHint().width()));
        entry.place.setHeight(height);
        entry.place.moveLeft(qMax(entry.place.x(), previousEnd + kLeastGap));
        previousEnd = entry.place.x() + entry.place.width();
    }
    int end = listingRight;
    for (auto entry = row.rbegin(); entry != row.rend(); ++entry) {
        entry->place.moveLeft(qMin(entry->place.x(), end - entry->place.width()));
        end = entry->place.x() - kLeastGap;
    }
    for (const RowPlace &entry : row)
        m_anchors->place(entry.button, entry.place, Qt::LeftEdge | Qt::BottomEdge, kDesignedPage);
}

// The smallest client area: the designed minimum less the window's frame, and never less than
// holds each page at its designed size beside the tab bar that the style draws.
QSize TForm1::minimumClientSize(const QMargins &frame) const
{
    const QSize pages = PageControl1->minimumSizeHint() + QSize(0, kStatusBarHeight);
    return (kMinimumWindow - QSize(frame.left() + frame.right(), frame.top() + frame.bottom()))
        .expandedTo(pages);
}

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

TForm1::StartPlace TForm1::startPlace(const QRect &screen, const QRect &workArea, const QMargins &frame,
                                      bool placesWindows)
{
    const QSize frameSize(frame.left() + frame.right(), frame.top() + frame.bottom());
    return {workArea.topLeft(), workArea.size() - frameSize, !placesWindows || workArea == screen};
}

TForm1::StartPlace TForm1::startPlace(const QMargins &frame) const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const bool placesWindows = !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    return startPlace(screen->geometry(), screen->availableGeometry(), frame, placesWindows);
}

// The window's frame (title bar and borders) is known only once the window manager has shown the
// window: then the client area shrinks by it, so that the whole window stands on the work area and
// keeps its minimum outer size. A maximized window is the window manager's to size.
void TForm1::fitFrameToScreen()
{
    const QWindow *window = windowHandle();
    if (m_frameFitted || !window || !QGuiApplication::primaryScreen())
        return;
    const QMargins frame = window->frameMargins();
    if (frame.isNull())
        return;
    m_frameFitted = true;
    setMinimumSize(minimumClientSize(frame));
    if (isMaximized())
        return;
    const StartPlace place = startPlace(frame);
    resize(place.client);
    move(place.framePosition);
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
