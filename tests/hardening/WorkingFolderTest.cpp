// A working folder that cannot take the results file: the calculation must
// say so with its message, keep the previous table (which the graph shows and
// which the saved CSV file must match) and the previous results file, and
// leave no temporary file behind.
#include "common/FileSizeLimit.h"
#include "common/Installation.h"
#include "dose/DepthDose.h"
#include "dose/ResultsFile.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace veltrim;
using namespace veltrim::testing;
namespace fs = std::filesystem;

struct WorkFixture : CalculatedInstallation {
    WorkFixture() : CalculatedInstallation("work") { other.FieldY = "10"; }

    // The second calculation failed on its results file and changed nothing.
    void ExpectRefusedAndKept() {
        EXPECT_EQ(Calculate(other), CalculationResult::DepthDoseFailed);
        EXPECT_TRUE(IsOneDepthDoseFailure(sink.Messages));
        EXPECT_NE(state.DepthDoseFailureCause.find("PDD_tempDATA.txt"), std::string::npos)
            << state.DepthDoseFailureCause;
        EXPECT_EQ(state.DepthDoseResult, table);
        EXPECT_EQ(state.DepthRowCount, rows);
        EXPECT_EQ(ReadBytes(dir / "work" / "PDD_tempDATA.txt"), resultsFile);
        EXPECT_EQ(EntriesOf(dir / "work"), std::vector<std::string>{"PDD_tempDATA.txt"});
    }

    // Once the folder takes files again, the same conditions give a new table.
    void ExpectRecovery() {
        state.WorkFolder = dir / "work";
        ASSERT_EQ(Calculate(other), CalculationResult::Completed) << state.DepthDoseFailureCause;
        EXPECT_NE(state.DepthDoseResult, table);
        EXPECT_EQ(ResultsBytes(), ResultsFileBytes(state));
    }
};

TEST(WorkingFolder, FolderUnderARegularFileKeepsThePreviousTable) {
    WorkFixture f;
    WriteFile(f.dir / "plain", "not a folder\n");
    f.state.WorkFolder = f.dir / "plain" / "work";
    f.ExpectRefusedAndKept();
    f.ExpectRecovery();
}

// A full disk (here the process's file-size limit) stops the writing half-way.
TEST(WorkingFolder, FullDiskKeepsThePreviousTableAndFile) {
    WorkFixture f;
    {
        const FileSizeLimit full(700);
        ASSERT_TRUE(full.Works());
        f.ExpectRefusedAndKept();
    }
    f.ExpectRecovery();
}

} // namespace
