#include "app/MapPictures.h"

#include "core/CFormat.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace veltrim {
namespace {

// The plot inside each picture, pixels: 11 px per cm, 60 cm across and 30
// cm down for the map.
constexpr double PixelsPerCm = 11.0;
constexpr int Left = 44, Top = 24;
constexpr double HalfWidthCm = 30.0, DepthCm = 30.0;
constexpr QSize MapSize{736, 380};
constexpr QSize ProfileSize{736, 200};

QPointF MapPoint(double lateral, double depth) {
    return {Left + (lateral + HalfWidthCm) * PixelsPerCm, Top + depth * PixelsPerCm};
}

QFont SmallFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    return font;
}

QString Number(double value) {
    return QString::fromStdString(FormatC("%g", value));
}

} // namespace

QRgb MapColour(double percent) {
    // log10 from -1 (0.1 %) to 2 (100 %) onto a hue from blue to red.
    const double t = std::clamp((std::log10(std::max(percent, 1e-9)) + 1) / 3, 0.0, 1.0);
    return QColor::fromHsvF(static_cast<float>(0.66 * (1 - t)), 0.55f, 1.0f).rgb();
}

MapPicture::MapPicture(QWidget* parent) : QWidget(parent) {
    setFixedSize(MapSize);
    setMouseTracking(true);
    Clear();
}

void MapPicture::DrawFrame() {
    QPainter painter(&image_);
    painter.setFont(SmallFont());
    painter.setPen(Qt::black);
    const QRectF plot(MapPoint(-HalfWidthCm, 0), MapPoint(HalfWidthCm, DepthCm));
    painter.drawRect(plot);
    for (int x = -30; x <= 30; x += 10) {
        const QPointF at = MapPoint(x, 0);
        painter.drawLine(at, at - QPointF(0, 4));
        painter.drawText(QRectF(at.x() - 20, 4, 40, 16), Qt::AlignCenter, Number(x));
    }
    // One unit for both axes, in the corner where they meet.
    painter.drawText(QRectF(0, 4, Left - 18, 16), Qt::AlignRight, QStringLiteral("cm"));
    for (int z = 0; z <= 30; z += 5) {
        const QPointF at = MapPoint(-HalfWidthCm, z);
        painter.drawLine(at, at - QPointF(4, 0));
        painter.drawText(QRectF(0, at.y() - 8, Left - 6, 16), Qt::AlignRight | Qt::AlignVCenter,
                         Number(z));
    }
}

void MapPicture::Clear() {
    image_ = QImage(MapSize, QImage::Format_RGB32);
    image_.fill(Qt::white);
    DrawFrame();
    update();
}

void MapPicture::Draw(const DosePlane& plane, double halfField, double fsd) {
    Clear();
    QPainter painter(&image_);
    // Each grid point colours the half-step square around it.
    const double half = GridStep / 2;
    for (int r = 0; r < plane.Rows; ++r)
        for (int c = 0; c < plane.Columns; ++c) {
            const double dose = plane.At(r, c);
            const double depth = plane.Depth(r);
            const QRectF cell(MapPoint(plane.Lateral(c) - half, std::max(0.0, depth - half)),
                              MapPoint(plane.Lateral(c) + half, depth + half));
            painter.fillRect(cell, std::isfinite(dose) ? QColor::fromRgb(MapColour(dose))
                                                       : QColor(Qt::lightGray));
        }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(SmallFont());
    for (const double level : IsodoseLevels) {
        const std::vector<IsodoseSegment> line = IsodoseLine(plane, level);
        painter.setPen(QPen(Qt::black, 1.0));
        const IsodoseSegment* labelled = nullptr;
        for (const IsodoseSegment& s : line) {
            painter.drawLine(MapPoint(s.Lateral0, s.Depth0), MapPoint(s.Lateral1, s.Depth1));
            // The label where the line crosses the axis, so that the levels
            // read down it as on the depth-dose curve; a line beside the
            // field only, where it reaches farthest to the right.
            const bool crossesAxis = s.Lateral0 * s.Lateral1 <= 0;
            const bool labelCrosses =
                labelled != nullptr && labelled->Lateral0 * labelled->Lateral1 <= 0;
            if (labelled == nullptr || (crossesAxis && !labelCrosses) ||
                (crossesAxis == labelCrosses && s.Lateral0 > labelled->Lateral0 && !crossesAxis))
                labelled = &s;
        }
        if (labelled != nullptr) {
            const QPointF at = MapPoint(labelled->Lateral0, labelled->Depth0);
            const QString text = Number(level);
            const QRectF box(at.x() + 2, at.y() - 7, 6.5 * static_cast<double>(text.size()) + 4,
                             14);
            painter.fillRect(box, QColor(255, 255, 255, 200));
            painter.drawText(box, Qt::AlignCenter, text);
        }
    }
    // The field's edges diverge from the focus.
    painter.setPen(QPen(Qt::white, 1.5, Qt::DashLine));
    for (const double side : {-1.0, 1.0})
        painter.drawLine(MapPoint(side * halfField, 0),
                         MapPoint(side * halfField * (fsd + DepthCm) / fsd, DepthCm));
    painter.end();
    DrawFrame();
    update();
}

