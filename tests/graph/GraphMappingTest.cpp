#include "graph/GraphMapping.h"

#include <gtest/gtest.h>

namespace {

using namespace veltrim;

TEST(GraphMapping, WorldCornersFillTheDrawingArea) {
    const QTransform t = GraphToPixel();
    EXPECT_EQ(t.map(QPointF(-150, 90)), QPointF(0, 0));
    const QPointF far = t.map(QPointF(950, 990));
    EXPECT_DOUBLE_EQ(far.x(), 557.0);
    EXPECT_DOUBLE_EQ(far.y(), 557.0);
    // The chart's origin (0 cm, 0.1 %) and a world point inside it.
    const QPointF origin = t.map(QPointF(0, 800));
    EXPECT_NEAR(origin.x(), 150 * 557.0 / 1100, 1e-12);
    EXPECT_NEAR(origin.y(), 710 * 557.0 / 900, 1e-12);
}

TEST(GraphMapping, InverseTakesPixelsBackToGraphUnits) {
    const QTransform back = GraphToPixel().inverted();
    for (const QPointF p :
         {QPointF(0, 110), QPointF(900, 800), QPointF(-150, 990), QPointF(8, 109.22)}) {
        const QPointF q = back.map(GraphToPixel().map(p));
        EXPECT_NEAR(q.x(), p.x(), 1e-9);
        EXPECT_NEAR(q.y(), p.y(), 1e-9);
    }
}

TEST(GraphMapping, LogarithmicPddAxisAndItsInverse) {
    EXPECT_DOUBLE_EQ(PddToY(0.1), 800.0);
    EXPECT_NEAR(PddToY(100.0), 109.22, 0.005);
    EXPECT_NEAR(PddToY(10.0), 339.48, 0.005);
    EXPECT_NEAR(PddToY(1.0), 569.74, 0.005);
    // The black reference lines sit at rounded positions, not on the decades.
    EXPECT_NEAR(YToPdd(570.0), 0.997, 0.0005);
    EXPECT_NEAR(YToPdd(340.0), 9.95, 0.005);
    EXPECT_NEAR(YToPdd(110.0), 99.23, 0.005);
    for (double p : {0.1, 0.37, 5.0, 63.2, 121.0})
        EXPECT_NEAR(YToPdd(PddToY(p)), p, 1e-12 * p);
}

TEST(GraphMapping, DepthAndRowPositions) {
    EXPECT_DOUBLE_EQ(DepthToX(30.0), 900.0);
    EXPECT_DOUBLE_EQ(XToDepth(450.0), 15.0);
    EXPECT_DOUBLE_EQ(RowToX(1), 8.0);
    EXPECT_DOUBLE_EQ(RowToX(60), 893.0);
}

} // namespace
