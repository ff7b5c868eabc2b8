// veltrim-calc run as a program over made-up data files.
#include "common/ProgramRun.h"
#include "common/TempFolder.h"
#include "dose/DepthDose.h"
#include "dose/ResultsFile.h"
#include "dose/SyntheticData.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <sys/wait.h>
#include <thread>

namespace {

using namespace veltrim::testing;
namespace fs = std::filesystem;

using CalcRun = ProgramRun;

class VeltrimCalc : public ::testing::Test {
  protected:
    TempFolder data, work;
    VeltrimCalc() { WriteSyntheticData(data.Path()); }

    // Runs veltrim-calc in the work folder with the data folder and `args`.
    CalcRun Calc(const std::string& args) const {
        return RunCaptured("cd '" + work.Path().string() + "' && '" VELTRIM_CALC "' --data '" +
                               data.Path().string() + "' " + args,
                           work);
    }
};

std::string WithoutCarriageReturns(std::string text) {
    std::erase(text, '\r');
    return text;
}

// By default the file is PDD_tempDATA.txt in the working folder (see the
// --precise test); --out names another.
TEST_F(VeltrimCalc, WritesTheResultsFileAndPrintsItWithUtf8Labels) {
    fs::create_directories(work / "sub");
    const CalcRun run = Calc("--out sub/results.csv");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_FALSE(fs::exists(work / "PDD_tempDATA.txt"));
    const std::string file = ReadBytes(work / "sub/results.csv");
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(run.out, WithoutCarriageReturns(veltrim::DecodeShiftJis(file)));
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 60u + 11u);
    EXPECT_EQ(lines[0].substr(0, 7), " 00.25,");
    EXPECT_EQ(lines[0].substr(lines[0].size() - 8), "  100.00");
    EXPECT_EQ(lines[61], "\xE7\x85\xA7\xE5\xB0\x84\xE6\x9D\xA1\xE4\xBB\xB6"); // 照射条件
    EXPECT_EQ(lines[63], "\xEF\xBC\xB8\xE7\xB7\x9A\xE7\xAE\xA1\xE9\x9B\xBB\xE5\x9C\xA7, 80.0, kV");
}

TEST_F(VeltrimCalc, PrecisePrintsEveryRowWithSeventeenDigitsThatRoundToTheFile) {
    const CalcRun run = Calc("--precise --kv 100 --field-x 10 --field-y 20");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 61u);
    EXPECT_EQ(lines[0], "depth_cm,primary,scatter,total");
    EXPECT_EQ(lines[1].substr(0, 5), "0.25,");
    EXPECT_EQ(lines[1].substr(lines[1].size() - 4), ",100");
    // The results file of the same run holds the same numbers, rounded.
    const std::vector<std::string> file = Lines(ReadBytes(work / "PDD_tempDATA.txt"));
    for (int d = 1; d <= 60; ++d) {
        double z, p, s, t;
        ASSERT_EQ(std::sscanf(lines[d].c_str(), "%lf,%lf,%lf,%lf", &z, &p, &s, &t), 4);
        const std::string expected =
            " " + veltrim::FormatNumber(z, 2, 2) + ",  " + veltrim::FormatNumber(p, 3, 2) + ",  " +
            veltrim::FormatNumber(s, 3, 2) + ",  " + veltrim::FormatNumber(t, 3, 2) + "\r";
        EXPECT_EQ(file[d - 1], expected);
    }
}

TEST_F(VeltrimCalc, FailuresExitNonZeroWithTheirCause) {
    fs::remove(data / "PDS-data" / "75.dat");
    CalcRun run = Calc("");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find(veltrim::DepthDoseFailureMessage), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("75.dat"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");

    run = Calc("--rectification 9");
    EXPECT_EQ(run.status, 2);

    // An angle so small that the anode swallows every photon is the angle's
    // fault, not the filters'.
    run = Calc("--angle 1e-200 --inherent 0");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("at a target angle of 1e-200 degrees the anode absorbs every photon"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("filtration"), std::string::npos) << run.err;
}

TEST_F(VeltrimCalc, SpectrumPrintsEveryBinAndTheBeamQualityWhenTheAirTableIsThere) {
    CalcRun run = Calc("--spectrum --kv 200");
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> lines = Lines(run.out);
    // Without an air table the spectrum is still printed, the report left out with a note.
    ASSERT_EQ(lines.size(), 301u);
    EXPECT_EQ(lines[0], "bin,energy_keV,fraction");
    EXPECT_NE(run.err.find("150"), std::string::npos); // the clamp is reported
    EXPECT_NE(run.err.find("AirKerma.dat"), std::string::npos) << run.err;

    std::ostringstream air;
    for (int i = 1; i <= 300; ++i)
        air << 0.5 * i << "," << 5000.0 / (0.5 * i * 0.5 * i * 0.5 * i) + 0.02 << "\n";
    data.Write("AirKerma.dat", air.str());
    run = Calc("--spectrum");
    ASSERT_EQ(run.status, 0) << run.err;
    lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 302u);
    EXPECT_EQ(lines[301].rfind("# mean energy ", 0), 0u) << lines[301];
    EXPECT_NE(lines[301].find("no air path"), std::string::npos) << lines[301];
}

// Two runs in one folder share the results file's name: each must print the
// table it computed, never the one the other left on the disk. Another
// writer replaces the file without pause while this run goes.
TEST_F(VeltrimCalc, PrintsTheTableItWroteWhateverIsOnTheDiskAfterwards) {
    const CalcRun alone = Calc("--kv 60");
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
        const CalcRun run = Calc("--kv 60");
        wrong += run.status != 0 || run.out != alone.out;
    }
    stop = true;
    other.join();
    EXPECT_EQ(wrong, 0) << "runs that printed another table";
}

// A beam given by its measured HVL1, over the shipped data: the aluminium
// found is said on standard error, used in the table's filter line and
// printed with the figures; an HVL1 out of reach is refused with the range.
TEST_F(VeltrimCalc, MeasuredHvl1FindsTheAluminiumThatGivesIt) {
    const std::string shipped =
        "--data '" + (fs::path(VELTRIM_SOURCE_DIR) / "data").string() + "' --kv 80 ";
    const CalcRun quality = Calc(shipped + "--hvl1 3.00 --quality");
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

    const CalcRun table = Calc(shipped + "--hvl1 3.00");
    ASSERT_EQ(table.status, 0) << table.err;
    char filterLine[64];
    std::snprintf(filterLine, sizeof filterLine, "Al付加フィルタ, %.2f, mm", std::stod(added));
    EXPECT_NE(table.out.find(filterLine), std::string::npos) << table.out;

    const CalcRun refused = Calc(shipped + "--hvl1 1.0");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("with none added"), std::string::npos) << refused.err;
    EXPECT_TRUE(refused.out.empty());
}

} // namespace
