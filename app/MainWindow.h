#pragma once

#include "app/BeamHistory.h"
#include "engine/CalculateBeam.h"
#include "files/BeamFile.h"
#include "spectrum/HvlMatching.h"
#include "window/SharedState.h"

#include <QPointer>
#include <QWidget>
#include <array>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

class QGroupBox;
class QLabel;
class QLineEdit;
class QAction;
class QMenu;
class QPushButton;
class QRadioButton;

namespace veltrim {

class DoseWindow;
class ExamWindow;
class GraphPicture;
class MapWindow;
class QualityWindow;

// The working window, in either edition: the same controls under the same
// names and one behaviour, laid out from the edition's table. It owns the
// run's shared state and the history of its beams, which the spectrum
// window reads, and tells the user everything through the message sink it
// is given.
class MainWindow : public QWidget {
    Q_OBJECT
  public:
    MainWindow(Language edition, MessageSink& messages, std::filesystem::path dataFolder,
               std::filesystem::path workFolder, QWidget* parent = nullptr);
    // Takes the spectrum, dose and map windows down first: they read this
    // window's state and beams.
    ~MainWindow() override;

    SharedState& State() { return state_; }
    const SharedState& State() const { return state_; }
    GraphPicture& Graph() { return *graph_; }

    // Runs the whole road of a calculation from the typed texts to the curves
    // (the OK button). Refuses to start while one is under way.
    void Calculate();
    bool Calculating() const { return state_.CalculationUnderWay; }

    // Deletes the working file and ends the program (the Exit button and
    // closing the window). During a calculation the window goes at once and
    // the rest waits until the calculation has written its last file.
    void ExitProgram();

    // The eight condition fields as typed, and the waveform chosen.
    ConditionTexts TypedConditions() const;
    RectificationMethod TypedRectification() const;
    // Puts a thickness (mm) into the aluminium or copper filter field; found
    // for the spectrum window's measured HVL1, the match goes with the next
    // calculations of exactly the conditions it leaves typed (their report
    // names it).
    void SetTypedFilter(MatchFilter filter, const QString& mm);

    // The beams of the calculations since the last Reset, as the spectrum
    // window shows them.
    const BeamHistory& Beams() const { return beams_; }

    // The spectrum and beam-quality window (F2, or the graph's context
    // menu): opened at the first call, raised at the next; null until then.
    void OpenQualityWindow();
    QualityWindow* Quality() const;
    // The absolute-dose window (F3, or the graph's context menu), the same way.
    void OpenDoseWindow();
    DoseWindow* Dose() const;
    // The dose-map window (F4, or the graph's context menu), the same way.
    void OpenMapWindow();
    MapWindow* Map() const;
    // The examination window (F6, or the graph's context menu), the same way.
    void OpenExamWindow();
    ExamWindow* Exam() const;

    // The scatter model of the calculations that follow, classic unless the
    // graph's context menu ticks "Divergent-beam scatter". A change while
    // results are shown offers to calculate them again with it.
    void SetDivergentScatter(bool on);
    // The phantom's material of the calculations that follow, shown in the
    // "Phantom material" caption.
    void SetPhantomMedium(Medium medium);
    // The patient's thickness of the calculations that follow (none: the
    // semi-infinite phantom); their tables and curves end at its exit.
    void SetPhantomThickness(std::optional<double> thicknessCm);
    // What the next OK will use beyond the typed conditions, in the words of
    // the line under the buttons.
    QString NextCalculation() const;
    bool DivergentScatter() const { return state_.Model == ScatterModel::Divergent; }
    // The graph's context menu, made at its first use.
    QMenu* GraphMenu();

    // The depth cursor. TrackMouse follows the pointer over the graph (x, y in
    // graph units); StepCursor takes every key pressed in the window before
    // the control with the focus sees it and answers the Left (37) and Right
    // (39) keys; both end in PlaceCursor with a row of 1..60.
    void TrackMouse(float x, float y);
    void StepCursor(int keyCode);
    void PlaceCursor(int row, std::string_view percentPattern);

