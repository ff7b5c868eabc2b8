#pragma once

#include "engine/DosePlane.h"

#include <QImage>
#include <QWidget>
#include <utility>
#include <vector>

namespace veltrim {

// The dose map of a plane through the axis: the total dose as colour on a
// logarithmic scale, the labelled isodose lines and the field's divergent
// edges, with the lateral distance across and the depth down. Drawn once
// into an image, which the window saves as PNG.
class MapPicture : public QWidget {
    Q_OBJECT
  public:
    explicit MapPicture(QWidget* parent = nullptr);

    // `halfField` is the field's half side in the plane at the surface's
    // distance `fsd` (cm); none without a beam.
    void Draw(const DosePlane& plane, double halfField, double fsd);
    void Clear();
    const QImage& Image() const { return image_; }

  signals:
    // The pointer over the plot: lateral and depth, cm.
    void PointerMoved(double lateral, double depth);
    void PointerLeft();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    void DrawFrame();
    QImage image_;
};

// The total dose across the field at one depth, on a logarithmic axis so that
// the scatter far outside shows beside the dose inside.
class ProfilePicture : public QWidget {
    Q_OBJECT
  public:
    explicit ProfilePicture(QWidget* parent = nullptr);
    // Lateral cm and total dose in per cent.
    void Draw(const std::vector<std::pair<double, double>>& profile, double depth);
    void Clear();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage image_;
};

// The map's colour of a dose in per cent: blue at 0.1 % and below, through
// green and yellow to red at 100 % and above.
QRgb MapColour(double percent);

} // namespace veltrim
