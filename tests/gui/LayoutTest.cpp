// Every window has its fixed size and title, and every caption fits its box:
// as wide as its text, and all its ink inside, with no descender of g, p or y
// cut off at the bottom and no accent at the top, at the window's scale and at
// twice it (a high-density screen). Where each control stands is the table's
// own numbers; the screenshots show the result.
#include "app/EditionLayout.h"
#include "app/SideLayouts.h"
#include "app/StartWindow.h"
#include "app/WindowBuilder.h"
#include "gui/GuiFixture.h"

#include <QAbstractButton>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <functional>
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

// The caption's ink rows, in pixels of the control: the control is drawn
// taller than its box, with and without its caption, and the rows where the
// two pictures differ are the caption's.
struct InkRows {
    int Top = 0, Bottom = -1;
};

void SetCaption(QWidget& control, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(&control))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(&control))
        button->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(&control))
        group->setTitle(text);
}

QImage Draw(QWidget& control, QSize size, qreal scale) {
    QImage picture((QSizeF(size) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(scale);
    picture.fill(Qt::transparent);
    control.render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
    return picture;
}

// Captions centred in their box (buttons) grow both ways; those at its top
// (labels, group titles) only downward, so the caption stays where it is.
InkRows CaptionInk(QWidget& control, const QString& caption, bool centred, qreal scale) {
    constexpr int pad = 24;
    const QRect box = control.geometry();
    const int above = centred ? pad : 0;
    control.setGeometry(box.adjusted(0, -above, 0, pad));
    const QImage with = Draw(control, control.size(), scale);
    SetCaption(control, QString());
    const QImage without = Draw(control, control.size(), scale);
    SetCaption(control, caption);
    control.setGeometry(box);

    InkRows rows{with.height(), -1};
    for (int y = 0; y < with.height(); ++y)
        for (int x = 0; x < with.width(); ++x)
            if (with.pixel(x, y) != without.pixel(x, y)) {
                rows.Top = std::min(rows.Top, y);
                rows.Bottom = std::max(rows.Bottom, y);
                break;
            }
    const int offset = static_cast<int>(above * scale);
    return {rows.Top - offset, rows.Bottom - offset};
}

// The controls of a layout of the kinds that `takes`, as the window builder makes them.
void ForEachControl(const WindowLayout& layout,
                    const std::function<bool(const ControlLayout&)>& takes,
                    const std::function<void(const ControlLayout&, QWidget&)>& check) {
    QWidget window;
    BuildWindow(window, layout);
    EXPECT_EQ(window.size(),
              QSize(layout.ClientWidth / TwipsPerPixel, layout.ClientHeight / TwipsPerPixel));
    EXPECT_EQ(window.windowTitle(), Utf8(layout.Caption));
    for (const ControlLayout& c : layout.Controls) {
        if (!takes(c))
            continue;
        QWidget* control = window.findChild<QWidget*>(Utf8(c.Name));
        ASSERT_NE(control, nullptr) << c.Name;
        check(c, *control);
    }
}

void ExpectCaptionsFit(const WindowLayout& layout) {
    const auto centred = [](const ControlLayout& c) {
        return c.Kind == ControlKind::Button || c.Kind == ControlKind::OptionButton;
    };
    const auto captioned = [](const ControlLayout& c) {
        return !c.Caption.empty() && c.Kind != ControlKind::TextField;
    };
    ForEachControl(layout, captioned, [&](const ControlLayout& c, QWidget& control) {
        const QString caption = Utf8(c.Caption);
        EXPECT_LE(NeededWidth(control, caption), control.width())
            << c.Name << " \"" << c.Caption << "\"";
        if (caption.contains(u'\n') ||
            !(centred(c) || c.Kind == ControlKind::Label || c.Kind == ControlKind::GroupBox))
            return;
        for (const qreal scale : {1.0, 2.0}) {
            const InkRows ink = CaptionInk(control, caption, centred(c), scale);
            const int height = static_cast<int>(control.height() * scale);
            EXPECT_LE(ink.Top, ink.Bottom) << c.Name << ": no caption drawn";
            EXPECT_GE(ink.Top, 0) << c.Name << " \"" << c.Caption << "\" at scale " << scale;
            EXPECT_LT(ink.Bottom, height) << c.Name << " \"" << c.Caption << "\" at scale " << scale
                                          << ": ink down to row " << ink.Bottom << " of " << height;
        }
    });
}

class CaptionsInk : public ::testing::TestWithParam<Language> {};

TEST_P(CaptionsInk, EveryCaptionOfTheMainSpectrumDoseAndExaminationWindowFitsItsBox) {
    ExpectCaptionsFit(MainWindowLayout(GetParam()));
    ExpectCaptionsFit(QualityWindowLayout(GetParam()));
    ExpectCaptionsFit(DoseWindowLayout(GetParam()));
    ExpectCaptionsFit(ExamWindowLayout(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(BothEditions, CaptionsInk, BothEditions, EditionName);

TEST(StartWindowCaptions, EveryCaptionFitsItsBoxAndTheTitleStandsBeforeItsShadow) {
    ExpectCaptionsFit(StartWindowLayout());
    RecordingSink sink;
    StartWindow start(sink, ".", ".");
    // The red title in front of its yellow shadow.
    const QObjectList& order = start.children();
    EXPECT_GT(order.indexOf(&FindControl<QLabel>(start, startcontrols::Title)),
              order.indexOf(&FindControl<QLabel>(start, startcontrols::TitleShadow)));
}

// Button faces are flat in the colour the table gives (the light yellow
// RGB(255, 255, 192)), not a gradient from near white: every pixel between
// the outline and the caption's rows has it.
void ExpectFlatButtonFaces(const WindowLayout& layout) {
    int buttons = 0;
    const auto coloured = [](const ControlLayout& c) {
        return c.Kind == ControlKind::Button && qAlpha(c.Back) != 0;
    };
    ForEachControl(layout, coloured, [&](const ControlLayout& c, QWidget& button) {
        ASSERT_NE(qobject_cast<QAbstractButton*>(&button), nullptr) << c.Name;
        const QImage face = button.grab().toImage();
        ++buttons;
        for (const int y : {3, face.height() - 4})
            for (int x = 3; x < face.width() - 3; ++x)
                ASSERT_EQ(face.pixel(x, y) & 0xFFFFFF, c.Back & 0xFFFFFF)
                    << c.Name << " at " << x << ", " << y;
    });
    EXPECT_GT(buttons, 0);
}

TEST(ButtonFaces, AreFlatLightYellowInBothWindows) {
    ExpectFlatButtonFaces(MainWindowLayout(Language::English));
    ExpectFlatButtonFaces(MainWindowLayout(Language::Japanese));
    ExpectFlatButtonFaces(StartWindowLayout());
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
