#include "cli/StudyCommand.h"

#include "cli/StandardOutput.h"
#include "cli/StudyInput.h"
#include "core/FileReplacing.h"
#include "engine/DataLocation.h"
#include "files/StudyFile.h"
#include "files/StudyTable.h"
#include "report/StudyReport.h"
#ifdef VELTRIM_REPORTS
#include "report/ReportLoader.h"
#endif

#include <cstring>
#include <iostream>

namespace veltrim {
namespace {

// `bytes` to a file the user named, through the one writer; false, with the
// reason on standard error, when it was not written.
bool WriteNamed(const std::filesystem::path& file, const std::string& bytes, const char* what) {
    const ReplaceOutcome outcome = ReplaceFileContents(file, bytes, Durability::Synced);
    if (outcome.Replaced())
        return true;
    std::cerr << "veltrim-calc: " << what << " \"" << file.string() << "\": "
              << (outcome.Step == ReplaceStep::NotRegular
                      ? "that name is not a regular file"
                      : std::string(std::strerror(outcome.Error)))
              << '\n';
    return false;
}

bool WriteStudyReport(const CalcOptions& options, const Study& study, const StudyResult& result,
                      const ModelData& data) {
#ifdef VELTRIM_REPORTS
    const ReportHeader request{
        options.PatientId.value_or(""), options.Exam.value_or(""), options.ExamDate.value_or(""),
        options.Physicist.value_or(""), ReportTimeNow(),           DataIdentity(data.Folder())};
    std::string pdf;
    try {
        pdf = LoadedReportPdf(StudyReportOf(study, result, request));
    } catch (const ReportUnavailable& e) {
        std::cerr << "veltrim-calc: the report was not written: " << e.what() << '\n';
        return false;
    }
    return WriteNamed(*options.ReportFile, pdf, "the report was not written to");
#else
    (void)options, (void)study, (void)result, (void)data;
    std::cerr << "veltrim-calc: this build has no PDF reports (it was built without Qt)\n";
    return false;
#endif
}

} // namespace

int RunStudyCommand(const CalcOptions& options, const ModelData& data) {
    int status = 1;
    const std::optional<Study> read = ReadStudyInput(options, status);
    if (!read)
        return status;
    try {
        const Study& study = *read;
        const StudyResult result = ComputeStudy(study, data);
        if (options.ExportCsv &&
            !WriteNamed(*options.ExportCsv, StudyTableText(study, result, true),
                        "the study was not exported to"))
            return 1;
        if (options.ReportFile && !WriteStudyReport(options, study, result, data))
            return 1;
        if (!WriteOut(StudyTableText(study, result, options.Precise)))
            return 1;
        return FlushOut() ? 0 : 1;
    } catch (const StudyError& e) {
        std::cerr << "veltrim-calc: " << e.what() << '\n';
        return 1;
    }
}

} // namespace veltrim
