#pragma once

#include "app/SideWindow.h"
#include "engine/CalculateBeam.h"

#include <optional>
#include <utility>

class QComboBox;
class QLabel;
class QRadioButton;
class QTableWidget;

namespace veltrim {

// The dose of the main window's last calculation in absolute terms: the
// exposure given one of four ways, the incident and entrance surface air
// kerma, the backscatter factor, the surface dose, the dose at a depth or
// over a range of depths, and the table in mGy with the row under the main
// window's depth cursor marked. A window of its own beside the main window,
// in the spectrum window's look; it follows the beam history it is handed,
// reads the run's state only when that history changes.
class DoseWindow : public SideWindow {
    Q_OBJECT
  public:
    DoseWindow(const SharedState& run, const BeamHistory& beams, QWidget* parent = nullptr);

    // The last drawn calculation, per unit Ka,i, with the exposure last
    // accepted; "no calculation yet" after Reset.
    void ShowLastCalculation();
    // The exposure as typed, checked against the beam shown: accepted, it
    // gives every figure in mGy; refused, its reason shows and the figures
    // stay as they were.
    void ApplyExposure();
    // The dose at the "from" depth, or its least and most down to "to".
    void ShowDoseAtDepth();
    // The depths of the dose shown at a depth (cm): "from" and, for a
    // range, "to"; none while no such dose is shown.
    std::pair<std::optional<double>, std::optional<double>> ShownDoseDepths() const;
    void MarkCursorRow();
    void SaveDoseCsv();
    // The thickness as typed, checked with the medium chosen: accepted, it
    // goes to the following calculations; refused, its reason shows and the
    // field goes back to the last one accepted.
    void ApplyThickness();
    // The tube output typed (uGy/mAs) with the distance it was measured at
    // (cm), each none unless a positive number; and the way to give them.
    std::pair<std::optional<double>, std::optional<double>> TypedTubeOutput() const;
    void SetTubeOutput(double output, std::optional<double> distanceCm);
    // The exposure last accepted, as the library takes it (a product in
    // Gy cm2), and one put in place of it, typed into its way's fields (a
    // saved beam's).
    const std::optional<Exposure>& AcceptedExposure() const { return accepted_; }
    void SetExposure(const Exposure& given);
    // The phantom chosen elsewhere (a saved beam opened), shown as chosen.
    void ShowPhantomChoice(Medium medium, std::optional<double> thicknessCm);
    // The dose shown in mGy, for the exposure accepted; none without one.
    const AbsoluteDose* ExposedDose() const { return Exposed() ? &shown_->Dose : nullptr; }

  signals:
    // The phantom's material chosen for the calculations that follow.
    void PhantomMediumChosen(veltrim::Medium medium);
    // The patient's thickness accepted for them (none: semi-infinite).
    void PhantomThicknessChosen(std::optional<double> thicknessCm);

  protected:
    // A view scrolls only once it is laid out: the row marked before the
    // window first shows is brought into view here.
    void showEvent(QShowEvent* event) override;

  private:
    struct Shown {
        CalculatedBeam Beam;
        IrradiationConditions Conditions;
        AbsoluteDose Dose;
        std::optional<ExitDose> Exit; // a finite phantom's
    };
    std::optional<Exposure> TypedExposure();
    // The exposure applied to the beam shown; false (with the reason shown)
    // when the library refuses it.
    bool Expose(const Exposure& given);
    void ShowFigures();
    // The figures are the last calculation's: a phantom chosen since then
    // (the medium, a thickness) is said to apply from the next OK, on the
    // message line when it tells nothing else.
    void ShowStaleness();
    void ShowTable();
    void EnableWayFields();
    // The option of that way of giving the exposure.
    QRadioButton& Way(ExposureKind kind) const;
    bool Exposed() const { return shown_ && shown_->Dose.Given; }

    std::optional<Shown> shown_;
    std::optional<Exposure> accepted_;
    std::optional<double> thicknessChosen_;
    int markedRow_ = -1;

    // The controls the window makes itself.
    QComboBox* kapUnit_ = nullptr;
    QComboBox* mediumChoice_ = nullptr;
    QLabel* exit_ = nullptr;
    QTableWidget* table_ = nullptr;
};

} // namespace veltrim
