#include "cli/StandardOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace veltrim {
namespace {

// The cause of the first failed write, 0 while every write went through;
// later failures usually only repeat it.
int& FirstFailure() {
    static int cause = 0;
    return cause;
}

void Keep(int cause) {
    if (FirstFailure() == 0)
        FirstFailure() = cause != 0 ? cause : EIO;
}

} // namespace

void HoldStandardOutput() {
    if (fcntl(STDOUT_FILENO, F_GETFD) != -1 || errno != EBADF)
        return;
    // Opened for reading only, every write to it fails as on the closed one.
    const int held = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (held != -1 && held != STDOUT_FILENO) {
        dup2(held, STDOUT_FILENO);
        close(held);
    }
}

bool WriteOut(std::string_view bytes) {
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size())
        return true;
    Keep(errno);
    return false;
}

bool FlushOut() {
    errno = 0;
    if (std::fflush(stdout) != 0)
        Keep(errno);
    else if (std::ferror(stdout))
        Keep(EIO);
    return FirstFailure() == 0;
}

int FinishStandardOutput(int status) {
    FlushOut();
    errno = 0;
    if (std::fclose(stdout) != 0)
        Keep(errno);
    if (FirstFailure() == 0)
        return status;
    std::fprintf(stderr, "veltrim-calc: cannot write the results to standard output: %s\n",
                 std::strerror(FirstFailure()));
    return status != 0 ? status : 1;
}

} // namespace veltrim
