#pragma once

#include "app/SideWindow.h"
#include "core/Conditions.h"
#include "core/Grids.h"
#include "spectrum/HvlMatching.h"

#include <QImage>
#include <functional>
#include <optional>
#include <string>

class QLabel;
class QListWidget;

namespace veltrim {

// The conditions as they stand in the main window: its eight fields and the
// waveform chosen.
struct TypedBeam {
    ConditionTexts Texts;
    RectificationMethod Rectification = RectificationMethod::ConstantPotential;
};

// The spectrum and beam quality of the main window's last calculation: the
// filtered spectrum as a picture, its figures for an air path the user
// types, the curves drawn since the last Reset, and the added aluminium
// that gives a measured HVL1. A window of its own beside the main window,
// in its edition's faces and colours; it follows every change of the beam
// history it is handed and hands a found filter back through FilterFound.
class QualityWindow : public SideWindow {
    Q_OBJECT
  public:
    // `typed` gives the conditions as they stand now, read by each search.
    QualityWindow(const SharedState& run, const BeamHistory& beams,
                  std::function<TypedBeam()> typed, QWidget* parent = nullptr);

    // Shows the history's last beam and its list of curves again.
    void ShowLastCalculation();
    // The figures of the beam shown for the air path typed.
    void ShowFigures();
    // "Find added Al": the measured HVL1 matched with the conditions typed;
    // the thickness found goes out through FilterFound. A measured value
    // below the typed beam's with no added aluminium offers the match by the
    // inherent filtration instead.
    void FindAddedAluminium();
    void SaveSpectrumCsv();
    void SaveSpectrumPng();

    // The measured HVL1 typed, mm Al; none unless a positive number.
    std::optional<double> TypedMeasuredHvl1() const;
    void SetMeasuredHvl1(double mm);

    // The picture as drawn, what the PNG save writes.
    const QImage& Picture() const { return picture_; }

  signals:
    // A match found this thickness of the filter, mm, as its field shows it.
    void FilterFound(MatchFilter filter, const QString& mm);

  private:
    void ShowBeam(const EnergyTable* spectrum, const std::string& heading);
    void ClearFigures();
    // The air path typed, cm; empty (with the reason shown) when it is not one.
    std::optional<double> TypedAirPath();

    std::function<TypedBeam()> typed_;
    std::optional<EnergyTable> shown_;
    QImage picture_;

    // The controls the window makes itself.
    QLabel* pictureBox_ = nullptr;
    QListWidget* curves_ = nullptr;
};

} // namespace veltrim
