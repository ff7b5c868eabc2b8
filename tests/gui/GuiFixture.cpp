#include "gui/GuiFixture.h"

#include "app/EditionLayout.h"
#include "dose/SyntheticData.h"

#include <QApplication>
#include <QWidget>

namespace veltrim::testing {

namespace {

// Maps the design's faces to the installed ones once, as the program does.
class FontEnvironment : public ::testing::Environment {
  public:
    void SetUp() override { InstallFontSubstitutes(); }
};
[[maybe_unused]] const auto* const fonts = ::testing::AddGlobalTestEnvironment(new FontEnvironment);

} // namespace

ModalWatch::ModalWatch() {
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            ADD_FAILURE() << "a modal dialog opened: " << modal->metaObject()->className();
            modal->close();
        }
    });
    timer_.start();
}

WindowFixture::WindowFixture(Language edition, bool withData,
                             const std::function<void(const std::filesystem::path&)>& beforeLoad) {
    if (withData)
        WriteSyntheticData(dir.Path());
    if (beforeLoad)
        beforeLoad(dir.Path());
    window = std::make_unique<MainWindow>(edition, sink, dir.Path(), dir.Path());
}

bool WindowFixture::WorkingFileExists() const {
    return std::filesystem::exists(dir / ResultsFileName);
}

std::string EditionName(const ::testing::TestParamInfo<Language>& info) {
    return info.param == Language::English ? "English" : "Japanese";
}

void CalculateWithInterruption(MainWindow& window, const std::function<void()>& during) {
    bool ran = false;
    QTimer::singleShot(0, &window, [&] {
        if (!ran) {
            ran = true;
            during();
        }
    });
    window.Calculate();
    EXPECT_TRUE(ran) << "the calculation never yielded to the event loop";
}

} // namespace veltrim::testing
