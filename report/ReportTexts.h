#pragma once

// The fixed wordings of the report, in both languages (the window's own
// labels come from the message tables).

#include "core/Language.h"

#include <string>

namespace veltrim {

enum class ReportText {
    Title,
    Program, // {1} the version, {2} the data set's identity
    Conditions,
    TubeVoltage,
    TargetAngle,
    InherentFiltration,
    AlFilter,
    CuFilter,
    Fsd,
    FieldX,
    FieldY,
    Rectification,
    ConstantPotential,
    ThreePhase,
    SinglePhase,
    ScatterModel,
    Classic,
    Divergent,
    Medium,
    Quality,
    AirPath,
    MeasuredHvl1,
    FoundAluminium,
    FoundCopper,
    FoundInherent,
    Thickness,
    Doses,
    Exposure,
    NoExposure,
    PerKerma,  // the unit of a dose without an exposure
    DoseAt,    // {1} cm
    DoseLeast, // {1}, {2} cm
    DoseMost,  // {1}, {2} cm
    Table,
    Depth,     // a column or an axis, cm
    Percent,   // {1} the component
    Mgy,       // {1} the component
    DepthDose, // the chart's title
    PddAxis,
    Accuracy,
    AccuracyText,
    Identification, // the header's title
    PatientId,
    Examination,
    ExamDate,
    ReportMade,
    Physicist,
    Points,  // the title of the points' doses
    PointAt, // {1} "x, y, depth"
    Count
};

// The wording of `text` with {1}, {2} replaced by `first`, `second`.
std::string ReportWording(ReportText text, Language language, const std::string& first = {},
                          const std::string& second = {});

} // namespace veltrim
