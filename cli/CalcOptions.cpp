#include "cli/CalcOptions.h"

#include "core/LookUp.h"

#include <optional>
#include <stdexcept>
#include <utility>

namespace veltrim {

std::string CalcUsage() {
    return R"(Usage: veltrim-calc [options]

Computes the photon spectrum and the percentage depth dose of a diagnostic
X-ray beam in ICRU soft tissue, from the same library as the Veltrim window.

Every option that takes a value takes it as "--kv 80" or "--kv=80"; a value
that begins with a dash needs the second form ("--al=-1").

Conditions (each value is read like the window's fields: "80 kV" is 80,
a text without a leading number is 0; the tube voltage is held to 30..150 kV):
  --kv T              tube voltage, kV                      (default 80)
  --angle T           target angle, degrees                 (default 12)
  --inherent T        inherent filtration, mm Al            (default 2.5)
  --al T              added aluminium filter, mm            (default 0)
  --cu T              added copper filter, mm               (default 0)
  --fsd T             focus-to-surface distance, cm         (default 100)
  --field-x T         field size X at the FSD, cm           (default 30)
  --field-y T         field size Y at the FSD, cm; 0 for a circle of
                      diameter X                            (default 30)
  --rectification N   1 constant potential, 2 three-phase 12-peak,
                      3 single-phase full-wave              (default 1)

Data and output:
  --data DIR          folder holding the data files (default: the current
                      folder when it holds them, else VELTRIM_DATA, the
                      installed data, the source tree's data/)
  --spectrum          print the filtered spectrum, one line per bin 1..300:
                      bin,energy_keV,fraction
  --precise           print depth_cm,primary,scatter,total for every row
                      with 17 significant digits instead of the results file
  --out FILE          write the results file to FILE instead of
                      PDD_tempDATA.txt in the current folder
  --scatter-model classic|divergent   how the scatter is formed (default
                      classic): divergent takes the scatter kernels of a
                      point focus at the FSD (FSD 50 cm and above), which
                      follow a divergent beam's deep dose more closely

Beam quality:
  --quality           print the beam quality instead of the table, one
                      name=value line each: mean_energy_keV, hvl1_mm_al,
                      hvl2_mm_al, homogeneity, effective_energy_keV
  --air CM            dry air between the focus and the point where the
                      half-value layers are measured, cm (default 0); it
                      changes the beam-quality figures only, never the
                      depth dose
  --hvl1 X            the beam's measured first half-value layer, mm Al: the
                      added filter that gives it (with the other conditions
                      as given) is found, printed on standard error and used
                      in place of --al (or --cu)
  --match-filter al|cu   the filter --hvl1 finds (default al)

Many conditions at once:
  --batch FILE.csv    one calculation per row of FILE.csv instead of the
                      condition options (which it refuses); the header names
                      any of the columns kv, angle, inherent, al, cu, fsd,
                      field_x, field_y, rectification in any order; a column
                      left out takes the default above, a cell is read like
                      the option of its column. Blank lines are skipped.
                      No PDD_tempDATA.txt is written in the current folder.
  --format csv|json   how --batch prints its results (default csv):
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
  --jobs N            rows computed at once (default: one per core)
  Exit status of --batch: 0 when every row computed, 1 when any failed,
  2 when the file cannot be used (missing, no header, an unknown column).

Without --spectrum the results file (depth table and conditions, labels in
Shift_JIS, CR LF line ends) is written and its text printed with the labels
in UTF-8.
  -h, --help          show this text

On any failure the cause goes to standard error and the exit status is not 0.
)";
}

namespace {

// The options that carry one typed condition, and the field each fills.
std::optional<std::string ConditionTexts::*> ConditionOption(const std::string& name) {
    static const std::pair<const char*, std::string ConditionTexts::*> options[] = {
        {"--kv", &ConditionTexts::TubeVoltage},
        {"--angle", &ConditionTexts::TargetAngle},
        {"--inherent", &ConditionTexts::InherentFiltration},
        {"--al", &ConditionTexts::AlFilter},
        {"--cu", &ConditionTexts::CuFilter},
        {"--fsd", &ConditionTexts::Fsd},
        {"--field-x", &ConditionTexts::FieldX},
        {"--field-y", &ConditionTexts::FieldY},
    };
    return LookUp(options, name);
}

// The worker count of --jobs: a whole number from 1 to 256.
int JobCount(const std::string& text) {
    int jobs = 0;
    for (const char ch : text) {
        if (ch < '0' || ch > '9' || jobs > 256)
            jobs = 257;
        else
            jobs = jobs * 10 + (ch - '0');
    }
    if (text.empty() || jobs < 1 || jobs > 256)
        throw std::invalid_argument("--jobs takes a whole number from 1 to 256, not \"" + text +
                                    "\"");
    return jobs;
}

} // namespace

CalcOptions ParseCalcOptions(const std::vector<std::string>& args) {
    CalcOptions options;
    bool format = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        // "--name=value" and "--name value" alike; only the first form can
        // pass a value that begins with a dash ("--al=-1").
        std::string arg = args[i];
        std::optional<std::string> attached;
        if (arg.rfind("--", 0) == 0) {
            if (const std::size_t equals = arg.find('='); equals != std::string::npos) {
                attached = arg.substr(equals + 1);
                arg.resize(equals);
            }
        }
        auto value = [&]() -> std::string {
            if (attached)
                return *attached;
            if (i + 1 >= args.size())
                throw std::invalid_argument("option " + arg + " needs a value");
            return args[++i];
        };
        auto flag = [&](bool& set) {
            if (attached)
                throw std::invalid_argument("option " + arg + " takes no value, not \"" +
                                            *attached + "\"");
            set = true;
        };
        if (arg == "--help" || arg == "-h")
            flag(options.Help);
        else if (const auto field = ConditionOption(arg)) {
            options.Texts.*(*field) = value();
            options.ConditionGiven = true;
        } else if (arg == "--rectification") {
            const std::string v = value();
            if (v != "1" && v != "2" && v != "3")
                throw std::invalid_argument("--rectification takes 1, 2 or 3, not \"" + v + "\"");
            options.Rectification = v[0] - '0';
            options.ConditionGiven = true;
        } else if (arg == "--batch")
            options.BatchFile = value();
        else if (arg == "--format") {
            const std::string v = value();
            if (v != "csv" && v != "json")
                throw std::invalid_argument("--format takes csv or json, not \"" + v + "\"");
            options.BatchJson = v == "json";
            format = true;
        } else if (arg == "--jobs")
            options.Jobs = JobCount(value());
        else if (arg == "--data")
            options.DataFolder = value();
        else if (arg == "--spectrum")
            flag(options.PrintSpectrum);
        else if (arg == "--precise")
            flag(options.Precise);
        else if (arg == "--scatter-model") {
            const std::string v = value();
            if (v != "classic" && v != "divergent")
                throw std::invalid_argument("--scatter-model takes classic or divergent, not \"" +
                                            v + "\"");
            options.Model = v == "divergent" ? ScatterModel::Divergent : ScatterModel::Classic;
        } else if (arg == "--out")
            options.OutFile = value();
        else if (arg == "--hvl1")
            options.Hvl1 = value();
        else if (arg == "--match-filter") {
            const std::string v = value();
            if (v != "al" && v != "cu")
                throw std::invalid_argument("--match-filter takes al or cu, not \"" + v + "\"");
            options.MatchCopper = v == "cu";
        } else if (arg == "--air")
            options.AirCm = value();
        else if (arg == "--quality")
            flag(options.PrintQuality);
        else
            throw std::invalid_argument("unknown option \"" + arg + "\" (see --help)");
    }
    if (options.BatchFile) {
        // The rows carry the conditions; an option beside them would be
        // silently overridden, or silently apply to every row.
        if (options.ConditionGiven)
            throw std::invalid_argument(
                "--batch takes the conditions from its file: no condition option beside it");
        if (options.PrintSpectrum || options.PrintQuality || options.Hvl1 || options.AirCm ||
            options.OutFile)
            throw std::invalid_argument(
                "--batch goes with --format, --jobs, --precise, --scatter-model and --data only");
    } else if (format || options.Jobs) {
        throw std::invalid_argument("--format and --jobs go with --batch only");
    }
    return options;
}

} // namespace veltrim
