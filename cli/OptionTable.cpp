#include "cli/OptionTable.h"

#include "cli/OptionSetters.h"
#include "core/Inputs.h"

#include <initializer_list>
#include <optional>
#include <stdexcept>

namespace veltrim {
namespace {

template <std::string ConditionTexts::*Text>
void SetCondition(CalcOptions& options, const std::string& value) {
    SetConditionText(options, Text, value);
}

template <auto Field> void SetText(CalcOptions& options, const std::string& value) {
    options.*Field = value;
}

template <bool CalcOptions::*Flag> void SetFlag(CalcOptions& options, const std::string&) {
    options.*Flag = true;
}

template <const UserInput& Input, std::optional<double> ExposureParts::*Part>
void SetExposure(CalcOptions& options, const std::string& value) {
    options.ExposureTyped.*Part = Number(Input.Option, value);
}

// A quantity of the exposure: an output of one calculation, as --dose is.
template <const UserInput& Input, std::optional<double> ExposureParts::*Part>
constexpr CalcOption ExposurePart(const char* value) {
    return {.Name = Input.Option,
            .Value = value,
            .Use = OptionUse::Single,
            .Set = SetExposure<Input, Part>,
            .Help = Input.Help};
}

constexpr char ApThickness[] = "--ap-thickness";
constexpr char LateralWidth[] = "--lateral-width";

template <const char* Name, std::optional<double> CalcOptions::*Size>
void SetSize(CalcOptions& options, const std::string& value) {
    options.*Size = Number(Name, value);
}

// A size of --study's box patient, cm.
template <const char* Name, std::optional<double> CalcOptions::*Size>
constexpr CalcOption PatientSize(const char* help) {
    return {.Name = Name, .Value = "CM", .Set = SetSize<Name, Size>, .Help = help};
}

// A name the --report carries as typed.
template <auto Label>
constexpr CalcOption ReportLabel(const char* name, const char* value, const char* help) {
    return {.Name = name, .Value = value, .Set = SetText<Label>, .Help = help};
}

constexpr const char* ConditionsTitle =
    R"(Conditions (each value must be a number as a whole: "80 kV", "1,5" or "0x10"
is refused; the tube voltage is held to 30..150 kV):
)";

// A typed condition, with its default in --help's column of defaults.
template <std::string ConditionTexts::*Text>
constexpr CalcOption Condition(const UserInput& input, const char* above = nullptr) {
    return {.Above = above,
            .Name = input.Option,
            .Value = "T",
            .Use = OptionUse::Condition,
            .Set = SetCondition<Text>,
            .Help = input.Help,
            .Default = input.Default};
}

