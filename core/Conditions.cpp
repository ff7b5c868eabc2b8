#include "core/Conditions.h"

#include "core/ModelConstants.h"
#include "core/NumberReading.h"

#include <cmath>
#include <cstdio>

namespace veltrim {

WaveformNames WaveformNamesOf(RectificationMethod method) {
    switch (method) {
    case RectificationMethod::ThreePhase12Peak:
        return {"three-phase 12-peak", MessageId::QualityThreePhase};
    case RectificationMethod::SinglePhaseFullWave:
        return {"single-phase full-wave", MessageId::QualitySinglePhase};
    case RectificationMethod::ConstantPotential:
    default:
        return {"constant potential", MessageId::QualityConstantPotential};
    }
}

std::optional<std::string> ReadConditions(const ConditionTexts& texts,
                                          IrradiationConditions& conditions) {
    std::optional<std::string> clampText;
    conditions.TubeVoltage = ReadNumber(texts.TubeVoltage);
    if (conditions.TubeVoltage > MaxTubeVoltage) {
        clampText = "150";
        conditions.TubeVoltage = MaxTubeVoltage;
    } else if (!(conditions.TubeVoltage >= MinTubeVoltage)) {
        clampText = "30";
        conditions.TubeVoltage = MinTubeVoltage;
    }
    conditions.TargetAngle = ReadNumber(texts.TargetAngle);
    // Thicknesses are typed in mm and held in cm.
    conditions.InherentFiltration = CmFromMm(ReadNumber(texts.InherentFiltration));
    conditions.AlFilter = CmFromMm(ReadNumber(texts.AlFilter));
    conditions.CuFilter = CmFromMm(ReadNumber(texts.CuFilter));
    conditions.Fsd = ReadNumber(texts.Fsd);
    conditions.FieldX = ReadNumber(texts.FieldX);
    conditions.FieldY = ReadNumber(texts.FieldY);
    return clampText;
}

std::optional<std::string> MistypedNumber(const std::string& name, const std::string& text) {
    if (ReadsWhole(text))
        return std::nullopt;
    char value[40];
    std::snprintf(value, sizeof value, "%g", ReadNumber(text));
    return name + " \"" + text + "\" was read as " + value;
}

std::vector<Message> MisreadFields(const ConditionTexts& texts) {
    IrradiationConditions read;
    ReadConditions(texts, read);
    std::vector<Message> notices;
    for (const ConditionTextField& field : ConditionTextFields) {
        const std::string& text = texts.*field.Text;
        if (ReadsWhole(text))
            continue;
        const double used =
            field.Text == &ConditionTexts::TubeVoltage ? read.TubeVoltage : ReadNumber(text);
        notices.emplace_back(MessageId::MisreadField,
                             std::vector{Arg(Message(field.Caption)), Arg(text), Arg(used)});
    }
    return notices;
}

IrradiationConditions DefaultConditions() {
    IrradiationConditions conditions;
    ReadConditions(ConditionTexts{}, conditions);
    return conditions;
}

std::optional<Message> SpectrumInputProblem(const IrradiationConditions& c, double pi) {
    if (!std::isfinite(c.TargetAngle) || !std::isfinite(c.InherentFiltration) ||
        !std::isfinite(c.AlFilter) || !std::isfinite(c.CuFilter))
        return Message(MessageId::NumberTooLarge);
    const double tangent = std::tan(c.TargetAngle * pi / 180);
    if (!(c.TargetAngle > 0.0 && c.TargetAngle <= 90.0) || !(tangent > 0.0) ||
        !std::isfinite(1 / tangent))
        return Message(MessageId::TargetAngleOutOfRange, {Arg(c.TargetAngle)});
    return std::nullopt;
}

std::optional<Message> GeometryProblem(const IrradiationConditions& c) {
    if (!std::isfinite(c.Fsd) || c.Fsd < 0.0)
        return Message(MessageId::FsdNegative, {Arg(c.Fsd)});
    return std::nullopt;
}

} // namespace veltrim
