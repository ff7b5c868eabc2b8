#include "app/MainWindow.h"

#include "app/DoseWindow.h"
#include "app/EditionLayout.h"
#include "app/ExamWindow.h"
#include "app/MapWindow.h"
#include "app/ProgramFiles.h"
#include "app/QualityWindow.h"
#include "app/WindowBuilder.h"
#include "core/Inputs.h"
#include "core/ModelConstants.h"
#include "graph/GraphPicture.h"
#include "readout/DepthCursor.h"
#include "readout/ResultsSaving.h"
#include "window/Pipeline.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDate>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <algorithm>
#include <utility>
#include <vector>

namespace veltrim {
namespace {

namespace mc = maincontrols;

} // namespace

MainWindow::MainWindow(Language edition, MessageSink& messages, std::filesystem::path dataFolder,
                       std::filesystem::path workFolder, QWidget* parent)
    : QWidget(parent), state_(messages, std::move(dataFolder), std::move(workFolder)),
      beams_(state_) {
    state_.Edition = edition;
    BuildWindow(*this, MainWindowLayout(edition));

    graph_ = &FindControl<GraphPicture>(*this, mc::Graph);
    for (std::size_t i = 0; i < conditionFields_.size(); ++i)
        conditionFields_[i] = &FindControl<QLineEdit>(*this, mc::ConditionFields[i]);
    for (std::size_t i = 0; i < rectificationOptions_.size(); ++i) {
        rectificationOptions_[i] = &FindControl<QRadioButton>(*this, mc::RectificationOptions[i]);
        const int method = static_cast<int>(i) + 1;
        connect(rectificationOptions_[i], &QRadioButton::clicked, this,
                [this, method] { state_.SelectRectification(method); });
    }
    rectificationFrame_ = &FindControl<QGroupBox>(*this, mc::RectificationFrame);
    okButton_ = &FindControl<QPushButton>(*this, mc::Ok);
    phantomMaterial_ = &FindControl<QLabel>(*this, mc::PhantomMaterial);
    designedMaterial_ = phantomMaterial_->text();
    saveCsvButton_ = &FindControl<QPushButton>(*this, mc::SaveNumbers);
    saveBmpButton_ = &FindControl<QPushButton>(*this, mc::SavePicture);
    csvName_ = &FindControl<QLineEdit>(*this, mc::NumbersFileName);
    bmpName_ = &FindControl<QLineEdit>(*this, mc::PictureFileName);

    for (std::size_t i = 0; i < readouts_.size(); ++i) {
        readouts_[i] = &FindControl<QLineEdit>(*this, mc::Readouts[i]);
        // The cursor writes them; the user may select and copy, not type, and
        // Tab passes them by.
        readouts_[i]->setReadOnly(true);
        readouts_[i]->setFocusPolicy(Qt::ClickFocus);
    }
    // Return in a condition field calculates, as in any form.
    for (QLineEdit* field : conditionFields_)
        connect(field, &QLineEdit::returnPressed, this, &MainWindow::Calculate);
    SetTabOrder();

    OnClick(*this, mc::Ok, &MainWindow::Calculate);
    OnClick(*this, mc::Exit, &MainWindow::ExitProgram);
    OnClick(*this, mc::SaveNumbers, &MainWindow::SaveCsv);
    OnClick(*this, mc::SavePicture, &MainWindow::SaveBmp);
    OnClick(*this, mc::Reset, &MainWindow::ClearGraph);
    // The pointer arrives in graph units of double precision; the cursor
    // works in single precision, which puts x = 15 on row 1 however the
    // pixel maps back.
    connect(graph_, &GraphPicture::PointerMoved, this, [this](QPointF p) {
        TrackMouse(static_cast<float>(p.x()), static_cast<float>(p.y()));
    });
    // Keys go to the control with the focus; the window has to see them first.
    qApp->installEventFilter(this);
    // The spectrum and dose windows hang off a key and the graph's menu, so
    // that nothing of the window's face changes.
    const std::pair<QKeySequence, void (MainWindow::*)()> keys[] = {
        {Qt::Key_F2, &MainWindow::OpenQualityWindow},
        {Qt::Key_F3, &MainWindow::OpenDoseWindow},
        {Qt::Key_F4, &MainWindow::OpenMapWindow},
        {Qt::Key_F6, &MainWindow::OpenExamWindow},
        {Qt::CTRL | Qt::Key_S, &MainWindow::ChooseAndSaveBeam},
        {Qt::CTRL | Qt::Key_O, &MainWindow::ChooseAndOpenBeam},
        {Qt::CTRL | Qt::Key_P, &MainWindow::ChooseAndSaveReportPdf},
    };
    for (const auto& [key, slot] : keys)
        connect(new QShortcut(key, this), &QShortcut::activated, this, slot);
    graph_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(graph_, &QWidget::customContextMenuRequested, this, &MainWindow::ShowGraphMenu);
    AddNextCalculationLine();

    LoadMainWindow();
    conditionFields_[0]->setFocus();
}

MainWindow::~MainWindow() {
    delete qualityWindow_.data();
    delete mapWindow_.data();
    delete examWindow_.data();
    delete doseWindow_.data();
}

void MainWindow::SetTabOrder() {
    // The conditions from the top of the window down (the rectification
    // group first, then tube voltage to field size), OK, then the rest.
    std::vector<QWidget*> order;
    for (QRadioButton* option : rectificationOptions_)
        order.push_back(option);
    for (QLineEdit* field : conditionFields_)
        order.push_back(field);
    order.push_back(okButton_);
    order.push_back(&FindControl<QPushButton>(*this, mc::Reset));
    order.push_back(&FindControl<QPushButton>(*this, mc::Exit));
    order.push_back(csvName_);
    order.push_back(saveCsvButton_);
    order.push_back(bmpName_);
    order.push_back(saveBmpButton_);
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void MainWindow::LoadMainWindow() {
    const int rectification = static_cast<int>(*DefaultNumber(inputs::Rectification));
    rectificationOptions_[rectification - 1]->setChecked(true);
    state_.SelectRectification(rectification);

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
    state_.Pi = ModelPi;
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

RectificationMethod MainWindow::TypedRectification() const {
    for (std::size_t i = 0; i < rectificationOptions_.size(); ++i)
        if (rectificationOptions_[i]->isChecked())
            return static_cast<RectificationMethod>(i + 1);
    return RectificationMethod::ConstantPotential;
}

void MainWindow::SetTypedFilter(MatchFilter filter, const QString& mm) {
    const ControlName field = filter == MatchFilter::Copper     ? mc::CuFilter
                              : filter == MatchFilter::Inherent ? mc::InherentFiltration
                                                                : mc::AlFilter;
    FindControl<QLineEdit>(*this, field).setText(mm);
    const std::optional<double> measured =
        qualityWindow_ != nullptr ? qualityWindow_->TypedMeasuredHvl1() : std::nullopt;
    found_.reset();
    if (measured)
        found_ = FoundFor{
            {*measured, filter, mm.toStdString()}, TypedConditions(), TypedRectification()};
}

void MainWindow::Calculate() {
    // The yields below run queued clicks. A second OK would start a run inside
    // this one and change its tables under it; a changed option would make
    // the results file name a waveform the spectrum did not use. Both wait
    // until the run is over.
    if (state_.CalculationUnderWay || ended_)
        return;
    // Disabling OK hands its focus on (to Reset, where Space would wipe the
    // curves); it comes back where it was when the calculation ends.
    const QPointer<QWidget> hadFocus = focusWidget();
    okButton_->setEnabled(false);
    rectificationFrame_->setEnabled(false);

    // The texts this calculation reads, kept as the list of curves shows
    // them: the fields may change during the yields.
    const ConditionTexts typed = TypedConditions();
    ShowReadingNotice(typed);
    ConditionTexts drawn = typed;
    PipelineHooks hooks;
    hooks.ShowClampText = [this, &drawn](const std::string& text) {
        conditionFields_[0]->setText(QString::fromStdString(text));
        drawn.TubeVoltage = text;
    };
    hooks.Yield = [] { QCoreApplication::processEvents(); };
    const CalculationResult result = RunCalculation(state_, typed, hooks);
    okButton_->setEnabled(true);
    rectificationFrame_->setEnabled(true);
    if (hadFocus != nullptr && hadFocus->isEnabled() && hadFocus->isVisibleTo(this))
        hadFocus->setFocus(Qt::OtherFocusReason);

    if (exitPending_) {
        ExitProgram();
        return;
    }
    if (result == CalculationResult::Stopped)
        return;
    // A failed depth-dose step still plots what the table holds and arms the buttons.
    graph_->PlotDepthDose(state_.DepthDoseResult, state_.ResultDepth());
    state_.CursorPlaced = 0;
    state_.ResultsReady = 1;
    saveCsvButton_->setEnabled(true);
    saveBmpButton_->setEnabled(true);
    // Either way the spectrum was formed and is the last beam. A failed depth
    // dose leaves the previous table, which the graph draws once more over
    // itself: no new curve, so the list of curves gains no entry that the
    // graph would not show.
    RememberBeam(drawn, result == CalculationResult::Completed);
}

void MainWindow::ExitProgram() {
    if (ended_)
        return;
    hide();
    if (qualityWindow_ != nullptr)
        qualityWindow_->close();
    if (doseWindow_ != nullptr)
        doseWindow_->close();
    if (mapWindow_ != nullptr)
        mapWindow_->close();
    if (state_.CalculationUnderWay) {
        exitPending_ = true;
        return;
    }
    ended_ = true;
    DeleteWorkingFile(state_.WorkFolder);
    emit ProgramEnded();
}

// Readout boxes by role, in the order of readouts_.
enum ReadoutBox { ShallowBox, DeepBox, TotalBox, PrimaryBox, ScatterBox };

void MainWindow::TrackMouse(float x, float y) {
    if (state_.ResultsReady != 1)
        return;
    if (InsidePlotArea(x, y, state_.MaxDepth)) {
        setCursor(Qt::CrossCursor);
        for (int n = 1; n <= GraphPicture::LineCount; ++n)
            graph_->ShowLine(n, true);
        // Beyond a thinner phantom's exit the cursor stays on its last layer.
        state_.CursorRow = std::min(RowUnderPointer(x), static_cast<int>(2 * state_.ResultDepth()));
        if (state_.CursorRow <= 60)
            PlaceCursor(state_.CursorRow, PointerPercentPattern);
    } else {
        setCursor(Qt::ArrowCursor);
        for (const ReadoutBox box : {DeepBox, TotalBox, ShallowBox, PrimaryBox, ScatterBox})
            readouts_[box]->clear();
        for (int n = 1; n <= GraphPicture::LineCount; ++n)
            graph_->ShowLine(n, false);
    }
    state_.CursorPlaced = 1;
}

void MainWindow::StepCursor(int keyCode) {
    if (state_.CursorPlaced != 1)
        return;
    const int lastRow = static_cast<int>(2 * state_.ResultDepth());
    if (keyCode == RightArrowKey) {
        state_.CursorRow += 1;
        if (state_.CursorRow > lastRow) {
            state_.CursorRow -= 1;
            return;
        }
    } else if (keyCode == LeftArrowKey) {
        state_.CursorRow -= 1;
        if (state_.CursorRow < 1) {
            state_.CursorRow += 1;
            return;
        }
    } else {
        return;
    }
    if (state_.CursorRow <= 60)
        PlaceCursor(state_.CursorRow, KeyPercentPattern);
}

void MainWindow::PlaceCursor(int row, std::string_view percentPattern) {
    const CursorPlacement at = PlaceCursorOnRow(state_.DepthDoseResult, row, percentPattern);
    // The lines keep their extent and visibility; only the x of the depth
    // line and the y of the level lines move.
    CursorLine depth = graph_->Line(2);
    depth.From.setX(at.DepthX);
    depth.To.setX(at.DepthX);
    graph_->SetLine(2, depth);
    for (const auto& [n, y] :
         {std::pair{1, at.TotalY}, std::pair{3, at.PrimaryY}, std::pair{4, at.ScatterY}}) {
        CursorLine level = graph_->Line(n);
        level.From.setY(y);
        level.To.setY(y);
        graph_->SetLine(n, level);
    }
    readouts_[ShallowBox]->setText(QString::fromStdString(at.ShallowDepth));
    readouts_[DeepBox]->setText(QString::fromStdString(at.DeepDepth));
    readouts_[TotalBox]->setText(QString::fromStdString(at.Total));
    readouts_[PrimaryBox]->setText(QString::fromStdString(at.Primary));
    readouts_[ScatterBox]->setText(QString::fromStdString(at.Scatter));
    beams_.PlaceCursor(row);
}

void MainWindow::SaveCsv() {
    const SaveReport report = SaveCsvAs(state_.WorkFolder / state_.ResultsFile, csvName_->text(),
                                        state_.WorkFolder, state_.Edition);
    state_.Messages.Show(report.Message);
}

void MainWindow::SaveBmp() {
    const SaveReport report =
        SaveBmpAs(graph_->Image(), bmpName_->text(), state_.WorkFolder, state_.Edition);
    state_.Messages.Show(report.Message);
}

void MainWindow::ClearGraph() {
    for (const ReadoutBox box : {TotalBox, PrimaryBox, ScatterBox, ShallowBox, DeepBox})
        readouts_[box]->clear();
    graph_->DrawGraphFrame();
    saveCsvButton_->setEnabled(false);
    saveBmpButton_->setEnabled(false);
    state_.CursorPlaced = 0;
    state_.ResultsReady = 0;
    beams_.Clear();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // A key press travels from the control with the focus up to the window
    // while nobody takes it; it counts once, where it starts, and goes on.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        const QWidget* start = focusWidget() != nullptr ? focusWidget() : this;
        if (watched == start && static_cast<QWidget*>(watched)->window() == this) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Left || key == Qt::Key_Right) {
                StepCursor(key == Qt::Key_Left ? LeftArrowKey : RightArrowKey);
                // Reading the graph never changes a condition: the option
                // buttons and buttons do not see these keys (they would move
                // the selection and the focus); a text field may still move
                // its caret.
                if (qobject_cast<const QLineEdit*>(start) == nullptr)
                    return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    ExitProgram();
    event->accept();
}

} // namespace veltrim
