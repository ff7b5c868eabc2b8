#pragma once

// What the PDF report of a study says (English): the study's identifiers,
// the patient and points, each exposure's beam, geometry and exposure, the
// dose at each point per exposure and in total with its range, what was
// assumed or lies beyond validation, the model, the program's version and
// the data set's checksum. The page layout is the report layer's.

#include "engine/ComputeStudy.h"
#include "report/ReportContent.h"

namespace veltrim {

// The header's identifiers as typed, each blank one taken from the study's
// own (its file's "study" object).
ReportContent StudyReportOf(const Study& study, const StudyResult& result,
                            const ReportHeader& header);

} // namespace veltrim
