#include "cli/BatchCommand.h"

#include "cli/BatchEngine.h"
#include "cli/BatchOutput.h"
#include "cli/StandardOutput.h"
#include "core/DataFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <thread>
#include <unistd.h>

namespace veltrim {
namespace {

// The file's bytes (the messages follow its name); throws BatchInputError when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& file) {
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec))
        throw BatchInputError("a folder, not a CSV file");
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw BatchInputError(std::string("cannot be opened: ") + std::strerror(errno));
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw BatchInputError("cannot be read");
    return bytes;
}

int DefaultJobs() {
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

} // namespace

int RunBatchCommand(const CalcOptions& options, const std::filesystem::path& dataFolder) {
    std::vector<BatchRow> rows;
    try {
        rows = ReadBatchRows(ReadWholeFile(*options.BatchFile));
    } catch (const BatchInputError& e) {
        std::cerr << "veltrim-calc: " << options.BatchFile->string() << ": " << e.what() << '\n';
        return 2;
    }

    BatchData data;
    try {
        data = ReadBatchData(dataFolder, rows);
        data.Scatter = options.Model;
        data.MatchCopper = options.MatchCopper;
    } catch (const DataFileError& e) {
        std::cerr << "veltrim-calc: " << e.what() << '\n';
        return 1;
    }

    // The count goes to a terminal only: a log or a pipe gets no carriage returns.
    const bool counting = isatty(STDERR_FILENO) == 1;
    const int total = static_cast<int>(rows.size());
    std::vector<BatchResult> results;
    try {
        results = RunBatch(data, rows, options.Jobs.value_or(DefaultJobs()), [&](int done) {
            if (counting)
                std::fprintf(stderr, "\r%d of %d", done, total);
        });
    } catch (const std::exception& e) {
        std::cerr << "veltrim-calc: " << e.what() << '\n';
        return 1;
    }
    if (counting && total > 0)
        std::fprintf(stderr, "\n");

    const BatchDigits digits = options.Precise ? BatchDigits::Precise : BatchDigits::Rounded;
    const std::string text =
        options.BatchJson ? BatchJson(results, digits) : BatchCsv(results, digits);
    if (!WriteOut(text) || !FlushOut())
        return 1;
    const bool anyFailed =
        std::any_of(results.begin(), results.end(), [](const BatchResult& r) { return r.Error; });
    return anyFailed ? 1 : 0;
}

} // namespace veltrim
