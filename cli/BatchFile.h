#pragma once

#include <filesystem>
#include <string>

namespace veltrim {

// A batch file read a piece at a time and given line by line, so that a
// file of any length is read in bounded memory. It is opened as the data
// files are, without blocking: a regular file, or a pipe or a terminal that
// delivers data; a named pipe that nothing opens for writing is given up
// after PipeWaitSeconds rather than waited on forever.
class BatchFile {
  public:
    static constexpr int PipeWaitSeconds = 3;

    // Throws BatchInputError naming why the file cannot be read.
    explicit BatchFile(const std::filesystem::path& path);
    ~BatchFile();
    BatchFile(const BatchFile&) = delete;
    BatchFile& operator=(const BatchFile&) = delete;

    // The next line, without its LF (a CR before it stays, for the reader
    // of the rows to drop); false at the end of the file. Throws
    // BatchInputError when the file cannot be read.
    bool NextLine(std::string& line);

  private:
    // Reads the next piece; false at the end of the file.
    bool Fill();
    // Waits for a pipe's writer, then refuses text the rows cannot be read from.
    void Start();

    int fd_ = -1;
    bool pipe_ = false;
    bool started_ = false;
    bool ended_ = false;
    std::string piece_;
    std::size_t pos_ = 0;
};

} // namespace veltrim
