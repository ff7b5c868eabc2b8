#include "common/TempFolder.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

namespace {

using veltrim::testing::TempFolder;

// Runs a shell command and gives back its exit status and what it wrote.
std::pair<int, std::string> RunShell(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return {-1, output};
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
        output += buffer;
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

TEST(Program, WithoutADisplaySaysSoInOneLineAndPointsToTheCommandLine) {
    TempFolder dir;
    const auto [status, output] =
        RunShell("cd '" + dir.Path().string() + "' && env -u DISPLAY -u WAYLAND_DISPLAY -u " +
                 "QT_QPA_PLATFORM '" VELTRIM_PROGRAM "' 2>&1");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
    EXPECT_NE(output.find("display"), std::string::npos) << output;
    EXPECT_NE(output.find("veltrim-calc"), std::string::npos) << output;
}

} // namespace
