#pragma once

// Published values the report compares with, transcribed from
// docs/references.md, which gives each source, its geometry and how far the
// transcription can be trusted (confidence marks A, B, C).

#include <array>
#include <cstddef>

namespace veltrim::validate::refs {

// PTB catalogue (Ankerhold, PTB-Dos-34, 2000), RQR qualities: W 20 degrees,
// 1 mm Be (7 mm at 150 kV), 2.5 mm Al, 950 mm air, constant potential;
// measured HVL1/HVL2 in mm Al. docs/references.md 1.2, confidence B.
struct PtbRqr {
    const char* Quality;
    double Kv, Hvl1, Hvl2;
};
inline constexpr std::array<PtbRqr, 9> Ptb{{{"RQR 2", 40, 1.36, 1.72},
                                            {"RQR 3", 50, 1.72, 2.30},
                                            {"RQR 4", 60, 2.02, 2.84},
                                            {"RQR 5", 70, 2.29, 3.37},
                                            {"RQR 6", 80, 2.59, 3.96},
                                            {"RQR 7", 90, 2.91, 4.57},
                                            {"RQR 8", 100, 3.23, 5.19},
                                            {"RQR 9", 120, 3.88, 6.37},
                                            {"RQR 10", 150, 5.01, 8.15}}};

// ENEA-INMRI RQR realisation (M. Pinto, massimopinto/xray-spectrometry) and
// SpekCalc for the same beams: W 30 degrees, total Al as given, 1000 mm air,
// no Be. Reference HVL1 (`HVL_Al_DB`), SpekCalc HVL1, HVL2 (mm Al) and
// fluence-mean energy (keV). docs/references.md 1.3, confidence B.
struct EneaRqr {
    const char* Quality;
    double Kv, TotalAlMm, ReferenceHvl1, SpekCalcHvl1, SpekCalcHvl2, SpekCalcMeanKeV;
};
inline constexpr std::array<EneaRqr, 9> Enea{{{"RQR 2", 40, 2.70, 1.42, 1.41, 1.75, 28.4},
                                              {"RQR 3", 50, 2.59, 1.76, 1.71, 2.28, 32.2},
                                              {"RQR 4", 60, 2.88, 2.18, 2.12, 2.93, 36.3},
                                              {"RQR 5", 70, 3.19, 2.60, 2.56, 3.61, 40.1},
                                              {"RQR 6", 80, 3.39, 3.03, 2.98, 4.33, 43.9},
                                              {"RQR 7", 90, 3.57, 3.47, 3.43, 5.08, 47.4},
                                              {"RQR 8", 100, 3.70, 3.95, 3.86, 5.80, 50.5},
                                              {"RQR 9", 120, 4.13, 4.99, 4.87, 7.26, 56.3},
                                              {"RQR 10", 150, 4.72, 6.55, 6.35, 9.12, 63.8}}};

// Hernandez and Fernandez, Med. Phys. 43 (2016) 4655, Table III: model HVL1
// (mm Al, air kerma) for W 12 degrees, 1.2 mm Al, 100 cm air.
// docs/references.md 1.4(b), confidence B (one decimal place).
struct ModelHvl {
    double Kv, Hvl1;
};
inline constexpr std::array<ModelHvl, 3> HernandezFernandez{{{50, 1.20}, {80, 1.85}, {100, 2.37}}};

// Benmakhlouf et al., Phys. Med. Biol. 56 (2011) 7179 / 58 (2013) 247: HVL1
// (mm Al) of their 2.5 mm Al model spectra and water-kerma backscatter
// factors of square fields 5, 10, 20, 25, 35 cm. docs/references.md 1.4(a)
// and 2.1, table 2.1a, confidence A for the values.
struct BackscatterRow {
    double Kv, Hvl1;
    std::array<double, 5> B; // fields 5, 10, 20, 25, 35 cm
};
inline constexpr std::array<double, 5> BackscatterFieldSides{5, 10, 20, 25, 35};
inline constexpr std::array<BackscatterRow, 11> Backscatter25Al{{
    {50, 1.78, {1.192, 1.239, 1.260, 1.263, 1.265}},
    {60, 2.11, {1.210, 1.270, 1.302, 1.307, 1.310}},
    {70, 2.43, {1.222, 1.293, 1.335, 1.343, 1.347}},
    {80, 2.77, {1.231, 1.312, 1.364, 1.374, 1.380}},
    {90, 3.14, {1.238, 1.327, 1.389, 1.400, 1.409}},
    {100, 3.52, {1.243, 1.339, 1.408, 1.422, 1.433}},
    {110, 3.91, {1.246, 1.348, 1.424, 1.439, 1.452}},
    {120, 4.31, {1.248, 1.354, 1.436, 1.453, 1.467}},
    {130, 4.71, {1.249, 1.359, 1.445, 1.464, 1.479}},
    {140, 5.11, {1.249, 1.362, 1.453, 1.472, 1.489}},
    {150, 5.52, {1.248, 1.363, 1.458, 1.478, 1.496}},
}};

// The 2013 fit of the same authors, B(kV, HVL1 mm Al) per field side:
// B = (c0 + c1 kV + c2 kV^2) + (c3 + c4 kV + c5 kV^2) HVL + (c6 + c7 kV + c8 kV^2) HVL^2.
// It reproduces table 2.1a within 0.4 % (docs/references.md 2.1).
inline constexpr std::array<std::array<double, 9>, 5> BackscatterFit{{
    {1.00870, 2.35816e-3, -9.48937e-6, 0.103143, -1.04881e-3, 3.59731e-6, -7.31303e-3, 7.93272e-5,
     -2.74296e-7},
    {0.929969, 4.08549e-3, -1.66271e-5, 0.153605, -1.45187e-3, 5.05312e-6, -9.32427e-3, 9.40568e-5,
     -3.28449e-7},
    {0.865442, 5.36739e-3, -2.21494e-5, 0.172418, -1.46088e-3, 5.17430e-6, -8.30138e-3, 7.13576e-5,
     -2.54885e-7},
    {0.858665, 5.51579e-3, -2.27532e-5, 0.170826, -1.38540e-3, 4.91192e-6, -7.64330e-3, 6.13126e-5,
     -2.21399e-7},
    {0.857065, 5.55933e-3, -2.28004e-5, 0.166418, -1.28180e-3, 4.53036e-6, -6.81574e-3, 4.94197e-5,
     -1.79074e-7},
}};

inline double BackscatterFromFit(int field, double kv, double hvl) {
    const auto& c = BackscatterFit[field];
    return (c[0] + c[1] * kv + c[2] * kv * kv) + (c[3] + c[4] * kv + c[5] * kv * kv) * hvl +
           (c[6] + c[7] * kv + c[8] * kv * kv) * hvl * hvl;
}

// AAPM TG-61 (C.-M. Ma et al., Med. Phys. 28 (2001) 868, Table IV): the
// ratio of mass energy-absorption coefficients water/air averaged over the
// primary spectrum free in air, by first HVL in mm Al; it also depends on the
// kV at a given HVL, by up to about 1 %.
struct HvlRatio {
    double Hvl1, Ratio;
};
inline constexpr std::array<HvlRatio, 23> Tg61WaterAir{{
    {0.03, 1.047}, {0.04, 1.047}, {0.05, 1.046}, {0.06, 1.046}, {0.08, 1.044}, {0.1, 1.044},
    {0.12, 1.043}, {0.15, 1.041}, {0.2, 1.039},  {0.3, 1.035},  {0.4, 1.031},  {0.5, 1.028},
    {0.6, 1.026},  {0.8, 1.022},  {1.0, 1.020},  {1.2, 1.018},  {1.5, 1.017},  {2, 1.018},
    {3, 1.021},    {4, 1.025},    {5, 1.029},    {6, 1.034},    {8, 1.045},
}};

// NIST Hubbell-Seltzer mu/rho (cm2/g) of the anode and filter metals at the
// table's energies on the 0.5-keV grid (NIST SRD 126, Table 3); the shipped
// tables' test holds the data files against them too.
struct NistMetalsRow {
    double EnergyKeV, Tungsten, Aluminium, Copper;
};
inline constexpr std::array<NistMetalsRow, 10> NistMetalsMu{{
    {10, 96.91, 26.23, 215.9},
    {15, 138.9, 7.955, 74.05},
    {20, 65.73, 3.441, 33.79},
    {30, 22.73, 1.128, 10.92},
    {40, 10.67, 0.5685, 4.862},
    {50, 5.949, 0.3681, 2.613},
    {60, 3.713, 0.2778, 1.593},
    {80, 7.810, 0.2018, 0.7630},
    {100, 4.438, 0.1704, 0.4584},
    {150, 1.581, 0.1378, 0.2217},
}};

// One metal's column as points of (energy, mu/rho).
struct NistPoint {
    double EnergyKeV, Value;
};
template <double NistMetalsRow::*Metal>
constexpr std::array<NistPoint, NistMetalsMu.size()> NistMetalColumn() {
    std::array<NistPoint, NistMetalsMu.size()> points{};
    for (std::size_t k = 0; k < points.size(); ++k)
        points[k] = {NistMetalsMu[k].EnergyKeV, NistMetalsMu[k].*Metal};
    return points;
}
inline constexpr auto TungstenMu = NistMetalColumn<&NistMetalsRow::Tungsten>();
inline constexpr auto AluminiumMu = NistMetalColumn<&NistMetalsRow::Aluminium>();
inline constexpr auto CopperMu = NistMetalColumn<&NistMetalsRow::Copper>();

} // namespace veltrim::validate::refs
