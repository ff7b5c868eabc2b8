#pragma once

// The two readers behind ReadDoseRecord, one per kind of DICOM object; both
// throw DoseRecordError for an object that is not what Veltrim computes.

#include "dicom/DoseRecord.h"

class DcmDataset;
class DSRDocument;

namespace veltrim {

// What Veltrim computes instead, for the records it refuses.
inline constexpr const char* CtRefusal =
    "Veltrim computes the depth dose of projection radiography and fluoroscopy beams "
    "(30-150 kV) entering a box patient, not a CT scanner's rotating fan beam; the record's "
    "CTDIvol and DLP belong in a CT dose tool.";
inline constexpr const char* MammographyRefusal =
    "Veltrim computes the depth dose of tungsten-anode beams of 30-150 kV in soft tissue, not "
    "mammography's molybdenum-, rhodium- or silver-filtered beams in a compressed breast; the "
    "record's average glandular dose is the figure for it.";

// The events and totals of an X-Ray Radiation Dose SR read by DCMTK; items
// that could not be used are added to record.Skipped with their event.
void ReadRadiationDoseSr(DSRDocument& document, DoseRecord& record);

// The one exposure an image's header describes.
void ReadImageHeader(DcmDataset& dataset, DoseRecord& record);

} // namespace veltrim
