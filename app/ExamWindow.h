#pragma once

#include "app/SideWindow.h"
#include "dose/Exposure.h"
#include "engine/ComputeStudy.h"
#include "engine/Study.h"

#include <functional>
#include <optional>

class QComboBox;
class QTableWidget;

namespace veltrim {

// An examination: every exposure of a study, each from its own side, the
// patient as a box and the named points, with the dose at each point summed
// over the exposures and its range. Exposures come from the main window's
// last beam with the dose window's exposure (or the one typed here), and are
// edited, duplicated and removed here; studies are saved, opened and
// reported as the command line's --study takes them. A window of its own
// beside the main window, in the dose window's look.
class ExamWindow : public SideWindow {
    Q_OBJECT
  public:
    // `exposed` gives the absolute-dose window's accepted exposure, or none.
    ExamWindow(const SharedState& run, const BeamHistory& beams,
               std::function<std::optional<Exposure>()> exposed, QWidget* parent = nullptr);

    // The main window's last beam (its conditions, waveform and scatter
    // model) entering from the side chosen, with the dose window's exposure,
    // else the exposure typed here in mGy of Ka,i.
    void AddBeam();
    void DuplicateExposure();
    void RemoveExposure();
    // The typed geometry, exposure, repeats and table into the exposure
    // selected; a field that is not wholly a number is refused by name and
    // the exposure stays as it was.
    void ApplyToExposure();
    void AddPoint();
    void RemovePoint();
    // The study as typed, computed: the totals per point with their ranges,
    // or why not. The window is busy (no clicks) while it computes.
    void Compute();
    void SaveStudy(const QString& fileName);
    bool OpenStudy(const QString& fileName);
    // A modality's dose record (or a radiograph's header): each event an
    // exposure added to the list, at the patient and points typed here,
    // its assumed values marked. A refused file changes nothing.
    bool ImportRecord(const QString& fileName);
    // The study's PDF, computed again from what is typed now.
    void SaveReportPdf(const QString& fileName);

    const Study& CurrentStudy() const { return study_; }
    // The last computation's, none after any change.
    const StudyResult* Result() const { return result_ ? &*result_ : nullptr; }
    int SelectedExposure() const;
    void SelectExposure(int row);

  private:
    std::string NextName() const;
    // The patient's fields and the points' rows into the study; false, with
    // the refusal shown, when one is not a number.
    bool ReadPatientAndPoints();
    std::optional<double> CellNumber(int row, int column, bool blankIsZero);
    bool ComputeTyped();
    void ShowExposures();
    void ShowSelected();
    void ShowPatientAndPoints();
    void ShowTotals();
    void Forget();
    QString ChooseFileName(bool save, const QString& suggested, const QString& filter);
    void ChooseAndOpen();
    void ChooseAndSave();
    void ChooseAndReport();
    void ChooseAndImport();

    std::function<std::optional<Exposure>()> exposed_;
    Study study_;
    std::optional<StudyResult> result_;

    // The controls the window makes itself.
    QComboBox* medium_ = nullptr;
    QComboBox* entry_ = nullptr;
    QTableWidget* exposures_ = nullptr;
    QTableWidget* points_ = nullptr;
    QTableWidget* totals_ = nullptr;
};

} // namespace veltrim
