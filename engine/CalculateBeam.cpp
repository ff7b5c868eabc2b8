#include "engine/CalculateBeam.h"

#include "core/DataFile.h"
#include "core/ModelConstants.h"
#include "engine/BeamPoints.h"

#include <algorithm>
#include <cmath>
#include <exception>

namespace veltrim {

std::string BeamErrorText(const BeamError& error, Language language) {
    if (error.Stage() == BeamStage::DepthDose)
        return DepthDoseFailureText(language, error.Cause());
    return error.Cause().In(language);
}

SynthesizedSpectrum BeamSpectrum(const IrradiationConditions& conditions,
                                 const AttenuationTables& attenuation, double pi) {
    try {
        return SynthesizeSpectrum(conditions, attenuation, pi);
    } catch (const CalculationError& e) {
        throw BeamError(BeamStage::Spectrum, e.Cause());
    }
}

bool UsesFocusKernels(ScatterModel model, const IrradiationConditions& conditions) {
    return model == ScatterModel::Divergent && conditions.Fsd > 0;
}

DepthDoseRules ModelRules(ScatterModel model, DepthDoseRules rules) {
    if (model != ScatterModel::Classic)
        rules.CircleRingsWhole = false;
    return rules;
}

std::unique_ptr<DepthDoseCalculation>
BeamDepthDose(const EnergyTable& spectrum, const TissueTables& tissue, KernelSource& kernels,
              const IrradiationConditions& conditions, const DepthDoseSettings& settings) {
    try {
        return std::make_unique<DepthDoseCalculation>(CalculateDepthDose(
            spectrum, tissue, kernels, conditions, settings.MaxDepth, settings.Pi, settings.Rules));
    } catch (const CalculationError& e) {
        throw BeamError(BeamStage::DepthDose, e.Cause());
    } catch (const DataFileError& e) {
        throw BeamError(BeamStage::DepthDose,
                        Message(MessageId::CauseKernelFile, {Arg(e.Problem())}));
    } catch (const std::exception& e) {
        // Anything else the library throws: the same message, and the caller goes on.
        throw BeamError(BeamStage::DepthDose, Message(MessageId::CauseUnexpected, {Arg(e.what())}));
    }
}

void FailTissueTables(const DataFileError& error) {
    throw BeamError(BeamStage::TissueTables,
                    Message(MessageId::TissueLoadFailed, {Arg(error.Problem())}));
}

Message MediumDataProblem(Medium medium, const DataFileError& error) {
    return Message(MessageId::MediumDataFailed,
                   {Arg(Message(MediumName(medium))), Arg(error.Problem())});
}

Message KernelDataProblem(Medium medium, const DataFileError& error) {
    return medium == Medium::IcruFourComponent
               ? Message(MessageId::CauseKernelFile, {Arg(error.Problem())})
               : MediumDataProblem(medium, error);
}

namespace {

// The data's parallel-beam kernels, taken when the calculation reaches
// them: a damaged kernel file is told where reading it would have told it.
class DataKernelSource final : public KernelSource {
  public:
    DataKernelSource(const ModelData& data, Medium medium) : data_(data), medium_(medium) {}
    const ScatterKernelTable& Kernel(int energyKeV) override {
        return data_.Kernels(medium_).Kernel(energyKeV);
    }

