#pragma once

#include "calculation/SharedState.h"

#include <QWidget>
#include <array>
#include <filesystem>
#include <string_view>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace veltrim {

class GraphPicture;

// The working window, in either edition: the same controls under the same
// names and one behaviour, laid out from the edition's table. It owns the
// run's shared state and tells the user everything through the message sink
// it is given.
class MainWindow : public QWidget {
    Q_OBJECT
  public:
    MainWindow(Language edition, MessageSink& messages, std::filesystem::path dataFolder,
               std::filesystem::path workFolder, QWidget* parent = nullptr);

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

    // The eight condition fields as typed.
    ConditionTexts TypedConditions() const;

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

  protected:
    void closeEvent(QCloseEvent* event) override;
    // Sees key presses on their way to this window's controls.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void LoadMainWindow();
    void SetTabOrder();
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
    bool exitPending_ = false;
    bool ended_ = false;
};

} // namespace veltrim
