// The kerma at the entrance surface: the layer geometry of the track-length
// estimator, the pencil-beam surface tally against the deposits of the same
// histories, the tables' factors, and the direct run's surface and fine rows.

#include "dose/TissueTables.h"
#include "tools/ToolFixtures.h"
#include "tools/mc/AxisEstimator.h"
#include "tools/mc/DirectRun.h"
#include "tools/mc/KermaFactors.h"
#include "tools/mc/KernelTally.h"
#include "tools/mc/SurfaceTally.h"
#include "tools/mc/TissueModel.h"
#include "tools/mc/Transport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace veltrim::mc {
namespace {

// Direct runs here score row 1 alone.
const AxisEstimator& OneRowEstimator() {
    static const AxisEstimator estimator(Tissue(), 1);
    return estimator;
}

// The transport's own energy imparted per unit fluence, as the air factor
// (log-log between 0.5-keV bins, close to it everywhere) and as the tissue
// factor (between 5-keV nodes).
const KermaFactors& TransportFactors() {
    static const KermaFactors factors = [] {
        PrimaryDoseNodeTable nodes{};
        EnergyTable air{};
        for (int j = 2; j <= 30; ++j)
            nodes[static_cast<std::size_t>(j)] = Estimator().DoseFactor(5.0 * j);
        for (int i = 1; i <= 300; ++i) {
            const double E = std::max(0.5 * i, TissueModel::kMinEnergy);
            air[static_cast<std::size_t>(i)] = Estimator().DoseFactor(E) / E;
        }
        return KermaFactors(nodes, air);
    }();
    return factors;
}

std::vector<LayerPiece> Pieces(Position p, Direction d, double length, double thickness) {
    std::vector<LayerPiece> pieces;
    LayerPieces(FlightPath{p, d, length, 60.0, 1.0, true}, SurfaceLayer{thickness}, pieces);
    return pieces;
}

TEST(SurfaceLayerTest, PathsAreCutAtTheLayerAndAtTheRings) {
    // Straight down from the face at 0.3 cm, and straight up through it at 0.7 cm.
    auto p = Pieces({0.3, 0.0, 0.0}, {0.0, 0.0, 1.0}, 1.0, 0.01);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].Ring, 0);
    EXPECT_DOUBLE_EQ(p[0].Length, 0.01);
    p = Pieces({0.0, 0.7, 1.0}, {0.0, 0.0, -1.0}, 5.0, 0.01);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].Ring, 1);
    EXPECT_NEAR(p[0].Length, 0.01, 1e-15);
    // At 45 degrees up: sqrt(2) times the thickness; stopping short of the layer: nothing.
    const double c = std::sqrt(0.5);
    p = Pieces({0.0, 0.0, 0.02}, {c, 0.0, -c}, 1.0, 0.01);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_NEAR(p[0].Length, 0.01 * std::sqrt(2.0), 1e-15);
    EXPECT_TRUE(Pieces({0.0, 0.0, 0.02}, {c, 0.0, -c}, 0.01, 0.01).empty());
    // Along the layer past the axis at 0.3 cm: in through rings 3, 2, 1 and out again,
    // each circle of radius R met at x = -+sqrt(R^2 - 0.09).
    p = Pieces({-1.0, 0.3, 0.005}, {1.0, 0.0, 0.0}, 2.0, 0.01);
    const double x1 = std::sqrt(1.0 - 0.09), x05 = std::sqrt(0.25 - 0.09);
    const std::vector<LayerPiece> expected = {
        {2, 1.0 - x1}, {1, x1 - x05}, {0, 2.0 * x05}, {1, x1 - x05}, {2, 1.0 - x1}};
    ASSERT_EQ(p.size(), expected.size());
    for (std::size_t k = 0; k < p.size(); ++k) {
        EXPECT_EQ(p[k].Ring, expected[k].Ring) << k;
        EXPECT_NEAR(p[k].Length, expected[k].Length, 1e-12) << k;
    }
    // Beyond ring 80 (40 cm) nothing is scored.
    p = Pieces({39.9, 0.0, 0.005}, {1.0, 0.0, 0.0}, 1.0, 0.01);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].Ring, 79);
    EXPECT_NEAR(p[0].Length, 0.1, 1e-12);
}

// Between the nodes of Primary.dat the tissue factor follows the program's
// own table on the 0.5-keV bins to the bit; the air factor is E times
// AirKerma.dat on its bins.
TEST(KermaFactorsTest, FollowTheProgramsTablesOnTheBins) {
    PrimaryDoseNodeTable nodes{};
    EnergyTable air{};
    for (int j = 2; j <= 30; ++j)
        nodes[static_cast<std::size_t>(j)] = 50.0 * std::pow(5.0 * j, -1.3) + 0.01 * j;
    for (int i = 1; i <= 300; ++i)
        air[static_cast<std::size_t>(i)] = 3.0 * std::pow(0.5 * i, -2.5) + 0.02;
    const KermaFactors k(nodes, air);
    const EnergyTable program = BuildPrimaryDoseTable(nodes);
    for (int i = 21; i <= 300; ++i) {
        EXPECT_EQ(k.Tissue(0.5 * i), program[static_cast<std::size_t>(i)]) << 0.5 * i;
        EXPECT_EQ(k.Air(0.5 * i), 0.5 * i * air[static_cast<std::size_t>(i)]) << 0.5 * i;
    }
    const double between = k.Air(60.25) / 60.25;
    EXPECT_LT(between, air[120]);
    EXPECT_GT(between, air[121]);
}

