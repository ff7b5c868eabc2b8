#pragma once

// The one calculation of a beam: every front end (the window's routines,
// veltrim-calc and its batch, the Python module, the validation report)
// reaches the physics through the functions of this file.

#include "core/CalculationError.h"
#include "core/Conditions.h"
#include "core/DataFile.h"
#include "core/Language.h"
#include "core/ModelConstants.h"
#include "dose/AbsoluteDose.h"
#include "dose/DepthDose.h"
#include "dose/Exposure.h"
#include "dose/FocusKernels.h"
#include "dose/PointDose.h"
#include "dose/SlabKernels.h"
#include "engine/ModelData.h"
#include "spectrum/BeamQuality.h"
#include "spectrum/HvlMatching.h"
#include "spectrum/SynthesizeSpectrum.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace veltrim {

// Where a calculation stopped, for front ends that word the failure
// differently by step (the window heads a depth-dose failure with its own
// first line).
enum class BeamStage { Spectrum, TissueTables, DepthDose };

// A calculation that could not form its result: the cause, as the step that
// failed words it.
class BeamError : public CalculationError {
  public:
    BeamError(BeamStage stage, Message cause) : CalculationError(std::move(cause)), stage_(stage) {}
    BeamStage Stage() const { return stage_; }

  private:
    BeamStage stage_;
};

// The failure as the window shows it, in the edition's language.
std::string BeamErrorText(const BeamError& error, Language language);

struct CalculationOptions {
    ScatterModel Model = ScatterModel::Classic;
    // The phantom's material; depths are in cm of it.
    Medium PhantomMedium = Medium::IcruFourComponent;
    // The depth dose; without it only the spectrum (and its quality).
    bool DepthDose = true;
    // The beam quality, measured at the end of AirCm of dry air; it never
    // changes the depth dose.
    bool Quality = false;
    double AirCm = 0.0;
    // The dose in absolute terms (with the depth dose): per unit incident
    // air kerma, and in mGy for an exposure when one is given.
    bool Absolute = false;
    std::optional<Exposure> Given;
    // A phantom of this many cm (none: the thick phantom, 60 cm, as the
    // kernels were made); the tables end at its exit face.
    std::optional<double> ThicknessCm;
    // The dose at points anywhere in the phantom (with the depth dose).
    std::vector<PhantomPoint> Points;
    // Studies only: other kernels than the data's, and the earlier rules.
    KernelSource* Kernels = nullptr;
    // Other tissue and primary-dose tables than the data's of the medium
    // (the window's state holds those it read for the calculation).
    const TissueTables* Tissue = nullptr;
    DepthDoseRules Rules{};
};

// The dose of a beam in absolute terms.
struct AbsoluteDose {
    DosePerAirKerma PerKerma;        // Gy per Gy of Ka,i
    double AirKermaPerFluence = 0.0; // keV cm2/g
    // With an exposure: how it was given and the Ka,i it makes (mGy).
    std::optional<Exposure> Given;
    double IncidentAirKermaMgy = 0.0;

    double EntranceSurfaceAirKermaMgy() const { return PerKerma.Backscatter * IncidentAirKermaMgy; }
    // A dose per unit Ka,i in mGy.
    double Mgy(double perKerma) const { return perKerma * IncidentAirKermaMgy; }
    // A dose per unit fluence at the surface (keV cm2/g) in mGy.
    double MgyOfFluenceDose(double perFluence) const {
        return Mgy(perFluence / AirKermaPerFluence);
    }
};

struct BeamResult {
    IrradiationConditions Conditions; // as given
    ScatterModel Model = ScatterModel::Classic;
    Medium PhantomMedium = Medium::IcruFourComponent;
    std::optional<double> ThicknessCm;
    SynthesizedSpectrum Spectrum;
    // With options.Quality: the figures, or why there are none (missing air
    // tables, a spectrum without air kerma).
    std::optional<BeamQuality> Quality;
    std::string QualityProblem;
    // With options.DepthDose.
    std::unique_ptr<DepthDoseCalculation> DepthDose;
    // With options.Absolute.
    std::unique_ptr<AbsoluteDose> Absolute;
    // With options.Points: the dose at each, per unit fluence (BeamPoints.h).
    std::vector<PointDose> Points;
};

// The spectrum, quality and depth dose of a beam. Throws BeamError naming
// the step and the cause; a geometry the depth dose cannot take is refused
// (as a Spectrum-step error) before anything is computed.
BeamResult CalculateBeam(const IrradiationConditions& conditions, const CalculationOptions& options,
                         const ModelData& data);

// Refuses, before anything is computed, a geometry the depth dose cannot
// take, a phantom thickness out of reach and points outside the phantom:
// throws BeamError (Spectrum) with the cause. CalculateBeam calls it first.
void CheckCalculable(const IrradiationConditions& conditions, const CalculationOptions& options);

