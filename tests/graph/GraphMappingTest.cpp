#include "graph/GraphMapping.h"

#include <gtest/gtest.h>

namespace {

using namespace veltrim;

// The anchors of the axes that every pixel test and the cursor rely on: the
// logarithmic PDD axis (0.1 % on the frame's bottom edge) and the rows' places.
TEST(GraphMapping, LogarithmicPddAxisAndRowPlaces) {
    EXPECT_DOUBLE_EQ(PddToY(0.1), 800.0);
    EXPECT_NEAR(PddToY(100.0), 109.22, 0.005);
    EXPECT_NEAR(PddToY(10.0), 339.48, 0.005);
    EXPECT_DOUBLE_EQ(RowToX(1), 8.0);
    EXPECT_DOUBLE_EQ(RowToX(60), 893.0);
}

} // namespace
