#pragma once

#include "dose/DepthDose.h"
#include "graph/GraphSvg.h"

#include <QFrame>
#include <QImage>
#include <QPointF>
#include <array>

namespace veltrim {

// A line laid over the graph, in graph units; not part of the picture's image.
struct CursorLine {
    QPointF From;
    QPointF To;
    QRgb Colour = 0xff000000;
    bool Visible = false;
};

// The graph picture: a white drawing area of 557 x 557 pixels inside a
// 2-pixel sunken border. It owns a persistent image that the chart is drawn
// into outside of painting; painting only copies the image and then lays the
// cursor lines over it, so the image (what gets saved) never holds them.
class GraphPicture : public QFrame {
    Q_OBJECT
  public:
    static constexpr int BorderWidth = 2;
    static constexpr int LineCount = 4;

    explicit GraphPicture(QWidget* parent = nullptr);

    // The chart operations, on this picture's image.
    void DrawGraphFrame();
    void PlotDepthDose(const DepthDoseTable& result, double maxDepth);

    const QImage& Image() const { return image_; }
    // What the image shows, drawn again as an SVG document.
    QByteArray SvgDrawing() const { return GraphSvg(plots_); }

    // Line1..Line4 (n = 1..4).
    const CursorLine& Line(int n) const;
    void SetLine(int n, const CursorLine& line);
    void ShowLine(int n, bool visible);

    // Pixel of the drawing area and graph units, both ways.
    static QPointF WidgetToGraph(const QPointF& widgetPoint);
    static QPointF GraphToWidget(const QPointF& graphPoint);

  signals:
    // The pointer moved over the picture, in graph units.
    void PointerMoved(QPointF graphPoint);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    QImage image_;
    // The tables plotted since the frame was last drawn, for SvgDrawing.
    std::vector<PlottedDepthDose> plots_;
    std::array<CursorLine, LineCount> lines_{};
};

} // namespace veltrim