void MapPicture::paintEvent(QPaintEvent*) {
    QPainter(this).drawImage(0, 0, image_);
}

void MapPicture::mouseMoveEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    const double lateral = (p.x() - Left) / PixelsPerCm - HalfWidthCm;
    const double depth = (p.y() - Top) / PixelsPerCm;
    if (std::fabs(lateral) <= HalfWidthCm && depth >= 0 && depth <= DepthCm)
        emit PointerMoved(lateral, depth);
    else
        emit PointerLeft();
}

void MapPicture::leaveEvent(QEvent*) {
    emit PointerLeft();
}

ProfilePicture::ProfilePicture(QWidget* parent) : QWidget(parent) {
    setFixedSize(ProfileSize);
    Clear();
}

namespace {

// The profile's axes: lateral as the map's, dose from 0.01 to 1000 % in decades.
constexpr double ProfileBottom = 176, ProfileTop = 12;
QPointF ProfilePoint(double lateral, double percent) {
    const double decades = std::clamp(std::log10(std::max(percent, 1e-9)) + 2, 0.0, 5.0);
    return {Left + (lateral + HalfWidthCm) * PixelsPerCm,
            ProfileBottom - decades * (ProfileBottom - ProfileTop) / 5};
}

} // namespace

void ProfilePicture::Clear() {
    image_ = QImage(ProfileSize, QImage::Format_RGB32);
    image_.fill(Qt::white);
    QPainter painter(&image_);
    painter.setFont(SmallFont());
    painter.drawRect(QRectF(ProfilePoint(-HalfWidthCm, 1000), ProfilePoint(HalfWidthCm, 0.01)));
    for (const double decade : {0.01, 0.1, 1.0, 10.0, 100.0, 1000.0}) {
        const QPointF at = ProfilePoint(-HalfWidthCm, decade);
        painter.setPen(QPen(Qt::lightGray, 1, Qt::DotLine));
        painter.drawLine(at, ProfilePoint(HalfWidthCm, decade));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, at.y() - 8, Left - 6, 16), Qt::AlignRight | Qt::AlignVCenter,
                         Number(decade));
    }
    for (int x = -30; x <= 30; x += 10) {
        const QPointF at = ProfilePoint(x, 0.01);
        painter.drawText(QRectF(at.x() - 20, at.y() + 4, 40, 16), Qt::AlignCenter, Number(x));
    }
    update();
}

void ProfilePicture::Draw(const std::vector<std::pair<double, double>>& profile, double depth) {
    Clear();
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(SmallFont());
    painter.setPen(QPen(Qt::black, 1.5));
    for (std::size_t k = 1; k < profile.size(); ++k)
        painter.drawLine(ProfilePoint(profile[k - 1].first, profile[k - 1].second),
                         ProfilePoint(profile[k].first, profile[k].second));
    painter.drawText(QRectF(Left + 8, ProfileTop + 2, 300, 16), Qt::AlignLeft,
                     QString::fromStdString(FormatC("%g cm", depth)));
    update();
}

void ProfilePicture::paintEvent(QPaintEvent*) {
    QPainter(this).drawImage(0, 0, image_);
}

} // namespace veltrim
