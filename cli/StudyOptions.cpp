#include "cli/OptionSetters.h"
#include "cli/StudyCommand.h"

#include <stdexcept>

namespace veltrim {

void AddInterestOption(CalcOptions& options, const std::string& value) {
    std::vector<std::string> parts(1);
    for (const char c : value) {
        if (c == ',')
            parts.emplace_back();
        else
            parts.back().push_back(c);
    }
    if (parts[0].empty() || (parts.size() != 2 && parts.size() != 4))
        throw std::invalid_argument("--interest takes NAME,DEPTH_CM[,LEFT_CM,HEAD_CM], not \"" +
                                    value + "\"");
    StudyPoint point;
    point.Name = parts[0];
    point.DepthCm = Number("--interest", parts[1]);
    if (parts.size() == 4) {
        point.LeftCm = Number("--interest", parts[2]);
        point.HeadCm = Number("--interest", parts[3]);
    }
    options.Interests.push_back(point);
}

void CheckStudyOptions(const CalcOptions& options, bool conditionGiven) {
    if ((options.Physicist || options.PatientId || options.Exam || options.ExamDate) &&
        !options.ReportFile)
        throw std::invalid_argument(
            "--physicist, --patient-id, --exam and --exam-date go with --report");
    if (!options.StudyFile) {
        if (options.ApThicknessCm || options.LateralWidthCm || !options.Interests.empty() ||
            options.SaveStudy)
            throw std::invalid_argument("--ap-thickness, --lateral-width, --interest and "
                                        "--save-study go with --study");
        return;
    }
    if (options.SaveStudy && options.SaveStudy->empty())
        throw std::invalid_argument("--save-study takes a file name, not an empty text");
    if (options.BatchFile)
        throw std::invalid_argument("--study and --batch are two runs: give one");
    // The study's exposures carry their beams, models and the patient's
    // medium; an option beside them would be silently ignored.
    const bool single = options.OffAxis() || options.PrintDose || options.DoseAt ||
                        options.PrintQuality || options.PrintSpectrum || options.Hvl1 ||
                        options.Given || options.OutFile || options.SaveBeamFile ||
                        options.BeamName || options.ThicknessCm || options.AirCm ||
                        options.MatchCopper || options.Model != ScatterModel::Classic ||
                        options.PhantomMedium != Medium::IcruFourComponent;
    if (conditionGiven || single)
        throw std::invalid_argument("--study takes its beams from its file: beside it go only "
                                    "--precise, --export-csv, --report, --data and the patient's "
                                    "and points' options");
}

} // namespace veltrim
