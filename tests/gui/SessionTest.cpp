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

    // The pointer at the deep edge of the first slab, then just past it.
    PointerAt(w, {15.0, 455.0});
    EXPECT_EQ(Readouts(w).mid(0, 3), (QStringList{"0.0", "0.5", "100.00 %"}));
    EXPECT_EQ(w.Graph().Line(2).From.x(), 8.0);
    EXPECT_EQ(w.cursor().shape(), Qt::CrossCursor);
    PointerAt(w, {15.01, 455.0});
    EXPECT_EQ(Readouts(w).mid(0, 2), (QStringList{"0.5", "1.0"}));
    EXPECT_EQ(w.Graph().Line(2).From.x(), 23.0);

    // Off the plot area, over the graph's left margin.
    MouseAt(w, {-75.0, 455.0});
    EXPECT_EQ(Readouts(w), NoReadouts);
    EXPECT_FALSE(w.Graph().Line(2).Visible);
    EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);

    // The deep end, where Right stops, and one step back.
    MouseAt(w, {895.0, 455.0});
    EXPECT_EQ(Readouts(w).mid(0, 2), (QStringList{"29.5", "30.0"}));
    PressKey(w, Qt::Key_Right);
    EXPECT_EQ(Readouts(w).mid(0, 2), (QStringList{"29.5", "30.0"}));
    PressKey(w, Qt::Key_Left);
    EXPECT_EQ(Readouts(w).mid(0, 2), (QStringList{"29.0", "29.5"}));
    EXPECT_TRUE(Readouts(w)[2].endsWith("%") && !Readouts(w)[2].endsWith(" %"));

    // The shallow end, where Left stops.
    MouseAt(w, {20.0, 455.0});
    for (int press = 0; press < 2; ++press) {
        PressKey(w, Qt::Key_Left);
        EXPECT_EQ(Readouts(w).mid(0, 3), (QStringList{"0.0", "0.5", "100.00%"}));
    }
    ASSERT_TRUE(w.Graph().Line(2).Visible);

    // Both files under typed names, the cursor shown meanwhile.
    TypeInto(w, mc::NumbersFileName, "session data");
    TypeInto(w, mc::PictureFileName, "session graph");
    Click(w, mc::SaveNumbers);
    Click(w, mc::SavePicture);
    EXPECT_EQ(sink.Messages, (std::vector<std::string>{
                                 english ? "  Saved  " : "PDDデータを保存しました",
                                 english ? "  Saved  " : "PDDグラフを bmp形式で保存しました"}));
    const fs::path csv = dir / "session data.csv";
    const fs::path bmp = dir / "session graph.bmp";
    EXPECT_EQ(ReadBytes(csv), ReadBytes(working));
    const QImage saved = DecodedBmp(bmp);
    const QImage expected = ChartWith({w.State().DepthDoseResult});
    EXPECT_EQ(saved, expected);
    // Nothing red stands on the depth line's column above the curves.
    EXPECT_EQ(CountColour(saved, {7.0, 300.0}, {9.0, 790.0}, GraphRed), 0);

    Click(w, mc::Reset);
    EXPECT_EQ(Readouts(w), NoReadouts);
    EXPECT_FALSE(FindControl<QPushButton>(w, mc::SaveNumbers).isEnabled());
    EXPECT_FALSE(FindControl<QPushButton>(w, mc::SavePicture).isEnabled());
    EXPECT_EQ(w.Graph().Image(), EmptyChart());
    PointerAt(w, {300.0, 455.0});
    EXPECT_EQ(Readouts(w), NoReadouts);

    Click(w, mc::Ok);
    EXPECT_TRUE(FindControl<QPushButton>(w, mc::SavePicture).isEnabled());
    EXPECT_EQ(w.Graph().Image(), expected);
    PointerAt(w, {300.0, 455.0});
    EXPECT_EQ(Readouts(w).mid(0, 2), (QStringList{"9.5", "10.0"}));

    Click(w, mc::Exit);
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(fs::exists(working));
    EXPECT_TRUE(fs::exists(csv));
    EXPECT_TRUE(fs::exists(bmp));
    EXPECT_EQ(sink.Messages.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(BothEditions, WholeSession, BothEditions, EditionName);

} // namespace
