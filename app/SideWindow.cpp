#include "app/SideWindow.h"

#include "app/BeamHistory.h"
#include "app/SideLayouts.h"
#include "core/NumberReading.h"
#include "engine/ModelData.h"
#include "window/SharedState.h"

#include <QLabel>

namespace veltrim {

SideWindow::SideWindow(const SharedState& run, const BeamHistory& beams, const WindowLayout& layout,
                       QWidget* parent)
    : QWidget(parent, Qt::Window), run_(run), beams_(beams), edition_(run.Edition) {
    BuildWindow(*this, layout);
}

QFont SideWindow::TextFont() const {
    return DesignFont(SideTextFont(edition_));
}

void SideWindow::AddMessageLine(int top) {
    message_ =
        &veltrim::AddMessageLine(*this, sidecontrols::MessageLine, {16, top, 948, 46}, TextFont());
}

void SideWindow::ShowMessage(const std::string& text, bool failure) {
    ShowOnMessageLine(*message_, text, failure);
}

std::optional<double> SideWindow::TypedNumber(ControlName field, const std::string& caption) {
    const std::string typed = Field(field).text().toStdString();
    const std::optional<double> number = ReadWholeNumber(typed);
    if (!number)
        ShowMessage(Text(edition_, MessageId::NotANumber, {caption, typed}), true);
    return number;
}

void SideWindow::ShowHeading(const std::string& heading) {
    Control<QLabel>(sidecontrols::ShownBeam).setText(Utf8(heading));
}

const CalculatedBeam* SideWindow::ShowLastDrawnBeam() {
    if (beams_.Drawn().empty()) {
        ShowHeading(Text(edition_, MessageId::QualityNoBeam));
        return nullptr;
    }
    const CalculatedBeam& beam = beams_.Drawn().back();
    ShowHeading(Text(edition_, MessageId::QualityShownBeam, {DescribeBeam(beam, edition_)}));
    return &beam;
}

const ModelData& SideWindow::Data() {
    // Held here too, so that what this window is using outlives a newer
    // one that a calculation puts in its place.
    data_ = run_.SharedData();
    return *data_;
}

} // namespace veltrim
