#pragma once

// Looking at the graph picture's image in graph units.

#include "graph/GraphDrawing.h"
#include "graph/GraphMapping.h"
#include "window/SharedState.h"

#include <QImage>
#include <cmath>
#include <initializer_list>

namespace veltrim::testing {

// The pixel of the drawing area that holds a point in graph units.
inline QPoint PixelOf(QPointF world) {
    const QPointF p = GraphToPixel().map(world);
    return {static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y()))};
}

// Whether the colour appears within `reach` pixels of a point in graph units:
// where the design puts a line, a pixel of rounding either way is allowed.
inline bool ColourNear(const QImage& image, QPointF world, QRgb colour, int reach = 1) {
    const QPoint c = PixelOf(world);
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
            const QPoint p(c.x() + dx, c.y() + dy);
            if (image.rect().contains(p) && image.pixel(p) == colour)
                return true;
        }
    return false;
}

// Pixels of a colour inside a rectangle given in graph units.
inline int CountColour(const QImage& image, QPointF topLeft, QPointF bottomRight, QRgb colour) {
    const QRect area = QRect(PixelOf(topLeft), PixelOf(bottomRight)).intersected(image.rect());
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixel(x, y) == colour ? 1 : 0;
    return count;
}

// The chart as DrawGraphFrame leaves it on a fresh picture.
inline QImage EmptyChart() {
    QImage image = MakeGraphImage();
    DrawGraphFrame(image);
    return image;
}

// The chart with the curves of each table drawn in turn, 30 cm deep: what
// the window shows after those calculations since the last Reset.
inline QImage ChartWith(std::initializer_list<DepthDoseTable> tables) {
    QImage image = EmptyChart();
    for (const DepthDoseTable& table : tables)
        PlotDepthDose(image, table, 30.0);
    return image;
}

// Where a row of a column of the depth-dose table is plotted.
inline QPointF RowPoint(const DepthDoseTable& table, int row, int column) {
    return {RowToX(row), PddToY(table[row][column])};
}

} // namespace veltrim::testing
