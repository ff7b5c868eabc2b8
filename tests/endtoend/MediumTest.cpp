// A phantom medium other than the four-component tissue: its tables come
// from its own folder, and nothing else of the calculation changes.

#include "common/RefusalHelpers.h"
#include "common/ShippedData.h"
#include "common/TempFolder.h"
#include "engine/BeamPoints.h"
#include "engine/CalculateBeam.h"
#include "files/ResultsFile.h"

#include <gtest/gtest.h>

namespace {

using namespace veltrim;
namespace fs = std::filesystem;

// The shipped tables of the four-component tissue, and a copy of them as
// the tables of water, in a folder of the test's own.
struct WaterBesideTissue : veltrim::testing::TempFolder {
    WaterBesideTissue() {
        const fs::path water = Path() / MediumFolder(Medium::Water);
        fs::create_directories(water);
        for (const fs::directory_entry& entry :
             fs::directory_iterator(veltrim::testing::ShippedData)) {
            const std::string name = entry.path().filename().string();
            if (name == "media" || name == FocusKernelFolder)
                continue;
            const auto options = fs::copy_options::recursive;
            fs::copy(entry.path(), Path() / name, options);
            if (name == TissueFile || name == PrimaryDoseFile || name == KernelFolder ||
                name == SurfaceKernelFolder)
                fs::copy(entry.path(), water / name, options);
        }
    }
};

BeamResult Calculate(const ModelData& data, Medium medium) {
    CalculationOptions options;
    options.PhantomMedium = medium;
    options.Absolute = true;
    return CalculateBeam(DefaultConditions(), options, data);
}

TEST(PhantomMedium, TablesOfItsOwnFolderAloneSetItApartAndTheResultsFileNamesIt) {
    ASSERT_TRUE(veltrim::testing::KernelsShipped());
    const WaterBesideTissue folder;
    const auto data = ModelData::Load(folder.Path());
    const BeamResult tissue = Calculate(*data, Medium::IcruFourComponent);
    const BeamResult water = Calculate(*data, Medium::Water);
    for (int d = 1; d <= tissue.DepthDose->Rows; ++d) {
        EXPECT_EQ(water.DepthDose->Table[d], tissue.DepthDose->Table[d]) << "row " << d;
        EXPECT_EQ(water.Absolute->PerKerma.Total[d], tissue.Absolute->PerKerma.Total[d]);
    }
    EXPECT_EQ(water.Absolute->PerKerma.Backscatter, tissue.Absolute->PerKerma.Backscatter);
    const std::string tissueFile = ResultsFileBytes(tissue);
    const std::string waterFile = ResultsFileBytes(water);
    ASSERT_EQ(waterFile.substr(0, tissueFile.size()), tissueFile);
    EXPECT_EQ(DecodeShiftJis(waterFile.substr(tissueFile.size())), "被照射体, 水\r\n");

    // Denser attenuation in water's table alone: its deep dose falls.
    fs::copy_file(veltrim::testing::ShippedData / MediumFolder(Medium::Pmma) / TissueFile,
                  folder.Path() / MediumFolder(Medium::Water) / TissueFile,
                  fs::copy_options::overwrite_existing);
    const auto denserData = ModelData::Load(folder.Path());
    const BeamResult denser = Calculate(*denserData, Medium::Water);
    EXPECT_LT(denser.DepthDose->Table[40][TotalPdd], tissue.DepthDose->Table[40][TotalPdd]);
    // A profile reads the beam's medium too, not the four-component tissue.
    const auto axisTotal = [](const DoseGrid& grid) {
        double sum = 0.0;
        for (const PointDose& p : grid.Doses)
            sum += p.Primary + p.Scatter;
        return sum;
    };
    EXPECT_LT(axisTotal(BeamProfile(denser, 20.25, LateralAxis::X, *denserData)),
              axisTotal(BeamProfile(tissue, 20.25, LateralAxis::X, *denserData)));
}

TEST(PhantomMedium, MissingTablesAreRefusedNamingTheMediumInEitherLanguage) {
    const WaterBesideTissue folder;
    fs::remove(folder.Path() / MediumFolder(Medium::Water) / SurfaceKernelFolder / "50.dat");
    const auto data = ModelData::Load(folder.Path());
    const auto e = veltrim::testing::ThrownBy<BeamError>([&] { Calculate(*data, Medium::Water); });
    ASSERT_TRUE(e) << "a medium without its surface kernels was calculated";
    EXPECT_EQ(e->Cause().Id(), MessageId::MediumDataFailed);
    const std::string english = BeamErrorText(*e, Language::English);
    EXPECT_NE(english.find("Water"), std::string::npos) << english;
    EXPECT_NE(english.find("50.dat"), std::string::npos) << english;
    EXPECT_NE(BeamErrorText(*e, Language::Japanese).find("水"), std::string::npos);
    // The default medium is untouched by another's damage, and a medium
    // with no folder at all is refused as well.
    EXPECT_NO_THROW(Calculate(*data, Medium::IcruFourComponent));
    EXPECT_THROW(Calculate(*data, Medium::Pmma), BeamError);
    // A finite phantom takes the exit ratios of its own medium, never the
    // four-component tissue's beside them.
    CalculationOptions thin;
    thin.PhantomMedium = Medium::Water;
    thin.ThicknessCm = 20.0;
    const auto slab = veltrim::testing::ThrownBy<BeamError>(
        [&] { CalculateBeam(DefaultConditions(), thin, *data); });
    ASSERT_TRUE(slab) << "a finite phantom of water was calculated without its exit ratios";
    EXPECT_EQ(slab->Cause().Id(), MessageId::MediumDataFailed);
    EXPECT_NE(BeamErrorText(*slab, Language::English).find(ExitRatioFolder), std::string::npos);
    EXPECT_NE(BeamErrorText(*slab, Language::Japanese).find("水"), std::string::npos);
}

} // namespace
