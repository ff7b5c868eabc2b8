#include "cli/StudyCommand.h"

#include "calculation/StudyFile.h"
#include "calculation/StudyTable.h"
#include "cli/StandardOutput.h"
#include "core/FileReplacing.h"

#include <cstring>
#include <iostream>

namespace veltrim {

int RunStudyCommand(const CalcOptions& options, const ModelData& data) {
    try {
        const Study study = ReadStudyFile(*options.StudyFile);
        const StudyResult result = ComputeStudy(study, data);
        if (options.ExportCsv) {
            const ReplaceOutcome outcome = ReplaceFileContents(
                *options.ExportCsv, StudyTableText(study, result, true), Durability::Synced);
            if (!outcome.Replaced()) {
                std::cerr << "veltrim-calc: the study was not exported to \""
                          << options.ExportCsv->string() << "\": "
                          << (outcome.Step == ReplaceStep::NotRegular
                                  ? "that name is not a regular file"
                                  : std::string(std::strerror(outcome.Error)))
                          << '\n';
                return 1;
            }
        }
        if (!WriteOut(StudyTableText(study, result, options.Precise)))
            return 1;
        return FlushOut() ? 0 : 1;
    } catch (const StudyError& e) {
        std::cerr << "veltrim-calc: " << e.what() << '\n';
        return 1;
    }
}

} // namespace veltrim
