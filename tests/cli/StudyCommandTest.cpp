// veltrim-calc --study run as a program over the shipped data.
#include "common/ProgramRun.h"
#include "common/ShippedData.h"
#include "common/TempFolder.h"
#include "core/CsvReading.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

namespace {

using namespace veltrim::testing;

const std::string Beam = R"("kv": 80, "rectification": 2, "al_mm": 1, "target_angle_deg": 12,
    "inherent_al_mm": 2.5, "scatter_model": "divergent", "fsd_cm": 100, "field_x_cm": 35,
    "field_y_cm": 43, "centre_left_cm": 0, "centre_head_cm": 0, "air_kerma_mGy": 1.25)";

const std::string TwoExposures = R"({"veltrim_study": 1,
    "record": {"kind": "projection radiography", "events": 2, "accumulated_kap_Gycm2": 3.5},
    "patient": {"ap_thickness_cm": 22, "lateral_width_cm": 34, "medium": "icru-4"},
    "points": [{"name": "conceptus", "depth_cm": 8, "left_cm": 0, "head_cm": 0}],
    "exposures": [{"name": "AP", "entry": "anterior", )" +
                                 Beam + R"(},
    {"name": "PA, table", "entry": "posterior", "table_transmission": 0.8,
     "assumed": [{"field": "kv", "value": 80, "why": "no kVp"}], )" +
                                 Beam + "}]}";

// veltrim-calc --study on a study file of `text`, with `more` options after it.
ProgramRun CalcStudy(const TempFolder& work, const std::string& text,
                     const std::string& more = "") {
    const auto study = work.Write("s.json", text);
    return RunCaptured("'" VELTRIM_CALC "' --data '" + ShippedData.string() + "' --study '" +
                           study.string() + "' " + more,
                       work);
}

std::vector<std::string> DataLines(const std::string& out) {
    std::vector<std::string> rows;
    for (const std::string& line : Lines(out))
        if (line.rfind("# ", 0) != 0)
            rows.push_back(line);
    return rows;
}

// The sixth cell (dose_mGy), read as the program reads CSV.
double DoseOf(const std::string& line) {
    return std::strtod(veltrim::CsvRecords(line).at(0).Cells.at(5).c_str(), nullptr);
}

TEST(StudyCommand, PrintsEachExposureAndTheTotalAsThePointDoseGivesThem) {
    const TempFolder work;
    const ProgramRun run =
        CalcStudy(work, TwoExposures, "--precise --export-csv '" + (work / "s.csv").string() + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("# exposures=2\n"), std::string::npos);
    EXPECT_NE(run.out.find("# events=2\n# record_kap_Gycm2=3.5\n"), std::string::npos);
    EXPECT_NE(run.out.find("# assumed=PA, table: kv=80 (no kVp)"), std::string::npos) << run.out;
    const std::vector<std::string> rows = DataLines(run.out);
    ASSERT_EQ(rows.size(), 4u) << run.out;
    EXPECT_EQ(rows[0], "exposure,point,entry,depth_cm,off_axis_cm,dose_mGy,low_mGy,high_mGy");
    EXPECT_EQ(rows[2].rfind("\"PA, table\",conceptus,posterior,14,0,", 0), 0u) << rows[2];
    EXPECT_EQ(rows[3].rfind("total,conceptus,,,,", 0), 0u);
    EXPECT_EQ(DoseOf(rows[1]) + DoseOf(rows[2]), DoseOf(rows[3]));
    EXPECT_EQ(ReadBytes(work / "s.csv"), run.out) << "the export holds every digit";
}

TEST(StudyCommand, ABadStudyOrAnOptionOfOneBeamBesideItIsRefused) {
    const TempFolder work;
    std::string text = TwoExposures;
    text.replace(text.find("\"table_transmission\": 0.8"), 25, "\"table_transmission\": 2");
    const ProgramRun run = CalcStudy(work, text);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("exposure \"PA, table\": table_transmission 2"), std::string::npos)
        << run.err;
    EXPECT_TRUE(run.out.empty());
    for (const char* beside : {"--kv 90", "--dose", "--medium water"})
        EXPECT_EQ(CalcStudy(work, TwoExposures, beside).status, 2) << beside;

    // The points may come from --interest alone; without either, the
    // refusal says where they can come from.
    text = TwoExposures;
    const std::size_t from = text.find("\"points\": [") + 11;
    text.erase(from, text.find(']', from) - from);
    const ProgramRun given = CalcStudy(work, text, "--interest ovary,9");
    EXPECT_EQ(given.status, 0) << given.err;
    EXPECT_NE(given.out.find("ovary"), std::string::npos) << given.out;
    const ProgramRun none = CalcStudy(work, text);
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("--interest"), std::string::npos) << none.err;
}

#ifdef VELTRIM_REPORTS
TEST(StudyCommand, TheReportCarriesTheTotalsTheDefaultsAndTheDataSetsChecksum) {
    const TempFolder work;
    const ProgramRun run = CalcStudy(
        work, TwoExposures, "--report '" + (work / "r.pdf").string() + "' --physicist 'A. Curie'");
    ASSERT_EQ(run.status, 0) << run.err;
    const ProgramRun text =
        RunCaptured("pdftotext -layout -enc UTF-8 '" + (work / "r.pdf").string() + "' -", work);
    ASSERT_EQ(text.status, 0) << text.err;
    const std::string total = Lines(run.out).back();
    const std::string figure = total.substr(total.find(",,,,") + 4);
    EXPECT_NE(text.out.find(figure.substr(0, figure.find(','))), std::string::npos)
        << "the total as printed: " << text.out;
    EXPECT_NE(text.out.find("Assumed kv"), std::string::npos);
    EXPECT_NE(text.out.find("sha256:"), std::string::npos);
    EXPECT_NE(text.out.find("A. Curie"), std::string::npos);
    EXPECT_EQ(text.out.find(ShippedData.string()), std::string::npos) << "no folder path";
}
#endif

} // namespace