// The added filter that gives a measured first half-value layer (see
// MatchHvl1). Throws CalculationError; a missing air table, DataFileError.
Hvl1Match MatchBeamHvl1(const IrradiationConditions& typed, double measuredHvl1Mm,
                        MatchFilter filter, double airCm, const ModelData& data);
// The same over tables at hand (the window's).
Hvl1Match MatchBeamHvl1(const IrradiationConditions& typed, double measuredHvl1Mm,
                        MatchFilter filter, double airCm, const AttenuationTables& attenuation,
                        const AirTables& air);

// The exit face of a finite phantom whose tables reach it: its depth and
// (with the absolute dose) the dose per unit Ka,i in the last layer and at
// the face itself. The face lies a quarter layer below the last middle;
// DoseAtDepth carries the last two layers' slope in log dose on to it.
struct ExitDose {
    double DepthCm = 0.0;
    std::optional<double> LastLayerPerKerma;
    std::optional<double> SurfacePerKerma;
};
// None for the thick phantom and for a phantom thicker than the tables.
std::optional<ExitDose> BeamExitDose(const BeamResult& beam);
// The same of a table of `rows` rows (and per unit Ka,i when `perKerma` is
// given) for a phantom `thicknessCm` thick.
std::optional<ExitDose> ExitDoseOf(double thicknessCm, int rows, const DosePerAirKerma* perKerma);

// --- the steps CalculateBeam is made of, which the window's routines call
// one at a time ---

// The filtered spectrum (with the model's pi unless the window's state
// holds another). Throws BeamError (Spectrum).
SynthesizedSpectrum BeamSpectrum(const IrradiationConditions& conditions,
                                 const AttenuationTables& attenuation, double pi = ModelPi);

// Whether the scatter comes from the point-focus sets. A divergent
// calculation at an FSD the classic one refuses (zero, not a number) goes on
// to the classic check, which names the cause.
bool UsesFocusKernels(ScatterModel model, const IrradiationConditions& conditions);

// The rules of a model's table: the classic model's counts a circle's rings
// whole, as it always has; every other model takes each ring's exact share.
DepthDoseRules ModelRules(ScatterModel model, DepthDoseRules rules = {});

// The depth dose to the model's depth (or the window state's). Throws
// BeamError (DepthDose) with the cause: the calculation's own, an unreadable
// kernel file, or anything else.
struct DepthDoseSettings {
    double MaxDepth = ModelMaxDepth;
    double Pi = ModelPi;
    DepthDoseRules Rules{};
};
std::unique_ptr<DepthDoseCalculation>
BeamDepthDose(const EnergyTable& spectrum, const TissueTables& tissue, KernelSource& kernels,
              const IrradiationConditions& conditions, const DepthDoseSettings& settings = {});

// The absolute quantities of a calculated depth dose (per unit fluence, as
// DepthDoseCalculation or the window's state hold it), with the surface
// kernels and the air kerma table of `data`. Throws BeamError (DepthDose).
struct DoseProfiles {
    int Rows = 0;
    const DepthProfile& Primary;
    const DepthProfile& Scatter;
};
std::unique_ptr<AbsoluteDose>
BeamAbsoluteDose(const IrradiationConditions& conditions, const EnergyTable& spectrum,
                 const DoseProfiles& depthDose, const TissueTables& tissue, const ModelData& data,
                 const std::optional<Exposure>& given, Medium medium = Medium::IcruFourComponent);

// The scatter kernels of a beam's model at its FSD. Throws BeamError (DepthDose).
std::unique_ptr<KernelSource> BeamKernels(const IrradiationConditions& conditions,
                                          ScatterModel model, const ModelData& data,
                                          Medium medium = Medium::IcruFourComponent);

// The kernels of a slab `thicknessCm` thick of the medium from those of the
// thick phantom, which they read (keep `thick` alive). Throws BeamError
// (DepthDose).
std::unique_ptr<KernelSource> SlabKernels(KernelSource& thick, double thicknessCm,
                                          const ModelData& data, Medium medium);

// Turns a tissue-table reading failure into the step's error.
[[noreturn]] void FailTissueTables(const DataFileError& error);

// A reading failure of the tables of a medium other than the four-component
// tissue: its name and the file's problem.
Message MediumDataProblem(Medium medium, const DataFileError& error);

// A kernel file's reading failure: the four-component kernels' file problem
// as such, another medium's as that medium's data.
Message KernelDataProblem(Medium medium, const DataFileError& error);

// Runs `take`, a look-up of kernels, telling its failure as the depth-dose
// step's.
template <class Take> auto TakeKernels(Medium medium, Take take) -> decltype(take()) {
    try {
        return take();
    } catch (const CalculationError& e) {
        throw BeamError(BeamStage::DepthDose, e.Cause());
    } catch (const DataFileError& e) {
        throw BeamError(BeamStage::DepthDose, KernelDataProblem(medium, e));
    }
}

} // namespace veltrim
