#include "engine/StudyBeams.h"

#include "core/CFormat.h"
#include "core/DataFile.h"
#include "core/ModelConstants.h"
#include "engine/CalculateBeam.h"
#include "engine/StudyGeometry.h"

#include <cmath>
#include <cstring>

namespace veltrim {
namespace {

// `why` words the refusal: {1} the exposure, {2} the key, then `more`.
[[noreturn]] void Refuse(const StudyExposure& exposure, const char* field, MessageId why,
                         std::vector<Message::Argument> more = {}) {
    std::vector<Message::Argument> arguments = {Arg(exposure.Name), Arg(field)};
    arguments.insert(arguments.end(), more.begin(), more.end());
    throw StudyError(why, std::move(arguments));
}

// A refusal that names the value as the file gives it.
[[noreturn]] void Refuse(const StudyExposure& exposure, const char* field, MessageId why,
                         double value) {
    Refuse(exposure, field, why, {Arg(ShortestText(value))});
}

void Positive(const StudyExposure& exposure, const char* field, double value) {
    if (!(value > 0.0 && std::isfinite(value)))
        Refuse(exposure, field, MessageId::StudyNotPositive, value);
}

void Positive(const StudyExposure& exposure, const char* field,
              const std::optional<double>& value) {
    if (value)
        Positive(exposure, field, *value);
}

void NotNegative(const StudyExposure& exposure, const char* field,
                 const std::optional<double>& value) {
    if (value && !(*value >= 0.0 && std::isfinite(*value)))
        Refuse(exposure, field, MessageId::StudyNegative, *value);
}

// The ways the exposure was given, by their keys.
std::vector<const char*> WaysGiven(const StudyExposureForm& form) {
    std::vector<const char*> ways;
    if (form.Parts.AirKermaMgy)
        ways.push_back("air_kerma_mGy");
    if (form.Parts.TubeOutput)
        ways.push_back("tube_output_uGy_per_mAs");
    if (form.Parts.KapGyCm2)
        ways.push_back("kap_Gycm2");
    if (form.Parts.EsakMgy)
        ways.push_back("esak_mGy");
    if (form.ReferenceAirKermaMgy)
        ways.push_back("reference_air_kerma_mGy");
    return ways;
}

} // namespace

std::string ConditionsKey(const IrradiationConditions& c) {
    const double figures[] = {c.TubeVoltage, c.TargetAngle, c.InherentFiltration,
                              c.AlFilter,    c.CuFilter,    c.Fsd,
                              c.FieldX,      c.FieldY,      static_cast<double>(c.Rectification)};
    std::string key(sizeof figures, '\0');
    std::memcpy(key.data(), figures, sizeof figures);
    return key;
}

void CheckExposure(const StudyExposure& e) {
    const std::vector<const char*> ways = WaysGiven(e.Form);
    if (ways.empty())
        Refuse(e, "air_kerma_mGy", MessageId::StudyFormMissing);
    if (ways.size() > 1)
        Refuse(e, ways[1], MessageId::StudyFormTwice, {Arg(ways[0])});
    const ExposureParts& parts = e.Form.Parts;
    if (parts.TubeOutput && !parts.Mas)
        Refuse(e, "mas", MessageId::StudyMasMissing);
    if (parts.StrayTubeOutputParts())
        Refuse(e, parts.Mas ? "mas" : "output_distance_cm", MessageId::StudyStrayTubePart);
    if (e.Form.ReferenceAirKermaMgy.has_value() != e.Form.ReferenceDistanceCm.has_value())
        Refuse(e, e.Form.ReferenceAirKermaMgy ? "reference_distance_cm" : "reference_air_kerma_mGy",
               MessageId::StudyReferenceHalf);
    if (!(e.TubeVoltage >= MinTubeVoltage && e.TubeVoltage <= MaxTubeVoltage))
        Refuse(e, "kv", MessageId::StudyKvOutside, e.TubeVoltage);
    Positive(e, "fsd_cm", e.FsdCm);
    Positive(e, "field_x_cm", e.FieldXCm);
    Positive(e, "field_y_cm", e.FieldYCm);
    Positive(e, "hvl1_mm_al", e.MeasuredHvl1MmAl);
    Positive(e, "reference_distance_cm", e.Form.ReferenceDistanceCm);
    NotNegative(e, "al_mm", e.AlMm);
    NotNegative(e, "cu_mm", e.CuMm);
    NotNegative(e, "inherent_al_mm", e.InherentAlMm);
    NotNegative(e, "exposure_uncertainty_pct", e.UncertaintyPct);
    NotNegative(e, "table_al_mm", e.TableAlMm);
    if (e.TableTransmission && e.TableAlMm)
        Refuse(e, "table_al_mm", MessageId::StudyTableTwice, {Arg("table_transmission")});
    if (e.TableTransmission && !(*e.TableTransmission > 0.0 && *e.TableTransmission <= 1.0))
        Refuse(e, "table_transmission", MessageId::StudyTransmissionOutside, *e.TableTransmission);
    if (e.Repeats < 1)
        Refuse(e, "repeats", MessageId::StudyRepeatsTooFew, {Arg(e.Repeats)});
    if (!std::isfinite(e.AngleDeg) || std::fabs(e.AngleDeg) > 90.0)
        Refuse(e, "angle_deg", MessageId::StudyAngleOutside, e.AngleDeg);
    if (!std::isfinite(e.CentreLeftCm))
        Refuse(e, "centre_left_cm", MessageId::StudyNotFinite);
    if (!std::isfinite(e.CentreHeadCm))
        Refuse(e, "centre_head_cm", MessageId::StudyNotFinite);
    if (e.CentreDepthCm && !std::isfinite(*e.CentreDepthCm))
        Refuse(e, "centre_depth_cm", MessageId::StudyNotFinite);
}

void CheckStudy(const Study& study) {
    const StudyPatient& p = study.Patient;
    if (!(p.ApThicknessCm > 0.0 && std::isfinite(p.ApThicknessCm)))
        throw StudyError(MessageId::StudyPatientSize,
                         {Arg("ap_thickness_cm"), Arg(ShortestText(p.ApThicknessCm))});
    if (!(p.LateralWidthCm > 0.0 && std::isfinite(p.LateralWidthCm)))
        throw StudyError(MessageId::StudyPatientSize,
                         {Arg("lateral_width_cm"), Arg(ShortestText(p.LateralWidthCm))});
    if (study.Points.empty())
        throw StudyError(MessageId::StudyNoPoint, {});
    if (study.Exposures.empty())
        throw StudyError(MessageId::StudyNoExposure, {});
    for (const StudyPoint& point : study.Points)
        CheckInsidePatient(p, point);
    for (const StudyExposure& e : study.Exposures) {
        CheckExposure(e);
        FrameOf(p, e);
    }
}

IrradiationConditions ExposureConditions(const StudyExposure& e, const ModelData& data,
                                         std::map<std::string, double>& matched,
                                         std::vector<AssumedValue>& assumed) {
    // Read from text as typed into the window, so that a study's beam
    // computes the bits the window's would.
    ConditionTexts texts;
    const ConditionTexts defaults;
    texts.TubeVoltage = ShortestText(e.TubeVoltage);
    if (e.TargetAngleDeg)
        texts.TargetAngle = ShortestText(*e.TargetAngleDeg);
    else
        assumed.push_back({"target_angle_deg", defaults.TargetAngle,
                           "the anode angle was not given; the program's default was taken"});
    if (e.InherentAlMm)
        texts.InherentFiltration = ShortestText(*e.InherentAlMm);
    else
        assumed.push_back({"inherent_al_mm", defaults.InherentFiltration,
                           "the inherent filtration was not given; the program's default was "
                           "taken"});
    texts.AlFilter = ShortestText(e.AlMm.value_or(0.0));
    texts.CuFilter = ShortestText(e.CuMm.value_or(0.0));
    texts.Fsd = ShortestText(e.FsdCm);
    texts.FieldX = ShortestText(e.FieldXCm);
    texts.FieldY = ShortestText(e.FieldYCm);
    IrradiationConditions conditions;
    ReadConditions(texts, conditions);
    conditions.Rectification = e.Rectification;
    if (!e.MeasuredHvl1MmAl)
        return conditions;
    const std::string key = ConditionsKey(conditions) + ShortestText(*e.MeasuredHvl1MmAl);
    if (const auto found = matched.find(key); found != matched.end()) {
        conditions.AlFilter = found->second;
        return conditions;
    }
    try {
        const Hvl1Match match =
            MatchBeamHvl1(conditions, *e.MeasuredHvl1MmAl, MatchFilter::Aluminium, 0.0, data);
        matched.emplace(key, match.Conditions.AlFilter);
        return match.Conditions;
    } catch (const CalculationError& error) {
        Refuse(e, "hvl1_mm_al", MessageId::StudyHvlUnmatched, {Arg(error.Cause())});
    } catch (const DataFileError& error) {
        Refuse(e, "hvl1_mm_al", MessageId::StudyHvlUnmatched, {Arg(error.Problem())});
    }
}

// The air kerma behind the table over that in front of it, both of the
// beam as it leaves the tube.
double TableAlTransmission(const IrradiationConditions& conditions, double tableAlMm,
                           const ModelData& data) {
    const SynthesizedSpectrum spectrum = BeamSpectrum(conditions, data.Attenuation());
    const EnergyTable& muAl = data.Attenuation().MuAluminium;
    return AirKermaBehindAluminium(spectrum.Spectrum, muAl, data.AirKerma(), CmFromMm(tableAlMm)) /
           AirKermaBehindAluminium(spectrum.Spectrum, muAl, data.AirKerma(), 0.0);
}

double ExposureAirKermaMgy(const StudyExposure& e, const IrradiationConditions& conditions,
                           double b) {
    Exposure given;
    const char* field = WaysGiven(e.Form).front();
    if (e.Form.ReferenceAirKermaMgy) {
        // Free in air on the central ray: the inverse square to the skin.
        const double ratio = *e.Form.ReferenceDistanceCm / e.FsdCm;
        given = {ExposureKind::IncidentAirKerma, *e.Form.ReferenceAirKermaMgy * ratio * ratio};
    } else {
        given = *ExposureOf(e.Form.Parts);
    }
    try {
        return IncidentAirKerma(given, conditions, b);
    } catch (const CalculationError& error) {
        Refuse(e, field, MessageId::StudyExposureUnusable, {Arg(error.Cause())});
    }
}

} // namespace veltrim
