#include "gui/GuiFixture.h"

#include <gtest/gtest.h>

namespace {

using namespace veltrim;
using veltrim::testing::WindowFixture;
namespace fs = std::filesystem;

// Exit deletes the working file it wrote, and nothing else under that name:
// an empty folder called PDD_tempDATA.txt is someone's folder.
TEST(ExitProgram, LeavesAFolderNamedLikeTheWorkingFile) {
    WindowFixture f;
    MainWindow& w = *f.window;
    w.show();
    fs::create_directory(f.dir / ResultsFileName);
    w.ExitProgram();
    EXPECT_TRUE(fs::is_directory(f.dir / ResultsFileName));
}

} // namespace
