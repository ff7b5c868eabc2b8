// Veltrim: the program with windows.
#include "app/EditionLayout.h"
#include "app/MessageBoxSink.h"
#include "app/StartWindow.h"
#include "app/WindowBuilder.h"
#include "engine/DataLocation.h"

#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <string_view>

namespace {

// Without a platform chosen and without an X11 or Wayland display, Qt would
// abort with several lines about plugins; say it in one.
bool NoDisplay(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "-platform")
            return false;
    const auto isSet = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return !isSet("QT_QPA_PLATFORM") && !isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char** argv) {
    if (NoDisplay(argc, argv)) {
        std::cerr << "veltrim: no display to show the windows on (DISPLAY is not set); "
                     "without windows, use veltrim-calc (veltrim-calc --help)\n";
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veltrim"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    veltrim::InstallFontSubstitutes();

    // Data files come from the working folder when it holds them, else from
    // the installed or source-tree data; the working file stays here.
    const std::filesystem::path executable = QCoreApplication::applicationFilePath().toStdString();
    veltrim::MessageBoxSink messages;
    veltrim::StartWindow start(messages, veltrim::FindDataFolder(executable), ".");
    QApplication::setWindowIcon(start.windowIcon());
    QObject::connect(&start, &veltrim::StartWindow::ProgramEnded, &app, &QCoreApplication::quit);
    veltrim::CentreOnScreen(start);
    start.show();
    return QApplication::exec();
}
