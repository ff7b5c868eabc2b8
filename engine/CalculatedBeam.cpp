#include "engine/CalculatedBeam.h"

#include "core/CFormat.h"
#include "core/DataFile.h"
#include "core/ModelConstants.h"
#include "core/NumberReading.h"
#include "engine/CalculateBeam.h"

namespace veltrim {
namespace {

// A typed text as a short number: what the calculation read from it, not
// the blanks or the letters around it ("30 cm" reads 30).
std::string Shown(const std::string& typed) {
    return FormatC("%g", ReadNumber(typed));
}

// The edition's comma before a phantom's thickness.
const char* ThicknessJoin(Language language) {
    return language == Language::Japanese ? "、" : ", ";
}

} // namespace

AirData AirDataOf(std::shared_ptr<const ModelData> data) {
    AirData air;
    try {
        air.Tables = &data->Air();
        air.Data = std::move(data);
    } catch (const DataFileError& e) {
        air.Problem = e.Problem();
    }
    return air;
}

CalculatedBeam RecordBeam(const ConditionTexts& typed, RectificationMethod rectification,
                          const EnergyTable& spectrum, const EnergyTable& muAluminium,
                          const AirData& air, ScatterModel model, Medium medium,
                          std::optional<double> thicknessCm) {
    CalculatedBeam beam;
    beam.Model = model;
    beam.PhantomMedium = medium;
    beam.ThicknessCm = thicknessCm;
    beam.Typed = typed;
    beam.Rectification = rectification;
    beam.Spectrum = spectrum;
    if (air.Tables)
        beam.Quality = AssessBeamQuality(spectrum, muAluminium, *air.Tables, 0.0).Quality;
    return beam;
}

FoundFilter FindFilterForHvl1(const IrradiationConditions& typed, double measuredHvl1Mm,
                              MatchFilter filter, double airCm,
                              const AttenuationTables& attenuation, const AirTables& air) {
    FoundFilter found;
    found.Match = MatchBeamHvl1(typed, measuredHvl1Mm, filter, airCm, attenuation, air);
    found.Spectrum = BeamSpectrum(found.Match.Conditions, attenuation).Spectrum;
    return found;
}

std::string DescribeBeam(const CalculatedBeam& beam, Language language) {
    const ConditionTexts& t = beam.Typed;
    // A second side of 0 is the window's way of asking for a circle.
    const std::string field =
        ReadNumber(t.FieldY) == 0.0
            ? Text(language, MessageId::QualityCircularField, {Shown(t.FieldX)})
            : Text(language, MessageId::QualityRectangularField,
                   {Shown(t.FieldX), Shown(t.FieldY)});
    return Text(language, MessageId::QualityBeamConditions,
                {Shown(t.TubeVoltage), Text(language, WaveformNamesOf(beam.Rectification).Wording),
                 Shown(t.InherentFiltration), Shown(t.AlFilter), Shown(t.CuFilter), Shown(t.Fsd),
                 field});
}

std::string PhantomText(Medium medium, std::optional<double> thicknessCm, Language language) {
    std::string text = Text(language, MediumName(medium));
    if (thicknessCm)
        text += ThicknessJoin(language) +
                Text(language, MessageId::DoseThicknessShown, {FormatC("%g", *thicknessCm)});
    return text;
}

std::string CurveEntry(int number, const CalculatedBeam& beam, Language language) {
    const std::string n = std::to_string(number);
    std::string model =
        Text(language, beam.Model == ScatterModel::Divergent ? MessageId::QualityScatterDivergent
                                                             : MessageId::QualityScatterClassic);
    if (beam.PhantomMedium != Medium::IcruFourComponent)
        model += ", " + Text(language, MediumName(beam.PhantomMedium));
    if (beam.ThicknessCm)
        model += ThicknessJoin(language) +
                 Text(language, MessageId::DoseThicknessShown, {FormatC("%g", *beam.ThicknessCm)});
    if (!beam.Quality)
        return Text(language, MessageId::QualityCurveNoHvl,
                    {n, DescribeBeam(beam, language), model});
    return Text(language, MessageId::QualityCurveEntry,
                {n, DescribeBeam(beam, language), FormatC("%.3f", beam.Quality->Hvl1MmAl), model});
}

} // namespace veltrim
