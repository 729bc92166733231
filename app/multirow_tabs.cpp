#include "app/multirow_tabs.h"

#include <QMouseEvent>
#include <QStyleOptionTab>
#include <QStylePainter>

namespace nomaro {

MultiRowTabBar::MultiRowTabBar(QWidget *parent)
    : QTabBar(parent)
{
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideNone);
    setExpanding(false);
    setDrawBase(false);
}

int MultiRowTabBar::naturalWidth(int index) const
{
    return fontMetrics().horizontalAdvance(tabText(index)) + 14;
}

int MultiRowTabBar::rowHeight() const
{
    return fontMetrics().height() + 8;
}

int MultiRowTabBar::barWidth() const
{
    // Before the owning tab widget has placed the bar, its own width is not yet the one it gets.
    if (const QWidget *owner = parentWidget())
        return owner->width();
    return width();
}

QVector<QVector<int>> MultiRowTabBar::rowsFor(int width) const
{
    QVector<QVector<int>> rows;
    int used = 0;
    for (int index = 0; index < count(); ++index) {
        const int tabWidth = naturalWidth(index);
        if (rows.isEmpty() || (used + tabWidth > width && !rows.last().isEmpty())) {
            rows.append(QVector<int>());
            used = 0;
        }
        rows.last().append(index);
        used += tabWidth;
    }
    return rows;
}

QVector<QRect> MultiRowTabBar::tabPlaces(int width) const
{
    QVector<QVector<int>> rows = rowsFor(width);
    // The row holding the current tab moves next to the pages, as on a card index.
    for (int row = 0; row < rows.size(); ++row) {
        if (rows[row].contains(currentIndex())) {
            rows.append(rows.takeAt(row));
            break;
        }
    }
    QVector<QRect> places(count());
    const int height = rowHeight();
    for (int row = 0; row < rows.size(); ++row) {
        const QVector<int> &tabs = rows[row];
        int natural = 0;
        for (int index : tabs)
            natural += naturalWidth(index);
        const int spare = rows.size() > 1 ? qMax(0, width - natural) : 0;
        int x = 0;
        for (int position = 0; position < tabs.size(); ++position) {
            const int index = tabs[position];
            int tabWidth = naturalWidth(index) + spare / int(tabs.size());
            if (position == tabs.size() - 1 && rows.size() > 1)
                tabWidth = width - x;
            places[index] = QRect(x, row * height, tabWidth, height);
            x += tabWidth;
        }
    }
    return places;
}

QSize MultiRowTabBar::sizeHint() const
{
    const int width = qMax(1, barWidth());
    return QSize(width, int(rowsFor(width).size()) * rowHeight());
}

QSize MultiRowTabBar::minimumSizeHint() const
{
    return sizeHint();
}

void MultiRowTabBar::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    const QVector<QRect> places = tabPlaces(width());
    // The current tab is drawn last, so that it overlaps its neighbours.
    auto drawTab = [&](int index) {
        QStyleOptionTab option;
        initStyleOption(&option, index);
        option.rect = places[index];
        option.position = QStyleOptionTab::Middle;
        option.selectedPosition = QStyleOptionTab::NotAdjacent;
        painter.drawControl(QStyle::CE_TabBarTab, option);
    };
    for (int index = 0; index < count(); ++index)
        if (index != currentIndex())
            drawTab(index);
    if (currentIndex() >= 0)
        drawTab(currentIndex());
}

void MultiRowTabBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QVector<QRect> places = tabPlaces(width());
    for (int index = 0; index < places.size(); ++index) {
        if (places[index].contains(event->position().toPoint()) && isTabEnabled(index)) {
            setCurrentIndex(index);
            update();
            updateGeometry();
            return;
        }
    }
}

void MultiRowTabBar::mouseMoveEvent(QMouseEvent *)
{
    // The base class would track hover and drags against its one-row layout.
}

void MultiRowTabBar::resizeEvent(QResizeEvent *event)
{
    QTabBar::resizeEvent(event);
    if (sizeHint().height() != height())
        updateGeometry();
}

void MultiRowTabBar::tabLayoutChange()
{
    updateGeometry();
    update();
}

MultiRowTabWidget::MultiRowTabWidget(QWidget *parent)
    : QTabWidget(parent)
{
    setTabBar(new MultiRowTabBar(this));
    connect(this, &QTabWidget::currentChanged, tabBar(), [this] { tabBar()->update(); });
}

} // namespace nomaro
