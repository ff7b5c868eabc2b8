#pragma once

// What the window tests share: a main window over made-up data files in a
// fresh folder, recording its messages, and a watch that fails a test at
// once (and closes the box) if anything opens a modal dialog instead of
// going through the message sink; and the depth cursor driven as a user
// drives it, by pointer moves over the graph and keys delivered the way the
// window system delivers them.

#include "app/MainWindow.h"
#include "app/WindowBuilder.h"
#include "common/GraphProbe.h"
#include "common/GuiHelpers.h"
#include "common/TempFolder.h"
#include "graph/GraphPicture.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string_view>

namespace veltrim::testing {

// Neither copied nor moved: its timer is not.
class ModalWatch {
  public:
    ModalWatch();

  private:
    QTimer timer_;
};

struct WindowFixture {
    TempFolder dir;
    RecordingSink sink;
    ModalWatch watch;
    std::unique_ptr<MainWindow> window;

    // withData: write the made-up data files before the window loads;
    // beforeLoad, if given, then changes what the folder holds.
    explicit WindowFixture(
        Language edition = Language::English, bool withData = true,
        const std::function<void(const std::filesystem::path&)>& beforeLoad = {});

    QLineEdit& Field(ControlName name) const { return FindControl<QLineEdit>(*window, name); }
    QPushButton& Button(ControlName name) const { return FindControl<QPushButton>(*window, name); }
    bool WorkingFileExists() const;
};

// Test names of the two editions, for tests run in both.
std::string EditionName(const ::testing::TestParamInfo<Language>& info);
inline const auto BothEditions = ::testing::Values(Language::English, Language::Japanese);

// Runs `during` from inside the calculation's first yield, then finishes the
// calculation; fails the test if no yield came.
void CalculateWithInterruption(MainWindow& window, const std::function<void()>& during);

inline QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The pointer over the graph at a point in graph units. The event carries the
// exact, fractional pixel position, so that x = 15 and x = 15.01 arrive as
// such; whole pixels would land two graph units apart.
inline void PointerAt(MainWindow& window, QPointF graphPoint) {
    GraphPicture& graph = window.Graph();
    const QPointF local = GraphPicture::GraphToWidget(graphPoint);
    QMouseEvent move(QEvent::MouseMove, local, graph.mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&graph, &move);
}

// A key pressed and released while the window is active: the window system
// hands it to the window, which gives it to the control with the focus.
inline void PressKey(MainWindow& window, Qt::Key key) {
    QTest::keyClick(window.windowHandle(), key);
}

// Shows the window and makes it the active one, as a user's click would.
inline bool ShowActive(MainWindow& window) {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// The depth cursor's readouts as they read.
inline QStringList Readouts(const MainWindow& window) {
    QStringList texts;
    for (const ControlName name : maincontrols::Readouts)
        texts << FindControl<QLineEdit>(window, name).text();
    return texts;
}

inline const QStringList NoReadouts{"", "", "", "", ""};

// A saved picture as the window's image format holds it.
inline QImage DecodedBmp(const std::filesystem::path& file) {
    return QImage(QString::fromStdString(file.string()), "BMP")
        .convertToFormat(QImage::Format_RGB32);
}

// A test on a main window shown and made active, as a user's is.
// `data`, if given, changes the folder's made-up data before the window loads.
template <typename Base> class ActiveWindowOf : public Base {
  protected:
    explicit ActiveWindowOf(Language edition, void (*data)(const std::filesystem::path&) = nullptr)
        : f(edition, true, data) {}
    void SetUp() override { ASSERT_TRUE(ShowActive(w)); }
    void Ok() { f.Button(maincontrols::Ok).click(); }

    WindowFixture f;
    MainWindow& w = *f.window;
};

// The English window; the window of each edition, for tests run in both.
class ActiveWindow : public ActiveWindowOf<::testing::Test> {
  protected:
    ActiveWindow() : ActiveWindowOf(Language::English) {}
};
class ActiveEditionWindow : public ActiveWindowOf<::testing::TestWithParam<Language>> {
  protected:
    ActiveEditionWindow() : ActiveWindowOf(GetParam()) {}
};

} // namespace veltrim::testing
