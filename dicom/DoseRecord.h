#pragma once

// What a modality recorded about its irradiation events, in the units the
// rest of Veltrim uses (kV, mA, ms, mAs, mm of filter, Gy cm^2, mGy, cm,
// degrees), whatever units the file used. A value the file did not give
// stays empty: nothing here is a default.

#include "core/Messages.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace veltrim {

// A file that cannot be read as a dose record: the reason, for the user
// (what the file is and what Veltrim reads instead), in either language.
class DoseRecordError : public MessageError {
  public:
    using MessageError::MessageError;
    DoseRecordError(MessageId id, std::vector<Message::Argument> arguments)
        : MessageError(Message(id, std::move(arguments))) {}
};

// KindName's table follows this order.
enum class RecordKind { ProjectionRadiography, Fluoroscopy, ImageHeader };

// The plane of a biplane system an event belongs to (PlaneName's table in
// StudyJson.cpp follows this order).
enum class AcquisitionPlane { Single, A, B };

struct IrradiationEvent {
    int Number = 0; // 1-based, in the order of the record
    std::string Uid;
    std::string DateTime; // as recorded (DICOM DT: YYYYMMDDHHMMSS...)
    std::string Protocol;
    std::string Type; // "Fluoroscopy", "Stationary Acquisition", ... as recorded
    AcquisitionPlane Plane = AcquisitionPlane::Single;

    std::optional<double> Kvp;            // mean of the values recorded (several for a run)
    std::optional<double> TubeCurrentMa;  // mean of the values recorded
    std::optional<double> ExposureTimeMs; // total
    std::optional<double> Mas;
    // Added filters: mean of the minimum and maximum thickness (a wedge or a
    // strip is thinner at one edge), summed over the filters of one metal.
    std::optional<double> CuMm;
    std::optional<double> AlMm;
    std::vector<std::string> OtherFilters; // materials Veltrim does not model, as named
    std::optional<double> Hvl1MmAl;

    std::optional<double> KapGycm2;
    std::optional<double> ReferenceAirKermaMgy;
    std::string ReferencePointDefinition; // the code's meaning or the vendor's text

    std::optional<double> PrimaryAngleDeg;   // DICOM positioner primary angle: LAO positive
    std::optional<double> SecondaryAngleDeg; // cranial positive
    std::optional<double> SourceToDetectorCm;
    std::optional<double> SourceToIsocentreCm;
    std::optional<double> SourceToReferenceCm;
    std::optional<double> SourceToEntranceCm; // an image header's distance to the skin
    std::optional<double> SourceToPatientCm;  // an image header's distance to the patient
    std::optional<double> TableHeightCm;      // positions relative to the equipment's origin
    std::optional<double> TableLongitudinalCm;
    std::optional<double> TableLateralCm;
    // At the image receptor's plane.
    std::optional<double> CollimatedFieldHeightCm;
    std::optional<double> CollimatedFieldWidthCm;
    std::optional<double> CollimatedFieldAreaCm2;

    std::string PatientOrientation;         // "recumbent", "erect", ...
    std::string PatientOrientationModifier; // "supine", "prone", ...
    std::string View;                       // "AP", "PA", "LL", "antero-posterior", ...
    std::optional<double> BodyPartThicknessCm;
    std::optional<double> EntranceDoseMgy;

    bool IsFluoroscopy() const;
};

struct DoseRecord {
    RecordKind Kind = RecordKind::ProjectionRadiography;
    std::string Manufacturer;
    std::string Model;
    std::string StudyDate; // YYYYMMDD as recorded
    std::vector<IrradiationEvent> Events;
    // What the lenient reading left out or could not use, each named.
    std::vector<std::string> Skipped;
    // The record's own accumulated kerma-area product, summed over its planes.
    std::optional<double> AccumulatedKapGycm2;
    // SHA-256 of the file read, hex: which record a saved study came from.
    std::string FileSha256;
};

// Whether a regular file's content is DICOM Part 10: "DICM" at byte 128. Reads
// those four bytes only; false for anything it cannot open or read.
bool IsDicomFile(const std::filesystem::path& file);

// Reads a projection radiography or fluoroscopy dose record (an X-Ray
// Radiation Dose SR) or a radiograph's header. Throws DoseRecordError for
// a file that is not one (not DICOM, truncated, over 100 MB, a CT or a
// mammography record, a DICOM object without dose information, a record
// without any event).
DoseRecord ReadDoseRecord(const std::filesystem::path& file);

// The largest file read, bytes: a dose record is kilobytes, an image with
// its pixels megabytes.
inline constexpr std::uintmax_t LargestDoseFile = 100u * 1024u * 1024u;

} // namespace veltrim
