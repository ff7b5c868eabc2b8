#include "app/Conditions.h"

#include "app/NumberReading.h"

#include <cmath>
#include <sstream>

namespace veltrim {

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
    conditions.InherentFiltration = ReadNumber(texts.InherentFiltration) * 0.1;
    conditions.AlFilter = ReadNumber(texts.AlFilter) * 0.1;
    conditions.CuFilter = ReadNumber(texts.CuFilter) * 0.1;
    conditions.Fsd = ReadNumber(texts.Fsd);
    conditions.FieldX = ReadNumber(texts.FieldX);
    conditions.FieldY = ReadNumber(texts.FieldY);
    return clampText;
}

std::string SpectrumInputProblem(const IrradiationConditions& c, double pi) {
    if (!std::isfinite(c.TargetAngle) || !std::isfinite(c.InherentFiltration) ||
        !std::isfinite(c.AlFilter) || !std::isfinite(c.CuFilter))
        return "The spectrum cannot be computed: the target angle or a filter thickness is a "
               "number too large to compute with.";
    const double tangent = std::tan(c.TargetAngle * pi / 180);
    if (!(c.TargetAngle > 0.0 && c.TargetAngle <= 90.0) || !(tangent > 0.0) ||
        !std::isfinite(1 / tangent)) {
        std::ostringstream text;
        text << "The spectrum cannot be computed for a target angle of " << c.TargetAngle
             << " degrees. Enter an angle above 0 and at most 90 degrees.";
        return text.str();
    }
    return {};
}

std::string GeometryProblem(const IrradiationConditions& c) {
    if (!std::isfinite(c.Fsd) || c.Fsd < 0.0) {
        std::ostringstream text;
        text << "The depth dose cannot be computed for a focus-to-surface distance of " << c.Fsd
             << " cm. Enter a distance above 0 cm.";
        return text.str();
    }
    return {};
}

} // namespace veltrim
