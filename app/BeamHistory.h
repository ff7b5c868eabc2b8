#pragma once

#include "calculation/CalculatedBeam.h"

#include <QObject>
#include <filesystem>
#include <optional>
#include <vector>

namespace veltrim {

// What the spectrum window knows of the main window's calculations: the
// beams of the curves drawn since the last Reset, in drawing order, and the
// beam of the last calculation, drawn or not. The main window owns and
// updates it; the spectrum window reads it and follows Changed. The air
// tables that give the beams their quality are read here, once, at their
// first need, since both windows assess beams with them.
class BeamHistory : public QObject {
    Q_OBJECT
  public:
    explicit BeamHistory(std::filesystem::path dataFolder, QObject* parent = nullptr);

    const std::vector<CalculatedBeam>& Drawn() const { return drawn_; }
    // None before the first calculation and after Reset.
    const CalculatedBeam* Last() const { return last_ ? &*last_ : nullptr; }
    const AirData& Air() const;

    // The beam of a calculation becomes the last one, and joins the drawn
    // ones when its curve went onto the graph.
    void Add(const CalculatedBeam& beam, bool curveDrawn);
    // Reset: no curves and no last beam.
    void Clear();

  signals:
    void Changed();

  private:
    std::filesystem::path dataFolder_;
    std::vector<CalculatedBeam> drawn_;
    std::optional<CalculatedBeam> last_;
    mutable std::optional<AirData> air_;
};

} // namespace veltrim
