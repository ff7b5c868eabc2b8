#include "app/MapWindow.h"

#include "app/BeamHistory.h"
#include "app/DoseTexts.h"
#include "app/MapPictures.h"
#include "app/ProgramFiles.h"
#include "app/SideLayouts.h"
#include "core/CFormat.h"
#include "core/CalculationError.h"
#include "core/NumberReading.h"
#include "readout/ResultsSaving.h"
#include "window/SharedState.h"

#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <cmath>

namespace veltrim {
namespace {

namespace mc = mapcontrols;

// A typed coordinate: NaN unless the whole text is a number, so that the
// point's check refuses it with the edition's words.
double Coordinate(const QLineEdit& field) {
    return ReadWholeNumber(field.text().toStdString()).value_or(std::nan(""));
}

} // namespace

MapWindow::MapWindow(const SharedState& run, const BeamHistory& beams,
                     std::function<const AbsoluteDose*()> exposed, QWidget* parent)
    : SideWindow(run, beams, MapWindowLayout(run.Edition), parent), exposed_(std::move(exposed)) {
    planeChoice_ = AddControl<QComboBox>(mc::Plane, this);
    planeChoice_->setFont(DesignFont({Face::TimesNewRoman, 12.0}));
    planeChoice_->setGeometry(768, 36, 196, 28);
    planeChoice_->addItem(Utf8(Text(edition_, MessageId::MapPlaneXz)));
    planeChoice_->addItem(Utf8(Text(edition_, MessageId::MapPlaneYz)));
    picture_ = AddControl<MapPicture>(mc::Map, this);
    // The pictures are of their own size.
    picture_->move(16, 36);
    profile_ = AddControl<ProfilePicture>(mc::Profile, this);
    profile_->move(16, 424);
    AddMessageLine(682);

    Field(mc::ProfileDepth).setText(QStringLiteral("5"));
    Field(mc::PointDose).setReadOnly(true);
    Field(mc::PointDose).setFocusPolicy(Qt::ClickFocus);
    Field(mc::FileName).setText(FileNameDate(QDate::currentDate()) + QStringLiteral("-map"));

    connect(planeChoice_, &QComboBox::currentIndexChanged, this, &MapWindow::ShowLastCalculation);
    connect(&Field(mc::ProfileDepth), &QLineEdit::returnPressed, this, &MapWindow::ShowProfile);
    OnClick(*this, mc::ShowProfile, &MapWindow::ShowProfile);
    for (const ControlName field : {mc::PointX, mc::PointY, mc::PointDepth})
        connect(&Field(field), &QLineEdit::returnPressed, this, &MapWindow::ShowPointDose);
    OnClick(*this, mc::ShowPoint, &MapWindow::ShowPointDose);
    OnClick(*this, mc::SaveCsv, &MapWindow::SaveMapCsv);
    OnClick(*this, mc::SavePng, &MapWindow::SaveMapPng);
    connect(picture_, &MapPicture::PointerMoved, this, &MapWindow::ShowPointer);
    connect(picture_, &MapPicture::PointerLeft, &Control<QLabel>(mc::Pointer), &QLabel::clear);
    connect(&beams_, &BeamHistory::Changed, this, &MapWindow::ShowLastCalculation);
    ShowLastCalculation();
}

MapWindow::~MapWindow() = default;

LateralAxis MapWindow::Axis() const {
    return planeChoice_->currentIndex() == 1 ? LateralAxis::Y : LateralAxis::X;
}

PhantomPoint MapWindow::InPlane(double lateral, double depth) const {
    return Axis() == LateralAxis::X ? PhantomPoint{lateral, 0.0, depth}
                                    : PhantomPoint{0.0, lateral, depth};
}

void MapWindow::ShowLastCalculation() {
    ShowMessage({}, false);
    // As the dose window: the state changes during a calculation while the
    // history still names the previous beam.
    if (run_.CalculationUnderWay)
        return;
    beam_.reset();
    map_.reset();
    plane_.reset();
    Field(mc::PointDose).clear();
    Control<QLabel>(mc::Pointer).clear();
    picture_->Clear();
    profile_->Clear();
    const CalculatedBeam* drawn = ShowLastDrawnBeam();
    if (drawn == nullptr)
        return;
    try {
        // The main window's own result when it is the drawn beam's; it is
        // computed again only when a failed depth dose left the drawn curve
        // with another model or phantom than the result's.
        const BeamResult* last = run_.LastBeam.get();
        if (last && last->Model == drawn->Model && last->PhantomMedium == drawn->PhantomMedium &&
            last->ThicknessCm == drawn->ThicknessCm) {
            beam_ = run_.LastBeam;
        } else {
            CalculationOptions options;
            options.Model = drawn->Model;
            options.PhantomMedium = drawn->PhantomMedium;
            options.ThicknessCm = drawn->ThicknessCm;
            beam_ =
                std::make_shared<BeamResult>(CalculateBeam(run_.ResultConditions, options, Data()));
        }
        map_ = BeamMap(*beam_, Axis(), Data());
        plane_ = PlaneOfMap(*beam_, *map_, Axis());
    } catch (const BeamError& e) {
        beam_.reset();
        ShowMessage(e.Cause().In(edition_), true);
        return;
    } catch (const DataFileError& e) {
        beam_.reset();
        ShowMessage(e.Problem().In(edition_), true);
        return;
    }
    const IrradiationConditions& c = beam_->Conditions;
    picture_->Draw(*plane_, 0.5 * (Axis() == LateralAxis::X || c.FieldY == 0 ? c.FieldX : c.FieldY),
                   c.Fsd);
    ShowProfile();
}

void MapWindow::ShowProfile() {
    if (!beam_)
        return;
    ShowMessage({}, false);
    const std::optional<double> depth =
        TypedNumber(mc::ProfileDepth, Text(edition_, MessageId::MapProfileCaption));
    if (!depth)
        return;
    try {
        const DoseGrid grid = BeamProfile(*beam_, *depth, Axis(), Data());
        std::vector<std::pair<double, double>> line;
        for (std::size_t k = 0; k < grid.Points.size(); ++k) {
            const PhantomPoint& p = grid.Points[k];
            line.emplace_back(Axis() == LateralAxis::X ? p.X : p.Y,
                              PointPercent(*beam_, grid.Doses[k].Primary + grid.Doses[k].Scatter));
        }
        profile_->Draw(line, *depth);
    } catch (const BeamError& e) {
        ShowMessage(e.Cause().In(edition_), true);
    } catch (const CalculationError& e) {
        ShowMessage(e.Cause().In(edition_), true);
    }
}

std::string MapWindow::DoseText(double perFluence) const {
    std::string text = FormatC("%.4g %%", PointPercent(*beam_, perFluence));
    if (const AbsoluteDose* dose = exposed_ ? exposed_() : nullptr; dose && dose->Given)
        text += " = " + MgyText(dose->MgyOfFluenceDose(perFluence)) + " mGy";
    return text;
}

void MapWindow::ShowPointDose() {
    if (!beam_)
        return;
    ShowMessage({}, false);
    const PhantomPoint p{Coordinate(Field(mc::PointX)), Coordinate(Field(mc::PointY)),
                         Coordinate(Field(mc::PointDepth))};
    QLineEdit& shown = Field(mc::PointDose);
    if (std::isnan(p.X) || std::isnan(p.Y) || std::isnan(p.Z)) {
        // Named as typed: the library would only see "nan".
        const auto typed = [this](ControlName field) {
            return Field(field).text().trimmed().toStdString();
        };
        shown.clear();
        ShowMessage(Text(edition_, MessageId::PointNotFinite,
                         {typed(mc::PointX), typed(mc::PointY), typed(mc::PointDepth)}),
                    true);
        return;
    }
    try {
        const PointDose dose = BeamPointDoses(*beam_, {&p, 1}, Data())[0];
        shown.setText(Utf8(DoseText(dose.Primary + dose.Scatter)));
    } catch (const BeamError& e) {
        shown.clear();
        ShowMessage(e.Cause().In(edition_), true);
    }
}

void MapWindow::ShowPointer(double lateral, double depth) {
    if (!beam_)
        return;
    // To the millimetre, as the pointer can be placed.
    lateral = std::round(lateral * 10) / 10;
    depth = std::round(depth * 10) / 10;
    const PhantomPoint p = InPlane(lateral, depth);
    std::string dose = Text(edition_, MessageId::MapOutOfReach);
    if (WithinKernelReach(beam_->Conditions, beam_->DepthDose->Rows, p) &&
        depth <= 0.5 * beam_->DepthDose->Rows) {
        const PointDose d = BeamPointDoses(*beam_, {&p, 1}, Data())[0];
        dose = DoseText(d.Primary + d.Scatter);
    }
    Control<QLabel>(mc::Pointer)
        .setText(Utf8(Text(edition_, MessageId::MapPointer,
                           {FormatC("%.1f", lateral), FormatC("%.1f", depth), dose})));
}

void MapWindow::SaveMapCsv() {
    if (!beam_)
        return;
    const AbsoluteDose* dose = exposed_ ? exposed_() : nullptr;
    const SaveReport report =
        SaveMapCsvAs(MapCsvBytes(beams_.Drawn().back(), *beam_, *map_,
                                 dose && dose->Given ? dose : nullptr, edition_),
                     Field(mc::FileName).text(), run_.WorkFolder, edition_);
    run_.Messages.Show(report.Message);
}

void MapWindow::SaveMapPng() {
    if (!beam_)
        return;
    const SaveReport report =
        SaveMapPngAs(picture_->Image(), Field(mc::FileName).text(), run_.WorkFolder, edition_);
    run_.Messages.Show(report.Message);
}

} // namespace veltrim
