#pragma once

#include "core/Messages.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace veltrim {

// A data file that could not be used: missing, not a regular file,
// unreadable, too short, or holding something that is not a finite number.
// The message names the file; what() gives it in English.
class DataFileError : public MessageError {
  public:
    using MessageError::MessageError;
};

// The message "Data file "<path>": <detail>".
Message DataFileProblem(const std::filesystem::path& path, const Message& detail);

// What a file system object that is not a regular file is, for messages:
// FileKindFolder, FileKindPipe, ... (from the mode bits of stat).
MessageId FileKindOf(unsigned mode);

// The one tokenizer of every data file: decimal numbers (period as decimal
// separator, optional exponent) separated by commas, blanks, tabs or line
// breaks. The file is opened without blocking and refused unless it is a
// regular file, so a named pipe or a device in its place cannot stall the
// program. It is read in pieces as numbers are asked for, so a loader reads
// only as far as its layout goes, whatever the size of the file; the file is
// closed when the reader goes.
class NumberFile {
  public:
    // Throws DataFileError when the file cannot be opened or is not a regular file.
    explicit NumberFile(const std::filesystem::path& path);
    // The same reader over text already in memory; `path` only names it in messages.
    NumberFile(std::filesystem::path path, std::string text);
    ~NumberFile();
    NumberFile(const NumberFile&) = delete;
    NumberFile& operator=(const NumberFile&) = delete;

    // The next number. Throws DataFileError when the file has no more
    // numbers, cannot be read, or when the next field is not a finite decimal number.
    double Next();

    // How many numbers Next() has returned so far.
    std::size_t Count() const { return count_; }
    const std::filesystem::path& Path() const { return path_; }

  private:
    // Makes at least one unread byte available; false at the end of the file.
    bool Fill();
    // The first piece: refused when it is UTF-16, its byte-order mark skipped.
    void Start();
    // The field at pos_ gathered across pieces.
    std::string GatherField();
    double Convert(std::string_view field);
    [[noreturn]] void Fail(const Message& detail) const;
    // The field that would be number count_ + 1, named in the message.
    [[noreturn]] void FailField(MessageId why, std::string_view field) const;

    std::filesystem::path path_;
    int fd_ = -1;                   // -1 once the whole text is in the buffer
    std::string text_;              // the whole text, when it was given in memory
    std::unique_ptr<char[]> piece_; // the piece of the file read last
    std::string_view buffer_;       // text_, or what the last read put in piece_
    std::size_t pos_ = 0;
    std::size_t count_ = 0;
    bool started_ = false;
};

// A byte string as printable ASCII: other bytes as \xNN, at most `limit` bytes shown.
std::string PrintableText(std::string_view bytes, std::size_t limit = 40);

} // namespace veltrim
