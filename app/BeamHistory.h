#pragma once

#include "engine/CalculatedBeam.h"

#include <QObject>
#include <optional>
#include <vector>

namespace veltrim {

class SharedState;

// What the spectrum and dose windows know of the main window's calculations:
// the beams of the curves drawn since the last Reset, in drawing order, the
// beam of the last calculation, drawn or not, and the row under the depth
// cursor. The main window owns and updates it; the other windows read it and
// follow Changed and CursorMoved. The air tables that give the beams their
// quality are the run's model data's, since both the main and the spectrum
// window assess beams with them.
class BeamHistory : public QObject {
    Q_OBJECT
  public:
    explicit BeamHistory(const SharedState& run, QObject* parent = nullptr);

    const std::vector<CalculatedBeam>& Drawn() const { return drawn_; }
    // None before the first calculation and after Reset.
    const CalculatedBeam* Last() const { return last_ ? &*last_ : nullptr; }
    AirData Air() const;

    // The beam of a calculation becomes the last one, and joins the drawn
    // ones when its curve went onto the graph.
    void Add(const CalculatedBeam& beam, bool curveDrawn);
    // Reset: no curves and no last beam.
    void Clear();

    // The row under the main window's depth cursor (1..), 0 until the
    // cursor is placed on the last calculation's curves.
    int CursorRow() const { return cursorRow_; }
    void PlaceCursor(int row);

  signals:
    void Changed();
    void CursorMoved();

  private:
    const SharedState& run_;
    std::vector<CalculatedBeam> drawn_;
    std::optional<CalculatedBeam> last_;
    int cursorRow_ = 0;
};

} // namespace veltrim
