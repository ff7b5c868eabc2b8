#include "app/QualityWindow.h"

#include "app/BeamHistory.h"
#include "app/ProgramFiles.h"
#include "app/SideLayouts.h"
#include "app/WindowBuilder.h"
#include "calculation/SharedState.h"
#include "core/CFormat.h"
#include "core/CalculationError.h"
#include "core/NumberReading.h"
#include "graph/SpectrumChart.h"
#include "readout/ResultsSaving.h"

#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPixmap>
#include <QPushButton>
#include <cmath>
#include <utility>

namespace veltrim {
namespace {

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

namespace qc = qualitycontrols;

// Where the controls the layout does not make go, in pixels.
constexpr QRect PictureBox{16, 16, 604, 404};
constexpr QRect MessageBox{16, 452, 948, 46};
constexpr QRect CurveListBox{16, 576, 948, 108};

// The most air a half-value layer is measured behind, cm.
constexpr double MaxAirPathCm = 1000.0;

} // namespace

QualityWindow::QualityWindow(const SharedState& run, const BeamHistory& beams,
                             std::function<TypedBeam()> typed, QWidget* parent)
    : QWidget(parent, Qt::Window), run_(run), beams_(beams), typed_(std::move(typed)),
      edition_(run.Edition) {
    BuildWindow(*this, QualityWindowLayout(edition_));
    const QFont textFont = DesignFont(SideTextFont(edition_));

    pictureBox_ = new QLabel(this);
    pictureBox_->setObjectName(QString::fromLatin1(qc::Picture.Design));
    pictureBox_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pictureBox_->setLineWidth(2);
    pictureBox_->setGeometry(PictureBox);
    message_ = &AddMessageLine(*this, qc::MessageLine, MessageBox, textFont);
    curves_ = new QListWidget(this);
    curves_->setObjectName(QString::fromLatin1(qc::CurveList.Design));
    curves_->setFont(textFont);
    curves_->setGeometry(CurveListBox);
    curves_->setSelectionMode(QAbstractItemView::NoSelection);

    shownBeam_ = &FindControl<QLabel>(*this, qc::ShownBeam);
    for (std::size_t k = 0; k < figures_.size(); ++k) {
        figures_[k] = &FindControl<QLineEdit>(*this, qc::Figures[k]);
        figures_[k]->setReadOnly(true);
        figures_[k]->setFocusPolicy(Qt::ClickFocus);
    }
    airPath_ = &FindControl<QLineEdit>(*this, qc::AirPath);
    airPath_->setText(QStringLiteral("0"));
    measuredHvl1_ = &FindControl<QLineEdit>(*this, qc::MeasuredHvl1);
    csvName_ = &FindControl<QLineEdit>(*this, qc::CsvFileName);
    pngName_ = &FindControl<QLineEdit>(*this, qc::PngFileName);
    const QString name = FileNameDate(QDate::currentDate()) + QStringLiteral("-spectrum");
    csvName_->setText(name);
    pngName_->setText(name);
    saveCsv_ = &FindControl<QPushButton>(*this, qc::SaveCsv);
    savePng_ = &FindControl<QPushButton>(*this, qc::SavePng);

    // A new air path gives new figures; an earlier complaint about it goes.
    connect(airPath_, &QLineEdit::editingFinished, this, [this] {
        ShowMessage({}, false);
        ShowFigures();
    });
    connect(measuredHvl1_, &QLineEdit::returnPressed, this, &QualityWindow::FindAddedAluminium);
    connect(&FindControl<QPushButton>(*this, qc::FindAluminium), &QPushButton::clicked, this,
            &QualityWindow::FindAddedAluminium);
    connect(saveCsv_, &QPushButton::clicked, this, &QualityWindow::SaveSpectrumCsv);
    connect(savePng_, &QPushButton::clicked, this, &QualityWindow::SaveSpectrumPng);
    connect(&beams_, &BeamHistory::Changed, this, &QualityWindow::ShowLastCalculation);
    ShowLastCalculation();
    // What the user types here first is the measured value.
    measuredHvl1_->setFocus();
}

void QualityWindow::ShowLastCalculation() {
    curves_->clear();
    int number = 0;
    for (const CalculatedBeam& beam : beams_.Drawn())
        curves_->addItem(Utf8(CurveEntry(++number, beam, edition_)));
    const CalculatedBeam* last = beams_.Last();
    ShowMessage({}, false);
    if (last == nullptr) {
        ShowBeam(nullptr, Text(edition_, MessageId::QualityNoBeam));
        return;
    }
    ShowBeam(&last->Spectrum,
             Text(edition_, MessageId::QualityShownBeam, {DescribeBeam(*last, edition_)}));
}

void QualityWindow::ShowBeam(const EnergyTable* spectrum, const std::string& heading) {
    shown_.reset();
    if (spectrum != nullptr)
        shown_ = *spectrum;
    shownBeam_->setText(Utf8(heading));
    const SpectrumAxes axes{Utf8(Text(edition_, MessageId::QualityEnergyAxis)),
                            Utf8(Text(edition_, MessageId::QualityFractionAxis)),
                            DesignFont(SideTextFont(edition_))};
    picture_ = DrawSpectrumChart(spectrum, axes);
    pictureBox_->setPixmap(QPixmap::fromImage(picture_));
    saveCsv_->setEnabled(spectrum != nullptr);
    savePng_->setEnabled(spectrum != nullptr);
    ShowFigures();
}

void QualityWindow::ShowMessage(const std::string& text, bool failure) {
    ShowOnMessageLine(*message_, text, failure);
}

void QualityWindow::ClearFigures() {
    for (QLineEdit* figure : figures_)
        figure->clear();
}

std::optional<double> QualityWindow::TypedAirPath() {
    const std::string typed = airPath_->text().toStdString();
    const double cm = ReadNumber(typed);
    if (!(cm >= 0.0 && cm <= MaxAirPathCm)) {
        ShowMessage(Message(MessageId::AirPathInvalid, {Arg(typed)}).In(edition_), true);
        return std::nullopt;
    }
    return cm;
}

void QualityWindow::ShowFigures() {
    ClearFigures();
    if (!shown_)
        return;
    const AirData& air = beams_.Air();
    if (!air.Tables) {
        ShowMessage(Text(edition_, MessageId::QualityAirTablesMissing, {air.Problem.In(edition_)}),
                    true);
        return;
    }
    const std::optional<double> airCm = TypedAirPath();
    if (!airCm)
        return;
    const BeamQualityResult result =
        AssessBeamQuality(*shown_, run_.Attenuation.MuAluminium, *air.Tables, *airCm);
    if (!result.Quality) {
        ShowMessage(Text(edition_, MessageId::BeamQualityMissing, {result.Problem}), true);
        return;
    }
    const BeamQuality& q = *result.Quality;
    figures_[0]->setText(Utf8(FormatC("%.2f", q.MeanEnergyKeV)));
    figures_[1]->setText(Utf8(FormatC("%.3f", q.Hvl1MmAl)));
    figures_[2]->setText(Utf8(FormatC("%.3f", q.Hvl2MmAl)));
    figures_[3]->setText(Utf8(FormatC("%.3f", q.Homogeneity)));
    figures_[4]->setText(q.EffectiveEnergyKeV
                             ? Utf8(FormatC("%.1f", *q.EffectiveEnergyKeV))
                             : Utf8(Text(edition_, MessageId::QualityEffectiveAbove)));
}

void QualityWindow::FindAddedAluminium() {
    const AirData& air = beams_.Air();
    if (!air.Tables) {
        ShowMessage(Text(edition_, MessageId::QualityAirTablesMissing, {air.Problem.In(edition_)}),
                    true);
        return;
    }
    if (!run_.AttenuationLoaded) {
        ShowMessage(Text(edition_, MessageId::AttenuationNotLoaded), true);
        return;
    }
    const std::string typedHvl1 = measuredHvl1_->text().toStdString();
    const double hvl1 = ReadNumber(typedHvl1);
    if (!(hvl1 > 0.0) || !std::isfinite(hvl1)) {
        ShowMessage(Message(MessageId::Hvl1NotPositive, {Arg(typedHvl1)}).In(edition_), true);
        return;
    }
    const std::optional<double> airCm = TypedAirPath();
    if (!airCm)
        return;
    // The conditions read as OK reads them, into a copy: the run's own are
    // those of the last calculation, and a calculation may be under way.
    const TypedBeam typed = typed_();
    IrradiationConditions conditions;
    ReadConditions(typed.Texts, conditions);
    conditions.Rectification = typed.Rectification;
    const auto match = [&](MatchFilter filter) {
        return FindFilterForHvl1(conditions, hvl1, filter, *airCm, run_.Attenuation, *air.Tables);
    };
    MatchFilter filter = MatchFilter::Aluminium;
    FoundFilter found;
    try {
        try {
            found = match(filter);
        } catch (const Hvl1OutOfReachError& e) {
            // Below the typed beam with no added aluminium, the tube itself
            // filters less than typed: its inherent filtration is the unknown.
            if (!e.Below() || !run_.Messages.Ask(Text(edition_, MessageId::Hvl1OfferInherent,
                                                      {e.Cause().In(edition_)})))
                throw;
            filter = MatchFilter::Inherent;
            found = match(filter);
        }
    } catch (const CalculationError& e) {
        ShowMessage(e.Cause().In(edition_), true);
        return;
    }
    const bool inherent = filter == MatchFilter::Inherent;
    const std::string mm = AddedFilterText(found.Match);
    emit FilterFound(filter, Utf8(mm));
    const std::string said =
        Text(edition_, MessageId::Hvl1FilterChanged,
             {Text(edition_, inherent ? MessageId::ChangedInherent : MessageId::ChangedAluminium),
              inherent ? typed.Texts.InherentFiltration : typed.Texts.AlFilter, mm,
              FormatC("%.3f", hvl1)});
    // The found beam in place of the last one, until the next calculation:
    // its spectrum, and its figures for the air path it was matched behind.
    CalculatedBeam beam;
    beam.Typed = typed.Texts;
    (inherent ? beam.Typed.InherentFiltration : beam.Typed.AlFilter) = mm;
    beam.Rectification = conditions.Rectification;
    ShowBeam(&found.Spectrum,
             Text(edition_, MessageId::QualityMatchedBeam, {DescribeBeam(beam, edition_)}));
    ShowMessage(Text(edition_, MessageId::QualityFoundBeam, {said}), false);
}

std::optional<double> QualityWindow::TypedMeasuredHvl1() const {
    const double hvl1 = ReadNumber(measuredHvl1_->text().toStdString());
    if (hvl1 > 0.0 && std::isfinite(hvl1))
        return hvl1;
    return std::nullopt;
}

void QualityWindow::SetMeasuredHvl1(double mm) {
    measuredHvl1_->setText(QString::number(mm, 'g', QLocale::FloatingPointShortest));
}

void QualityWindow::SaveSpectrumCsv() {
    if (!shown_)
        return;
    const SaveReport report =
        SaveSpectrumCsvAs(*shown_, csvName_->text(), run_.WorkFolder, edition_);
    run_.Messages.Show(report.Message);
}

void QualityWindow::SaveSpectrumPng() {
    if (!shown_)
        return;
    const SaveReport report =
        SaveSpectrumPngAs(picture_, pngName_->text(), run_.WorkFolder, edition_);
    run_.Messages.Show(report.Message);
}

} // namespace veltrim
