// The main window's side of the spectrum and dose windows: the beams of the
// calculations it records, the windows it opens, and the graph's context
// menu (the two windows and the scatter model).
#include "app/DoseWindow.h"
#include "app/MainWindow.h"
#include "app/QualityWindow.h"
#include "app/WindowBuilder.h"
#include "graph/GraphPicture.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

namespace veltrim {

void MainWindow::OpenQualityWindow() {
    if (ended_)
        return;
    if (qualityWindow_ == nullptr) {
        const auto typed = [this] { return TypedBeam{TypedConditions(), TypedRectification()}; };
        qualityWindow_ = new QualityWindow(state_, beams_, typed, this);
        qualityWindow_->setAttribute(Qt::WA_DeleteOnClose);
        connect(qualityWindow_, &QualityWindow::AddedFilterFound, this,
                &MainWindow::SetTypedFilter);
    }
    qualityWindow_->show();
    qualityWindow_->raise();
    qualityWindow_->activateWindow();
}

QualityWindow* MainWindow::Quality() const {
    return qualityWindow_;
}

void MainWindow::OpenDoseWindow() {
    if (ended_)
        return;
    if (doseWindow_ == nullptr) {
        doseWindow_ = new DoseWindow(state_, beams_, this);
        doseWindow_->setAttribute(Qt::WA_DeleteOnClose);
        connect(doseWindow_, &DoseWindow::PhantomMediumChosen, this, &MainWindow::SetPhantomMedium);
    }
    doseWindow_->show();
    doseWindow_->raise();
    doseWindow_->activateWindow();
}

DoseWindow* MainWindow::Dose() const {
    return doseWindow_;
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
    }
    return graphMenu_;
}

void MainWindow::SetDivergentScatter(bool on) {
    state_.Model = on ? ScatterModel::Divergent : ScatterModel::Classic;
    if (divergentAction_ != nullptr && divergentAction_->isChecked() != on)
        divergentAction_->setChecked(on);
}

void MainWindow::SetPhantomMedium(Medium medium) {
    state_.PhantomMedium = medium;
    phantomMaterial_->setText(
        medium == Medium::IcruFourComponent
            ? designedMaterial_
            : QString::fromStdString(Text(state_.Edition, MediumName(medium))));
}

void MainWindow::ShowGraphMenu(const QPoint& at) {
    GraphMenu()->popup(graph_->mapToGlobal(at));
}

void MainWindow::RememberBeam(const ConditionTexts& drawn, bool curveDrawn) {
    beams_.Add(RecordBeam(drawn, state_.Conditions.Rectification, state_.Spectrum,
                          state_.Attenuation.MuAluminium, beams_.Air(), state_.Model,
                          state_.PhantomMedium),
               curveDrawn);
}

} // namespace veltrim
