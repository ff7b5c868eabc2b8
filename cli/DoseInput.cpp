#include "cli/DoseInput.h"

#include "core/CalculationError.h"

#include <cmath>
#include <exception>
#include <vector>

namespace veltrim {

std::optional<double> StrictNumber(const std::string& text) {
    std::size_t used = 0;
    try {
        const double value = std::stod(text, &used);
        if (used == text.size() && std::isfinite(value))
            return value;
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

std::optional<Exposure> ExposureOf(const ExposureParts& parts) {
    struct Way {
        const std::optional<double>& Value;
        ExposureKind Kind;
        MessageId Quantity;
    };
    const Way ways[] = {
        {parts.AirKermaMgy, ExposureKind::IncidentAirKerma, MessageId::ExposureAirKerma},
        {parts.TubeOutput, ExposureKind::TubeOutput, MessageId::ExposureTubeOutput},
        {parts.KapGyCm2, ExposureKind::KermaAreaProduct, MessageId::ExposureKap},
        {parts.EsakMgy, ExposureKind::EntranceSurfaceKerma, MessageId::ExposureEsak},
    };
    std::vector<const Way*> given;
    for (const Way& way : ways)
        if (way.Value)
            given.push_back(&way);
    if (given.empty())
        return std::nullopt;
    if (given.size() > 1)
        FailCalculation(MessageId::ExposureGivenTwice,
                        {Arg(Message(given[0]->Quantity)), Arg(Message(given[1]->Quantity))});
    Exposure exposure;
    exposure.Kind = given[0]->Kind;
    exposure.Value = *given[0]->Value;
    if (exposure.Kind == ExposureKind::TubeOutput) {
        if (!parts.Mas)
            FailCalculation(MessageId::ExposureNeedsMas);
        exposure.Mas = *parts.Mas;
        exposure.OutputDistanceCm = parts.OutputDistanceCm.value_or(exposure.OutputDistanceCm);
    }
    return exposure;
}

const char* ExposureWay(ExposureKind kind) {
    constexpr const char* Ways[] = {"air-kerma", "tube-output", "kap", "esak"}; // as ExposureKind
    return Ways[static_cast<std::size_t>(kind)];
}

} // namespace veltrim
