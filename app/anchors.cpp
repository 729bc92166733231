#include "app/anchors.h"

#include <QEvent>
#include <QWidget>

namespace nomaro {
namespace {

// One axis: the designed start and length within a designed parent length. A control designed to
// reach past the far edge it follows is held at that edge: it would be cut off there.
std::pair<int, int> follow(int start, int length, int designedParent, int parent, bool nearEdge,
                           bool farEdge)
{
    const int farDistance = qMax(0, designedParent - start - length);
    if (nearEdge && farEdge)
        return {start, qMax(0, parent - start - farDistance)};
    if (farEdge)
        return {parent - farDistance - length, length};
    return {start, length};
}

} // namespace

void AnchorSet::place(QWidget *widget, const QRect &designed, Qt::Edges edges,
                      const QSize &designedParent)
{
    QWidget *parent = widget->parentWidget();
    Anchor anchor{widget, designed, edges, designedParent};
    if (!m_byParent.contains(parent))
        parent->installEventFilter(this);
    m_byParent.insert(parent, anchor);
    apply(anchor, parent->size().isValid() && parent->testAttribute(Qt::WA_Resized)
                      ? parent->size()
                      : designedParent);
}

bool AnchorSet::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize) {
        const QSize size = static_cast<QWidget *>(watched)->size();
        for (auto it = m_byParent.constFind(watched); it != m_byParent.cend() && it.key() == watched;
             ++it)
            apply(it.value(), size);
    }
    return QObject::eventFilter(watched, event);
}

void AnchorSet::apply(const Anchor &anchor, const QSize &parentSize) const
{
    if (!anchor.widget)
        return;
    const auto [x, width] = follow(anchor.designed.x(), anchor.designed.width(),
                                   anchor.designedParent.width(), parentSize.width(),
                                   anchor.edges.testFlag(Qt::LeftEdge),
                                   anchor.edges.testFlag(Qt::RightEdge));
    const auto [y, height] = follow(anchor.designed.y(), anchor.designed.height(),
                                    anchor.designedParent.height(), parentSize.height(),
                                    anchor.edges.testFlag(Qt::TopEdge),
                                    anchor.edges.testFlag(Qt::BottomEdge));
    anchor.widget->setGeometry(x, y, width, height);
}

} // namespace nomaro
