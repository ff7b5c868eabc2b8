#include "graph/GraphDrawing.h"

#include "graph/Colours.h"
#include "graph/GraphMapping.h"

#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

namespace veltrim {
namespace {

// The chart's face at 15.75 pt for the axis labels and 14 pt for the legend,
// as pixel heights at 96 dots per inch, so the picture does not depend on the
// screen. Unsmoothed, so the picture holds only the chart's five colours.
QFont GraphFont(int pixelSize) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Normal);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}
constexpr int LabelPixels = 21;
constexpr int LegendPixels = 19;

QPen CosmeticPen(QRgb colour, int width) {
    QPen pen{QColor::fromRgb(colour)};
    pen.setWidth(width);
    pen.setCosmetic(true);
    return pen;
}

// Text with its top-left corner at a point in graph units, printed in pixel
// space so the transform does not stretch the glyphs.
void PrintAt(QPainter& painter, double x, double y, const QString& text) {
    const QPointF at = GraphToPixel().map(QPointF(x, y));
    painter.save();
    painter.resetTransform();
    painter.setPen(QColor::fromRgb(colours::Black));
    painter.drawText(QRectF(at, QSizeF(GraphImageSize, GraphImageSize)),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
    painter.restore();
}

void DrawPlotOutline(QPainter& painter) {
    painter.setPen(CosmeticPen(colours::Black, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(PlotFrame);
}

void BeginGraphPainter(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setWorldTransform(GraphToPixel());
}

// A value that can be placed on the logarithmic axis at all.
bool Plottable(double percent) {
    return std::isfinite(percent) && percent > 0.0;
}

void DrawCurve(QPainter& painter, const DepthDoseTable& result, int column, int lastRow,
               QRgb colour) {
    const double first = result[1][column];
    if (!Plottable(first))
        return;
    painter.setPen(CosmeticPen(colour, 2));
    QPointF current(RowToX(1), PddToY(first));
    painter.drawPoint(current);
    for (int row = 2; row <= lastRow; ++row) {
        const double value = result[row][column];
        // Below 0.1 % is off the chart: the next row on it is joined to the last one drawn.
        if (!(value >= 0.1) || !std::isfinite(value))
            continue;
        const QPointF next(RowToX(row), PddToY(value));
        painter.drawLine(current, next);
        current = next;
    }
}

} // namespace

QImage MakeGraphImage() {
    QImage image(GraphImageSize, GraphImageSize, QImage::Format_RGB32);
    image.fill(colours::White);
    return image;
}

void DrawGraphFrame(QImage& image) {
    image.fill(colours::White);
    QPainter painter(&image);
    PaintGraphFrame(painter);
}

void PaintGraphFrame(QPainter& painter) {
    BeginGraphPainter(painter);

    painter.setPen(CosmeticPen(colours::LightGrey, 1));
    for (int cm = 1; cm <= 29; ++cm) {
        const double x = 30.0 * cm;
        painter.drawLine(QPointF(x, PlotFrame.top()), QPointF(x, PlotFrame.bottom()));
    }
    // Levels m * 10^j % for m = 1..10 in each of the three decades above 0.1 %;
    // 1 % and 10 % come twice, 100 % lies just above the frame's top edge.
    for (int j = 0; j <= 2; ++j) {
        for (int m = 1; m <= 10; ++m) {
            const double y = 800.0 - 100.0 * std::log(m * std::pow(10.0, j));
            painter.drawLine(QPointF(PlotFrame.left(), y), QPointF(PlotFrame.right(), y));
        }
    }

    painter.setPen(CosmeticPen(colours::Black, 1));
    for (int x = 150; x <= 750; x += 150)
        painter.drawLine(QPointF(x, PlotFrame.top()), QPointF(x, PlotFrame.bottom()));
    // The 10 % and 1 % decades at their rounded positions, a little below the grid lines.
    painter.drawLine(QPointF(PlotFrame.left(), 340.0), QPointF(PlotFrame.right(), 340.0));
    painter.drawLine(QPointF(PlotFrame.left(), 570.0), QPointF(PlotFrame.right(), 570.0));

    DrawPlotOutline(painter);

    painter.setFont(GraphFont(LabelPixels));
    struct Label {
        double X, Y;
        const char* Text;
    };
    static constexpr Label labels[] = {
        {0, 805, "0"},
        {280, 805, "10"},
        {580, 805, "20"},
        {880, 805, "30"},
        {480, 840, "depth in soft-tissue [cm]"},
        {-80, 100, "100"},
        {-60, 325, "10"},
        {-40, 555, "1"},
        {-60, 785, "0.1"},
        {-120, 180, "PDD"},
        {-100, 215, "[%]"},
    };
    for (const Label& label : labels)
        PrintAt(painter, label.X, label.Y, QString::fromLatin1(label.Text));
}

void PlotDepthDose(QImage& image, const DepthDoseTable& result, double maxDepth) {
    QPainter painter(&image);
    PaintDepthDose(painter, result, maxDepth);
}

void PaintDepthDose(QPainter& painter, const DepthDoseTable& result, double maxDepth) {
    BeginGraphPainter(painter);

    const double rowsForDepth = std::isfinite(maxDepth) ? std::floor(2.0 * maxDepth) : 0.0;
    const int lastRow = static_cast<int>(std::clamp(rowsForDepth, 0.0, 60.0));
    // The total last, over its two components.
    DrawCurve(painter, result, PrimaryPdd, lastRow, colours::Red);
    DrawCurve(painter, result, ScatterPdd, lastRow, colours::Blue);
    DrawCurve(painter, result, TotalPdd, lastRow, colours::Black);

    DrawPlotOutline(painter);

    struct LegendEntry {
        double Y;
        QRgb Colour;
        const char* Text;
    };
    static constexpr LegendEntry legend[] = {
        {900, colours::Black, "Percentage Depth Dose"},
        {935, colours::Red, "Primary component"},
        {970, colours::Blue, "Scatter component"},
    };
    for (const LegendEntry& entry : legend) {
        painter.setPen(CosmeticPen(entry.Colour, 2));
        painter.drawLine(QPointF(20.0, entry.Y), QPointF(120.0, entry.Y));
    }
    painter.setFont(GraphFont(LegendPixels));
    for (const LegendEntry& entry : legend)
        PrintAt(painter, 140.0, entry.Y - 20.0, QString::fromLatin1(entry.Text));
}

} // namespace veltrim
