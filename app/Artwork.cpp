#include "app/Artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace veltrim {
namespace {

// An exponentially falling dose across a box, from full height at the left;
// halfValueFraction is the share of the width over which it halves.
QPainterPath DepthDoseCurve(const QRectF& box, double halfValueFraction) {
    QPainterPath path;
    const int steps = 48;
    for (int i = 0; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        const double dose = std::exp(-std::log(2.0) * t / halfValueFraction);
        const QPointF p(box.left() + t * box.width(), box.bottom() - dose * box.height());
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    return path;
}

} // namespace

QImage ProgramIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);

    // Tissue block, pale pink, with a darker outline.
    p.setPen(QPen(QColor(120, 60, 60), 1.0));
    QLinearGradient tissue(0, 12, 0, 31);
    tissue.setColorAt(0, QColor(255, 214, 200));
    tissue.setColorAt(1, QColor(205, 120, 110));
    p.setBrush(tissue);
    p.drawRect(QRectF(2.5, 12.5, 27, 18));

    // The beam from the focal spot, fading with depth.
    QLinearGradient beam(0, 1, 0, 31);
    beam.setColorAt(0, QColor(255, 240, 80, 240));
    beam.setColorAt(1, QColor(255, 240, 80, 20));
    p.setPen(Qt::NoPen);
    p.setBrush(beam);
    QPolygonF cone;
    cone << QPointF(16, 1.5) << QPointF(24, 30.5) << QPointF(8, 30.5);
    p.drawPolygon(cone);
    p.setBrush(QColor(40, 40, 40));
    p.drawEllipse(QPointF(16, 2.5), 2.2, 2.2);

    // The depth-dose curve over the block.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 160), 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(DepthDoseCurve(QRectF(4, 14, 24, 15), 0.22));
    return image;
}

QImage TitlePicture(int size) {
    QImage image(size, size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 417.0, size / 417.0);

    // A dark room.
    QLinearGradient room(0, 0, 0, 417);
    room.setColorAt(0, QColor(18, 28, 54));
    room.setColorAt(1, QColor(40, 56, 92));
    p.fillRect(QRectF(0, 0, 417, 417), room);

    // The tube housing and its focal spot.
    p.setPen(QPen(QColor(150, 160, 180), 2));
    QLinearGradient housing(120, 0, 300, 0);
    housing.setColorAt(0, QColor(90, 96, 110));
    housing.setColorAt(0.5, QColor(180, 186, 200));
    housing.setColorAt(1, QColor(80, 86, 100));
    p.setBrush(housing);
    p.drawRoundedRect(QRectF(118, 22, 181, 52), 24, 24);
    QRadialGradient spot(QPointF(208.5, 78), 14);
    spot.setColorAt(0, QColor(255, 255, 230));
    spot.setColorAt(1, QColor(255, 220, 90, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(spot);
    p.drawEllipse(QPointF(208.5, 78), 14, 14);

    // The phantom: a block of soft tissue, darker with depth where less dose arrives.
    const QRectF phantom(48, 196, 321, 196);
    QLinearGradient tissue(0, phantom.top(), 0, phantom.bottom());
    tissue.setColorAt(0, QColor(238, 170, 150));
    tissue.setColorAt(1, QColor(120, 60, 64));
    p.setBrush(tissue);
    p.setPen(QPen(QColor(255, 220, 210), 2));
    p.drawRect(phantom);

    // The beam: a cone from the focal spot, strong at the surface and fading in the tissue.
    QPolygonF inAir;
    inAir << QPointF(208.5, 80) << QPointF(290, 196) << QPointF(127, 196);
    QLinearGradient air(0, 80, 0, 196);
    air.setColorAt(0, QColor(255, 246, 150, 230));
    air.setColorAt(1, QColor(255, 246, 150, 90));
    p.setPen(Qt::NoPen);
    p.setBrush(air);
    p.drawPolygon(inAir);
    QPolygonF inTissue;
    inTissue << QPointF(127, 196) << QPointF(290, 196) << QPointF(366, 304) << QPointF(51, 304);
    QLinearGradient fall(0, 196, 0, 304);
    fall.setColorAt(0, QColor(255, 250, 170, 200));
    fall.setColorAt(1, QColor(255, 250, 170, 0));
    p.setBrush(fall);
    p.drawPolygon(inTissue);

    // Scatter: faint rays leaving the beam sideways.
    p.setPen(QPen(QColor(170, 220, 255, 110), 1.5, Qt::DashLine));
    for (int i = 0; i < 7; ++i) {
        const double y = 214 + 22 * i;
        p.drawLine(QPointF(208.5, y), QPointF(208.5 - 150 + 12 * i, y + 40));
        p.drawLine(QPointF(208.5, y), QPointF(208.5 + 150 - 12 * i, y + 40));
    }

    // The depth-dose curve, drawn as on the program's graph: depth down the block.
    const QRectF chart(62, 206, 120, 176);
    QPainterPath curve;
    for (int i = 0; i <= 60; ++i) {
        const double t = i / 60.0;
        const double dose = std::exp(-std::log(2.0) * t / 0.2);
        const QPointF pt(chart.left() + dose * chart.width(), chart.top() + t * chart.height());
        if (i == 0)
            curve.moveTo(pt);
        else
            curve.lineTo(pt);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(20, 20, 60), 3.0, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(curve);

    // The floor line under the phantom.
    p.setPen(QPen(QColor(150, 160, 180), 3));
    p.drawLine(QPointF(20, 398), QPointF(397, 398));
    return image;
}

} // namespace veltrim
