#include "app/DataFile.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>
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

} // namespace

std::string DataFileMessage(const std::filesystem::path& path, const std::string& what) {
    return "Data file \"" + path.lexically_normal().generic_string() + "\": " + what;
}

NumberFile::NumberFile(const std::filesystem::path& path) : path_(path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw DataFileError(DataFileMessage(path_, "cannot be opened (missing or unreadable)."));
    // One read of the whole file: the 29 kernel files are read at every calculation.
    std::ostringstream contents;
    contents << in.rdbuf();
    if (in.bad())
        throw DataFileError(DataFileMessage(path_, "could not be read."));
    text_ = std::move(contents).str();
    // A byte-order mark written by some editors is not part of the first number.
    if (text_.size() >= 3 && text_.compare(0, 3, "\xEF\xBB\xBF") == 0)
        pos_ = 3;
}

NumberFile::NumberFile(std::filesystem::path path, std::string text)
    : path_(std::move(path)), text_(std::move(text)) {
    if (text_.size() >= 3 && text_.compare(0, 3, "\xEF\xBB\xBF") == 0)
        pos_ = 3;
}

double NumberFile::Next() {
    while (pos_ < text_.size() && IsSeparator(text_[pos_]))
        ++pos_;
    if (pos_ >= text_.size()) {
        std::ostringstream what;
        what << "ends after " << count_ << " numbers; more were expected.";
        throw DataFileError(DataFileMessage(path_, what.str()));
    }
    std::size_t end = pos_;
    while (end < text_.size() && !IsSeparator(text_[end]))
        ++end;
    const std::string_view field(text_.data() + pos_, end - pos_);

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
        std::ostringstream what;
        what << "number " << (count_ + 1) << " (\"" << field.substr(0, 40) << "\") is "
             << (result.ec == std::errc::result_out_of_range ? "out of range." : "not a number.");
        throw DataFileError(DataFileMessage(path_, what.str()));
    }
    pos_ = end;
    ++count_;
    return value;
}

} // namespace veltrim
