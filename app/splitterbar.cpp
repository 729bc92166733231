#include "app/splitterbar.h"

#include <QMouseEvent>

namespace nomaro {

SplitterBar::SplitterBar(QWidget *resized, int width, QWidget *parent)
    : QFrame(parent)
    , m_resized(resized)
{
    setFixedWidth(width);
    setCursor(Qt::SplitHCursor);
    setAutoFillBackground(true);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    setPalette(grey);
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
