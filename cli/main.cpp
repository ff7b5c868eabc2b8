// veltrim-calc: the command-line front end over the calculation library.
// It reads its options, loads the data folder once and dispatches on what
// was asked: a batch, the beam quality, the dose in mGy, the spectrum or
// the depth dose.
#include "cli/BatchCommand.h"
#include "cli/CalcOptions.h"
#include "cli/CalcOutput.h"
#include "cli/OptionTable.h"
#include "cli/StandardOutput.h"
#include "cli/StudyCommand.h"
#include "core/DataFile.h"
#include "core/FileReplacing.h"
#include "engine/CalculateBeam.h"
#include "engine/DataLocation.h"
#include "engine/ModelData.h"

#include <iostream>
#include <stdexcept>

namespace {

using namespace veltrim;

std::filesystem::path ExecutablePath(const char* argv0) {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path(argv0) : self;
}

int Run(CalcOptions& options, const ModelData& data) {
    double airCm = 0.0;
    if (options.Hvl1 || options.PrintQuality || options.AirCm) {
        airCm = AirPath(options);
        data.Air();
        if (options.Hvl1)
            MatchMeasuredHvl1(options, airCm, data);
    }
    // Saved once the conditions are final: with the filter --hvl1 found.
    if (options.SaveBeamFile && !SaveCommandLineBeam(options))
        return 1;
    if (options.ReportFile && !WriteCommandLineReport(options, airCm, data))
        return 1;
    if (options.OffAxis())
        return PrintOffAxis(options, data);
    if (options.PrintQuality)
        return PrintQuality(options, airCm, data);
    if (options.PrintDose || options.DoseAt)
        return PrintDose(options, data);
    if (options.PrintSpectrum)
        return PrintSpectrum(options, airCm, data);
    return PrintDepthDose(options, data);
}

int Main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    CalcOptions options;
    try {
        options = ParseCalcOptions(args);
    } catch (const std::invalid_argument& e) {
        std::cerr << "veltrim-calc: " << e.what() << '\n';
        return 2;
    }
    if (options.Help) {
        std::cout << CalcUsage();
        return 0;
    }
    const std::filesystem::path dataFolder =
        options.DataFolder ? *options.DataFolder : FindDataFolder(ExecutablePath(argv[0]));
    if (options.BatchFile)
        return RunBatchCommand(options, dataFolder);
    // A single run ends at Ctrl-C as before, without leaving the hidden
    // temporary of a file it was writing.
    RemoveTemporariesOnSignals();

    std::shared_ptr<const ModelData> data;
    try {
        data = ModelData::Load(dataFolder);
    } catch (const DataFileError& e) {
        std::cerr
            << Message(MessageId::AttenuationLoadFailed, {Arg(e.Problem())}).In(Language::English)
            << '\n';
        return 1;
    }
    if (options.StudyFile)
        return RunStudyCommand(options, *data);
    try {
        return Run(options, *data);
    } catch (const BeamError& e) {
        return ReportFailure(e);
    } catch (const CalculationError& e) {
        std::cerr << "veltrim-calc: " << e.what() << '\n';
    } catch (const DataFileError& e) {
        std::cerr << "veltrim-calc: " << e.what() << '\n';
    }
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    HoldStandardOutput();
    return FinishStandardOutput(Main(argc, argv));
}