// Runs the same histories into the kernel tally (deposits) and the surface tally.
class BothTallies final : public Scorer {
  public:
    BothTallies(const KermaFactors& kerma, double thickness) : surface(kerma, {thickness}) {}
    void Deposit(const Position& p, double e, bool s, std::uint64_t h) override {
        deposits.Deposit(p, e, s, h);
    }
    void Escape(double e, std::uint64_t h) override { deposits.Escape(e, h); }
    void Flight(const FlightPath& path, std::uint64_t h) override { surface.Flight(path, h); }
    KernelTally deposits{1.00};
    SurfaceTally surface;
};

// In this transport electrons deposit where they are made, so the kerma of
// the scattered photons in a layer, by track length with the transport's
// own energy imparted per unit fluence, is the scatter deposited there: the
// surface tally of a layer 2 cm thick must give the kernel tally's rows 1-4
// from the same histories, in ring 1 and over all rings, and the primary
// the factor times the layer's mean attenuation.
TEST(SurfaceTallyTest, TrackLengthKermaOfALayerEqualsItsDeposits) {
    const double E = 60.0;
    const double thickness = 4 * CellGrid::kRowThickness;
    BothTallies both(TransportFactors(), thickness);
    RandomStream random(31);
    const std::uint64_t n = 200000;
    for (std::uint64_t h = 0; h < n; ++h)
        TransportHistory(PencilBeam{E}, Phantom{}, Tissue(), DepthImportance{}, random, both, h);
    both.deposits.Finish(n);
    both.surface.Finish(n);
    const ScoringArray& track = both.surface.Air();
    // Deposits of rows 1-4 per unit mass thickness of the layer; rows are
    // added as if independent, which is near enough for the tolerance.
    const auto deposited = [&](const ScoringArray& a, std::size_t first, std::size_t step) {
        double mean = 0.0, variance = 0.0;
        for (std::size_t row = 0; row < 4; ++row) {
            mean += a.Mean(first + row * step, n) / thickness;
            variance += std::pow(a.Uncertainty(first + row * step, n) / thickness, 2);
        }
        return std::pair{mean, std::sqrt(variance)};
    };
    const auto [ring1, ring1Sigma] = deposited(both.deposits.ScatterCells(), 0, CellGrid::kRings);
    const auto [all, allSigma] = deposited(both.deposits.ScatterRows(), 0, 1);
    EXPECT_NEAR(track.Mean(0, n), ring1, 4.0 * std::hypot(track.Uncertainty(0, n), ring1Sigma));
    EXPECT_NEAR(track.Mean(SurfaceTally::kSumAll, n), all,
                4.0 * std::hypot(track.Uncertainty(SurfaceTally::kSumAll, n), allSigma));
    EXPECT_LT(allSigma, 0.01 * all);
    const double muT = Tissue().At(E).Total() * thickness;
    EXPECT_NEAR(track.Mean(SurfaceTally::kPrimary, n),
                TransportFactors().Air(E) * -std::expm1(-muT) / muT,
                4.0 * track.Uncertainty(SurfaceTally::kPrimary, n));
}

// A direct run asked for the surface and for fine rows scores its 0.5-cm
// rows bit for bit as without them (the extras draw from streams of their
// own); its next-event surface kerma agrees with the track-length layer over
// the same disc, and the fine rows that make up row 1 average to row 1.
TEST(DirectSurfaceTest, ExtrasLeaveTheRowsAndAgreeWithIndependentEstimates) {
    EnergyTable spectrum{};
    spectrum[120] = 1.0; // 60 keV alone
    const IrradiationConditions c{.TubeVoltage = 60.0, .Fsd = 100.0, .FieldX = 8.0, .FieldY = 8.0};
    const FocusRunSettings s = FocusHistories(5, 0, 6, 10000, 1);
    const DirectExtras extras{.Kerma = &TransportFactors(),
                              .SurfaceRadius = 2.0,
                              .LayerThickness = 0.01,
                              .Fine = {FineRows{0.0, 0.1, 5}},
                              .Lateral = {}};
    const DirectResult plain = RunDirect(Tissue(), OneRowEstimator(), spectrum, c, s, 0.3, 12.0);
    const DirectResult r =
        RunDirect(Tissue(), OneRowEstimator(), spectrum, c, s, 0.3, 12.0, extras);
    EXPECT_EQ(r.Scatter[1], plain.Scatter[1]);
    EXPECT_EQ(r.ScatterSigma[1], plain.ScatterSigma[1]);
    EXPECT_EQ(r.TubeScatter[1], plain.TubeScatter[1]);

    const SurfaceResult& f = r.Surface;
    EXPECT_NEAR(f.ScatterAir, f.LayerAir, 4.0 * std::hypot(f.ScatterAirSigma, f.LayerAirSigma));
    EXPECT_LT(f.LayerAirSigma, 0.1 * f.LayerAir);
    EXPECT_NEAR(f.IncidentAir, TransportFactors().Air(60.0), 1e-12);

    ASSERT_EQ(r.Fine.size(), 5u);
    double scatter = 0.0, primary = 0.0, variance = 0.0;
    for (const FineRowResult& row : r.Fine) {
        scatter += row.Scatter / 5.0;
        primary += row.Primary / 5.0;
        variance += row.ScatterSigma * row.ScatterSigma / 25.0;
    }
    EXPECT_NEAR(primary, r.Primary[1], 1e-9 * primary);
    EXPECT_NEAR(scatter, r.Scatter[1], 4.0 * std::hypot(std::sqrt(variance), r.ScatterSigma[1]));
}

} // namespace
} // namespace veltrim::mc
