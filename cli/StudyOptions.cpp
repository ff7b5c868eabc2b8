#include "cli/StudyCommand.h"

#include <stdexcept>

namespace veltrim {

void CheckStudyOptions(const CalcOptions& options, bool conditionGiven) {
    if (!options.StudyFile) {
        if (options.Physicist)
            throw std::invalid_argument("--physicist goes with --study and --report");
        return;
    }
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
                                    "--precise, --export-csv, --report and --data");
}

} // namespace veltrim
