#include "report/ReportChart.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <vector>

namespace veltrim {
namespace {

// A step of 1, 2 or 5 times a power of ten that cuts `span` into four to
// ten parts, as a reader counts ticks.
double TickStep(double span) {
    const double power = std::pow(10.0, std::floor(std::log10(span / 5.0)));
    for (const double factor : {1.0, 2.0, 5.0})
        if (span / (factor * power) <= 10.0)
            return factor * power;
    return 10.0 * power;
}

const QColor CurveColours[] = {Qt::black, QColor(0, 70, 200), QColor(200, 40, 40)};

} // namespace

void DrawReportChart(QPainter& painter, const QRectF& area, const ReportChart& chart,
                     const QFont& font) {
    if (chart.X.empty())
        return;
    painter.save();
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const double line = metrics.height();
    const QRectF plot =
        area.adjusted(7 * metrics.averageCharWidth() + line, 1.5 * line, -line, -2.5 * line);
    double yMost = 0.0;
    for (const std::vector<double>& curve : chart.Curves)
        for (const double y : curve)
            yMost = std::max(yMost, y);
    const double xMost = chart.X.back();
    const double xStep = TickStep(xMost), yStep = TickStep(yMost > 0.0 ? yMost : 1.0);
    const double xEnd = std::ceil(xMost / xStep) * xStep;
    const double yEnd = chart.LogFrom ? std::pow(10.0, std::ceil(std::log10(yMost)))
                                      : std::ceil((yMost > 0.0 ? yMost : 1.0) / yStep) * yStep;
    const double yStart = chart.LogFrom ? *chart.LogFrom : 0.0;
    // Where an ordinate lies between the bottom (0) and the top (1) of the plot.
    const auto height = [&](double y) {
        if (!chart.LogFrom)
            return y / yEnd;
        return std::log10(std::max(y, yStart) / yStart) / std::log10(yEnd / yStart);
    };
    const auto at = [&](double x, double y) {
        return QPointF(plot.left() + plot.width() * x / xEnd,
                       plot.bottom() - plot.height() * height(y));
    };

    painter.drawText(QRectF(area.left(), area.top(), area.width(), line), Qt::AlignHCenter,
                     QString::fromStdString(chart.Title));
    painter.setPen(QPen(Qt::black, 0.6));
    painter.drawRect(plot);
    for (double x = 0.0; x <= xEnd + xStep / 2; x += xStep) {
        painter.drawLine(at(x, 0.0), at(x, 0.0) + QPointF(0, 3));
        painter.drawText(QRectF(at(x, 0.0).x() - 30, plot.bottom() + 4, 60, line), Qt::AlignHCenter,
                         QString::number(x, 'g', 6));
    }
    std::vector<double> yTicks;
    if (chart.LogFrom)
        for (double y = yStart; y <= yEnd * 1.001; y *= 10.0)
            yTicks.push_back(y);
    else
        for (double y = 0.0; y <= yEnd + yStep / 2; y += yStep)
            yTicks.push_back(y);
    for (const double y : yTicks) {
        painter.drawLine(at(0.0, y), at(0.0, y) - QPointF(3, 0));
        painter.drawText(
            QRectF(area.left(), at(0.0, y).y() - line / 2, plot.left() - area.left() - 5, line),
            Qt::AlignRight | Qt::AlignVCenter, QString::number(y, 'g', 6));
    }
    painter.drawText(QRectF(plot.left(), plot.bottom() + 1.2 * line, plot.width(), line),
                     Qt::AlignHCenter, QString::fromStdString(chart.XAxis));
    painter.save();
    painter.translate(area.left(), plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-plot.height() / 2, 0, plot.height(), line), Qt::AlignHCenter,
                     QString::fromStdString(chart.YAxis));
    painter.restore();

    painter.setClipRect(plot);
    for (std::size_t c = 0; c < chart.Curves.size(); ++c) {
        const std::vector<double>& curve = chart.Curves[c];
        QPainterPath path;
        // A curve leaves a logarithmic plot below its least value and comes
        // back where it rises into it again.
        bool inside = false;
        for (std::size_t i = 0; i < curve.size() && i < chart.X.size(); ++i) {
            const bool shown = !chart.LogFrom || curve[i] >= yStart;
            if (shown)
                inside ? path.lineTo(at(chart.X[i], curve[i]))
                       : path.moveTo(at(chart.X[i], curve[i]));
            inside = shown;
        }
        painter.setPen(QPen(CurveColours[c % 3], 1.0));
        painter.drawPath(path);
    }
    painter.setClipping(false);
    for (std::size_t c = 0; c < chart.CurveNames.size(); ++c) {
        const double y = plot.top() + (static_cast<double>(c) + 0.8) * line;
        painter.setPen(QPen(CurveColours[c % 3], 1.0));
        painter.drawLine(QPointF(plot.right() - 110, y), QPointF(plot.right() - 90, y));
        painter.setPen(Qt::black);
        painter.drawText(QPointF(plot.right() - 85, y + line / 3),
                         QString::fromStdString(chart.CurveNames[c]));
    }
    painter.restore();
}

} // namespace veltrim
