// What replacing a file keeps of the file it replaces, and the links it
// does not follow. (Refusals of pipes, folders and links to nothing, and the
// failures of a full disk or a folder that takes no file, are tested through
// the results file and the saves.)
#include "core/FileReplacing.h"

#include "common/TempFolder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace veltrim;
using namespace veltrim::testing;
namespace fs = std::filesystem;

struct stat StatOf(const fs::path& file) {
    struct stat info {};
    EXPECT_EQ(::stat(file.c_str(), &info), 0) << file;
    return info;
}

// A rename would give the name a new file of the runner's with the umask's
// mode, and leave a second hard link holding the old contents.
TEST(FileReplacing, TheFileKeepsItsModeItsOwnerAndItsHardLinks) {
    const TempFolder dir;
    const bool root = ::geteuid() == 0;
    for (const char* name : {"single.txt", "linked.txt"}) {
        dir.Write(name, std::string(5000, 'o'));
        ASSERT_EQ(::chmod((dir / name).c_str(), 0640), 0);
        if (root) {
            ASSERT_EQ(::chown((dir / name).c_str(), 1234, 1234), 0);
        }
    }
    fs::create_hard_link(dir / "linked.txt", dir / "other-name.txt");
    const ino_t inode = StatOf(dir / "linked.txt").st_ino;
    for (const char* name : {"single.txt", "linked.txt"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(ReplaceFileContents(dir / name, "new\n", Durability::Synced).Replaced());
        EXPECT_EQ(ReadBytes(dir / name), "new\n");
        const struct stat info = StatOf(dir / name);
        EXPECT_EQ(info.st_mode & 07777, 0640u);
        if (root) {
            EXPECT_EQ(info.st_uid, 1234u);
        }
    }
    EXPECT_EQ(ReadBytes(dir / "other-name.txt"), "new\n");
    EXPECT_EQ(StatOf(dir / "linked.txt").st_ino, inode);
    EXPECT_EQ(EntriesOf(dir.Path()),
              (std::vector<std::string>{"linked.txt", "other-name.txt", "single.txt"}));
}

// A link to a descriptor (here the test's own, of a file in its folder)
// would replace the file that output is appended to; a link another user
// left in a sticky folder anyone may write to would aim the runner's rights
// at a file of the other user's choosing.
TEST(FileReplacing, LinksToADescriptorOrLeftByAnotherUserInASharedFolderAreRefused) {
    const TempFolder dir;
    dir.Write("log.txt", "appended\n");
    const int fd = ::open((dir / "log.txt").c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    fs::create_symlink("/proc/self/fd/" + std::to_string(fd), dir / "out.lnk");
    ReplaceOutcome outcome = ReplaceFileContents(dir / "out.lnk", "new\n", Durability::Complete);
    ::close(fd);
    EXPECT_EQ(outcome.Step, ReplaceStep::NotRegular);
    EXPECT_EQ(outcome.Kind, MessageId::FileKindDescriptorLink);
    EXPECT_EQ(ReadBytes(dir / "log.txt"), "appended\n");

    fs::create_directory(dir / "shared");
    fs::permissions(dir / "shared", fs::perms::all | fs::perms::sticky_bit);
    fs::create_symlink("../log.txt", dir / "shared/planted");
    if (::lchown((dir / "shared/planted").c_str(), 4321, 4321) != 0)
        GTEST_SKIP() << "only root can make a link another user's";
    outcome = ReplaceFileContents(dir / "shared/planted", "new\n", Durability::Complete);
    EXPECT_EQ(outcome.Step, ReplaceStep::NotRegular);
    EXPECT_EQ(outcome.Kind, MessageId::FileKindForeignLink);
    EXPECT_EQ(ReadBytes(dir / "log.txt"), "appended\n");
    // The runner's own link there is followed.
    fs::create_symlink("../log.txt", dir / "shared/own");
    EXPECT_TRUE(ReplaceFileContents(dir / "shared/own", "new\n", Durability::Complete).Replaced());
    EXPECT_EQ(ReadBytes(dir / "log.txt"), "new\n");
}

} // namespace
