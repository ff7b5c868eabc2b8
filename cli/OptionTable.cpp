#include "cli/OptionTable.h"

#include <algorithm>
#include <initializer_list>
#include <stdexcept>

namespace veltrim {
namespace {

template <std::string ConditionTexts::*Text>
void SetCondition(CalcOptions& options, const std::string& value) {
    options.Texts.*Text = value;
}

template <auto Field> void SetText(CalcOptions& options, const std::string& value) {
    options.*Field = value;
}

template <bool CalcOptions::*Flag> void SetFlag(CalcOptions& options, const std::string&) {
    options.*Flag = true;
}

// The place of `value` among the words an option takes, which the refusal
// lists ("1, 2 or 3").
std::size_t Choice(const char* option, const std::string& value,
                   std::initializer_list<const char*> words) {
    const auto found = std::find(words.begin(), words.end(), value);
    if (found != words.end())
        return static_cast<std::size_t>(found - words.begin());
    std::string list;
    for (std::size_t i = 0; i < words.size(); ++i)
        list += std::string(i == 0 ? "" : i + 1 == words.size() ? " or " : ", ") + words.begin()[i];
    throw std::invalid_argument(std::string(option) + " takes " + list + ", not \"" + value + "\"");
}

// The worker count of --jobs: a whole number from 1 to 256.
void SetJobs(CalcOptions& options, const std::string& value) {
    int jobs = 0;
    for (const char ch : value) {
        if (ch < '0' || ch > '9' || jobs > 256)
            jobs = 257;
        else
            jobs = jobs * 10 + (ch - '0');
    }
    if (value.empty() || jobs < 1 || jobs > 256)
        throw std::invalid_argument("--jobs takes a whole number from 1 to 256, not \"" + value +
                                    "\"");
    options.Jobs = jobs;
}

constexpr const char* ConditionsTitle =
    R"(Conditions (each value is read like the window's fields: "80 kV" is 80,
a text without a leading number is 0; the tube voltage is held to 30..150 kV):
)";

// A typed condition, with its default in --help's column of defaults.
template <std::string ConditionTexts::*Text>
constexpr CalcOption Condition(const char* name, const char* help, const char* fallback,
                               const char* above = nullptr) {
    return {.Above = above,
            .Name = name,
            .Value = "T",
            .Use = OptionUse::Condition,
            .Set = SetCondition<Text>,
            .Help = help,
            .Default = fallback};
}

