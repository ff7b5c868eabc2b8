#include "report/ReportContent.h"

#include "core/CFormat.h"
#include "core/Grids.h"
#include "core/Messages.h"
#include "core/NumberReading.h"
#include "engine/BeamPoints.h"
#include "files/TableExport.h"
#include "report/ReportTexts.h"

#include <ctime>
#include <stdexcept>

namespace veltrim {
namespace {

// The figures as veltrim-calc prints them: the quality with --quality's
// decimals, the doses to six significant digits, the table with the
// results file's two decimals.
std::string Dose(double value) {
    return FormatC("%.6g", value);
}

ReportSection ConditionsSection(const BeamResult& beam, const ReportRequest& request) {
    const Language l = request.Edition;
    const auto word = [l](ReportText text) { return ReportWording(text, l); };
    const ConditionTexts& t = request.Typed;
    // The values the calculation read, in the units they were typed in; the
    // voltage as held to its range.
    const auto read = [](const std::string& text, const char* unit) {
        return ShortestText(ReadNumber(text)) + unit;
    };
    ReportSection section{word(ReportText::Conditions), {}};
    section.Lines = {
        {word(ReportText::TubeVoltage), ShortestText(beam.Conditions.TubeVoltage) + " kV"},
        {word(ReportText::TargetAngle),
         read(t.TargetAngle, l == Language::Japanese ? " 度" : " °")},
        {word(ReportText::InherentFiltration), read(t.InherentFiltration, " mm Al")},
        {word(ReportText::AlFilter), read(t.AlFilter, " mm")},
        {word(ReportText::CuFilter), read(t.CuFilter, " mm")},
        {word(ReportText::Fsd), read(t.Fsd, " cm")},
        {word(ReportText::FieldX), read(t.FieldX, " cm")},
        {word(ReportText::FieldY), read(t.FieldY, " cm")},
    };
    ReportText rectification = ReportText::ConstantPotential;
    if (beam.Conditions.Rectification == RectificationMethod::ThreePhase12Peak)
        rectification = ReportText::ThreePhase;
    else if (beam.Conditions.Rectification == RectificationMethod::SinglePhaseFullWave)
        rectification = ReportText::SinglePhase;
    section.Lines.push_back({word(ReportText::Rectification), word(rectification)});
    section.Lines.push_back({word(ReportText::ScatterModel),
                             word(beam.Model == ScatterModel::Divergent ? ReportText::Divergent
                                                                        : ReportText::Classic)});
    section.Lines.push_back(
        {word(ReportText::Medium), Message(MediumName(beam.PhantomMedium)).In(l)});
    if (beam.ThicknessCm)
        section.Lines.push_back(
            {word(ReportText::Thickness), ShortestText(*beam.ThicknessCm) + " cm"});
    return section;
}

ReportSection QualitySection(const BeamQuality& q, const ReportRequest& request) {
    const Language l = request.Edition;
    const auto label = [l](MessageId id) { return Message(id).In(l); };
    ReportSection section{ReportWording(ReportText::Quality, l), {}};
    section.Lines = {
        {label(MessageId::QualityHvl1), FormatC("%.4f mm Al", q.Hvl1MmAl)},
        {label(MessageId::QualityHvl2), FormatC("%.4f mm Al", q.Hvl2MmAl)},
        {label(MessageId::QualityHomogeneity), FormatC("%.4f", q.Homogeneity)},
        {label(MessageId::QualityMeanEnergy), FormatC("%.3f keV", q.MeanEnergyKeV)},
        {label(MessageId::QualityEffectiveEnergy),
         q.EffectiveEnergyKeV ? FormatC("%.2f keV", *q.EffectiveEnergyKeV)
                              : label(MessageId::QualityEffectiveAbove) + " keV"},
        {ReportWording(ReportText::AirPath, l), ShortestText(request.AirCm) + " cm"},
    };
    if (request.MeasuredHvl1) {
        section.Lines.push_back({ReportWording(ReportText::MeasuredHvl1, l),
                                 FormatC("%.3f mm Al", *request.MeasuredHvl1)});
        section.Lines.push_back({ReportWording(request.MatchedInherent ? ReportText::FoundInherent
                                               : request.MatchedCopper ? ReportText::FoundCopper
                                                                       : ReportText::FoundAluminium,
                                               l),
                                 request.FoundFilter + " mm"});
    }
    return section;
}

ReportSection DoseSection(const AbsoluteDose& dose, const ReportRequest& request) {
    const Language l = request.Edition;
    const auto word = [l](ReportText text) { return ReportWording(text, l); };
    const auto label = [l](MessageId id) { return Message(id).In(l); };
    const DosePerAirKerma& k = dose.PerKerma;
    const bool mgy = dose.Given.has_value();
    const std::string unit = mgy ? " mGy" : " " + word(ReportText::PerKerma);
    const auto inUnit = [&](double perKerma) {
        return Dose(mgy ? dose.Mgy(perKerma) : perKerma) + unit;
    };

    ReportSection section{word(ReportText::Doses), {}};
    section.Lines.push_back({word(ReportText::Exposure), mgy ? DescribeExposure(*dose.Given, l)
                                                             : word(ReportText::NoExposure)});
    if (mgy)
        section.Lines.push_back(
            {label(MessageId::DoseIncidentAirKerma), Dose(dose.IncidentAirKermaMgy) + " mGy"});
    section.Lines.push_back({label(MessageId::DoseBackscatter), Dose(k.Backscatter)});
    if (mgy)
        section.Lines.push_back({label(MessageId::DoseEntranceKerma),
                                 Dose(dose.EntranceSurfaceAirKermaMgy()) + " mGy"});
    section.Lines.push_back({label(MessageId::DoseSurface), inUnit(k.Surface)});
    if (request.DoseFromCm && !request.DoseToCm) {
        const std::string z = Dose(*request.DoseFromCm);
        section.Lines.push_back(
            {ReportWording(ReportText::DoseAt, l, z), inUnit(DoseAtDepth(k, *request.DoseFromCm))});
    } else if (request.DoseFromCm) {
        const auto [least, most] = DoseOverDepths(k, *request.DoseFromCm, *request.DoseToCm);
        const std::string from = Dose(*request.DoseFromCm), to = Dose(*request.DoseToCm);
        section.Lines.push_back({ReportWording(ReportText::DoseLeast, l, from, to), inUnit(least)});
        section.Lines.push_back({ReportWording(ReportText::DoseMost, l, from, to), inUnit(most)});
    }
    return section;
}

// Each typed point with its dose, in mGy when the beam has an exposure.
ReportSection PointsSection(const BeamResult& beam, const ReportRequest& request) {
    const Language l = request.Edition;
    ReportSection section{ReportWording(ReportText::Points, l), {}};
    for (std::size_t k = 0; k < request.Points.size(); ++k) {
        const PhantomPoint& p = request.Points[k];
        const double total = beam.Points[k].Primary + beam.Points[k].Scatter;
        const std::string percent = Dose(PointPercent(beam, total)) + " %";
        const std::optional<double> mgy = PointMgy(beam, total);
        section.Lines.push_back(
            {ReportWording(ReportText::PointAt, l, Dose(p.X) + ", " + Dose(p.Y) + ", " + Dose(p.Z)),
             mgy ? Dose(*mgy) + " mGy, " + percent : percent});
    }
    return section;
}

void AddTable(ReportContent& report, const BeamResult& beam) {
    const Language l = report.Edition;
    const std::string parts[] = {Message(MessageId::DosePrimaryColumn).In(l),
                                 Message(MessageId::DoseScatterColumn).In(l),
                                 Message(MessageId::DoseTotalColumn).In(l)};
    const AbsoluteDose* dose =
        beam.Absolute && beam.Absolute->Given ? beam.Absolute.get() : nullptr;
    report.TableTitle = ReportWording(ReportText::Table, l);
    report.TableHeader.push_back(ReportWording(ReportText::Depth, l));
    for (const std::string& part : parts)
        report.TableHeader.push_back(ReportWording(ReportText::Percent, l, part));
    if (dose != nullptr)
        for (const std::string& part : parts)
            report.TableHeader.push_back(ReportWording(ReportText::Mgy, l, part));

    const DepthDoseCalculation& table = *beam.DepthDose;
    ReportChart& chart = report.DepthDose;
    chart = {ReportWording(ReportText::DepthDose, l),
             ReportWording(ReportText::Depth, l),
             ReportWording(ReportText::PddAxis, l),
             {},
             {{}, {}, {}},
             {parts[2], parts[0], parts[1]},
             0.1};
    for (int d = 1; d <= table.Rows; ++d) {
        const auto& row = table.Table[d];
        std::vector<std::string> cells{
            FormatC("%.2f", LayerMiddle(d)), FormatC("%.2f", row[PrimaryPdd]),
            FormatC("%.2f", row[ScatterPdd]), FormatC("%.2f", row[TotalPdd])};
        if (dose != nullptr)
            for (const DepthProfile* part :
                 {&dose->PerKerma.Primary, &dose->PerKerma.Scatter, &dose->PerKerma.Total})
                cells.push_back(Dose(dose->Mgy((*part)[d])));
        report.TableRows.push_back(std::move(cells));
        chart.X.push_back(LayerMiddle(d));
        chart.Curves[0].push_back(row[TotalPdd]);
        chart.Curves[1].push_back(row[PrimaryPdd]);
        chart.Curves[2].push_back(row[ScatterPdd]);
    }
}

} // namespace

std::string ReportTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", &utc);
    return text;
}

