#include "browser/changenoticecoalescer.h"

#include <utility>

namespace nomaro {

ChangeNoticeCoalescer::ChangeNoticeCoalescer(QObject *parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ChangeNoticeCoalescer::fire);
}

void ChangeNoticeCoalescer::noticeArrived(bool focused)
{
    if (m_ignoreNext || m_dragging) {
        m_ignoreNext = false;
        return;
    }
    m_timer.start(focused ? kFocusedDelayMs : kUnfocusedDelayMs);
}

bool ChangeNoticeCoalescer::deferRefresh()
{
    if (!m_dragging && !m_editing)
        return false;
    m_pending = true;
    return true;
}

void ChangeNoticeCoalescer::endDrag(bool dropped)
{
    m_dragging = false;
    if (dropped)
        m_pending = true;
    if (!m_editing && std::exchange(m_pending, false))
        Q_EMIT refreshNow();
}

void ChangeNoticeCoalescer::endCaptionEdit()
{
    m_editing = false;
    if (!m_dragging && std::exchange(m_pending, false))
        Q_EMIT refreshNow();
}

void ChangeNoticeCoalescer::refreshPendingNow()
{
    if (m_timer.isActive())
        fire();
    else if (m_pending && !m_dragging && !m_editing) {
        m_pending = false;
        Q_EMIT refreshNow();
    }
}

void ChangeNoticeCoalescer::fire()
{
    m_timer.stop();
    m_pending = false;
    Q_EMIT refreshNow();
}

} // namespace nomaro
