#pragma once

#include "common/TempFolder.h"

#include <fcntl.h>
#include <filesystem>
#include <linux/fs.h>
#include <memory>
#include <sys/ioctl.h>
#include <unistd.h>

namespace veltrim::testing {

// Makes a file immutable (chattr +i) for as long as it lives, where the file
// system and the user's rights allow, and lifts the mark when it goes,
// whatever the test did meanwhile.
class ImmutableFile {
  public:
    explicit ImmutableFile(std::filesystem::path file) : file_(std::move(file)) {
        works_ = Mark(true);
    }
    ~ImmutableFile() {
        if (works_)
            Mark(false);
    }
    ImmutableFile(const ImmutableFile&) = delete;
    ImmutableFile& operator=(const ImmutableFile&) = delete;
    bool Works() const { return works_; }

  private:
    bool Mark(bool on) const {
        const int fd = ::open(file_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (done) {
            flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return done;
    }

    std::filesystem::path file_;
    bool works_ = false;
};

// A fresh folder whose files can be made immutable: under the system's
// temporary folder, /var/tmp or the current folder, the first whose file
// system keeps the mark (tmpfs and overlay do not). Null where none does or
// the user may not set it (only root may).
inline std::unique_ptr<TempFolder> FolderTakingImmutableFiles() {
    std::error_code ignored;
    for (const std::filesystem::path& parent :
         {std::filesystem::temp_directory_path(ignored), std::filesystem::path("/var/tmp"),
          std::filesystem::current_path(ignored)}) {
        if (parent.empty() || !std::filesystem::is_directory(parent, ignored))
            continue;
        try {
            auto folder = std::make_unique<TempFolder>(parent);
            if (ImmutableFile(folder->Write("probe", "")).Works()) {
                std::filesystem::remove(*folder / "probe");
                return folder;
            }
        } catch (const std::filesystem::filesystem_error&) {
        }
    }
    return nullptr;
}

} // namespace veltrim::testing
