// The sampled scattering angles against xraylib's differential cross
// sections of the same tissue: a chi-square test on bins of equal expected
// probability, with a fixed seed so that the verdict never changes between
// runs. With 40 bins (39 degrees of freedom) the 0.1 % critical value of
// chi-square is 72.1; a correct sampler passes with that probability, an
// error of a few per cent in the shape of the distribution fails by far
// at a million samples.

#include "tools/ToolFixtures.h"
#include "tools/mc/Interactions.h"
#include "tools/mc/TissueModel.h"
#include "tools/xrl/XrayLib.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace veltrim::mc {
namespace {

constexpr int kBins = 40;
constexpr double kChiSquareCritical = 72.1; // 39 degrees of freedom, 0.1 %
constexpr int kSamples = 1000000;

// xraylib's incoherent scattering functions start at q = 0.001 1/angstrom;
// below it S(q), which rises as q^2, is taken as 0 (a share of about 1e-8).
double IncoherentReference(const xrl::Material& tissue, double E, double theta) {
    return xrl::MomentTransf(E, theta) < 1e-3 ? 0.0 : xrl::DCS_Compt(tissue, E, theta);
}

// Edges in cos(theta), rising from -1 to 1, that cut the distribution
// dsigma/dOmega(theta) into kBins parts of equal probability. Integrated in
// t = (1 - cos theta) / 2 on a grid dense near t = 0, where the coherent
// peak lies.
std::vector<double> EqualProbabilityEdges(const std::function<double(double theta)>& dcs) {
    constexpr int kGrid = 20000;
    std::vector<double> t(kGrid + 1), cumulative(kGrid + 1, 0.0);
    double previous = 0.0;
    for (int k = 0; k <= kGrid; ++k) {
        t[k] = std::pow(static_cast<double>(k) / kGrid, 3.0);
        const double value = dcs(std::acos(1.0 - 2.0 * t[k]));
        if (k > 0)
            cumulative[k] = cumulative[k - 1] + 0.5 * (previous + value) * (t[k] - t[k - 1]);
        previous = value;
    }
    // Edges in t from the forward direction, then turned into rising cosines.
    std::vector<double> edges{1.0};
    int k = 0;
    for (int b = 1; b < kBins; ++b) {
        const double target = cumulative[kGrid] * b / kBins;
        while (cumulative[k + 1] < target)
            ++k;
        const double f = (target - cumulative[k]) / (cumulative[k + 1] - cumulative[k]);
        edges.push_back(1.0 - 2.0 * (t[k] + f * (t[k + 1] - t[k])));
    }
    edges.push_back(-1.0);
    return {edges.rbegin(), edges.rend()};
}

// Chi-square of the sampled cosines on the equal-probability bins of dcs,
// recorded with the test's result.
double ChiSquare(const std::function<double(double theta)>& dcs,
                 const std::function<double()>& sampleCosine) {
    const std::vector<double> edges = EqualProbabilityEdges(dcs);
    std::vector<double> counts(kBins, 0.0);
    for (int n = 0; n < kSamples; ++n) {
        const double c = sampleCosine();
        int bin = 0;
        while (bin < kBins - 1 && c >= edges[bin + 1])
            ++bin;
        counts[bin] += 1.0;
    }
    const double expected = static_cast<double>(kSamples) / kBins;
    double chi2 = 0.0;
    for (double c : counts)
        chi2 += (c - expected) * (c - expected) / expected;
    ::testing::Test::RecordProperty("chi_square", std::to_string(chi2));
    return chi2;
}

class SamplingAtEnergy : public ::testing::TestWithParam<double> {};

TEST_P(SamplingAtEnergy, IncoherentAnglesFollowKleinNishinaTimesS) {
    const double E = GetParam();
    const xrl::Material tissue = xrl::IcruSoftTissue();
    RandomStream random(4001);
    const double chi2 =
        ChiSquare([&](double theta) { return IncoherentReference(tissue, E, theta); },
                  [&] { return SampleIncoherent(E, Tissue(), random).CosTheta; });
    EXPECT_LT(chi2, kChiSquareCritical) << E << " keV";
}

TEST_P(SamplingAtEnergy, CoherentAnglesFollowThomsonTimesFormFactorSquared) {
    const double E = GetParam();
    const xrl::Material tissue = xrl::IcruSoftTissue();
    RandomStream random(4002);
    const double chi2 = ChiSquare([&](double theta) { return xrl::DCS_Rayl(tissue, E, theta); },
                                  [&] { return SampleCoherentCosine(E, Tissue(), random); });
    EXPECT_LT(chi2, kChiSquareCritical) << E << " keV";
}

INSTANTIATE_TEST_SUITE_P(NodeEnergies, SamplingAtEnergy,
                         ::testing::Values(10.0, 30.0, 60.0, 150.0));

// The test itself must be able to fail: free-electron Klein-Nishina angles,
// without the incoherent scattering function, are far off at 10 keV where
// binding suppresses forward scattering.
TEST(SamplingTest, ChiSquareRejectsKleinNishinaWithoutBinding) {
    const double E = 10.0;
    const xrl::Material tissue = xrl::IcruSoftTissue();
    RandomStream random(4003);
    const double alpha = E / kElectronRestEnergy;
    const double chi2 =
        ChiSquare([&](double theta) { return IncoherentReference(tissue, E, theta); },
                  [&] { return 1.0 + (1.0 - SampleKleinNishinaRatio(alpha, random)) / alpha; });
    EXPECT_GT(chi2, 10.0 * kChiSquareCritical);
}

// The scattered energy is the Compton energy of the sampled angle.
TEST(SamplingTest, IncoherentEnergyIsComptonEnergyOfTheAngle) {
    RandomStream random(4004);
    for (double E : {10.0, 60.0, 150.0}) {
        for (int n = 0; n < 1000; ++n) {
            const ScatteredPhoton out = SampleIncoherent(E, Tissue(), random);
            const double compton = E / (1.0 + E / kElectronRestEnergy * (1.0 - out.CosTheta));
            ASSERT_NEAR(out.Energy, compton, 1e-9 * E);
        }
    }
}

// Interaction types are chosen in proportion to the coefficients.
TEST(SamplingTest, InteractionSharesFollowCoefficients) {
    const Coefficients mu{0.2, 0.5, 0.3};
    RandomStream random(4005);
    int counts[3] = {0, 0, 0};
    constexpr int kN = 200000;
    for (int n = 0; n < kN; ++n)
        ++counts[static_cast<int>(SampleInteraction(mu, random))];
    // 5 standard deviations of a binomial count.
    const double shares[3] = {0.2, 0.5, 0.3};
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(counts[k], kN * shares[k], 5.0 * std::sqrt(kN * shares[k] * (1.0 - shares[k])));
}

// The tabulated coefficients reproduce xraylib between the grid points.
TEST(TissueModelTest, CoefficientsMatchXrayLibBetweenGridPoints) {
    const xrl::Material tissue = xrl::IcruSoftTissue();
    for (double E : {1.37, 10.0, 17.3, 33.3, 61.1, 99.9, 150.0}) {
        const Coefficients mu = Tissue().At(E);
        EXPECT_NEAR(mu.Photoelectric, xrl::CS_Photo(tissue, E), 1e-4 * mu.Photoelectric) << E;
        EXPECT_NEAR(mu.Incoherent, xrl::CS_Compt(tissue, E), 1e-4 * mu.Incoherent) << E;
        EXPECT_NEAR(mu.Coherent, xrl::CS_Rayl(tissue, E), 1e-4 * mu.Coherent) << E;
    }
}

// A deflection keeps the direction a unit vector at the requested angle.
TEST(SamplingTest, DeflectionTurnsByTheRequestedAngle) {
    const Direction start{0.6, 0.0, 0.8};
    for (double c : {-1.0, -0.3, 0.0, 0.5, 0.999}) {
        for (double phi : {0.0, 1.0, 4.0}) {
            const Direction d = Deflect(start, c, phi);
            EXPECT_NEAR(d.U * d.U + d.V * d.V + d.W * d.W, 1.0, 1e-12);
            EXPECT_NEAR(d.U * start.U + d.V * start.V + d.W * start.W, c, 1e-12);
        }
    }
    const Direction down = Deflect(Direction{0.0, 0.0, 1.0}, 0.25, 2.0);
    EXPECT_NEAR(down.W, 0.25, 1e-12);
}

} // namespace
} // namespace veltrim::mc
