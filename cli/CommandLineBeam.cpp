// The beam the command line types: its conditions read as the window reads
// its fields, the air path and the measured HVL1 checked, the filter the HVL1
// finds written into the typed texts, and the beam saved for later runs.
#include "cli/CalcOutput.h"
#include "core/CFormat.h"
#include "core/Inputs.h"
#include "core/NumberReading.h"
#include "files/BeamFile.h"

#include <iostream>
#include <optional>

namespace veltrim {

IrradiationConditions TypedConditions(const CalcOptions& options, bool tellClamp) {
    IrradiationConditions conditions;
    if (tellClamp)
        for (const ConditionTextField& field : ConditionTextFields)
            if (const auto note = MistypedNumber(OptionOf(field), options.Texts.*field.Text))
                std::cerr << "veltrim-calc: warning: " << *note << '\n';
    if (const auto clamped = ReadConditions(options.Texts, conditions); clamped && tellClamp)
        std::cerr << "veltrim-calc: tube voltage held to " << *clamped << " kV\n";
    conditions.Rectification = static_cast<RectificationMethod>(options.Rectification);
    return conditions;
}

double AirPath(const CalcOptions& options) {
    if (!options.AirCm)
        return 0.0;
    const std::optional<double> cm = ReadWholeNumber(*options.AirCm);
    if (!cm || !inputs::AirPath.Allows(*cm))
        FailCalculation(MessageId::AirPathInvalid, {Arg(*options.AirCm)});
    return *cm;
}

void MatchMeasuredHvl1(CalcOptions& options, double airCm, const ModelData& data) {
    const std::optional<double> hvl1 = ReadWholeNumber(*options.Hvl1);
    if (!hvl1 || !inputs::MeasuredHvl1.Allows(*hvl1))
        FailCalculation(MessageId::Hvl1NotPositive, {Arg(*options.Hvl1)});
    const MatchFilter filter = options.MatchCopper ? MatchFilter::Copper : MatchFilter::Aluminium;
    const Hvl1Match match =
        MatchBeamHvl1(TypedConditions(options, false), *hvl1, filter, airCm, data);
    const std::string mm = AddedFilterText(match);
    (options.MatchCopper ? options.Texts.CuFilter : options.Texts.AlFilter) = mm;
    std::cerr << "veltrim-calc: "
              << Message(MessageId::Hvl1MatchedFilter,
                         {Arg(mm),
                          Arg(Message(options.MatchCopper ? MessageId::FilterCopper
                                                          : MessageId::FilterAluminium)),
                          Arg(FormatC("%.3f", *hvl1))})
                     .In(Language::English)
              << '\n';
}

bool SaveCommandLineBeam(const CalcOptions& options) {
    const std::filesystem::path& file = *options.SaveBeamFile;
    SavedBeam beam;
    beam.Name = options.BeamName ? *options.BeamName : file.stem().string();
    beam.Texts = options.Texts;
    beam.Rectification = static_cast<RectificationMethod>(options.Rectification);
    beam.DivergentScatter = options.Model == ScatterModel::Divergent;
    beam.MeasuredHvl1MmAl =
        options.Hvl1 ? ReadWholeNumber(*options.Hvl1) : options.BeamMeasuredHvl1;
    const ExposureParts& typed = options.ExposureTyped;
    beam.TubeOutputUgyPerMas = typed.TubeOutput ? typed.TubeOutput : options.BeamTubeOutput;
    beam.OutputDistanceCm = typed.TubeOutput ? typed.OutputDistanceCm : options.BeamOutputDistance;
    beam.PhantomMedium = options.PhantomMedium;
    beam.ThicknessCm = options.ThicknessCm;
    // The exposure as typed; a saved beam's when none was.
    beam.Exposure = ExposureOf(typed) ? typed : options.BeamExposure;
    if (options.AirCm)
        beam.AirCm = AirPath(options);
    const std::optional<std::string> bytes =
        MadeOrTold<BeamFileError>([&] { return BeamFileBytes(beam); });
    return bytes && WriteUserFile(file, *bytes, "the beam was not saved");
}

} // namespace veltrim
