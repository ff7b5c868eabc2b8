#pragma once

// The studies of the report, each a function from the data to what it found.
// The report's text and its checks are formed from these results only.

#include "spectrum/BeamQuality.h"
#include "tools/validate/AbsoluteStudies.h"
#include "tools/validate/Engine.h"
#include "tools/validate/References.h"
#include "tools/validate/SurfaceScatter.h"

#include <optional>
#include <string>
#include <vector>

namespace veltrim::validate {

// A data file of a figure: its name in the figure folder and its text.
struct FigureData {
    std::string Name;
    std::string Text;
};

// 1. The shipped tables against NIST, differences in per cent (program/NIST - 1).
struct DataStudy {
    struct Row {
        double EnergyKeV, TissueMu, TissueMuEn, AirMuEn, Tungsten, Aluminium, Copper;
    };
    std::vector<Row> Rows;
    double WorstTissueMu = 0, WorstTissueMuEn = 0, WorstAirMuEn = 0, WorstMetal = 0;
    // The tissue table's log-log interpolation against xraylib on every bin,
    // per cent, signed, and where it is largest (keV).
    double WorstInterpolation = 0, WorstInterpolationAt = 0;
    FigureData Interpolation;
};

// 2. Spectra and their beam qualities against measured and modelled beams.
struct SpectraStudy {
    struct Shape { // 12 degrees, 2.5 mm Al, per tube voltage and rectification
        int Kv, Rectification;
        BeamQuality Quality;
    };
    std::vector<Shape> Shapes;
    std::vector<FigureData> SpectrumFiles;
    std::string SpectrumPlot;
    struct PtbRow {
        refs::PtbRqr Reference;
        BeamQuality Bare, ThroughAirAndWindow;
    };
    std::vector<PtbRow> Ptb;
    struct EneaRow {
        refs::EneaRqr Reference;
        BeamQuality ThroughAir;
    };
    std::vector<EneaRow> Enea;
    struct ModelRow {
        double Kv, ModelHvl1;
        BeamQuality Quality;
    };
    std::vector<ModelRow> HernandezFernandez, Benmakhlouf;
    // 80 kV, 2.5 mm Al: at 12 degrees bare, with 1 m air, with 1 mm Be; at 20 degrees.
    BeamQuality At12, At12Air, At12Be, At20;
    // Fractions: largest |HVL/reference - 1| against PTB (air and window
    // applied), ENEA, and the SpekCalc mean energy.
    double WorstPtbHvl1 = 0, WorstPtbHvl2 = 0, WorstEnea = 0, WorstMeanEnergy = 0;
    double LargestAirShift = 0; // mm Al, PTB set-up
    // Per cent differences at 40 and 150 kV from PTB HVL1 and SpekCalc mean energy.
    double PtbHvl1At40 = 0, PtbHvl1At150 = 0, MeanEnergyAt40 = 0, MeanEnergyAt150 = 0;
};

// 2.4 Beams given by their measured HVL1: the aluminium that matches it, and
// the matched beam's other figures against the reference's.
struct MatchingStudy {
    struct PtbRow {
        refs::PtbRqr Reference;
        BeamQuality Before; // as the conditions give it, with the air path
        double AddedAlMm;
        BeamQuality Matched;
    };
    std::vector<PtbRow> Ptb;
    struct EneaRow {
        refs::EneaRqr Reference;
        BeamQuality Before;
        double AddedAlMm;
        BeamQuality Matched;
    };
    std::vector<EneaRow> Enea;
    double WorstHvl1Miss = 0;                             // mm Al
    double WorstPtbHvl2Before = 0, WorstPtbHvl2After = 0; // fractions
    double WorstMeanBefore = 0, WorstMeanAfter = 0;       // fractions, against SpekCalc
};

// Depths of the report's tables, cm, on row boundaries.
inline constexpr std::array<double, 4> TableDepths{1.0, 5.0, 10.0, 20.0};

// 3. The kernels' self-checks and the statistical uncertainty they give the PDD.
struct KernelStudy {
    bool SelfChecksPassed = false;
    std::string SelfChecks; // as veltrim-kernel-check prints them
    struct Row {
        IrradiationConditions Beam;
        std::array<double, 4> Sigma; // relative, at 1, 5, 10, 20 cm
    };
    std::vector<Row> Rows;
    double WorstSigma = 0; // relative, over the table
};

// 4. The PDD of the typical beams.
struct DepthDoseStudy {
    struct Row {
        IrradiationConditions Beam;
        std::array<double, 4> Pdd, Sigma; // at 1, 5, 10, 20 cm: per cent, PDD points
        double ScatterToPrimaryRow1;
    };
    std::vector<Row> Rows;
    std::vector<FigureData> Files;
    std::string Plot;
    int Computed = 0, Tried = 0;
};

// 4.1 Scatter-to-primary at the surface against backscatter factors.
struct SurfaceStudy {
    SurfaceTallySettings Settings;
    struct KernelRow { // parallel 30x30 cm, row 1
        int EnergyKeV;
        double Kernel, MonteCarlo, Sigma, Pull;
    };
    std::vector<KernelRow> KernelRows; // every second energy and the last
    double WorstPull = 0;
    struct LayerRow { // 80 kV, 30x30 cm
        double Depth, Ratio, Sigma;
    };
    std::vector<LayerRow> Layers;
    double Middle0 = 0, Middle1 = 0; // middle depths of the two thinnest layers, cm
    struct Row {
        double Kv, Hvl1, Side, BackscatterMinus1, Row1, Surface, SurfaceSigma, Divergent,
            Row1OverSurface;
    };
    std::vector<Row> Rows;
    FigureData Plot;
    // Ranges over the table, as ratios to B - 1 (or to B, of the total dose).
    double Low = 1e9, High = 0, DivergentLow = 1e9, DivergentHigh = 0, TotalLow = 1e9,
           TotalHigh = 0, Row1Low = 1e9, Row1High = 0, WorstRelativeSigma = 0;
};

// 4.2 How much a 10 % harder beam moves the PDD.
struct HardeningStudy {
    struct Row {
        double Kv, Hvl1, AddedAlMm;
        std::array<double, 3> Base, Hardened; // PDD at 5, 10, 20 cm
    };
    std::vector<Row> Rows;
    double Change10Low = 1e9, Change10High = 0; // fractions, at 10 cm
};

// 5. What each mended rule changes.
struct MendedStudy {
    int SameBits = 0, Probes = 0; // direct library call against the program's pipeline
    double UnmendedExample1 = 0, UnmendedExample2 = 0, MendedExample1 = 0, MendedExample2 = 0;
    std::string ZeroNodes; // where the kernels' node values are 0, 30x30 cm at FSD 100
    struct Change {
        double Points = 0;   // largest |difference| of the total PDD, PDD points
        double Relative = 0; // largest |difference| / mended value, fraction
        double Depth = 0;    // where the relative change is largest, cm
        double PointsAt5 = 0, PointsAt10 = 0, PointsAt20 = 0;
        bool Computed = true;
    };
    struct ZeroRow {
        double Kv;
        int Rectification;
        double InherentMm, Side;
        Change Effect;
    };
    std::vector<ZeroRow> ZeroRows;
    double ZeroWorst = 0, ZeroWorstAt25 = 0, ZeroPoints = 0, ZeroPointsAt25 = 0, ZeroAt20 = 0,
           ZeroAt10 = 0;
    bool ZeroChangesTo5 = false;
    struct CornerRow {
        double X, Y, Fsd;
        Change Effect;
    };
    std::vector<CornerRow> CornerRows; // the fields whose table changes or fails
    int CornerUnchanged = 0, CornerTried = 0, CornerFailed = 0;
    double CornerWorst = 0, CornerPoints = 0, CornerWide = 0;
    std::string CornerWorstField, CornerFailedFields, CornerFailure;
};

// 4.4 The divergent-beam scatter model against our own direct Monte Carlo
// of whole beams (tools/validate/direct/), and the 1/FSD interpolation of
// the point-focus sets against a set left out.
struct DivergentStudy {
    struct Point {
        double Depth;               // cm
        double Direct, DirectSigma; // total PDD, %
        double Classic, Divergent;  // total PDD, %
    };
    // The dose per unit incident air kerma (Gy/Gy) at a row's middle.
    struct Absolute {
        double Depth;               // cm
        double Direct, DirectSigma; // the direct run's total over the program's Ka,i per fluence
        double Classic, Divergent;
    };
    struct Beam {
        std::string Name;
        IrradiationConditions Conditions;
        std::vector<Point> Points;
        std::vector<Absolute> Absolutes;
        double DirectRatio = 0, DirectRatioSigma = 0; // scatter/primary of row 1
        double ClassicRatio = 0, DivergentRatio = 0;
        bool Ok = false;
        std::string Failure;
    };
    std::vector<Beam> Beams;
    // Largest |model / direct - 1| (fractions): PDD at 1-10 cm and at 20 cm,
    // row-1 S/P.
    struct Deviations {
        double Shallow = 0, At20 = 0, Ratio = 0;
    };
    Deviations Divergent, Classic;
    // Largest |program / direct - 1| of the dose per unit Ka,i, 0.25-20.25 cm.
    double WorstAbsolute = 0, ClassicAbsolute = 0;
    // The 60-cm set against the 50- and 75-cm sets interpolated in 1/FSD:
    // largest |difference| of a row sum over all rings (rows 1-60 above 1e-3
    // of row 1, every node energy), and of the total PDD of the 60-cm beam.
    double LeaveOneOutRowSum = 0, LeaveOneOutPdd = 0;
    int LeaveOneOutEnergy = 0, LeaveOneOutRow = 0;
};

// 4.9 Phantoms of finite thickness against direct Monte Carlo in the same
// slab: the dose per unit incident air kerma and the PDD at depths from
// 0.25 cm to the last layer; 4.11 the same in slabs of the other media.
struct ThicknessStudy {
    Medium Material = Medium::IcruFourComponent;
    struct Point {
        double Depth;               // cm
        double Direct, DirectSigma; // dose per unit Ka,i, Gy/Gy
        double Classic, Divergent;
        double DirectPdd, DirectPddSigma, ClassicPdd, DivergentPdd; // %
    };
    struct Beam {
        std::string Name;
        double Thickness = 0; // cm
        IrradiationConditions Conditions;
        std::vector<Point> Points;
        bool Ok = false;
        std::string Failure;
    };
    std::vector<Beam> Beams;
    // Largest |divergent / direct - 1| (fractions) of the dose per unit Ka,i
    // or the PDD, from 0.25 cm to 1 cm before the exit face (Body; rows
    // beyond 20 cm apart, Deep) and in the last centimetre (Exit): as it
    // stands, and beyond twice the direct run's relative 1-sigma (what the
    // check bounds); classic as it stands, dose per unit Ka,i.
    double Body = 0, Deep = 0, Exit = 0;
    double BodyBeyond = 0, DeepBeyond = 0, ExitBeyond = 0;
    double ClassicBody = 0, ClassicDeep = 0, ClassicExit = 0;
    int DeepRows = 0; // rows compared beyond 20 cm
};

// 4.10 The dose off the axis against direct Monte Carlo on vertical lines
// beside the axis (tools/validate/direct/offaxis/): total dose in % of the
// axis's first layer, for both scatter models.
struct OffAxisStudy {
    struct Point {
        std::string Beam;
        double X = 0, Depth = 0, BeyondEdge = 0; // cm; beyond the edge negative inside
        double Direct = 0, DirectSigma = 0;
        double Classic = 0, Divergent = 0;
        bool Computable = false; // within the kernels' reach
        bool Tail = false;       // its rings reach beyond the kernels' 40 cm
    };
    std::vector<Point> Points;
    // Largest |model / direct - 1| beyond twice the direct run's 1-sigma,
    // fractions: inside the field at least 1 cm from its edge, outside 1-10
    // cm and 10-20 cm beyond it.
    struct Deviations {
        double Inside = 0, Near = 0, Far = 0;
    };
    // The classic model's Inside is relative to its own axis at the same
    // depth, against the direct run's point over its axis: the lateral shape
    // without the model's axis deficit (section 4.4), which is bounded there.
    // Points whose rings need the kernels' tails beyond 40 cm are not in
    // the above: largest excess inside the field and anywhere beyond it (1
    // cm or more from the edge), for each model.
    struct TailDeviations {
        double Inside = 0, Beyond = 0;
    };
    Deviations Classic, Divergent;
    Deviations ClassicAsItStands;
    TailDeviations TailClassic, TailDivergent;
    int TailPoints = 0;
};

// 4.10 A circle's table, whose rings count whole, against each ring's exact
// share (the points, the absolute dose): 80 kV, FSD 100, the classic model.
struct CircleStudy {
    struct Row {
        double Diameter = 0;            // cm at the FSD
        double First = 0, At10 = 0;     // table / exact - 1 at 0.25 and 10.25 cm
        double Most = 0, MostDepth = 0; // the largest over the rows, and where
        double PddTable10 = 0, PddExact10 = 0;
    };
    std::vector<Row> Rows;
    double Most = 0, PddMost = 0; // largest dose excess; largest PDD difference at 10.25 cm
};

struct Findings {
    DataStudy Data;
    SpectraStudy Spectra;
    MatchingStudy Matching;
    KernelStudy Kernels;
    DepthDoseStudy DepthDose;
    std::optional<SurfaceStudy> Surface; // the Monte Carlo study, when run
    HardeningStudy Hardening;
    MendedStudy Mended;
    DivergentStudy Divergent;
    SurfaceDoseStudy SurfaceDose;
    MediumStudy Medium;
    ThicknessStudy Thickness;
    std::vector<ThicknessStudy> MediumSlabs; // water, ICRU-44 tissue, PMMA
    OffAxisStudy OffAxis;
    CircleStudy Circles;
};

DataStudy StudyData(const Engine& calc);
SpectraStudy StudySpectra(const Engine& calc);
MatchingStudy StudyMatching(const Engine& calc);
KernelStudy StudyKernels(const Engine& calc);
DepthDoseStudy StudyDepthDose(Engine& calc);
SurfaceStudy StudySurface(Engine& calc, const SurfaceTallySettings& settings);
HardeningStudy StudyHardening(Engine& calc);
MendedStudy StudyMendedFaults(Engine& calc);
// `directFolder` holds the direct Monte Carlo tables of the beams.
DivergentStudy StudyDivergent(Engine& calc, const std::filesystem::path& directFolder);
ThicknessStudy StudyThickness(Engine& calc, const std::filesystem::path& directFolder,
                              Medium medium = Medium::IcruFourComponent);
// `folder` holds the off-axis direct tables.
OffAxisStudy StudyOffAxis(Engine& calc, const std::filesystem::path& folder);
CircleStudy StudyCircles(Engine& calc);

// The beams of the depth-dose section: 60/80/100/120 kV, 2.5 mm Al, 12
// degrees, constant potential, fields 10/20/30 cm square, FSD 60 and 100 cm.
std::vector<IrradiationConditions> TypicalBeams();

// Relative 1-sigma (fraction) of the total PDD of every row that the
// per-row statistics of the kernels imply for a beam (statistics.csv), rows
// 1..60; index 0 unused.
DepthProfile PddStatisticalSigma(const Engine& calc, const IrradiationConditions& beam);

// PDD at a depth on a row boundary (1, 5, 10, 20 cm): the mean of the two
// rows either side.
double AtDepth(const DepthProfile& rows, double depth);

// "constant potential", "three-phase 12-peak", "single-phase full-wave".
const char* RectificationName(int rectification);

// Beam quality of a spectrum, air-kerma weighted.
BeamQuality QualityOf(const Engine& calc, const EnergyTable& spectrum);

} // namespace veltrim::validate