ReportSection HeaderSection(const ReportHeader& header, Language language) {
    const auto word = [language](ReportText text) { return ReportWording(text, language); };
    ReportSection section{word(ReportText::Identification), {}};
    const std::pair<ReportText, const std::string*> typed[] = {
        {ReportText::PatientId, &header.PatientId},
        {ReportText::Examination, &header.Exam},
        {ReportText::ExamDate, &header.ExamDate},
        {ReportText::ReportMade, &header.ReportTime}};
    for (const auto& [label, value] : typed)
        if (!value->empty())
            section.Lines.push_back({word(label), *value});
    // The name is what a signature vouches for: without one the line stays
    // to sign on.
    section.Lines.push_back({word(ReportText::Physicist), header.Physicist.empty()
                                                              ? "______________________"
                                                              : header.Physicist});
    return section;
}

std::string ProgramLine(const ReportHeader& header, Language language) {
    return ReportWording(ReportText::Program, language, ProgramVersion(), header.DataIdentity);
}

ReportContent ReportOf(const BeamResult& beam, const ReportRequest& request) {
    const Language l = request.Edition;
    ReportContent report;
    report.Edition = l;
    report.Title = ReportWording(ReportText::Title, l);
    report.Program = ProgramLine(request.Header, l);
    report.Sections.push_back(HeaderSection(request.Header, l));
    report.Sections.push_back(ConditionsSection(beam, request));
    if (beam.Quality)
        report.Sections.push_back(QualitySection(*beam.Quality, request));
    if (beam.Absolute)
        report.Sections.push_back(DoseSection(*beam.Absolute, request));
    if (!request.Points.empty()) {
        if (beam.Points.size() != request.Points.size() || !beam.DepthDose)
            throw std::invalid_argument("the beam was not computed at the report's points");
        report.Sections.push_back(PointsSection(beam, request));
    }
    if (beam.DepthDose)
        AddTable(report, beam);

    ReportChart& spectrum = report.Spectrum;
    spectrum = {Message(MessageId::QualityWindowTitle).In(l),
                Message(MessageId::QualityEnergyAxis).In(l),
                Message(MessageId::QualityFractionAxis).In(l),
                {},
                {{}},
                {},
                std::nullopt};
    for (std::size_t i = 1; i < beam.Spectrum.Spectrum.size(); ++i) {
        spectrum.X.push_back(0.5 * static_cast<double>(i));
        spectrum.Curves[0].push_back(beam.Spectrum.Spectrum[i]);
    }
    report.AccuracyTitle = ReportWording(ReportText::Accuracy, l);
    report.Accuracy = ReportWording(ReportText::AccuracyText, l);
    return report;
}

} // namespace veltrim
