#include "app/DoseLayout.h"
#include "app/DoseWindow.h"
#include "app/EditionLayout.h"
#include "app/MainWindow.h"
#include "app/QualityLayout.h"
#include "app/QualityWindow.h"
#include "app/StartWindow.h"
#include "app/WindowBuilder.h"
#include "gui/GuiFixture.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

using namespace veltrim;
using namespace veltrim::testing;

// The width a control's caption needs, as Qt's own size hints measure it.
int NeededWidth(const QWidget& control, const QString& caption) {
    if (const auto* button = qobject_cast<const QPushButton*>(&control))
        return QFontMetrics(button->font()).horizontalAdvance(caption) + 8;
    if (const auto* group = qobject_cast<const QGroupBox*>(&control))
        return QFontMetrics(group->font()).horizontalAdvance(caption) + 8;
    return control.sizeHint().width();
}

// The window's fixed size and title, and every caption fitting its control in
// the faces that stand in for the design's. (Where each control stands is the
// table's own numbers; the screenshots show the result.)
void ExpectCaptionsFit(const QWidget& window, const WindowLayout& layout) {
    EXPECT_EQ(window.size(),
              QSize(layout.ClientWidth / TwipsPerPixel, layout.ClientHeight / TwipsPerPixel));
    EXPECT_EQ(window.windowTitle(), Utf8(layout.Caption));
    for (const ControlLayout& c : layout.Controls) {
        if (c.Caption.empty() || c.Kind == ControlKind::TextField)
            continue;
        const auto* control = window.findChild<QWidget*>(Utf8(c.Name));
        ASSERT_NE(control, nullptr) << c.Name;
        EXPECT_LE(NeededWidth(*control, Utf8(c.Caption)), control->width())
            << c.Name << " \"" << c.Caption << "\"";
    }
}

TEST(WindowLayout, EveryWindowHasItsFixedSizeAndItsCaptionsFit) {
    RecordingSink sink;
    {
        SCOPED_TRACE("start window");
        StartWindow start(sink, ".", ".");
        ExpectCaptionsFit(start, StartWindowLayout());
        // The red title in front of its yellow shadow.
        const QObjectList& order = start.children();
        EXPECT_GT(order.indexOf(&FindControl<QLabel>(start, startcontrols::Title)),
                  order.indexOf(&FindControl<QLabel>(start, startcontrols::TitleShadow)));
    }
    for (const Language edition : {Language::English, Language::Japanese}) {
        SCOPED_TRACE(edition == Language::English ? "English" : "Japanese");
        MainWindow window(edition, sink, "no-such-folder", "no-such-folder");
        ExpectCaptionsFit(window, MainWindowLayout(edition));
        window.OpenQualityWindow();
        ExpectCaptionsFit(*window.Quality(), QualityWindowLayout(edition));
        window.OpenDoseWindow();
        ExpectCaptionsFit(*window.Dose(), DoseWindowLayout(edition));
    }
}

TEST(EditionLayout, DesignFacesMapToInstalledFacesOfTheSameMetrics) {
    const QStringList families = QFontDatabase::families();
    if (!families.contains("Liberation Serif") || !families.contains("IPAPGothic"))
        GTEST_SKIP() << "fonts-liberation or fonts-ipafont-gothic is not installed";
    EXPECT_EQ(QFontInfo(DesignFont({Face::TimesNewRoman, 14.25})).family(), "Liberation Serif");
    EXPECT_EQ(QFontInfo(DesignFont({Face::Meiryo, 14.25})).family(), "IPAPGothic");
    EXPECT_EQ(QFontInfo(DesignFont({Face::MsGothic, 9.75})).family(), "IPAGothic");
    // Sizes in pixels at 96 dots per inch, whatever the screen says.
    EXPECT_EQ(DesignFont({Face::TimesNewRoman, 15.75}).pixelSize(), 21);
    EXPECT_EQ(DesignFont({Face::Meiryo, 9.75}).pixelSize(), 13);
}

} // namespace
