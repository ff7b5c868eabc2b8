#include "dose/Exposure.h"

#include "core/CalculationError.h"
#include "core/NumberReading.h"

#include <cmath>
#include <cstddef>
#include <numbers>
#include <vector>

namespace veltrim {
namespace {

// A given value must lie above 0 and at most `most`; the refusal shows it
// with every digit it has, so that a value just above the limit is seen to be.
double Checked(double value, double most, MessageId quantity, const char* unit) {
    if (!(value > 0.0 && value <= most))
        FailCalculation(MessageId::ExposureOutOfRange,
                        {Arg(Message(quantity)), Arg(ExactNumberText(value)),
                         Arg(ExactNumberText(most)), Arg(unit)});
    return value;
}

// A given value within the limits of its input.
double Checked(double value, const UserInput& input, MessageId quantity) {
    return Checked(value, input.Most, quantity, input.Unit);
}

// The quantity an exposure is given by, as its refusals name it.
MessageId ExposureQuantity(ExposureKind kind) {
    switch (kind) {
    case ExposureKind::TubeOutput:
        return MessageId::ExposureTubeOutput;
    case ExposureKind::KermaAreaProduct:
        return MessageId::ExposureKap;
    case ExposureKind::EntranceSurfaceKerma:
        return MessageId::ExposureEsak;
    case ExposureKind::IncidentAirKerma:
    default:
        return MessageId::ExposureAirKerma;
    }
}

} // namespace

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

ExposureParts PartsOf(const Exposure& exposure) {
    ExposureParts parts;
    switch (exposure.Kind) {
    case ExposureKind::TubeOutput:
        parts.TubeOutput = exposure.Value;
        parts.Mas = exposure.Mas;
        parts.OutputDistanceCm = exposure.OutputDistanceCm;
        break;
    case ExposureKind::KermaAreaProduct:
        parts.KapGyCm2 = exposure.Value;
        break;
    case ExposureKind::EntranceSurfaceKerma:
        parts.EsakMgy = exposure.Value;
        break;
    case ExposureKind::IncidentAirKerma:
        parts.AirKermaMgy = exposure.Value;
        break;
    }
    return parts;
}

const char* ExposureWay(ExposureKind kind) {
    constexpr const char* Ways[] = {"air-kerma", "tube-output", "kap", "esak"}; // as ExposureKind
    return Ways[static_cast<std::size_t>(kind)];
}

double FieldAreaAtSkin(const IrradiationConditions& c) {
    if (c.FieldY == 0)
        return std::numbers::pi * c.FieldX * c.FieldX / 4;
    return c.FieldX * c.FieldY;
}

double IncidentAirKerma(const Exposure& exposure, const IrradiationConditions& conditions,
                        double backscatter) {
    double kerma = 0.0;
    switch (exposure.Kind) {
    case ExposureKind::IncidentAirKerma:
        kerma = Checked(exposure.Value, inputs::AirKerma, MessageId::ExposureAirKerma);
        break;
    case ExposureKind::TubeOutput: {
        const double output =
            Checked(exposure.Value, inputs::TubeOutput, MessageId::ExposureTubeOutput);
        const double mas = Checked(exposure.Mas, inputs::Mas, MessageId::ExposureMas);
        const double distance = Checked(exposure.OutputDistanceCm, inputs::OutputDistance,
                                        MessageId::ExposureOutputDistance);
        const double toSkin = distance / conditions.Fsd;
        kerma = output * mas / 1000 * (toSkin * toSkin);
        break;
    }
    case ExposureKind::KermaAreaProduct: {
        const double kap = Checked(exposure.Value, inputs::Kap, MessageId::ExposureKap);
        kerma = kap * 1000 / FieldAreaAtSkin(conditions);
        break;
    }
    case ExposureKind::EntranceSurfaceKerma:
        kerma = Checked(exposure.Value, MaxIncidentAirKermaMgy * backscatter,
                        MessageId::ExposureEsak, inputs::Esak.Unit) /
                backscatter;
        break;
    }
    // A kerma the other quantities make was not typed: the refusal names them.
    if (exposure.Kind != ExposureKind::IncidentAirKerma &&
        !(kerma > 0.0 && kerma <= MaxIncidentAirKermaMgy))
        FailCalculation(MessageId::ExposureMakesKermaOutOfRange,
                        {Arg(Message(ExposureQuantity(exposure.Kind))), Arg(kerma),
                         Arg(ExactNumberText(MaxIncidentAirKermaMgy))});
    return Checked(kerma, inputs::AirKerma, MessageId::ExposureAirKerma);
}

} // namespace veltrim
