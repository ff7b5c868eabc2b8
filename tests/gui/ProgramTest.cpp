#include "common/ProgramRun.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace {

using namespace veltrim::testing;

TEST(Program, WithoutADisplaySaysSoInOneLineAndPointsToTheCommandLine) {
    TempFolder dir;
    const ProgramRun run =
        RunCaptured("cd '" + dir.Path().string() + "' && env -u DISPLAY -u WAYLAND_DISPLAY -u " +
                        "QT_QPA_PLATFORM '" VELTRIM_PROGRAM "'",
                    dir);
    const std::string output = run.out + run.err;
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
    EXPECT_NE(output.find("display"), std::string::npos) << output;
    EXPECT_NE(output.find("veltrim-calc"), std::string::npos) << output;
}

} // namespace
