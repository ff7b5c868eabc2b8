#include "core/DataFile.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace veltrim {
namespace {

bool IsSeparator(char ch) {
    return ch == ',' || ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\f' ||
           ch == '\v';
}

bool IsNumberCharacter(char ch) {
    return (ch >= '0' && ch <= '9') || ch == '.' || ch == '+' || ch == '-' || ch == 'e' ||
           ch == 'E';
}

// No number of a data file is anywhere near this long; a longer field is
// refused rather than gathered without end.
constexpr std::size_t LongestField = 4096;
constexpr std::size_t ReadPiece = 1 << 16;

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Text in UTF-16: a byte-order mark, or ASCII with a zero byte beside every character.
bool LooksLikeUtf16(std::string_view start) {
    if (StartsWith(start, "\xFF\xFE") || StartsWith(start, "\xFE\xFF"))
        return true;
    if (start.size() < 4)
        return false;
    const auto printable = [](char ch) {
        return (ch >= 0x20 && ch < 0x7F) || ch == '\t' || ch == '\r' || ch == '\n';
    };
    const bool littleEndian =
        printable(start[0]) && start[1] == '\0' && printable(start[2]) && start[3] == '\0';
    const bool bigEndian =
        start[0] == '\0' && printable(start[1]) && start[2] == '\0' && printable(start[3]);
    return littleEndian || bigEndian;
}

} // namespace

DataFileError::DataFileError(const Message& problem)
    : std::runtime_error(problem.In(Language::English)), problem_(problem) {}

Message DataFileProblem(const std::filesystem::path& path, const Message& detail) {
    return Message(
        MessageId::DataFile,
        {Arg(PrintableText(path.lexically_normal().generic_string(), 4096)), Arg(detail)});
}

MessageId FileKindOf(unsigned mode) {
    if (S_ISDIR(mode))
        return MessageId::FileKindFolder;
    if (S_ISFIFO(mode))
        return MessageId::FileKindPipe;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return MessageId::FileKindDevice;
    if (S_ISSOCK(mode))
        return MessageId::FileKindSocket;
    return MessageId::FileKindOther;
}

std::string PrintableText(std::string_view bytes, std::size_t limit) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < bytes.size() && i < limit; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            text += static_cast<char>(byte);
        } else {
            text += "\\x";
            text += hex[byte >> 4];
            text += hex[byte & 0xF];
        }
    }
    return text;
}

NumberFile::NumberFile(const std::filesystem::path& path) : path_(path) {
    // Without O_NONBLOCK, opening a named pipe waits for a writer that never comes.
    fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        const int error = errno;
        if (error == ENOENT)
            Fail(Message(MessageId::DataFileMissing));
        if (error == ELOOP)
            Fail(Message(MessageId::DataFileNotRegular,
                         {Arg(Message(MessageId::FileKindLinkLoop))}));
        Fail(Message(MessageId::DataFileUnopenable, {Arg(std::strerror(error))}));
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        const int error = errno;
        Fail(Message(MessageId::DataFileReadError, {Arg(std::strerror(error))}));
    }
    if (!S_ISREG(info.st_mode))
        Fail(Message(MessageId::DataFileNotRegular, {Arg(Message(FileKindOf(info.st_mode)))}));
}

NumberFile::NumberFile(std::filesystem::path path, std::string text)
    : path_(std::move(path)), buffer_(std::move(text)) {}

NumberFile::~NumberFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

void NumberFile::Fail(const Message& detail) const {
    throw DataFileError(DataFileProblem(path_, detail));
}

bool NumberFile::Fill() {
    if (pos_ < buffer_.size())
        return true;
    if (fd_ < 0)
        return false;
    buffer_.clear();
    pos_ = 0;
    buffer_.resize(ReadPiece);
    for (;;) {
        const ssize_t got = ::read(fd_, buffer_.data(), buffer_.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const int error = errno;
            buffer_.clear();
            Fail(Message(MessageId::DataFileReadError, {Arg(std::strerror(error))}));
        }
        buffer_.resize(static_cast<std::size_t>(got));
        break;
    }
    if (buffer_.empty()) {
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    return true;
}

double NumberFile::Next() {
    if (!started_) {
        started_ = true;
        if (Fill()) {
            const std::string_view start = std::string_view(buffer_).substr(pos_);
            if (LooksLikeUtf16(start))
                Fail(Message(MessageId::DataFileUtf16));
            // A byte-order mark written by some editors is not part of the first number.
            if (StartsWith(start, "\xEF\xBB\xBF"))
                pos_ += 3;
        }
    }
    for (;;) {
        if (!Fill())
            Fail(Message(MessageId::DataFileEndsEarly, {Arg(std::to_string(count_))}));
        if (!IsSeparator(buffer_[pos_]))
            break;
        ++pos_;
    }
    std::string field;
    while (Fill() && !IsSeparator(buffer_[pos_])) {
        std::size_t end = pos_;
        while (end < buffer_.size() && !IsSeparator(buffer_[end]))
            ++end;
        field.append(buffer_, pos_, end - pos_);
        pos_ = end;
        if (field.size() > LongestField)
            Fail(Message(MessageId::DataFileFieldTooLong,
                         {Arg(std::to_string(count_ + 1)), Arg(PrintableText(field))}));
    }

    const char* first = field.data();
    const char* last = field.data() + field.size();
    if (first != last && *first == '+')
        ++first;
    bool plain = first != last;
    for (const char* p = first; p != last; ++p)
        if (!IsNumberCharacter(*p))
            plain = false;
    double value = 0.0;
    std::from_chars_result result{first, std::errc::invalid_argument};
    if (plain)
        result = std::from_chars(first, last, value, std::chars_format::general);
    if (!plain || result.ec != std::errc() || result.ptr != last || !std::isfinite(value)) {
        const MessageId why = result.ec == std::errc::result_out_of_range
                                  ? MessageId::DataFileOutOfRange
                                  : MessageId::DataFileNotANumber;
        Fail(Message(why, {Arg(std::to_string(count_ + 1)), Arg(PrintableText(field))}));
    }
    ++count_;
    return value;
}

} // namespace veltrim
