#include "core/FileReading.h"

#include "core/DataFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veltrim {

ReadOutcome ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes) {
    ReadOutcome outcome;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        outcome.Error = errno;
        outcome.Step = outcome.Error == ENOENT ? ReadStep::Missing : ReadStep::Unreadable;
        return outcome;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        outcome.Error = errno;
    } else if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        outcome.Step = ReadStep::NotRegular;
        outcome.Kind = FileKindOf(info.st_mode);
        return outcome;
    }
    char chunk[1 << 16];
    while (outcome.Error == 0 && outcome.Bytes.size() <= maxBytes) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got == 0)
            break;
        if (got < 0 && errno != EINTR)
            outcome.Error = errno;
        else if (got > 0)
            outcome.Bytes.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(fd);
    if (outcome.Error != 0) {
        outcome.Step = ReadStep::Unreadable;
        outcome.Bytes.clear();
    }
    return outcome;
}

} // namespace veltrim
