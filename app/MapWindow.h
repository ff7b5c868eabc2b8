#pragma once

#include "app/SideWindow.h"
#include "engine/BeamPoints.h"
#include "engine/DosePlane.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QComboBox;

namespace veltrim {

class MapPicture;
class ProfilePicture;
struct AbsoluteDose;

// The dose over a plane through the axis for the main window's last drawn
// calculation: a colour map with isodose lines and the field's edges, a
// profile at a typed depth, the dose at a typed point and under the pointer,
// in per cent of the axis's first layer and, while the absolute-dose window
// holds an exposure, in mGy. A window of its own beside the main window, in
// the dose window's look.
class MapWindow : public SideWindow {
    Q_OBJECT
  public:
    // `exposed` gives the absolute-dose window's dose of the same beam with
    // its exposure, or null.
    MapWindow(const SharedState& run, const BeamHistory& beams,
              std::function<const AbsoluteDose*()> exposed, QWidget* parent = nullptr);
    ~MapWindow() override;

    // The last drawn calculation's map in the chosen plane; "no calculation
    // yet" without one.
    void ShowLastCalculation();
    void ShowProfile();
    // The dose at the typed x, y and depth; a point that cannot be computed
    // is refused with its reason and the window stays as it was.
    void ShowPointDose();
    void ShowPointer(double lateral, double depth);
    void SaveMapCsv();
    void SaveMapPng();

    // The map's total dose, per cent, as drawn; none without a beam.
    const DosePlane* Plane() const { return plane_ ? &*plane_ : nullptr; }

  private:
    LateralAxis Axis() const;
    PhantomPoint InPlane(double lateral, double depth) const;
    // "12.3 %", with " = 0.456 mGy" while an exposure is given.
    std::string DoseText(double perFluence) const;

    std::function<const AbsoluteDose*()> exposed_;
    std::shared_ptr<const BeamResult> beam_;
    std::optional<DoseGrid> map_;
    std::optional<DosePlane> plane_;

    // The controls the window makes itself.
    QComboBox* planeChoice_ = nullptr;
    MapPicture* picture_ = nullptr;
    ProfilePicture* profile_ = nullptr;
};

} // namespace veltrim
