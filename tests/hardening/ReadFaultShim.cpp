// Preloaded into a program under test: read() of the file named by
// VELTRIM_EIO_FILE (its canonical path) fails with EIO once the file's
// offset has reached VELTRIM_EIO_AFTER bytes (0 when unset), as a bad sector
// or a lost network disk would. Every other read goes to the system as it is.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

bool Fails(int fd) {
    const char* const name = std::getenv("VELTRIM_EIO_FILE");
    if (name == nullptr)
        return false;
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[PATH_MAX];
    const ssize_t length = ::readlink(link, target, sizeof target - 1);
    if (length < 0)
        return false;
    target[length] = '\0';
    if (std::strcmp(target, name) != 0)
        return false;
    const char* const after = std::getenv("VELTRIM_EIO_AFTER");
    return ::lseek(fd, 0, SEEK_CUR) >= (after != nullptr ? std::atoll(after) : 0);
}

ssize_t Read(int fd, void* buffer, size_t count) {
    if (Fails(fd)) {
        errno = EIO;
        return -1;
    }
    return ::syscall(SYS_read, fd, buffer, count);
}

} // namespace

extern "C" ssize_t read(int fd, void* buffer, size_t count) {
    return Read(fd, buffer, count);
}

// The checked read a fortified build calls in read()'s place.
extern "C" ssize_t __read_chk(int fd, void* buffer, size_t count, size_t) {
    return Read(fd, buffer, count);
}
