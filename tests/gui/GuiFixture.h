#pragma once

// What the window tests share: a main window over made-up data files in a
// fresh folder, recording its messages, and a watch that fails a test at
// once (and closes the box) if anything opens a modal dialog instead of
// going through the message sink.

#include "app/MainWindow.h"
#include "common/TempFolder.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace veltrim::testing {

class ModalWatch {
  public:
    ModalWatch();
    ~ModalWatch();
    ModalWatch(const ModalWatch&) = delete;
    ModalWatch& operator=(const ModalWatch&) = delete;

  private:
    QTimer timer_;
};

struct WindowFixture {
    TempFolder dir;
    RecordingSink sink;
    ModalWatch watch;
    std::unique_ptr<MainWindow> window;

    // withData: write the made-up data files before the window loads.
    explicit WindowFixture(Language edition = Language::English, bool withData = true);

    QLineEdit& Field(const char* name) const;
    QPushButton& Button(const char* name) const;
    bool WorkingFileExists() const;
};

// Test names of the two editions, for tests run in both.
std::string EditionName(const ::testing::TestParamInfo<Language>& info);

// Runs `during` from inside the calculation's first yield, then finishes the
// calculation; fails the test if no yield came.
void CalculateWithInterruption(MainWindow& window, const std::function<void()>& during);

} // namespace veltrim::testing
