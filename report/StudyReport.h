#pragma once

// What the PDF report of a study says (English): the study's identifiers,
// the patient and points, each exposure's beam, geometry and exposure, the
// dose at each point per exposure and in total with its range, what was
// assumed or lies beyond validation, the model, the program's version and
// the data set's checksum. The page layout is the report layer's.

#include "engine/ComputeStudy.h"
#include "report/ReportContent.h"

#include <filesystem>
#include <string>

namespace veltrim {

struct StudyReportRequest {
    std::string Physicist;  // as typed; empty: a line to sign on
    std::string ReportTime; // date and time the report is made
    std::string DataIdentity;
};

// The date and time now, as the report gives it ("2026-12-09 03:21 UTC").
std::string ReportTimeNow();

ReportContent StudyReportOf(const Study& study, const StudyResult& result,
                            const StudyReportRequest& request);

// A checksum of every regular file under the data folder, with its name
// relative to the folder, in name order (64-bit FNV-1a, hexadecimal): the
// data set's identity without its place on the disk.
std::string DataIdentity(const std::filesystem::path& folder);

} // namespace veltrim
