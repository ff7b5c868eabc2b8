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

// Exit deletes the working file it wrote, and nothing else under that name
// (which names RemoveRegularFile leaves alone is the hardening tests'): a
// folder called PDD_tempDATA.txt is someone's, and the program ends all the
// same. Closing the window is Exit too.
TEST(ExitProgram, DeletesTheWorkingFileAndEndsWhateverItsState) {
    for (const bool folder : {false, true}) {
        WindowFixture f;
        MainWindow& w = *f.window;
        w.show();
        const fs::path working = f.dir / ResultsFileName;
        if (folder)
            f.dir.Write(std::string(ResultsFileName) + "/inside", "x");
        else
            w.Calculate();
        f.dir.Write("kept.csv", "saved results stay\n");
        EndCounter<MainWindow> ended(w);

        if (folder)
            f.Button(mc::Exit).click();
        else
            EXPECT_TRUE(w.close());
        EXPECT_EQ(ended.Count, 1);
        EXPECT_FALSE(w.isVisible());
        EXPECT_TRUE(fs::exists(f.dir / "kept.csv"));
        EXPECT_EQ(fs::exists(working), folder);
        EXPECT_TRUE(f.sink.Messages.empty());

        w.ExitProgram(); // a second request after the end does nothing more
        EXPECT_EQ(ended.Count, 1);
    }
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
