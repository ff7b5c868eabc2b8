#pragma once

#include "cli/DoseInput.h"
#include "core/Conditions.h"
#include "dose/FocusKernels.h"
#include "dose/Medium.h"
#include "engine/BeamPoints.h"
#include "engine/Study.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace veltrim {

// What veltrim-calc was asked to do.
struct CalcOptions {
    ConditionTexts Texts;
    int Rectification = 1;
    std::optional<std::filesystem::path> DataFolder; // none: found like the window finds it
    bool PrintSpectrum = false;
    bool Precise = false;
    // Texts of the conditions that the lenient reading does not read whole,
    // or a tube voltage outside 30-150 kV, are refused rather than warned of.
    bool Strict = false;
    ScatterModel Model = ScatterModel::Classic;
    Medium PhantomMedium = Medium::IcruFourComponent;
    std::optional<double> ThicknessCm; // none: the thick phantom
    std::optional<std::filesystem::path> OutFile;
    // The depth-dose table, also written as CSV for other programs.
    std::optional<std::filesystem::path> ExportCsv;
    // A PDF report of the whole calculation, beside what is printed.
    std::optional<std::filesystem::path> ReportFile;
    // A saved beam read by --beam: its name and what it holds beyond the
    // conditions (which it puts into Texts, Rectification, Model,
    // PhantomMedium, ThicknessCm and AirCm); its exposure is the run's when
    // none is typed, and its tube output makes the exposure with --mas alone.
    std::optional<std::string> BeamName;
    ExposureParts BeamExposure;
    std::optional<double> BeamMeasuredHvl1;
    std::optional<double> BeamTubeOutput;
    std::optional<double> BeamOutputDistance;
    // --save-beam: the conditions of this command line, saved.
    std::optional<std::filesystem::path> SaveBeamFile;
    bool Help = false;
    // A beam given by its measured first half-value layer (mm Al): the added
    // filter is found, in place of the typed one. The texts as given.
    std::optional<std::string> Hvl1;
    bool MatchCopper = false;
    std::optional<std::string> AirCm; // air between the focus and the HVL measurement
    bool PrintQuality = false;
    // The dose in absolute terms: the exposure's quantities as typed and the
    // exposure they make (none: the dose per unit incident air kerma);
    // --dose prints every layer, --dose-at one depth or a range.
    ExposureParts ExposureTyped;
    std::optional<Exposure> Given;
    bool PrintDose = false;
    std::optional<DoseDepths> DoseAt;
    // The dose off the axis: at each --point, across the field at
    // --profile's depth along --axis, or over the plane of --map.
    std::vector<PhantomPoint> Points;
    std::optional<double> ProfileDepth;
    std::optional<LateralAxis> Axis;
    std::optional<LateralAxis> Map;
    bool OffAxis() const { return !Points.empty() || ProfileDepth || Map; }
    // --batch: one calculation per row of a CSV file instead of one from
    // the condition options, which it then refuses.
    std::optional<std::filesystem::path> BatchFile;
    bool BatchJson = false;
    std::optional<int> Jobs; // none: one worker per core
    // --study: the exposures of an examination from a study file.
    std::optional<std::filesystem::path> StudyFile;
    // The report's header: the physicist who signs it, the patient and the
    // examination (a study's own identifiers fill the ones not given).
    std::optional<std::string> Physicist, PatientId, Exam, ExamDate;
    // The patient and points a dose record lacks; beside a study file they
    // replace its own. --save-study writes the study as read.
    std::optional<double> ApThicknessCm, LateralWidthCm;
    std::vector<StudyPoint> Interests;
    std::optional<std::filesystem::path> SaveStudy;
};

// Parses the command line (without the program name) by the option table
// (cli/OptionTable.h). Throws std::invalid_argument with a message for the
// user on a bad option.
CalcOptions ParseCalcOptions(const std::vector<std::string>& args);

// --beam: the conditions of a saved beam, as if typed at this point of the
// command line; a file that cannot be used is refused (std::invalid_argument).
void ReadSavedBeam(CalcOptions& options, const std::string& file);
// The options of the dose off the axis (--point X,Y,Z, --profile Z,
// --axis x|y, --map x|y); each throws std::invalid_argument for the user.
void SetPointOption(CalcOptions& options, const std::string& value);
void SetProfileOption(CalcOptions& options, const std::string& value);
void SetAxisOption(CalcOptions& options, const std::string& value);
void SetMapOption(CalcOptions& options, const std::string& value);

// --interest NAME,DEPTH_CM[,LEFT_CM,HEAD_CM]: a point of a --study; throws
// std::invalid_argument for the user.
void AddInterestOption(CalcOptions& options, const std::string& value);

// The option of a condition's text: "--field-x" for field_x.
std::string OptionOf(const ConditionTextField& field);

} // namespace veltrim
