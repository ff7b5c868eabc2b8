#pragma once

// The words and numbers of the absolute-dose window, and the bytes of the
// CSV it saves: one place for how a dose is written, so that the window and
// its file agree.

#include "engine/BeamPoints.h"
#include "engine/CalculateBeam.h"
#include "engine/CalculatedBeam.h"

#include <optional>
#include <string>

namespace veltrim {

// A dose or kerma in mGy, and a factor of about 1, as the window shows them.
std::string MgyText(double mgy);
std::string FactorText(double factor);

// The depth of a row of the dose table, cm: 0 for the surface (row 0), the
// layer's middle for row d, where the dose per unit Ka,i is taken to lie.
double RowDepthCm(int row);

// The phantom's medium (with a finite phantom's thickness) and the scatter
// model, as the window's lines read.
std::string MediumLine(Medium medium, std::optional<double> thicknessCm, Language language);
std::string ModelLine(ScatterModel model, Language language);
// A finite phantom's exit in mGy; `exit` must carry the dose per unit Ka,i.
std::string ExitLine(const ExitDose& exit, const AbsoluteDose& dose, Language language);

// The patient's thickness as typed: none for an empty text (the
// semi-infinite phantom), or why it cannot be calculated; a
// text that is not a number is named as typed, not as the 0 it reads.
struct TypedThickness {
    std::optional<double> Cm;
    std::optional<Message> Problem;
};
TypedThickness ReadThickness(const std::string& typed);

// The table in mGy, UTF-8: comment lines naming the beam, the exposure, Ka,i,
// B, the medium and the model (and a finite phantom's exit), then
// depth_cm,primary_mGy,scatter_mGy,total_mGy from the surface down. `dose`
// must carry an exposure.
std::string DoseCsvBytes(const CalculatedBeam& beam, const AbsoluteDose& dose, Language language,
                         const std::optional<ExitDose>& exit = std::nullopt);

// The dose map's points, UTF-8: comment lines naming the beam, the medium,
// the model and, with `dose`, the exposure, then the columns of veltrim-calc's
// --map (x_cm,y_cm,depth_cm,primary,scatter,total in per cent, and total_mGy
// with an exposure).
std::string MapCsvBytes(const CalculatedBeam& beam, const BeamResult& result, const DoseGrid& map,
                        const AbsoluteDose* dose, Language language);

} // namespace veltrim
