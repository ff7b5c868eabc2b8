#pragma once

#include <QPointF>
#include <QRectF>
#include <QTransform>

namespace veltrim {

// The graph picture's drawing area in pixels, and the world rectangle in graph
// units that fills it: x from -150 to 950, y from 90 to 990, y downwards.
inline constexpr int GraphImageSize = 557;
inline constexpr double GraphWorldLeft = -150.0;
inline constexpr double GraphWorldTop = 90.0;
inline constexpr double GraphWorldWidth = 1100.0;
inline constexpr double GraphWorldHeight = 900.0;

// The plot frame: 0..30 cm across, 99.23 %..0.1 % down.
inline constexpr double PlotLeft = 0.0;
inline constexpr double PlotTop = 110.0;
inline constexpr double PlotRight = 900.0;
inline constexpr double PlotBottom = 800.0;

// Graph units to pixels of the drawing area; inverted() maps the pointer back.
QTransform GraphToPixel();

// A depth in cm on the horizontal axis: 1 cm is 30 units.
double DepthToX(double depthCm);
double XToDepth(double x);

// A PDD in percent on the logarithmic axis: 0.1 % at the frame's bottom, one
// decade every 100 ln 10 units.
double PddToY(double percent);
double YToPdd(double y);

// Where row r of the depth-dose table is plotted; half a unit right of the
// slab's middle, which is where the cursor stands as well.
double RowToX(int row);

} // namespace veltrim
