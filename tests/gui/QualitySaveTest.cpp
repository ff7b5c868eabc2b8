// The spectrum window's two saves: the name typed without extension, the
// file written whole or not at all, and a refusal that says why.
#include "common/ProgramRun.h"
#include "gui/QualityFixture.h"
#include "spectrum/SpectrumCsv.h"

#include <QImage>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

namespace {

using namespace veltrim;
using namespace veltrim::testing;
namespace qc = qualitycontrols;
namespace fs = std::filesystem;

using QualitySave = QualityTest;

TEST_F(QualitySave, CsvHoldsEveryBinToFullPrecisionAndPngThePictureShown) {
    Ok();
    QualityWindow& quality = Open();
    FindControl<QLineEdit>(quality, qc::CsvFileName).setText("beam");
    FindControl<QLineEdit>(quality, qc::PngFileName).setText("beam");
    FindControl<QPushButton>(quality, qc::SaveCsv).click();
    FindControl<QPushButton>(quality, qc::SavePng).click();
    EXPECT_EQ(f.sink.Messages, (std::vector<std::string>{"  Saved  ", "  Saved  "}));

    const std::vector<std::string> lines = Lines(ReadBytes(f.dir / "beam.csv"));
    ASSERT_EQ(lines.size(), 301u);
    EXPECT_EQ(lines[0], "bin,energy_keV,fraction");
    const EnergyTable& spectrum = w.State().Spectrum;
    for (int bin = 1; bin <= 300; ++bin) {
        SCOPED_TRACE(lines[static_cast<std::size_t>(bin)]);
        const char* text = lines[static_cast<std::size_t>(bin)].c_str();
        char* end = nullptr;
        EXPECT_EQ(std::strtol(text, &end, 10), bin);
        EXPECT_EQ(std::strtod(end + 1, &end), 0.5 * bin);
        // Read back, the fraction is the very double of the spectrum.
        EXPECT_EQ(std::strtod(end + 1, &end), spectrum[static_cast<std::size_t>(bin)]);
        EXPECT_EQ(*end, '\0');
    }
    EXPECT_EQ(QImage(QString::fromStdString((f.dir / "beam.png").string()), "PNG")
                  .convertToFormat(QImage::Format_RGB32),
              quality.Picture());
}

TEST_F(QualitySave, ANameHeldByAFolderIsRefusedInTheEditionsWordsAndNothingIsWritten) {
    Ok();
    QualityWindow& quality = Open();
    fs::create_directory(f.dir / "taken.csv");
    fs::create_directory(f.dir / "taken.png");
    const std::vector<std::string> before = EntriesOf(f.dir.Path());
    FindControl<QLineEdit>(quality, qc::CsvFileName).setText("taken");
    FindControl<QLineEdit>(quality, qc::PngFileName).setText("taken");
    FindControl<QPushButton>(quality, qc::SaveCsv).click();
    FindControl<QPushButton>(quality, qc::SavePng).click();

    ASSERT_EQ(f.sink.Messages.size(), 2u);
    EXPECT_EQ(f.sink.Messages[0], "The spectrum could not be saved as \"taken.csv\": a folder of "
                                  "that name is in the way. Nothing was written under that name.");
    EXPECT_NE(f.sink.Messages[1].find("The spectrum picture could not be saved as \"taken.png\""),
              std::string::npos)
        << f.sink.Messages[1];
    EXPECT_TRUE(fs::is_directory(f.dir / "taken.csv"));
    EXPECT_TRUE(fs::is_empty(f.dir / "taken.csv"));
    EXPECT_EQ(EntriesOf(f.dir.Path()), before) << "a temporary was left behind";
}

} // namespace
