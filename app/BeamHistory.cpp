#include "app/BeamHistory.h"

#include "core/DataFile.h"
#include "window/SharedState.h"

namespace veltrim {

BeamHistory::BeamHistory(const SharedState& run, QObject* parent) : QObject(parent), run_(run) {}

AirData BeamHistory::Air() const {
    try {
        return AirDataOf(run_.SharedData());
    } catch (const DataFileError& e) {
        // No model data at all: the attenuation tables could not be read.
        AirData air;
        air.Problem = e.Problem();
        return air;
    }
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