const CalcOption Options[] = {
    Condition<&ConditionTexts::TubeVoltage>(inputs::TubeVoltage, ConditionsTitle),
    Condition<&ConditionTexts::TargetAngle>(inputs::TargetAngle),
    Condition<&ConditionTexts::InherentFiltration>(inputs::InherentFiltration),
    Condition<&ConditionTexts::AlFilter>(inputs::AlFilter),
    Condition<&ConditionTexts::CuFilter>(inputs::CuFilter),
    Condition<&ConditionTexts::Fsd>(inputs::Fsd),
    Condition<&ConditionTexts::FieldX>(inputs::FieldX),
    Condition<&ConditionTexts::FieldY>(inputs::FieldY),
    {.Name = inputs::Rectification.Option,
     .Value = "N",
     .Use = OptionUse::Condition,
     .Set =
         [](CalcOptions& options, const std::string& value) {
             options.Rectification =
                 1 + static_cast<int>(Choice(inputs::Rectification.Option, value, {"1", "2", "3"}));
         },
     .Help = inputs::Rectification.Help,
     .Default = inputs::Rectification.Default},

    {.Name = "--beam",
     .Value = "FILE",
     .Use = OptionUse::Condition,
     .Set = ReadSavedBeam,
     .Help = R"(a saved beam (docs/beam-file.md) as if typed here:
options after it change it; its exposure serves when
none is typed, its tube output with --mas alone)"},
    {.Name = "--save-beam",
     .Value = "FILE",
     .Use = OptionUse::Single,
     .Set = SetText<&CalcOptions::SaveBeamFile>,
     .Help = R"(also save this command line's beam to FILE (JSON),
all its numbers depend on (the filter --hvl1 found);
a condition typed in other than UTF-8 is refused)"},

    {.Above = "\nData and output:\n",
     .Name = "--data",
     .Value = "DIR",
     .Set = SetText<&CalcOptions::DataFolder>,
     .Help = R"(folder holding the data files (default: the current
folder when it holds them, else VELTRIM_DATA, the
installed data, the source tree's data/))"},
    {.Name = "--spectrum",
     .Use = OptionUse::Single,
     .Set = SetFlag<&CalcOptions::PrintSpectrum>,
     .Help = R"(print the filtered spectrum, one line per bin 1..300:
bin,energy_keV,fraction)"},
    {.Name = "--precise",
     .Set = SetFlag<&CalcOptions::Precise>,
     .Help = R"(print depth_cm,primary,scatter,total for every row
with 17 significant digits instead of the results file)"},
    {.Name = "--strict",
     .Set = SetFlag<&CalcOptions::Strict>,
     .Help = R"(refuse a tube voltage outside 30-150 kV rather than
hold it (numbers are read whole with or without it))"},
    {.Name = "--out",
     .Value = "FILE",
     .Use = OptionUse::Single,
     .Set = SetText<&CalcOptions::OutFile>,
     .Help = R"(write the results file to FILE instead of
PDD_tempDATA.txt in the current folder)"},
    {.Name = "--export-csv",
     .Value = "FILE",
     .Use = OptionUse::Single,
     .Set = SetText<&CalcOptions::ExportCsv>,
     .Help = R"(also write the depth-dose table to FILE as UTF-8 CSV:
# name=value lines (conditions, HVL1, model, medium,
version; with an exposure, the doses), a header row
with units, every number with all its digits)"},
    {.Name = "--report",
     .Value = "FILE.pdf",
     .Use = OptionUse::Single,
     .Set = SetText<&CalcOptions::ReportFile>,
     .Help = R"(also write a PDF report of the beam to FILE.pdf:
conditions, quality, doses, the table and the graphs)"},
    {.Name = "--study",
     .Value = "FILE",
     .Set = SetText<&CalcOptions::StudyFile>,
     .Help = R"(the dose of every exposure of a study (its beams,
sides, geometry and exposures) at its points: "# name=
value" lines (patient, medium, model, exposures, the
dose record's figures, every default taken), then
exposure,point,entry,depth_cm,off_axis_cm,dose_mGy,
low_mGy,high_mGy and a row per point with exposure
"total" (docs/study.md); with --export-csv, also to
FILE with every digit; with --report, the study's
PDF report. FILE is a JSON study or a DICOM dose
record or radiograph (told apart by content), whose
events become the exposures (docs/dose-records.md))"},
    PatientSize<ApThickness, &CalcOptions::ApThicknessCm>(
        "the patient's front-to-back thickness for --study"),
    PatientSize<LateralWidth, &CalcOptions::LateralWidthCm>(
        "the patient's side-to-side width for --study"),
    {.Name = "--interest",
     .Value = "NAME,DEPTH_CM[,LEFT_CM,HEAD_CM]",
     .Set = AddInterestOption,
     .Help = R"(a point of --study: depth below the anterior skin,
offsets toward the left and the head (default 0);
repeat for more; they replace a study file's points)",
     .Repeatable = true},
    {.Name = "--save-study",
     .Value = "FILE.json",
     .Set = SetText<&CalcOptions::SaveStudy>,
     .Help = R"(write the study of --study as read (a dose record's
events as exposures, each default named) to check
and edit)"},
    ReportLabel<&CalcOptions::Physicist>("--physicist", "NAME",
                                         "the physicist named in the --report"),
    ReportLabel<&CalcOptions::PatientId>("--patient-id", "TEXT",
                                         "the patient named in the --report"),
    ReportLabel<&CalcOptions::Exam>("--exam", "TEXT", "the examination named in the --report"),
    ReportLabel<&CalcOptions::ExamDate>("--exam-date", "TEXT",
                                        "the examination's date in the --report"),
    {.Name = inputs::ScatterModel.Option,
     .Value = "classic|divergent",
     .Set =
         [](CalcOptions& options, const std::string& value) {
             options.Model =
                 Choice(inputs::ScatterModel.Option, value, {"classic", "divergent"}) == 1
                     ? ScatterModel::Divergent
                     : ScatterModel::Classic;
         },
     .Help = inputs::ScatterModel.Help},
    {.Name = inputs::Medium.Option,
     .Value = "icru-4|icru-44|water|pmma",
     .Set = SetMedium,
     .Help = inputs::Medium.Help},
    {.Name = inputs::Thickness.Option,
     .Value = "CM",
     .Set = SetThickness,
     .Help = inputs::Thickness.Help},

    {.Above = "\nBeam quality:\n",
     .Name = "--quality",
     .Use = OptionUse::Single,
     .Set = SetFlag<&CalcOptions::PrintQuality>,
     .Help = R"(print the beam quality instead of the table, one
name=value line each: mean_energy_keV, hvl1_mm_al,
hvl2_mm_al, homogeneity, effective_energy_keV)"},
    {.Name = inputs::AirPath.Option,
     .Value = "CM",
     .Use = OptionUse::Single,
     .Set = SetText<&CalcOptions::AirCm>,
     .Help = inputs::AirPath.Help},
    {.Name = inputs::MeasuredHvl1.Option,
     .Value = "X",
     .Use = OptionUse::Single,
     .Set = SetText<&CalcOptions::Hvl1>,
     .Help = inputs::MeasuredHvl1.Help},
    // Allowed beside --batch, whose hvl1 column it applies to.
    {.Name = inputs::MatchFilter.Option,
     .Value = "al|cu",
     .Set =
         [](CalcOptions& options, const std::string& value) {
             options.MatchCopper = Choice(inputs::MatchFilter.Option, value, {"al", "cu"}) == 1;
         },
     .Help = inputs::MatchFilter.Help},

    {.Above = "\nDose in mGy, in the phantom's medium:\n",
     .Name = "--dose",
     .Use = OptionUse::Single,
     .Set = SetFlag<&CalcOptions::PrintDose>,
     .Help = R"(print the dose of every layer instead of the table:
"# name=value" lines (exposure, incident_air_kerma_mGy,
backscatter_factor, entrance_surface_air_kerma_mGy,
surface_dose_mGy, medium, scatter_model), then
depth_cm,primary_mGy,scatter_mGy,total_mGy; without
an exposure, the dose per unit incident air kerma
Ka,i (*_per_kerma). Six significant digits, or 17
with --precise)"},
    {.Name = "--dose-at",
     .Value = "Z|Z1,Z2",
     .Use = OptionUse::Single,
     .Set = SetDoseAt,
     .Help = R"(print the total dose at the depth Z (cm, 0 to 30):
depth_cm,total_mGy; or the least and the most over
Z1..Z2: depth_from_cm,depth_to_cm,least_mGy,most_mGy)"},
    ExposurePart<inputs::AirKerma, &ExposureParts::AirKermaMgy>("MGY"),
    ExposurePart<inputs::TubeOutput, &ExposureParts::TubeOutput>("UGY_PER_MAS"),
    ExposurePart<inputs::Mas, &ExposureParts::Mas>("MAS"),
    ExposurePart<inputs::OutputDistance, &ExposureParts::OutputDistanceCm>("CM"),
    ExposurePart<inputs::Kap, &ExposureParts::KapGyCm2>("GYCM2"),
    ExposurePart<inputs::Esak, &ExposureParts::EsakMgy>("MGY"),

    {.Above = R"(
Dose off the axis (primary only inside the field's projection: a point focus,
no penumbra, no heel effect), as x_cm,y_cm,depth_cm,primary,scatter,total in %
of the axis's first layer, total_mGy added with an exposure:
)",
     .Name = "--point",
     .Value = "X,Y,Z",
     .Use = OptionUse::Single,
     .Set = SetPointOption,
     .Help = R"(the dose at X, Y cm from the axis (X along the
