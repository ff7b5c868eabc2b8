// The spectrum window's two saves: the name typed without extension, the
// file written whole or not at all, and a refusal that says why.
#include "gui/QualityFixture.h"
#include "spectrum/SpectrumCsv.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

using namespace veltrim;
using namespace veltrim::testing;
namespace qc = qualitycontrols;
namespace fs = std::filesystem;

class QualitySave : public QualityTest {
  protected:
    // Both files saved under the name typed in each field.
    QualityWindow& SaveBoth(const char* name) {
        QualityWindow& quality = Open();
        for (const ControlName field : {qc::CsvFileName, qc::PngFileName})
            FindControl<QLineEdit>(quality, field).setText(name);
        for (const ControlName button : {qc::SaveCsv, qc::SavePng})
            FindControl<QPushButton>(quality, button).click();
        return quality;
    }
};

TEST_F(QualitySave, CsvHoldsTheSpectrumShownAndPngItsPicture) {
    Ok();
    const QualityWindow& quality = SaveBoth("beam");
    EXPECT_EQ(f.sink.Messages, (std::vector<std::string>{"  Saved  ", "  Saved  "}));

    // The layout itself is the spectrum file's test; here, that it holds the spectrum shown.
    EXPECT_EQ(ReadBytes(f.dir / "beam.csv"), SpectrumCsvBytes(w.State().Spectrum));
    EXPECT_EQ(QImage(QString::fromStdString((f.dir / "beam.png").string()), "PNG")
                  .convertToFormat(QImage::Format_RGB32),
              quality.Picture());
}

TEST_F(QualitySave, ANameHeldByAFolderIsRefusedInTheEditionsWordsAndNothingIsWritten) {
    Ok();
    fs::create_directory(f.dir / "taken.csv");
    fs::create_directory(f.dir / "taken.png");
    const std::vector<std::string> before = EntriesOf(f.dir.Path());
    SaveBoth("taken");

    ASSERT_EQ(f.sink.Messages.size(), 2u);
    EXPECT_EQ(f.sink.Messages[0], "The spectrum could not be saved as \"taken.csv\": a folder of "
                                  "that name is in the way. Nothing was written under that name.");
    EXPECT_TRUE(
        Holds(f.sink.Messages[1], "The spectrum picture could not be saved as \"taken.png\""));
    EXPECT_TRUE(fs::is_directory(f.dir / "taken.csv"));
    EXPECT_TRUE(fs::is_empty(f.dir / "taken.csv"));
    EXPECT_EQ(EntriesOf(f.dir.Path()), before) << "a temporary was left behind";
}

} // namespace
