#include "files/BeamFile.h"

#include "core/CFormat.h"
#include "core/CalculationError.h"
#include "core/DataFile.h"
#include "core/FileReading.h"
#include "core/JsonReading.h"
#include "files/ExposureKeys.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace veltrim {
namespace {

[[noreturn]] void Refuse(const std::string& file, const Message& reason) {
    throw BeamFileError(Message(MessageId::BeamFileProblem, {Arg(file), Arg(reason)}));
}

[[noreturn]] void Damaged(const std::string& file, const std::string& what) {
    Refuse(file, Message(MessageId::BeamFileDamaged, {Arg(what)}));
}

const JsonValue& Member(const JsonValue& object, std::string_view name, JsonValue::Kind kind,
                        const std::string& file) {
    const JsonValue* value = object.Find(name);
    if (value == nullptr)
        Damaged(file, "\"" + std::string(name) + "\" is missing");
    if (value->Type != kind)
        Damaged(file, "\"" + std::string(name) + "\" is of the wrong kind");
    return *value;
}

// An optional figure: absent or null for none. The tube's figures and a
// measured HVL1 are positive; an exposure's quantities and a thickness are
// kept as given, for the calculation to judge as it judges them typed.
enum class Sign { Positive, Any, NotNegative };
std::optional<double> Figure(const JsonValue& object, std::string_view name, Sign sign,
                             const std::string& file) {
    const JsonValue* value = object.Find(name);
    if (value == nullptr || value->Type == JsonValue::Kind::Null)
        return std::nullopt;
    if (value->Type != JsonValue::Kind::Number)
        Damaged(file, "\"" + std::string(name) + "\" is not a number");
    if (sign == Sign::Positive && !(value->Number > 0.0))
        Damaged(file, "\"" + std::string(name) + "\" is not a positive number");
    if (sign == Sign::NotNegative && !(value->Number >= 0.0))
        Damaged(file, "\"" + std::string(name) + "\" is negative");
    return value->Number;
}

void OnlyKnown(const JsonValue& object, const std::vector<std::string_view>& known,
               const std::string& file) {
    for (const JsonMember& member : object.Members)
        if (std::find(known.begin(), known.end(), member.Name) == known.end())
            Damaged(file, "\"" + member.Name + "\" is no part of a beam");
}

bool Given(const ExposureParts& parts) {
    return std::any_of(std::begin(ExposureKeys), std::end(ExposureKeys),
                       [&](const ExposureKey& k) { return (parts.*k.Part).has_value(); });
}

std::string FigureText(const std::optional<double>& value) {
    return value ? ShortestText(*value) : "null";
}

std::string ExposureBytes(const ExposureParts& parts) {
    if (!Given(parts))
        return "null";
    std::string bytes = "{";
    for (const ExposureKey& k : ExposureKeys)
        if (const std::optional<double>& value = parts.*k.Part) {
            bytes += bytes.size() > 1 ? ", " : "";
            bytes += JsonString(k.BeamFileKey) + ": " + ShortestText(*value);
        }
    return bytes + "}";
}

ExposureParts ReadExposure(const JsonValue& root, const std::string& file) {
    ExposureParts parts;
    const JsonValue* exposure = root.Find("exposure");
    if (exposure == nullptr || exposure->Type == JsonValue::Kind::Null)
        return parts;
    if (exposure->Type != JsonValue::Kind::Object)
        Damaged(file, "\"exposure\" is of the wrong kind");
    std::vector<std::string_view> known;
    for (const ExposureKey& k : ExposureKeys) {
        parts.*k.Part = Figure(*exposure, k.BeamFileKey, Sign::Any, file);
        known.push_back(k.BeamFileKey);
    }
    OnlyKnown(*exposure, known, file);
    // One way, and an mAs or a distance only with a tube output, as the
    // options that gave it were checked.
    std::optional<Exposure> made;
    try {
        made = ExposureOf(parts);
    } catch (const CalculationError& e) {
        Damaged(file, "\"exposure\": " + std::string(e.what()));
    }
    if (parts.StrayTubeOutputParts() || !made)
        Damaged(file, "\"exposure\" holds an mAs or a distance without a tube output");
    return parts;
}

// A tube's figure is written only when it is one (positive); a stray value
// typed beside it stays in the exposure, as given.
std::optional<double> TubeFigure(const std::optional<double>& value) {
    return value && *value > 0.0 ? value : std::nullopt;
}

} // namespace

