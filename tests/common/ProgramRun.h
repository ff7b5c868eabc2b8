#pragma once

// Running a program of the project from a shell line, and reading what it printed.

#include "common/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace veltrim::testing {

struct ProgramRun {
    int status = -1;
    std::string out, err;
};

// Runs `command` (a shell line) with its output captured in files of `work`.
inline ProgramRun RunCaptured(const std::string& command, const TempFolder& work) {
    const std::filesystem::path out = work / ".out", err = work / ".err";
    const int status =
        std::system((command + " >'" + out.string() + "' 2>'" + err.string() + "'").c_str());
    ProgramRun run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadBytes(out);
    run.err = ReadBytes(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return run;
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace veltrim::testing
