// A beam given by its measured first half-value layer, over the shipped data.

#include "spectrum/HvlMatching.h"

#include "common/RefusalHelpers.h"
#include "common/ShippedData.h"
#include "core/CFormat.h"
#include "core/CalculationError.h"
#include "core/Conditions.h"
#include "spectrum/SynthesizeSpectrum.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using veltrim::MatchFilter;
using veltrim::testing::ShippedData;

struct Shipped {
    veltrim::AttenuationTables attenuation = veltrim::ReadAttenuationTables(ShippedData);
    veltrim::AirTables air = veltrim::ReadAirTables(ShippedData);

    static veltrim::IrradiationConditions Typed(const char* kv, int rectification = 1) {
        veltrim::ConditionTexts texts;
        texts.TubeVoltage = kv;
        veltrim::IrradiationConditions c;
        veltrim::ReadConditions(texts, c);
        c.Rectification = static_cast<veltrim::RectificationMethod>(rectification);
        return c;
    }
    double Hvl1(const veltrim::IrradiationConditions& c, double airCm) const {
        const auto spectrum = veltrim::SynthesizeSpectrum(c, attenuation, 3.14159).Spectrum;
        return veltrim::AssessBeamQuality(spectrum, attenuation.MuAluminium, air, airCm)
            .Quality->Hvl1MmAl;
    }
};

// The found filter, put into the conditions as typed and synthesised the
// ordinary way, gives the measured HVL1 within 0.001 mm Al.
TEST(HvlMatching, TheFoundFilterGivesTheMeasuredHvl1) {
    const Shipped data;
    struct Case {
        const char* kv;
        int rectification;
        double hvl1;
        MatchFilter filter;
        double airCm;
    };
    for (const Case& c : {Case{"80", 1, 3.00, MatchFilter::Aluminium, 0.0},
                          Case{"60", 3, 2.50, MatchFilter::Aluminium, 100.0},
                          Case{"120", 2, 6.00, MatchFilter::Copper, 95.0},
                          Case{"40", 1, 1.50, MatchFilter::Aluminium, 0.0},
                          Case{"80", 1, 2.00, MatchFilter::Inherent, 0.0}}) {
        SCOPED_TRACE(std::string(c.kv) + " kV, HVL1 " + std::to_string(c.hvl1));
        const auto typed = Shipped::Typed(c.kv, c.rectification);
        const veltrim::Hvl1Match match = veltrim::MatchHvl1(typed, data.attenuation, data.air,
                                                            3.14159, c.hvl1, c.filter, c.airCm);
        EXPECT_GT(match.AddedMm, 0.0);
        EXPECT_NEAR(match.Quality.Hvl1MmAl, c.hvl1, veltrim::Hvl1MatchTolerance);
        EXPECT_EQ(data.Hvl1(match.Conditions, c.airCm), match.Quality.Hvl1MmAl);
        const double typedCm = c.filter == MatchFilter::Aluminium ? match.Conditions.AlFilter
                               : c.filter == MatchFilter::Copper
                                   ? match.Conditions.CuFilter
                                   : match.Conditions.InherentFiltration;
        EXPECT_EQ(typedCm, match.AddedMm / 10.0);
    }
}

// What the filter cannot reach is refused with the reachable range, saying
// whether it lies below (where only less inherent filtration helps); a value
// at the bare beam's own HVL1 needs no filter.
TEST(HvlMatching, AnHvl1OutOfReachIsRefusedWithTheRange) {
    const Shipped data;
    const auto typed = Shipped::Typed("80");
    const double bare = data.Hvl1(typed, 0.0);
    for (const double hvl1 : {1.0, 40.0}) {
        const auto e = veltrim::testing::ThrownBy<veltrim::Hvl1OutOfReachError>([&] {
            veltrim::MatchHvl1(typed, data.attenuation, data.air, 3.14159, hvl1,
                               MatchFilter::Aluminium, 0.0);
        });
        ASSERT_TRUE(e) << hvl1 << " mm Al was matched";
        EXPECT_EQ(e->Below(), hvl1 < bare);
        const std::string text = e->what();
        EXPECT_NE(text.find(veltrim::FormatC("%.3f mm Al with none added", bare)),
                  std::string::npos)
            << text;
        EXPECT_NE(text.find("with 50 mm added"), std::string::npos) << text;
    }
    const auto match = veltrim::MatchHvl1(typed, data.attenuation, data.air, 3.14159, bare,
                                          MatchFilter::Aluminium, 0.0);
    EXPECT_EQ(match.AddedMm, 0.0);
}

} // namespace
