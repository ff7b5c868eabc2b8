// The batch: rows computed over the shipped data, the two shapes of its
// output, and veltrim-calc --batch as a program.
#include "cli/BatchEngine.h"
#include "cli/BatchOutput.h"
#include "common/KvColumn.h"
#include "common/ProgramRun.h"
#include "common/ShippedData.h"
#include "common/TempFolder.h"
#include "engine/BeamPoints.h"
#include "engine/CalculateBeam.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace veltrim;
using namespace veltrim::testing;
namespace fs = std::filesystem;

// Every rectification, fields from 5 cm to a circle, both filters, a
// voltage held to 150 kV; a rectification the buttons do not have (row 3)
// and an angle at which the anode absorbs every photon (row 5).
const char* const VariedRows = "kv,rectification,field_x,field_y,cu,al,fsd,angle,inherent\n"
                               "45,3,10,20,0.1,1,75,16,2\n"
                               "200,2,5,0,0,0,100,12,2.5\n"
                               "80,7,10,10,0,0,100,12,2.5\n"
                               "100,1,40,35,0.5,2,60,20,3\n"
                               "80,1,10,10,0,0,100,0,2.5\n"
                               "70,2,25,25,0,0.5,100,12,2.5\n";

// However the rows are shared out among the workers, each comes back in its
// place as one calculation of its conditions alone, to the last bit, under
// the scatter model of the batch; a failing row leaves the others alone.
TEST(BatchEngine, EachRowIsItsOwnCalculationWhateverTheWorkers) {
    if (!KernelsShipped())
        GTEST_SKIP() << "the shipped kernels are not all in " << ShippedData;
    const std::vector<BatchRow> rows = ReadBatchRows(VariedRows);
    BatchData data = ReadBatchData(ShippedData);
    for (const ScatterModel model : {ScatterModel::Classic, ScatterModel::Divergent}) {
        data.Scatter = model;
        std::vector<int> done;
        const std::vector<BatchResult> results =
            RunBatch(data, rows, 3, [&](int count) { done.push_back(count); });
        ASSERT_EQ(results.size(), 6u);
        EXPECT_EQ(done, (std::vector<int>{1, 2, 3, 4, 5, 6}));
        EXPECT_EQ(results[2].Error, "rectification must be 1, 2 or 3, not \"7\"");
        EXPECT_NE(results[4].Error.value_or("").find("target angle of 0 degrees"),
                  std::string::npos);
        EXPECT_EQ(results[1].Conditions.TubeVoltage, 150.0);
        for (const std::size_t i : {0u, 1u, 3u, 5u}) {
            const BatchResult& r = results[i];
            ASSERT_FALSE(r.Error) << *r.Error;
            EXPECT_EQ(r.Row, static_cast<int>(i) + 1);
            IrradiationConditions alone;
            ReadConditions(rows[i].Texts, alone);
            alone.Rectification = static_cast<RectificationMethod>(rows[i].Rectification);
            CalculationOptions what;
            what.Model = model;
            what.Quality = true;
            const BeamResult beam = CalculateBeam(alone, what, *data.Model);
            EXPECT_EQ(r.Hvl1MmAl, beam.Quality->Hvl1MmAl) << "row " << r.Row;
            ASSERT_EQ(r.DepthRows, beam.DepthDose->Rows);
            for (int d = 1; d <= r.DepthRows; ++d)
                ASSERT_TRUE(r.Table[d] == beam.DepthDose->Table[d])
                    << "row " << r.Row << " @ " << d;
        }
    }
}

// A row's point is the calculation's, in per cent and, with an exposure, in
// mGy; a point out of the kernels' reach or without its depth fails its row.
TEST(BatchEngine, APointColumnGivesTheDoseAtThatPoint) {
    if (!KernelsShipped())
        GTEST_SKIP() << "the shipped kernels are not all in " << ShippedData;
    const std::vector<BatchRow> rows =
        ReadBatchRows("kv,field_x,field_y,point_x,point_z,air_kerma\n80,10,10,15,10.25,2\n"
                      "80,10,10,,3,\n80,10,10,95,10.25,\n80,10,10,2,,\n");
    const BatchData data = ReadBatchData(ShippedData, false, true);
    const std::vector<BatchResult> results = RunBatch(data, rows, 2, {});
    IrradiationConditions c = DefaultConditions();
    c.FieldX = c.FieldY = 10;
    CalculationOptions what;
    what.Given = Exposure{ExposureKind::IncidentAirKerma, 2.0};
    what.Points = {{15, 0, 10.25}};
    const BeamResult beam = CalculateBeam(c, what, *data.Model);
    const double total = beam.Points[0].Primary + beam.Points[0].Scatter;
    ASSERT_TRUE(results[0].Point);
    EXPECT_EQ(results[0].Point->Total, PointPercent(beam, total));
    EXPECT_EQ(results[0].Point->TotalMgy, *PointMgy(beam, total));
    ASSERT_TRUE(results[1].Point);
    EXPECT_EQ(results[1].Point->X, 0.0);
    EXPECT_TRUE(std::isnan(results[1].Point->TotalMgy));
    EXPECT_NE(results[2].Error.value_or("").find("up to 94.3 cm"), std::string::npos);
    EXPECT_EQ(results[3].Error, "point_x and point_y go with point_z");
}

