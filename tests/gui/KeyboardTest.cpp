// The window driven from the keyboard as a user drives it, with key events
// delivered through the window system: reading the graph with the arrow keys
// never changes a condition, Return calculates, the focus stays where the
// user left it.
#include "gui/GuiFixture.h"

#include <QRadioButton>
#include <gtest/gtest.h>

namespace {

using namespace veltrim;
using namespace veltrim::testing;

using Keyboard = ActiveEditionWindow;

QRadioButton& Option(MainWindow& w, const char* name) {
    return *w.findChild<QRadioButton*>(QString::fromLatin1(name));
}

void Click(QWidget& control) {
    QTest::mouseClick(&control, Qt::LeftButton, Qt::NoModifier, control.rect().center());
}

TEST_P(Keyboard, ArrowKeysStepTheCursorAndNeverChangeTheRectification) {
    // A fresh window: Right, Right, OK computes constant potential.
    PressKey(w, Qt::Key_Right);
    PressKey(w, Qt::Key_Right);
    Click(f.Button("Command3"));
    EXPECT_EQ(w.State().Conditions.Rectification, RectificationMethod::ConstantPotential);
    EXPECT_TRUE(Option(w, "Option7").isChecked());

    // A click on "3-phase 12 peak", then the keys that read the graph.
    Click(Option(w, "Option8"));
    ASSERT_EQ(QApplication::focusWidget(), &Option(w, "Option8"));
    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Left, Qt::Key_Right})
        PressKey(w, key);
    EXPECT_EQ(QApplication::focusWidget(), &Option(w, "Option8")) << "the focus moved";
    EXPECT_TRUE(Option(w, "Option8").isChecked());
    Click(f.Button("Command3"));
    EXPECT_EQ(w.State().Conditions.Rectification, RectificationMethod::ThreePhase12Peak);

    // The keys still step the cursor wherever the focus is.
    PointerAt(w, {150.0, 455.0});
    const int row = w.State().CursorRow;
    Click(Option(w, "Option9"));
    PressKey(w, Qt::Key_Right);
    EXPECT_EQ(w.State().CursorRow, row + 1);
    EXPECT_TRUE(Option(w, "Option9").isChecked());
}

TEST_P(Keyboard, AfterOkTheFocusIsBackOnOkSoSpaceDoesNotResetTheCurves) {
    Click(f.Button("Command3"));
    ASSERT_EQ(w.State().ResultsReady, 1);
    EXPECT_EQ(QApplication::focusWidget(), &f.Button("Command3"));
    PressKey(w, Qt::Key_Space); // presses OK again: a second calculation, curves kept
    EXPECT_EQ(w.State().ResultsReady, 1);
    EXPECT_TRUE(f.Button("Command2").isEnabled());

    // Calculated from a field, the focus stays in the field.
    f.Field("Text9").setFocus();
    Click(f.Button("Command3")); // a click takes the focus to OK ...
    f.Field("Text9").setFocus();
    w.Calculate(); // ... Calculate itself gives back whatever had it
    EXPECT_EQ(QApplication::focusWidget(), &f.Field("Text9"));
}

TEST_P(Keyboard, ReturnInAnyConditionFieldCalculates) {
    EXPECT_EQ(QApplication::focusWidget(), &f.Field("Text1")) << "the window opens in the voltage";

    f.Field("Text1").selectAll();
    for (const Qt::Key digit : {Qt::Key_1, Qt::Key_0, Qt::Key_0})
        PressKey(w, digit);
    PressKey(w, Qt::Key_Return);
    EXPECT_EQ(w.State().Conditions.TubeVoltage, 100.0);
    EXPECT_EQ(w.State().ResultsReady, 1);

    for (const char* name : {"Text5", "Text8", "Text3", "Text4", "Text9", "Text10", "Text11"}) {
        SCOPED_TRACE(name);
        f.Button("Command6").click(); // Reset
        ASSERT_EQ(w.State().ResultsReady, 0);
        f.Field(name).setFocus();
        PressKey(w, Qt::Key_Enter);
        EXPECT_EQ(w.State().ResultsReady, 1);
        EXPECT_EQ(QApplication::focusWidget(), &f.Field(name));
    }
}

TEST_P(Keyboard, TabWalksTheConditionsTopToBottomThenOkAndPassesTheReadoutsBy) {
    std::vector<QString> walked;
    for (int i = 0; i < 16; ++i) {
        walked.push_back(QApplication::focusWidget()->objectName());
        PressKey(w, Qt::Key_Tab);
    }
    const std::vector<QString> start = {"Text1", "Text5",  "Text8",  "Text3",   "Text4",
                                        "Text9", "Text10", "Text11", "Command3"};
    EXPECT_EQ(std::vector<QString>(walked.begin(), walked.begin() + 9), start);
    for (const char* readout : {"Text12", "Text6", "Text7", "Text13", "Text14"}) {
        EXPECT_EQ(std::find(walked.begin(), walked.end(), readout), walked.end()) << readout;
        EXPECT_TRUE(f.Field(readout).isReadOnly()) << readout;
    }
    // Round the window and back into the rectification group, then the voltage.
    EXPECT_NE(std::find(walked.begin(), walked.end(), "Option7"), walked.end());
}

INSTANTIATE_TEST_SUITE_P(BothEditions, Keyboard, BothEditions, EditionName);

} // namespace
