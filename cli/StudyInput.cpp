#include "cli/StudyInput.h"

#include "cli/CalcOutput.h"
#include "core/DataFile.h"
#include "dicom/DoseRecordLoader.h"
#include "files/StudyFile.h"

#include <iostream>

namespace veltrim {
namespace {

// The study document of a dose record, in the study file's layout, with
// the patient and points of the options. Throws DoseRecordError.
std::string RecordStudyText(const CalcOptions& options) {
    const RecordPatient patient{*options.ApThicknessCm, *options.LateralWidthCm};
    std::vector<RecordPoint> points;
    for (const StudyPoint& p : options.Interests)
        points.push_back({p.Name, p.DepthCm, p.LeftCm, p.HeadCm});
    return LoadedRecordStudy(*options.StudyFile, patient, points);
}

// The options' patient and points in place of the file's, before the study
// is checked: a file may leave its points to --interest.
void Override(const CalcOptions& options, Study& study) {
    if (options.ApThicknessCm)
        study.Patient.ApThicknessCm = *options.ApThicknessCm;
    if (options.LateralWidthCm)
        study.Patient.LateralWidthCm = *options.LateralWidthCm;
    if (!options.Interests.empty())
        study.Points = options.Interests;
    if (study.Points.empty())
        throw StudyError("points: the study names no point; add one to the file or give "
                         "--interest NAME,DEPTH_CM[,LEFT_CM,HEAD_CM]");
}

} // namespace

std::optional<Study> ReadStudyInput(const CalcOptions& options, int& status) {
    status = 1;
    const std::filesystem::path& file = *options.StudyFile;
    try {
        if (!IsDicomFile(file)) {
            Study study = ReadStudyFile(file, [&options](Study& read) { Override(options, read); });
            if (options.SaveStudy && !WriteUserFile(*options.SaveStudy, StudyFileBytes(study),
                                                    "could not save the study"))
                return std::nullopt;
            return study;
        }
        if (!options.ApThicknessCm || !options.LateralWidthCm || options.Interests.empty()) {
            std::cerr << "veltrim-calc: a dose record gives neither the patient's size nor the "
                         "points: add --ap-thickness CM, --lateral-width CM and --interest "
                         "NAME,DEPTH_CM[,LEFT_CM,HEAD_CM]\n";
            status = 2;
            return std::nullopt;
        }
        const std::string text = RecordStudyText(options);
        if (options.SaveStudy &&
            !WriteUserFile(*options.SaveStudy, text, "could not save the study"))
            return std::nullopt;
        return ParseStudy(text, PrintableText(file.string(), 4096));
    } catch (const DoseRecordError& e) {
        std::cerr << "veltrim-calc: " << e.what() << '\n';
    } catch (const StudyError& e) {
        std::cerr << "veltrim-calc: " << e.what() << '\n';
    }
    return std::nullopt;
}

} // namespace veltrim
