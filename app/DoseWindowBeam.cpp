// The dose window given what a saved beam opened holds: its exposure, typed
// into the fields of its way, and its phantom, shown as chosen.
#include "app/DoseTexts.h"
#include "app/DoseWindow.h"
#include "app/SideLayouts.h"
#include "core/CFormat.h"

#include <QComboBox>
#include <QLocale>
#include <QRadioButton>
#include <QSignalBlocker>

namespace veltrim {

namespace dc = dosecontrols;

void DoseWindow::SetExposure(const Exposure& given) {
    const auto text = [](double value) {
        return QString::number(value, 'g', QLocale::FloatingPointShortest);
    };
    Way(given.Kind).setChecked(true);
    switch (given.Kind) {
    case ExposureKind::TubeOutput:
        Field(dc::TubeOutput).setText(text(given.Value));
        Field(dc::Mas).setText(text(given.Mas));
        Field(dc::OutputDistance).setText(text(given.OutputDistanceCm));
        break;
    case ExposureKind::KermaAreaProduct:
        kapUnit_->setCurrentIndex(0); // Gy cm2, the unit the library takes
        Field(dc::Kap).setText(text(given.Value));
        break;
    case ExposureKind::EntranceSurfaceKerma:
        Field(dc::Esak).setText(text(given.Value));
        break;
    case ExposureKind::IncidentAirKerma:
        Field(dc::AirKerma).setText(text(given.Value));
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

} // namespace veltrim
