// Names that hold something other than a regular file: a named pipe, a
// folder, a link. Data files of that kind are refused at once with a message
// that names them (a pipe without a writer would otherwise stall the
// calculation for ever); the results file is never put in place of one, a
// link to a regular file replaces its target, and Exit leaves them all alone.
#include "core/FileReplacing.h"
#include "common/FailureMessages.h"
#include "dose/DepthDose.h"
#include "dose/ResultsFile.h"
#include "dose/TissueTables.h"
#include "hardening/Installation.h"
#include "spectrum/AttenuationTables.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using veltrim::CalculationResult;
using veltrim::testing::Installation;
using veltrim::testing::ReadBytes;
namespace fs = std::filesystem;

// Kills the test process (and so fails the test) if a step blocks.
class Watchdog {
  public:
    explicit Watchdog(unsigned seconds) { ::alarm(seconds); }
    ~Watchdog() { ::alarm(0); }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
};

TEST(NotAFile, ANamedPipeOrAFolderInPlaceOfADataFileIsNamedAndNothingBlocks) {
    const fs::path kernel = fs::path(veltrim::KernelFolder) / veltrim::KernelFile(85);
    for (const fs::path& relative :
         {fs::path(veltrim::TissueFile), fs::path(veltrim::PrimaryDoseFile), kernel,
          fs::path(veltrim::TungstenFile)}) {
        for (const bool pipe : {true, false}) {
            SCOPED_TRACE(relative.generic_string() + (pipe ? " as a pipe" : " as a folder"));
            Installation f;
            ASSERT_TRUE(f.state.LoadAttenuationTables());
            ASSERT_EQ(f.Calculate(), CalculationResult::Completed);
            const std::string resultsFile = f.ResultsBytes();
            const fs::path file = f.dir / relative.string();
            fs::remove(file);
            if (pipe)
                ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
            else
                fs::create_directory(file);

            const Watchdog watchdog(30);
            const bool attenuation = relative == veltrim::TungstenFile;
            if (attenuation)
                EXPECT_FALSE(f.state.LoadAttenuationTables());
            else
                EXPECT_NE(f.Calculate(), CalculationResult::Completed);
            ASSERT_EQ(f.sink.Messages.size(), 1u);
            const std::string& told = f.sink.Messages.back();
            EXPECT_NE(told.find(relative.generic_string()), std::string::npos) << told;
            EXPECT_NE(told.find(pipe ? "is a named pipe, not a regular file"
                                     : "is a folder, not a regular file"),
                      std::string::npos)
                << told;
            EXPECT_EQ(f.ResultsBytes(), resultsFile);
        }
    }
}

struct WorkingName : Installation {
    std::string resultsFile;
    veltrim::ConditionTexts other;
    WorkingName() {
        EXPECT_TRUE(state.LoadAttenuationTables());
        other.TubeVoltage = "120";
    }
    fs::path Working() const { return dir / veltrim::ResultsFileName; }
};

TEST(NotAFile, TheResultsFileNeverReplacesAPipeAFolderOrADanglingLink) {
    for (const char* kind : {"pipe", "folder", "dangling link"}) {
        SCOPED_TRACE(kind);
        WorkingName f;
        const std::string what = kind;
        if (what == "pipe")
            ASSERT_EQ(::mkfifo(f.Working().c_str(), 0600), 0);
        else if (what == "folder")
            fs::create_directory(f.Working());
        else
            fs::create_symlink("gone/away.txt", f.Working());
        const Watchdog watchdog(30);
        EXPECT_EQ(f.Calculate(f.other), CalculationResult::DepthDoseFailed);
        ASSERT_TRUE(veltrim::testing::IsOneDepthDoseFailure(f.sink.Messages));
        EXPECT_NE(f.sink.Messages[0].find("PDD_tempDATA.txt"), std::string::npos);
        EXPECT_NE(f.sink.Messages[0].find("not a regular file"), std::string::npos)
            << f.sink.Messages[0];
        const auto status = fs::symlink_status(f.Working()).type();
        EXPECT_EQ(status, what == "pipe"     ? fs::file_type::fifo
                          : what == "folder" ? fs::file_type::directory
                                             : fs::file_type::symlink);
        EXPECT_FALSE(fs::exists(f.dir / "gone"));
        // Exit takes away only a regular file of that name.
        veltrim::RemoveRegularFile(f.Working());
        EXPECT_EQ(fs::symlink_status(f.Working()).type(), status);
    }
}

TEST(NotAFile, ALinkToARegularFileHasItsTargetReplacedInTheTargetsFolder) {
    WorkingName f;
    fs::create_directory(f.dir / "kept");
    veltrim::testing::WriteFile(f.dir / "kept" / "results.txt", "earlier\r\n");
    fs::create_symlink("kept/results.txt", f.Working());
    ASSERT_EQ(f.Calculate(f.other), CalculationResult::Completed) << f.state.DepthDoseFailureCause;
    EXPECT_TRUE(fs::is_symlink(f.Working()));
    EXPECT_EQ(ReadBytes(f.dir / "kept" / "results.txt"), veltrim::ResultsFileBytes(f.state));
    std::vector<fs::path> inKept;
    for (const auto& entry : fs::directory_iterator(f.dir / "kept"))
        inKept.push_back(entry.path().filename());
    EXPECT_EQ(inKept, std::vector<fs::path>{"results.txt"}) << "a temporary was left behind";
}

// Any name the file system takes works, however close to its limit: the
// temporary beside it has a short name of its own.
TEST(NotAFile, ResultsFileNamesUpToTheSystemsLimitWork) {
    for (const std::size_t length : {239u, 250u, 255u}) {
        WorkingName f;
        f.state.ResultsFile = std::string(length - 4, 'r') + ".txt";
        ASSERT_EQ(f.Calculate(), CalculationResult::Completed)
            << length << ": " << f.state.DepthDoseFailureCause;
        EXPECT_EQ(f.ResultsBytes(), veltrim::ResultsFileBytes(f.state));
    }
}

// What Exit does with the working file.
TEST(NotAFile, OnlyARegularWorkingFileIsDeleted) {
    WorkingName f;
    fs::create_directory(f.Working()); // empty: remove() would have taken it
    veltrim::RemoveRegularFile(f.Working());
    EXPECT_TRUE(fs::is_directory(f.Working()));
    fs::remove(f.Working());
    ASSERT_EQ(f.Calculate(), CalculationResult::Completed);
    veltrim::RemoveRegularFile(f.Working());
    EXPECT_FALSE(fs::exists(fs::symlink_status(f.Working())));
}

} // namespace
