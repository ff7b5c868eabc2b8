#include "gui/GuiFixture.h"
#include "readout/DepthCursor.h"

#include <gtest/gtest.h>
#include <string_view>

namespace {

using namespace veltrim;
using namespace veltrim::testing;
namespace mc = maincontrols;

// The cursor stands on a row: the readouts and the four lines where the
// cursor's arithmetic (its own test) places them.
void ExpectOnRow(MainWindow& w, int row, std::string_view pattern) {
    const CursorPlacement at = PlaceCursorOnRow(w.State().DepthDoseResult, row, pattern);
    EXPECT_EQ(w.State().CursorRow, row);
    const QStringList shown{QString::fromStdString(at.ShallowDepth),
                            QString::fromStdString(at.DeepDepth), QString::fromStdString(at.Total),
                            QString::fromStdString(at.Primary), QString::fromStdString(at.Scatter)};
    EXPECT_EQ(Readouts(w), shown);
    EXPECT_EQ(w.Graph().Line(2).From.x(), at.DepthX);
    EXPECT_EQ(w.Graph().Line(2).To.x(), at.DepthX);
    for (const auto& [line, y] : {std::pair{1, at.TotalY}, {3, at.PrimaryY}, {4, at.ScatterY}}) {
        EXPECT_EQ(w.Graph().Line(line).From.y(), y) << line;
        EXPECT_EQ(w.Graph().Line(line).To.y(), y) << line;
    }
}

bool LinesShown(MainWindow& w, bool shown) {
    for (int n = 1; n <= 4; ++n)
        if (w.Graph().Line(n).Visible != shown)
            return false;
    return true;
}

using DepthCursor = ActiveWindow;

// The first and last rows, and the ends of the keys, are the whole session's.
TEST_F(DepthCursor, PointerInsideTheOpenPlotAreaPlacesTheCursorAndOutsideClearsIt) {
    w.Calculate();
    PressKey(w, Qt::Key_Right);
    EXPECT_EQ(Readouts(w), NoReadouts) << "a key before the pointer was over the graph";

    PointerAt(w, {899.9, 799.9});
    ExpectOnRow(w, 60, PointerPercentPattern);
    EXPECT_TRUE(LinesShown(w, true));
    EXPECT_EQ(w.cursor().shape(), Qt::CrossCursor);

    // The area is open: its edge is outside (every edge: InsidePlotArea's test).
    PointerAt(w, {450.0, 455.0});
    ASSERT_TRUE(LinesShown(w, true));
    PointerAt(w, {900.0, 455.0});
    EXPECT_EQ(Readouts(w), NoReadouts);
    EXPECT_TRUE(LinesShown(w, false));
    EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(w.State().CursorRow, 30) << "leaving keeps the row";

    // Off the plot area the keys fill the readouts for the next row while
    // the lines stay hidden; other keys do nothing.
    for (const Qt::Key other : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Space, Qt::Key_A})
        PressKey(w, other);
    PressKey(w, Qt::Key_Right);
    ExpectOnRow(w, 31, KeyPercentPattern);
    EXPECT_TRUE(LinesShown(w, false));
    EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(DepthCursor, ArrowKeysMoveTheCursorWhicheverControlHasTheFocusAndStillReachIt) {
    w.Calculate();
    PointerAt(w, {300.0, 455.0});
    ASSERT_EQ(w.State().CursorRow, 20);

    // A text field takes the key too: its caret moves.
    QLineEdit& name = f.Field(mc::NumbersFileName);
    name.setFocus();
    name.setCursorPosition(5);
    PressKey(w, Qt::Key_Left);
    EXPECT_EQ(w.State().CursorRow, 19);
    EXPECT_EQ(name.cursorPosition(), 4);
    QTest::keyClick(&name, Qt::Key_Right);
    EXPECT_EQ(w.State().CursorRow, 20);
    EXPECT_EQ(name.cursorPosition(), 5);

    // A button leaves the key to its window: it still counts once only.
    f.Button(mc::Ok).setFocus();
    PressKey(w, Qt::Key_Right);
    EXPECT_EQ(w.State().CursorRow, 21);
    f.Field(mc::TubeVoltage).setFocus();
    PressKey(w, Qt::Key_Right);
    EXPECT_EQ(w.State().CursorRow, 22);
    ExpectOnRow(w, 22, KeyPercentPattern);

    // Another window's keys are not this window's.
    WindowFixture other;
    other.window->Calculate();
    PointerAt(*other.window, {300.0, 455.0});
    QTest::keyClick(other.window.get(), Qt::Key_Right);
    EXPECT_EQ(w.State().CursorRow, 22);
}

TEST_F(DepthCursor, NothingReactsBeforeACalculationOrAfterReset) {
    PointerAt(w, {300.0, 455.0});
    PointerAt(w, {-60.0, 455.0});
    PressKey(w, Qt::Key_Right);
    EXPECT_EQ(Readouts(w), NoReadouts);
    EXPECT_TRUE(LinesShown(w, false));
    EXPECT_FALSE(w.testAttribute(Qt::WA_SetCursor)) << "the pointer changed its shape";
    EXPECT_EQ(w.State().CursorPlaced, 0);
    EXPECT_EQ(w.State().CursorRow, 0);

    f.Field(mc::TubeVoltage).setText("100");
    w.Calculate();
    PointerAt(w, {300.0, 455.0});
    const CursorLine depth = w.Graph().Line(2);
    // The cleared picture and the disarmed save buttons: the whole session.
    f.Button(mc::Reset).click();
    EXPECT_EQ(Readouts(w), NoReadouts);
    EXPECT_EQ(w.State().ResultsReady, 0);
    EXPECT_EQ(w.State().CursorPlaced, 0);
    EXPECT_EQ(f.Field(mc::TubeVoltage).text(), "100");
    EXPECT_TRUE(f.WorkingFileExists());

    PointerAt(w, {600.0, 455.0});
    PointerAt(w, {-60.0, 455.0});
    PressKey(w, Qt::Key_Left);
    EXPECT_EQ(Readouts(w), NoReadouts);
    EXPECT_EQ(w.State().CursorRow, 20);
    EXPECT_TRUE(LinesShown(w, true)) << "Reset leaves the lines where they were";
    EXPECT_EQ(w.Graph().Line(2).From, depth.From);
    EXPECT_EQ(w.cursor().shape(), Qt::CrossCursor);
    EXPECT_TRUE(f.sink.Messages.empty());
}

TEST_F(DepthCursor, ANewCalculationShowsTheOldPlacementUntilThePointerMoves) {
    w.Calculate();
    PointerAt(w, {150.0, 455.0});
    const QStringList before = Readouts(w);
    const CursorLine scatter = w.Graph().Line(4);

    f.Field(mc::FieldX).setText("5");
    f.Field(mc::FieldY).setText("5");
    w.Calculate();
    EXPECT_EQ(Readouts(w), before);
    EXPECT_EQ(w.Graph().Line(4).From, scatter.From);
    PressKey(w, Qt::Key_Right);
    EXPECT_EQ(w.State().CursorRow, 10) << "keys wait for the pointer after every calculation";

    PointerAt(w, {150.0, 455.0});
    ExpectOnRow(w, 10, PointerPercentPattern);
    EXPECT_NE(Readouts(w)[4], before[4]) << "the new results were not looked up";
}

} // namespace
