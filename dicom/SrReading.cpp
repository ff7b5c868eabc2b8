#include "core/ModelConstants.h"
#include "dicom/DicomUnits.h"
#include "dicom/RecordReading.h"

#include <algorithm>
#include <cctype>
#include <dcmtk/config/osconfig.h>
#include <dcmtk/dcmsr/dsrcodtn.h>
#include <dcmtk/dcmsr/dsrdncsr.h>
#include <dcmtk/dcmsr/dsrdoc.h>
#include <dcmtk/dcmsr/dsrnumtn.h>
#include <dcmtk/dcmsr/dsrstrvl.h>
#include <string>

namespace veltrim {
namespace {

using Node = DSRDocumentTreeNode;

// Concept names of the dose report's templates (DICOM's DCM scheme).
namespace Concept {
constexpr const char* Report = "113701";
constexpr const char* Accumulated = "113702";
constexpr const char* Event = "113706";
constexpr const char* CtAcquisition = "113819";
constexpr const char* ProcedureReported = "121058";
constexpr const char* Plane = "113764";
constexpr const char* KapTotal = "113722";
constexpr const char* FluoroKapTotal = "113726";
constexpr const char* AcquisitionKapTotal = "113727";
constexpr const char* DateTimeStarted = "111526";
constexpr const char* EventType = "113721";
constexpr const char* Protocol = "125203";
constexpr const char* ReferencePoint = "113780";
constexpr const char* EventUid = "113769";
constexpr const char* Kap = "122130";
constexpr const char* DoseRp = "113738";
constexpr const char* EntranceExposureRp = "111636";
constexpr const char* PrimaryAngle = "112011";
constexpr const char* SecondaryAngle = "112012";
constexpr const char* Filters = "113771";
constexpr const char* FilterMaterial = "113757";
constexpr const char* FilterMin = "113758";
constexpr const char* FilterMax = "113773";
constexpr const char* Kvp = "113733";
constexpr const char* TubeCurrent = "113734";
constexpr const char* AverageTubeCurrent = "113767";
constexpr const char* ExposureTime = "113735";
constexpr const char* Exposure = "113736";
constexpr const char* SourceToDetector = "113750";
constexpr const char* SourceToIsocentre = "113748";
constexpr const char* SourceToReference = "113737";
constexpr const char* TableLongitudinal = "113751";
constexpr const char* TableLateral = "113752";
constexpr const char* TableHeight = "113753";
constexpr const char* FieldHeight = "113788";
constexpr const char* FieldWidth = "113789";
constexpr const char* FieldArea = "113790";
constexpr const char* PatientOrientation = "113743";
constexpr const char* OrientationModifier = "113744";
constexpr const char* HalfValueLayer = "111634";
constexpr const char* ImageView = "111031";
constexpr const char* GlandularDose = "111631";
} // namespace Concept

bool Is(const Node& node, const char* code) {
    const DSRCodedEntryValue& name = node.getConceptName();
    return name.getCodeValue() == code && name.getCodingSchemeDesignator() == "DCM";
}

// The tree's links, public in DCMTK's generic node and hidden in the
// document's; every node of a document tree is a document node.
const Node* FirstChild(const Node& node) {
    return static_cast<const Node*>(static_cast<const DSRTreeNode&>(node).getDown());
}
const Node* NextOf(const Node& node) {
    return static_cast<const Node*>(static_cast<const DSRTreeNode&>(node).getNext());
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The text of a TEXT, UIDREF or DATETIME item, or a CODE item's meaning.
std::string TextOf(const Node& node) {
    if (const auto* code = dynamic_cast<const DSRCodeTreeNode*>(&node))
        return code->getCodeMeaning().c_str();
    if (const auto* text = dynamic_cast<const DSRStringValue*>(&node))
        return text->getValue().c_str();
    return {};
}

// A CODE item's value and meaning, for matching either.
struct CodeText {
    std::string Value, Meaning;
};
CodeText CodeOf(const Node& node) {
    if (const auto* code = dynamic_cast<const DSRCodeTreeNode*>(&node))
        return {code->getCodeValue().c_str(), Lower(code->getCodeMeaning().c_str())};
    return {};
}

std::string ConceptMeaning(const Node& node) {
    return node.getConceptName().getCodeMeaning().c_str();
}

// Reads NUM items in Veltrim's units; a value in a unit not understood is
// named in the record's skipped list rather than taken at face value.
class NumberReader {
  public:
    NumberReader(std::vector<std::string>& skipped, std::string where)
        : skipped_(skipped), where_(std::move(where)) {}

    std::optional<double> operator()(const Node& node, Quantity quantity) const {
        const auto* num = dynamic_cast<const DSRNumTreeNode*>(&node);
        if (!num)
            return Skip(node, "is not a number item");
        const std::string text = num->getNumericValue().c_str();
        if (text.empty()) // "value unknown": nothing recorded
            return std::nullopt;
        if (!ReadDecimal(text))
            return Skip(node, "value \"" + text + "\" is not a number");
        const DSRCodedEntryValue& unit = num->getMeasurementUnit();
        std::optional<double> factor = UnitFactor(unit.getCodeValue().c_str(), quantity);
        if (!factor)
            factor = UnitFactor(unit.getCodeMeaning().c_str(), quantity);
        if (!factor)
            return Skip(node,
                        std::string("unit \"") + unit.getCodeValue().c_str() + "\" not understood");
        return ReadDecimal(text, *factor);
    }

    std::nullopt_t Skip(const Node& node, const std::string& why) const {
        skipped_.push_back(where_ + ConceptMeaning(node) + ": " + why);
        return std::nullopt;
    }

  private:
    std::vector<std::string>& skipped_;
    std::string where_;
};

// Values that may be recorded more than once in an event (a run's kVp per
// pulse) and are given as their mean.
struct Mean {
    double Sum = 0.0;
    int Count = 0;
    void Add(const std::optional<double>& value) {
        if (value) {
            Sum += *value;
            ++Count;
        }
    }
    std::optional<double> Value() const {
        return Count ? std::optional<double>(Sum / Count) : std::nullopt;
    }
};

struct EventReading {
    IrradiationEvent& Event;
    const NumberReader& Number;
    Mean Kvp, Current, AverageCurrent;
    std::optional<double> DoseRp, EntranceExposureRp;
};

void Take(std::optional<double>& into, const std::optional<double>& value) {
    if (value && !into)
        into = value;
}

// One X-Ray Filters container: its metal and the mean of its minimum and
// maximum thickness, added to the event's copper or aluminium.
void ReadFilter(const Node& container, EventReading& reading) {
    CodeText material;
    std::optional<double> least, most;
    for (const Node* item = FirstChild(container); item; item = NextOf(*item)) {
        if (Is(*item, Concept::FilterMaterial))
            material = CodeOf(*item);
        else if (Is(*item, Concept::FilterMin))
            least = reading.Number(*item, Quantity::Length);
        else if (Is(*item, Concept::FilterMax))
            most = reading.Number(*item, Quantity::Length);
    }
    if (material.Value.empty() && !least && !most)
        return; // "no filter"
    const std::optional<double> cm = least && most ? std::optional<double>((*least + *most) / 2.0)
                                     : least       ? least
                                                   : most;
    IrradiationEvent& event = reading.Event;
    const bool copper = material.Value == "C-127F9" || material.Meaning.find("copper") == 0;
    const bool aluminium = material.Value == "C-120F9" || material.Meaning.find("alumin") == 0;
    if (!cm) {
        reading.Number.Skip(container, "filter of " + material.Meaning + " without a thickness");
        return;
    }
    if (copper)
        event.CuMm = event.CuMm.value_or(0.0) + MmFromCm(*cm);
    else if (aluminium)
        event.AlMm = event.AlMm.value_or(0.0) + MmFromCm(*cm);
    else
        event.OtherFilters.push_back(material.Meaning.empty() ? "unnamed" : material.Meaning);
}

void ReadOrientation(const Node& item, IrradiationEvent& event) {
    event.PatientOrientation = Lower(TextOf(item));
    for (const Node* mod = FirstChild(item); mod; mod = NextOf(*mod))
        if (Is(*mod, Concept::OrientationModifier))
            event.PatientOrientationModifier = Lower(TextOf(*mod));
}

AcquisitionPlane PlaneOf(const Node& item) {
    const CodeText code = CodeOf(item);
    if (code.Value == "113620" || code.Meaning == "plane a")
        return AcquisitionPlane::A;
    if (code.Value == "113621" || code.Meaning == "plane b")
        return AcquisitionPlane::B;
    return AcquisitionPlane::Single;
}

void ReadEventItems(const Node& parent, EventReading& r);

// The event's texts: a TEXT, UIDREF or DATETIME item, or a CODE item's meaning.
struct EventText {
    const char* Code;
    std::string IrradiationEvent::*Member;
};
constexpr EventText EventTexts[] = {
    {Concept::DateTimeStarted, &IrradiationEvent::DateTime},
    {Concept::EventType, &IrradiationEvent::Type},
    {Concept::Protocol, &IrradiationEvent::Protocol},
    {Concept::ReferencePoint, &IrradiationEvent::ReferencePointDefinition},
    {Concept::EventUid, &IrradiationEvent::Uid},
};

// The event's figures recorded once (the first is kept), in Veltrim's unit
// of the quantity.
struct EventFigure {
    const char* Code;
    std::optional<double> IrradiationEvent::*Member;
    Quantity Kind;
};
constexpr EventFigure EventFigures[] = {
    {Concept::Kap, &IrradiationEvent::KapGycm2, Quantity::KermaAreaProduct},
    {Concept::PrimaryAngle, &IrradiationEvent::PrimaryAngleDeg, Quantity::Angle},
    {Concept::SecondaryAngle, &IrradiationEvent::SecondaryAngleDeg, Quantity::Angle},
    {Concept::ExposureTime, &IrradiationEvent::ExposureTimeMs, Quantity::Time},
    {Concept::Exposure, &IrradiationEvent::Mas, Quantity::Charge},
    {Concept::SourceToDetector, &IrradiationEvent::SourceToDetectorCm, Quantity::Length},
    {Concept::SourceToIsocentre, &IrradiationEvent::SourceToIsocentreCm, Quantity::Length},
    {Concept::SourceToReference, &IrradiationEvent::SourceToReferenceCm, Quantity::Length},
    {Concept::TableLongitudinal, &IrradiationEvent::TableLongitudinalCm, Quantity::Length},
    {Concept::TableLateral, &IrradiationEvent::TableLateralCm, Quantity::Length},
    {Concept::TableHeight, &IrradiationEvent::TableHeightCm, Quantity::Length},
    {Concept::FieldHeight, &IrradiationEvent::CollimatedFieldHeightCm, Quantity::Length},
    {Concept::FieldWidth, &IrradiationEvent::CollimatedFieldWidthCm, Quantity::Length},
    {Concept::FieldArea, &IrradiationEvent::CollimatedFieldAreaCm2, Quantity::Area},
};

// The figures that may be recorded more than once, averaged.
struct EventMean {
    const char* Code;
    Mean EventReading::*Member;
    Quantity Kind;
};
constexpr EventMean EventMeans[] = {
    {Concept::Kvp, &EventReading::Kvp, Quantity::Voltage},
    {Concept::TubeCurrent, &EventReading::Current, Quantity::Current},
    {Concept::AverageTubeCurrent, &EventReading::AverageCurrent, Quantity::Current},
};

// One content item of an event.
void ReadEventItem(const Node& item, EventReading& r) {
    IrradiationEvent& e = r.Event;
    const NumberReader& n = r.Number;
    for (const EventText& text : EventTexts)
        if (Is(item, text.Code)) {
            e.*text.Member = TextOf(item);
            return;
        }
    for (const EventFigure& figure : EventFigures)
        if (Is(item, figure.Code)) {
            Take(e.*figure.Member, n(item, figure.Kind));
            return;
        }
    for (const EventMean& mean : EventMeans)
        if (Is(item, mean.Code)) {
            (r.*mean.Member).Add(n(item, mean.Kind));
            return;
        }
    if (Is(item, Concept::Plane))
        e.Plane = PlaneOf(item);
    else if (Is(item, Concept::DoseRp))
        Take(r.DoseRp, n(item, Quantity::AirKerma));
    else if (Is(item, Concept::EntranceExposureRp))
        Take(r.EntranceExposureRp, n(item, Quantity::AirKerma));
    else if (Is(item, Concept::Filters))
        ReadFilter(item, r);
    else if (Is(item, Concept::PatientOrientation))
        ReadOrientation(item, e);
    else if (Is(item, Concept::HalfValueLayer)) {
        if (const auto cm = n(item, Quantity::Length))
            Take(e.Hvl1MmAl, MmFromCm(*cm));
    } else if (Is(item, Concept::ImageView))
        e.View = Lower(TextOf(item));
    else if (Is(item, Concept::GlandularDose))
        throw DoseRecordError(MessageId::RecordMgDose, {Arg(Message(MessageId::RecordMgRefusal))});
    else if (item.getValueType() == DSRTypes::VT_Container)
        ReadEventItems(item, r); // groups of a later edition of the template
}

void ReadEventItems(const Node& parent, EventReading& r) {
    for (const Node* item = FirstChild(parent); item; item = NextOf(*item))
        ReadEventItem(*item, r);
}

IrradiationEvent ReadEvent(const Node& container, int number, std::vector<std::string>& skipped) {
    IrradiationEvent event;
    event.Number = number;
    const NumberReader numbers(skipped, "event " + std::to_string(number) + ", ");
    EventReading reading{event, numbers, {}, {}, {}, {}, {}};
    ReadEventItems(container, reading);
    event.Kvp = reading.Kvp.Value();
    event.TubeCurrentMa =
        reading.Current.Count ? reading.Current.Value() : reading.AverageCurrent.Value();
    // Dose (RP) is the air kerma at the reference point; older and
    // mammography-derived records call it the entrance exposure at RP.
    event.ReferenceAirKermaMgy = reading.DoseRp ? reading.DoseRp : reading.EntranceExposureRp;
    return event;
}

// The kerma-area product of one plane's accumulated data: its total, or
// the sum of its fluoroscopy and acquisition totals where only they are given.
std::optional<double> PlaneKap(const Node& container, const NumberReader& number) {
    std::optional<double> total;
    Mean parts; // sum kept in Sum
    for (const Node* item = FirstChild(container); item; item = NextOf(*item)) {
        if (Is(*item, Concept::KapTotal))
            Take(total, number(*item, Quantity::KermaAreaProduct));
        else if (Is(*item, Concept::FluoroKapTotal) || Is(*item, Concept::AcquisitionKapTotal))
            parts.Add(number(*item, Quantity::KermaAreaProduct));
        else if (item->getValueType() == DSRTypes::VT_Container)
            Take(total, PlaneKap(*item, number));
    }
    if (!total && parts.Count)
        total = parts.Sum;
    return total;
}

void RefuseProcedure(const Node& item) {
    const CodeText code = CodeOf(item);
    if (code.Value == "P5-08000" || code.Value == "77477000" ||
        code.Meaning.find("computed tomography") != std::string::npos)
        throw DoseRecordError(MessageId::RecordCtProcedure,
                              {Arg(TextOf(item)), Arg(Message(MessageId::RecordCtRefusal))});
    if (code.Value == "P5-40010" || code.Value == "71651007" ||
        code.Meaning.find("mammograph") != std::string::npos)
        throw DoseRecordError(MessageId::RecordMgProcedure,
                              {Arg(TextOf(item)), Arg(Message(MessageId::RecordMgRefusal))});
}

} // namespace

void ReadRadiationDoseSr(DSRDocument& document, DoseRecord& record) {
    DSRDocumentTreeNodeCursor cursor;
    const Node* root = document.getTree().getCursorToRootNode(cursor) ? cursor.getNode() : nullptr;
    if (!root || !Is(*root, Concept::Report))
        throw DoseRecordError(
            MessageId::RecordOtherReport,
            {root ? Arg(ConceptMeaning(*root)) : Arg(Message(MessageId::RecordEmptyReport))});
    int ctAcquisitions = 0;
    const NumberReader totals(record.Skipped, "accumulated dose data, ");
    for (const Node* item = FirstChild(*root); item; item = NextOf(*item)) {
        if (Is(*item, Concept::ProcedureReported))
            RefuseProcedure(*item);
        else if (Is(*item, Concept::CtAcquisition))
            ++ctAcquisitions;
        else if (Is(*item, Concept::Accumulated)) {
            if (const auto kap = PlaneKap(*item, totals))
                record.AccumulatedKapGycm2 = record.AccumulatedKapGycm2.value_or(0.0) + *kap;
        } else if (Is(*item, Concept::Event))
            record.Events.push_back(
                ReadEvent(*item, static_cast<int>(record.Events.size()) + 1, record.Skipped));
    }
    if (ctAcquisitions > 0)
        throw DoseRecordError(MessageId::RecordCtAcquisitions,
                              {Arg(ctAcquisitions), Arg(Message(MessageId::RecordCtRefusal))});
    record.Kind = std::any_of(record.Events.begin(), record.Events.end(),
                              [](const IrradiationEvent& e) { return e.IsFluoroscopy(); })
                      ? RecordKind::Fluoroscopy
                      : RecordKind::ProjectionRadiography;
}

} // namespace veltrim
