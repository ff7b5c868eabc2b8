#pragma once

// The modes of a single veltrim-calc run, each printing its output on
// standard output and its notes on standard error. Each gives the exit
// status or throws what the calculation throws (BeamError,
// CalculationError, DataFileError), which main reports.

#include "cli/CalcOptions.h"
#include "engine/CalculateBeam.h"
#include "engine/ModelData.h"

#include <exception>
#include <optional>
#include <type_traits>

namespace veltrim {

// The conditions as typed, read as the window reads them; characters the
// reading ignored and the clamp of the tube voltage are told on standard
// error when `tellClamp`.
IrradiationConditions TypedConditions(const CalcOptions& options, bool tellClamp);

// The air path of --air, cm (0 without it); throws CalculationError for a
// value that is not a distance.
double AirPath(const CalcOptions& options);

// --hvl1: finds the added filter and writes it into the typed texts, so
// that the calculation reads it as the window would read it typed.
void MatchMeasuredHvl1(CalcOptions& options, double airCm, const ModelData& data);

// A file the user named, through the same writer as every saved file;
// false, with `failed` and the reason on standard error, when it could not
// be written.
bool WriteUserFile(const std::filesystem::path& file, std::string_view bytes, const char* failed);

// Tells a failure on standard error: "veltrim-calc: ", `before`, its words.
void TellFailure(const char* before, const std::exception& failure);

// What `make` gives, or none when it throws `Failure`, which is then told.
template <class Failure, class Make>
std::optional<std::invoke_result_t<Make>> MadeOrTold(Make make, const char* before = "") {
    try {
        return make();
    } catch (const Failure& e) {
        TellFailure(before, e);
        return std::nullopt;
    }
}

// --save-beam: the beam of the command line (after --hvl1 found its
// filter) saved; false, with the reason on standard error, when the file
// could not be written.
bool SaveCommandLineBeam(const CalcOptions& options);

// --report: a PDF of the whole calculation (quality, absolute dose, table)
// beside what the run prints; false, with the reason on standard error, when
// it could not be written.
bool WriteCommandLineReport(const CalcOptions& options, double airCm, const ModelData& data);

// --quality: the figures of the spectrum, one name=value line each.
int PrintQuality(const CalcOptions& options, double airCm, const ModelData& data);

// --spectrum: the filtered spectrum and, under it, the beam quality at the
// end of `airCm` of air.
int PrintSpectrum(const CalcOptions& options, double airCm, const ModelData& data);

// The depth dose: the results file is written and printed (or, with
// --precise, the table with every digit).
int PrintDepthDose(const CalcOptions& options, const ModelData& data);

// --dose and --dose-at: the dose in mGy for the exposure given, or per unit
// incident air kerma without one.
int PrintDose(const CalcOptions& options, const ModelData& data);

// --point, --profile and --map: the dose off the axis, in per cent of the
// axis's first layer, and in mGy with an exposure.
int PrintOffAxis(const CalcOptions& options, const ModelData& data);

// A failed calculation on standard error, as the window would show it (a
// depth-dose failure followed by its cause on a line of its own); gives 1.
int ReportFailure(const BeamError& error);

} // namespace veltrim
