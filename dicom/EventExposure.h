#pragma once

// Each irradiation event of a dose record as an exposure of a study: the
// rules (docs/dose-records.md) that turn what the modality recorded into a
// beam, a geometry and an exposure in a box patient, with every default
// the record did not allow us to avoid named on the exposure.

#include "dicom/DoseRecord.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace veltrim {

// The patient and the points are not in a dose record: the caller gives them.
struct RecordPatient {
    double ApThicknessCm = 0.0;
    double LateralWidthCm = 0.0;
    std::string Medium = "icru-4";
};

struct RecordPoint {
    std::string Name;
    double DepthCm = 0.0; // below the anterior skin
    double LeftCm = 0.0;  // from the midline toward the patient's left
    double HeadCm = 0.0;  // toward the head
};

// A default the reader had to take: the study key, the value, and why.
struct Assumption {
    std::string Field;
    std::variant<double, std::string> Value;
    std::string Why;
};

// EntryName's table follows this order.
enum class EntrySide { Anterior, Posterior, Left, Right };
const char* EntryName(EntrySide side);

struct EventExposure {
    std::string Name;
    int EventNumber = 0;
    double Kv = 0.0;
    std::optional<double> AlMm, CuMm, Hvl1MmAl;
    EntrySide Entry = EntrySide::Anterior;
    double AngleDeg = 0.0; // obliquity about the long axis, see EntryOf
    double FsdCm = 0.0;
    double FieldXCm = 0.0, FieldYCm = 0.0; // at the skin
    double CentreLeftCm = 0.0, CentreHeadCm = 0.0;
    // One form of the exposure.
    std::optional<double> ReferenceAirKermaMgy, ReferenceDistanceCm;
    std::optional<double> KapGycm2;
    std::optional<double> EsakMgy;
    std::optional<double> TableTransmission; // beams that pass the table first
    std::vector<Assumption> Assumed;
};

// The exposures of every event, in the record's order. Throws
// DoseRecordError naming each event and field whose value cannot be a
// measurement (a negative kerma-area product or air kerma, a negative
// filter) or that gives no exposure at all.
std::vector<EventExposure> EventExposures(const DoseRecord& record, const RecordPatient& patient);

// The distance of the reference point from the focus, cm, from its
// definition ("15cm from Isocenter toward Source", "15cm below
// BeamIsocenter", "30cm in Front of Image Input Surface", "In Detector
// Plane", "530 mm from tube focus towards detector") and the event's
// distances; none when they do not give it.
std::optional<double> ReferenceDistanceCm(const IrradiationEvent& event);

// The tube voltage assumed when the record gives none, kV.
inline constexpr double AssumedKv = 80.0;
// The generator's waveform taken (the study's rectification 1, constant
// potential), which no dose record states.
inline constexpr double AssumedRectification = 1.0;
// The transmission of a table and mattress when the record does not say.
inline constexpr double AssumedTableTransmission = 0.8;

} // namespace veltrim
