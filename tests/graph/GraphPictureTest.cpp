#include "graph/GraphPicture.h"

#include "graph/GraphDrawing.h"
#include "graph/GraphMapping.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>

namespace {

using namespace veltrim;

bool HasColour(const QImage& image, QRgb colour) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour)
                return true;
    return false;
}

TEST(GraphPicture, CursorLinesArePaintedOverTheImageButNeverIntoIt) {
    GraphPicture graph;
    graph.DrawGraphFrame();
    graph.SetLine(2, {QPointF(450, 110), QPointF(450, 800), GraphRed, true});
    graph.SetLine(4, {QPointF(0, 300), QPointF(900, 300), GraphBlue, false});

    const QImage shown = graph.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPointF onLine = GraphPicture::GraphToWidget(QPointF(450, 455));
    bool redShown = false;
    for (int dx = -1; dx <= 1; ++dx)
        redShown |= shown.pixel(static_cast<int>(onLine.x()) + dx, static_cast<int>(onLine.y())) ==
                    GraphRed;
    EXPECT_TRUE(redShown);
    EXPECT_FALSE(HasColour(shown, GraphBlue)) << "a hidden line was painted";
    EXPECT_FALSE(HasColour(graph.Image(), GraphRed));
}

TEST(GraphPicture, PointerMovesAreReportedInGraphUnits) {
    GraphPicture graph;
    QPointF reported(-1, -1);
    QObject::connect(&graph, &GraphPicture::PointerMoved, &graph, [&](QPointF p) { reported = p; });
    const QPointF where = GraphPicture::GraphToWidget(QPointF(15, 800));
    QMouseEvent move(QEvent::MouseMove, where, graph.mapToGlobal(where), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(&graph, &move);
    EXPECT_NEAR(reported.x(), 15.0, 1e-9);
    EXPECT_NEAR(reported.y(), 800.0, 1e-9);
}

} // namespace
