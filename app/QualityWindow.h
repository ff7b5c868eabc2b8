#pragma once

#include "core/Grids.h"
#include "core/Language.h"

#include <QImage>
#include <QWidget>
#include <array>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace veltrim {

class MainWindow;

// The spectrum and beam quality of the main window's last calculation: the
// filtered spectrum as a picture, its figures for an air path the user
// types, the curves drawn since the last Reset, and the added aluminium
// that gives a measured HVL1. A window of its own beside the main window,
// in its edition's faces and colours; it follows every calculation and
// Reset of the main window, and changes nothing there but the aluminium
// filter field, when asked to.
class QualityWindow : public QWidget {
    Q_OBJECT
  public:
    explicit QualityWindow(MainWindow& main);

    // Shows the main window's last beam and its list of curves again.
    void ShowLastCalculation();
    // The figures of the beam shown for the air path typed.
    void ShowFigures();
    // "Find added Al": the measured HVL1 matched with the conditions typed
    // in the main window; the thickness goes into its aluminium field.
    void FindAddedAluminium();
    void SaveSpectrumCsv();
    void SaveSpectrumPng();

    // The picture as drawn, what the PNG save writes.
    const QImage& Picture() const { return picture_; }

  private:
    void ShowBeam(const EnergyTable* spectrum, const std::string& heading);
    void ShowMessage(const std::string& text, bool failure);
    void ClearFigures();
    // The air path typed, cm; empty (with the reason shown) when it is not one.
    std::optional<double> TypedAirPath();
    template <typename T> T* Control(const char* name);

    MainWindow& main_;
    Language edition_;
    std::optional<EnergyTable> shown_;
    QImage picture_;
    QLabel* pictureBox_ = nullptr;
    QLabel* shownBeam_ = nullptr;
    QLabel* message_ = nullptr;
    QListWidget* curves_ = nullptr;
    std::array<QLineEdit*, 5> figures_{};
    QLineEdit* airPath_ = nullptr;
    QLineEdit* measuredHvl1_ = nullptr;
    QLineEdit* csvName_ = nullptr;
    QLineEdit* pngName_ = nullptr;
    QPushButton* saveCsv_ = nullptr;
    QPushButton* savePng_ = nullptr;
};

} // namespace veltrim
