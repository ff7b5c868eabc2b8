#include "graph/GraphMapping.h"

#include <gtest/gtest.h>

namespace {

using namespace veltrim;

TEST(GraphMapping, WorldRectangleFillsTheDrawingAreaAndMapsBack) {
    const QTransform t = GraphToPixel();
    EXPECT_EQ(t.map(QPointF(-150, 90)), QPointF(0, 0));
    EXPECT_NEAR(t.map(QPointF(950, 990)).x(), 557.0, 1e-12);
    EXPECT_NEAR(t.map(QPointF(950, 990)).y(), 557.0, 1e-12);
    for (const QPointF p : {QPointF(0, 800), QPointF(900, 110), QPointF(8, 109.22)}) {
        const QPointF q = t.inverted().map(t.map(p));
        EXPECT_NEAR(q.x(), p.x(), 1e-9);
        EXPECT_NEAR(q.y(), p.y(), 1e-9);
    }
}

TEST(GraphMapping, LogarithmicPddAxisAndItsInverse) {
    EXPECT_DOUBLE_EQ(PddToY(0.1), 800.0);
    EXPECT_NEAR(PddToY(100.0), 109.22, 0.005);
    EXPECT_NEAR(PddToY(10.0), 339.48, 0.005);
    // The black reference lines sit at rounded positions, not on the decades.
    EXPECT_NEAR(YToPdd(570.0), 0.997, 0.0005);
    EXPECT_NEAR(YToPdd(340.0), 9.95, 0.005);
    for (double p : {0.1, 0.37, 5.0, 63.2, 121.0})
        EXPECT_NEAR(YToPdd(PddToY(p)), p, 1e-12 * p);
    EXPECT_DOUBLE_EQ(RowToX(1), 8.0);
    EXPECT_DOUBLE_EQ(RowToX(60), 893.0);
}

} // namespace
