#pragma once

#include <QPointF>
#include <QRectF>
#include <QTransform>

namespace veltrim {

// The graph picture's drawing area in pixels, and the world rectangle in graph
// units that fills it: x from -150 to 950, y from 90 to 990, y downwards.
inline constexpr int GraphImageSize = 557;
inline constexpr QRectF GraphWorld(-150.0, 90.0, 1100.0, 900.0);

// The plot frame: 0..30 cm across, 99.23 %..0.1 % down.
inline constexpr QRectF PlotFrame(QPointF(0.0, 110.0), QPointF(900.0, 800.0));

// Graph units to pixels of the drawing area; inverted() maps the pointer back.
QTransform GraphToPixel();

// A PDD in percent on the logarithmic axis: 0.1 % at the frame's bottom, one
// decade every 100 ln 10 units.
double PddToY(double percent);

// Where row r of the depth-dose table is plotted; half a unit right of the
// slab's middle, which is where the cursor stands as well.
double RowToX(int row);

} // namespace veltrim
