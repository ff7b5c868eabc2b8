// The routines of the shared state, in the order a calculation calls them.
// Each reads what it needs from the state, calls the step of the physics
// that computes it, and publishes the result only when the step succeeded;
// a failure reaches the user through Messages in the edition's language.
#include "calculation/SharedState.h"

#include "core/CalculationError.h"
#include "core/DataFile.h"
#include "dose/PreloadedData.h"
#include "dose/ScatterKernels.h"
#include "spectrum/SynthesizeSpectrum.h"

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
        const SynthesizedSpectrum synthesized =
            veltrim::SynthesizeSpectrum(Conditions, Attenuation, Pi);
        Spectrum = synthesized.Spectrum;
        PhaseSpectrum = synthesized.LastPhase;
        return true;
    } catch (const CalculationError& e) {
        PhaseSpectrum.fill(0.0);
        Messages.Show(e.Cause().In(Edition));
        return false;
    }
}

bool SharedState::LoadTissueTables() {
    try {
        Tissue = Preloaded ? Preloaded->Tissue : ReadTissueTables(DataFolder);
        TissueTablesLoaded = true;
        return true;
    } catch (const DataFileError& e) {
        TissueTablesLoaded = false;
        Messages.Show(Message(MessageId::TissueLoadFailed, {Arg(e.Problem())}).In(Edition));
        return false;
    }
}

bool SharedState::ComputeDepthDose() {
    DepthDoseFailureCause.clear();
    if (!TissueTablesLoaded) {
        ReportDepthDoseFailure(Message(MessageId::CauseTissueNotLoaded));
        return false;
    }
    // The conditions record holds the ordered half sides from here on, the
    // larger in FieldX, as the results file and the routines after it expect.
    const IrradiationConditions typed = Conditions;
    const FieldHalfSides field = HalveField(typed);
    Conditions.FieldX = field.X;
    Conditions.FieldY = field.Y;
    CircularField = field.Circle;
    try {
        std::unique_ptr<KernelSource> fromFolder;
        std::unique_ptr<KernelSource> fromMemory;
        KernelSource* kernels = nullptr;
        const ScatterModel model = Model;
        // A divergent calculation at an FSD the classic one refuses (zero,
        // not a number) goes on to the classic check, which names the cause.
        if (model == ScatterModel::Divergent && typed.Fsd > 0) {
            if (!focusKernels_)
                focusKernels_ = std::make_unique<FocusKernelLibrary>(DataFolder);
            fromMemory = focusKernels_->SourceFor(typed.Fsd);
            kernels = fromMemory.get();
        } else if (Preloaded) {
            fromMemory = std::make_unique<KernelSetSource>(Preloaded->Kernels);
            kernels = fromMemory.get();
        } else {
            fromFolder = std::make_unique<KernelFolderSource>(DataFolder);
            kernels = fromFolder.get();
        }
        const auto calculation = std::make_unique<DepthDoseCalculation>(
            CalculateDepthDose(Spectrum, Tissue, *kernels, typed, MaxDepth, Pi));
        // A table whose results file cannot be written is not published: the
        // graph would show it while the file, and every CSV saved from it,
        // still held the previous calculation.
        const DepthDoseTable& table = calculation->Table;
        if (!WriteResults(table, calculation->Rows, model))
            return false;
        ResultModel = model;
        PrimaryDose = calculation->PrimaryDose;
        ScatterDose = calculation->ScatterDose;
        ScatterByEnergy = calculation->ScatterByEnergy;
        for (int d = 1; d <= calculation->Rows; ++d)
            DepthDoseResult[d] = table[d];
        DepthRowCount = calculation->Rows;
        return true;
    } catch (const CalculationError& e) {
        ReportDepthDoseFailure(e.Cause());
    } catch (const DataFileError& e) {
        ReportDepthDoseFailure(Message(MessageId::CauseKernelFile, {Arg(e.Problem())}));
    } catch (const std::exception& e) {
        // Anything else the library throws: the same message, and the window goes on.
        ReportDepthDoseFailure(Message(MessageId::CauseUnexpected, {Arg(e.what())}));
    }
    return false;
}

bool SharedState::WriteResultsFile() {
    return WriteResults(DepthDoseResult, DepthRowCount, ResultModel);
}

bool SharedState::WriteResults(const DepthDoseTable& table, int rows, ScatterModel model) {
    try {
        ReplaceFile(WorkFolder / ResultsFile, ResultsFileBytes(table, rows, Conditions, model));
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
    Messages.Show(DepthDoseFailureText(Edition, cause));
}

std::string ResultsFileBytes(const SharedState& state) {
    return ResultsFileBytes(state.DepthDoseResult, state.DepthRowCount, state.Conditions,
                            state.ResultModel);
}

} // namespace veltrim
