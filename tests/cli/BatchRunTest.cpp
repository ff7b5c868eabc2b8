// veltrim-calc --batch run as a program over the shipped data.
#include "cli/JsonReader.h"
#include "common/ProgramRun.h"
#include "common/ShippedData.h"
#include "common/TempFolder.h"
#include "dose/ResultsFile.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <sys/wait.h>

namespace {

using namespace veltrim::testing;
namespace fs = std::filesystem;

using CalcRun = ProgramRun;

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');)
        fields.push_back(field);
    if (!line.empty() && line.back() == ',')
        fields.emplace_back();
    return fields;
}

class Batch : public ::testing::Test {
  protected:
    TempFolder work;
    // The system temporary folder of every run: what the workers leave in it shows.
    TempFolder temporary;

    void SetUp() override {
        if (!KernelsShipped())
            GTEST_SKIP() << "the shipped kernels are not all in " << ShippedData;
    }

    // Runs veltrim-calc in the work folder over the shipped data.
    CalcRun Calc(const std::string& args) const {
        return RunCaptured("cd '" + work.Path().string() + "' && TMPDIR='" +
                               temporary.Path().string() + "' '" VELTRIM_CALC "' --data '" +
                               ShippedData.string() + "' " + args,
                           work);
    }

    CalcRun RunBatch(const std::string& csv, const std::string& options = "") const {
        work.Write("rows.csv", csv);
        return Calc("--batch rows.csv " + options);
    }
};

// Varied rows: every rectification, fields from 5 cm to a circle, both
// filters, a voltage held to 150 kV.
const char* const VariedRows = "kv,rectification,field_x,field_y,cu,al,fsd,angle,inherent\n"
                               "45,3,10,20,0.1,1,75,16,2\n"
                               "200,2,5,0,0,0,100,12,2.5\n"
                               "100 kV,1,40,35,0.5,2,60,20,3\n"
                               "70,2,25,25,0,0.5,100,12,2.5\n";

TEST_F(Batch, AHundredRowsGiveAHundredResultsInRowOrder) {
    std::string csv = "kv,rectification,field_x\n";
    for (int i = 0; i < 100; ++i)
        csv += std::to_string(30 + i) + "," + std::to_string(1 + i % 3) + "," +
               std::to_string(5 + i % 30) + "\n";

    const CalcRun table = RunBatch(csv);
    ASSERT_EQ(table.status, 0) << table.err;
    EXPECT_EQ(table.err, ""); // no progress count when stderr is not a terminal
    const std::vector<std::string> lines = Lines(table.out);
    ASSERT_EQ(lines.size(), 1u + 100u * 60u);
    EXPECT_EQ(lines[0], "row,kv,angle,inherent,al,cu,fsd,field_x,field_y,rectification,"
                        "hvl1_mm_al,depth_cm,primary,scatter,total,error");
    for (std::size_t line = 1; line < lines.size(); ++line) {
        const int i = static_cast<int>(line - 1) / 60, d = static_cast<int>(line - 1) % 60 + 1;
        const std::vector<std::string> f = Fields(lines[line]);
        ASSERT_EQ(f.size(), 16u) << lines[line];
        const std::vector<std::string> expected = {std::to_string(i + 1),
                                                   veltrim::FormatNumber(30 + i, 2, 1),
                                                   veltrim::FormatNumber(5 + i % 30, 2, 1),
                                                   std::to_string(1 + i % 3),
                                                   veltrim::FormatNumber(0.5 * d - 0.25, 2, 2),
                                                   ""};
        ASSERT_EQ((std::vector<std::string>{f[0], f[1], f[7], f[9], f[11], f[15]}), expected)
            << lines[line];
    }

    const CalcRun json = RunBatch(csv, "--format json");
    ASSERT_EQ(json.status, 0) << json.err;
    const Json list = JsonReader::Read(json.out);
    ASSERT_EQ(list.Items.size(), 100u);
    for (int i = 0; i < 100; ++i) {
        const Json& r = list[static_cast<std::size_t>(i)];
        ASSERT_EQ(r["row"].Number, i + 1);
        EXPECT_EQ(r["conditions"]["kv"].Number, 30 + i);
        EXPECT_EQ(r["conditions"]["rectification"].Number, 1 + i % 3);
        for (const char* column : {"depth_cm", "primary", "scatter", "total"})
            ASSERT_EQ(r[column].Items.size(), 60u) << column;
        EXPECT_EQ(r["total"][0].Number, 100.0);
        EXPECT_EQ(r["depth_cm"][59].Number, 29.75);
        // The CSV line of the same row and layer holds the same rounded numbers.
        const std::vector<std::string> f = Fields(lines[1 + 60 * i + 9]);
        EXPECT_EQ(r["primary"][9].Number, std::stod(f[12]));
        EXPECT_EQ(r["hvl1_mm_al"].Number, std::stod(f[10]));
    }

    // Nothing in the user's folder, nothing left in the temporary one.
    EXPECT_EQ(EntriesOf(work.Path()), std::vector<std::string>{"rows.csv"});
    EXPECT_TRUE(EntriesOf(temporary.Path()).empty());
}

