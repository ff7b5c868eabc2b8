#include "graph/GraphSvg.h"

#include "graph/Colours.h"
#include "graph/GraphDrawing.h"
#include "graph/GraphMapping.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>

namespace veltrim {

QByteArray GraphSvg(const std::vector<PlottedDepthDose>& plots) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    // One SVG unit is one pixel of the picture; at 96 dots per inch the
    // labels' pixel sizes keep the size they have on the screen.
    const QRect area(0, 0, GraphImageSize, GraphImageSize);
    svg.setSize(area.size());
    svg.setViewBox(area);
    svg.setResolution(96);
    svg.setTitle(QStringLiteral("Percentage Depth Dose"));
    {
        QPainter painter(&svg);
        painter.fillRect(area, QColor::fromRgb(colours::White));
        // Each drawing starts from a fresh painter's state, as on the image.
        painter.save();
        PaintGraphFrame(painter);
        painter.restore();
        for (const PlottedDepthDose& plot : plots) {
            painter.save();
            PaintDepthDose(painter, plot.Table, plot.MaxDepth);
            painter.restore();
        }
    }
    return bytes;
}

} // namespace veltrim
