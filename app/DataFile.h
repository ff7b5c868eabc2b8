#pragma once

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace veltrim {

// A data file that could not be used: missing, unreadable, too short, or
// holding something that is not a finite number. The message names the file.
class DataFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The one tokenizer of every data file: decimal numbers (period as decimal
// separator, optional exponent) separated by commas, blanks, tabs or line
// breaks. The whole file is read into memory when it is opened and the file is
// closed again at once, so nothing stays open between calls. Numbers are
// parsed lazily, one per call of Next(), so text after the last number a
// loader asks for is never looked at.
class NumberFile {
  public:
    // Throws DataFileError when the file cannot be opened or read.
    explicit NumberFile(const std::filesystem::path& path);
    // The same reader over text already in memory; `path` only names it in messages.
    NumberFile(std::filesystem::path path, std::string text);

    // The next number. Throws DataFileError when the file has no more
    // numbers, or when the next field is not a finite decimal number.
    double Next();

    // How many numbers Next() has returned so far.
    std::size_t Count() const { return count_; }
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
    std::string text_;
    std::size_t pos_ = 0;
    std::size_t count_ = 0;
};

// The message of a data-file failure, naming the file the way the user sees it.
std::string DataFileMessage(const std::filesystem::path& path, const std::string& what);

} // namespace veltrim
