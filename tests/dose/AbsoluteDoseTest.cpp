#include "dose/AbsoluteDose.h"

#include "common/RefusalHelpers.h"
#include "core/CalculationError.h"
#include "core/ModelConstants.h"
#include "dose/Exposure.h"

#include <cmath>
#include <gtest/gtest.h>
#include <optional>

namespace {

using namespace veltrim;
using veltrim::testing::ThrownBy;

// A dose that falls exponentially from the surface, as a primary beam does:
// the interpolation between layer middles must give it back exactly.
DosePerAirKerma Exponential(double surface, double mu) {
    DosePerAirKerma dose;
    dose.Rows = 60;
    dose.Surface = surface;
    for (int d = 1; d <= 60; ++d)
        dose.Total[d] = surface * std::exp(-mu * LayerMiddle(d));
    return dose;
}

TEST(DoseAtDepth, FollowsAnExponentialFallBetweenTheSurfaceAndEveryLayerMiddle) {
    const DosePerAirKerma dose = Exponential(1.3, 0.21);
    for (const double z : {0.0, 0.1, 0.25, 0.6, 7.3, 14.0, 29.75, 29.9, 30.0})
        EXPECT_NEAR(DoseAtDepth(dose, z) / (1.3 * std::exp(-0.21 * z)), 1.0, 1e-12) << z;
    EXPECT_EQ(DoseAtDepth(dose, 0.0), dose.Surface);
    EXPECT_EQ(DoseAtDepth(dose, 10.25), dose.Total[21]); // a middle gives the table's own value
}

TEST(DoseAtDepth, TheRangeFindsAMaximumInsideAndRefusesWhatIsNotInThePhantom) {
    DosePerAirKerma dose = Exponential(1.0, 0.2);
    dose.Total[3] = 5.0; // a peak at 1.25 cm
    const auto [least, most] = DoseOverDepths(dose, 0.5, 4.0);
    EXPECT_EQ(most, 5.0);
    EXPECT_DOUBLE_EQ(least, DoseAtDepth(dose, 4.0));
    for (const double z : {-0.01, 30.01, std::nan("")})
        EXPECT_THROW(DoseAtDepth(dose, z), CalculationError) << z;
    const auto backwards = ThrownBy<CalculationError>([&] { DoseOverDepths(dose, 14.0, 5.0); });
    ASSERT_TRUE(backwards) << "a backward range was taken";
    EXPECT_EQ(backwards->Cause().Id(), MessageId::DoseRangeBackwards);
}

// Kernels that grow exponentially with energy (so that the log-linear
// interpolation between nodes is exact) and that a circle counts whole: the
// spectrum-weighted sums are known in closed form.
TEST(SurfaceScatter, WeighsEveryBinOfTheSpectrumWithTheKernelsOfTheRingsInTheField) {
    SurfaceKernelSet kernels;
    for (int e = FirstKernelKeV; e <= LastKernelKeV; e += 5)
        for (int c = 1; c <= 80; ++c) {
            SurfaceKernel& k = kernels.Nodes[static_cast<std::size_t>((e - FirstKernelKeV) / 5)];
            k.Tissue[c] = std::exp(0.02 * e);
            k.Air[c] = 2 * std::exp(0.02 * e);
        }
    EnergyTable spectrum{};
    TissueTables tissue;
    double tissueSum = 0.0;
    double kernelSum = 0.0;
    for (int i = 21; i <= 160; ++i) {
        spectrum[i] = 1.0 / 140;
        tissue.PrimaryDose[i] = 0.01 * i;
        tissueSum += spectrum[i] * tissue.PrimaryDose[i];
        kernelSum += spectrum[i] * std::exp(0.02 * 0.5 * i);
    }
    // Rings 1..10 whole, and the share of ring 11 (5.0-5.5 cm) inside the
    // radius 5.25 cm.
    FieldHalfSides circle{5.25, 0.0, true};
    const double rings = 10 + (5.25 * 5.25 - 25) / (5.5 * 5.5 - 25);
    const SurfaceScatter s =
        SurfaceScatterPerFluence(spectrum, tissue, kernels, circle, 160, ModelPi);
    EXPECT_NEAR(s.PrimaryTissue / tissueSum, 1.0, 1e-13);
    EXPECT_NEAR(s.ScatterTissue / (rings * kernelSum), 1.0, 1e-12);
    EXPECT_NEAR(s.ScatterAir / (2 * rings * kernelSum), 1.0, 1e-12);

    const DepthProfile none{};
    const DosePerAirKerma dose = DosePerIncidentAirKerma(60, none, none, 4.0, s);
    EXPECT_NEAR(dose.Backscatter, 1.0 + s.ScatterAir / 4.0, 1e-15);
    EXPECT_NEAR(dose.Surface, (s.PrimaryTissue + s.ScatterTissue) / 4.0, 1e-15);
}

// The four ways of giving an exposure make the same Ka,i when they describe
// the same beam, and each refuses what cannot be an exposure.
TEST(Exposure, TheFourWaysAgreeAndOutOfRangeValuesAreRefused) {
    IrradiationConditions c = DefaultConditions(); // 30 x 30 cm at FSD 100 cm
    c.Fsd = 80;
    const double kerma = 2.5; // mGy
    const double backscatter = 1.37;
    const double area = 900.0;
    const double mas = 20.0;
    const double output = kerma * 1000 / mas * (80.0 / 120.0) * (80.0 / 120.0); // at 120 cm
    const Exposure ways[] = {
        {ExposureKind::IncidentAirKerma, kerma},
        {ExposureKind::TubeOutput, output, mas, 120.0},
        {ExposureKind::KermaAreaProduct, kerma * area / 1000},
        {ExposureKind::EntranceSurfaceKerma, kerma * backscatter},
    };
    for (const Exposure& way : ways)
        EXPECT_NEAR(IncidentAirKerma(way, c, backscatter) / kerma, 1.0, 1e-12)
            << static_cast<int>(way.Kind);
    c.FieldY = 0; // a circle of 30 cm
    EXPECT_NEAR(IncidentAirKerma({ExposureKind::KermaAreaProduct, 1.0}, c, 1.0),
                1000 / (std::acos(-1.0) * 225), 1e-12);

    const Exposure refused[] = {
        {ExposureKind::IncidentAirKerma, 0.0},          {ExposureKind::IncidentAirKerma, -1.0},
        {ExposureKind::IncidentAirKerma, std::nan("")}, {ExposureKind::IncidentAirKerma, 10001.0},
        {ExposureKind::TubeOutput, 50.0, 10001.0},      {ExposureKind::TubeOutput, 1001.0, 10.0},
        {ExposureKind::TubeOutput, 50.0, 0.0},          {ExposureKind::KermaAreaProduct, 1e9},
    };
    for (const Exposure& way : refused) {
        const auto e = ThrownBy<CalculationError>([&] { IncidentAirKerma(way, c, backscatter); });
        ASSERT_TRUE(e) << "taken: " << way.Value << ", " << way.Mas;
        EXPECT_EQ(e->Cause().Id(), MessageId::ExposureOutOfRange);
    }
}

// A refusal shows the value with the digits that put it beyond the limit,
// and a kerma made from other quantities is told as made by them, not as a
// kerma the user typed.
TEST(Exposure, RefusalsShowWhyTheValueIsRefusedAndWhatMadeIt) {
    const IrradiationConditions c = DefaultConditions();
    const auto told = [&](const Exposure& way) {
        const auto e = ThrownBy<CalculationError>([&] { IncidentAirKerma(way, c, 1.3); });
        return e ? e->Cause().In(veltrim::Language::English) : "taken";
    };
    EXPECT_EQ(told({ExposureKind::IncidentAirKerma, 10000.0000001}),
              "The incident air kerma of 10000.0000001 mGy is outside what can be taken: give a "
              "value above 0 and at most 10000 mGy.");
    EXPECT_EQ(told({ExposureKind::TubeOutput, 50.0, 10.0, 1e-200}),
              "The tube output as given makes an incident air kerma of 0 mGy, outside what can "
              "be taken (above 0 and at most 10000 mGy): check the tube output and the "
              "distances.");
}

// Each way of giving an exposure comes back from its parts as it was, and
// two ways given at once are refused naming the first two in the order air
// kerma, tube output, KAP, ESAK.
TEST(Exposure, PartsGiveEachWayBackAndTwoWaysAreRefusedByName) {
    const Exposure ways[] = {
        {ExposureKind::IncidentAirKerma, 2.5},
        {ExposureKind::TubeOutput, 48.0, 20.0, 120.0},
        {ExposureKind::KermaAreaProduct, 0.3},
        {ExposureKind::EntranceSurfaceKerma, 3.1},
    };
    for (const Exposure& way : ways) {
        const std::optional<Exposure> back = ExposureOf(PartsOf(way));
        ASSERT_TRUE(back) << ExposureWay(way.Kind);
        EXPECT_EQ(back->Kind, way.Kind);
        EXPECT_EQ(back->Value, way.Value) << ExposureWay(way.Kind);
        EXPECT_EQ(back->Mas, way.Mas) << ExposureWay(way.Kind);
        EXPECT_EQ(back->OutputDistanceCm, way.OutputDistanceCm) << ExposureWay(way.Kind);
    }

    ExposureParts parts;
    parts.EsakMgy = 3.1;
    parts.KapGyCm2 = 0.3;
    const auto twice = ThrownBy<CalculationError>([&] { ExposureOf(parts); });
    ASSERT_TRUE(twice) << "two ways taken";
    const Message expected(MessageId::ExposureGivenTwice, {Arg(Message(MessageId::ExposureKap)),
                                                           Arg(Message(MessageId::ExposureEsak))});
    EXPECT_EQ(twice->Cause().In(Language::English), expected.In(Language::English));
}

} // namespace
