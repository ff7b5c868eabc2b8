#include "calculation/SharedState.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

// A state with attenuation tables made in the test: all zero (no absorption),
// or smooth coefficients shaped like real ones.
struct SpectrumFixture {
    veltrim::RecordingSink sink;
    veltrim::SharedState state{sink};

    explicit SpectrumFixture(bool absorbing = false) {
        if (absorbing)
            for (int i = 1; i <= 300; ++i) {
                const double e = 0.5 * i;
                state.Attenuation.MuTungsten[i] =
                    19.3 * 4000 * std::pow(e, -2.7) + (i >= 140 ? 80 : 0);
                state.Attenuation.MuAluminium[i] = 2.7 * 900 * std::pow(e, -3.0) + 0.4;
                state.Attenuation.MuCopper[i] = 8.96 * 9000 * std::pow(e, -2.9) + 1.2;
            }
        state.AttenuationLoaded = true;
    }

    bool Run(const char* kv, int rectification, veltrim::ConditionTexts texts = {}) {
        texts.TubeVoltage = kv;
        state.ReadConditions(texts);
        state.SelectRectification(rectification);
        return state.SynthesizeSpectrum();
    }
};

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
        {"100",
         1,
         {{1, 0.0},
          {2, 0.231756},
          {100, 0.000241975},
          {116, 0.000929958},
          {119, 0.00144632},
          {134, 0.000478003},
          {138, 0.000193657},
          {199, 1.29693e-06},
          {200, 0.0}}},
        {"80", 3, {{2, 0.263153}, {119, 0.000304605}, {159, 4.01827e-07}, {160, 0.0}}},
    };
    for (const Case& c : cases) {
        SpectrumFixture f;
        ASSERT_TRUE(f.Run(c.kv, c.rectification));
        for (const auto& [bin, value] : c.values) {
            if (value == 0.0)
                EXPECT_EQ(f.state.Spectrum[bin], 0.0) << c.kv << " kV, bin " << bin;
            else
                EXPECT_NEAR(f.state.Spectrum[bin], value, 5e-6 * value)
                    << c.kv << " kV, bin " << bin;
        }
    }
}

TEST(Spectrum, SumsToOneWithFloorAndIsBitIdenticalRunToRun) {
    for (int rect = 1; rect <= 3; ++rect) {
        SpectrumFixture f(true);
        veltrim::ConditionTexts texts;
        texts.CuFilter = "0.3";
        ASSERT_TRUE(f.Run("150", rect, texts));
        const veltrim::EnergyTable first = f.state.Spectrum;
        double sum = 0;
        for (int j = 2; j <= 300; ++j) {
            EXPECT_TRUE(first[j] == 0.0 || first[j] >= 1e-10) << j;
            sum += first[j];
        }
        EXPECT_NEAR(sum, 1.0, 1e-9);
        // Even the peak sample lies just below 150 kV, so bin 300 gets no emission.
        EXPECT_GT(first[299], 0.0);
        EXPECT_EQ(first[300], 0.0);
        ASSERT_TRUE(f.Run("150", rect, texts));
        EXPECT_EQ(std::memcmp(first.data(), f.state.Spectrum.data(), sizeof first), 0);
    }
}

TEST(Spectrum, FiltrationHardensTheBeam) {
    SpectrumFixture thin(true), thick(true);
    veltrim::ConditionTexts texts;
    ASSERT_TRUE(thin.Run("100", 1, texts));
    texts.AlFilter = "4";
    ASSERT_TRUE(thick.Run("100", 1, texts));
    auto mean = [](const veltrim::EnergyTable& s) {
        double m = 0;
        for (int j = 2; j <= 300; ++j)
            m += 0.5 * j * s[j];
        return m;
    };
    EXPECT_GT(mean(thick.state.Spectrum), mean(thin.state.Spectrum) + 2.0);
}

TEST(Spectrum, KLinesAppearOnlyAbove70kV) {
    // Below 70 kV bin 119 follows its neighbours; at 70.5 kV it stands out.
    SpectrumFixture low, high;
    ASSERT_TRUE(low.Run("70", 1));
    ASSERT_TRUE(high.Run("70.5", 1));
    const auto& a = low.state.Spectrum;
    const auto& b = high.state.Spectrum;
    EXPECT_LT(a[119], a[118]);
    EXPECT_GT(b[119], b[118]);
    EXPECT_GT(b[116], b[115]);
}

TEST(Spectrum, InputsItCannotCompleteWithAreReportedAndLeaveTheSpectrumFinite) {
    struct Case {
        const char* what;
        veltrim::ConditionTexts texts;
    };
    std::vector<Case> cases(5);
    cases[0] = {"angle 0", {}};
    cases[0].texts.TargetAngle = "0";
    cases[1] = {"absorbs everything", {}};
    cases[1].texts.CuFilter = "1e6";
    cases[2] = {"negative thickness overflows", {}};
    cases[2].texts.AlFilter = "-1e5";
    cases[3] = {"angle 180", {}};
    cases[3].texts.TargetAngle = "180";
    cases[4] = {"thickness too large to read", {}};
    cases[4].texts.InherentFiltration = "1e400";
    for (const Case& k : cases) {
        SpectrumFixture f(true);
        ASSERT_TRUE(f.Run("80", 1));
        const veltrim::EnergyTable before = f.state.Spectrum;
        EXPECT_FALSE(f.Run("80", 1, k.texts)) << k.what;
        EXPECT_EQ(f.sink.Messages.size(), 1u) << k.what;
        for (double v : f.state.Spectrum)
            ASSERT_TRUE(std::isfinite(v)) << k.what;
        EXPECT_EQ(f.state.Spectrum, before) << k.what;
    }
}

} // namespace
