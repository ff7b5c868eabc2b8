#pragma once

#include "calculation/CalculatedBeam.h"
#include "calculation/SharedState.h"

#include <QPointer>
#include <QWidget>
#include <array>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

class QGroupBox;
class QLineEdit;
class QAction;
class QMenu;
class QPushButton;
class QRadioButton;

namespace veltrim {

class GraphPicture;
class QualityWindow;

// The working window, in either edition: the same controls under the same
// names and one behaviour, laid out from the edition's table. It owns the
// run's shared state and tells the user everything through the message sink
// it is given.
class MainWindow : public QWidget {
    Q_OBJECT
  public:
    MainWindow(Language edition, MessageSink& messages, std::filesystem::path dataFolder,
               std::filesystem::path workFolder, QWidget* parent = nullptr);
    // Takes the spectrum window down first: it reads this window's state.
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
    // Puts a thickness (mm) into the aluminium filter field, Text3.
    void SetTypedAluminium(const QString& mm);

    // The beams of the calculations drawn since the last Reset, in drawing
    // order, and that of the last calculation (none before the first and
    // after Reset).
    const std::vector<CalculatedBeam>& DrawnBeams() const { return drawnBeams_; }
    const CalculatedBeam* LastBeam() const { return lastBeam_ ? &*lastBeam_ : nullptr; }
    // The air tables of the beam quality, read from the data folder once, at
    // the first need.
    const AirData& Air();

    // The spectrum and beam-quality window (F2, or the graph's context
    // menu): opened at the first call, raised at the next; null until then.
    void OpenQualityWindow();
    QualityWindow* Quality() const;

    // The scatter model of the calculations that follow, classic unless the
    // graph's context menu ticks "Divergent-beam scatter".
    void SetDivergentScatter(bool on);
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

    // The two save buttons and Reset.
    void SaveCsv();
    void SaveBmp();
    void ClearGraph();

  signals:
    // Everything is done; the application may leave its event loop.
    void ProgramEnded();
    // A calculation or Reset changed DrawnBeams or LastBeam.
    void BeamsChanged();

  protected:
    void closeEvent(QCloseEvent* event) override;
    // Sees key presses on their way to this window's controls.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void LoadMainWindow();
    void SetTabOrder();
    void ShowGraphMenu(const QPoint& at);
    void RememberBeam(const ConditionTexts& drawn, bool curveDrawn);
    template <typename T> T* Control(const char* name);

    SharedState state_;
    GraphPicture* graph_ = nullptr;
    // Text1, Text5, Text8, Text3, Text4, Text9, Text10, Text11: the order of ConditionTexts.
    std::array<QLineEdit*, 8> conditionFields_{};
    std::array<QRadioButton*, 3> rectificationOptions_{}; // Option7..Option9
    QGroupBox* rectificationFrame_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* saveCsvButton_ = nullptr;
    QPushButton* saveBmpButton_ = nullptr;
    QLineEdit* csvName_ = nullptr;
    QLineEdit* bmpName_ = nullptr;
    // Text12, Text6, Text7, Text13, Text14: shallow and deep depth, total,
    // primary and scatter PDD.
    std::array<QLineEdit*, 5> readouts_{};
    std::vector<CalculatedBeam> drawnBeams_;
    std::optional<CalculatedBeam> lastBeam_;
    std::optional<AirData> air_;
    QPointer<QualityWindow> qualityWindow_;
    QMenu* graphMenu_ = nullptr;
    QAction* divergentAction_ = nullptr;
    bool exitPending_ = false;
    bool ended_ = false;
};

} // namespace veltrim
