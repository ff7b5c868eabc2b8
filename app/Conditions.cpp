#include "app/Conditions.h"

#include "app/NumberReading.h"

#include <cmath>

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
    if (tangent == 0.0 || !std::isfinite(1 / tangent))
        return "The spectrum cannot be computed: the tangent of the target angle is 0 (for "
               "example at 0 degrees), so no photon leaves the anode. Enter an angle between 0 "
               "and 90 degrees.";
    return {};
}

} // namespace veltrim
