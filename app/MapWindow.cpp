#include "app/MapWindow.h"

#include "app/BeamHistory.h"
#include "app/ControlNames.h"
#include "app/DoseTexts.h"
#include "app/MapPictures.h"
#include "app/ProgramFiles.h"
#include "app/SideLayouts.h"
#include "app/WindowBuilder.h"
#include "calculation/SharedState.h"
#include "core/CFormat.h"
#include "core/CalculationError.h"
#include "core/NumberReading.h"
#include "readout/ResultsSaving.h"

#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

namespace veltrim {
namespace {

namespace mc = mapcontrols;

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

// Where the controls the layout does not make go, in pixels.
constexpr QRect PlaneBox{768, 36, 196, 28};
constexpr QRect PictureBox{16, 36, 736, 380};
constexpr QRect ProfileBox{16, 424, 736, 200};
constexpr QRect MessageBox{16, 682, 948, 46};

// A typed coordinate: NaN unless the whole text is a number, so that the
// point's check refuses it with the edition's words.
double Coordinate(const QLineEdit& field) {
    const std::string text = field.text().trimmed().toStdString();
    return ReadsWhole(text) ? ReadNumber(text) : std::nan("");
}

} // namespace

MapWindow::MapWindow(const SharedState& run, const BeamHistory& beams,
                     std::function<const AbsoluteDose*()> exposed, QWidget* parent)
    : QWidget(parent, Qt::Window), run_(run), beams_(beams), exposed_(std::move(exposed)),
      edition_(run.Edition) {
    BuildWindow(*this, MapWindowLayout(edition_));
    const QFont textFont = DesignFont(SideTextFont(edition_));
    planeChoice_ = new QComboBox(this);
    planeChoice_->setObjectName(QString::fromLatin1(mc::Plane.Design));
    planeChoice_->setFont(DesignFont({Face::TimesNewRoman, 12.0}));
    planeChoice_->setGeometry(PlaneBox);
    planeChoice_->addItem(Utf8(Text(edition_, MessageId::MapPlaneXz)));
    planeChoice_->addItem(Utf8(Text(edition_, MessageId::MapPlaneYz)));
    picture_ = new MapPicture(this);
    picture_->setObjectName(QString::fromLatin1(mc::Map.Design));
    picture_->move(PictureBox.topLeft());
    profile_ = new ProfilePicture(this);
    profile_->setObjectName(QString::fromLatin1(mc::Profile.Design));
    profile_->move(ProfileBox.topLeft());
    message_ = &AddMessageLine(*this, mc::MessageLine, MessageBox, textFont);

    profileDepth_ = &FindControl<QLineEdit>(*this, mc::ProfileDepth);
    profileDepth_->setText(QStringLiteral("5"));
    pointX_ = &FindControl<QLineEdit>(*this, mc::PointX);
    pointY_ = &FindControl<QLineEdit>(*this, mc::PointY);
    pointDepth_ = &FindControl<QLineEdit>(*this, mc::PointDepth);
    pointDose_ = &FindControl<QLineEdit>(*this, mc::PointDose);
    pointDose_->setReadOnly(true);
    pointDose_->setFocusPolicy(Qt::ClickFocus);
    fileName_ = &FindControl<QLineEdit>(*this, mc::FileName);
    fileName_->setText(FileNameDate(QDate::currentDate()) + QStringLiteral("-map"));
    shownBeam_ = &FindControl<QLabel>(*this, mc::ShownBeam);
    pointer_ = &FindControl<QLabel>(*this, mc::Pointer);

    connect(planeChoice_, &QComboBox::currentIndexChanged, this, &MapWindow::ShowLastCalculation);
    connect(profileDepth_, &QLineEdit::returnPressed, this, &MapWindow::ShowProfile);
    connect(&FindControl<QPushButton>(*this, mc::ShowProfile), &QPushButton::clicked, this,
            &MapWindow::ShowProfile);
    for (QLineEdit* field : {pointX_, pointY_, pointDepth_})
        connect(field, &QLineEdit::returnPressed, this, &MapWindow::ShowPointDose);
    connect(&FindControl<QPushButton>(*this, mc::ShowPoint), &QPushButton::clicked, this,
            &MapWindow::ShowPointDose);
    connect(&FindControl<QPushButton>(*this, mc::SaveCsv), &QPushButton::clicked, this,
            &MapWindow::SaveMapCsv);
    connect(&FindControl<QPushButton>(*this, mc::SavePng), &QPushButton::clicked, this,
            &MapWindow::SaveMapPng);
    connect(picture_, &MapPicture::PointerMoved, this, &MapWindow::ShowPointer);
    connect(picture_, &MapPicture::PointerLeft, pointer_, &QLabel::clear);
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
    pointDose_->clear();
    pointer_->clear();
    picture_->Clear();
    profile_->Clear();
    if (beams_.Drawn().empty()) {
        shownBeam_->setText(Utf8(Text(edition_, MessageId::QualityNoBeam)));
        return;
    }
    const CalculatedBeam& drawn = beams_.Drawn().back();
    shownBeam_->setText(
        Utf8(Text(edition_, MessageId::QualityShownBeam, {DescribeBeam(drawn, edition_)})));
    try {
        if (!data_)
            data_ = ModelData::Load(run_.DataFolder);
        CalculationOptions options;
        options.Model = drawn.Model;
        options.PhantomMedium = drawn.PhantomMedium;
        options.ThicknessCm = drawn.ThicknessCm;
        beam_ = std::make_unique<BeamResult>(CalculateBeam(run_.ResultConditions, options, *data_));
        map_ = BeamMap(*beam_, Axis(), *data_);
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
    const double depth = Coordinate(*profileDepth_);
    try {
        const DoseGrid grid = BeamProfile(*beam_, depth, Axis(), *data_);
        std::vector<std::pair<double, double>> line;
        for (std::size_t k = 0; k < grid.Points.size(); ++k) {
            const PhantomPoint& p = grid.Points[k];
            line.emplace_back(Axis() == LateralAxis::X ? p.X : p.Y,
                              PointPercent(*beam_, grid.Doses[k].Primary + grid.Doses[k].Scatter));
        }
        profile_->Draw(line, depth);
    } catch (const BeamError& e) {
        ShowMessage(e.Cause().In(edition_), true);
    } catch (const CalculationError& e) {
        ShowMessage(e.Cause().In(edition_), true);
    }
}

std::string MapWindow::DoseText(double perFluence) const {
    std::string text = FormatC("%.4g %%", PointPercent(*beam_, perFluence));
    if (const AbsoluteDose* dose = exposed_ ? exposed_() : nullptr; dose && dose->Given)
        text += " = " + MgyText(dose->Mgy(perFluence / dose->AirKermaPerFluence)) + " mGy";
    return text;
}

void MapWindow::ShowPointDose() {
    if (!beam_)
        return;
    ShowMessage({}, false);
    const PhantomPoint p{Coordinate(*pointX_), Coordinate(*pointY_), Coordinate(*pointDepth_)};
    if (std::isnan(p.X) || std::isnan(p.Y) || std::isnan(p.Z)) {
        // Named as typed: the library would only see "nan".
        const auto typed = [](const QLineEdit* field) {
            return field->text().trimmed().toStdString();
        };
        pointDose_->clear();
        ShowMessage(Text(edition_, MessageId::PointNotFinite,
                         {typed(pointX_), typed(pointY_), typed(pointDepth_)}),
                    true);
        return;
    }
    try {
        const PointDose dose = BeamPointDoses(*beam_, {&p, 1}, *data_)[0];
        pointDose_->setText(Utf8(DoseText(dose.Primary + dose.Scatter)));
    } catch (const BeamError& e) {
        pointDose_->clear();
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
        const PointDose d = BeamPointDoses(*beam_, {&p, 1}, *data_)[0];
        dose = DoseText(d.Primary + d.Scatter);
    }
    pointer_->setText(Utf8(Text(edition_, MessageId::MapPointer,
                                {FormatC("%.1f", lateral), FormatC("%.1f", depth), dose})));
}

void MapWindow::ShowMessage(const std::string& text, bool failure) {
    ShowOnMessageLine(*message_, text, failure);
}

void MapWindow::SaveMapCsv() {
    if (!beam_)
        return;
    const AbsoluteDose* dose = exposed_ ? exposed_() : nullptr;
    const SaveReport report =
        SaveMapCsvAs(MapCsvBytes(beams_.Drawn().back(), *beam_, *map_,
                                 dose && dose->Given ? dose : nullptr, edition_),
                     fileName_->text(), run_.WorkFolder, edition_);
    run_.Messages.Show(report.Message);
}

void MapWindow::SaveMapPng() {
    if (!beam_)
        return;
    const SaveReport report =
        SaveMapPngAs(picture_->Image(), fileName_->text(), run_.WorkFolder, edition_);
    run_.Messages.Show(report.Message);
}

} // namespace veltrim
