#include "graph/GraphPicture.h"

#include "graph/GraphDrawing.h"
#include "graph/GraphMapping.h"

#include <QMouseEvent>
#include <QPainter>
#include <stdexcept>

namespace veltrim {

GraphPicture::GraphPicture(QWidget* parent) : QFrame(parent), image_(MakeGraphImage()) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(BorderWidth);
    setFixedSize(GraphImageSize + 2 * BorderWidth, GraphImageSize + 2 * BorderWidth);
    setAttribute(Qt::WA_StaticContents);
    setMouseTracking(true);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
}

void GraphPicture::DrawGraphFrame() {
    veltrim::DrawGraphFrame(image_);
    plots_.clear();
    update();
}

void GraphPicture::PlotDepthDose(const DepthDoseTable& result, double maxDepth) {
    veltrim::PlotDepthDose(image_, result, maxDepth);
    plots_.push_back({result, maxDepth});
    update();
}

const CursorLine& GraphPicture::Line(int n) const {
    if (n < 1 || n > LineCount)
        throw std::out_of_range("GraphPicture has Line1 to Line4 only");
    return lines_[static_cast<std::size_t>(n - 1)];
}

void GraphPicture::SetLine(int n, const CursorLine& line) {
    Line(n); // range check
    lines_[static_cast<std::size_t>(n - 1)] = line;
    update();
}

void GraphPicture::ShowLine(int n, bool visible) {
    CursorLine line = Line(n);
    line.Visible = visible;
    SetLine(n, line);
}

QPointF GraphPicture::WidgetToGraph(const QPointF& widgetPoint) {
    const QPointF inArea = widgetPoint - QPointF(BorderWidth, BorderWidth);
    return GraphToPixel().inverted().map(inArea);
}

QPointF GraphPicture::GraphToWidget(const QPointF& graphPoint) {
    return GraphToPixel().map(graphPoint) + QPointF(BorderWidth, BorderWidth);
}

void GraphPicture::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect area = contentsRect();
    // On a high-density screen the image is enlarged; keep its text legible.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, devicePixelRatio() != 1.0);
    painter.drawImage(area.topLeft(), image_);

    painter.setClipRect(area);
    painter.translate(area.topLeft());
    painter.setWorldTransform(GraphToPixel(), true);
    for (const CursorLine& line : lines_) {
        if (!line.Visible)
            continue;
        QPen pen{QColor::fromRgb(line.Colour)};
        pen.setCosmetic(true);
        pen.setWidth(1);
        painter.setPen(pen);
        painter.drawLine(line.From, line.To);
    }
}

void GraphPicture::mouseMoveEvent(QMouseEvent* event) {
    emit PointerMoved(WidgetToGraph(event->position()));
    QFrame::mouseMoveEvent(event);
}

} // namespace veltrim
