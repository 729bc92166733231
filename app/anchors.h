#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

class QWidget;

namespace nomaro {

// Keeps controls at their designed places in pixels and moves them with the edges of their
// parent they are anchored to: an edge not anchored keeps the control's distance to the opposite
// edge, two opposite edges stretch it. A control that the design lets reach past a far edge it is
// anchored to ends on that edge instead.
class AnchorSet : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Places `widget` at `designed` within a parent whose designed size is `designedParent`.
    void place(QWidget *widget, const QRect &designed, Qt::Edges edges, const QSize &designedParent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Anchor
    {
        QPointer<QWidget> widget;
        QRect designed;
        Qt::Edges edges;
        QSize designedParent;
    };

    void apply(const Anchor &anchor, const QSize &parentSize) const;

    QMultiHash<QObject *, Anchor> m_byParent;
};

} // namespace nomaro
