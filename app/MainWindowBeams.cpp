// The main window's side of the spectrum window: the beams of the
// calculations it records, the spectrum window it opens, and the graph's
// context menu (the spectrum window and the scatter model).
#include "app/MainWindow.h"
#include "app/QualityWindow.h"
#include "app/WindowBuilder.h"
#include "graph/GraphPicture.h"

#include <QAction>
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

QMenu* MainWindow::GraphMenu() {
    if (graphMenu_ == nullptr) {
        graphMenu_ = new QMenu(this);
        graphMenu_->addAction(
            QString::fromUtf8(Wording(state_.Edition, MessageId::QualityMenuItem)), this,
            &MainWindow::OpenQualityWindow);
        // The model of the calculations that follow; the curves already
        // drawn keep the one they were made with.
        divergentAction_ = graphMenu_->addAction(
            QString::fromUtf8(Wording(state_.Edition, MessageId::DivergentScatterMenuItem)));
        divergentAction_->setCheckable(true);
        divergentAction_->setChecked(DivergentScatter());
        connect(divergentAction_, &QAction::toggled, this, &MainWindow::SetDivergentScatter);
    }
    return graphMenu_;
}

void MainWindow::SetDivergentScatter(bool on) {
    state_.Model = on ? ScatterModel::Divergent : ScatterModel::Classic;
    if (divergentAction_ != nullptr && divergentAction_->isChecked() != on)
        divergentAction_->setChecked(on);
}

void MainWindow::ShowGraphMenu(const QPoint& at) {
    GraphMenu()->popup(graph_->mapToGlobal(at));
}

void MainWindow::RememberBeam(const ConditionTexts& drawn, bool curveDrawn) {
    beams_.Add(RecordBeam(drawn, state_.Conditions.Rectification, state_.Spectrum,
                          state_.Attenuation.MuAluminium, beams_.Air(), state_.Model),
               curveDrawn);
}

} // namespace veltrim
