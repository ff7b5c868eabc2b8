#include "app/BeamHistory.h"

#include <utility>

namespace veltrim {

BeamHistory::BeamHistory(std::filesystem::path dataFolder, QObject* parent)
    : QObject(parent), dataFolder_(std::move(dataFolder)) {}

const AirData& BeamHistory::Air() const {
    if (!air_)
        air_ = LoadAirData(dataFolder_);
    return *air_;
}

void BeamHistory::Add(const CalculatedBeam& beam, bool curveDrawn) {
    last_ = beam;
    cursorRow_ = 0;
    if (curveDrawn)
        drawn_.push_back(beam);
    emit Changed();
}

void BeamHistory::Clear() {
    drawn_.clear();
    last_.reset();
    cursorRow_ = 0;
    emit Changed();
}

void BeamHistory::PlaceCursor(int row) {
    cursorRow_ = row;
    emit CursorMoved();
}

} // namespace veltrim
