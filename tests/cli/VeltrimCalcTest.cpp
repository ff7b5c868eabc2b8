// veltrim-calc run as a program over made-up data files.
#include "common/ProgramRun.h"
#include "common/ShippedData.h"
#include "common/TempFolder.h"
#include "core/CFormat.h"
#include "core/CsvReading.h"
#include "dose/DepthDose.h"
#include "dose/SyntheticData.h"
#include "files/ResultsFile.h"
#include "spectrum/BeamQuality.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <thread>

namespace {

using namespace veltrim::testing;
namespace fs = std::filesystem;

class VeltrimCalc : public ::testing::Test {
  protected:
    TempFolder data, work;
    // The folder the runs read: the made-up files, or the shipped data.
    fs::path dataFolder = data.Path();
    VeltrimCalc() { WriteSyntheticData(data.Path()); }

    // Runs veltrim-calc in the work folder with the data folder and `args`;
    // `redirect` applies to veltrim-calc alone.
    ProgramRun Calc(const std::string& args, const std::string& redirect = "") const {
        return RunCaptured("{ cd '" + work.Path().string() + "' && '" VELTRIM_CALC "' --data '" +
                               dataFolder.string() + "' " + args + " " + redirect + "; }",
                           work);
    }

    // What the dose in mGy reads beside the made-up files: the shipped air
    // tables and made-up surface kernels.
    void AddDoseData() const {
        for (const char* file : {veltrim::AirKermaFile, veltrim::AirAttenuationFile})
            fs::copy_file(ShippedData / file, data / file);
        WriteSyntheticSurfaceData(data.Path());
    }
};

// The cells of the CSV lines of a run's output, "# name=value" lines apart.
struct DoseOutput {
    std::map<std::string, std::string> Names;
    std::vector<std::vector<std::string>> Rows; // the header first
};

DoseOutput ReadDoseOutput(const ProgramRun& run, int status = 0) {
    EXPECT_EQ(run.status, status) << run.err;
    DoseOutput output;
    for (const std::string& line : Lines(run.out)) {
        if (line.rfind("# ", 0) == 0) {
            output.Names[line.substr(2, line.find('=') - 2)] = line.substr(line.find('=') + 1);
            continue;
        }
        // Read as the program reads CSV; a failed row's error is quoted.
        output.Rows.push_back(veltrim::CsvRecords(line).at(0).Cells);
    }
    return output;
}

// The results file goes to --out (else PDD_tempDATA.txt) and is printed with
// its labels in UTF-8 and LF line ends; --precise prints the same table with
// every digit, each row rounding to the file's.
TEST_F(VeltrimCalc, TheTableIsWrittenAndPrinted) {
    fs::create_directories(work / "sub");
    const ProgramRun run = Calc("--out sub/results.csv");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_FALSE(fs::exists(work / "PDD_tempDATA.txt"));
    std::string file = veltrim::DecodeShiftJis(ReadBytes(work / "sub/results.csv"));
    std::erase(file, '\r');
    EXPECT_EQ(run.out, file);
    EXPECT_NE(run.out.find("\n\xE7\x85\xA7\xE5\xB0\x84\xE6\x9D\xA1\xE4\xBB\xB6\n"), // 照射条件
              std::string::npos);

    const ProgramRun precise = Calc("--precise --kv 100 --field-x 10 --field-y 20");
    ASSERT_EQ(precise.status, 0) << precise.err;
    const std::vector<std::string> lines = Lines(precise.out);
    const std::vector<std::string> written = Lines(ReadBytes(work / "PDD_tempDATA.txt"));
    ASSERT_EQ(lines.size(), 61u);
    EXPECT_EQ(lines[0], "depth_cm,primary,scatter,total");
    for (int d = 1; d <= 60; ++d) {
        double z, p, s, t;
        ASSERT_EQ(std::sscanf(lines[d].c_str(), "%lf,%lf,%lf,%lf", &z, &p, &s, &t), 4);
        EXPECT_EQ(written[d - 1], " " + veltrim::FormatNumber(z, 2, 2) + ",  " +
                                      veltrim::FormatNumber(p, 3, 2) + ",  " +
                                      veltrim::FormatNumber(s, 3, 2) + ",  " +
                                      veltrim::FormatNumber(t, 3, 2) + "\r");
    }

    // Results that never reached standard output are a failure that says so.
    AddDoseData();
    work.Write("one.csv", "kv\n80\n");
    for (const char* args : {"--precise", "", "--batch one.csv"}) {
        const ProgramRun closed = Calc(args, ">&-");
        EXPECT_EQ(closed.status, 1) << args;
        EXPECT_EQ(closed.err, "veltrim-calc: cannot write the results to standard output: Bad file "
                              "descriptor\n")
            << args;
    }

    // An export under a folder's name is refused with the reason, the
    // folder left as it was.
    fs::create_directory(work / "held.csv");
    const ProgramRun refused = Calc("--export-csv held.csv");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("the table was not exported to \"held.csv\": that name is a folder"),
              std::string::npos)
        << refused.err;
    EXPECT_TRUE(fs::is_empty(work / "held.csv"));

