#pragma once

// An examination: a patient taken as a box of tissue, the named points where
// the dose is wanted, and every exposure of the study, each entering from
// its own side. Coordinates of the patient, cm: `left` from the midline
// toward the patient's left, `head` toward the head, `depth` below the
// anterior skin (0 to the AP thickness).

#include "core/Conditions.h"
#include "core/JsonReading.h"
#include "core/Messages.h"
#include "dose/Exposure.h"
#include "dose/FocusKernels.h"
#include "dose/Medium.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace veltrim {

// The layout of the study file written; a later one is refused.
inline constexpr int StudyFileFormat = 1;

struct StudyPatient {
    double ApThicknessCm = 0.0;
    double LateralWidthCm = 0.0;
    Medium PatientMedium = Medium::IcruFourComponent;
};

struct StudyPoint {
    std::string Name;
    double DepthCm = 0.0; // below the anterior skin
    double LeftCm = 0.0;
    double HeadCm = 0.0;
    // Half-widths of the ranges each may lie in, cm.
    double DepthUncertaintyCm = 0.0;
    double LeftUncertaintyCm = 0.0;
    double HeadUncertaintyCm = 0.0;
};

enum class BeamEntry { Anterior, Posterior, Left, Right };

// A default taken for a missing figure, by the dose-record reader or by the
// computation, named in every output: the key it stands for, its value as
// written, and why it was taken.
struct AssumedValue {
    std::string Field;
    std::string Value; // as JSON text: a number's shortest form or a quoted string
    std::string Why;
    bool operator==(const AssumedValue&) const = default;
};

// How the exposure was stated. The reference air kerma is the kerma free in
// air at a point ReferenceDistanceCm from the focus on the central ray, as
// a dose record gives it.
struct StudyExposureForm {
    ExposureParts Parts;
    std::optional<double> ReferenceAirKermaMgy;
    std::optional<double> ReferenceDistanceCm;
};

struct StudyExposure {
    std::string Name;
    BeamEntry Entry = BeamEntry::Anterior;
    // About the long axis, one sense for every side: anterior toward the
    // patient's left, left toward posterior, posterior toward the right
    // (DICOM's LAO positive).
    double AngleDeg = 0.0;
    // The beam as typed: kV, waveform, filters (mm), target angle (degrees).
    double TubeVoltage = 0.0;
    RectificationMethod Rectification = RectificationMethod::ConstantPotential;
    std::optional<double> AlMm;
    std::optional<double> CuMm;
    std::optional<double> TargetAngleDeg;
    std::optional<double> InherentAlMm;
    std::optional<double> MeasuredHvl1MmAl; // the added Al is found to give it
    ScatterModel Model = ScatterModel::Divergent;
    double FsdCm = 0.0;
    // Sides at the skin; x runs left-right for anterior and posterior entry
    // and front-back for lateral entry, y head-foot.
    double FieldXCm = 0.0;
    double FieldYCm = 0.0;
    double CentreLeftCm = 0.0;
    double CentreHeadCm = 0.0;
    std::optional<double> CentreDepthCm; // none: half the AP thickness
    StudyExposureForm Form;
    std::optional<double> UncertaintyPct; // none: the form's default
    int Repeats = 1;
    // The table the beam passes before the skin: a factor in (0, 1] on the
    // air kerma, or mm Al that also hardens the beam.
    std::optional<double> TableTransmission;
    std::optional<double> TableAlMm;
    std::vector<AssumedValue> Assumed;
    // A dose record's event, carried through unchanged.
    std::optional<JsonValue> Event;
};

struct Study {
    StudyPatient Patient;
    std::vector<StudyPoint> Points;
    std::vector<StudyExposure> Exposures;
    // Carried through unchanged: the source record and the study's
    // identifiers (patient, exam, date).
    std::optional<JsonValue> Record;
    std::optional<JsonValue> Identifiers;
};

// A study that cannot be read or computed: Problem() in the edition's
// language, what() the English that veltrim-calc and Python print.
class StudyError : public MessageError {
  public:
    using MessageError::MessageError;
    StudyError(MessageId id, std::vector<Message::Argument> arguments)
        : MessageError(Message(id, std::move(arguments))) {}
    // A refusal worded in English alone.
    explicit StudyError(const std::string& english)
        : MessageError(Message(MessageId::StudyRefused, {Arg(english)})) {}
};

const char* EntryKey(BeamEntry entry);
std::optional<BeamEntry> EntryFromKey(std::string_view key);

} // namespace veltrim
