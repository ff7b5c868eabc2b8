// Faults found by an adversarial run, each at the lowest layer that had it.
#include "common/RefusalHelpers.h"
#include "common/ShippedData.h"
#include "core/CFormat.h"
#include "core/DataFile.h"
#include "dose/FocusKernels.h"
#include "dose/TissueTables.h"
#include "engine/CalculateBeam.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace {

using namespace veltrim;
using veltrim::testing::ShippedData;

// A huge number typed where a thickness goes must not end the program: the
// message that names it is formatted whatever its length.
TEST(MendedFaults, AHugeMeasuredHvl1IsToldInAReadableOutOfReachMessage) {
    EXPECT_GT(FormatC("%.3f", 1e300).size(), 300u);
    const auto data = ModelData::Load(ShippedData);
    const auto e = veltrim::testing::ThrownBy<CalculationError>(
        [&] { MatchBeamHvl1(DefaultConditions(), 1e300, MatchFilter::Aluminium, 0.0, *data); });
    ASSERT_TRUE(e) << "an HVL1 of 1e300 mm was matched";
    EXPECT_EQ(e->Cause().Id(), MessageId::Hvl1OutOfReach);
    EXPECT_NE(std::string(e->what()).find("1e+300 mm Al"), std::string::npos) << e->what();
}

// Near zero copper the HVL1 is steep: 0.0001 mm steps it by more than the
// tolerance, and a reachable value was refused. A finer step matches it.
TEST(MendedFaults, AThinCopperFilterIsFoundToTheDecimalsItNeeds) {
    const auto data = ModelData::Load(ShippedData);
    IrradiationConditions c = DefaultConditions();
    c.TubeVoltage = 146.6;
    c.TargetAngle = 18.9;
    c.InherentFiltration = 0.196;
    c.Rectification = RectificationMethod::ThreePhase12Peak;
    const Hvl1Match match = MatchBeamHvl1(c, 4.31, MatchFilter::Copper, 0.0, *data);
    EXPECT_GT(match.Decimals, 4);
    EXPECT_LE(std::fabs(match.Quality.Hvl1MmAl - 4.31), Hvl1MatchTolerance);
    // The text typed into the field gives the same thickness back.
    EXPECT_EQ(std::stod(AddedFilterText(match)), match.AddedMm);
}

// An FSD just below the smallest point-focus set is named with the digits
// that tell it from the set's own 50 cm.
TEST(MendedFaults, AnFsdJustBelowTheDivergentSetsIsNamedWithItsDigits) {
    FocusKernelLibrary library("no-such-folder");
    const std::string refused =
        veltrim::testing::RefusalOf<CalculationError>([&] { library.SourceFor(49.9999999999); });
    EXPECT_NE(refused.find("49.9999999999 cm"), std::string::npos) << refused;
}

// A tissue energy finite in MeV can overflow in keV; it is refused as out of
// range instead of reaching the calculation as infinity.
TEST(MendedFaults, ATissueEnergyThatOverflowsInKeVIsRefused) {
    NumberFile file("ICRUSoft.dat", "1,0\n1e306,1,1,1\n");
    TissueRows rows{};
    EXPECT_THROW(ReadTissueFile(file, rows), DataFileError);
}

} // namespace