    // Options after --beam change the beam it gives back.
    const ProgramRun saved = Calc("--kv 100 --al 1.5 --precise --save-beam b.json");
    ASSERT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(Calc("--beam b.json --precise").out, saved.out);
    EXPECT_NE(Calc("--beam b.json --kv 90 --precise").out, saved.out);
}

TEST_F(VeltrimCalc, FailuresExitNonZeroWithTheirCause) {
    fs::remove(data / "PDS-data" / "75.dat");
    ProgramRun run = Calc("");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(veltrim::DepthDoseFailureMessage), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("75.dat"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");

    // An angle so small that the anode swallows every photon is the angle's
    // fault, not the filters'.
    run = Calc("--angle 1e-200 --inherent 0");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("at a target angle of 1e-200 degrees the anode absorbs every photon"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("filtration"), std::string::npos) << run.err;
}

// Without an air table the spectrum is still printed, the beam quality left
// out with a note; with one, the quality follows as a comment line.
TEST_F(VeltrimCalc, SpectrumPrintsEveryBinAndTheBeamQualityWhenTheAirTableIsThere) {
    ProgramRun run = Calc("--spectrum --kv 200");
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(Lines(run.out).size(), 301u);
    EXPECT_EQ(Lines(run.out)[0], "bin,energy_keV,fraction");
    EXPECT_NE(run.err.find("held to 150 kV"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("AirKerma.dat"), std::string::npos) << run.err;

    std::ostringstream air;
    for (int i = 1; i <= 300; ++i)
        air << 0.5 * i << "," << 5000.0 / (0.5 * i * 0.5 * i * 0.5 * i) + 0.02 << "\n";
    data.Write("AirKerma.dat", air.str());
    run = Calc("--spectrum");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 302u);
    EXPECT_EQ(lines[301].rfind("# mean energy ", 0), 0u) << lines[301];
    EXPECT_NE(lines[301].find("no air path"), std::string::npos) << lines[301];

    // An air path hardens the beam the quality line tells.
    fs::copy_file(ShippedData / veltrim::AirAttenuationFile, data / veltrim::AirAttenuationFile);
    run = Calc("--spectrum --air 500");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(Lines(run.out)[301].substr(0, 40), lines[301].substr(0, 40));
    EXPECT_NE(Lines(run.out)[301].find("500 cm of air included"), std::string::npos);
}

// Two runs in one folder share the results file's name: each must print the
// table it computed, never the one the other left on the disk. Another
// writer replaces the file without pause while this run goes.
TEST_F(VeltrimCalc, PrintsTheTableItWroteWhateverIsOnTheDiskAfterwards) {
    const ProgramRun alone = Calc("--kv 60");
    ASSERT_EQ(alone.status, 0) << alone.err;

    std::atomic<bool> stop{false};
    std::thread other([&] {
        const fs::path temporary = work / ".other";
        for (int i = 0; !stop; ++i) {
            WriteFile(temporary, "another run's table " + std::to_string(i) + "\r\n");
            fs::rename(temporary, work / "PDD_tempDATA.txt");
        }
    });
    int wrong = 0;
    for (int i = 0; i < 20; ++i) {
        const ProgramRun run = Calc("--kv 60");
        wrong += run.status != 0 || run.out != alone.out;
    }
    stop = true;
    other.join();
    EXPECT_EQ(wrong, 0) << "runs that printed another table";
}

// A batch row with dose columns gives the bits of the single runs with the
// same options: a kerma-area product, an HVL1 matched per row, a scatter
// model of its own (the command line's divergent would fail here, there
// being no point-focus kernels) and the dose over a range; a row that cannot
// be computed keeps every column in its place.
TEST_F(VeltrimCalc, ABatchRowGivesTheDoseOfTheSameSingleRuns) {
    AddDoseData();
    const std::string beam = "--precise --kv 90 --fsd 80 --field-x 10 --field-y 20 ";
    const DoseOutput quality = ReadDoseOutput(Calc(beam + "--al 1 --quality"));
    ASSERT_EQ(quality.Rows.size(), 5u);
    const std::string hvl1 = quality.Rows[1][0].substr(std::string("hvl1_mm_al=").size());
    const std::string single = beam + "--kap 0.4 --hvl1 " + hvl1;
    const DoseOutput dose = ReadDoseOutput(Calc(single + " --dose"));
    const DoseOutput range = ReadDoseOutput(Calc(single + " --dose-at 2,7.0"));

    const std::string rows = "kv,fsd,field_x,field_y,hvl1,scatter_model,kap,dose_at,dose_at_to\n"
                             "90,80,10,20," +
                             hvl1 +
                             ",classic,0.4,2,7\n"
                             "90,80,10,20,,,,3,\n";
    work.Write("rows.csv", rows);
    const DoseOutput batch =
        ReadDoseOutput(Calc("--precise --scatter-model divergent --batch rows.csv"), 1);
    ASSERT_EQ(batch.Rows.size(), 62u);
    const std::vector<std::string>& header = batch.Rows[0];
    const auto cell = [&](std::size_t line, const std::string& name) {
        return batch.Rows[line][static_cast<std::size_t>(
            std::find(header.begin(), header.end(), name) - header.begin())];
    };
    for (std::size_t d = 1; d <= 60; ++d) {
        EXPECT_EQ(cell(d, "primary_mGy"), dose.Rows[d][1]) << d;
        EXPECT_EQ(cell(d, "scatter_mGy"), dose.Rows[d][2]) << d;
        EXPECT_EQ(cell(d, "total_mGy"), dose.Rows[d][3]) << d;
    }
    EXPECT_EQ(cell(1, "incident_air_kerma_mGy"), dose.Names.at("incident_air_kerma_mGy"));
    EXPECT_EQ(cell(1, "backscatter_factor"), dose.Names.at("backscatter_factor"));
    EXPECT_EQ(cell(1, "esak_mGy"), dose.Names.at("entrance_surface_air_kerma_mGy"));
    EXPECT_EQ(cell(1, "surface_dose_mGy"), dose.Names.at("surface_dose_mGy"));
    EXPECT_EQ(cell(1, "dose_at_least_mGy"), range.Rows[1][2]);
    EXPECT_EQ(cell(1, "dose_at_most_mGy"), range.Rows[1][3]);
    EXPECT_EQ(batch.Rows[61].size(), header.size()) << "the failed row's cells";
    EXPECT_EQ(batch.Rows[61].back(), "dose_at needs an exposure in its row");
}

// A beam given by its measured HVL1, over the shipped data: the aluminium
// found is said on standard error, used in the table's filter line and
// printed with the figures; an HVL1 out of reach is refused with the range.
TEST_F(VeltrimCalc, MeasuredHvl1FindsTheAluminiumThatGivesIt) {
    dataFolder = fs::path(VELTRIM_SOURCE_DIR) / "data";
    const std::string shipped = "--kv 80 ";
    const ProgramRun quality = Calc(shipped + "--hvl1 3.00 --quality");
    ASSERT_EQ(quality.status, 0) << quality.err;
    std::map<std::string, std::string> figures;
    for (const std::string& line : Lines(quality.out))
        figures[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
    for (const char* name : {"mean_energy_keV", "hvl1_mm_al", "hvl2_mm_al", "homogeneity",
                             "effective_energy_keV", "added_al_mm"})
        EXPECT_TRUE(figures.count(name)) << name << " missing from\n" << quality.out;
    EXPECT_NEAR(std::stod(figures["hvl1_mm_al"]), 3.00, 0.005);
    const std::string added = figures["added_al_mm"];
    EXPECT_NE(quality.err.find("aluminium of " + added + " mm"), std::string::npos) << quality.err;

    const ProgramRun table = Calc(shipped + "--hvl1 3.00");
    ASSERT_EQ(table.status, 0) << table.err;
    char filterLine[64];
    std::snprintf(filterLine, sizeof filterLine, "Al付加フィルタ, %.2f, mm", std::stod(added));
    EXPECT_NE(table.out.find(filterLine), std::string::npos) << table.out;

    const ProgramRun refused = Calc(shipped + "--hvl1 1.0");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("with none added"), std::string::npos) << refused.err;
    EXPECT_TRUE(refused.out.empty());
}

// The PDF report holds the figures the run prints, with the same digits:
// the conditions, the quality with the filter found for a measured HVL1,
// the doses and every row of the table.
TEST_F(VeltrimCalc, TheReportHoldsWhatTheRunPrints) {
#ifndef VELTRIM_REPORTS
    GTEST_SKIP() << "built without Qt: no PDF reports";
#else
    dataFolder = fs::path(VELTRIM_SOURCE_DIR) / "data";
    const std::string beam = "--kv 100 --field-y 20 --hvl1 4.0 ";
    const ProgramRun range = Calc(beam + "--air-kerma 2 --dose-at 5,10.0 --report r.pdf "
                                         "--patient-id P-17 --exam-date 2026-12-01");
    ASSERT_EQ(range.status, 0) << range.err;
    const ProgramRun pointed = Calc(beam + "--air-kerma 2 --point 3,0,8 --report p.pdf");
    ASSERT_EQ(pointed.status, 0) << pointed.err;
    const ProgramRun text =
        RunCaptured("pdftotext -layout -enc UTF-8 '" + (work / "r.pdf").string() + "' -", work);
    ASSERT_EQ(text.status, 0) << "pdftotext (poppler-utils) reads the report: " << text.err;
    std::vector<std::string> figures{
        "100 kV", "20 cm",     "ICRU four-component soft tissue", "Validated accuracy", "2 mGy",
        "P-17",   "2026-12-01"};
    for (const std::string& line : Lines(Calc(beam + "--quality").out))
        figures.push_back(line.substr(line.find('=') + 1));
    const DoseOutput dose = ReadDoseOutput(Calc(beam + "--air-kerma 2 --dose"));
    for (const char* name :
         {"backscatter_factor", "entrance_surface_air_kerma_mGy", "surface_dose_mGy"})
        figures.push_back(dose.Names.at(name));
    const std::vector<std::string> leastMost = ReadDoseOutput(range).Rows.at(1);
    figures.insert(figures.end(), leastMost.begin() + 2, leastMost.end());
    const DoseOutput percent = ReadDoseOutput(Calc(beam + "--precise"));
    ASSERT_EQ(percent.Rows.size(), 61u);
    for (std::size_t d = 1; d <= 60; ++d) {
        std::string row = veltrim::FormatC("%.2f", std::stod(percent.Rows[d][0]));
        for (std::size_t column = 1; column <= 3; ++column)
            row += " " + veltrim::FormatC("%.2f", std::stod(percent.Rows[d][column]));
        for (std::size_t column = 1; column <= 3; ++column)
            row += " " + dose.Rows[d][column];
        figures.push_back(row);
    }
    // The layout's runs of blanks between the cells of a row count as one.
    std::string pdf;
    for (const char ch : text.out)
        if (ch != ' ' || pdf.empty() || pdf.back() != ' ')
            pdf += ch;
    for (const std::string& figure : figures)
        EXPECT_NE(pdf.find(figure), std::string::npos) << figure << " missing from\n" << pdf;
    EXPECT_EQ(pdf.find(dataFolder.string()), std::string::npos) << "no folder path";
    // The typed point with the dose --point prints for it.
    const ProgramRun pointText =
        RunCaptured("pdftotext -layout -enc UTF-8 '" + (work / "p.pdf").string() + "' -", work);
    const std::string row = Lines(pointed.out).back();
    EXPECT_NE(pointText.out.find(row.substr(row.rfind(',') + 1) + " mGy"), std::string::npos)
        << row << " missing from\n"
        << pointText.out;
#endif
}

// A refused calculation is told on one line under the program's name, as an
// option's refusal is; a unit typed with the number is refused as text.
TEST_F(VeltrimCalc, RefusalsAreToldUnderTheProgramsName) {
    const ProgramRun thin = Calc("--thickness 5");
    EXPECT_EQ(thin.status, 1);
    EXPECT_EQ(thin.err, "veltrim-calc: The phantom thickness 5 cm cannot be calculated: give a "
                        "thickness from 10 to 60 cm in whole 0.5-cm layers.\n");
    const ProgramRun unit = Calc("--thickness '20 cm'");
    EXPECT_EQ(unit.status, 2);
    EXPECT_EQ(unit.err, "veltrim-calc: --thickness takes a number, not \"20 cm\"\n");
}

} // namespace