// A computed row of two layers and a failed row whose error holds what CSV
// and JSON must escape.
TEST(BatchOutput, RowsAreWrittenInTheDocumentedShape) {
    BatchResult computed;
    computed.Row = 1;
    computed.Conditions = {
        80, 12, 0.25, 0.1, 0.01, 100, 10, 0, RectificationMethod::ThreePhase12Peak};
    computed.Hvl1MmAl = 2.71828;
    computed.DepthRows = 2;
    computed.Table[1] = {0, 90.1, 9.9, 100};
    computed.Table[2] = {0, 50.5, 20.3, 70.8};
    BatchResult failed;
    failed.Row = 2;
    failed.Error = "not \"7\", a\\b\ttab\r\nline \x01 \xE7\x85\xA7 \xFF\xE7\x85";
    failed.Warning = "kv \"9O\" was read as 9";
    const std::vector<BatchResult> results = {computed, failed};

    EXPECT_EQ(
        BatchCsv(results, BatchDigits::Rounded),
        "row,kv,angle,inherent,al,cu,fsd,field_x,field_y,rectification,hvl1_mm_al,"
        "depth_cm,primary,scatter,total,error\n"
        "1,80.0,12.0,2.50,1.00,0.10,100.0,10.0,00.0,2,2.7183,00.25,090.10,009.90,100.00,\n"
        "1,80.0,12.0,2.50,1.00,0.10,100.0,10.0,00.0,2,2.7183,00.75,050.50,020.30,070.80,\n"
        "2,,,,,,,,,,,,,,,\"not \"\"7\"\", a\\b\ttab\r\nline \x01 \xE7\x85\xA7 \xFF\xE7\x85\"\n");
    EXPECT_EQ(
        BatchJson(results, BatchDigits::Rounded),
        "[\n  {\"row\": 1, \"conditions\": {\"kv\": 80.0, \"angle\": 12.0, \"inherent\": "
        "2.50, \"al\": 1.00, \"cu\": 0.10, \"fsd\": 100.0, \"field_x\": 10.0, \"field_y\": "
        "0.0, \"rectification\": 2}, \"hvl1_mm_al\": 2.7183, \"depth_cm\": [0.25, 0.75], "
        "\"primary\": [90.10, 50.50], \"scatter\": [9.90, 20.30], \"total\": [100.00, "
        "70.80]},\n  {\"row\": 2, \"error\": \"not \\\"7\\\", a\\\\b\\ttab\\r\\nline "
        "\\u0001 \xE7\x85\xA7 \\ufffd\\ufffd\\ufffd\", \"warning\": \"kv \\\"9O\\\" was read as "
        "9\"}\n]\n");
    EXPECT_EQ(BatchJson({}, BatchDigits::Rounded), "[]\n");
    const std::string precise = BatchCsv({computed}, BatchDigits::Precise);
    EXPECT_NE(precise.find("\n1,80,12,2.5,1,0.10000000000000001,100,10,0,2,2.71828,0.25,"
                           "90.099999999999994,9.9000000000000004,100,\n"),
              std::string::npos)
        << precise;
}

// The exit status says whether every row computed, and a file that cannot be
// used stops the batch with 2 and its cause; nothing is left in the working
// folder or the temporary one, and no progress count goes to a log.
TEST(BatchCommand, TheExitStatusSaysWhetherEveryRowComputed) {
    if (!KernelsShipped())
        GTEST_SKIP() << "the shipped kernels are not all in " << ShippedData;
    const TempFolder work, temporary;
    auto calc = [&](const std::string& args) {
        return RunCaptured("cd '" + work.Path().string() + "' && TMPDIR='" +
                               temporary.Path().string() + "' '" VELTRIM_CALC "' --data '" +
                               ShippedData.string() + "' --batch " + args,
                           work);
    };
    work.Write("good.csv", "kv,fsd\n80,60\n");
    work.Write("bad.csv", "kv,rectification\n80,1\n80,7\n");
    work.Write("volts.csv", "kv,volts\n80,1\n");

    const ProgramRun json = calc("good.csv --format json --precise");
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.err, "");
    EXPECT_EQ(json.out.rfind("[\n  {\"row\": 1, \"conditions\": {\"kv\": 80, ", 0), 0u) << json.out;
    EXPECT_NE(calc("good.csv --scatter-model divergent").out, calc("good.csv").out);

    const ProgramRun failed = calc("bad.csv --jobs 2");
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(Lines(failed.out).size(), 1u + 60u + 1u);

    // Text the rows cannot be read from, and a named pipe nothing writes to,
    // are refused rather than read as one line or waited on forever.
    work.Write("utf16.csv", std::string("\xFF\xFEk\0v\0\n\0", 8));
    work.Write("cr.csv", "kv,fsd\r80,60\r");
    ASSERT_EQ(mkfifo((work / "fifo").c_str(), 0600), 0);
    for (const auto& [file, cause] :
         {std::pair{"volts.csv", "unknown column \"volts\""},
          std::pair{"absent.csv", "absent.csv: cannot be opened"},
          std::pair{"utf16.csv", "utf16.csv: UTF-16 text"},
          std::pair{"cr.csv", "cr.csv: its lines end in CR alone"},
          std::pair{"fifo", "fifo: a pipe that nothing wrote to within 3 s"}}) {
        const ProgramRun refused = calc(file);
        EXPECT_EQ(refused.status, 2);
        EXPECT_NE(refused.err.find(cause), std::string::npos) << refused.err;
        EXPECT_EQ(refused.out, "");
    }
    EXPECT_EQ(EntriesOf(work.Path()),
              (std::vector<std::string>{"bad.csv", "cr.csv", "fifo", "good.csv", "utf16.csv",
                                        "volts.csv"}));
    EXPECT_TRUE(EntriesOf(temporary.Path()).empty());
}

