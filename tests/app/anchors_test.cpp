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

TEST_F(Anchoring, AStretchedControlNeverGetsANegativeSize)
{
    placeAndResize(Qt::LeftEdge | Qt::RightEdge, QSize(40, 100));
    EXPECT_EQ(control->width(), 0);
}

} // namespace
} // namespace nomaro
