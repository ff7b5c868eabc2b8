#pragma once

#include "app/ControlNames.h"
#include "app/EditionLayout.h"

#include <QFont>
#include <QPushButton>
#include <QRect>
#include <QWidget>
#include <stdexcept>
#include <string>

class QLabel;

namespace veltrim {

// The font a row of a layout table asks for, sized in pixels at 96 dots per
// inch so that it scales with the window's geometry on a high-density screen.
QFont DesignFont(const FontSpec& face);

// Narrows a control's font, if need be, until its caption fits the given
// width, down to MinimumCaptionStretch per cent.
inline constexpr int MinimumCaptionStretch = 80;
void FitCaption(QWidget& control, const QString& caption, int room);

// Gives a window its caption, fixed client size, default font and icon, and
// creates the controls of the table on it, back to front, each named as the
// table names it (find them with FindControl). Cursor lines go to the graph.
void BuildWindow(QWidget& window, const WindowLayout& layout);

// The control of that name anywhere in the window, of the class its table
// makes. Throws std::logic_error when there is none: the table and the code
// that uses it have drifted apart.
template <typename T> T& FindControl(const QWidget& window, ControlName name) {
    T* control = window.findChild<T*>(QString::fromLatin1(name.Design));
    if (control == nullptr)
        throw std::logic_error(std::string(window.metaObject()->className()) + " has no " +
                               T::staticMetaObject.className() + " named " + name.Design);
    return *control;
}

// The clicks of the window's button of that name call `slot` of the window.
template <typename Window>
void OnClick(Window& window, ControlName button, void (Window::*slot)()) {
    QObject::connect(&FindControl<QPushButton>(window, button), &QPushButton::clicked, &window,
                     slot);
}

// A window's message line, which its table does not make: wrapped text from
// the top left of `box`, named `name`. Show puts a text on it, red when it
// tells of a failure.
QLabel& AddMessageLine(QWidget& window, ControlName name, const QRect& box, const QFont& font);
void ShowOnMessageLine(QLabel& line, const std::string& text, bool failure);

// Puts a fixed-size window in the middle of the screen it is on.
void CentreOnScreen(QWidget& window);

} // namespace veltrim
