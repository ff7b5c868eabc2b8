// The routines of the shared state, in the order a calculation calls them.
// Each reads what it needs from the state, calls the step of the physics
// that computes it, and publishes the result only when the step succeeded;
// a failure reaches the user through Messages in the edition's language.
#include "window/SharedState.h"

#include "core/CalculationError.h"
#include "core/DataFile.h"
#include "engine/CalculateBeam.h"

#include <algorithm>
#include <utility>

namespace veltrim {

SharedState::SharedState(MessageSink& messages, std::filesystem::path dataFolder,
                         std::filesystem::path workFolder)
    : Messages(messages), DataFolder(std::move(dataFolder)), WorkFolder(std::move(workFolder)) {}

bool SharedState::LoadAttenuationTables() {
    try {
        // Loaded afresh: this is the window's one reading of them.
        std::shared_ptr<const ModelData> data = ModelData::Load(DataFolder);
        Attenuation = data->Attenuation();
        data_ = std::move(data);
        AttenuationLoaded = true;
        return true;
    } catch (const DataFileError& e) {
        AttenuationLoaded = false;
        Messages.Show(Message(MessageId::AttenuationLoadFailed, {Arg(e.Problem())}).In(Edition));
        return false;
    }
}

std::shared_ptr<const ModelData> SharedState::SharedData() const {
    if (!data_)
        data_ = ModelData::Load(DataFolder);
    return data_;
}

const ModelData& SharedState::Data() const {
    return *SharedData();
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

bool SharedState::LoadTissueTables() {
    try {
        // The tables are taken up again at every calculation when a data
        // file changed since it was read.
        std::shared_ptr<const ModelData> data;
        try {
            data = data_ ? ModelData::Current(data_) : ModelData::Load(DataFolder);
            data_ = data;
            Tissue = data->Tissue(PhantomMedium);
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

CalculationOptions SharedState::Options() const {
    CalculationOptions options;
    options.Model = Model;
    options.PhantomMedium = PhantomMedium;
    options.ThicknessCm = ThicknessCm;
    return options;
}

std::optional<std::string> SharedState::Refusal() const {
    try {
        CheckCalculable(Conditions, Options());
        return std::nullopt;
    } catch (const BeamError& e) {
        return e.Cause().In(Edition);
    }
}

bool SharedState::ComputeDepthDose() {
    DepthDoseFailureCause.clear();
    if (!TissueTablesLoaded) {
        ReportDepthDoseFailure(Message(MessageId::CauseTissueNotLoaded));
        return false;
    }
    CircularField = HalveField(Conditions).Circle;
    try {
        CalculationOptions options = Options();
        // The tissue tables LoadTissueTables read.
        options.Tissue = &Tissue;
        auto beam = std::make_shared<BeamResult>(CalculateBeam(Conditions, options, Data()));
        const DepthDoseCalculation& calculation = *beam->DepthDose;
        // A table whose results file cannot be written is not published: the
        // graph would show it while the file, and every CSV saved from it,
        // still held the previous calculation.
        const DepthDoseTable& table = calculation.Table;
        if (!WriteResults(table, calculation.Rows, Conditions, Model, PhantomMedium, ThicknessCm))
            return false;
        ResultModel = Model;
        ResultMedium = PhantomMedium;
        ResultThicknessCm = ThicknessCm;
        ResultConditions = Conditions;
        PrimaryDose = calculation.PrimaryDose;
        ScatterDose = calculation.ScatterDose;
        ExactScatterDose = calculation.ExactScatterDose;
        ScatterByEnergy = calculation.ScatterByEnergy;
        // Rows beyond a thinner phantom's exit are none of this result's.
        for (int d = 1; d < DepthRowCapacity; ++d)
            DepthDoseResult[d] = d <= calculation.Rows ? table[d] : std::array<double, 4>{};
        DepthRowCount = calculation.Rows;
        LastBeam = std::move(beam);
        return true;
    } catch (const BeamError& e) {
        ReportDepthDoseFailure(e.Cause());
    } catch (const DataFileError& e) {
        // The attenuation tables, when they were never loaded.
        ReportDepthDoseFailure(Message(MessageId::CauseUnexpected, {Arg(e.what())}));
    }
    return false;
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
