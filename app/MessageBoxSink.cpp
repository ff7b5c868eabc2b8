#include "app/MessageBoxSink.h"

#include <QApplication>
#include <QMessageBox>

namespace veltrim {

void MessageBoxSink::Show(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(),
                    QString::fromStdString(text), QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

} // namespace veltrim
