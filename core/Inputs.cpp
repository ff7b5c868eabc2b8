#include "core/Inputs.h"

namespace veltrim {
namespace {

constexpr UserInput Rows[] = {
    inputs::TubeVoltage,    inputs::TargetAngle,  inputs::InherentFiltration,
    inputs::AlFilter,       inputs::CuFilter,     inputs::Fsd,
    inputs::FieldX,         inputs::FieldY,       inputs::Rectification,
    inputs::ScatterModel,   inputs::Medium,       inputs::Thickness,
    inputs::AirPath,        inputs::MeasuredHvl1, inputs::MatchFilter,
    inputs::AirKerma,       inputs::TubeOutput,   inputs::Mas,
    inputs::OutputDistance, inputs::Kap,          inputs::Esak,
};

} // namespace

std::span<const UserInput> UserInputs() {
    return Rows;
}

} // namespace veltrim