// A batch stopped by a signal ends after its last whole row, says how many
// rows it wrote and exits 128 + the signal; the rows are written as they
// are computed, not at the end. A batch started with the signal ignored
// (nohup, a script's background job) runs on through it.
TEST(BatchCommand, ASignalLeavesOnlyWholeRowsUnlessItWasStartedIgnored) {
    if (!KernelsShipped())
        GTEST_SKIP() << "the shipped kernels are not all in " << ShippedData;
    const TempFolder work;
    work.Write("long.csv", KvColumn(2000, [](int i) { return std::to_string(40 + i % 100); }));
    // The exit status, then the output, of the batch sent `signal` once its output has begun.
    const auto signalled = [&](const std::string& prelude, const std::string& signal) {
        return RunCaptured("cd '" + work.Path().string() + "' && { " + prelude +
                               "'" VELTRIM_CALC "' --data '" + ShippedData.string() +
                               "' --batch long.csv --jobs 2 --format json >o.json & pid=$!; "
                               "while [ ! -s o.json ]; do sleep 0.01; done; kill -" +
                               signal + " $pid; wait $pid; echo $?; cat o.json; }",
                           work);
    };
    const ProgramRun run = signalled("", "TERM");
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_GE(lines.size(), 4u) << run.err;
    EXPECT_EQ(lines[0], "143");
    EXPECT_EQ(lines[1], "[");
    EXPECT_EQ(lines.back(), "]");
    const std::size_t written = lines.size() - 3;
    EXPECT_LT(written, 2000u);
    // The rows in order, none missing between them.
    for (std::size_t i = 2; i + 1 < lines.size(); ++i) {
        EXPECT_EQ(lines[i].rfind("  {\"row\": " + std::to_string(i - 1) + ", ", 0), 0u) << i;
        EXPECT_EQ(lines[i].substr(lines[i].size() - (i + 2 < lines.size() ? 2 : 1)),
                  i + 2 < lines.size() ? "}," : "}")
            << i;
    }
    EXPECT_EQ(run.err, "veltrim-calc: stopped by a signal (Terminated): " +
                           std::to_string(written) + " rows written\n");

    const ProgramRun ignored = signalled("trap '' HUP; ", "HUP");
    EXPECT_EQ(Lines(ignored.out).size(), 1u + 2000u + 2u) << ignored.err;
    EXPECT_EQ(ignored.out.substr(0, 2), "0\n");
}

// The rows stream through a bounded window: a batch holds at most four rows a
// worker, so its peak memory does not grow with the file. 50 000 rows held
// at once, as a batch that gathered its results would, take well over
// 100 MB; the program alone takes under 10 MB.
TEST(BatchCommand, PeakMemoryDoesNotGrowWithTheRows) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer keeps freed memory in quarantine";
#endif
    if (!KernelsShipped())
        GTEST_SKIP() << "the shipped kernels are not all in " << ShippedData;
    const TempFolder work;
    // Mostly rows that fail at once, so the test is quick; every hundredth computes.
    std::string rows = "kv,rectification\n";
    for (int i = 0; i < 50000; ++i)
        rows += i % 100 == 0 ? "80,1\n" : "80,7\n";
    work.Write("long.csv", rows);
    const std::string data = ShippedData.string(), batch = (work / "long.csv").string();
    const char* const argv[] = {VELTRIM_CALC,  "--data", data.c_str(), "--batch",
                                batch.c_str(), "--jobs", "2",          nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, (work / "out.csv").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, (work / "err.txt").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t child = 0;
    ASSERT_EQ(
        posix_spawn(&child, VELTRIM_CALC, &actions, nullptr, const_cast<char**>(argv), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    ASSERT_EQ(wait4(child, &status, 0, &usage), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << ReadBytes(work / "err.txt");
    EXPECT_GT(fs::file_size(work / "out.csv"), 5000000u) << "every row was written";
    EXPECT_LT(usage.ru_maxrss, 40 * 1024) << "kB at the peak";
}

} // namespace
