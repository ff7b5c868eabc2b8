#pragma once

#include "dose/DepthDose.h"

#include <QImage>

class QPainter;

namespace veltrim {

// A blank picture of the drawing area's size, ready for DrawGraphFrame.
QImage MakeGraphImage();

// Erases the picture and draws the empty chart: light grey grid, black
// reference lines at 5-cm steps and near the 1 % and 10 % decades, the plot
// frame and the axis labels. Every call gives the same image.
void DrawGraphFrame(QImage& image);

// Adds the primary, scatter and total curves of rows 1..2*maxDepth (at most
// 60) over whatever the picture shows, then the frame outline and the legend.
// Rows below 0.1 % are skipped and joined over; a column whose row 1 is not a
// positive number has no place on the logarithmic axis and draws no curve.
void PlotDepthDose(QImage& image, const DepthDoseTable& result, double maxDepth);

// The same two drawings on any painter of a 557-pixel square (the picture's
// image, an SVG), so every copy of the graph shows what the window shows.
// The frame leaves the background as it is.
void PaintGraphFrame(QPainter& painter);
void PaintDepthDose(QPainter& painter, const DepthDoseTable& result, double maxDepth);

} // namespace veltrim
