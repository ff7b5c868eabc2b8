// The main window's side of the spectrum and dose windows: the beams of the
// calculations it records, the windows it opens, the graph's context menu
// and the line that names what the next OK uses.
#include "app/DoseWindow.h"
#include "app/ExamWindow.h"
#include "app/MainWindow.h"
#include "app/MapWindow.h"
#include "app/ProgramFiles.h"
#include "app/QualityWindow.h"
#include "app/WindowBuilder.h"
#include "graph/GraphPicture.h"

#include <QAction>
#include <QDate>
#include <QLabel>
#include <QMenu>

namespace veltrim {
namespace {

namespace mc = maincontrols;

MessageId ModelName(ScatterModel model) {
    return model == ScatterModel::Divergent ? MessageId::QualityScatterDivergent
                                            : MessageId::QualityScatterClassic;
}

// Below the Exit button (bottom 10335 twips) and the icon, above the client
// area's bottom in both editions (10620 twips), left of the save rows.
const QRect NextCalculationBox(TwipsToPixels(240), TwipsToPixels(10365), TwipsToPixels(6000),
                               TwipsToPixels(240));

} // namespace

template <typename Window, typename Make, typename Made>
void MainWindow::OpenSideWindow(QPointer<Window>& window, const Make& make, const Made& made) {
    if (ended_)
        return;
    if (window == nullptr) {
        window = make();
        window->setAttribute(Qt::WA_DeleteOnClose);
        made();
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void MainWindow::OpenQualityWindow() {
    const auto make = [this] {
        const auto typed = [this] { return TypedBeam{TypedConditions(), TypedRectification()}; };
        return new QualityWindow(state_, beams_, typed, this);
    };
    OpenSideWindow(qualityWindow_, make, [this] {
        connect(qualityWindow_, &QualityWindow::FilterFound, this, &MainWindow::SetTypedFilter);
        ShareBeamExtras(true, false);
    });
}

QualityWindow* MainWindow::Quality() const {
    return qualityWindow_;
}

void MainWindow::OpenDoseWindow() {
    const auto make = [this] { return new DoseWindow(state_, beams_, this); };
    OpenSideWindow(doseWindow_, make, [this] {
        connect(doseWindow_, &DoseWindow::PhantomMediumChosen, this, &MainWindow::SetPhantomMedium);
        connect(doseWindow_, &DoseWindow::PhantomThicknessChosen, this,
                &MainWindow::SetPhantomThickness);
        ShareBeamExtras(false, true);
    });
}

DoseWindow* MainWindow::Dose() const {
    return doseWindow_;
}

void MainWindow::OpenMapWindow() {
    // The map's mGy are those of the dose window's exposure, read at each
    // asking so that a new exposure counts at once.
    const auto exposed = [this]() -> const AbsoluteDose* {
        return doseWindow_ != nullptr ? doseWindow_->ExposedDose() : nullptr;
    };
    OpenSideWindow(
        mapWindow_, [this, exposed] { return new MapWindow(state_, beams_, exposed, this); },
        [] {});
}

MapWindow* MainWindow::Map() const {
    return mapWindow_;
}

void MainWindow::OpenExamWindow() {
    // A new exposure takes the dose window's exposure as it stands then.
    const auto exposed = [this]() -> std::optional<Exposure> {
        const AbsoluteDose* dose = doseWindow_ != nullptr ? doseWindow_->ExposedDose() : nullptr;
        return dose != nullptr ? dose->Given : std::nullopt;
    };
    OpenSideWindow(
        examWindow_, [this, exposed] { return new ExamWindow(state_, beams_, exposed, this); },
        [] {});
}

ExamWindow* MainWindow::Exam() const {
    return examWindow_;
}

QMenu* MainWindow::GraphMenu() {
    if (graphMenu_ == nullptr) {
        graphMenu_ = new QMenu(this);
        // Each window's item shows the key that opens it too.
        const auto item = [this](MessageId id, const char* key) {
            return QString::fromUtf8(Wording(state_.Edition, id)) + QChar(u'\t') +
                   QString::fromLatin1(key);
        };
        graphMenu_->addAction(item(MessageId::QualityMenuItem, "F2"), this,
                              &MainWindow::OpenQualityWindow);
        // The model of the calculations that follow; the curves already
        // drawn keep the one they were made with.
        divergentAction_ = graphMenu_->addAction(
            QString::fromUtf8(Wording(state_.Edition, MessageId::DivergentScatterMenuItem)));
        divergentAction_->setCheckable(true);
        divergentAction_->setChecked(DivergentScatter());
        connect(divergentAction_, &QAction::toggled, this, &MainWindow::SetDivergentScatter);
        graphMenu_->addAction(item(MessageId::DoseMenuItem, "F3"), this,
                              &MainWindow::OpenDoseWindow);
        graphMenu_->addAction(item(MessageId::MapMenuItem, "F4"), this, &MainWindow::OpenMapWindow);
        graphMenu_->addAction(item(MessageId::ExamMenuItem, "F6"), this,
                              &MainWindow::OpenExamWindow);
        graphMenu_->addSeparator();
        // No name is asked for while a calculation is under way.
        const auto results = [this](MessageId id, auto export_) {
            resultActions_.push_back(graphMenu_->addAction(
                QString::fromUtf8(Wording(state_.Edition, id)), this, [this, export_] {
                    if (!RefuseRecordDuringCalculation())
                        export_();
                }));
        };
        const QString today = FileNameDate(QDate::currentDate());
        results(MessageId::ExportTableMenuItem, [this, today] {
            ExportTableCsv(ChooseFileName(true, today + QStringLiteral(".csv"),
                                          QStringLiteral("CSV (*.csv)")));
        });
        results(MessageId::ExportGraphMenuItem, [this, today] {
            ExportGraphPng(ChooseFileName(true, today + QStringLiteral(".png"),
                                          QStringLiteral("PNG (*.png)")));
        });
        results(MessageId::ExportGraphSvgMenuItem, [this, today] {
            ExportGraphSvg(ChooseFileName(true, today + QStringLiteral(".svg"),
                                          QStringLiteral("SVG (*.svg)")));
        });
        resultActions_.push_back(graphMenu_->addAction(item(MessageId::ReportMenuItem, "Ctrl+P"),
                                                       this, &MainWindow::ChooseAndSaveReportPdf));
        graphMenu_->addSeparator();
        graphMenu_->addAction(item(MessageId::SaveBeamMenuItem, "Ctrl+S"), this,
                              &MainWindow::ChooseAndSaveBeam);
        graphMenu_->addAction(item(MessageId::OpenBeamMenuItem, "Ctrl+O"), this,
                              &MainWindow::ChooseAndOpenBeam);
        connect(graphMenu_, &QMenu::aboutToShow, this, [this] {
            for (QAction* action : resultActions_)
                action->setEnabled(state_.ResultsReady == 1 && !beams_.Drawn().empty() &&
                                   !state_.CalculationUnderWay);
        });
    }
    return graphMenu_;
}

void MainWindow::ApplyScatterModel(bool divergent) {
    state_.Model = divergent ? ScatterModel::Divergent : ScatterModel::Classic;
    // Ticking the menu's item from here comes back through its signal to a
    // model already in place.
    if (divergentAction_ != nullptr && divergentAction_->isChecked() != divergent)
        divergentAction_->setChecked(divergent);
    ShowNextCalculation();
}

void MainWindow::SetDivergentScatter(bool on) {
    const ScatterModel model = on ? ScatterModel::Divergent : ScatterModel::Classic;
    if (state_.Model == model)
        return;
    ApplyScatterModel(on);
    // The curves drawn keep the model they were made with; the same beam
    // with the other one is one question away.
    if (state_.ResultsReady == 1 && !state_.CalculationUnderWay && !ended_ &&
        state_.Messages.Ask(Text(state_.Edition, MessageId::RecalculateOffer,
                                 {Wording(state_.Edition, ModelName(model))})))
        Calculate();
}

QString MainWindow::NextCalculation() const {
    // The medium and a phantom's thickness join the model here, so that
    // whatever the next OK uses can be read without a menu.
    return QString::fromStdString(
        Text(state_.Edition, MessageId::NextCalculationLine,
             {Wording(state_.Edition, ModelName(state_.Model)),
              PhantomText(state_.PhantomMedium, state_.ThicknessCm, state_.Edition)}));
}

void MainWindow::AddNextCalculationLine() {
    // In the strip below the Exit button and the icon, which the design
    // leaves empty; the design's controls keep their places.
    const FontSpec face{state_.Edition == Language::Japanese ? Face::Meiryo : Face::TimesNewRoman,
                        9.0};
    nextCalculation_ =
        &AddMessageLine(*this, mc::NextCalculation, NextCalculationBox, DesignFont(face));
    nextCalculation_->setWordWrap(false);
    ShowNextCalculation();
}

void MainWindow::ShowNextCalculation() {
    const QString line = NextCalculation();
    nextCalculation_->setText(line);
    nextCalculation_->setToolTip(QString());
    // The phantom's caption names the material only; its tooltip says all.
    FindControl<QLabel>(*this, mc::PhantomMaterial).setToolTip(line);
}

void MainWindow::ShowReadingNotice(const ConditionTexts& typed) {
    std::string notice;
    for (const Message& misread : MisreadFields(typed))
        notice += (notice.empty() ? "" : " ") + misread.In(state_.Edition);
    if (notice.empty()) {
        ShowNextCalculation();
        return;
    }
    nextCalculation_->setText(QString::fromStdString(notice));
    nextCalculation_->setToolTip(QString::fromStdString(notice));
}

void MainWindow::SetPhantomMedium(Medium medium) {
    state_.PhantomMedium = medium;
    phantomMaterial_->setText(
        medium == Medium::IcruFourComponent
            ? designedMaterial_
            : QString::fromStdString(Text(state_.Edition, MediumName(medium))));
    ShowNextCalculation();
}

void MainWindow::SetPhantomThickness(std::optional<double> thicknessCm) {
    state_.ThicknessCm = thicknessCm;
    ShowNextCalculation();
}

void MainWindow::ShowGraphMenu(const QPoint& at) {
    GraphMenu()->popup(graph_->mapToGlobal(at));
}

void MainWindow::RememberBeam(const ConditionTexts& drawn, bool curveDrawn) {
    CalculatedBeam beam = RecordBeam(drawn, state_.Conditions.Rectification, state_.Spectrum,
                                     state_.Attenuation.MuAluminium, beams_.Air(), state_.Model,
                                     state_.PhantomMedium, state_.ThicknessCm);
    if (found_ && found_->Texts == drawn && found_->Rectification == beam.Rectification)
        beam.Matched = found_->Match;
    beams_.Add(beam, curveDrawn);
}

} // namespace veltrim
