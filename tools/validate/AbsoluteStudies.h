#pragma once

// The studies of the dose in absolute terms (sections 4.5-4.8): the entrance
// surface and the dose at a depth against the direct Monte Carlo runs, the
// primary part against a sum over the tables done here, and the medium: the
// phantom's tissue against water and ICRU-44 tissue, and the backscatter
// factor against published water values.

#include "core/Conditions.h"
#include "tools/validate/DirectRuns.h"

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace veltrim::validate {

class Engine;

struct SurfaceDoseStudy {
    // The entrance surface of a direct beam; [0] classic, [1] divergent.
    struct Beam {
        std::string Name;
        DirectSurface Direct;
        double Backscatter[2]{}, Surface[2]{};      // B, and the surface dose per unit Ka,i
        double DirectDose = 0, DirectDoseSigma = 0; // per unit Ka,i
        double ScatterTissueExcess = 0; // the program's surface scatter over the run's, - 1
    };
    std::vector<Beam> Beams;
    // Largest |program / direct - 1| over beams and models, and the direct
    // runs' largest relative 1-sigma.
    double WorstBackscatter = 0, WorstSurface = 0, SigmaBackscatter = 0, SigmaSurface = 0;

    // The dose at a depth: the program's interpolation laid over a run's own
    // 0.5-cm rows and surface, against the same run's 0.1-cm rows (at their
    // middles); and the program's own dose at a depth (divergent) against them.
    struct Span {
        std::string Beam;
        double From = 0, To = 0; // cm
        int Rows = 0;
        double Mean = 0, Rms = 0;                   // of interpolation / fine row - 1
        double Largest = 0, LargestAt = 0;          // signed, and its depth
        double LargestPull = 0;                     // largest |difference| / the row's 1-sigma
        double MedianSigma = 0;                     // the fine rows' relative 1-sigma
        double ProgramMean = 0, ProgramLargest = 0; // the program's dose at a depth
    };
    std::vector<Span> Spans;
    double WorstSpanMean = 0, WorstProgramMean = 0;

    // The primary part against a sum over the tables, reference beam.
    struct HandRow {
        double Depth, Program, Hand;
    };
    std::vector<HandRow> Hand;
    double HandWorst = 1;        // largest |program / hand - 1|
    double BelowTablesShare = 1; // of the air kerma, photons below the tables' 10.5 keV
};

struct MediumStudy {
    // Spectrum-weighted (mu_en/rho)_medium / (mu_en/rho)_air of a beam (air
    // kerma weighted, free in air), and TG-61's water/air at its HVL1.
    struct Ratio {
        std::string Beam;
        double Hvl1 = 0;
        double Icru4 = 0, Icru44 = 0, Water = 0, Tg61 = 0;
    };
    std::vector<Ratio> Ratios;
    // Per cent: ICRU-4 below water and below ICRU-44; our water/air from TG-61.
    double BelowWaterLow = 1e9, BelowWaterHigh = 0, BelowIcru44Low = 1e9, BelowIcru44High = 0;
    double WorstTg61 = 0;

    // B of a beam matched to a published kV and HVL1, square field.
    struct Backscatter {
        double Kv = 0, Hvl1 = 0, AddedAlMm = 0, Side = 0;
        double Published = 0;        // water kerma, water phantom
        double Air = 0, Tissue = 0;  // the program's B in air kerma and in tissue kerma
        double AlbedoChange = 0;     // water's single-scatter albedo over tissue's - 1
        double InWater = 0;          // the program's B converted to a water phantom
        double ConversionSpread = 0; // half the range of the conversion, on B
        double OwnWater = 0;         // B in water kerma in a water phantom, water's own kernels
    };
    std::vector<Backscatter> Rows;
    double ConversionLow = 1e9, ConversionHigh = -1e9;  // per cent on B, tissue -> water
    double SpreadHigh = 0;                              // per cent on B
    double KermaLow = 1e9, KermaHigh = -1e9;            // tissue-kerma over air-kerma B, per cent
    double WorstDifference = 0, WorstDifferenceRaw = 0; // |InWater / published - 1|, unconverted
    double MeanDifference = 0;                          // signed, per cent
    // OwnWater against the published B, per cent, and |OwnWater / published - 1|.
    double OwnWaterLow = 1e9, OwnWaterHigh = -1e9, WorstOwnWater = 0;
};

// `directFolder` holds the direct Monte Carlo runs.
SurfaceDoseStudy StudySurfaceDose(const Engine& calc, const std::filesystem::path& directFolder);
// The NIST tables of water and ICRU-44 tissue are read from tools/datagen/nist/
// beside the data folder.
MediumStudy StudyMedium(const Engine& calc);

} // namespace veltrim::validate
