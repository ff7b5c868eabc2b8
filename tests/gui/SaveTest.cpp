#include "app/DoseWindow.h"
#include "app/QualityWindow.h"
#include "common/ProgramRun.h"
#include "core/CFormat.h"
#include "files/BeamFile.h"
#include "gui/GuiFixture.h"

#include <QFile>
#include <QImage>
#include <QRadioButton>
#include <QXmlStreamReader>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

namespace {

using namespace veltrim;
using namespace veltrim::testing;
namespace mc = maincontrols;
namespace fs = std::filesystem;

// What an SVG of the graph shows: its texts, and how many primary curves
// (red runs of many line segments; the legend's red line is one).
struct SvgGraph {
    QStringList Texts;
    int PrimaryCurves = 0;
};

SvgGraph ReadSvgGraph(const fs::path& file) {
    QFile in(Utf8(file.string()));
    EXPECT_TRUE(in.open(QIODevice::ReadOnly)) << file;
    QXmlStreamReader xml(&in);
    SvgGraph graph;
    int redSegments = -1;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"g")
            redSegments = xml.attributes().value(QStringLiteral("stroke")) == u"#ff0000" ? 0 : -1;
        else if (xml.isStartElement() && xml.name() == u"polyline" && redSegments >= 0)
            ++redSegments;
        else if (xml.isEndElement() && xml.name() == u"g" && redSegments >= 10)
            ++graph.PrimaryCurves;
        else if (xml.isStartElement() && xml.name() == u"text")
            graph.Texts << xml.readElementText();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return graph;
}

TEST(SaveCommands, BmpAndSvgHoldEveryCurveSinceResetWhileCsvHoldsTheLastCalculation) {
    WindowFixture f;
    MainWindow& w = *f.window;
    w.Calculate();
    const DepthDoseTable first = w.State().DepthDoseResult;
    const std::string firstCsv = ReadBytes(f.dir / ResultsFileName);
    f.Field(mc::TubeVoltage).setText("140");
    f.Field(mc::CuFilter).setText("0.2");
    w.Calculate();
    PointerAt(w, {450.0, 455.0}); // lines shown while saving
    f.Field(mc::NumbersFileName).setText("both");
    f.Field(mc::PictureFileName).setText("both");
    f.Button(mc::SaveNumbers).click();
    f.Button(mc::SavePicture).click();
    w.ExportGraphSvg(Utf8((f.dir / "both.svg").string()));

    const std::string csv = ReadBytes(f.dir / "both.csv");
    EXPECT_EQ(csv, ReadBytes(f.dir / ResultsFileName));
    EXPECT_NE(csv, firstCsv);
    // Drawn afresh, without any window: the frame and both sets of curves.
    EXPECT_EQ(DecodedBmp(f.dir / "both.bmp"), ChartWith({first, w.State().DepthDoseResult}))
        << "the picture holds more or less";
    // The SVG is drawn by the same road: both curves, the labels as text.
    const SvgGraph svg = ReadSvgGraph(f.dir / "both.svg");
    EXPECT_EQ(svg.PrimaryCurves, 2);
    EXPECT_TRUE(svg.Texts.contains("depth in soft-tissue [cm]"))
        << svg.Texts.join('|').toStdString();
    EXPECT_EQ(svg.Texts.count("Primary component"), 2);
}

TEST(SaveCommands, AFailedSaveSaysWhatFailedAndLeavesTheWindowAsItWas) {
    WindowFixture f(Language::Japanese);
    MainWindow& w = *f.window;
    w.Calculate();
    PointerAt(w, {150.0, 455.0});
    const QStringList readouts = Readouts(w);
    f.dir.Write("kept.csv", "earlier");

    f.Field(mc::NumbersFileName).setText("no-such-folder/kept");
    f.Field(mc::PictureFileName).setText("no-such-folder/kept");
    f.Button(mc::SaveNumbers).click();
    f.Button(mc::SavePicture).click();
    fs::remove(f.dir / ResultsFileName);
    f.Field(mc::NumbersFileName).setText("kept");
    f.Button(mc::SaveNumbers).click();

    // The Japanese edition says it in Japanese (the wording is the saving tests').
    ASSERT_EQ(f.sink.Messages.size(), 3u);
    EXPECT_TRUE(Holds(f.sink.Messages[0], "フォルダー「no-such-folder」がありません"));
    EXPECT_TRUE(Holds(f.sink.Messages[1], "「no-such-folder/kept.bmp」"));
    EXPECT_TRUE(Holds(f.sink.Messages[2], "PDD_tempDATA.txt がありません"));
    EXPECT_EQ(ReadBytes(f.dir / "kept.csv"), "earlier");
    EXPECT_FALSE(fs::exists(f.dir / "no-such-folder"));
    EXPECT_TRUE(f.Button(mc::SaveNumbers).isEnabled());
    EXPECT_TRUE(f.Button(mc::SavePicture).isEnabled());
    EXPECT_EQ(Readouts(w), readouts);
    EXPECT_EQ(w.State().ResultsReady, 1);
    EXPECT_EQ(w.State().CursorPlaced, 1);
    EXPECT_EQ(f.Field(mc::NumbersFileName).text(), "kept");
}

