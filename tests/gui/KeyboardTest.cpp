// The window driven from the keyboard as a user drives it, with key events
// delivered through the window system: reading the graph with the arrow keys
// never changes a condition, Return calculates, the focus stays where the
// user left it.
#include "gui/GuiFixture.h"

#include <QRadioButton>
#include <gtest/gtest.h>
#include <span>

namespace {

using namespace veltrim;
using namespace veltrim::testing;
namespace mc = maincontrols;

using Keyboard = ActiveEditionWindow;

QRadioButton& Option(MainWindow& w, ControlName name) {
    return FindControl<QRadioButton>(w, name);
}

void Click(QWidget& control) {
    QTest::mouseClick(&control, Qt::LeftButton, Qt::NoModifier, control.rect().center());
}

TEST_P(Keyboard, ArrowKeysStepTheCursorAndNeverChangeTheRectification) {
    // A fresh window: Right, Right, OK computes constant potential.
    PressKey(w, Qt::Key_Right);
    PressKey(w, Qt::Key_Right);
    Click(f.Button(mc::Ok));
    EXPECT_EQ(w.State().Conditions.Rectification, RectificationMethod::ConstantPotential);
    EXPECT_TRUE(Option(w, mc::ConstantPotential).isChecked());

    // A click on "3-phase 12 peak", then the keys that read the graph.
    Click(Option(w, mc::ThreePhase12Peak));
    ASSERT_EQ(QApplication::focusWidget(), &Option(w, mc::ThreePhase12Peak));
    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Left, Qt::Key_Right})
        PressKey(w, key);
    EXPECT_EQ(QApplication::focusWidget(), &Option(w, mc::ThreePhase12Peak)) << "the focus moved";
    EXPECT_TRUE(Option(w, mc::ThreePhase12Peak).isChecked());
    Click(f.Button(mc::Ok));
    EXPECT_EQ(w.State().Conditions.Rectification, RectificationMethod::ThreePhase12Peak);
}

TEST_P(Keyboard, AfterOkTheFocusIsBackOnOkSoSpaceDoesNotResetTheCurves) {
    Click(f.Button(mc::Ok));
    ASSERT_EQ(w.State().ResultsReady, 1);
    EXPECT_EQ(QApplication::focusWidget(), &f.Button(mc::Ok));
    PressKey(w, Qt::Key_Space); // presses OK again: a second calculation, curves kept
    EXPECT_EQ(w.State().ResultsReady, 1);
    EXPECT_TRUE(f.Button(mc::SaveNumbers).isEnabled());

    // Calculated from a field, the focus stays in the field.
    f.Field(mc::Fsd).setFocus();
    Click(f.Button(mc::Ok)); // a click takes the focus to OK ...
    f.Field(mc::Fsd).setFocus();
    w.Calculate(); // ... Calculate itself gives back whatever had it
    EXPECT_EQ(QApplication::focusWidget(), &f.Field(mc::Fsd));
}

TEST_P(Keyboard, ReturnInAnyConditionFieldCalculates) {
    EXPECT_EQ(QApplication::focusWidget(), &f.Field(mc::TubeVoltage))
        << "the window opens in the voltage";

    f.Field(mc::TubeVoltage).selectAll();
    for (const Qt::Key digit : {Qt::Key_1, Qt::Key_0, Qt::Key_0})
        PressKey(w, digit);
    PressKey(w, Qt::Key_Return);
    EXPECT_EQ(w.State().Conditions.TubeVoltage, 100.0);
    EXPECT_EQ(w.State().ResultsReady, 1);

    for (const ControlName name : std::span(mc::ConditionFields).subspan(1)) {
        SCOPED_TRACE(name.Design);
        f.Button(mc::Reset).click();
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
    std::vector<QString> start;
    for (const ControlName name : mc::ConditionFields)
        start.push_back(name.Design);
    start.push_back(mc::Ok.Design);
    EXPECT_EQ(std::vector<QString>(walked.begin(), walked.begin() + 9), start);
    for (const ControlName readout : mc::Readouts) {
        EXPECT_EQ(std::find(walked.begin(), walked.end(), readout.Design), walked.end())
            << readout.Design;
        EXPECT_TRUE(f.Field(readout).isReadOnly()) << readout.Design;
    }
    // Round the window and back into the rectification group, then the voltage.
    EXPECT_NE(std::find(walked.begin(), walked.end(), mc::ConstantPotential.Design), walked.end());
}

INSTANTIATE_TEST_SUITE_P(BothEditions, Keyboard, BothEditions, EditionName);

} // namespace
