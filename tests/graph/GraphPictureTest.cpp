#include "graph/GraphPicture.h"

#include "common/GuiHelpers.h"
#include "graph/Colours.h"
#include "graph/GraphMapping.h"

#include <gtest/gtest.h>

namespace {

using namespace veltrim;
using veltrim::testing::ColoursOf;

TEST(GraphPicture, CursorLinesArePaintedOverTheImageButNeverIntoIt) {
    GraphPicture graph;
    graph.DrawGraphFrame();
    graph.SetLine(2, {QPointF(450, 110), QPointF(450, 800), colours::Red, true});
    graph.SetLine(4, {QPointF(0, 300), QPointF(900, 300), colours::Blue, false});

    const QImage shown = graph.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPointF onLine = GraphPicture::GraphToWidget(QPointF(450, 455));
    bool redShown = false;
    for (int dx = -1; dx <= 1; ++dx)
        redShown |= shown.pixel(static_cast<int>(onLine.x()) + dx, static_cast<int>(onLine.y())) ==
                    colours::Red;
    EXPECT_TRUE(redShown);
    EXPECT_FALSE(ColoursOf(shown).contains(colours::Blue)) << "a hidden line was painted";
    EXPECT_FALSE(ColoursOf(graph.Image()).contains(colours::Red));
}

} // namespace
