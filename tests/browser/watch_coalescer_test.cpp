#include "browser/changenoticecoalescer.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include "browser/changehandlerthread.h"
#include "tests/browser/watch_support.h"
#include "tests/support/tempdir.h"

namespace nomaro {
namespace {

TEST(ChangeNoticeCoalescer, TheDelayFollowsTheFocusAndEachNoticeRestartsIt)
{
    ChangeNoticeCoalescer coalescer;
    QSignalSpy refreshes(&coalescer, &ChangeNoticeCoalescer::refreshNow);
    coalescer.noticeArrived(true);
    EXPECT_EQ(coalescer.delay(), ChangeNoticeCoalescer::kFocusedDelayMs);
    coalescer.noticeArrived(false);
    EXPECT_EQ(coalescer.delay(), ChangeNoticeCoalescer::kUnfocusedDelayMs);
    coalescer.noticeArrived(true);
    test::processEventsFor(200);
    coalescer.noticeArrived(true); // restarted: nothing at 400 ms from the first notice
    test::processEventsFor(200);
    EXPECT_EQ(refreshes.count(), 0);
    EXPECT_TRUE(test::processEventsUntil([&] { return refreshes.count() == 1; }, 2000));
    EXPECT_FALSE(coalescer.isWaiting());
}

TEST(ChangeNoticeCoalescer, TheOwnRenameAndADragSwallowANotice)
{
    ChangeNoticeCoalescer coalescer;
    coalescer.ignoreNextNotice();
    coalescer.noticeArrived(true);
    EXPECT_FALSE(coalescer.isWaiting());
    coalescer.noticeArrived(true); // only the next one was ignored
    EXPECT_TRUE(coalescer.isWaiting());

    ChangeNoticeCoalescer dragged;
    dragged.beginDrag();
    dragged.noticeArrived(true);
    EXPECT_FALSE(dragged.isWaiting());
}

TEST(ChangeNoticeCoalescer, ARefreshDuringADragOrAnEditWaitsForItsEnd)
{
    ChangeNoticeCoalescer coalescer;
    QSignalSpy refreshes(&coalescer, &ChangeNoticeCoalescer::refreshNow);
    EXPECT_FALSE(coalescer.deferRefresh());

    coalescer.beginCaptionEdit();
    EXPECT_TRUE(coalescer.deferRefresh());
    coalescer.endCaptionEdit();
    EXPECT_EQ(refreshes.count(), 1);
    coalescer.beginCaptionEdit();
    coalescer.endCaptionEdit(); // nothing was asked meanwhile
    EXPECT_EQ(refreshes.count(), 1);

    coalescer.beginDrag();
    coalescer.endDrag(false);
    EXPECT_EQ(refreshes.count(), 1);
    coalescer.beginDrag();
    coalescer.endDrag(true); // a drop refreshes
    EXPECT_EQ(refreshes.count(), 2);
    coalescer.beginDrag();
    EXPECT_TRUE(coalescer.deferRefresh());
    coalescer.endDrag(false);
    EXPECT_EQ(refreshes.count(), 3);
}

TEST(ChangeNoticeCoalescer, APendingRefreshCanBeDoneAtOnce)
{
    ChangeNoticeCoalescer coalescer;
    QSignalSpy refreshes(&coalescer, &ChangeNoticeCoalescer::refreshNow);
    coalescer.refreshPendingNow();
    EXPECT_EQ(refreshes.count(), 0);
    coalescer.noticeArrived(false);
    coalescer.refreshPendingNow();
    EXPECT_EQ(refreshes.count(), 1);
    EXPECT_FALSE(coalescer.isWaiting());
}

// The watcher's notices reach a coalescer as a component would pass them on.
class CoalescingOwner : public QObject
{
public:
    ChangeNoticeCoalescer coalescer;
    int notices = 0;

    bool event(QEvent *event) override
    {
        if (event->type() != ChangeNoticeEvent::type())
            return QObject::event(event);
        ++notices;
        coalescer.noticeArrived(false);
        return true;
    }
};

TEST(ChangeNoticeCoalescer, ABurstOfTenThousandFilesGivesOneRefresh)
{
    test::TempDir dir;
    CoalescingOwner owner;
    QSignalSpy refreshes(&owner.coalescer, &ChangeNoticeCoalescer::refreshNow);
    ChangeHandlerThread watcher(&owner);
    int slot;
    ASSERT_TRUE(watcher.AddWatch(dir.path(), platform::FileNameChanges, &slot, false));
    for (int i = 0; i < 10000; ++i) {
        dir.writeFile("file" + std::to_string(i) + ".txt");
        if (i % 500 == 0)
            QCoreApplication::processEvents(); // the window stays responsive meanwhile
    }
    EXPECT_TRUE(test::processEventsUntil([&] { return refreshes.count() > 0; }, 10000));
    test::processEventsFor(ChangeNoticeCoalescer::kUnfocusedDelayMs + 500);
    EXPECT_GT(owner.notices, 0);
    EXPECT_EQ(refreshes.count(), 1);
}

} // namespace
} // namespace nomaro