std::string BeamFileBytes(const SavedBeam& beam) {
    for (const ConditionTextField& field : ConditionTextFields)
        if (!IsUtf8(beam.Texts.*field.Text))
            throw BeamFileError(
                Message(MessageId::BeamTextNotUtf8,
                        {Arg(field.Name), Arg(PrintableText(beam.Texts.*field.Text))}));
    std::string bytes = "{\n";
    bytes += "  \"format\": " + std::to_string(BeamFileFormat) + ",\n";
    bytes += "  \"name\": " + JsonString(ReplacingInvalidUtf8(beam.Name)) + ",\n";
    bytes += "  \"conditions\": {\n";
    bool first = true;
    for (const ConditionTextField& field : ConditionTextFields) {
        bytes += first ? "" : ",\n";
        bytes += "    " + JsonString(field.Name) + ": " + JsonString(beam.Texts.*field.Text);
        first = false;
    }
    bytes += ",\n    \"rectification\": " + std::to_string(static_cast<int>(beam.Rectification)) +
             "\n  },\n";
    bytes += std::string("  \"scatter_model\": ") +
             (beam.DivergentScatter ? "\"divergent\"" : "\"classic\"");
    bytes += ",\n  \"medium\": " + JsonString(MediumKey(beam.PhantomMedium));
    bytes += ",\n  \"thickness_cm\": " + FigureText(beam.ThicknessCm);
    bytes += ",\n  \"exposure\": " + ExposureBytes(beam.Exposure);
    bytes += ",\n  \"air_cm\": " + FigureText(beam.AirCm);
    bytes += ",\n  \"measured_hvl1_mm_al\": " + FigureText(beam.MeasuredHvl1MmAl);
    bytes +=
        ",\n  \"tube_output_ugy_per_mas\": " + FigureText(TubeFigure(beam.TubeOutputUgyPerMas));
    bytes += ",\n  \"output_distance_cm\": " + FigureText(TubeFigure(beam.OutputDistanceCm));
    return bytes + "\n}\n";
}

SavedBeam ParseBeamFile(std::string_view bytes, const std::string& shownName) {
    JsonValue root;
    try {
        root = ParseJson(bytes);
    } catch (const JsonError& e) {
        Damaged(shownName, e.what());
    }
    if (root.Type != JsonValue::Kind::Object)
        Damaged(shownName, "it holds no object");
    // The format first: a later one may differ in anything else.
    const double format = Member(root, "format", JsonValue::Kind::Number, shownName).Number;
    if (format != std::floor(format) || format < 1)
        Damaged(shownName, "\"format\" is not a whole number");
    if (format > BeamFileFormat)
        Refuse(shownName, Message(MessageId::BeamFileNewer, {Arg(ShortestText(format)),
                                                             Arg(std::to_string(BeamFileFormat))}));
    std::vector<std::string_view> known = {"format",
                                           "name",
                                           "conditions",
                                           "scatter_model",
                                           "measured_hvl1_mm_al",
                                           "tube_output_ugy_per_mas",
                                           "output_distance_cm"};
    if (format >= 2)
        known.insert(known.end(), {"medium", "thickness_cm", "exposure", "air_cm"});
    OnlyKnown(root, known, shownName);

    SavedBeam beam;
    beam.Name = Member(root, "name", JsonValue::Kind::String, shownName).String;
    const JsonValue& conditions = Member(root, "conditions", JsonValue::Kind::Object, shownName);
    for (const ConditionTextField& field : ConditionTextFields)
        beam.Texts.*field.Text =
            Member(conditions, field.Name, JsonValue::Kind::String, shownName).String;
    const double method =
        Member(conditions, "rectification", JsonValue::Kind::Number, shownName).Number;
    if (method != 1 && method != 2 && method != 3)
        Damaged(shownName, "\"rectification\" is not 1, 2 or 3");
    beam.Rectification = static_cast<RectificationMethod>(static_cast<int>(method));
    OnlyKnown(conditions,
              {"kv", "angle", "inherent", "al", "cu", "fsd", "field_x", "field_y", "rectification"},
              shownName);

    const std::string& model =
        Member(root, "scatter_model", JsonValue::Kind::String, shownName).String;
    if (model != "classic" && model != "divergent")
        Damaged(shownName, "\"scatter_model\" is neither classic nor divergent");
    beam.DivergentScatter = model == "divergent";
    if (format >= 2) {
        const std::string& medium =
            Member(root, "medium", JsonValue::Kind::String, shownName).String;
        const std::optional<Medium> phantom = MediumFromKey(medium);
        if (!phantom)
            Damaged(shownName, "\"medium\" is none of icru-4, icru-44, water and pmma");
        beam.PhantomMedium = *phantom;
        beam.ThicknessCm = Figure(root, "thickness_cm", Sign::Any, shownName);
        beam.Exposure = ReadExposure(root, shownName);
        beam.AirCm = Figure(root, "air_cm", Sign::NotNegative, shownName);
    }
    beam.MeasuredHvl1MmAl = Figure(root, "measured_hvl1_mm_al", Sign::Positive, shownName);
    beam.TubeOutputUgyPerMas = Figure(root, "tube_output_ugy_per_mas", Sign::Positive, shownName);
    beam.OutputDistanceCm = Figure(root, "output_distance_cm", Sign::Positive, shownName);
    return beam;
}

SavedBeam ReadBeamFile(const std::filesystem::path& path) {
    const std::string shown = PrintableText(path.string(), 4096);
    const ReadOutcome read = ReadRegularFile(path, MaxBeamFileBytes);
    switch (read.Step) {
    case ReadStep::Missing:
        Refuse(shown, Message(MessageId::BeamFileMissing));
    case ReadStep::NotRegular:
        Refuse(shown, Message(MessageId::BeamFileNotRegular, {Arg(Message(read.Kind))}));
    case ReadStep::Unreadable:
        Refuse(shown, Message(MessageId::BeamFileUnreadable, {Arg(std::strerror(read.Error))}));
    case ReadStep::Done:
        break;
    }
    if (read.Bytes.size() > MaxBeamFileBytes)
        Damaged(shown, "larger than a beam file can be");
    return ParseBeamFile(read.Bytes, shown);
}

} // namespace veltrim
