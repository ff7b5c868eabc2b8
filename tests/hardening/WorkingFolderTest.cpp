// A working folder that cannot take the results file: the calculation must
// say so with its message, keep the previous table (which the graph shows and
// which the saved CSV file must match) and the previous results file, and
// leave no temporary file behind.
#include "common/FileSizeLimit.h"
#include "dose/DepthDose.h"
#include "dose/ResultsFile.h"
#include "hardening/Installation.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace veltrim;
using namespace veltrim::testing;
namespace fs = std::filesystem;

// Makes a folder refuse new entries for as long as the object lives, in a way
// that holds for root too: the immutable attribute where the file system and
// the process's capabilities allow it, else the permission bits (enough for
// any other user). Works() tells whether either took effect.
class LockedFolder {
  public:
    explicit LockedFolder(const fs::path& folder) : folder_(folder) {
        fd_ = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        if (fd_ >= 0 && ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0) {
            const int locked = flags | FS_IMMUTABLE_FL;
            immutable_ = ioctl(fd_, FS_IOC_SETFLAGS, &locked) == 0;
        }
        if (!immutable_)
            chmod(folder.c_str(), 0500);
        const fs::path probe = folder / ".probe";
        const int created = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        works_ = created < 0;
        if (created >= 0) {
            close(created);
            unlink(probe.c_str());
        }
    }
    ~LockedFolder() {
        if (immutable_) {
            int flags = 0;
            if (ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0) {
                flags &= ~FS_IMMUTABLE_FL;
                ioctl(fd_, FS_IOC_SETFLAGS, &flags);
            }
        } else {
            chmod(folder_.c_str(), 0700);
        }
        if (fd_ >= 0)
            close(fd_);
    }
    LockedFolder(const LockedFolder&) = delete;
    LockedFolder& operator=(const LockedFolder&) = delete;
    bool Works() const { return works_; }

  private:
    fs::path folder_;
    int fd_ = -1;
    bool immutable_ = false;
    bool works_ = false;
};

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

TEST(WorkingFolder, FolderThatRefusesNewFilesKeepsThePreviousTableAndFile) {
    WorkFixture f;
    {
        const LockedFolder locked(f.dir / "work");
        if (!locked.Works())
            GTEST_SKIP() << "this file system lets the test user write to any folder";
        f.ExpectRefusedAndKept();
        // The second line says what to change.
        EXPECT_NE(f.sink.Messages[0].find("Make the folder writable"), std::string::npos)
            << f.sink.Messages[0];
    }
    f.ExpectRecovery();
}

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
