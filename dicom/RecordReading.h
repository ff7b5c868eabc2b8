#pragma once

// The two readers behind ReadDoseRecord, one per kind of DICOM object; both
// throw DoseRecordError for an object that is not what Veltrim computes.

#include "dicom/DoseRecord.h"

class DcmDataset;
class DSRDocument;

namespace veltrim {

// The events and totals of an X-Ray Radiation Dose SR read by DCMTK; items
// that could not be used are added to record.Skipped with their event.
void ReadRadiationDoseSr(DSRDocument& document, DoseRecord& record);

// The one exposure an image's header describes.
void ReadImageHeader(DcmDataset& dataset, DoseRecord& record);

} // namespace veltrim
