#pragma once

#include "report/ReportContent.h"

#include <QFont>
#include <QPainter>
#include <QRectF>

namespace veltrim {

// A chart as lines into `painter` (vectors in a PDF): a frame with ticks
// and their values, the axis titles, the curves and their names.
void DrawReportChart(QPainter& painter, const QRectF& area, const ReportChart& chart,
                     const QFont& font);

} // namespace veltrim
