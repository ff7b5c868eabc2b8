#pragma once

// A dose record written as a study document (JSON, "veltrim_study": 1):
// the patient and points the caller gave, one exposure per event with its
// defaults in "assumed" and what the event recorded in "event", and the
// record's own figures in "record".

#include "dicom/EventExposure.h"

#include <string>
#include <vector>

namespace veltrim {

std::string StudyJson(const DoseRecord& record, const std::vector<EventExposure>& exposures,
                      const RecordPatient& patient, const std::vector<RecordPoint>& points);

// The sum of the events' kerma-area products, Gy cm2 (none when no event
// records one), to set beside the record's own accumulated total.
std::optional<double> EventsKapGycm2(const DoseRecord& record);

const char* KindName(RecordKind kind);

} // namespace veltrim