field's first side) and Z cm deep (0 to 30); repeatable)",
     .Repeatable = true},
    {.Name = "--profile",
     .Value = "Z",
     .Use = OptionUse::Single,
     .Set = SetProfileOption,
     .Help = R"(the dose across the field at the depth Z, every 0.5
cm from -30 to 30 cm along --axis that is computable)"},
    {.Name = "--axis",
     .Value = "x|y",
     .Use = OptionUse::Single,
     .Set = SetAxisOption,
     .Help = "the direction of --profile (default x)"},
    {.Name = "--map",
     .Value = "x|y",
     .Use = OptionUse::Single,
     .Set = SetMapOption,
     .Help = R"(the dose over the x-z or y-z plane through the axis:
every layer middle, every 0.5 cm out to 30 cm)"},

    {.Above = "\nMany conditions at once:\n",
     .Name = "--batch",
     .Value = "FILE.csv",
     .Set =
         [](CalcOptions& options, const std::string& value) {
             if (value.empty())
                 throw std::invalid_argument("--batch needs a file name, not an empty text");
             options.BatchFile = value;
         },
     .Help = R"(one calculation per row of FILE.csv instead of the
condition options (which it refuses); the header names
any of the columns kv, angle, inherent, al, cu, fsd,
field_x, field_y, rectification in any order; a column
left out takes the default above, a cell is read like
the option of its column. Blank lines are skipped.
No PDD_tempDATA.txt is written in the current folder.
Optional columns, an empty cell leaving the row
without: hvl1 (as --hvl1), scatter_model, medium and
thickness (the command line's when empty), the
exposure as air_kerma, tube_output with mas and
output_distance, kap or esak, dose_at (a depth, cm)
with dose_at_to (the end of a range from it), and a
point as point_z
with point_x, point_y (cm, 0 when empty).)"},
    {.Name = "--format",
     .Value = "csv|json",
     .Use = OptionUse::BatchOnly,
     .Set =
         [](CalcOptions& options, const std::string& value) {
             options.BatchJson = Choice("--format", value, {"csv", "json"}) == 1;
         },
     .Help = R"(how --batch prints its results (default csv):
csv: one header line, then one line per depth layer of
  each row: row,kv,angle,inherent,al,cu,fsd,field_x,
  field_y,rectification,hvl1_mm_al,depth_cm,primary,
  scatter,total,error; a row that failed is one line
  with its number and its error (in double quotes),
  the other fields empty
json: a list of {"row", "conditions", "hvl1_mm_al",
  "depth_cm", "primary", "scatter", "total"} or
  {"row", "error"}
The conditions are those used (the tube voltage held
to 30..150 kV; thicknesses in mm), hvl1_mm_al the
first half-value layer (air-kerma weighted, no air
path). Numbers have the results file's decimals
(HVL1 four, as --quality prints it), or 17
significant digits with --precise.
With an exposure column, each line (json: object)
of a row with an exposure adds, in mGy to six
significant digits: incident_air_kerma_mGy,
backscatter_factor, esak_mGy, surface_dose_mGy,
primary_mGy, scatter_mGy, total_mGy; with dose_at:
dose_at_from_cm, dose_at_to_cm, dose_at_least_mGy,
dose_at_most_mGy. With a point column: point_x_cm,
point_y_cm, point_z_cm, point_primary, point_scatter,
point_total (%), point_total_mGy. In csv they come
before error.)"},
    {.Name = "--jobs",
     .Value = "N",
     .Use = OptionUse::BatchOnly,
     .Set = SetJobs,
     .Help = "rows computed at once (default: one per core)"},

    {.Above = R"(  Exit status of --batch: 0 when every row computed, 1 when any failed,
  2 when the file cannot be used (missing, no header, an unknown column),
  128 + the signal that stopped it (130 for Ctrl-C) after the last whole row.

Without --spectrum the results file (depth table and conditions, labels in
Shift_JIS, CR LF line ends) is written and its text printed with the labels
in UTF-8.
)",
     .Name = "--help",
     .Short = "-h",
     .Set = SetFlag<&CalcOptions::Help>,
     .Help = "show this text"},
};

} // namespace

std::span<const CalcOption> CalcOptionTable() {
    return Options;
}

const CalcOption* FindCalcOption(std::string_view name) {
    for (const CalcOption& option : Options)
        if (name == option.Name || (option.Short && name == option.Short))
            return &option;
    return nullptr;
}

} // namespace veltrim
