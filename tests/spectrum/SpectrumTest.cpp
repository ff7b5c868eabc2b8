#include "core/CalculationError.h"
#include "core/Conditions.h"
#include "spectrum/SynthesizeSpectrum.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

// Attenuation tables made in the test: all zero (no absorption), or smooth
// coefficients shaped like real ones.
veltrim::AttenuationTables Tables(bool absorbing = false) {
    veltrim::AttenuationTables t;
    if (absorbing)
        for (int i = 1; i <= 300; ++i) {
            const double e = 0.5 * i;
            t.MuTungsten[i] = 19.3 * 4000 * std::pow(e, -2.7) + (i >= 140 ? 80 : 0);
            t.MuAluminium[i] = 2.7 * 900 * std::pow(e, -3.0) + 0.4;
            t.MuCopper[i] = 8.96 * 9000 * std::pow(e, -2.9) + 1.2;
        }
    return t;
}

// The spectrum of the conditions typed, as OK reads them.
veltrim::EnergyTable Synthesize(const char* kv, int rectification,
                                const veltrim::AttenuationTables& tables,
                                veltrim::ConditionTexts texts = {}) {
    texts.TubeVoltage = kv;
    veltrim::IrradiationConditions c;
    veltrim::ReadConditions(texts, c);
    c.Rectification = static_cast<veltrim::RectificationMethod>(rectification);
    return veltrim::SynthesizeSpectrum(c, tables, 3.14159).Spectrum;
}

// The reference values of the unfiltered spectrum (all-zero attenuation
// tables): constant potential at 30 and 100 kV (K lines), single-phase at 80 kV;
// the bin of the tube voltage itself stays empty.
TEST(Spectrum, UnfilteredSpectraMatchReferenceValuesAndLeaveTheTopBinEmpty) {
    struct Case {
        const char* kv;
        int rectification;
        std::vector<std::pair<int, double>> values;
    };
    const Case cases[] = {
        {"30", 1, {{2, 0.345626}, {3, 0.182885}, {20, 0.0038}, {59, 2.89691e-05}, {60, 0.0}}},
        {"100", 1, {{1, 0.0}, {2, 0.231756}, {100, 0.000241975}, {116, 0.000929958}}},
        {"100", 1, {{119, 0.00144632}, {134, 0.000478003}, {138, 0.000193657}}},
        {"100", 1, {{199, 1.29693e-06}, {200, 0.0}}},
        {"80", 3, {{2, 0.263153}, {119, 0.000304605}, {159, 4.01827e-07}, {160, 0.0}}},
    };
    for (const Case& c : cases) {
        const veltrim::EnergyTable spectrum = Synthesize(c.kv, c.rectification, Tables());
        for (const auto& [bin, value] : c.values)
            EXPECT_NEAR(spectrum[bin], value, 5e-6 * value) << c.kv << " kV, bin " << bin;
    }
}

TEST(Spectrum, SumsToOneWithFloorAndIsBitIdenticalRunToRun) {
    const veltrim::AttenuationTables tables = Tables(true);
    veltrim::ConditionTexts texts;
    texts.CuFilter = "0.3";
    for (int rect = 1; rect <= 3; ++rect) {
        const veltrim::EnergyTable first = Synthesize("150", rect, tables, texts);
        double sum = 0;
        for (int j = 2; j <= 300; ++j) {
            EXPECT_TRUE(first[j] == 0.0 || first[j] >= 1e-10) << j;
            sum += first[j];
        }
        EXPECT_NEAR(sum, 1.0, 1e-9);
        // Even the peak sample lies just below 150 kV, so bin 300 gets no emission.
        EXPECT_GT(first[299], 0.0);
        EXPECT_EQ(first[300], 0.0);
        const veltrim::EnergyTable again = Synthesize("150", rect, tables, texts);
        EXPECT_EQ(std::memcmp(first.data(), again.data(), sizeof first), 0);
    }
}

TEST(Spectrum, FiltrationHardensTheBeam) {
    veltrim::ConditionTexts texts;
    const veltrim::EnergyTable thin = Synthesize("100", 1, Tables(true), texts);
    texts.AlFilter = "4";
    const veltrim::EnergyTable thick = Synthesize("100", 1, Tables(true), texts);
    auto mean = [](const veltrim::EnergyTable& s) {
        double m = 0;
        for (int j = 2; j <= 300; ++j)
            m += 0.5 * j * s[j];
        return m;
    };
    EXPECT_GT(mean(thick), mean(thin) + 2.0);
}

TEST(Spectrum, KLinesAppearOnlyAbove70kV) {
    // Below 70 kV bin 119 follows its neighbours; at 70.5 kV it stands out.
    const veltrim::EnergyTable a = Synthesize("70", 1, Tables());
    const veltrim::EnergyTable b = Synthesize("70.5", 1, Tables());
    EXPECT_LT(a[119], a[118]);
    EXPECT_GT(b[119], b[118]);
    EXPECT_GT(b[116], b[115]);
}

// The step refuses what it cannot complete, before an infinity or a
// not-a-number could reach the spectrum (the window keeps its previous one:
// the pipeline's failure table).
TEST(Spectrum, InputsItCannotCompleteWithAreRefused) {
    veltrim::ConditionTexts angle0, angle180, absorbing, overflowing, unreadable;
    angle0.TargetAngle = "0";
    angle180.TargetAngle = "180";
    absorbing.CuFilter = "1e6";
    overflowing.AlFilter = "-1e5"; // a negative thickness amplifies past the largest double
    unreadable.InherentFiltration = "1e400";
    for (const auto& texts : {angle0, angle180, absorbing, overflowing, unreadable})
        EXPECT_THROW(Synthesize("80", 1, Tables(true), texts), veltrim::CalculationError)
            << texts.TargetAngle << " degrees, " << texts.InherentFiltration << " / "
            << texts.AlFilter << " / " << texts.CuFilter << " mm";
}

} // namespace
