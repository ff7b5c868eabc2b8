#pragma once

#include "core/Grids.h"
#include "graph/Colours.h"

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

namespace veltrim {

// The picture of a photon spectrum: photon fraction per 0.5-keV bin against
// energy, 0 to 150 keV, each bin a bar, so that single lines such as
// tungsten's K lines stand out of the continuum.
inline constexpr int SpectrumImageWidth = 600;
inline constexpr int SpectrumImageHeight = 400;
// The bars in the windows' dark blue, the axes black on a light grey grid.
inline constexpr QRgb SpectrumBarColour = colours::DarkBlue;

// The axis captions and the face they and the tick numbers are printed in.
struct SpectrumAxes {
    QString Energy;
    QString Fraction;
    QFont Font;
};

// The plot area in pixels of the picture: 0 keV at its left edge, 150 keV
// at its right, a fraction of 0 on its bottom row.
QRect SpectrumPlotArea();
// The pixel column of an energy, and the top of the fraction axis for a
// spectrum: a round number at or above its largest bin.
int SpectrumColumn(double keV);
double SpectrumAxisTop(const EnergyTable& spectrum);

// The chart of `spectrum`, or the empty axes when it is null. Drawn without
// smoothing, so the picture holds only the chart's few colours; every call
// with the same inputs gives the same image.
QImage DrawSpectrumChart(const EnergyTable* spectrum, const SpectrumAxes& axes);

} // namespace veltrim