// Columns left out, in any order, take the window's defaults; the cells are
// read like the window's fields.
TEST_F(Batch, MissingColumnsTakeTheDefaultsAndCellsAreReadLeniently) {
    const CalcRun run =
        RunBatch("field_y,kv\r\n0,90\r\n\r\n30,200 kV\r\n,abc\r\n", "--format json");
    ASSERT_EQ(run.status, 0) << run.err;
    const Json list = JsonReader::Read(run.out);
    ASSERT_EQ(list.Items.size(), 3u);
    const std::map<std::string, double> defaults = {
        {"angle", 12}, {"inherent", 2.5}, {"al", 0}, {"cu", 0}, {"fsd", 100}, {"field_x", 30}};
    for (const Json& r : list.Items)
        for (const auto& [name, value] : defaults)
            EXPECT_EQ(r["conditions"][name].Number, value) << name << " of row " << r["row"].Number;
    EXPECT_EQ(list[0]["conditions"]["field_y"].Number, 0.0);
    EXPECT_EQ(list[0]["conditions"]["kv"].Number, 90.0);
    EXPECT_EQ(list[0]["conditions"]["rectification"].Number, 1.0);
    EXPECT_EQ(list[1]["conditions"]["kv"].Number, 150.0); // held to 150
    EXPECT_EQ(list[2]["conditions"]["kv"].Number, 30.0);  // no number is 0, held to 30
    EXPECT_EQ(list[2]["conditions"]["field_y"].Number, 0.0);
}

TEST_F(Batch, AFailingRowCarriesItsErrorWhileTheOthersCompute) {
    const std::string csv =
        "kv,angle,rectification\n80,12,1\n80,12,7\n80,0,1\n80,12,1,9\n90,12,2\n";
    const CalcRun json = RunBatch(csv, "--format json");
    EXPECT_EQ(json.status, 1) << json.err;
    const Json list = JsonReader::Read(json.out);
    ASSERT_EQ(list.Items.size(), 5u);
    for (std::size_t i : {0u, 4u}) {
        EXPECT_FALSE(list[i].Has("error")) << list[i]["error"].Text;
        EXPECT_EQ(list[i]["total"].Items.size(), 60u);
    }
    EXPECT_EQ(list[1]["row"].Number, 2.0);
    EXPECT_EQ(list[1]["error"].Text, "rectification must be 1, 2 or 3, not \"7\"");
    EXPECT_NE(list[2]["error"].Text.find("target angle of 0 degrees"), std::string::npos)
        << list[2]["error"].Text;
    EXPECT_NE(list[3]["error"].Text.find("4 cells"), std::string::npos);
    for (std::size_t i : {1u, 2u, 3u}) {
        EXPECT_FALSE(list[i].Has("total"));
        EXPECT_FALSE(list[i].Has("conditions"));
    }

    const CalcRun table = RunBatch(csv);
    EXPECT_EQ(table.status, 1);
    const std::vector<std::string> lines = Lines(table.out);
    ASSERT_EQ(lines.size(), 1u + 60u + 3u + 60u);
    EXPECT_EQ(lines[61], "2,,,,,,,,,,,,,,,\"rectification must be 1, 2 or 3, not \"\"7\"\"\"");
    EXPECT_EQ(Fields(lines[64])[0], "5");
}

