// The routines of the shared state, in the order a calculation calls them.
// Each reads what it needs from the state, calls the step of the physics
// that computes it, and publishes the result only when the step succeeded;
// a failure reaches the user through Messages in the edition's language.
#include "window/SharedState.h"

#include "core/CalculationError.h"
#include "core/DataFile.h"
#include "dose/ScatterKernels.h"
#include "engine/CalculateBeam.h"

#include <algorithm>
#include <utility>

namespace veltrim {

SharedState::SharedState(MessageSink& messages, std::filesystem::path dataFolder,
                         std::filesystem::path workFolder)
    : Messages(messages), DataFolder(std::move(dataFolder)), WorkFolder(std::move(workFolder)) {}

bool SharedState::LoadAttenuationTables() {
    try {
        Attenuation = ReadAttenuationTables(DataFolder);
        AttenuationLoaded = true;
        return true;
    } catch (const DataFileError& e) {
        AttenuationLoaded = false;
        Messages.Show(Message(MessageId::AttenuationLoadFailed, {Arg(e.Problem())}).In(Edition));
        return false;
    }
}

std::optional<std::string> SharedState::ReadConditions(const ConditionTexts& texts) {
    return veltrim::ReadConditions(texts, Conditions);
}

void SharedState::SelectRectification(int method) {
    if (method >= 1 && method <= 3)
        Conditions.Rectification = static_cast<RectificationMethod>(method);
}

bool SharedState::SynthesizeSpectrum() {
    if (!AttenuationLoaded) {
        Messages.Show(Text(Edition, MessageId::AttenuationNotLoaded));
        return false;
    }
    try {
        const SynthesizedSpectrum synthesized = BeamSpectrum(Conditions, Attenuation, Pi);
        Spectrum = synthesized.Spectrum;
        PhaseSpectrum = synthesized.LastPhase;
        return true;
    } catch (const BeamError& e) {
        PhaseSpectrum.fill(0.0);
        Messages.Show(BeamErrorText(e, Edition));
        return false;
    }
}

std::filesystem::path SharedState::PhantomFolder() const {
    // The default's own folder as it was always named, so its messages stay.
    if (PhantomMedium == Medium::IcruFourComponent)
        return DataFolder;
    return DataFolder / MediumFolder(PhantomMedium);
}

bool SharedState::LoadTissueTables() {
    try {
        try {
            Tissue = ReadTissueTables(PhantomFolder());
        } catch (const DataFileError& e) {
            if (PhantomMedium != Medium::IcruFourComponent)
                throw BeamError(BeamStage::TissueTables, MediumDataProblem(PhantomMedium, e));
            FailTissueTables(e);
        }
        TissueTablesLoaded = true;
        return true;
    } catch (const BeamError& e) {
        TissueTablesLoaded = false;
        Messages.Show(BeamErrorText(e, Edition));
        return false;
    }
}

bool SharedState::ComputeDepthDose() {
    DepthDoseFailureCause.clear();
    if (!TissueTablesLoaded) {
        ReportDepthDoseFailure(Message(MessageId::CauseTissueNotLoaded));
        return false;
    }
    CircularField = HalveField(Conditions).Circle;
    if (ThicknessCm)
        if (const std::optional<Message> problem = ThicknessProblem(*ThicknessCm)) {
            ReportDepthDoseFailure(*problem);
            return false;
        }
    try {
        // The window reads the kernels afresh at every calculation; the
        // point-focus sets are read once and kept.
        std::unique_ptr<KernelSource> kernels;
        if (UsesFocusKernels(Model, Conditions)) {
            if (!focusKernels_ || focusMedium_ != PhantomMedium) {
                focusKernels_ = std::make_unique<FocusKernelLibrary>(PhantomFolder());
                focusMedium_ = PhantomMedium;
            }
            kernels = TakeKernels(PhantomMedium,
                                  [&] { return focusKernels_->SourceFor(Conditions.Fsd); });
        } else {
            kernels = std::make_unique<KernelFolderSource>(PhantomFolder());
        }
        const std::unique_ptr<KernelSource> slab =
            ThicknessCm ? SlabKernels(*kernels, *ThicknessCm) : nullptr;
        const double depth = ThicknessCm ? std::min(MaxDepth, *ThicknessCm) : MaxDepth;
        const std::unique_ptr<DepthDoseCalculation> calculation = BeamDepthDose(
            Spectrum, Tissue, slab ? *slab : *kernels, Conditions, {depth, Pi, ModelRules(Model)});
        // A table whose results file cannot be written is not published: the
        // graph would show it while the file, and every CSV saved from it,
        // still held the previous calculation.
        const DepthDoseTable& table = calculation->Table;
        if (!WriteResults(table, calculation->Rows, Conditions, Model, PhantomMedium, ThicknessCm))
            return false;
        ResultModel = Model;
        ResultMedium = PhantomMedium;
        ResultThicknessCm = ThicknessCm;
        ResultConditions = Conditions;
        PrimaryDose = calculation->PrimaryDose;
        ScatterDose = calculation->ScatterDose;
        ExactScatterDose = calculation->ExactScatterDose;
        ScatterByEnergy = calculation->ScatterByEnergy;
        // Rows beyond a thinner phantom's exit are none of this result's.
        for (int d = 1; d < DepthRowCapacity; ++d)
            DepthDoseResult[d] = d <= calculation->Rows ? table[d] : std::array<double, 4>{};
        DepthRowCount = calculation->Rows;
        return true;
    } catch (const BeamError& e) {
        ReportDepthDoseFailure(e.Cause());
    }
    return false;
}

std::unique_ptr<KernelSource> SharedState::SlabKernels(KernelSource& thick, double thicknessCm) {
    try {
        if (!exitRatios_ || exitMedium_ != PhantomMedium) {
            exitRatios_ = std::make_unique<ExitRatioSets>(ReadExitRatioSets(PhantomFolder()));
            exitMedium_ = PhantomMedium;
        }
        return std::make_unique<SlabKernelSource>(thick, *exitRatios_, thicknessCm);
    } catch (const DataFileError& e) {
        throw BeamError(BeamStage::DepthDose, KernelDataProblem(PhantomMedium, e));
    }
}

double SharedState::ResultDepth() const {
    return ResultThicknessCm ? std::min(MaxDepth, *ResultThicknessCm) : MaxDepth;
}

bool SharedState::WriteResultsFile() {
    return WriteResults(DepthDoseResult, DepthRowCount, ResultConditions, ResultModel, ResultMedium,
                        ResultThicknessCm);
}

bool SharedState::WriteResults(const DepthDoseTable& table, int rows,
                               const IrradiationConditions& conditions, ScatterModel model,
                               Medium medium, std::optional<double> thicknessCm) {
    try {
        ReplaceFile(WorkFolder / ResultsFile,
                    ResultsFileBytes(table, rows, conditions, model, medium, thicknessCm));
        return true;
    } catch (const ResultsFileError& e) {
        ReportDepthDoseFailure(Message(MessageId::CauseWorkingFile, {Arg(e.Problem())}));
    } catch (const std::exception& e) {
        ReportDepthDoseFailure(Message(MessageId::CauseUnexpected, {Arg(e.what())}));
    }
    return false;
}

void SharedState::ReportDepthDoseFailure(const Message& cause) {
    DepthDoseFailureCause = cause.In(Edition);
    // The fixed first line belongs to the window's own depth dose; a run
    // under the divergent model, another medium or a finite phantom is told
    // in the edition's words.
    const bool extended =
        Model != ScatterModel::Classic || PhantomMedium != Medium::IcruFourComponent || ThicknessCm;
    Messages.Show(extended
                      ? Text(Edition, MessageId::DepthDoseNotComputed) + "\n" + cause.In(Edition)
                      : DepthDoseFailureText(Edition, cause));
}

std::string ResultsFileBytes(const SharedState& state) {
    return ResultsFileBytes(state.DepthDoseResult, state.DepthRowCount, state.ResultConditions,
                            state.ResultModel, state.ResultMedium, state.ResultThicknessCm);
}

} // namespace veltrim
