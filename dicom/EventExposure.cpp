#include "dicom/EventExposure.h"

#include "core/CFormat.h"
#include "dicom/EventGeometry.h"

#include <cmath>
#include <span>

namespace veltrim {
namespace {

// Tube voltages of any X-ray equipment; a value outside is a slip.
constexpr double LowestKv = 20.0;
constexpr double HighestKv = 200.0;
// The side of a field at the skin taken as recorded; beyond, a slip.
constexpr double SmallestFieldCm = 1.0;
constexpr double LargestFieldCm = 60.0;

void Assume(EventExposure& exposure, const char* field, double value, std::string why) {
    exposure.Assumed.push_back({field, value, std::move(why)});
}

void TakeVoltage(const IrradiationEvent& event, EventExposure& exposure) {
    if (event.Kvp && *event.Kvp >= LowestKv && *event.Kvp <= HighestKv) {
        exposure.Kv = *event.Kvp;
        return;
    }
    exposure.Kv = AssumedKv;
    Assume(exposure, "kv", AssumedKv,
           event.Kvp ? FormatC("the recorded %g kV is not a tube voltage; 80 kV, the middle of "
                               "abdominal radiography and fluoroscopy, is taken: check it",
                               *event.Kvp)
                     : "the record gives no kVp; 80 kV, the middle of abdominal radiography "
                       "and fluoroscopy, is taken");
}

// The added filters as recorded; without them, a measured HVL stands for
// the beam's filtration, and without either only the inherent filtration.
void TakeFilters(const IrradiationEvent& event, EventExposure& exposure) {
    for (const std::string& other : event.OtherFilters)
        exposure.Assumed.push_back({"al_mm", other,
                                    "a filter of " + other +
                                        " is recorded that Veltrim does not model; it is left "
                                        "out, which softens the beam"});
    if (event.CuMm || event.AlMm) {
        exposure.CuMm = event.CuMm.value_or(0.0);
        exposure.AlMm = event.AlMm.value_or(0.0);
        return;
    }
    if (event.Hvl1MmAl) {
        exposure.Hvl1MmAl = event.Hvl1MmAl;
        return;
    }
    exposure.AlMm = 0.0;
    exposure.CuMm = 0.0;
    Assume(exposure, "al_mm", 0.0,
           "the record names no added filter: only the tube's inherent filtration (2.5 mm Al, "
           "the least total filtration allowed) is taken");
}

std::optional<double> Plausible(double sideCm) {
    return std::isfinite(sideCm) && sideCm >= SmallestFieldCm && sideCm <= LargestFieldCm
               ? std::optional<double>(sideCm)
               : std::nullopt;
}

// The field at the skin: the collimated field (at the image receptor)
// brought to the skin by the ratio of distances; else the area of the
// kerma-area product over the reference air kerma brought from the
// reference point; else a default.
void TakeField(const IrradiationEvent& event, EventExposure& exposure) {
    const bool sid = event.SourceToDetectorCm && *event.SourceToDetectorCm >= ShortestDistanceCm;
    const double toSkin = sid ? exposure.FsdCm / *event.SourceToDetectorCm : 0.0;
    if (sid && event.CollimatedFieldWidthCm && event.CollimatedFieldHeightCm) {
        const auto x = Plausible(*event.CollimatedFieldWidthCm * toSkin);
        const auto y = Plausible(*event.CollimatedFieldHeightCm * toSkin);
        if (x && y) {
            exposure.FieldXCm = *x;
            exposure.FieldYCm = *y;
            return;
        }
    }
    if (sid && event.CollimatedFieldAreaCm2) {
        if (const auto side = Plausible(std::sqrt(*event.CollimatedFieldAreaCm2) * toSkin)) {
            exposure.FieldXCm = exposure.FieldYCm = *side;
            Assume(exposure, "field_x_cm", *side,
                   "the record gives the collimated field's area only: a square field is taken");
            return;
        }
    }
    const std::optional<double> reference = ReferenceDistanceCm(event);
    if (event.KapGycm2 && event.ReferenceAirKermaMgy && *event.ReferenceAirKermaMgy > 0.0 &&
        reference) {
        // KAP is the same in every plane across the beam: area = KAP / kerma.
        const double areaCm2 = *event.KapGycm2 / (*event.ReferenceAirKermaMgy * 1e-3);
        if (const auto side = Plausible(std::sqrt(areaCm2) * exposure.FsdCm / *reference)) {
            exposure.FieldXCm = exposure.FieldYCm = *side;
            Assume(exposure, "field_x_cm", *side,
                   "no collimated field is recorded: a square field of the area of the "
                   "kerma-area product over the reference air kerma, brought to the skin");
            return;
        }
    }
    const double side = event.IsFluoroscopy() ? 20.0 : 30.0;
    exposure.FieldXCm = exposure.FieldYCm = side;
    Assume(exposure, "field_x_cm", side,
           event.IsFluoroscopy()
               ? "no field can be found from the record: 20 x 20 cm at the skin is taken, a "
                 "large fluoroscopy field (a smaller one would give a higher dose per KAP)"
               : "no field can be found from the record: 30 x 30 cm at the skin is taken, an "
                 "abdominal radiograph's field");
}

// The exposure's one form: the reference point's air kerma where its
// distance from the focus is known, else the kerma-area product, else a
// radiograph's entrance dose. False when the event gives none.
bool TakeExposure(const IrradiationEvent& event, EventExposure& exposure) {
    const std::optional<double> reference = ReferenceDistanceCm(event);
    if (event.ReferenceAirKermaMgy && reference) {
        exposure.ReferenceAirKermaMgy = event.ReferenceAirKermaMgy;
        exposure.ReferenceDistanceCm = reference;
    } else if (event.KapGycm2) {
        exposure.KapGycm2 = event.KapGycm2;
    } else if (event.EntranceDoseMgy) {
        exposure.EsakMgy = event.EntranceDoseMgy;
    } else {
        return false;
    }
    return true;
}

// What cannot be a measurement, named with its event and field.
void CheckValues(const IrradiationEvent& e, std::vector<Message>& problems) {
    const auto negative = [&](const std::optional<double>& value, MessageId field,
                              const char* unit) {
        if (value && *value < 0.0)
            problems.emplace_back(MessageId::RecordNegative,
                                  std::vector{Arg(e.Number), Arg(Message(field)),
                                              Arg(FormatC("%g", *value)), Arg(unit)});
    };
    negative(e.KapGycm2, MessageId::RecordKap, "Gy cm2");
    negative(e.ReferenceAirKermaMgy, MessageId::RecordReferenceKerma, "mGy");
    negative(e.EntranceDoseMgy, MessageId::RecordEntranceDose, "mGy");
    negative(e.CuMm, MessageId::RecordCopperFilter, "mm");
    negative(e.AlMm, MessageId::RecordAluminiumFilter, "mm");
    negative(e.Hvl1MmAl, MessageId::RecordHalfValueLayer, "mm Al");
}

// The problems, each on a line of its own after those before it, nested in
// halves: a record of thousands of events nests a dozen deep, not thousands.
Message::Argument ProblemLines(std::span<const Message> problems) {
    if (problems.empty())
        return Arg("");
    const std::size_t middle = problems.size() / 2;
    return Arg(Message(MessageId::RecordProblemLine,
                       {ProblemLines(problems.first(middle)), Arg(problems[middle]),
                        ProblemLines(problems.subspan(middle + 1))}));
}

std::string NameOf(const IrradiationEvent& event) {
    std::string name = "event " + std::to_string(event.Number);
    if (event.Plane == AcquisitionPlane::A)
        name += " plane A";
    else if (event.Plane == AcquisitionPlane::B)
        name += " plane B";
    return name;
}

} // namespace

std::vector<EventExposure> EventExposures(const DoseRecord& record, const RecordPatient& patient) {
    if (!(patient.ApThicknessCm > 0.0) || !(patient.LateralWidthCm > 0.0))
        throw DoseRecordError(MessageId::RecordNeedsPatient, {});
    std::vector<EventExposure> exposures;
    std::vector<Message> problems;
    for (const IrradiationEvent& event : record.Events) {
        CheckValues(event, problems);
        EventExposure exposure;
        exposure.Name = NameOf(event);
        exposure.EventNumber = event.Number;
        TakeVoltage(event, exposure);
        Assume(exposure, "rectification", AssumedRectification,
               "dose records do not give the generator's waveform: today's generators are "
               "high-frequency, closest to constant potential");
        TakeFilters(event, exposure);
        PlaceBeam(event, patient, exposure);
        if (!TakeExposure(event, exposure))
            problems.emplace_back(MessageId::RecordNoExposure, std::vector{Arg(event.Number)});
        TakeField(event, exposure);
        // The record does not place the field on the patient (table
        // positions are the equipment's); over the points is the worst case.
        Assume(exposure, "centre_left_cm", 0.0,
               "the record does not place the field on the patient: it is centred on the "
               "midline");
        Assume(exposure, "centre_head_cm", 0.0,
               "the record does not place the field on the patient: it is centred at the "
               "points' level");
        exposures.push_back(std::move(exposure));
    }
    if (!problems.empty()) {
        throw DoseRecordError(MessageId::RecordUnusable, {ProblemLines(problems)});
    }
    return exposures;
}

} // namespace veltrim
