#pragma once

// Turns a stream of change notices into one refresh after a quiet delay.
//
// How a component uses it:
//   - on a ChangeNoticeEvent: m_coalescer.noticeArrived(hasFocus());
//   - before its own in-place rename: m_coalescer.ignoreNextNotice();
//   - at the start of UpdateItems or Refresh: if (m_coalescer.deferRefresh()) return;
//   - around a drag that started in it: beginDrag() / endDrag(dropped);
//     around a caption edit: beginCaptionEdit() / endCaptionEdit();
//   - before opening an item: refreshPendingNow();
//   - connect refreshNow() to UpdateItems (after asking a linked tree for its own pending one).

#include <QObject>
#include <QTimer>

namespace nomaro {

class ChangeNoticeCoalescer : public QObject
{
    Q_OBJECT

public:
    static constexpr int kFocusedDelayMs = 400;
    static constexpr int kUnfocusedDelayMs = 2000;

    explicit ChangeNoticeCoalescer(QObject *parent = nullptr);

    // Restarts the delay, unless the notice is to be ignored or a drag is in progress.
    void noticeArrived(bool focused);
    // The component's own rename: its notice is not news.
    void ignoreNextNotice() { m_ignoreNext = true; }

    // True while a drag or a caption edit is in progress; the refresh is then kept for later.
    bool deferRefresh();
    void beginDrag() { m_dragging = true; }
    // A drag that ended in a drop, or one that kept a refresh back, refreshes now.
    void endDrag(bool dropped);
    void beginCaptionEdit() { m_editing = true; }
    void endCaptionEdit();

    // A refresh waiting for its delay or kept back happens now.
    void refreshPendingNow();

    bool isWaiting() const { return m_timer.isActive(); }
    // The component's own rename is still to be told apart from the next notice.
    bool ignoresNextNotice() const { return m_ignoreNext; }
    int delay() const { return m_timer.interval(); }

Q_SIGNALS:
    void refreshNow();

private:
    void fire();

    QTimer m_timer;
    bool m_ignoreNext = false;
    bool m_dragging = false;
    bool m_editing = false;
    bool m_pending = false;
};

} // namespace nomaro
