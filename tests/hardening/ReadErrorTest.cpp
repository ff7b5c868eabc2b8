// A read error part-way through a file (a bad sector, a network disk gone),
// made by a preloaded library that fails read() of one file of the test's
// own folder with EIO: veltrim-calc names the file and the cause, and
// writes nothing half.
#include "common/ProgramRun.h"
#include "common/ShippedData.h"
#include "dose/ScatterKernels.h"

#include <gtest/gtest.h>

namespace {

using namespace veltrim;
using namespace veltrim::testing;
namespace fs = std::filesystem;

class ReadError : public ::testing::Test {
  protected:
    TempFolder work;

    // The shipped data as links, but for one kernel file of its own that
    // can be made to fail: over 64 kB, so that the reader has used its
    // first piece when the second read fails.
    fs::path kernel = work / "data" / KernelFolder / KernelFile(40);
    void SetUp() override {
        if (!KernelsShipped())
            GTEST_SKIP() << "the shipped kernels are not all in " << ShippedData;
        fs::create_directories(kernel.parent_path());
        for (const auto& entry : fs::directory_iterator(ShippedData))
            if (entry.path().filename() != KernelFolder)
                fs::create_symlink(entry.path(), work / "data" / entry.path().filename());
        for (const auto& entry : fs::directory_iterator(ShippedData / KernelFolder))
            if (entry.path().filename() != kernel.filename())
                fs::create_symlink(entry.path(), kernel.parent_path() / entry.path().filename());
        fs::copy_file(ShippedData / KernelFolder / KernelFile(40), kernel);
        ASSERT_GT(fs::file_size(kernel), 65536u);
    }

    // veltrim-calc in the work folder, reads of `failing` failing from byte `after` on.
    ProgramRun Calc(const fs::path& failing, std::size_t after, const std::string& args) const {
        return RunCaptured(
            "cd '" + work.Path().string() +
                "' && LD_PRELOAD='" VELTRIM_READ_FAULT "' VELTRIM_EIO_FILE='" +
                fs::canonical(failing).string() + "' VELTRIM_EIO_AFTER=" + std::to_string(after) +
                " ASAN_OPTIONS=\"$ASAN_OPTIONS:verify_asan_link_order=0\" '" VELTRIM_CALC
                "' --data data " +
                args,
            work);
    }
};

TEST_F(ReadError, InADataFileIsNamedAndTheEarlierResultsFileIsKept) {
    work.Write("results.txt", "earlier\r\n");
    const ProgramRun run = Calc(kernel, 65536, "--out results.txt");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("PDS-data/40.dat\": could not be read (Input/output error)"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ReadBytes(work / "results.txt"), "earlier\r\n");
    EXPECT_EQ(EntriesOf(work.Path()), (std::vector<std::string>{"data", "results.txt"}));
    // Without the fault the same run completes: the fault was the cause.
    EXPECT_EQ(Calc(work / "results.txt", 0, "--out results.txt").status, 0);
}

TEST_F(ReadError, InTheBatchFileEndsTheOutputAfterItsLastWholeRow) {
    std::string rows = "kv,rectification\n";
    for (int i = 0; i < 20000; ++i)
        rows += i % 1000 == 0 ? "80,1\n" : "80,7\n";
    work.Write("rows.csv", rows);
    const ProgramRun run = Calc(work / "rows.csv", 65536, "--batch rows.csv --format json");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "veltrim-calc: rows.csv: cannot be read: Input/output error\n");
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.front(), "[");
    EXPECT_EQ(lines.back(), "]");
    // The rows of the first 64 kB, each whole, the last without its comma.
    EXPECT_EQ(lines.size() - 2, (65536u - 17u) / 5u);
    for (std::size_t i = 1; i + 1 < lines.size(); ++i)
        ASSERT_EQ(lines[i].substr(lines[i].size() - 2), i + 2 < lines.size() ? "}," : "\"}") << i;
}

} // namespace
