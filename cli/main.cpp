// veltrim-calc: the command-line front end over the computation library.
#include "calculation/DataLocation.h"
#include "calculation/Pipeline.h"
#include "calculation/SharedState.h"
#include "cli/BatchCommand.h"
#include "cli/CalcOptions.h"
#include "core/CFormat.h"
#include "core/CalculationError.h"
#include "core/DataFile.h"
#include "core/NumberReading.h"
#include "dose/ResultsFile.h"
#include "spectrum/BeamQuality.h"
#include "spectrum/HvlMatching.h"

#include <cmath>
#include <cstdio>
#include <iostream>
#include <optional>
#include <stdexcept>

namespace {

void PrintSpectrum(const veltrim::SharedState& state) {
    std::printf("bin,energy_keV,fraction\n");
    for (int i = 1; i <= 300; ++i)
        std::printf("%d,%.1f,%.17g\n", i, 0.5 * i, state.Spectrum[i]);
}

void PrintPrecise(const veltrim::SharedState& state) {
    std::printf("depth_cm,primary,scatter,total\n");
    for (int d = 1; d <= state.DepthRowCount; ++d) {
        const auto& row = state.DepthDoseResult[d];
        std::printf("%.17g,%.17g,%.17g,%.17g\n", 0.5 * d - 0.25, row[veltrim::PrimaryPdd],
                    row[veltrim::ScatterPdd], row[veltrim::TotalPdd]);
    }
}

// The results file this run wrote (never read back from the disk, where a run
// beside this one may have replaced it), its Shift_JIS labels turned into
// UTF-8 and its CR LF line ends into the terminal's LF.
bool PrintResultsFile(const std::string& bytes) {
    std::string text;
    try {
        text = veltrim::DecodeShiftJis(bytes);
    } catch (const veltrim::ResultsFileError& e) {
        std::cerr << "veltrim-calc: " << e.what() << '\n';
        return false;
    }
    std::string lines;
    lines.reserve(text.size());
    for (const char ch : text)
        if (ch != '\r')
            lines += ch;
    std::fwrite(lines.data(), 1, lines.size(), stdout);
    return true;
}

// A number given to a beam-quality option: the whole text must be a number.
std::optional<double> StrictNumber(const std::string& text) {
    std::size_t used = 0;
    try {
        const double value = std::stod(text, &used);
        if (used == text.size() && std::isfinite(value))
            return value;
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

// The air path of --air, cm; throws CalculationError for a value that is not
// a distance.
double AirPath(const veltrim::CalcOptions& options) {
    if (!options.AirCm)
        return 0.0;
    const std::optional<double> cm = StrictNumber(*options.AirCm);
    if (!cm || *cm < 0.0 || *cm > 1000.0)
        veltrim::FailCalculation(veltrim::MessageId::AirPathInvalid,
                                 {veltrim::Arg(*options.AirCm)});
    return *cm;
}

// --hvl1: finds the added filter and writes it into the typed texts, so that
// the calculation reads it as the window would read it typed.
void MatchMeasuredHvl1(veltrim::SharedState& state, veltrim::CalcOptions& options,
                       const veltrim::AirTables& air, double airCm) {
    const std::optional<double> hvl1 = StrictNumber(*options.Hvl1);
    if (!hvl1 || !(*hvl1 > 0.0))
        veltrim::FailCalculation(veltrim::MessageId::Hvl1NotPositive,
                                 {veltrim::Arg(*options.Hvl1)});
    state.ReadConditions(options.Texts);
    const veltrim::MatchFilter filter =
        options.MatchCopper ? veltrim::MatchFilter::Copper : veltrim::MatchFilter::Aluminium;
    const veltrim::Hvl1Match match = veltrim::MatchHvl1(state.Conditions, state.Attenuation, air,
                                                        state.Pi, *hvl1, filter, airCm);
    const std::string mm = veltrim::FormatC(options.MatchCopper ? "%.4f" : "%.3f", match.AddedMm);
    (options.MatchCopper ? options.Texts.CuFilter : options.Texts.AlFilter) = mm;
    std::cerr << "veltrim-calc: "
              << veltrim::Message(veltrim::MessageId::Hvl1MatchedFilter,
                                  {veltrim::Arg(mm),
                                   veltrim::Arg(veltrim::Message(
                                       options.MatchCopper ? veltrim::MessageId::FilterCopper
                                                           : veltrim::MessageId::FilterAluminium)),
                                   veltrim::Arg(veltrim::FormatC("%.3f", *hvl1))})
                     .In(veltrim::Language::English)
              << '\n';
}

// --quality: the figures of the spectrum, one name=value line each.
void PrintQuality(const veltrim::BeamQuality& q, const veltrim::CalcOptions& options) {
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
}

std::filesystem::path ExecutablePath(const char* argv0) {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path(argv0) : self;
}

// The beam quality under the spectrum, as a comment line so that the table
// stays plain CSV. A folder without the air table still gives the spectrum:
// the report is then left out with a note on stderr.
void PrintBeamQuality(const veltrim::SharedState& state) {
    veltrim::EnergyTable air;
    try {
        air = veltrim::ReadAttenuationFile(state.DataFolder / veltrim::AirKermaFile);
    } catch (const veltrim::DataFileError& e) {
        std::cerr << "veltrim-calc: no beam-quality report: " << e.what() << '\n';
        return;
    }
    const veltrim::BeamQualityResult result =
        veltrim::AssessBeamQuality(state.Spectrum, state.Attenuation.MuAluminium, air);
    if (!result.Quality) {
        std::cerr << "veltrim-calc: no beam-quality report: " << result.Problem << '\n';
        return;
    }
    std::printf("# %s\n", veltrim::BeamQualityReport(*result.Quality).c_str());
}

} // namespace

int main(int argc, char** argv) {
    veltrim::CalcOptions options;
    try {
        options = veltrim::ParseCalcOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::invalid_argument& e) {
        std::cerr << "veltrim-calc: " << e.what() << '\n';
        return 2;
    }
    if (options.Help) {
        std::cout << veltrim::CalcUsage();
        return 0;
    }

    const std::filesystem::path dataFolder =
        options.DataFolder ? *options.DataFolder : veltrim::FindDataFolder(ExecutablePath(argv[0]));
    if (options.BatchFile)
        return veltrim::RunBatchCommand(options, dataFolder);
    veltrim::StderrSink messages;
    veltrim::SharedState state(messages, dataFolder, ".");
    if (options.OutFile)
        state.ResultsFile = *options.OutFile;
    if (!state.LoadAttenuationTables())
        return 1;
    state.SelectRectification(options.Rectification);
    state.Model = options.Model;

    if (options.Hvl1 || options.PrintQuality || options.AirCm) {
        try {
            const double airCm = AirPath(options);
            const veltrim::AirTables air = veltrim::ReadAirTables(state.DataFolder);
            if (options.Hvl1)
                MatchMeasuredHvl1(state, options, air, airCm);
            if (options.PrintQuality) {
                if (const auto clamped = state.ReadConditions(options.Texts))
                    std::cerr << "veltrim-calc: tube voltage held to " << *clamped << " kV\n";
                if (!state.SynthesizeSpectrum())
                    return 1;
                const veltrim::BeamQualityResult quality = veltrim::AssessBeamQuality(
                    state.Spectrum, state.Attenuation.MuAluminium, air, airCm);
                if (!quality.Quality)
                    veltrim::FailCalculation(veltrim::MessageId::BeamQualityMissing,
                                             {veltrim::Arg(quality.Problem)});
                PrintQuality(*quality.Quality, options);
                return std::fflush(stdout) == 0 ? 0 : 1;
            }
        } catch (const veltrim::CalculationError& e) {
            std::cerr << "veltrim-calc: " << e.what() << '\n';
            return 1;
        } catch (const veltrim::DataFileError& e) {
            std::cerr << "veltrim-calc: " << e.what() << '\n';
            return 1;
        }
    }

    if (options.PrintSpectrum) {
        if (const auto clamped = state.ReadConditions(options.Texts))
            std::cerr << "veltrim-calc: tube voltage held to " << *clamped << " kV\n";
        if (!state.SynthesizeSpectrum())
            return 1;
        PrintSpectrum(state);
        PrintBeamQuality(state);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }

    veltrim::PipelineHooks hooks;
    hooks.ShowClampText = [](const std::string& text) {
        std::cerr << "veltrim-calc: tube voltage held to " << text << " kV\n";
    };
    switch (veltrim::RunCalculation(state, options.Texts, hooks)) {
    case veltrim::CalculationResult::Completed:
        break;
    case veltrim::CalculationResult::DepthDoseFailed:
        std::cerr << "veltrim-calc: " << state.DepthDoseFailureCause << '\n';
        return 1;
    case veltrim::CalculationResult::Stopped:
        return 1;
    }
    if (options.Precise) {
        PrintPrecise(state);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (!PrintResultsFile(veltrim::ResultsFileBytes(state)))
        return 1;
    return std::fflush(stdout) == 0 ? 0 : 1;
}
