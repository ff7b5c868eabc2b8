#include "graph/SpectrumChart.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace veltrim {
namespace {

constexpr int PlotLeft = 78;
constexpr int PlotTop = 16;
constexpr int PlotRight = SpectrumImageWidth - 20;
constexpr int PlotBottom = SpectrumImageHeight - 58;
constexpr double TopKeV = 150.0;

// Height of a fraction on the axis from 0 to `top`.
int RowOf(double fraction, double top) {
    const double share = std::clamp(fraction / top, 0.0, 1.0);
    return PlotBottom - static_cast<int>(std::lround(share * (PlotBottom - PlotTop)));
}

// A tick step of 1, 2 or 5 times a power of ten that gives four to ten ticks.
double TickStep(double top) {
    const double rough = top / 5.0;
    const double decade = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double m : {1.0, 2.0, 5.0})
        if (m * decade >= rough)
            return m * decade;
    return 10.0 * decade;
}

// The tick labels need as many decimals as the step has.
QString TickText(double value, double step) {
    const int decimals = std::max(0, static_cast<int>(std::ceil(-std::log10(step) - 1e-9)));
    return QString::number(value, 'f', decimals);
}

void DrawAxes(QPainter& painter, const SpectrumAxes& axes, double top) {
    QFont font = axes.Font;
    font.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const double step = TickStep(top);
    // The grid first, the frame and the numbers over it.
    for (int keV = 0; keV <= 150; keV += 10) {
        const int x = SpectrumColumn(keV);
        painter.setPen(QColor::fromRgb(colours::LightGrey));
        if (keV > 0 && keV < 150)
            painter.drawLine(x, PlotTop + 1, x, PlotBottom - 1);
        painter.setPen(QColor::fromRgb(colours::Black));
        painter.drawLine(x, PlotBottom, x, PlotBottom + (keV % 30 == 0 ? 6 : 3));
        if (keV % 30 == 0)
            painter.drawText(QRect(x - 30, PlotBottom + 8, 60, metrics.height()), Qt::AlignHCenter,
                             QString::number(keV));
    }
    for (int n = 0; n * step <= top * (1 + 1e-9); ++n) {
        const int y = RowOf(n * step, top);
        painter.setPen(QColor::fromRgb(colours::LightGrey));
        if (n > 0 && y > PlotTop)
            painter.drawLine(PlotLeft + 1, y, PlotRight - 1, y);
        painter.setPen(QColor::fromRgb(colours::Black));
        painter.drawLine(PlotLeft - 5, y, PlotLeft, y);
        painter.drawText(QRect(0, y - metrics.height() / 2, PlotLeft - 8, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, TickText(n * step, step));
    }
    painter.setPen(QColor::fromRgb(colours::Black));
    painter.drawRect(QRect(QPoint(PlotLeft, PlotTop), QPoint(PlotRight, PlotBottom)));
    painter.drawText(QRect(PlotLeft, SpectrumImageHeight - metrics.height() - 4,
                           PlotRight - PlotLeft, metrics.height()),
                     Qt::AlignHCenter, axes.Energy);
    // The fraction reads upwards along the left edge.
    painter.save();
    painter.translate(4, (PlotTop + PlotBottom) / 2);
    painter.rotate(-90);
    painter.drawText(QRect(-(PlotBottom - PlotTop) / 2, 0, PlotBottom - PlotTop, metrics.height()),
                     Qt::AlignHCenter, axes.Fraction);
    painter.restore();
}

} // namespace

QRect SpectrumPlotArea() {
    return {QPoint(PlotLeft, PlotTop), QPoint(PlotRight, PlotBottom)};
}

int SpectrumColumn(double keV) {
    return PlotLeft + static_cast<int>(std::lround(keV / TopKeV * (PlotRight - PlotLeft)));
}

double SpectrumAxisTop(const EnergyTable& spectrum) {
    double largest = 0.0;
    for (const double fraction : spectrum)
        if (std::isfinite(fraction))
            largest = std::max(largest, fraction);
    if (!(largest > 0.0))
        return 1.0;
    const double step = TickStep(largest);
    return std::ceil(largest / step - 1e-9) * step;
}

QImage DrawSpectrumChart(const EnergyTable* spectrum, const SpectrumAxes& axes) {
    QImage image(SpectrumImageWidth, SpectrumImageHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    const double top = spectrum != nullptr ? SpectrumAxisTop(*spectrum) : 1.0;
    DrawAxes(painter, axes, top);
    if (spectrum == nullptr)
        return image;
    // Bin j holds the photons of 0.5 j keV: its bar stands over j - 1/2 .. j + 1/2.
    for (int j = 1; j < EnergyBinCount; ++j) {
        const double fraction = (*spectrum)[static_cast<std::size_t>(j)];
        if (!(fraction > 0.0) || !std::isfinite(fraction))
            continue;
        const int left = std::max(PlotLeft + 1, SpectrumColumn(0.5 * j - 0.25));
        const int right = std::min(PlotRight - 1, SpectrumColumn(0.5 * j + 0.25));
        const int y = std::min(RowOf(fraction, top), PlotBottom - 1);
        painter.fillRect(QRect(QPoint(left, y), QPoint(std::max(left, right), PlotBottom - 1)),
                         QColor::fromRgb(SpectrumBarColour));
    }
    return image;
}

} // namespace veltrim
