#include <gtest/gtest.h>

#include <QWidget>

#include "app/anchors.h"

namespace nomaro {
namespace {

struct Anchoring : ::testing::Test
{
    QWidget parent;
    AnchorSet anchors;
    QWidget *control = new QWidget(&parent);

    void placeAndResize(Qt::Edges edges, const QSize &newSize)
    {
        parent.resize(200, 100);
        parent.show();
        anchors.place(control, QRect(20, 10, 50, 30), edges, QSize(200, 100));
        parent.resize(newSize);
    }
};

TEST_F(Anchoring, LeftAndTopKeepThePlace)
{
    placeAndResize(Qt::LeftEdge | Qt::TopEdge, QSize(300, 180));
    EXPECT_EQ(control->geometry(), QRect(20, 10, 50, 30));
}

TEST_F(Anchoring, RightAndBottomKeepTheDistanceToThoseEdges)
{
    placeAndResize(Qt::RightEdge | Qt::BottomEdge, QSize(300, 180));
    EXPECT_EQ(control->geometry(), QRect(120, 90, 50, 30));
}

TEST_F(Anchoring, OppositeEdgesStretch)
{
    placeAndResize(Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge, QSize(300, 180));
    EXPECT_EQ(control->geometry(), QRect(20, 10, 150, 110));
}

// A design that lets a control reach 5 pixels past the bottom edge, as a row drawn one pixel low
// or a box a few pixels too tall: anchored to that edge, the control ends on it whole.
TEST_F(Anchoring, AControlDesignedPastAFarEdgeEndsOnIt)
{
    parent.resize(200, 100);
    parent.show();
    auto *row = new QWidget(&parent);
    anchors.place(row, QRect(20, 75, 50, 30), Qt::LeftEdge | Qt::BottomEdge, QSize(200, 100));
    auto *list = new QWidget(&parent);
    anchors.place(list, QRect(0, 0, 200, 105), Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge,
                  QSize(200, 100));
    for (const QSize size : {QSize(200, 100), QSize(300, 180)}) {
        parent.resize(size);
        EXPECT_EQ(row->geometry(), QRect(20, size.height() - 30, 50, 30));
        EXPECT_EQ(list->geometry(), QRect(QPoint(0, 0), size));
    }
}

TEST_F(Anchoring, AStretchedControlNeverGetsANegativeSize)
{
    placeAndResize(Qt::LeftEdge | Qt::RightEdge, QSize(40, 100));
    EXPECT_EQ(control->width(), 0);
}

} // namespace
} // namespace nomaro
