#include "core/CFormat.h"
#include "core/DataFile.h"
#include "core/FileReading.h"
#include "engine/StudyBeams.h"
#include "files/ExposureKeys.h"
#include "files/StudyFile.h"
#include "files/StudyFileKeys.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace veltrim {
namespace {

using Kind = JsonValue::Kind;

// An object of the document, and where it stands, for messages.
class Place {
  public:
    Place(const JsonValue& object, Message where) : object_(object), where_(std::move(where)) {}

    // `why` words the refusal of `key` here: {1} this place, {2} the key,
    // then `more`.
    [[noreturn]] void Refuse(std::string_view key, MessageId why,
                             std::vector<Message::Argument> more = {}) const {
        std::vector<Message::Argument> arguments = {Arg(where_), Arg(std::string(key))};
        arguments.insert(arguments.end(), more.begin(), more.end());
        throw StudyError(why, std::move(arguments));
    }

    void OnlyKnown(const std::vector<std::string_view>& known) const {
        for (const JsonMember& member : object_.Members)
            if (std::find(known.begin(), known.end(), member.Name) == known.end())
                Refuse(member.Name, MessageId::StudyKeyUnknown);
    }

    const JsonValue* Find(std::string_view key, Kind kind, MessageId kindName) const {
        const JsonValue* value = object_.Find(key);
        if (value != nullptr && value->Type != kind)
            Refuse(key, MessageId::StudyKeyKind, {Arg(Message(kindName))});
        return value;
    }

    std::optional<double> Number(std::string_view key) const {
        const JsonValue* value = Find(key, Kind::Number, MessageId::StudyKindNumber);
        return value ? std::optional<double>(value->Number) : std::nullopt;
    }

    double Required(std::string_view key) const {
        const std::optional<double> value = Number(key);
        if (!value)
            Refuse(key, MessageId::StudyKeyMissing);
        return *value;
    }

    std::optional<std::string> Text(std::string_view key) const {
        const JsonValue* value = Find(key, Kind::String, MessageId::StudyKindString);
        return value ? std::optional<std::string>(value->String) : std::nullopt;
    }

    std::string RequiredText(std::string_view key) const {
        const std::optional<std::string> value = Text(key);
        if (!value)
            Refuse(key, MessageId::StudyKeyMissing);
        return *value;
    }

    // A key's word, one of those `fromKey` knows (`choices` lists them).
    template <class Keyed>
    Keyed Choice(std::string_view key, std::optional<Keyed> (*fromKey)(std::string_view),
                 MessageId choices) const {
        const std::string word = RequiredText(key);
        const std::optional<Keyed> known = fromKey(word);
        if (!known)
            Refuse(key, MessageId::StudyKeyNotOneOf, {Arg(word), Arg(Message(choices))});
        return *known;
    }

    template <class Owner, std::size_t N>
    void Read(Owner& owner, const StudyNumber<Owner, double> (&required)[N]) const {
        for (const StudyNumber<Owner, double>& field : required)
            owner.*field.Member = Required(field.Key);
    }

    template <class Owner, std::size_t N>
    void Read(Owner& owner, const StudyNumber<Owner, std::optional<double>> (&optional)[N]) const {
        for (const StudyNumber<Owner, std::optional<double>>& field : optional)
            owner.*field.Member = Number(field.Key);
    }

    const JsonValue* Object(std::string_view key) const {
        return Find(key, Kind::Object, MessageId::StudyKindObject);
    }

    int WholeNumber(std::string_view key, double fallback) const {
        const double value = Number(key).value_or(fallback);
        if (value != std::floor(value) || value < 0 || value > 1e9)
            Refuse(key, MessageId::StudyKeyNotWhole);
        return static_cast<int>(value);
    }

    const Message& Where() const { return where_; }