const CalcOption Options[] = {
    Condition<&ConditionTexts::TubeVoltage>("--kv", "tube voltage, kV", "80", ConditionsTitle),
    Condition<&ConditionTexts::TargetAngle>("--angle", "target angle, degrees", "12"),
    Condition<&ConditionTexts::InherentFiltration>("--inherent", "inherent filtration, mm Al",
                                                   "2.5"),
    Condition<&ConditionTexts::AlFilter>("--al", "added aluminium filter, mm", "0"),
    Condition<&ConditionTexts::CuFilter>("--cu", "added copper filter, mm", "0"),
    Condition<&ConditionTexts::Fsd>("--fsd", "focus-to-surface distance, cm", "100"),
    Condition<&ConditionTexts::FieldX>("--field-x", "field size X at the FSD, cm", "30"),
    Condition<&ConditionTexts::FieldY>("--field-y",
                                       R"(field size Y at the FSD, cm; 0 for a circle of
diameter X)",
                                       "30"),
    {.Name = "--rectification",
     .Value = "N",
     .Use = OptionUse::Condition,
     .Set =
         [](CalcOptions& options, const std::string& value) {
             options.Rectification =
                 1 + static_cast<int>(Choice("--rectification", value, {"1", "2", "3"}));
         },
     .Help = R"(1 constant potential, 2 three-phase 12-peak,
3 single-phase full-wave)",
     .Default = "1"},

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
    {.Name = "--out",
     .Value = "FILE",
     .Use = OptionUse::Single,
     .Set = SetText<&CalcOptions::OutFile>,
     .Help = R"(write the results file to FILE instead of
PDD_tempDATA.txt in the current folder)"},
    {.Name = "--scatter-model",
     .Value = "classic|divergent",
     .Set =
         [](CalcOptions& options, const std::string& value) {
             options.Model = Choice("--scatter-model", value, {"classic", "divergent"}) == 1
                                 ? ScatterModel::Divergent
                                 : ScatterModel::Classic;
         },
     .Help = R"(how the scatter is formed (default
classic): divergent takes the scatter kernels of a
point focus at the FSD (FSD 50 cm and above), which
follow a divergent beam's deep dose more closely)"},

    {.Above = "\nBeam quality:\n",
     .Name = "--quality",
     .Use = OptionUse::Single,
     .Set = SetFlag<&CalcOptions::PrintQuality>,
     .Help = R"(print the beam quality instead of the table, one
name=value line each: mean_energy_keV, hvl1_mm_al,
hvl2_mm_al, homogeneity, effective_energy_keV)"},
    {.Name = "--air",
     .Value = "CM",
     .Use = OptionUse::Single,
     .Set = SetText<&CalcOptions::AirCm>,
     .Help = R"(dry air between the focus and the point where the
half-value layers are measured, cm (default 0); it
changes the beam-quality figures only, never the
depth dose)"},
    {.Name = "--hvl1",
     .Value = "X",
     .Use = OptionUse::Single,
     .Set = SetText<&CalcOptions::Hvl1>,
     .Help = R"(the beam's measured first half-value layer, mm Al: the
added filter that gives it (with the other conditions
as given) is found, printed on standard error and used
in place of --al (or --cu))"},
    // Allowed beside --batch, where it changes nothing: a batch matches no HVL1.
    {.Name = "--match-filter",
     .Value = "al|cu",
     .Set =
         [](CalcOptions& options, const std::string& value) {
             options.MatchCopper = Choice("--match-filter", value, {"al", "cu"}) == 1;
         },
     .Help = "the filter --hvl1 finds (default al)"},

    {.Above = "\nMany conditions at once:\n",
     .Name = "--batch",
     .Value = "FILE.csv",
     .Set = SetText<&CalcOptions::BatchFile>,
     .Help = R"(one calculation per row of FILE.csv instead of the
condition options (which it refuses); the header names
any of the columns kv, angle, inherent, al, cu, fsd,
field_x, field_y, rectification in any order; a column
left out takes the default above, a cell is read like
the option of its column. Blank lines are skipped.
No PDD_tempDATA.txt is written in the current folder.)"},
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
significant digits with --precise.)"},
    {.Name = "--jobs",
     .Value = "N",
     .Use = OptionUse::BatchOnly,
     .Set = SetJobs,
     .Help = "rows computed at once (default: one per core)"},

    {.Above = R"(  Exit status of --batch: 0 when every row computed, 1 when any failed,
  2 when the file cannot be used (missing, no header, an unknown column).

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

std::string CalcUsage() {
    // The help beside each option starts in this column, or three blanks
    // after a longer name and value.
    constexpr std::size_t HelpColumn = 22, DefaultColumn = 60;
    std::string text = R"(Usage: veltrim-calc [options]

Computes the photon spectrum and the percentage depth dose of a diagnostic
X-ray beam in ICRU soft tissue, from the same library as the Veltrim window.

Every option that takes a value takes it as "--kv 80" or "--kv=80"; a value
that begins with a dash needs the second form ("--al=-1").

)";
    for (const CalcOption& option : Options) {
        if (option.Above)
            text += option.Above;
        std::string named = "  ";
        if (option.Short)
            named += std::string(option.Short) + ", ";
        named += option.Name;
        if (option.Value)
            named += std::string(" ") + option.Value;
        named.resize(std::max(HelpColumn, named.size() + 3), ' ');
        text += named;
        for (const char* ch = option.Help; *ch; ++ch)
            text += *ch == '\n' ? "\n" + std::string(HelpColumn, ' ') : std::string(1, *ch);
        if (option.Default) {
            const std::size_t column = text.size() - text.rfind('\n') - 1;
            text += std::string(DefaultColumn - column, ' ') + "(default " + option.Default + ")";
        }
        text += '\n';
    }
    return text + R"(
On any failure the cause goes to standard error and the exit status is not 0.
)";
}

} // namespace veltrim
