#include "app/StartWindow.h"
#include "gui/GuiFixture.h"

#include <gtest/gtest.h>

namespace {

using namespace veltrim;
using namespace veltrim::testing;
namespace mc = maincontrols;
namespace fs = std::filesystem;

// Counts ProgramEnded of a window.
template <typename Window> struct EndCounter {
    int Count = 0;
    explicit EndCounter(Window& window) {
        QObject::connect(&window, &Window::ProgramEnded, &window, [this] { ++Count; });
    }
};

// Exit deletes the working file it wrote, and nothing else under that name:
// a folder called PDD_tempDATA.txt is someone's folder, and the program ends
// all the same when the name cannot be removed.
TEST(ExitProgram, DeletesTheWorkingFileAndEndsWhateverItsState) {
    enum class Working { Written, Absent, ReadOnly, EmptyFolder, FullFolder };
    for (const Working state : {Working::Written, Working::Absent, Working::ReadOnly,
                                Working::EmptyFolder, Working::FullFolder}) {
        SCOPED_TRACE(static_cast<int>(state));
        WindowFixture f;
        MainWindow& w = *f.window;
        w.show();
        const fs::path working = f.dir / ResultsFileName;
        if (state == Working::Written) {
            w.Calculate();
            ASSERT_TRUE(fs::exists(working));
        } else if (state == Working::ReadOnly) {
            f.dir.Write(ResultsFileName, "old results\r\n");
            fs::permissions(working, fs::perms::owner_read | fs::perms::group_read);
        } else if (state == Working::EmptyFolder) {
            fs::create_directory(working); // remove() would have taken it
        } else if (state == Working::FullFolder) {
            f.dir.Write(std::string(ResultsFileName) + "/inside", "x");
        }
        f.dir.Write("kept.csv", "saved results stay\n");
        EndCounter<MainWindow> ended(w);

        f.Button(mc::Exit).click();
        EXPECT_EQ(ended.Count, 1);
        EXPECT_FALSE(w.isVisible());
        EXPECT_TRUE(fs::exists(f.dir / "kept.csv"));
        const bool folder = state == Working::EmptyFolder || state == Working::FullFolder;
        EXPECT_EQ(fs::is_directory(working), folder);
        EXPECT_EQ(fs::exists(working), folder);
        EXPECT_TRUE(f.sink.Messages.empty());

        w.ExitProgram(); // a second request after the end does nothing more
        EXPECT_EQ(ended.Count, 1);
    }
}

TEST(ExitProgram, ClosingTheMainWindowExits) {
    WindowFixture f;
    MainWindow& w = *f.window;
    w.show();
    w.Calculate();
    EndCounter<MainWindow> ended(w);
    EXPECT_TRUE(w.close());
    EXPECT_EQ(ended.Count, 1);
    EXPECT_FALSE(f.WorkingFileExists());
}

TEST(ExitProgram, DuringACalculationTheFileGoesAfterItsLastWrite) {
    WindowFixture f;
    MainWindow& w = *f.window;
    w.show();
    EndCounter<MainWindow> ended(w);
    int endedDuringRun = -1;
    CalculateWithInterruption(w, [&] {
        f.Button(mc::Exit).click();
        endedDuringRun = ended.Count;
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_EQ(endedDuringRun, 0);
    EXPECT_EQ(ended.Count, 1);
    EXPECT_FALSE(f.WorkingFileExists()) << "the working file outlived the program";
    EXPECT_FALSE(f.Button(mc::SaveNumbers).isEnabled()) << "an ended window was armed";
}

TEST(StartWindow, ExitDeletesALeftOverWorkingFileOrNone) {
    for (const bool leftOver : {true, false}) {
        TempFolder dir;
        if (leftOver)
            dir.Write(ResultsFileName, "from an earlier run\r\n");
        RecordingSink sink;
        StartWindow start(sink, dir.Path(), dir.Path());
        start.show();
        EndCounter<StartWindow> ended(start);
        FindControl<QPushButton>(start, startcontrols::Exit).click();
        EXPECT_EQ(ended.Count, 1);
        EXPECT_FALSE(fs::exists(dir / ResultsFileName));
        EXPECT_FALSE(start.isVisible());
        EXPECT_EQ(start.Main(), nullptr);
    }
}

} // namespace