  private:
    const JsonValue& object_;
    Message where_;
};

StudyPatient ReadPatient(const Place& place) {
    place.OnlyKnown({"ap_thickness_cm", "lateral_width_cm", "medium"});
    StudyPatient patient;
    patient.ApThicknessCm = place.Required("ap_thickness_cm");
    patient.LateralWidthCm = place.Required("lateral_width_cm");
    patient.PatientMedium = place.Choice("medium", MediumFromKey, MessageId::StudyMediumChoices);
    return patient;
}

StudyPoint ReadPoint(const Place& place) {
    std::vector<std::string_view> known = {"name"};
    for (const PointAxis& axis : PointAxes)
        known.insert(known.end(), {axis.At.Key, axis.Uncertainty.Key});
    place.OnlyKnown(known);
    StudyPoint point;
    point.Name = place.RequiredText("name");
    for (const PointAxis& axis : PointAxes)
        point.*axis.At.Member = place.Required(axis.At.Key);
    for (const PointAxis& axis : PointAxes)
        point.*axis.Uncertainty.Member = place.Number(axis.Uncertainty.Key).value_or(0.0);
    for (const PointAxis& axis : PointAxes)
        if (const auto value = place.Number(axis.Uncertainty.Key); value && !(*value >= 0.0))
            place.Refuse(axis.Uncertainty.Key, MessageId::StudyKeyNegative);
    return point;
}

std::vector<AssumedValue> ReadAssumed(const Place& place) {
    std::vector<AssumedValue> assumed;
    const JsonValue* list = place.Find("assumed", Kind::Array, MessageId::StudyKindArray);
    if (list == nullptr)
        return assumed;
    for (const JsonValue& item : list->Items) {
        if (item.Type != Kind::Object)
            place.Refuse("assumed", MessageId::StudyKeyNotObjects);
        const Place entry(item, Message(MessageId::StudyPlaceAssumed, {Arg(place.Where())}));
        entry.OnlyKnown({"field", "value", "why"});
        AssumedValue value;
        value.Field = entry.RequiredText("field");
        value.Why = entry.RequiredText("why");
        const JsonValue* v = item.Find("value");
        if (v == nullptr || (v->Type != Kind::Number && v->Type != Kind::String))
            entry.Refuse("value", MessageId::StudyKeyNotValue);
        value.Value = JsonText(*v);
        assumed.push_back(std::move(value));
    }
    return assumed;
}

// Every key an exposure may hold.
std::vector<std::string_view> ExposureFileKeys() {
    std::vector<std::string_view> known = {"name",
                                           "entry",
                                           "angle_deg",
                                           "kv",
                                           "rectification",
                                           "scatter_model",
                                           "centre_depth_cm",
                                           "exposure_uncertainty_pct",
                                           "repeats",
                                           "assumed",
                                           "event"};
    const auto add = [&known](const auto& fields) {
        for (const auto& field : fields)
            known.push_back(field.Key);
    };
    add(BeamNumbers);
    add(FieldNumbers);
    add(ReferenceNumbers);
    add(TableNumbers);
    for (const ExposureKey& k : ExposureKeys)
        known.push_back(k.StudyFileKey);
    return known;
}

StudyExposure ReadExposure(const Place& place) {
    place.OnlyKnown(ExposureFileKeys());
    StudyExposure e;
    e.Name = place.RequiredText("name");
    e.Entry = place.Choice("entry", EntryFromKey, MessageId::StudyEntryChoices);
    e.AngleDeg = place.Number("angle_deg").value_or(0.0);
    e.TubeVoltage = place.Required("kv");
    const double method = place.Required("rectification");
    if (method != 1 && method != 2 && method != 3)
        place.Refuse("rectification", MessageId::StudyKeyRectification);
    e.Rectification = static_cast<RectificationMethod>(static_cast<int>(method));
    place.Read(e, BeamNumbers);
    if (const auto model = place.Text("scatter_model")) {
        if (*model != "classic" && *model != "divergent")
            place.Refuse("scatter_model", MessageId::StudyKeyScatterModel);
        e.Model = *model == "divergent" ? ScatterModel::Divergent : ScatterModel::Classic;
    } else {
        e.Model = ScatterModel::Classic;
        e.Assumed.push_back({"scatter_model", "\"classic\"",
                             "no scatter model was given; the program's default was taken"});
    }
    place.Read(e, FieldNumbers);
    e.CentreDepthCm = place.Number("centre_depth_cm");
    for (const ExposureKey& k : ExposureKeys)
        e.Form.Parts.*k.Part = place.Number(k.StudyFileKey);
    place.Read(e.Form, ReferenceNumbers);
    e.UncertaintyPct = place.Number("exposure_uncertainty_pct");
    e.Repeats = place.WholeNumber("repeats", 1);
    place.Read(e, TableNumbers);
    std::vector<AssumedValue> given = ReadAssumed(place);
    given.insert(given.end(), e.Assumed.begin(), e.Assumed.end());
    e.Assumed = std::move(given);
    if (const JsonValue* event = place.Object("event"))
        e.Event = *event;
    return e;
}

// "exposure "AP"" once its name reads, "exposure 3" before.
Message ExposurePlace(const JsonValue& item, std::size_t index) {
    const JsonValue* name = item.Find("name");
    if (name != nullptr && name->Type == Kind::String)
        return Message(MessageId::StudyPlaceNamed, {Arg(name->String)});
    return Message(MessageId::StudyPlaceExposure, {Arg(static_cast<int>(index + 1))});
}

const JsonValue& List(const Place& place, std::string_view key) {
    const JsonValue* list = place.Find(key, Kind::Array, MessageId::StudyKindArray);
    if (list == nullptr)
        place.Refuse(key, MessageId::StudyKeyMissing);
    return *list;
}

} // namespace

