#include "app/MessageBoxSink.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace veltrim {

void MessageBoxSink::Show(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(),
                    QString::fromStdString(text), QMessageBox::Ok, QApplication::activeWindow());
    box.button(QMessageBox::Ok)->setIcon(QIcon()); // some themes put one on the button
    box.exec();
}

bool MessageBoxSink::Ask(const std::string& question) {
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(),
                    QString::fromStdString(question), QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace veltrim