// The graph menu's exports: nothing before a calculation; after it the
// table of the last curve with every digit and the picture as drawn; a name
// that cannot be written is refused with the reason and no file.
TEST(SaveCommands, ExportsWriteTheLastTableWithEveryDigitAndThePictureAsDrawn) {
    WindowFixture f;
    MainWindow& w = *f.window;
    w.ExportTableCsv(Utf8((f.dir / "early.csv").string()));
    EXPECT_FALSE(fs::exists(f.dir / "early.csv"));
    w.Calculate();
    // A name chosen without its extension gets it; the confirmation says
    // where the file went.
    w.ExportTableCsv(Utf8((f.dir / "table").string()));
    w.ExportGraphPng(Utf8((f.dir / "graph.png").string()));
    w.ExportTableCsv(QString(""));
    fs::create_directory(f.dir / "held.png");
    w.ExportGraphPng(Utf8((f.dir / "held").string()));

    ASSERT_EQ(f.sink.Messages.size(), 4u);
    const std::string folder = f.dir.Path().string();
    EXPECT_EQ(f.sink.Messages[0], "The table was exported as table.csv in " + folder + ".");
    EXPECT_EQ(f.sink.Messages[1], "The graph was saved as PNG: graph.png in " + folder + ".");
    EXPECT_TRUE(Holds(f.sink.Messages[2], "no file name was given"));
    EXPECT_TRUE(Holds(f.sink.Messages[3], "folder"));
    EXPECT_TRUE(fs::is_directory(f.dir / "held.png"));
    EXPECT_EQ(QImage(Utf8((f.dir / "graph.png").string())).convertToFormat(QImage::Format_RGB32),
              w.Graph().Image().convertToFormat(QImage::Format_RGB32));

    const std::string csv = ReadBytes(f.dir / "table.csv");
    EXPECT_TRUE(Begins(csv.substr(0, 80), "# program=Veltrim "));
    const std::size_t header = csv.find("\ndepth_from_cm,");
    ASSERT_NE(header, std::string::npos);
    std::istringstream rows(csv.substr(csv.find('\n', header + 1) + 1));
    std::string row;
    int d = 0;
    while (std::getline(rows, row)) {
        const std::string total = row.substr(row.rfind(',') + 1);
        EXPECT_EQ(std::strtod(total.c_str(), nullptr), w.State().DepthDoseResult[++d][TotalPdd])
            << row;
    }
    EXPECT_EQ(d, w.State().DepthRowCount);
}

// The report of the Japanese edition: nothing before a calculation (the
// menu item is disabled then, Ctrl+P does nothing); after it a PDF whose text
// is Japanese and holds the table of the last curve with the results file's
// digits.
TEST(SaveCommands, TheReportIsWrittenAfterACalculationInTheEditionsLanguage) {
    WindowFixture f(Language::Japanese);
    MainWindow& w = *f.window;
    w.SaveReportPdf(Utf8((f.dir / "early.pdf").string()));
    EXPECT_FALSE(fs::exists(f.dir / "early.pdf"));
    w.Calculate();
    w.SaveReportPdf(Utf8((f.dir / "report.pdf").string()));
    ASSERT_EQ(f.sink.Messages,
              (std::vector<std::string>{"レポートを PDF で保存しました: " + f.dir.Path().string() +
                                        " の report.pdf"}));
    const ProgramRun text = RunCaptured(
        "pdftotext -layout -enc UTF-8 '" + (f.dir / "report.pdf").string() + "' -", f.dir);
    ASSERT_EQ(text.status, 0) << "pdftotext (poppler-utils) reads the report: " << text.err;
    // The layout's runs of blanks between the cells of a row count as one.
    std::string pdf;
    for (const char ch : text.out)
        if (ch != ' ' || pdf.empty() || pdf.back() != ' ')
            pdf += ch;
    for (const char* words : {"深部線量レポート", "照射条件", "ICRU 4 元素軟組織", "線質"})
        EXPECT_NE(pdf.find(words), std::string::npos) << words;
    const DepthDoseTable& table = w.State().DepthDoseResult;
    for (int d = 1; d <= w.State().DepthRowCount; ++d)
        EXPECT_NE(pdf.find(FormatC("%.2f %.2f", table[d][ScatterPdd], table[d][TotalPdd])),
                  std::string::npos)
            << d;
}

