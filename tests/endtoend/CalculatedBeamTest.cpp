#include "engine/CalculatedBeam.h"

#include "common/ShippedData.h"
#include "common/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

using namespace veltrim;

TEST(CalculatedBeam, DescribedAsTheCalculationReadTheTextsInEitherLanguage) {
    CalculatedBeam beam;
    beam.Typed.TubeVoltage = " 120 ";
    beam.Typed.AlFilter = "1.50";
    beam.Typed.CuFilter = "0.1mm"; // read as 0.1, as OK reads it
    beam.Typed.FieldX = "20";
    beam.Typed.FieldY = "0"; // a circle
    beam.Rectification = RectificationMethod::SinglePhaseFullWave;
    EXPECT_EQ(DescribeBeam(beam, Language::English),
              "120 kV, single-phase full-wave, filters 2.5 mm Al eq. + 1.5 mm Al + 0.1 mm Cu, "
              "FSD 100 cm, field circle of 20 cm");
    EXPECT_EQ(DescribeBeam(beam, Language::Japanese),
              "120 kV、単相全波、ろ過 2.5 mm Al 当量 + 1.5 mm Al + 0.1 mm Cu、FSD 100 cm、照射野 "
              "直径 20 cm の円");
    EXPECT_EQ(CurveEntry(3, beam, Language::English).rfind("3.  120 kV", 0), 0u);
    EXPECT_NE(CurveEntry(3, beam, Language::English).find("no HVL1"), std::string::npos)
        << "a beam without figures says so";
}

TEST(CalculatedBeam, RecordedWithItsQualityOnlyWhenTheAirTablesWereRead) {
    // A folder with the spectrum's tables and no air tables.
    const veltrim::testing::TempFolder noAir;
    for (const char* file : {TungstenFile, AluminiumFile, CopperFile})
        std::filesystem::copy_file(veltrim::testing::ShippedData / file, noAir.Path() / file);
    const AirData missing = AirDataOf(ModelData::Load(noAir.Path(), ModelCache({}, noAir.Path())));
    EXPECT_FALSE(missing.Tables);
    EXPECT_NE(missing.Problem.In(Language::English).find("AirKerma.dat"), std::string::npos);

    const AirData shipped = AirDataOf(ModelData::Load(veltrim::testing::ShippedData));
    ASSERT_TRUE(shipped.Tables);
    const AttenuationTables attenuation = ReadAttenuationTables(veltrim::testing::ShippedData);
    EnergyTable spectrum{};
    spectrum[80] = 1.0; // 40 keV alone
    const CalculatedBeam beam = RecordBeam({}, RectificationMethod::ThreePhase12Peak, spectrum,
                                           attenuation.MuAluminium, shipped);
    ASSERT_TRUE(beam.Quality);
    EXPECT_DOUBLE_EQ(beam.Quality->MeanEnergyKeV, 40.0);
    EXPECT_NEAR(*beam.Quality->EffectiveEnergyKeV, 40.0, 0.01)
        << "one line is its own effective energy";
    EXPECT_FALSE(RecordBeam({}, RectificationMethod::ThreePhase12Peak, spectrum,
                            attenuation.MuAluminium, missing)
                     .Quality);
}

} // namespace
