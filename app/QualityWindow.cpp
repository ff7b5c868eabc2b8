#include "app/QualityWindow.h"

#include "app/BeamHistory.h"
#include "app/ProgramFiles.h"
#include "app/SideLayouts.h"
#include "core/CFormat.h"
#include "core/CalculationError.h"
#include "core/Inputs.h"
#include "core/NumberReading.h"
#include "graph/SpectrumChart.h"
#include "readout/ResultsSaving.h"
#include "window/SharedState.h"

#include <QDate>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPixmap>
#include <cmath>
#include <utility>

namespace veltrim {
namespace {

namespace qc = qualitycontrols;

} // namespace

QualityWindow::QualityWindow(const SharedState& run, const BeamHistory& beams,
                             std::function<TypedBeam()> typed, QWidget* parent)
    : SideWindow(run, beams, QualityWindowLayout(run.Edition), parent), typed_(std::move(typed)) {
    pictureBox_ = AddControl<QLabel>(qc::Picture, this);
    pictureBox_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pictureBox_->setLineWidth(2);
    pictureBox_->setGeometry(16, 16, 604, 404);
    AddMessageLine(452);
    curves_ = AddControl<QListWidget>(qc::CurveList, this);
    curves_->setFont(TextFont());
    curves_->setGeometry(16, 576, 948, 108);
    curves_->setSelectionMode(QAbstractItemView::NoSelection);

    for (const ControlName figure : qc::Figures) {
        Field(figure).setReadOnly(true);
        Field(figure).setFocusPolicy(Qt::ClickFocus);
    }
    Field(qc::AirPath).setText(QString::fromLatin1(inputs::AirPath.Default));
    const QString name = FileNameDate(QDate::currentDate()) + QStringLiteral("-spectrum");
    Field(qc::CsvFileName).setText(name);
    Field(qc::PngFileName).setText(name);

    // A new air path gives new figures; an earlier complaint about it goes.
    connect(&Field(qc::AirPath), &QLineEdit::editingFinished, this, [this] {
        ShowMessage({}, false);
        ShowFigures();
    });
    connect(&Field(qc::MeasuredHvl1), &QLineEdit::returnPressed, this,
            &QualityWindow::FindAddedAluminium);
    OnClick(*this, qc::FindAluminium, &QualityWindow::FindAddedAluminium);
    OnClick(*this, qc::SaveCsv, &QualityWindow::SaveSpectrumCsv);
    OnClick(*this, qc::SavePng, &QualityWindow::SaveSpectrumPng);
    connect(&beams_, &BeamHistory::Changed, this, &QualityWindow::ShowLastCalculation);
    ShowLastCalculation();
    // What the user types here first is the measured value.
    Field(qc::MeasuredHvl1).setFocus();
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
    ShowHeading(heading);
    const SpectrumAxes axes{Utf8(Text(edition_, MessageId::QualityEnergyAxis)),
                            Utf8(Text(edition_, MessageId::QualityFractionAxis)), TextFont()};
    picture_ = DrawSpectrumChart(spectrum, axes);
    pictureBox_->setPixmap(QPixmap::fromImage(picture_));
    for (const ControlName save : {qc::SaveCsv, qc::SavePng})
        Control<QPushButton>(save).setEnabled(spectrum != nullptr);
    ShowFigures();
}

void QualityWindow::ClearFigures() {
    for (const ControlName figure : qc::Figures)
        Field(figure).clear();
}

std::optional<double> QualityWindow::TypedAirPath() {
    const std::string typed = Field(qc::AirPath).text().toStdString();
    const std::optional<double> cm = ReadWholeNumber(typed);
    if (!cm || !inputs::AirPath.Allows(*cm)) {
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
    Field(qc::MeanEnergy).setText(Utf8(FormatC("%.2f", q.MeanEnergyKeV)));
    Field(qc::Hvl1).setText(Utf8(FormatC("%.3f", q.Hvl1MmAl)));
    Field(qc::Hvl2).setText(Utf8(FormatC("%.3f", q.Hvl2MmAl)));
    Field(qc::Homogeneity).setText(Utf8(FormatC("%.3f", q.Homogeneity)));
    Field(qc::EffectiveEnergy)
        .setText(q.EffectiveEnergyKeV ? Utf8(FormatC("%.1f", *q.EffectiveEnergyKeV))
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
    const std::string typedHvl1 = Field(qc::MeasuredHvl1).text().toStdString();
    const double hvl1 = ReadWholeNumber(typedHvl1).value_or(0.0);
    if (!inputs::MeasuredHvl1.Allows(hvl1)) {
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
    const double hvl1 = ReadWholeNumber(Field(qc::MeasuredHvl1).text().toStdString()).value_or(0.0);
    if (inputs::MeasuredHvl1.Allows(hvl1))
        return hvl1;
    return std::nullopt;
}

void QualityWindow::SetMeasuredHvl1(double mm) {
    Field(qc::MeasuredHvl1).setText(QString::number(mm, 'g', QLocale::FloatingPointShortest));
}

void QualityWindow::SaveSpectrumCsv() {
    if (!shown_)
        return;
    const SaveReport report =
        SaveSpectrumCsvAs(*shown_, Field(qc::CsvFileName).text(), run_.WorkFolder, edition_);
    run_.Messages.Show(report.Message);
}

void QualityWindow::SaveSpectrumPng() {
    if (!shown_)
        return;
    const SaveReport report =
        SaveSpectrumPngAs(picture_, Field(qc::PngFileName).text(), run_.WorkFolder, edition_);
    run_.Messages.Show(report.Message);
}

} // namespace veltrim
