#include "app/MainWindow.h"

#include "app/EditionLayout.h"
#include "app/Pipeline.h"
#include "app/ProgramFiles.h"
#include "app/WindowBuilder.h"
#include "graph/GraphPicture.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDate>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <stdexcept>
#include <utility>

namespace veltrim {

MainWindow::MainWindow(Language edition, MessageSink& messages, std::filesystem::path dataFolder,
                       std::filesystem::path workFolder, QWidget* parent)
    : QWidget(parent), state_(messages, std::move(dataFolder), std::move(workFolder)) {
    state_.Edition = edition;
    BuildWindow(*this, MainWindowLayout(edition));

    graph_ = Control<GraphPicture>("Picture1");
    const char* fieldNames[] = {"Text1", "Text5", "Text8",  "Text3",
                                "Text4", "Text9", "Text10", "Text11"};
    for (std::size_t i = 0; i < conditionFields_.size(); ++i)
        conditionFields_[i] = Control<QLineEdit>(fieldNames[i]);
    const char* optionNames[] = {"Option7", "Option8", "Option9"};
    for (std::size_t i = 0; i < rectificationOptions_.size(); ++i) {
        rectificationOptions_[i] = Control<QRadioButton>(optionNames[i]);
        const int method = static_cast<int>(i) + 1;
        connect(rectificationOptions_[i], &QRadioButton::clicked, this,
                [this, method] { state_.SelectRectification(method); });
    }
    rectificationFrame_ = Control<QGroupBox>("Frame2");
    okButton_ = Control<QPushButton>("Command3");
    saveCsvButton_ = Control<QPushButton>("Command2");
    saveBmpButton_ = Control<QPushButton>("Command4");
    csvName_ = Control<QLineEdit>("Text2");
    bmpName_ = Control<QLineEdit>("Text15");

    connect(okButton_, &QPushButton::clicked, this, &MainWindow::Calculate);
    connect(Control<QPushButton>("Command1"), &QPushButton::clicked, this,
            &MainWindow::ExitProgram);

    LoadMainWindow();
}

template <typename T> T* MainWindow::Control(const char* name) {
    T* control = findChild<T*>(QString::fromLatin1(name));
    if (control == nullptr)
        throw std::logic_error(std::string("the window's layout lacks ") + name);
    return control;
}

void MainWindow::LoadMainWindow() {
    rectificationOptions_[0]->setChecked(true);
    state_.SelectRectification(1);

    const ConditionTexts defaults;
    const std::string* texts[] = {
        &defaults.TubeVoltage, &defaults.TargetAngle, &defaults.InherentFiltration,
        &defaults.AlFilter,    &defaults.CuFilter,    &defaults.Fsd,
        &defaults.FieldX,      &defaults.FieldY};
    for (std::size_t i = 0; i < conditionFields_.size(); ++i)
        conditionFields_[i]->setText(QString::fromStdString(*texts[i]));

    state_.MaxDepth = 30.0;
    graph_->DrawGraphFrame();
    state_.LoadAttenuationTables();

    const QString today = FileNameDate(QDate::currentDate());
    csvName_->setText(today);
    saveCsvButton_->setEnabled(false);
    bmpName_->setText(today);
    saveBmpButton_->setEnabled(false);
    state_.Pi = 3.14159;
}

ConditionTexts MainWindow::TypedConditions() const {
    ConditionTexts texts;
    std::string* targets[] = {&texts.TubeVoltage, &texts.TargetAngle, &texts.InherentFiltration,
                              &texts.AlFilter,    &texts.CuFilter,    &texts.Fsd,
                              &texts.FieldX,      &texts.FieldY};
    for (std::size_t i = 0; i < conditionFields_.size(); ++i)
        *targets[i] = conditionFields_[i]->text().toStdString();
    return texts;
}

void MainWindow::Calculate() {
    // The yields below run queued clicks. A second OK would start a run inside
    // this one, working on field sizes this one has already halved; a changed
    // option would make the results file name a waveform the spectrum did not
    // use. Both wait until the run is over.
    if (calculating_ || ended_)
        return;
    calculating_ = true;
    okButton_->setEnabled(false);
    rectificationFrame_->setEnabled(false);

    PipelineHooks hooks;
    hooks.ShowClampText = [this](const std::string& text) {
        conditionFields_[0]->setText(QString::fromStdString(text));
    };
    hooks.Yield = [] { QCoreApplication::processEvents(); };
    const CalculationResult result = RunCalculation(state_, TypedConditions(), hooks);
    calculating_ = false;
    okButton_->setEnabled(true);
    rectificationFrame_->setEnabled(true);

    if (exitPending_) {
        ExitProgram();
        return;
    }
    if (result == CalculationResult::Stopped)
        return;
    // A failed depth-dose step still plots what the table holds and arms the buttons.
    graph_->PlotDepthDose(state_.DepthDoseResult, state_.MaxDepth);
    state_.CursorPlaced = 0;
    state_.ResultsReady = 1;
    saveCsvButton_->setEnabled(true);
    saveBmpButton_->setEnabled(true);
}

void MainWindow::ExitProgram() {
    if (ended_)
        return;
    hide();
    if (calculating_) {
        exitPending_ = true;
        return;
    }
    ended_ = true;
    DeleteWorkingFile(state_.WorkFolder);
    emit ProgramEnded();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    ExitProgram();
    event->accept();
}

} // namespace veltrim