Study ParseStudy(std::string_view text, const std::string& shownName, const StudyAmendment& amend) {
    JsonValue root;
    try {
        root = ParseJson(text);
    } catch (const JsonError& e) {
        throw StudyError(MessageId::StudyNotJson, {Arg(shownName), Arg(e.what())});
    }
    if (root.Type != Kind::Object || root.Find("veltrim_study") == nullptr)
        throw StudyError(MessageId::StudyNoVersion, {Arg(shownName)});
    const Place top(root, Message(MessageId::StudyRefused, {Arg(shownName)}));
    // The version first: a later one may differ in anything else.
    const double version = top.Required("veltrim_study");
    if (version != std::floor(version) || version < 1)
        top.Refuse("veltrim_study", MessageId::StudyKeyNotWhole);
    if (version > StudyFileFormat)
        top.Refuse("veltrim_study", MessageId::StudyKeyLaterVersion,
                   {Arg(ShortestText(version)), Arg(StudyFileFormat)});
    top.OnlyKnown({"veltrim_study", "patient", "points", "exposures", "record", "study"});
    Study study;
    const JsonValue* patient = top.Object("patient");
    if (patient == nullptr)
        top.Refuse("patient", MessageId::StudyKeyMissing);
    study.Patient = ReadPatient(Place(*patient, Message(MessageId::StudyPlacePatient)));
    const JsonValue& points = List(top, "points");
    for (std::size_t k = 0; k < points.Items.size(); ++k) {
        const Message where(MessageId::StudyPlacePoint, {Arg(static_cast<int>(k + 1))});
        if (points.Items[k].Type != Kind::Object)
            throw StudyError(MessageId::StudyItemNotObject, {Arg(where)});
        study.Points.push_back(ReadPoint(Place(points.Items[k], where)));
    }
    const JsonValue& exposures = List(top, "exposures");
    for (std::size_t k = 0; k < exposures.Items.size(); ++k) {
        const JsonValue& item = exposures.Items[k];
        if (item.Type != Kind::Object)
            throw StudyError(
                MessageId::StudyItemNotObject,
                {Arg(Message(MessageId::StudyPlaceExposure, {Arg(static_cast<int>(k + 1))}))});
        study.Exposures.push_back(ReadExposure(Place(item, ExposurePlace(item, k))));
    }
    if (const JsonValue* record = top.Object("record"))
        study.Record = *record;
    if (const JsonValue* identifiers = top.Object("study"))
        study.Identifiers = *identifiers;
    if (amend)
        amend(study);
    CheckStudy(study);
    return study;
}

Study ReadStudyFile(const std::filesystem::path& path, const StudyAmendment& amend) {
    const std::string shown = PrintableText(path.string(), 4096);
    const ReadOutcome read = ReadRegularFile(path, MaxStudyFileBytes);
    switch (read.Step) {
    case ReadStep::Missing:
        throw StudyError(MessageId::StudyNoSuchFile, {Arg(shown)});
    case ReadStep::NotRegular:
        throw StudyError(MessageId::StudyNotRegular, {Arg(shown)});
    case ReadStep::Unreadable:
        throw StudyError(MessageId::StudyUnreadable, {Arg(shown), Arg(std::strerror(read.Error))});
    case ReadStep::Done:
        break;
    }
    if (read.Bytes.size() > MaxStudyFileBytes)
        throw StudyError(MessageId::StudyTooLarge, {Arg(shown)});
    return ParseStudy(read.Bytes, shown, amend);
}

} // namespace veltrim
