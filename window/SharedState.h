#pragma once

#include "core/Conditions.h"
#include "core/Grids.h"
#include "core/MessageSink.h"
#include "core/ModelConstants.h"
#include "dose/DepthDose.h"
#include "dose/Medium.h"
#include "dose/TissueTables.h"
#include "engine/CalculateBeam.h"
#include "engine/ModelData.h"
#include "files/ResultsFile.h"
#include "spectrum/AttenuationTables.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace veltrim {

// The state of one run of the program: conditions, constants, flags, data
// tables, the spectrum, the work tables and the depth-dose result. The
// computation routines take no arguments and talk to each other only through
// this object; the window owns one, tests and benchmarks make as many as they
// like.
//
// Data files are opened by their bare names relative to DataFolder, the
// working file is written in WorkFolder (both the working folder of the
// program by default). Every failure reaches the user through Messages; the
// routines that can fail return false after reporting it.
//
// The tables come from the process's one ModelData of DataFolder (Data()),
// which the side windows and the beam history share; each calculation looks
// whether a data file changed since it was read and reads it again only then.
// The depth dose is CalculateBeam's, and its whole result is kept (LastBeam).
class SharedState {
  public:
    explicit SharedState(MessageSink& messages, std::filesystem::path dataFolder = ".",
                         std::filesystem::path workFolder = ".");

    // --- conditions, constants and flags ---
    IrradiationConditions Conditions;
    double MaxDepth = ModelMaxDepth; // cm
    double Pi = ModelPi;
    Language Edition = Language::English;
    std::int16_t ResultsReady = 0;
    std::int16_t CursorPlaced = 0;
    int CursorRow = 0; // the row under the depth cursor, 1..60 once placed; kept across clears

    // --- spectrum ---
    AttenuationTables Attenuation;
    bool AttenuationLoaded = false;
    EnergyTable Spectrum{};
    EnergyTable PhaseSpectrum{};

    // --- tissue and primary-dose tables ---
    TissueTables Tissue;
    bool TissueTablesLoaded = false;

    // --- depth-dose work tables and result ---
    DepthProfile PrimaryDose{};
    DepthProfile ScatterDose{};
    // With each ring's exact share, for the absolute dose (DepthDoseCalculation).
    DepthProfile ExactScatterDose{};
    std::array<DepthProfile, EnergyBinCount> ScatterByEnergy{};
    bool CircularField = false;
    int DepthRowCount = 0; // rows of DepthDoseResult filled by the last calculation
    DepthDoseTable DepthDoseResult{};
    // The scatter model of the following calculations, and the one that
    // made DepthDoseResult.
    ScatterModel Model = ScatterModel::Classic;
    ScatterModel ResultModel = ScatterModel::Classic;
    // The phantom's material of the following calculations (its tables are
    // read at each OK like the tissue's), and the one of DepthDoseResult.
    Medium PhantomMedium = Medium::IcruFourComponent;
    Medium ResultMedium = Medium::IcruFourComponent;
    // A phantom this many cm thick for the following calculations (none: the
    // thick phantom), and that of DepthDoseResult, whose rows end at its exit.
    std::optional<double> ThicknessCm;
    std::optional<double> ResultThicknessCm;
    IrradiationConditions ResultConditions; // the conditions that made DepthDoseResult
    // Why the last depth-dose calculation failed, in the edition's language:
    // the second line of the window's message, veltrim-calc's standard error.
    std::string DepthDoseFailureCause;

    // --- routines ---
    // Reads the three attenuation tables (once, at window load), loading
    // the model's data afresh.
    bool LoadAttenuationTables();
    // Reads the typed texts into Conditions; gives back the clamp text for Text1.
    std::optional<std::string> ReadConditions(const ConditionTexts& texts);
    // Bound to the three option buttons: 1, 2 or 3.
    void SelectRectification(int method);
    // Fills Spectrum for the current conditions.
    bool SynthesizeSpectrum();
    // The phantom medium's ICRUSoft.dat and Primary.dat with PrimaryDoseTable,
    // from the model's data once any data file that changed has been taken up.
    bool LoadTissueTables();
    // Primary and scatter depth dose, normalised to row 1; writes the results file.
    bool ComputeDepthDose();
    // Why the conditions, scatter model and phantom cannot be calculated, in
    // the edition's language; none when they can.
    std::optional<std::string> Refusal() const;
    // Writes the results file "PDD_tempDATA.txt" in WorkFolder.
    bool WriteResultsFile();
    // Shows the depth-dose failure with its cause, in the edition's language.
    void ReportDepthDoseFailure(const Message& cause);
    // The depth DepthDoseResult reaches, cm: MaxDepth, or a thinner
    // phantom's exit face.
    double ResultDepth() const;

    // The model's data of DataFolder, read at the first need; throws the
    // attenuation tables' DataFileError when they cannot be read.
    const ModelData& Data() const;
    std::shared_ptr<const ModelData> SharedData() const;
    // The calculation that made DepthDoseResult; null before the first one.
    std::shared_ptr<const BeamResult> LastBeam;

    // Whether a calculation of this state is under way (RunCalculation sets
    // it); a second one must not start from one of its yields.
    bool CalculationUnderWay = false;

    MessageSink& Messages;
    std::filesystem::path DataFolder;
    std::filesystem::path WorkFolder;
    // The results file, relative to WorkFolder; veltrim-calc --out names another.
    std::filesystem::path ResultsFile = ResultsFileName;

  private:
    // Replaces the results file with that of `table`; reports a failure as
    // the depth-dose failure.
    bool WriteResults(const DepthDoseTable& table, int rows,
                      const IrradiationConditions& conditions, ScatterModel model, Medium medium,
                      std::optional<double> thicknessCm);
    CalculationOptions Options() const;
    mutable std::shared_ptr<const ModelData> data_;
};

// The bytes of the results file of the state's last calculation.
std::string ResultsFileBytes(const SharedState& state);

} // namespace veltrim
