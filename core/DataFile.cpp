#include "core/DataFile.h"

#include <array>
#include <cerrno>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace veltrim {
namespace {

enum CharacterKind : unsigned char { OtherCharacter, SeparatorCharacter, NumberCharacter };

// One look-up a byte instead of a chain of comparisons: the kernel files alone
// are over two million bytes a calculation.
constexpr std::array<CharacterKind, 256> CharacterKinds = [] {
    std::array<CharacterKind, 256> kinds{};
    for (const char ch : std::string_view(", \t\r\n\f\v"))
        kinds[static_cast<unsigned char>(ch)] = SeparatorCharacter;
    for (const char ch : std::string_view("0123456789.+-eE"))
        kinds[static_cast<unsigned char>(ch)] = NumberCharacter;
    return kinds;
}();

CharacterKind KindOf(char ch) {
    return CharacterKinds[static_cast<unsigned char>(ch)];
}

bool IsSeparator(char ch) {
    return KindOf(ch) == SeparatorCharacter;
}

bool IsNumberCharacter(char ch) {
    return KindOf(ch) == NumberCharacter;
}

bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

// The powers of ten that are exact doubles: 10^22 = 2^22 * 5^22, and 5^22 < 2^53.
constexpr std::array<double, 23> ExactPowersOfTen = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                     1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                     1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The one rounding below is the correct one only when doubles are computed in
// double precision, not in the x87's wider registers.
static_assert(FLT_EVAL_METHOD == 0);

// The number at the start of [p, end) when it is written as the data files
// write theirs: an optional minus, at most 19 digits with at most one period,
// an optional exponent of at most three digits; and when its digits, read as
// an integer, are at most 2^53 and the power of ten is within 10^-22..10^22.
// Gives the end of the number and sets `value`, or nullptr for any other
// text, which std::from_chars then reads. Both operands of the one division
// or multiplication are exact, so the result is the written decimal rounded
// once to nearest: the correctly rounded value std::from_chars gives too, at
// a fraction of its cost.
const char* ReadShortDecimal(const char* p, const char* end, double& value) {
    const bool negative = p != end && *p == '-';
    if (negative)
        ++p;
    std::uint64_t digits = 0; // wraps beyond 19 digits, which are refused
    const char* const integer = p;
    while (p != end && IsDigit(*p))
        digits = digits * 10 + static_cast<unsigned>(*p++ - '0');
    long digitCount = p - integer;
    long exponent = 0;
    if (p != end && *p == '.') {
        const char* const fraction = ++p;
        while (p != end && IsDigit(*p))
            digits = digits * 10 + static_cast<unsigned>(*p++ - '0');
        exponent = -(p - fraction);
        digitCount += p - fraction;
    }
    if (digitCount == 0 || digitCount > 19)
        return nullptr;
    if (p != end && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool negativeExponent = p != end && *p == '-';
        if (p != end && (*p == '-' || *p == '+'))
            ++p;
        const char* const written = p;
        long power = 0;
        while (p != end && IsDigit(*p) && p - written < 3)
            power = power * 10 + (*p++ - '0');
        if (p == written || (p != end && IsDigit(*p)))
            return nullptr;
        exponent += negativeExponent ? -power : power;
    }
    if (digits > (std::uint64_t{1} << 53) || exponent < -22 || exponent > 22)
        return nullptr;
    const double whole = static_cast<double>(digits);
    value = exponent < 0 ? whole / ExactPowersOfTen[static_cast<std::size_t>(-exponent)]
                         : whole * ExactPowersOfTen[static_cast<std::size_t>(exponent)];
    if (negative)
        value = -value;
    return p;
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
    : path_(std::move(path)), text_(std::move(text)), buffer_(text_) {}

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
    // Not zeroed: every piece is read over.
    if (!piece_)
        piece_ = std::make_unique_for_overwrite<char[]>(ReadPiece);
    buffer_ = {};
    pos_ = 0;
    for (;;) {
        const ssize_t got = ::read(fd_, piece_.get(), ReadPiece);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const int error = errno;
            Fail(Message(MessageId::DataFileReadError, {Arg(std::strerror(error))}));
        }
        buffer_ = std::string_view(piece_.get(), static_cast<std::size_t>(got));
        break;
    }
    if (buffer_.empty()) {
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    return true;
}

void NumberFile::Start() {
    started_ = true;
    if (!Fill())
        return;
    const std::string_view start = buffer_.substr(pos_);
    if (LooksLikeUtf16(start))
        Fail(Message(MessageId::DataFileUtf16));
    // A byte-order mark written by some editors is not part of the first number.
    if (StartsWith(start, "\xEF\xBB\xBF"))
        pos_ += 3;
}

std::string NumberFile::GatherField() {
    std::string field;
    while (Fill() && !IsSeparator(buffer_[pos_])) {
        std::size_t end = pos_;
        while (end < buffer_.size() && !IsSeparator(buffer_[end]))
            ++end;
        field.append(buffer_, pos_, end - pos_);
        pos_ = end;
        if (field.size() > LongestField)
            FailField(MessageId::DataFileFieldTooLong, field);
    }
    return field;
}

void NumberFile::FailField(MessageId why, std::string_view field) const {
    Fail(Message(why, {Arg(std::to_string(count_ + 1)), Arg(PrintableText(field))}));
}

double NumberFile::Next() {
    if (!started_)
        Start();
    for (;;) {
        if (!Fill())
            Fail(Message(MessageId::DataFileEndsEarly, {Arg(std::to_string(count_))}));
        const char* const end = buffer_.data() + buffer_.size();
        const char* p = buffer_.data() + pos_;
        while (p != end && IsSeparator(*p))
            ++p;
        pos_ = static_cast<std::size_t>(p - buffer_.data());
        if (p != end)
            break;
    }
    const char* const end = buffer_.data() + buffer_.size();
    const char* const first = buffer_.data() + pos_;
    // Nearly every field: a short decimal read where it lies, ending at a
    // separator or at the end of the whole text. from_chars takes no plus
    // sign; the files may write one.
    double value = 0.0;
    const char* const stop = ReadShortDecimal(first + (*first == '+'), end, value);
    if (stop != nullptr && (stop != end ? IsSeparator(*stop) : fd_ < 0)) {
        pos_ = static_cast<std::size_t>(stop - buffer_.data());
        ++count_;
        return value;
    }
    const char* last = first;
    while (last != end && !IsSeparator(*last))
        ++last;
    // A field that reaches the end of the piece may go on in the next one.
    if (last == end && fd_ >= 0)
        return Convert(GatherField());
    const std::string_view field(first, static_cast<std::size_t>(last - first));
    pos_ += field.size();
    if (field.size() > LongestField)
        FailField(MessageId::DataFileFieldTooLong, field);
    return Convert(field);
}

double NumberFile::Convert(std::string_view field) {
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
    if (!plain || result.ec != std::errc() || result.ptr != last || !std::isfinite(value))
        FailField(result.ec == std::errc::result_out_of_range ? MessageId::DataFileOutOfRange
                                                              : MessageId::DataFileNotANumber,
                  field);
    ++count_;
    return value;
}

} // namespace veltrim
