// The dose window given what a saved beam opened holds: its exposure, typed
// into the fields of its way, and its phantom, shown as chosen; and the tube
// output typed there, which a saved beam keeps.
#include "app/DoseTexts.h"
#include "app/DoseWindow.h"
#include "app/SideLayouts.h"
#include "core/CFormat.h"
#include "core/NumberReading.h"

#include <QComboBox>
#include <QLocale>
#include <QRadioButton>
#include <QSignalBlocker>

namespace veltrim {

namespace dc = dosecontrols;

namespace {

// A number as the user would type it: the fewest digits that read back to it.
QString AsTyped(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace

void DoseWindow::SetExposure(const Exposure& given) {
    Way(given.Kind).setChecked(true);
    switch (given.Kind) {
    case ExposureKind::TubeOutput:
        Field(dc::TubeOutput).setText(AsTyped(given.Value));
        Field(dc::Mas).setText(AsTyped(given.Mas));
        Field(dc::OutputDistance).setText(AsTyped(given.OutputDistanceCm));
        break;
    case ExposureKind::KermaAreaProduct:
        kapUnit_->setCurrentIndex(0); // Gy cm2, the unit the library takes
        Field(dc::Kap).setText(AsTyped(given.Value));
        break;
    case ExposureKind::EntranceSurfaceKerma:
        Field(dc::Esak).setText(AsTyped(given.Value));
        break;
    case ExposureKind::IncidentAirKerma:
        Field(dc::AirKerma).setText(AsTyped(given.Value));
        break;
    }
    accepted_ = given;
    if (shown_ && !Expose(given))
        return;
    ShowFigures();
}

void DoseWindow::ShowPhantomChoice(Medium medium, std::optional<double> thicknessCm) {
    for (std::size_t i = 0; i < std::size(MediumKeys); ++i)
        if (MediumKeys[i].second == medium) {
            const QSignalBlocker quiet(mediumChoice_);
            mediumChoice_->setCurrentIndex(static_cast<int>(i));
        }
    thicknessChosen_ = thicknessCm;
    Field(dc::Thickness).setText(thicknessCm ? Utf8(ShortestText(*thicknessCm)) : QString());
    ShowFigures();
}

std::pair<std::optional<double>, std::optional<double>> DoseWindow::TypedTubeOutput() const {
    const auto positive = [this](ControlName field) -> std::optional<double> {
        const std::optional<double> value = ReadWholeNumber(Field(field).text().toStdString());
        if (value && *value > 0.0)
            return value;
        return std::nullopt;
    };
    const std::optional<double> output = positive(dc::TubeOutput);
    return {output, output ? positive(dc::OutputDistance) : std::nullopt};
}

void DoseWindow::SetTubeOutput(double output, std::optional<double> distanceCm) {
    Field(dc::TubeOutput).setText(AsTyped(output));
    if (distanceCm)
        Field(dc::OutputDistance).setText(AsTyped(*distanceCm));
    Way(ExposureKind::TubeOutput).setChecked(true);
}

} // namespace veltrim