// A saved beam opens into the window with its rectification, model and
// measured HVL1, and calculates the same bits; a file refused is told and
// changes nothing.
TEST(SavedBeams, ABeamOpensAsItWasSavedAndARefusedFileChangesNothing) {
    WindowFixture f;
    MainWindow& w = *f.window;
    f.Field(mc::TubeVoltage).setText("100 kV");
    f.Field(mc::AlFilter).setText("1.5");
    f.Field(mc::FieldY).setText("0");
    FindControl<QRadioButton>(w, mc::ThreePhase12Peak).click();
    w.Calculate();
    const DepthDoseTable saved = w.State().DepthDoseResult;
    w.OpenQualityWindow();
    QLineEdit& measured = FindControl<QLineEdit>(*w.Quality(), qualitycontrols::MeasuredHvl1);
    measured.setText("3.1");
    w.SetDivergentScatter(true); // declined: no new calculation
    w.SaveBeam(Utf8((f.dir / "room 3.json").string()));
    ASSERT_EQ(f.sink.Messages, (std::vector<std::string>{"The beam was saved as room 3.json in " +
                                                         f.dir.Path().string() + "."}));

    f.Field(mc::TubeVoltage).setText("80");
    FindControl<QRadioButton>(w, mc::ConstantPotential).click();
    w.SetDivergentScatter(false);
    measured.clear();
    std::string newer = ReadBytes(f.dir / "room 3.json");
    newer.replace(newer.find("\"format\": 2"), 11, "\"format\": 3");
    EXPECT_FALSE(w.OpenBeam(Utf8(f.dir.Write("newer.json", newer).string())));
    ASSERT_EQ(f.sink.Messages.size(), 2u);
    EXPECT_TRUE(Holds(f.sink.Messages[1], "newer version of Veltrim"));
    EXPECT_EQ(f.Field(mc::TubeVoltage).text(), "80");
    EXPECT_FALSE(w.DivergentScatter());

    ASSERT_TRUE(w.OpenBeam(Utf8((f.dir / "room 3.json").string())));
    EXPECT_EQ(f.Field(mc::TubeVoltage).text(), "100 kV");
    EXPECT_EQ(f.Field(mc::AlFilter).text(), "1.5");
    EXPECT_EQ(f.Field(mc::FieldY).text(), "0");
    EXPECT_TRUE(FindControl<QRadioButton>(w, mc::ThreePhase12Peak).isChecked());
    EXPECT_TRUE(w.DivergentScatter());
    EXPECT_EQ(measured.text(), "3.1");
    w.SetDivergentScatter(false); // the made-up data hold no point-focus sets
    w.Calculate();
    EXPECT_EQ(w.State().Conditions.Rectification, RectificationMethod::ThreePhase12Peak);
    EXPECT_EQ(w.State().DepthDoseResult, saved);
}

// What the next OK and the dose window compute with (the medium, the
// thickness, the exposure) opens into the window and is saved from it: a
// beam opened and saved again is the same file, byte for byte.
TEST(SavedBeams, TheMediumThicknessAndExposureOpenAndSaveBackToTheSameBytes) {
    WindowFixture f;
    MainWindow& w = *f.window;
    SavedBeam beam;
    beam.Name = "room 4";
    beam.Texts.AlFilter = "3.58";
    beam.PhantomMedium = Medium::Water;
    beam.ThicknessCm = 22.5;
    beam.Exposure.KapGyCm2 = 25 * 1e-3; // 25 mGy cm2, as the window converts it
    beam.AirCm = 12.5;
    beam.MeasuredHvl1MmAl = 3.1;
    const std::string bytes = BeamFileBytes(beam);
    fs::create_directory(f.dir / "saved");
    ASSERT_TRUE(w.OpenBeam(Utf8(f.dir.Write("room 4.json", bytes).string())));
    EXPECT_EQ(w.State().PhantomMedium, Medium::Water);
    EXPECT_EQ(w.State().ThicknessCm, 22.5);
    w.SaveBeam(Utf8((f.dir / "saved" / "room 4.json").string()));
    EXPECT_EQ(ReadBytes(f.dir / "saved" / "room 4.json"), bytes) << "the dose window closed";
    w.OpenDoseWindow();
    ASSERT_TRUE(w.Dose()->AcceptedExposure());
    EXPECT_EQ(PartsOf(*w.Dose()->AcceptedExposure()).KapGyCm2, beam.Exposure.KapGyCm2);
    w.SaveBeam(Utf8((f.dir / "saved" / "room 4.json").string()));
    EXPECT_EQ(ReadBytes(f.dir / "saved" / "room 4.json"), bytes) << "the dose window open";
}

} // namespace
