#include "cli/CalcOutput.h"

#include "cli/DoseInput.h"
#include "cli/StandardOutput.h"
#include "core/CFormat.h"
#include "core/FileReplacing.h"
#include "engine/DataLocation.h"
#include "files/BeamFile.h"
#include "files/ResultsFile.h"
#include "files/TableExport.h"
#include "report/ReportContent.h"
#ifdef VELTRIM_REPORTS
#include "report/ReportLoader.h"
#endif

#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>

namespace veltrim {
namespace {

int Flushed() {
    return FlushOut() ? 0 : 1;
}

// The results file this run wrote (never read back from the disk, where a
// run beside this one may have replaced it), its Shift_JIS labels turned
// into UTF-8 and its CR LF line ends into the terminal's LF.
bool PrintResultsFile(const std::string& bytes) {
    const std::optional<std::string> text =
        MadeOrTold<ResultsFileError>([&] { return DecodeShiftJis(bytes); });
    if (!text)
        return false;
    std::string lines;
    lines.reserve(text->size());
    for (const char ch : *text)
        if (ch != '\r')
            lines += ch;
    return WriteOut(lines);
}

void PrintPrecise(const DepthDoseCalculation& table) {
    std::printf("depth_cm,primary,scatter,total\n");
    for (int d = 1; d <= table.Rows; ++d) {
        const auto& row = table.Table[d];
        std::printf("%.17g,%.17g,%.17g,%.17g\n", LayerMiddle(d), row[PrimaryPdd], row[ScatterPdd],
                    row[TotalPdd]);
    }
}

// The results file goes where the window's would, in the working folder
// (or to --out); a file that cannot be written fails the calculation as in
// the window.
void WriteResultsFile(const CalcOptions& options, const std::string& bytes) {
    const std::filesystem::path file =
        std::filesystem::path(".") / (options.OutFile ? *options.OutFile : ResultsFileName);
    try {
        ReplaceFile(file, bytes);
    } catch (const ResultsFileError& e) {
        throw BeamError(BeamStage::DepthDose,
                        Message(MessageId::CauseWorkingFile, {Arg(e.Problem())}));
    } catch (const std::exception& e) {
        throw BeamError(BeamStage::DepthDose, Message(MessageId::CauseUnexpected, {Arg(e.what())}));
    }
}

// A figure of the dose: six significant digits, or every digit.
std::string DoseNumber(double value, bool precise) {
    return FormatC(precise ? "%.17g" : "%.6g", value);
}

// The beam quality's report, which says how much air it was measured behind.
std::string QualityLine(const BeamQuality& quality, double airCm) {
    std::string report = BeamQualityReport(quality);
    constexpr std::string_view NoAir = "no air path included";
    if (const std::size_t at = report.find(NoAir); airCm > 0.0 && at != std::string::npos)
        report.replace(at, NoAir.size(), FormatC("%g cm of air included", airCm));
    return report;
}

} // namespace

void TellFailure(const char* before, const std::exception& failure) {
    std::cerr << "veltrim-calc: " << before << failure.what() << '\n';
}

bool WriteUserFile(const std::filesystem::path& file, std::string_view bytes, const char* failed) {
    const ReplaceOutcome outcome = ReplaceFileContents(file, bytes, Durability::Synced);
    if (outcome.Replaced())
        return true;
    std::cerr << "veltrim-calc: " << failed << " to \"" << file.string() << "\": "
              << (outcome.Step == ReplaceStep::NotRegular
                      ? "that name is " + Message(outcome.Kind).In(Language::English) +
                            ", not a regular file"
                      : std::string(std::strerror(outcome.Error)))
              << '\n';
    return false;
}

namespace {

// What every calculation of the typed beam is asked with: its scatter
// model, its phantom's medium and thickness, and the exposure given.
CalculationOptions TypedOptions(const CalcOptions& options) {
    CalculationOptions what;
    what.Model = options.Model;
    what.PhantomMedium = options.PhantomMedium;
    what.Given = options.Given;
    what.ThicknessCm = options.ThicknessCm;
    return what;
}

// The calculation of a run that prints or exports a table: what the
// options ask for, an exposure given beside --export-csv included. An
// exposure out of range is a value typed, not a depth dose that failed.
BeamResult CalculateTable(const CalcOptions& options, const CalculationOptions& what,
                          const ModelData& data) {
    try {
        return CalculateBeam(TypedConditions(options, true), what, data);
    } catch (const BeamError& e) {
        if (e.Cause().Id() == MessageId::ExposureOutOfRange)
            throw CalculationError(e.Cause());
        throw;
    }
}

BeamResult CalculateTable(const CalcOptions& options, const ModelData& data, bool absolute) {
    CalculationOptions what = TypedOptions(options);
    // The export records the HVL1 at no air, as the window shows it; the
    // quality never changes the depth dose.
    what.Quality = options.ExportCsv.has_value();
    what.Absolute = absolute || (options.ExportCsv && options.Given);
    return CalculateTable(options, what, data);
}

// --export-csv: the table for other programs, through the same writer as
// every saved file; false, with the reason on standard error, when it could
// not be written.
bool ExportTable(const CalcOptions& options, const BeamResult& beam) {
    if (!options.ExportCsv)
        return true;
    return WriteUserFile(*options.ExportCsv, TableCsvBytes(RecordOf(beam, options.Texts)),
                         "the table was not exported");
}

} // namespace

bool WriteCommandLineReport(const CalcOptions& options, double airCm, const ModelData& data) {
    CalculationOptions what = TypedOptions(options);
    what.Quality = true;
    what.AirCm = airCm;
    what.Absolute = true;
    ReportRequest request;
    request.Typed = options.Texts;
    request.Header = {
        options.PatientId.value_or(""), options.Exam.value_or(""), options.ExamDate.value_or(""),
        options.Physicist.value_or(""), ReportTimeNow(),           DataIdentity(data.Folder())};
    request.AirCm = airCm;
    if (options.Hvl1) {
        request.MeasuredHvl1 = ReadWholeNumber(*options.Hvl1);
        request.MatchedCopper = options.MatchCopper;
        request.FoundFilter = options.MatchCopper ? options.Texts.CuFilter : options.Texts.AlFilter;
    }
    if (options.DoseAt) {
        request.DoseFromCm = options.DoseAt->FromCm;
        request.DoseToCm = options.DoseAt->ToCm;
    }
    what.Points = options.Points;
    request.Points = options.Points;
    const ReportContent report = ReportOf(CalculateTable(options, what, data), request);
#ifdef VELTRIM_REPORTS
    const std::optional<std::string> pdf = MadeOrTold<ReportUnavailable>(
        [&] { return LoadedReportPdf(report); }, "the report was not written: ");
    return pdf && WriteUserFile(*options.ReportFile, *pdf, "the report was not written");
#else
    std::cerr << "veltrim-calc: this build has no PDF reports (it was built without Qt)\n";
    return false;
#endif
}

namespace {

// The spectrum and its quality behind `airCm` of air, without a depth dose.
BeamResult BeamAndQuality(const CalcOptions& options, double airCm, const ModelData& data) {
    CalculationOptions what;
    what.DepthDose = false;
    what.Quality = true;
    what.AirCm = airCm;
    return CalculateBeam(TypedConditions(options, true), what, data);
}

} // namespace

int PrintQuality(const CalcOptions& options, double airCm, const ModelData& data) {
    const BeamResult beam = BeamAndQuality(options, airCm, data);
    if (!beam.Quality)
        FailCalculation(MessageId::BeamQualityMissing, {Arg(beam.QualityProblem)});
    const BeamQuality& q = *beam.Quality;
    std::printf("mean_energy_keV=%.3f\n", q.MeanEnergyKeV);
    std::printf("hvl1_mm_al=%.4f\n", q.Hvl1MmAl);
    std::printf("hvl2_mm_al=%.4f\n", q.Hvl2MmAl);
    std::printf("homogeneity=%.4f\n", q.Homogeneity);
    if (q.EffectiveEnergyKeV)
        std::printf("effective_energy_keV=%.2f\n", *q.EffectiveEnergyKeV);
    else
        std::printf("effective_energy_keV=above 150\n");
    if (options.Hvl1)
        std::printf(
            "%s=%s\n", options.MatchCopper ? "added_cu_mm" : "added_al_mm",
            (options.MatchCopper ? options.Texts.CuFilter : options.Texts.AlFilter).c_str());
    return Flushed();
}

int PrintSpectrum(const CalcOptions& options, double airCm, const ModelData& data) {
    const BeamResult beam = BeamAndQuality(options, airCm, data);
    std::printf("bin,energy_keV,fraction\n");
    for (int i = 1; i <= 300; ++i)
        std::printf("%d,%.1f,%.17g\n", i, 0.5 * i, beam.Spectrum.Spectrum[i]);
    // The beam quality as a comment line, so that the table stays plain CSV;
    // a folder without the air tables still gives the spectrum.
    if (beam.Quality)
        std::printf("# %s\n", QualityLine(*beam.Quality, airCm).c_str());
    else
        std::cerr << "veltrim-calc: no beam-quality report: " << beam.QualityProblem << '\n';
    return Flushed();
}

int PrintDepthDose(const CalcOptions& options, const ModelData& data) {
    const BeamResult beam = CalculateTable(options, data, false);
    const std::string bytes = ResultsFileBytes(beam);
    WriteResultsFile(options, bytes);
    if (!ExportTable(options, beam))
        return 1;
    if (options.Precise) {
        PrintPrecise(*beam.DepthDose);
        return Flushed();
    }
    if (!PrintResultsFile(bytes))
        return 1;
    return Flushed();
}

int PrintDose(const CalcOptions& options, const ModelData& data) {
    const BeamResult beam = CalculateTable(options, data, true);
    if (!ExportTable(options, beam))
        return 1;
    const AbsoluteDose& dose = *beam.Absolute;
    const DosePerAirKerma& perKerma = dose.PerKerma;
    // With an exposure every dose is in mGy; without, per unit Ka,i.
    const bool mgy = dose.Given.has_value();
    const char* unit = mgy ? "mGy" : "per_kerma";
    const auto number = [&](double value) { return DoseNumber(value, options.Precise); };
    const auto inUnit = [&](double value) { return number(mgy ? dose.Mgy(value) : value); };

    if (options.DoseAt && !options.DoseAt->ToCm) {
        const double z = options.DoseAt->FromCm;
        const std::string total = inUnit(DoseAtDepth(perKerma, z));
        std::printf("depth_cm,total_%s\n%s,%s\n", unit, number(z).c_str(), total.c_str());
        return Flushed();
    }
    if (options.DoseAt) {
        const DoseDepths& range = *options.DoseAt;
        const auto [least, most] = DoseOverDepths(perKerma, range.FromCm, *range.ToCm);
        std::printf("depth_from_cm,depth_to_cm,least_%s,most_%s\n%s,%s,%s,%s\n", unit, unit,
                    number(range.FromCm).c_str(), number(*range.ToCm).c_str(),
                    inUnit(least).c_str(), inUnit(most).c_str());
        return Flushed();
    }

    std::printf("# exposure=%s\n",
                mgy ? ExposureText(*dose.Given, options.Precise ? "%.17g" : "%.6g").c_str()
                    : "none");
    if (mgy)
        std::printf("# incident_air_kerma_mGy=%s\n", number(dose.IncidentAirKermaMgy).c_str());
    std::printf("# backscatter_factor=%s\n", number(perKerma.Backscatter).c_str());
    if (mgy)
        std::printf("# entrance_surface_air_kerma_mGy=%s\n",
                    number(dose.EntranceSurfaceAirKermaMgy()).c_str());
    std::printf("# surface_dose_%s=%s\n", unit, inUnit(perKerma.Surface).c_str());
    std::printf("# medium=%s\n",
                Message(MediumName(options.PhantomMedium)).In(Language::English).c_str());
    std::printf("# scatter_model=%s\n",
                options.Model == ScatterModel::Divergent ? "divergent" : "classic");
    if (options.ThicknessCm)
        std::printf("# phantom_thickness_cm=%s\n", number(*options.ThicknessCm).c_str());
    if (const std::optional<ExitDose> exit = BeamExitDose(beam))
        std::printf("# exit_surface_dose_%s=%s\n", unit, inUnit(*exit->SurfacePerKerma).c_str());
    std::printf("depth_cm,primary_%s,scatter_%s,total_%s\n", unit, unit, unit);
    for (int d = 1; d <= perKerma.Rows; ++d)
        std::printf("%s,%s,%s,%s\n", number(LayerMiddle(d)).c_str(),
                    inUnit(perKerma.Primary[d]).c_str(), inUnit(perKerma.Scatter[d]).c_str(),
                    inUnit(perKerma.Total[d]).c_str());
    return Flushed();
}

int PrintOffAxis(const CalcOptions& options, const ModelData& data) {
    CalculationOptions what = TypedOptions(options);
    what.Points = options.Points;
    const BeamResult beam = CalculateTable(options, what, data);
    DoseGrid grid{options.Points, beam.Points};
    if (options.ProfileDepth)
        grid =
            BeamProfile(beam, *options.ProfileDepth, options.Axis.value_or(LateralAxis::X), data);
    else if (options.Map)
        grid = BeamMap(beam, *options.Map, data);
    const bool mgy = beam.Absolute && beam.Absolute->Given;
    const auto number = [&](double value) { return DoseNumber(value, options.Precise); };
    std::printf("x_cm,y_cm,depth_cm,primary,scatter,total%s\n", mgy ? ",total_mGy" : "");
    for (std::size_t k = 0; k < grid.Points.size(); ++k) {
        const PhantomPoint& p = grid.Points[k];
        const PointDose& d = grid.Doses[k];
        const double total = d.Primary + d.Scatter;
        std::printf("%s,%s,%s,%s,%s,%s%s\n", number(p.X).c_str(), number(p.Y).c_str(),
                    number(p.Z).c_str(), number(PointPercent(beam, d.Primary)).c_str(),
                    number(PointPercent(beam, d.Scatter)).c_str(),
                    number(PointPercent(beam, total)).c_str(),
                    mgy ? ("," + number(*PointMgy(beam, total))).c_str() : "");
    }
    return Flushed();
}

int ReportFailure(const BeamError& error) {
    // The depth dose's failure keeps the window's fixed first line before
    // its cause; every other failure is one line, as the program's own.
    if (error.Stage() == BeamStage::DepthDose)
        std::cerr << BeamErrorText(error, Language::English) << '\n';
    std::cerr << "veltrim-calc: " << error.Cause().In(Language::English) << '\n';
    return 1;
}

} // namespace veltrim
