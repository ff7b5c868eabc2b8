#include "cli/CalcOptions.h"

#include "cli/OptionSetters.h"
#include "cli/OptionTable.h"
#include "cli/StudyCommand.h"
#include "core/CFormat.h"
#include "core/CalculationError.h"
#include "core/NumberReading.h"
#include "files/BeamFile.h"

#include <algorithm>
#include <optional>
#include <set>
#include <stdexcept>

namespace veltrim {

namespace {

// The exposure is put together, and what it goes with checked, once every
// option is read: "--mas 20 --tube-output 50" is as good as the other order.
void CheckDoseOptions(CalcOptions& options) {
    // A saved beam's tube output is the exposure's when only the mAs is given.
    ExposureParts& typed = options.ExposureTyped;
    if (options.BeamTubeOutput && typed.Mas && !typed.TubeOutput && !typed.AirKermaMgy &&
        !typed.KapGyCm2 && !typed.EsakMgy) {
        typed.TubeOutput = options.BeamTubeOutput;
        if (!typed.OutputDistanceCm)
            typed.OutputDistanceCm = options.BeamOutputDistance;
    }
    if (options.ExposureTyped.StrayTubeOutputParts())
        throw std::invalid_argument("--mas and --output-distance go with --tube-output only");
    try {
        options.Given = ExposureOf(options.ExposureTyped);
    } catch (const CalculationError& e) {
        throw std::invalid_argument(e.what());
    }
    const bool dose = options.PrintDose || options.DoseAt;
    // A saved beam's exposure, when none is typed, serves the outputs that
    // take one and waits unused beside the others, as its other figures do.
    const bool takesExposure = dose || options.OffAxis() || options.ExportCsv || options.ReportFile;
    if (!options.Given && takesExposure)
        options.Given = ExposureOf(options.BeamExposure);
    if (options.Given && !takesExposure)
        throw std::invalid_argument("an exposure goes with --dose, --dose-at, --point, --profile, "
                                    "--map, --export-csv or --report");
    if (options.SaveBeamFile && options.SaveBeamFile->empty())
        throw std::invalid_argument("--save-beam takes a file name, not an empty text");
    if (options.ExportCsv && options.ExportCsv->empty())
        throw std::invalid_argument("--export-csv takes a file name, not an empty text");
    if (options.ReportFile && options.ReportFile->empty())
        throw std::invalid_argument("--report takes a file name, not an empty text");
    if (options.ExportCsv && (options.PrintSpectrum || options.PrintQuality))
        throw std::invalid_argument("--export-csv writes a depth-dose table: it goes without "
                                    "--spectrum and --quality");
    const int offAxis =
        !options.Points.empty() + options.ProfileDepth.has_value() + options.Map.has_value();
    if (offAxis > 1)
        throw std::invalid_argument("--point, --profile and --map print different tables: give "
                                    "one");
    if (options.Axis && !options.ProfileDepth)
        throw std::invalid_argument("--axis goes with --profile");
    if (offAxis && (dose || options.PrintSpectrum || options.PrintQuality || options.OutFile ||
                    options.ExportCsv))
        throw std::invalid_argument("--point, --profile and --map go without --dose, --dose-at, "
                                    "--spectrum, --quality, --out and --export-csv");
    if (options.PrintDose && options.DoseAt)
        throw std::invalid_argument("--dose and --dose-at print different tables: give one");
    if (dose && (options.PrintSpectrum || options.PrintQuality || options.OutFile))
        throw std::invalid_argument(
            "--dose and --dose-at go without --spectrum, --quality and --out");
}

// An argument that names an option, with or without its value attached: a
// value forgotten before it must not swallow it ("--kv --precise").
bool IsOption(const std::string& arg) {
    return arg.rfind("-", 0) == 0 && FindCalcOption(arg.substr(0, arg.find('='))) != nullptr;
}

LateralAxis ReadAxis(const char* option, const std::string& value) {
    if (value == "x" || value == "y")
        return value == "x" ? LateralAxis::X : LateralAxis::Y;
    throw std::invalid_argument(std::string(option) + " takes x or y, not \"" + value + "\"");
}

} // namespace

void SetPointOption(CalcOptions& options, const std::string& value) {
    const std::optional<PhantomPoint> point = ReadPoint(value);
    if (!point)
        throw std::invalid_argument("--point takes X,Y,Z in cm, not \"" + value + "\"");
    options.Points.push_back(*point);
}

void SetProfileOption(CalcOptions& options, const std::string& value) {
    options.ProfileDepth = Number("--profile", value);
}

void SetAxisOption(CalcOptions& options, const std::string& value) {
    options.Axis = ReadAxis("--axis", value);
}

void SetMapOption(CalcOptions& options, const std::string& value) {
    options.Map = ReadAxis("--map", value);
}

std::string OptionOf(const ConditionTextField& field) {
    std::string option = std::string("--") + field.Name;
    std::replace(option.begin(), option.end(), '_', '-');
    return option;
}

void ReadSavedBeam(CalcOptions& options, const std::string& value) {
    SavedBeam beam;
    try {
        beam = ReadBeamFile(value);
    } catch (const BeamFileError& e) {
        throw std::invalid_argument(e.what());
    }
    options.Texts = beam.Texts;
    options.Rectification = static_cast<int>(beam.Rectification);
    options.Model = beam.DivergentScatter ? ScatterModel::Divergent : ScatterModel::Classic;
    options.BeamName = beam.Name;
    options.BeamMeasuredHvl1 = beam.MeasuredHvl1MmAl;
    options.BeamTubeOutput = beam.TubeOutputUgyPerMas;
    options.BeamOutputDistance = beam.OutputDistanceCm;
    options.PhantomMedium = beam.PhantomMedium;
    options.ThicknessCm = beam.ThicknessCm;
    options.BeamExposure = beam.Exposure;
    if (beam.AirCm)
        options.AirCm = ShortestText(*beam.AirCm);
}

CalcOptions ParseCalcOptions(const std::vector<std::string>& args) {
    CalcOptions options;
    std::set<OptionUse> given;
    std::set<const CalcOption*> valued;
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
        const CalcOption* option = FindCalcOption(arg);
        if (!option)
            throw std::invalid_argument("unknown option \"" + arg + "\" (see --help)");
        std::string value;
        if (option->Value && attached)
            value = *attached;
        else if (option->Value && i + 1 < args.size() && IsOption(args[i + 1]))
            throw std::invalid_argument("option " + arg + " needs a value; \"" + args[i + 1] +
                                        "\" is an option");
        else if (option->Value && i + 1 < args.size())
            value = args[++i];
        else if (option->Value)
            throw std::invalid_argument("option " + arg + " needs a value");
        else if (attached)
            throw std::invalid_argument("option " + arg + " takes no value, not \"" + *attached +
                                        "\"");
        if (option->Value && !option->Repeatable && !valued.insert(option).second)
            throw std::invalid_argument("option " + std::string(option->Name) +
                                        " is given twice: give it once");
        option->Set(options, value);
        given.insert(option->Use);
    }
    if (options.BatchFile) {
        // The rows carry the conditions; an option beside them would be
        // silently overridden, or silently apply to every row.
        if (given.contains(OptionUse::Condition))
            throw std::invalid_argument(
                "--batch takes the conditions from its file: no condition option beside it");
        if (given.contains(OptionUse::Single))
            throw std::invalid_argument(
                "--batch goes with --format, --jobs, --precise, --scatter-model and --data only");
    } else if (given.contains(OptionUse::BatchOnly)) {
        throw std::invalid_argument("--format and --jobs go with --batch only");
    }
    CheckDoseOptions(options);
    CheckStudyOptions(options, given.contains(OptionUse::Condition));
    if (options.Strict)
        for (const ConditionTextField& field : ConditionTextFields) {
            const std::string& text = options.Texts.*field.Text;
            if (!ReadsWhole(text))
                throw std::invalid_argument(OptionOf(field) + " \"" + text +
                                            "\" is not a number (--strict)");
        }
    if (options.Strict && !options.BatchFile) {
        const double kv = ReadNumber(options.Texts.TubeVoltage);
        if (!(kv >= MinTubeVoltage && kv <= MaxTubeVoltage))
            throw std::invalid_argument("--kv \"" + options.Texts.TubeVoltage +
                                        "\" is outside 30-150 kV (--strict)");
    }
    return options;
}

} // namespace veltrim
