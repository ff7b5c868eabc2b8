// Beam-quality figures from synthetic spectra whose answers follow from
// Beer-Lambert alone.

#include "spectrum/BeamQuality.h"

#include <cmath>
#include <gtest/gtest.h>
#include <utility>

namespace {

using veltrim::EnergyTable;

// Aluminium and air tables with simple, distinct values per bin, so that a
// mix-up of bins or tables changes the answer.
struct Tables {
    EnergyTable MuAluminium{};
    EnergyTable AirMuEn{};
    Tables() {
        for (int i = 1; i <= 300; ++i) {
            MuAluminium[i] = 40.0 / (0.5 * i); // 1/cm, falling with energy
            AirMuEn[i] = 1.0 + 100.0 / i;      // cm2/g
        }
    }
};

TEST(BeamQuality, MonoenergeticBeamHasEqualHalfValueLayersOfLn2OverMu) {
    const Tables t;
    EnergyTable spectrum{};
    spectrum[100] = 1.0; // 50 keV
    const auto q = veltrim::ComputeBeamQuality(spectrum, t.MuAluminium, t.AirMuEn);
    ASSERT_TRUE(q.has_value());
    const double expectedMm = 10.0 * std::log(2.0) / t.MuAluminium[100];
    EXPECT_NEAR(q->Hvl1MmAl, expectedMm, 1e-6);
    EXPECT_NEAR(q->Hvl2MmAl, expectedMm, 1e-6);
    EXPECT_DOUBLE_EQ(q->MeanEnergyKeV, 50.0);
    EXPECT_NEAR(q->Homogeneity, 1.0, 1e-6);
    // The effective energy of a single line is its own energy.
    ASSERT_TRUE(q->EffectiveEnergyKeV.has_value());
    EXPECT_NEAR(*q->EffectiveEnergyKeV, 50.0, 1e-5);
}

// An air path hardens the beam as a filter would; none leaves the figures as
// they were, and air that takes the soft line away leaves the hard one's.
TEST(BeamQuality, AnAirPathHardensTheBeamAndNoneChangesNothing) {
    const Tables t;
    veltrim::AirTables air;
    air.MuEnOverRho = t.AirMuEn;
    for (int i = 1; i <= 300; ++i)
        air.Mu[i] = i < 100 ? 1.0 : 0.0; // 1/cm below 50 keV, nothing above
    EnergyTable spectrum{};
    spectrum[40] = 1.0;  // 20 keV
    spectrum[200] = 1.0; // 100 keV
    const auto bare = veltrim::AssessBeamQuality(spectrum, t.MuAluminium, t.AirMuEn).Quality;
    const auto none = veltrim::AssessBeamQuality(spectrum, t.MuAluminium, air, 0.0).Quality;
    const auto far = veltrim::AssessBeamQuality(spectrum, t.MuAluminium, air, 100.0).Quality;
    ASSERT_TRUE(bare && none && far);
    EXPECT_EQ(none->Hvl1MmAl, bare->Hvl1MmAl);
    EXPECT_EQ(none->MeanEnergyKeV, bare->MeanEnergyKeV);
    EXPECT_GT(far->Hvl1MmAl, bare->Hvl1MmAl);
    EXPECT_NEAR(far->Hvl1MmAl, 10.0 * std::log(2.0) / t.MuAluminium[200], 1e-6);
    EXPECT_NEAR(far->MeanEnergyKeV, 100.0, 1e-9);
}

// Two lines: the soft one is filtered out first, so the second half-value
// layer is thicker (beam hardening), and the thicknesses must halve and
// quarter the air kerma, which weights each line by E x mu_en/rho.
TEST(BeamQuality, TwoLineBeamHardensAndHalvesTheAirKerma) {
    const Tables t;
    EnergyTable spectrum{};
    spectrum[60] = 3.0;  // 30 keV
    spectrum[160] = 1.0; // 80 keV
    const auto q = veltrim::ComputeBeamQuality(spectrum, t.MuAluminium, t.AirMuEn);
    ASSERT_TRUE(q.has_value());
    EXPECT_DOUBLE_EQ(q->MeanEnergyKeV, (3.0 * 30.0 + 80.0) / 4.0);
    EXPECT_GT(q->Hvl2MmAl, q->Hvl1MmAl);
    const double k0 = 3.0 * 30.0 * t.AirMuEn[60] + 80.0 * t.AirMuEn[160];
    EXPECT_DOUBLE_EQ(veltrim::AirKermaBehindAluminium(spectrum, t.MuAluminium, t.AirMuEn, 0.0), k0);
    const double half =
        veltrim::AirKermaBehindAluminium(spectrum, t.MuAluminium, t.AirMuEn, q->Hvl1MmAl / 10.0);
    const double quarter = veltrim::AirKermaBehindAluminium(spectrum, t.MuAluminium, t.AirMuEn,
                                                            (q->Hvl1MmAl + q->Hvl2MmAl) / 10.0);
    EXPECT_NEAR(half / k0, 0.5, 1e-9);
    EXPECT_NEAR(quarter / k0, 0.25, 1e-9);
}

TEST(BeamQuality, RefusesBeamsWithoutKermaOrWithUnusableTables) {
    const Tables t;
    Tables noAluminium, nanAir;
    noAluminium.MuAluminium[100] = 0.0; // would never attenuate: no half-value layer
    nanAir.AirMuEn[100] = std::nan("");
    EnergyTable line{}, negative{};
    line[100] = negative[100] = 1.0;
    negative[120] = -0.5;
    const std::pair<EnergyTable, const Tables*> cases[] = {
        {EnergyTable{}, &t}, {negative, &t}, {line, &noAluminium}, {line, &nanAir}};
    for (const auto& [spectrum, tables] : cases)
        EXPECT_FALSE(veltrim::ComputeBeamQuality(spectrum, tables->MuAluminium, tables->AirMuEn)
                         .has_value());
}

// Aluminium that hardly attenuates (2e-6 1/cm and less) made the search
// double its bound for ever; it ends now, and says so.
TEST(BeamQuality, AHalfValueLayerBeyondAMetreOfAluminiumIsReportedNotSearchedForEver) {
    for (const double mu : {2e-6, 1e-6, 1e-300}) {
        Tables t;
        t.MuAluminium.fill(mu);
        EnergyTable spectrum{};
        spectrum[100] = 1.0;
        const veltrim::BeamQualityResult r =
            veltrim::AssessBeamQuality(spectrum, t.MuAluminium, t.AirMuEn);
        EXPECT_FALSE(r.Quality.has_value()) << mu;
        EXPECT_EQ(r.Problem, "the half-value layer is not reached within 1000 mm of aluminium");
    }
    // Inside the search: HVL1 = ln 2 / 0.015 1/cm = 46.2 cm, the quarter at 92.4 cm.
    Tables t;
    t.MuAluminium.fill(0.015);
    EnergyTable spectrum{};
    spectrum[100] = 1.0;
    const auto q = veltrim::ComputeBeamQuality(spectrum, t.MuAluminium, t.AirMuEn);
    ASSERT_TRUE(q.has_value());
    EXPECT_NEAR(q->Hvl1MmAl, 10.0 * std::log(2.0) / 0.015, 1e-6);
}

} // namespace
