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

// Each way of giving an exposure, in the order of ExposureKind: the part
// that gives it, the quantity its refusals name, and the option's word.
struct ExposureWayRow {
    std::optional<double> ExposureParts::*Part;
    MessageId Quantity;
    const char* Word;
};
constexpr ExposureWayRow ExposureWays[] = {
    {&ExposureParts::AirKermaMgy, MessageId::ExposureAirKerma, "air-kerma"},
    {&ExposureParts::TubeOutput, MessageId::ExposureTubeOutput, "tube-output"},
    {&ExposureParts::KapGyCm2, MessageId::ExposureKap, "kap"},
    {&ExposureParts::EsakMgy, MessageId::ExposureEsak, "esak"},
};

const ExposureWayRow& WayOf(ExposureKind kind) {
    return ExposureWays[static_cast<std::size_t>(kind)];
}

} // namespace

std::optional<Exposure> ExposureOf(const ExposureParts& parts) {
    // The ways given, in the table's order, so that a refusal of two names
    // them the same way whatever order they were typed in.
    std::vector<ExposureKind> given;
    for (std::size_t k = 0; k < std::size(ExposureWays); ++k)
        if (parts.*ExposureWays[k].Part)
            given.push_back(static_cast<ExposureKind>(k));
    if (given.empty())
        return std::nullopt;
    if (given.size() > 1)
        FailCalculation(MessageId::ExposureGivenTwice, {Arg(Message(WayOf(given[0]).Quantity)),
                                                        Arg(Message(WayOf(given[1]).Quantity))});
    Exposure exposure;
    exposure.Kind = given[0];
    exposure.Value = *(parts.*WayOf(exposure.Kind).Part);
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
    parts.*WayOf(exposure.Kind).Part = exposure.Value;
    if (exposure.Kind == ExposureKind::TubeOutput) {
        parts.Mas = exposure.Mas;
        parts.OutputDistanceCm = exposure.OutputDistanceCm;
    }
    return parts;
}

const char* ExposureWay(ExposureKind kind) {
    return WayOf(kind).Word;
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
                        {Arg(Message(WayOf(exposure.Kind).Quantity)), Arg(kerma),
                         Arg(ExactNumberText(MaxIncidentAirKermaMgy))});
    return Checked(kerma, inputs::AirKerma, MessageId::ExposureAirKerma);
}

} // namespace veltrim
