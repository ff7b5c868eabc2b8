#include "app/StartWindow.h"

#include "app/EditionLayout.h"
#include "app/MainWindow.h"
#include "app/ProgramFiles.h"
#include "app/WindowBuilder.h"

#include <QPushButton>
#include <utility>

namespace veltrim {

StartWindow::StartWindow(MessageSink& messages, std::filesystem::path dataFolder,
                         std::filesystem::path workFolder, QWidget* parent)
    : QWidget(parent), messages_(messages), dataFolder_(std::move(dataFolder)),
      workFolder_(std::move(workFolder)) {
    BuildWindow(*this, StartWindowLayout());
    connect(&FindControl<QPushButton>(*this, startcontrols::English), &QPushButton::clicked, this,
            [this] { ChooseEdition(Language::English); });
    connect(&FindControl<QPushButton>(*this, startcontrols::Japanese), &QPushButton::clicked, this,
            [this] { ChooseEdition(Language::Japanese); });
    connect(&FindControl<QPushButton>(*this, startcontrols::Exit), &QPushButton::clicked, this,
            &StartWindow::ExitProgram);
}

StartWindow::~StartWindow() = default;

void StartWindow::ChooseEdition(Language edition) {
    if (!main_) {
        main_ = std::make_unique<MainWindow>(edition, messages_, dataFolder_, workFolder_);
        connect(main_.get(), &MainWindow::ProgramEnded, this, &StartWindow::ProgramEnded);
        CentreOnScreen(*main_);
    }
    main_->show();
    // The keys (F2-F4, Ctrl+S/O/P) act in the active window only; a window
    // manager would hand the new window the focus, but not every session
    // has one.
    main_->activateWindow();
    hide();
}

void StartWindow::ExitProgram() {
    hide();
    DeleteWorkingFile(workFolder_);
    emit ProgramEnded();
}

} // namespace veltrim
