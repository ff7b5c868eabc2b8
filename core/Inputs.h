#pragma once

// Every input a user gives a beam calculation, declared once: its name in
// each front end, its unit, the text a front end starts from, the range it
// must lie in and the line --help says of it. veltrim-calc's options, the
// Python keywords, the window's start texts and every check of a value read
// these rows, so that a default or a limit cannot differ between them.

#include <limits>
#include <optional>
#include <span>

namespace veltrim {

struct UserInput {
    const char* Keyword; // the Python keyword: "field_x"
    const char* Option;  // veltrim-calc's option: "--field-x"
    const char* Unit;    // the unit a value is typed in ("" for a word or a count)
    // The text every front end starts from (and the number it reads as), or
    // none where leaving the input out means something of its own (no
    // measured HVL1, the semi-infinite phantom).
    const char* Default;
    // The values accepted, in Unit; an input that is read leniently has none.
    double Least = -std::numeric_limits<double>::infinity();
    double Most = std::numeric_limits<double>::infinity();
    bool LeastRefused = false; // a quantity that must be positive refuses Least itself
    const char* Help = "";     // --help's words, one line per '\n'

    constexpr bool Allows(double value) const {
        return (LeastRefused ? value > Least : value >= Least) && value <= Most;
    }
};

namespace inputs {

// The beam's conditions, as the window's fields hold them. The tube voltage
// is held to its range rather than refused (unless asked to be strict); the
// other conditions are read as typed.
//
// One input to a line; --help's words, where they take several lines, on the
// lines after, as --help prints them.
// clang-format off
inline constexpr UserInput TubeVoltage{.Keyword = "kv", .Option = "--kv", .Unit = "kV", .Default = "80", .Least = 30.0, .Most = 150.0, .Help = "tube voltage, kV"};
inline constexpr UserInput TargetAngle{.Keyword = "angle", .Option = "--angle", .Unit = "degrees", .Default = "12", .Help = "target angle, degrees"};
inline constexpr UserInput InherentFiltration{.Keyword = "inherent", .Option = "--inherent", .Unit = "mm Al", .Default = "2.5", .Help = "inherent filtration, mm Al"};
inline constexpr UserInput AlFilter{.Keyword = "al", .Option = "--al", .Unit = "mm", .Default = "0", .Help = "added aluminium filter, mm"};
inline constexpr UserInput CuFilter{.Keyword = "cu", .Option = "--cu", .Unit = "mm", .Default = "0", .Help = "added copper filter, mm"};
inline constexpr UserInput Fsd{.Keyword = "fsd", .Option = "--fsd", .Unit = "cm", .Default = "100", .Help = "focus-to-surface distance, cm"};
inline constexpr UserInput FieldX{.Keyword = "field_x", .Option = "--field-x", .Unit = "cm", .Default = "30", .Help = "field size X at the FSD, cm"};
inline constexpr UserInput FieldY{.Keyword = "field_y", .Option = "--field-y", .Unit = "cm", .Default = "30",
                                  .Help = R"(field size Y at the FSD, cm; 0 for a circle of
diameter X)"};
inline constexpr UserInput Rectification{.Keyword = "rectification", .Option = "--rectification", .Unit = "", .Default = "1", .Least = 1.0, .Most = 3.0,
                                         .Help = R"(1 constant potential, 2 three-phase 12-peak,
3 single-phase full-wave)"};

// How the dose is formed and in what.
inline constexpr UserInput ScatterModel{.Keyword = "scatter_model", .Option = "--scatter-model", .Unit = "", .Default = "classic",
                                        .Help = R"(how the scatter is formed (default
classic): divergent takes the scatter kernels of a
point focus at the FSD (FSD 50 cm and above), which
follow a divergent beam's deep dose more closely)"};
inline constexpr UserInput Medium{.Keyword = "medium", .Option = "--medium", .Unit = "", .Default = "icru-4",
                                  .Help = R"(the phantom's material (default icru-4, ICRU
four-component soft tissue): ICRU-44 soft tissue
(1.06 g/cm3), water or PMMA (1.19 g/cm3); depths
are in cm of it)"};
// A finite phantom is made of the 0.5-cm layers of the tables, no thinner
// than the thinnest exit-ratio set and no thicker than the tables reach.
inline constexpr UserInput Thickness{.Keyword = "thickness", .Option = "--thickness", .Unit = "cm", .Default = nullptr, .Least = 10.0, .Most = 60.0,
                                     .Help = R"(a phantom this thick, 10 to 60 cm in whole 0.5-cm
layers (default: 60 cm of tissue behind the surface):
the scatter misses the tissue behind the exit face;
the table ends there (at 30 cm at most) and the
results file names the thickness)"};

// The beam's quality and the filter a measured HVL1 finds. Beyond 10 m of
// air a typed path is taken for a mistake.
inline constexpr UserInput AirPath{.Keyword = "air_cm", .Option = "--air", .Unit = "cm", .Default = "0", .Least = 0.0, .Most = 1000.0,
                                   .Help = R"(dry air between the focus and the point where the
half-value layers are measured, cm (default 0); it
changes the beam-quality figures only, never the
depth dose)"};
inline constexpr UserInput MeasuredHvl1{.Keyword = "hvl1_mm_al", .Option = "--hvl1", .Unit = "mm Al", .Default = nullptr, .Least = 0.0, .LeastRefused = true,
                                        .Help = R"(the beam's measured first half-value layer, mm Al: the
added filter that gives it (with the other conditions
as given) is found, printed on standard error and used
in place of --al (or --cu))"};
inline constexpr UserInput MatchFilter{.Keyword = "filter", .Option = "--match-filter", .Unit = "", .Default = "al", .Help = "the filter --hvl1 finds (default al)"};

// The exposure's distance: the tube output is measured 1 m from the focus
// unless said otherwise; beyond 10 m a typed distance is taken for a mistake.
inline constexpr UserInput OutputDistance{.Keyword = "output_distance", .Option = "--output-distance", .Unit = "cm", .Default = "100", .Least = 0.0, .Most = 1000.0, .LeastRefused = true,
                                          .Help = R"(focus to where the tube output was measured, cm
(default 100))"};

// The exposure, one way of four; each quantity must be positive, and beyond
// its limit a typed value is taken for a mistake (an entrance surface kerma
// is held to the limit of the Ka,i it makes, which depends on the beam).
inline constexpr UserInput AirKerma{.Keyword = "air_kerma", .Option = "--air-kerma", .Unit = "mGy", .Default = nullptr, .Least = 0.0, .Most = 10000.0, .LeastRefused = true,
                                    .Help = R"(the exposure, one way of four: the incident air
kerma Ka,i, mGy (free in air at the skin plane))"};
inline constexpr UserInput TubeOutput{.Keyword = "tube_output", .Option = "--tube-output", .Unit = "uGy/mAs", .Default = nullptr, .Least = 0.0, .Most = 1000.0, .LeastRefused = true,
                                      .Help = R"(the tube output, uGy/mAs at --output-distance,
with --mas)"};
inline constexpr UserInput Mas{.Keyword = "mas", .Option = "--mas", .Unit = "mAs", .Default = nullptr, .Least = 0.0, .Most = 10000.0, .LeastRefused = true, .Help = "the tube current-time product, mAs"};
inline constexpr UserInput Kap{.Keyword = "kap", .Option = "--kap", .Unit = "Gy cm2", .Default = nullptr, .Least = 0.0, .Most = 1000.0, .LeastRefused = true,
                               .Help = R"(the kerma-area product, Gy cm2, over the field's
area at the skin)"};
inline constexpr UserInput Esak{.Keyword = "esak", .Option = "--esak", .Unit = "mGy", .Default = nullptr, .Least = 0.0, .LeastRefused = true,
                                .Help = R"(a measured entrance surface air kerma, mGy (with
backscatter))"};
// clang-format on

} // namespace inputs

// Every row above, conditions first in the window's order.
std::span<const UserInput> UserInputs();

// The number a default text reads as: 100.0 for "100"; none for an input
// without a default or whose default is a word. The digits and the power of
// ten are both exact, so their quotient is the double the number reader
// gives for the same text.
constexpr std::optional<double> DefaultNumber(const UserInput& input) {
    if (!input.Default || !*input.Default)
        return std::nullopt;
    double digits = 0.0, scale = 1.0;
    bool point = false;
    for (const char* ch = input.Default; *ch; ++ch) {
        if (*ch == '.' && !point) {
            point = true;
        } else if (*ch >= '0' && *ch <= '9') {
            digits = digits * 10 + (*ch - '0');
            if (point)
                scale *= 10;
        } else {
            return std::nullopt;
        }
    }
    return digits / scale;
}

} // namespace veltrim
