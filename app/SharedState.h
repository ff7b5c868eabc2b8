#pragma once

#include "app/Conditions.h"
#include "app/MessageSink.h"
#include "spectrum/AttenuationTables.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace veltrim {

struct PreloadedData;

// Depth rows: row d is the tissue layer from 0.5(d-1) to 0.5d cm; rows 0..80.
inline constexpr int DepthRowCapacity = 81;
// Rings around the beam axis, 0.5 cm wide, 1..80 (index 0 unused).
inline constexpr int RingCapacity = 81;
// Rows of the tissue table, 1..37 (index 0 unused).
inline constexpr int TissueRowCapacity = 37;
// The working results file, rewritten by every successful calculation.
inline constexpr const char* ResultsFileName = "PDD_tempDATA.txt";

// One row of the tissue attenuation table: three partial linear attenuation
// coefficients (1/cm) at a photon energy (keV).
struct TissueRow {
    double MuPart1 = 0.0;
    double MuPart2 = 0.0;
    double MuPart3 = 0.0;
    double EnergyKeV = 0.0;
    bool operator==(const TissueRow&) const = default;
};

// Columns of DepthDoseResult; column 0 is not used.
enum DepthDoseColumn { PrimaryPdd = 1, ScatterPdd = 2, TotalPdd = 3 };
using DepthDoseTable = std::array<std::array<double, 4>, DepthRowCapacity>;

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
class SharedState {
  public:
    explicit SharedState(MessageSink& messages, std::filesystem::path dataFolder = ".",
                         std::filesystem::path workFolder = ".");

    // --- conditions, constants and flags ---
    IrradiationConditions Conditions;
    double MaxDepth = 30.0; // cm
    double Pi = 3.14159;    // five decimals, not pi: the results depend on it
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
    std::array<TissueRow, TissueRowCapacity + 1> TissueTable{};
    int TissueRowCount = 0;
    std::array<double, 31> PrimaryDoseNodes{}; // node j: 5j keV, j = 2..30
    EnergyTable PrimaryDoseTable{};            // bins 21..300
    bool TissueTablesLoaded = false;

    // --- depth-dose work tables and result ---
    std::array<double, DepthRowCapacity> PrimaryDose{};
    std::array<double, DepthRowCapacity> ScatterDose{};
    std::array<std::array<double, DepthRowCapacity>, EnergyBinCount> ScatterByEnergy{};
    std::array<std::array<double, DepthRowCapacity>, RingCapacity> ScatterKernel{}; // [ring][row]
    bool CircularField = false;
    int DepthRowCount = 0; // rows of DepthDoseResult filled by the last calculation
    DepthDoseTable DepthDoseResult{};
    // Why the last depth-dose calculation failed, in the edition's language:
    // the second line of the window's message, veltrim-calc's standard error.
    std::string DepthDoseFailureCause;

    // --- routines ---
    // Reads the three attenuation tables (once, at window load).
    bool LoadAttenuationTables();
    // Reads the typed texts into Conditions; gives back the clamp text for Text1.
    std::optional<std::string> ReadConditions(const ConditionTexts& texts);
    // Bound to the three option buttons: 1, 2 or 3.
    void SelectRectification(int method);
    // Fills Spectrum for the current conditions.
    bool SynthesizeSpectrum();
    // Reads ICRUSoft.dat and Primary.dat and builds PrimaryDoseTable.
    bool LoadTissueTables();
    // Primary and scatter depth dose, normalised to row 1; writes the results file.
    bool ComputeDepthDose();
    // Writes the results file "PDD_tempDATA.txt" in WorkFolder.
    bool WriteResultsFile();
    // Shows the depth-dose failure with its cause, in the edition's language.
    void ReportDepthDoseFailure(const Message& cause);

    MessageSink& Messages;
    std::filesystem::path DataFolder;
    std::filesystem::path WorkFolder;
    // The tissue, primary-dose and kernel files held in memory, read instead
    // of the disk when set (see dose/PreloadedData.h).
    std::shared_ptr<const PreloadedData> Preloaded;
    // The results file, relative to WorkFolder; veltrim-calc --out names another.
    std::filesystem::path ResultsFile = ResultsFileName;
};

} // namespace veltrim
