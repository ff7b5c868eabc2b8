#include "cli/BatchFile.h"

#include "cli/BatchInput.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace veltrim {
namespace {

constexpr std::size_t PieceBytes = 1 << 16;
// No row of conditions comes near it; a longer line is not a batch file's.
constexpr std::size_t LongestLine = 1 << 20;

[[noreturn]] void Refuse(const std::string& why) {
    throw BatchInputError(why);
}

// A text of 16-bit units shows a byte order mark or a zero byte beside
// every ASCII character; its lines cannot be read as cells.
bool LooksUtf16(std::string_view piece) {
    return piece.rfind("\xFF\xFE", 0) == 0 || piece.rfind("\xFE\xFF", 0) == 0 ||
           piece.find('\0') != std::string_view::npos;
}

// Lines ended by CR alone (old Mac OS) read as one long line.
bool EndsLinesInCrAlone(std::string_view piece) {
    const std::size_t cr = piece.find('\r');
    return piece.find('\n') == std::string_view::npos && cr != std::string_view::npos &&
           cr + 1 < piece.size();
}

} // namespace

BatchFile::BatchFile(const std::filesystem::path& path) {
    // Without O_NONBLOCK, opening a named pipe waits for a writer that may never come.
    fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        if (errno == EISDIR)
            Refuse("a folder, not a CSV file");
        Refuse(std::string("cannot be opened: ") + std::strerror(errno));
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        const int error = errno;
        ::close(fd_);
        Refuse(std::string("cannot be read: ") + std::strerror(error));
    }
    const bool terminal = S_ISCHR(info.st_mode) && ::isatty(fd_) == 1;
    pipe_ = S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode);
    if (!S_ISREG(info.st_mode) && !pipe_ && !terminal) {
        ::close(fd_);
        Refuse(S_ISDIR(info.st_mode) ? "a folder, not a CSV file" : "a device, not a CSV file");
    }
    if (!pipe_)
        ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
}

BatchFile::~BatchFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool BatchFile::Fill() {
    piece_.resize(PieceBytes);
    pos_ = 0;
    for (;;) {
        const ssize_t got = ::read(fd_, piece_.data(), piece_.size());
        if (got > 0) {
            piece_.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (got == 0) {
            piece_.clear();
            ended_ = true;
            return false;
        }
        if (errno != EINTR)
            Refuse(std::string("cannot be read: ") + std::strerror(errno));
    }
}

void BatchFile::Start() {
    started_ = true;
    if (pipe_) {
        // A pipe with no writer reads as ended; one whose writer has not
        // written yet would block. Either may turn into data: wait a little
        // for one that does, then read as any file.
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(PipeWaitSeconds);
        for (;;) {
            piece_.resize(PieceBytes);
            const ssize_t first = ::read(fd_, piece_.data(), piece_.size());
            if (first > 0) {
                piece_.resize(static_cast<std::size_t>(first));
                break;
            }
            if (first < 0 && errno == EAGAIN) {
                piece_.clear();
                break;
            }
            if (first < 0 && errno != EINTR)
                Refuse(std::string("cannot be read: ") + std::strerror(errno));
            if (std::chrono::steady_clock::now() >= until)
                Refuse("a pipe that nothing wrote to within " + std::to_string(PipeWaitSeconds) +
                       " s");
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
        if (piece_.empty())
            Fill();
    } else {
        Fill();
    }
    pos_ = 0;
    if (LooksUtf16(piece_))
        Refuse("UTF-16 text (or not text at all): save it as UTF-8 or ASCII");
    if (EndsLinesInCrAlone(piece_))
        Refuse("its lines end in CR alone: save it with LF or CR LF line ends");
}

bool BatchFile::NextLine(std::string& line) {
    if (!started_)
        Start();
    line.clear();
    for (;;) {
        if (pos_ >= piece_.size() && (ended_ || !Fill()))
            return !line.empty();
        const std::size_t lf = piece_.find('\n', pos_);
        if (lf != std::string::npos) {
            line.append(piece_, pos_, lf - pos_);
            pos_ = lf + 1;
            return true;
        }
        line.append(piece_, pos_, std::string::npos);
        pos_ = piece_.size();
        if (line.size() > LongestLine)
            Refuse("a line longer than 1 MB: not a batch file");
    }
}

} // namespace veltrim