TEST_F(Batch, UnusableInputStopsWithStatusTwoAndSaysWhy) {
    CalcRun run = RunBatch("kv,volts,al\n80,1,0\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("unknown column \"volts\""), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");

    run = RunBatch("\n\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("no header"), std::string::npos) << run.err;

    run = Calc("--batch absent.csv");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("absent.csv"), std::string::npos) << run.err;
}

// However the rows are shared out, each is computed alone on its worker's
// state: the output cannot depend on the number of workers.
TEST_F(Batch, TheNumberOfJobsDoesNotChangeTheOutput) {
    std::string csv = VariedRows;
    for (int i = 0; i < 8; ++i)
        csv += std::to_string(40 + 13 * i) + "," + std::to_string(1 + i % 3) + ",15,10,0,0," +
               std::to_string(50 + 10 * i) + ",12,2.5\n";
    for (const char* format : {"csv", "json"}) {
        const std::string options = std::string("--precise --format ") + format;
        const CalcRun one = RunBatch(csv, options + " --jobs 1");
        ASSERT_EQ(one.status, 0) << one.err;
        for (const char* jobs : {"4", "3"}) {
            const CalcRun many = RunBatch(csv, options + " --jobs " + jobs);
            EXPECT_EQ(many.status, 0) << many.err;
            EXPECT_TRUE(many.out == one.out) << format << " with --jobs " << jobs;
        }
    }
    EXPECT_TRUE(EntriesOf(temporary.Path()).empty());
}

// A row's table and HVL1 are those of veltrim-calc run once with its
// conditions, to the last digit.
TEST_F(Batch, APreciseRowEqualsASingleRunToTheLastBit) {
    const CalcRun batch = RunBatch(VariedRows, "--precise --jobs 2");
    ASSERT_EQ(batch.status, 0) << batch.err;
    const CalcRun rounded = RunBatch(VariedRows, "--jobs 2");
    ASSERT_EQ(rounded.status, 0) << rounded.err;
    const std::vector<std::string> lines = Lines(batch.out), roundedLines = Lines(rounded.out);
    ASSERT_EQ(lines.size(), 1u + 4u * 60u);

    const std::vector<std::string> header = Fields(Lines(VariedRows)[0]);
    for (std::size_t row = 1; row <= 4; ++row) {
        const std::vector<std::string> cells = Fields(Lines(VariedRows)[row]);
        std::string args;
        for (std::size_t c = 0; c < header.size(); ++c) { // field_x is --field-x
            std::string option = "--" + header[c];
            std::replace(option.begin(), option.end(), '_', '-');
            args += option + "='" + cells[c] + "' ";
        }
        const CalcRun single = Calc("--precise " + args);
        ASSERT_EQ(single.status, 0) << single.err;
        const std::vector<std::string> expected = Lines(single.out);
        ASSERT_EQ(expected.size(), 61u);
        for (std::size_t d = 1; d <= 60; ++d) {
            const std::vector<std::string> f = Fields(lines[(row - 1) * 60 + d]);
            ASSERT_EQ(f[0], std::to_string(row));
            EXPECT_EQ(f[11] + "," + f[12] + "," + f[13] + "," + f[14], expected[d])
                << "row " << row << ", layer " << d;
        }
        const CalcRun quality = Calc("--quality " + args);
        ASSERT_EQ(quality.status, 0) << quality.err;
        EXPECT_NE(quality.out.find("hvl1_mm_al=" + Fields(roundedLines[(row - 1) * 60 + 1])[10]),
                  std::string::npos)
            << "row " << row << ":\n"
            << quality.out;
    }
}

} // namespace
