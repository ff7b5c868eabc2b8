#include "core/BeamFile.h"

#include "core/CFormat.h"
#include "core/DataFile.h"
#include "core/FileReading.h"
#include "core/JsonReading.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>

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

// An optional positive figure: absent or null for none.
std::optional<double> Figure(const JsonValue& object, std::string_view name,
                             const std::string& file) {
    const JsonValue* value = object.Find(name);
    if (value == nullptr || value->Type == JsonValue::Kind::Null)
        return std::nullopt;
    if (value->Type != JsonValue::Kind::Number || !(value->Number > 0.0))
        Damaged(file, "\"" + std::string(name) + "\" is not a positive number");
    return value->Number;
}

void OnlyKnown(const JsonValue& object, std::initializer_list<std::string_view> known,
               const std::string& file) {
    for (const JsonMember& member : object.Members)
        if (std::find(known.begin(), known.end(), member.Name) == known.end())
            Damaged(file, "\"" + member.Name + "\" is no part of a beam");
}

} // namespace

std::string BeamFileBytes(const SavedBeam& beam) {
    std::string bytes = "{\n";
    bytes += "  \"format\": " + std::to_string(BeamFileFormat) + ",\n";
    bytes += "  \"name\": " + JsonString(beam.Name) + ",\n";
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
    const auto figure = [&bytes](const char* name, const std::optional<double>& value) {
        bytes += std::string(",\n  \"") + name + "\": " + (value ? ShortestText(*value) : "null");
    };
    figure("measured_hvl1_mm_al", beam.MeasuredHvl1MmAl);
    figure("tube_output_ugy_per_mas", beam.TubeOutputUgyPerMas);
    figure("output_distance_cm", beam.OutputDistanceCm);
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
    OnlyKnown(root,
              {"format", "name", "conditions", "scatter_model", "measured_hvl1_mm_al",
               "tube_output_ugy_per_mas", "output_distance_cm"},
              shownName);

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
    beam.MeasuredHvl1MmAl = Figure(root, "measured_hvl1_mm_al", shownName);
    beam.TubeOutputUgyPerMas = Figure(root, "tube_output_ugy_per_mas", shownName);
    beam.OutputDistanceCm = Figure(root, "output_distance_cm", shownName);
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
