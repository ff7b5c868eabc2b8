// A working folder that cannot take the results file: the calculation must
// say so with its message, keep the previous table (which the graph shows and
// which the saved CSV file must match) and the previous results file, and
// leave no temporary file behind.
#include "common/FileSizeLimit.h"
#include "common/ImmutableFile.h"
#include "common/Installation.h"
#include "dose/DepthDose.h"
#include "files/ResultsFile.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace veltrim;
using namespace veltrim::testing;
namespace fs = std::filesystem;

// work: below the installation, or an absolute folder.
struct WorkFixture : CalculatedInstallation {
    fs::path work;
    explicit WorkFixture(const fs::path& folder = "work")
        : CalculatedInstallation(folder.string()), work(state.WorkFolder) {
        other.FieldY = "10";
    }

    // The second calculation failed on its results file, told `cause`, and changed nothing.
    void ExpectRefusedAndKept(const std::string& cause = "PDD_tempDATA.txt") {
        EXPECT_EQ(Calculate(other), CalculationResult::DepthDoseFailed);
        EXPECT_TRUE(IsOneDepthDoseFailure(sink.Messages));
        EXPECT_NE(state.DepthDoseFailureCause.find(cause), std::string::npos)
            << state.DepthDoseFailureCause;
        EXPECT_EQ(state.DepthDoseResult, table);
        EXPECT_EQ(state.DepthRowCount, rows);
        EXPECT_EQ(ReadBytes(work / "PDD_tempDATA.txt"), resultsFile);
        EXPECT_EQ(EntriesOf(work), std::vector<std::string>{"PDD_tempDATA.txt"});
    }

    // Once the folder takes files again, the same conditions give a new table.
    void ExpectRecovery() {
        state.WorkFolder = work;
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

// An immutable file refuses the rename with EPERM although its folder took
// the temporary beside it: the file is to blame, not the folder.
TEST(WorkingFolder, AnImmutableResultsFileIsToldAsProtected) {
    const std::unique_ptr<TempFolder> folder = FolderTakingImmutableFiles();
    if (!folder)
        GTEST_SKIP() << "no file system here keeps a file immutable for this user";
    WorkFixture f(folder->Path());
    {
        const ImmutableFile locked(f.ResultsPath());
        ASSERT_TRUE(locked.Works());
        f.ExpectRefusedAndKept("PDD_tempDATA.txt\" is protected and cannot be replaced");
    }
    f.ExpectRecovery();
}

} // namespace