    // The exports of the graph's menu under a name the user chose: the last
    // table as CSV for other programs (with the dose window's mGy when it
    // has an exposure), and the graph as PNG or SVG. Each, and the report,
    // is refused with a message while a calculation is under way: during its
    // yields the state already holds parts of the next beam.
    void ExportTableCsv(const QString& fileName);
    void ExportGraphPng(const QString& fileName);
    void ExportGraphSvg(const QString& fileName);
    // The graph's menu and Ctrl+P: a PDF report of the last calculation in
    // the edition's language, with the dose window's exposure when it has
    // one; nothing before OK.
    void SaveReportPdf(const QString& fileName);
    // True, with the message shown, while a calculation is under way.
    bool RefuseRecordDuringCalculation();

    // Saved beams (the graph's menu, Ctrl+S and Ctrl+O): the conditions as
    // typed, the rectification, the scatter model, the medium and thickness
    // under a name, with the measured HVL1 typed in the spectrum window and
    // the tube output and exposure of the dose window. Opening one puts them
    // all back; a file that is refused is told and changes nothing.
    void SaveBeam(const QString& fileName);
    bool OpenBeam(const QString& fileName);

    // The two save buttons and Reset.
    void SaveCsv();
    void SaveBmp();
    void ClearGraph();

  signals:
    // Everything is done; the application may leave its event loop.
    void ProgramEnded();

  protected:
    void closeEvent(QCloseEvent* event) override;
    // Sees key presses on their way to this window's controls.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void LoadMainWindow();
    void SetTabOrder();
    void ShowGraphMenu(const QPoint& at);
    void RememberBeam(const ConditionTexts& drawn, bool curveDrawn);
    void AddNextCalculationLine();
    // The fields of this calculation whose text is not wholly a number, each
    // with the number used, in place of the next calculation's line; that
    // line when every text is a number.
    void ShowReadingNotice(const ConditionTexts& typed);
    void ShowNextCalculation();
    // Ctrl+S and Ctrl+O: a file dialog, then SaveBeam or OpenBeam.
    void ChooseAndSaveBeam();
    void ChooseAndOpenBeam();
    void ChooseAndSaveReportPdf();
    // The name the user picks to save or open, null when cancelled.
    QString ChooseFileName(bool save, const QString& suggested, const QString& filter);
    // After OK: the last curve drawn with its table and the dose window's exposure.
    BeamResult DrawnResult() const;
    // The model without the offer to calculate again (an opened beam).
    void ApplyScatterModel(bool divergent);
    // An opened beam's measured HVL1, into the spectrum window, and its tube
    // output and exposure, into the dose window, each when it is open and
    // asked for (a window opening takes only its own).
    void ShareBeamExtras(bool quality, bool dose);
    // A window beside this one: `make` makes it at the first call, to be
    // deleted when closed, and `made` then ties it in; every call shows it,
    // raises it and makes it the active window. Nothing once the program ends.
    template <typename Window, typename Make, typename Made>
    void OpenSideWindow(QPointer<Window>& window, const Make& make, const Made& made);

    SharedState state_;
    BeamHistory beams_;
    GraphPicture* graph_ = nullptr;
    // In the order of ConditionTexts and of RectificationMethod.
    std::array<QLineEdit*, 8> conditionFields_{};
    std::array<QRadioButton*, 3> rectificationOptions_{};
    QGroupBox* rectificationFrame_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QLabel* phantomMaterial_ = nullptr;
    QString designedMaterial_; // the caption's text as designed, for the default medium
    QPushButton* saveCsvButton_ = nullptr;
    QPushButton* saveBmpButton_ = nullptr;
    QLineEdit* csvName_ = nullptr;
    QLineEdit* bmpName_ = nullptr;
    // Shallow and deep depth, total, primary and scatter PDD.
    std::array<QLineEdit*, 5> readouts_{};
    QPointer<QualityWindow> qualityWindow_;
    QPointer<DoseWindow> doseWindow_;
    QPointer<MapWindow> mapWindow_;
    QPointer<ExamWindow> examWindow_;
    QMenu* graphMenu_ = nullptr;
    QAction* divergentAction_ = nullptr;
    std::vector<QAction*> resultActions_; // enabled only while results are shown
    QLabel* nextCalculation_ = nullptr;
    SavedBeam beamExtras_;
    // The last filter found for a measured HVL1, with the conditions it left
    // typed: a calculation of exactly those carries it.
    struct FoundFor {
        MeasuredMatch Match;
        ConditionTexts Texts;
        RectificationMethod Rectification;
    };
    std::optional<FoundFor> found_;
    bool exitPending_ = false;
    bool ended_ = false;
};

} // namespace veltrim
