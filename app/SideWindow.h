#pragma once

#include "app/WindowBuilder.h"
#include "core/Language.h"
#include "engine/CalculatedBeam.h"

#include <QLineEdit>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <utility>

class QLabel;

namespace veltrim {

class BeamHistory;
class ModelData;
class SharedState;

// What the spectrum, dose and map windows share: a window of its own beside
// the main window, laid out from its table, that follows the beam history it
// is handed, reads the run's state and never writes it, names the beam it
// shows on one line and tells what went wrong on another. Controls are found
// by their names in the table, each time: the table is the one list of them.
class SideWindow : public QWidget {
  protected:
    SideWindow(const SharedState& run, const BeamHistory& beams, const WindowLayout& layout,
               QWidget* parent);

    template <typename T> T& Control(ControlName name) const { return FindControl<T>(*this, name); }
    QLineEdit& Field(ControlName name) const { return Control<QLineEdit>(name); }
    // A control the table does not make, named as the table names its own.
    template <typename T, typename... Arguments>
    T* AddControl(ControlName name, Arguments&&... arguments) {
        auto* control = new T(std::forward<Arguments>(arguments)...);
        control->setObjectName(QString::fromLatin1(name.Design));
        return control;
    }
    // The face of the message lines, lists and tables.
    QFont TextFont() const;
    // The message line, from `top` (pixels) down, the window's width inside
    // its margins and two lines of text high. Show puts a text on it, red
    // when it tells of a failure.
    void AddMessageLine(int top);
    void ShowMessage(const std::string& text, bool failure);
    // The number typed in `field`, which must be one as a whole; otherwise
    // none, with the refusal naming `caption` and the text on the message line.
    std::optional<double> TypedNumber(ControlName field, const std::string& caption);
    // The line that names the beam shown.
    void ShowHeading(const std::string& heading);
    // The history's last drawn beam, named on that line; null, with "no
    // calculation yet" there, when there is none.
    const CalculatedBeam* ShowLastDrawnBeam();
    // The run's model data, one for the whole process.
    const ModelData& Data();

    static QString Utf8(const std::string& text) { return QString::fromStdString(text); }

    const SharedState& run_;
    const BeamHistory& beams_;
    const Language edition_;

  private:
    std::shared_ptr<const ModelData> data_;
    QLabel* message_ = nullptr;
};

} // namespace veltrim
