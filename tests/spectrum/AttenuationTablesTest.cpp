#include "common/TempFolder.h"
#include "window/SharedState.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

using veltrim::testing::TempFolder;

// An attenuation file of `records` records whose coefficient is 1000 * scale + i
// and whose first field deliberately disagrees with the bin.
std::string AttenuationText(int records, double scale) {
    std::ostringstream out;
    for (int i = 1; i <= records; ++i)
        out << 7 * i << "," << 1000 * scale + i << "\n";
    return out.str();
}

void WriteTables(const TempFolder& dir, int records = 300) {
    dir.Write(veltrim::TungstenFile, AttenuationText(records, 1));
    dir.Write(veltrim::AluminiumFile, AttenuationText(records, 2));
    dir.Write(veltrim::CopperFile, AttenuationText(records, 3));
}

TEST(AttenuationTables, RecordIIsBinIWhateverItsFirstFieldAndExtraRecordsAreIgnored) {
    TempFolder dir;
    WriteTables(dir, 320);
    const veltrim::AttenuationTables t = veltrim::ReadAttenuationTables(dir.Path());
    EXPECT_EQ(t.MuTungsten[0], 0.0);
    EXPECT_EQ(t.MuTungsten[1], 1001.0);
    EXPECT_EQ(t.MuTungsten[300], 1300.0);
    EXPECT_EQ(t.MuAluminium[150], 2150.0);
    EXPECT_EQ(t.MuCopper[300], 3300.0);
}

// Missing, short and non-numeric files are the hardening tests' breakages.
TEST(AttenuationTables, ReadOnceSoLaterEditsChangeNothing) {
    TempFolder dir;
    WriteTables(dir);
    veltrim::RecordingSink sink;
    veltrim::SharedState state(sink, dir.Path());
    ASSERT_TRUE(state.LoadAttenuationTables());
    std::filesystem::remove(dir / veltrim::TungstenFile);
    state.ReadConditions({});
    EXPECT_TRUE(state.SynthesizeSpectrum());
    EXPECT_EQ(state.Attenuation.MuTungsten[10], 1010.0);
}

} // namespace