  private:
    const ModelData& data_;
    Medium medium_;
};

} // namespace

// The point-focus sets at the FSD, or the data's parallel-beam set.
std::unique_ptr<KernelSource> BeamKernels(const IrradiationConditions& conditions,
                                          ScatterModel model, const ModelData& data,
                                          Medium medium) {
    if (!UsesFocusKernels(model, conditions))
        return std::make_unique<DataKernelSource>(data, medium);
    return TakeKernels(medium, [&] { return data.FocusKernels(conditions.Fsd, medium); });
}

namespace {

// Another medium's tables are all read before anything is computed, so that
// missing or damaged ones are told as that medium's, whichever is first
// needed.
void CheckMediumTables(Medium medium, const CalculationOptions& options, const ModelData& data) {
    if (medium == Medium::IcruFourComponent)
        return;
    try {
        data.Tissue(medium);
        if (!options.Kernels)
            data.Kernels(medium);
        if (options.Absolute || options.Given)
            data.SurfaceKernels(medium);
        if (options.ThicknessCm)
            data.ExitRatios(medium);
    } catch (const DataFileError& e) {
        throw BeamError(BeamStage::TissueTables, MediumDataProblem(medium, e));
    }
}

} // namespace

// The kernels of a slab from those of the thick phantom.
std::unique_ptr<KernelSource> SlabKernels(KernelSource& thick, double thicknessCm,
                                          const ModelData& data, Medium medium) {
    try {
        return std::make_unique<SlabKernelSource>(thick, data.ExitRatios(medium), thicknessCm);
    } catch (const DataFileError& e) {
        throw BeamError(BeamStage::DepthDose, KernelDataProblem(medium, e));
    }
}

namespace {

// The figures of the beam, or why there are none. Without an air path only
// the air kerma table is needed.
void AssessQuality(BeamResult& beam, double airCm, const ModelData& data) {
    BeamQualityResult quality;
    try {
        quality = airCm == 0.0
                      ? AssessBeamQuality(beam.Spectrum.Spectrum, data.Attenuation().MuAluminium,
                                          data.AirKerma())
                      : AssessBeamQuality(beam.Spectrum.Spectrum, data.Attenuation().MuAluminium,
                                          data.Air(), airCm);
    } catch (const DataFileError& e) {
        quality.Problem = e.what();
    }
    beam.Quality = quality.Quality;
    beam.QualityProblem = std::move(quality.Problem);
}

} // namespace

namespace {

// A finite phantom's tables (and points) end at its exit face.
double MaxDepthOf(const CalculationOptions& options) {
    return options.ThicknessCm ? std::min(ModelMaxDepth, *options.ThicknessCm) : ModelMaxDepth;
}

} // namespace

void CheckCalculable(const IrradiationConditions& conditions, const CalculationOptions& options) {
    if (!options.DepthDose)
        return;
    if (const std::optional<Message> problem = GeometryProblem(conditions))
        throw BeamError(BeamStage::Spectrum, *problem);
    if (options.ThicknessCm)
        if (const std::optional<Message> problem = ThicknessProblem(*options.ThicknessCm))
            throw BeamError(BeamStage::Spectrum, *problem);
    try {
        CheckPhantomPoints(conditions, static_cast<int>(DepthRowCount(MaxDepthOf(options))),
                           options.Points);
    } catch (const CalculationError& e) {
        throw BeamError(BeamStage::Spectrum, e.Cause());
    }
}

BeamResult CalculateBeam(const IrradiationConditions& conditions, const CalculationOptions& options,
                         const ModelData& data) {
    BeamResult beam;
    beam.Conditions = conditions;
    beam.Model = options.Model;
    beam.PhantomMedium = options.PhantomMedium;
    beam.ThicknessCm = options.ThicknessCm;
    const double maxDepth = MaxDepthOf(options);
    CheckCalculable(conditions, options);
    beam.Spectrum = BeamSpectrum(conditions, data.Attenuation());
    if (options.Quality)
        AssessQuality(beam, options.AirCm, data);
    if (!options.DepthDose)
        return beam;
    const Medium medium = options.PhantomMedium;
    CheckMediumTables(medium, options, data);
    const TissueTables* tissue = options.Tissue;
    try {
        if (!tissue)
            tissue = &data.Tissue(medium);
    } catch (const DataFileError& e) {
        FailTissueTables(e);
    }
    const std::unique_ptr<KernelSource> owned =
        options.Kernels ? nullptr : BeamKernels(conditions, options.Model, data, medium);
    KernelSource& kernels = options.Kernels ? *options.Kernels : *owned;
    const std::unique_ptr<KernelSource> slab =
        options.ThicknessCm ? SlabKernels(kernels, *options.ThicknessCm, data, medium) : nullptr;
    beam.DepthDose = BeamDepthDose(
        beam.Spectrum.Spectrum, *tissue, slab ? *slab : kernels, conditions,
        DepthDoseSettings{maxDepth, ModelPi, ModelRules(options.Model, options.Rules)});
    if (options.Absolute || options.Given) {
        const DepthDoseCalculation& depth = *beam.DepthDose;
        beam.Absolute = BeamAbsoluteDose(conditions, beam.Spectrum.Spectrum,
                                         {depth.Rows, depth.PrimaryDose, depth.ExactScatterDose},
                                         *tissue, data, options.Given, medium);
    }
    if (!options.Points.empty()) {
        // The divergent model's points off the axis need the classic kernels
        // too, as the untilted end of their rays' tilt (DivergentDoseAtPoints).
        // A caller's own kernels are taken as they are.
        const ClassicPointKernels classic =
            options.Kernels ? ClassicPointKernels{}
                            : ClassicKernelsForPoints(conditions, options.Model, medium,
                                                      options.ThicknessCm, data);
        beam.Points = BeamPointDoses(beam, options.Points, *tissue, slab ? *slab : kernels,
                                     classic.Get(), data);
    }
    return beam;
}

Hvl1Match MatchBeamHvl1(const IrradiationConditions& typed, double measuredHvl1Mm,
                        MatchFilter filter, double airCm, const ModelData& data) {
    return MatchBeamHvl1(typed, measuredHvl1Mm, filter, airCm, data.Attenuation(), data.Air());
}

Hvl1Match MatchBeamHvl1(const IrradiationConditions& typed, double measuredHvl1Mm,
                        MatchFilter filter, double airCm, const AttenuationTables& attenuation,
                        const AirTables& air) {
    return MatchHvl1(typed, attenuation, air, ModelPi, measuredHvl1Mm, filter, airCm);
}

std::unique_ptr<AbsoluteDose>
BeamAbsoluteDose(const IrradiationConditions& conditions, const EnergyTable& spectrum,
                 const DoseProfiles& depthDose, const TissueTables& tissue, const ModelData& data,
                 const std::optional<Exposure>& given, Medium medium) {
    try {
        auto absolute = std::make_unique<AbsoluteDose>();
        const int topBin = static_cast<int>(std::floor(2 * conditions.TubeVoltage));
        const SurfaceScatter surface = SurfaceScatterPerFluence(
            spectrum, tissue, data.SurfaceKernels(medium), HalveField(conditions), topBin, ModelPi);
        absolute->AirKermaPerFluence = AirKermaPerFluence(spectrum, data.AirKerma());
        absolute->PerKerma =
            DosePerIncidentAirKerma(depthDose.Rows, depthDose.Primary, depthDose.Scatter,
                                    absolute->AirKermaPerFluence, surface);
        if (given) {
            absolute->Given = given;
            absolute->IncidentAirKermaMgy =
                IncidentAirKerma(*given, conditions, absolute->PerKerma.Backscatter);
        }
        return absolute;
    } catch (const CalculationError& e) {
        throw BeamError(BeamStage::DepthDose, e.Cause());
    } catch (const DataFileError& e) {
        throw BeamError(BeamStage::DepthDose,
                        Message(MessageId::CauseKernelFile, {Arg(e.Problem())}));
    }
}

std::optional<ExitDose> BeamExitDose(const BeamResult& beam) {
    if (!beam.ThicknessCm || !beam.DepthDose)
        return std::nullopt;
    return ExitDoseOf(*beam.ThicknessCm, beam.DepthDose->Rows,
                      beam.Absolute ? &beam.Absolute->PerKerma : nullptr);
}

std::optional<ExitDose> ExitDoseOf(double thicknessCm, int rows, const DosePerAirKerma* perKerma) {
    if (!(thicknessCm <= 0.5 * rows) || rows < 2)
        return std::nullopt;
    ExitDose exit;
    exit.DepthCm = thicknessCm;
    if (perKerma) {
        exit.LastLayerPerKerma = perKerma->Total[perKerma->Rows];
        exit.SurfacePerKerma = DoseAtDepth(*perKerma, exit.DepthCm);
    }
    return exit;
}

} // namespace veltrim
