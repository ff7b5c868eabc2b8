// A whole session in each edition, driven as a user drives it: clicks,
// pointer moves over the graph, arrow keys and typing.
#include "app/StartWindow.h"
#include "dose/SyntheticData.h"
#include "gui/GuiFixture.h"

#include <gtest/gtest.h>

namespace {

using namespace veltrim;
using namespace veltrim::testing;
namespace fs = std::filesystem;
namespace mc = maincontrols;

void Click(const QWidget& window, ControlName button) {
    QTest::mouseClick(&FindControl<QPushButton>(window, button), Qt::LeftButton);
}

// Replaces a field's text the way a user does: click, select all, type.
void TypeInto(const QWidget& window, ControlName field, const QString& text) {
    QLineEdit& edit = FindControl<QLineEdit>(window, field);
    QTest::mouseClick(&edit, Qt::LeftButton);
    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(&edit, text);
}

// The pointer moved by the window system, in whole pixels, as a real one.
void MouseAt(MainWindow& w, QPointF graphPoint) {
    QTest::mouseMove(&w.Graph(), GraphPicture::GraphToWidget(graphPoint).toPoint());
}

class WholeSession : public ::testing::TestWithParam<Language> {};

TEST_P(WholeSession, CalculateReadSaveResetCalculateAgainAndExit) {
    const bool english = GetParam() == Language::English;
    TempFolder dir;
    WriteSyntheticData(dir.Path());
    RecordingSink sink;
    ModalWatch watch;
    StartWindow start(sink, dir.Path(), dir.Path());
    int ended = 0;
    QObject::connect(&start, &StartWindow::ProgramEnded, &start, [&] { ++ended; });
    start.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&start));

    Click(start, english ? startcontrols::English : startcontrols::Japanese);
    ASSERT_NE(start.Main(), nullptr);
    EXPECT_FALSE(start.isVisible());
    MainWindow& w = *start.Main();
    EXPECT_EQ(w.State().Edition, GetParam());
    ASSERT_TRUE(ShowActive(w));
    Click(w, mc::Ok);
    ASSERT_TRUE(FindControl<QPushButton>(w, mc::SaveNumbers).isEnabled());
    const fs::path working = dir / ResultsFileName;
    ASSERT_TRUE(fs::exists(working));

    // The pointer at the deep edge of the first slab, then just past it: the
    // window hands the cursor single precision, which keeps x = 15 on row 1.
    PointerAt(w, {15.0, 455.0});
    EXPECT_EQ(Readouts(w).mid(0, 3), (QStringList{"0.0", "0.5", "100.00 %"}));
    PointerAt(w, {15.01, 455.0});
    EXPECT_EQ(Readouts(w).mid(0, 2), (QStringList{"0.5", "1.0"}));

    // Moved by the window system, off the plot area and back.
    MouseAt(w, {-75.0, 455.0});
    EXPECT_EQ(Readouts(w), NoReadouts);
    EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);
    MouseAt(w, {895.0, 455.0});
    EXPECT_EQ(Readouts(w).mid(0, 2), (QStringList{"29.5", "30.0"}));
    // Right stops at the deep end, Left at the shallow one.
    PressKey(w, Qt::Key_Right);
    EXPECT_EQ(Readouts(w).mid(0, 2), (QStringList{"29.5", "30.0"}));
    MouseAt(w, {20.0, 455.0});
    PressKey(w, Qt::Key_Left);
    PressKey(w, Qt::Key_Left);
    EXPECT_EQ(Readouts(w).mid(0, 3), (QStringList{"0.0", "0.5", "100.00%"}));

    // Both files under typed names (what they hold is the save commands' test).
    TypeInto(w, mc::NumbersFileName, "session data");
    TypeInto(w, mc::PictureFileName, "session graph");
    Click(w, mc::SaveNumbers);
    Click(w, mc::SavePicture);
    EXPECT_EQ(sink.Messages, (std::vector<std::string>{
                                 english ? "  Saved  " : "PDDデータを保存しました",
                                 english ? "  Saved  " : "PDDグラフを bmp形式で保存しました"}));
    const fs::path csv = dir / "session data.csv";
    const fs::path bmp = dir / "session graph.bmp";
    const QImage expected = ChartWith({w.State().DepthDoseResult});

    Click(w, mc::Reset);
    EXPECT_FALSE(FindControl<QPushButton>(w, mc::SavePicture).isEnabled());
    EXPECT_EQ(w.Graph().Image(), EmptyChart());
    Click(w, mc::Ok);
    EXPECT_EQ(w.Graph().Image(), expected);

    Click(w, mc::Exit);
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(fs::exists(working));
    EXPECT_TRUE(fs::exists(csv));
    EXPECT_TRUE(fs::exists(bmp));
    EXPECT_EQ(sink.Messages.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(BothEditions, WholeSession, BothEditions, EditionName);

} // namespace
