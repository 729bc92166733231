#pragma once

#include <QFrame>

namespace nomaro {

// A grey bar between docked panes, in a grey that suits the palette; dragging it resizes the
// pane on its left.
class SplitterBar : public QFrame
{
    Q_OBJECT

public:
    SplitterBar(QWidget *resized, int width, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QWidget *m_resized;
    int m_pressX = 0;
    int m_startWidth = 0;
};

} // namespace nomaro
