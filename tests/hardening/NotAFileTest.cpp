// Names that hold something other than a regular file: a named pipe, a
// folder, a link. A data file of that kind is refused at once with a message
// that names it (a pipe without a writer would otherwise stall the
// calculation for ever); the results file is never put in place of one, a
// link to a regular file replaces its target, and Exit leaves them all alone.
#include "common/Installation.h"
#include "core/FileReplacing.h"
#include "dose/DepthDose.h"
#include "dose/TissueTables.h"
#include "files/ResultsFile.h"
#include "spectrum/AttenuationTables.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace veltrim;
using namespace veltrim::testing;
namespace fs = std::filesystem;

// Kills the test process (and so fails the test) if a step blocks.
class Watchdog {
  public:
    explicit Watchdog(unsigned seconds) { ::alarm(seconds); }
    ~Watchdog() { ::alarm(0); }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
};

// Every loader opens its file through the data-file reader, which refuses a
// pipe or a folder at once (its own test); here, a pipe in place of each.
TEST(NotAFile, ANamedPipeInPlaceOfADataFileIsNamedAndNothingBlocks) {
    const fs::path kernel = fs::path(KernelFolder) / KernelFile(85);
    for (const fs::path& relative :
         {fs::path(TissueFile), fs::path(PrimaryDoseFile), kernel, fs::path(TungstenFile)}) {
        SCOPED_TRACE(relative.generic_string());
        CalculatedInstallation f;
        const fs::path file = f.dir / relative.string();
        fs::remove(file);
        ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);

        const Watchdog watchdog(30);
        if (relative == TungstenFile)
            EXPECT_FALSE(f.state.LoadAttenuationTables());
        else
            EXPECT_NE(f.Calculate(), CalculationResult::Completed);
        ASSERT_EQ(f.sink.Messages.size(), 1u);
        const std::string& told = f.sink.Messages.back();
        EXPECT_NE(told.find(relative.generic_string()), std::string::npos) << told;
        EXPECT_NE(told.find("is a named pipe, not a regular file"), std::string::npos) << told;
        EXPECT_EQ(f.ResultsBytes(), f.resultsFile);
    }
}

TEST(NotAFile, NeitherTheResultsFileNorExitReplacesAPipeAFolderOrADanglingLink) {
    for (const fs::file_type kind :
         {fs::file_type::fifo, fs::file_type::directory, fs::file_type::symlink}) {
        SCOPED_TRACE(static_cast<int>(kind));
        Installation f;
        const fs::path working = f.ResultsPath();
        if (kind == fs::file_type::fifo)
            ASSERT_EQ(::mkfifo(working.c_str(), 0600), 0);
        else if (kind == fs::file_type::directory)
            fs::create_directory(working);
        else
            fs::create_symlink("gone/away.txt", working);
        const Watchdog watchdog(30);
        EXPECT_EQ(f.Calculate(f.other), CalculationResult::DepthDoseFailed);
        ASSERT_TRUE(IsOneDepthDoseFailure(f.sink.Messages));
        EXPECT_NE(f.sink.Messages[0].find("PDD_tempDATA.txt"), std::string::npos);
        EXPECT_NE(f.sink.Messages[0].find("not a regular file"), std::string::npos)
            << f.sink.Messages[0];
        EXPECT_EQ(fs::symlink_status(working).type(), kind);
        EXPECT_FALSE(fs::exists(f.dir / "gone"));
        // Exit takes away only a regular file of that name.
        RemoveRegularFile(working);
        EXPECT_EQ(fs::symlink_status(working).type(), kind);
    }
    // An empty folder, which remove() would have taken, and the file itself.
    Installation f;
    fs::create_directory(f.ResultsPath());
    RemoveRegularFile(f.ResultsPath());
    EXPECT_TRUE(fs::is_directory(f.ResultsPath()));
    fs::remove(f.ResultsPath());
    ASSERT_EQ(f.Calculate(), CalculationResult::Completed);
    RemoveRegularFile(f.ResultsPath());
    EXPECT_FALSE(fs::exists(fs::symlink_status(f.ResultsPath())));
}

TEST(NotAFile, ALinkToARegularFileHasItsTargetReplacedInTheTargetsFolder) {
    Installation f;
    f.dir.Write("kept/results.txt", "earlier\r\n");
    fs::create_symlink("kept/results.txt", f.ResultsPath());
    ASSERT_EQ(f.Calculate(f.other), CalculationResult::Completed) << f.state.DepthDoseFailureCause;
    EXPECT_TRUE(fs::is_symlink(f.ResultsPath()));
    EXPECT_EQ(ReadBytes(f.dir / "kept" / "results.txt"), ResultsFileBytes(f.state));
    EXPECT_EQ(EntriesOf(f.dir / "kept"), std::vector<std::string>{"results.txt"})
        << "a temporary was left behind";
}

// Any name the file system takes works, however close to its limit: the
// temporary beside it has a short name of its own.
TEST(NotAFile, ResultsFileNamesUpToTheSystemsLimitWork) {
    for (const std::size_t length : {239u, 250u, 255u}) {
        Installation f;
        f.state.ResultsFile = std::string(length - 4, 'r') + ".txt";
        ASSERT_EQ(f.Calculate(), CalculationResult::Completed)
            << length << ": " << f.state.DepthDoseFailureCause;
        EXPECT_EQ(f.ResultsBytes(), ResultsFileBytes(f.state));
    }
}

} // namespace
