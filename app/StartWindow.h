#pragma once

#include "core/Conditions.h"

#include <QWidget>
#include <filesystem>
#include <memory>

namespace veltrim {

class MainWindow;
class MessageSink;

// The title screen: the user picks the edition of the main window, or exits.
class StartWindow : public QWidget {
    Q_OBJECT
  public:
    StartWindow(MessageSink& messages, std::filesystem::path dataFolder,
                std::filesystem::path workFolder, QWidget* parent = nullptr);
    ~StartWindow() override;

    // Creates and shows the main window of that edition, once, and hides this
    // window for the rest of the run.
    void ChooseEdition(Language edition);
    // Deletes the working file and ends the program.
    void ExitProgram();

    MainWindow* Main() const { return main_.get(); }

  signals:
    // Everything is done; the application may leave its event loop.
    void ProgramEnded();

  private:
    MessageSink& messages_;
    std::filesystem::path dataFolder_;
    std::filesystem::path workFolder_;
    std::unique_ptr<MainWindow> main_;
};

} // namespace veltrim
