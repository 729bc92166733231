#include "app/splitterbar.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/theme_colours.h"

namespace nomaro {

SplitterBar::SplitterBar(QWidget *resized, int width, QWidget *parent)
    : QFrame(parent)
    , m_resized(resized)
{
    setFixedWidth(width);
    setCursor(Qt::SplitHCursor);
}

// Painted from the palette at each paint, so that it follows a change of theme.
void SplitterBar::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), theme::splitterColour(palette()));
}

void SplitterBar::mousePressEvent(QMouseEvent *event)
{
    m_pressX = event->globalPosition().toPoint().x();
    m_startWidth = m_resized->width();
}

void SplitterBar::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const int width = m_startWidth + event->globalPosition().toPoint().x() - m_pressX;
    m_resized->setFixedWidth(qMax(0, width));
}

} // namespace nomaro
