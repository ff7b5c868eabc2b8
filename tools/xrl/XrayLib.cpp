#include "tools/xrl/XrayLib.h"

#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <xraylib.h>

namespace veltrim::xrl {
namespace {

// Calls an xraylib function with a fresh error slot and turns a reported
// error into XrayLibError; `what` names the call for the message.
template <typename Call> double Checked(const char* what, Call call) {
    xrl_error* error = nullptr;
    const double value = call(&error);
    if (error != nullptr) {
        std::string message = std::string("xraylib ") + what + ": " +
                              (error->message != nullptr ? error->message : "unknown error");
        xrl_error_free(error);
        throw XrayLibError(message);
    }
    if (!std::isfinite(value)) {
        throw XrayLibError(std::string("xraylib ") + what + ": result is not finite");
    }
    return value;
}

// "CS_Total(Z=8, 60)": the call as the messages name it; xraylib's
// functions of no element are named with Z=0.
template <typename... Values> std::string Describe(const char* function, int Z, Values... values) {
    char text[48];
    std::snprintf(text, sizeof text, "(Z=%d", Z);
    std::string description = std::string(function) + text;
    for (const double value : std::initializer_list<double>{static_cast<double>(values)...}) {
        std::snprintf(text, sizeof text, ", %.6g", value);
        description += text;
    }
    return description + ")";
}

// xraylib's function of element Z and the values, checked.
template <typename Function, typename... Values>
double OfElement(const char* name, Function function, int Z, Values... values) {
    return Checked(Describe(name, Z, values...).c_str(),
                   [&](xrl_error** e) { return function(Z, values..., e); });
}

// xraylib's function of the values alone, checked.
template <typename Function, typename... Values>
double OfValues(const char* name, Function function, Values... values) {
    return Checked(Describe(name, 0, values...).c_str(),
                   [&](xrl_error** e) { return function(values..., e); });
}

template <typename PerElement>
double MassFractionSum(const Material& material, PerElement perElement) {
    double sum = 0.0;
    for (const Constituent& c : material.Elements) {
        sum += c.MassFraction * perElement(c.Z);
    }
    return sum;
}

struct NistDeleter {
    void operator()(compoundDataNIST* data) const { FreeCompoundDataNIST(data); }
};

} // namespace

std::string Version() {
    return std::to_string(XRAYLIB_MAJOR) + "." + std::to_string(XRAYLIB_MINOR) + "." +
           std::to_string(XRAYLIB_MICRO);
}

double AtomicWeight(int Z) {
    return OfElement("AtomicWeight", ::AtomicWeight, Z);
}

// xraylib's cross sections of element Z at E keV, checked, and of a mixture:
// the sum over its elements by mass fraction.
#define VELTRIM_CROSS_SECTION(name)                                                                \
    double name(int Z, double E) {                                                                 \
        return OfElement(#name, ::name, Z, E);                                                     \
    }                                                                                              \
    double name(const Material& material, double E) {                                              \
        return MassFractionSum(material, [&](int Z) { return name(Z, E); });                       \
    }
// The same for the differential cross sections at polar angle theta.
#define VELTRIM_DIFFERENTIAL_CROSS_SECTION(name)                                                   \
    double name(int Z, double E, double theta) {                                                   \
        return OfElement(#name, ::name, Z, E, theta);                                              \
    }                                                                                              \
    double name(const Material& material, double E, double theta) {                                \
        return MassFractionSum(material, [&](int Z) { return name(Z, E, theta); });                \
    }

VELTRIM_CROSS_SECTION(CS_Total)
VELTRIM_CROSS_SECTION(CS_Rayl)
VELTRIM_CROSS_SECTION(CS_Compt)
VELTRIM_CROSS_SECTION(CS_Photo)
VELTRIM_DIFFERENTIAL_CROSS_SECTION(DCS_Rayl)
VELTRIM_DIFFERENTIAL_CROSS_SECTION(DCS_Compt)

#undef VELTRIM_CROSS_SECTION
#undef VELTRIM_DIFFERENTIAL_CROSS_SECTION

double DCS_KN(double E, double theta) {
    return OfValues("DCS_KN", ::DCS_KN, E, theta);
}

double FF_Rayl(int Z, double q) {
    return OfElement("FF_Rayl", ::FF_Rayl, Z, q);
}

double SF_Compt(int Z, double q) {
    return OfElement("SF_Compt", ::SF_Compt, Z, q);
}

namespace {
// First momentum transfer of xraylib's incoherent scattering function
// tables, 1/angstrom.
constexpr double FirstTabulatedQ = 0.001;
} // namespace

double SF_ComptAnyQ(int Z, double q) {
    if (q < 0.0 || !std::isfinite(q)) {
        throw XrayLibError("SF_ComptAnyQ: q must be finite and not negative");
    }
    if (q >= FirstTabulatedQ) {
        return SF_Compt(Z, q);
    }
    const double ratio = q / FirstTabulatedQ;
    return SF_Compt(Z, FirstTabulatedQ) * ratio * ratio;
}

double DCS_ComptAnyAngle(int Z, double E, double theta) {
    // AVOGNUM is in mol-1 barn-1 cm2, turning barn/atom into cm2/g.
    return DCS_KN(E, theta) * SF_ComptAnyQ(Z, MomentTransf(E, theta)) * AVOGNUM / AtomicWeight(Z);
}

double MomentTransf(double E, double theta) {
    return OfValues("MomentTransf", ::MomentTransf, E, theta);
}

Material Element(const std::string& name, int Z, double density) {
    return Material{name, {{Z, 1.0}}, density};
}

Material NistCompound(const std::string& name) {
    xrl_error* error = nullptr;
    std::unique_ptr<compoundDataNIST, NistDeleter> data(
        ::GetCompoundDataNISTByName(name.c_str(), &error));
    if (error != nullptr || data == nullptr) {
        std::string message =
            "xraylib GetCompoundDataNISTByName(\"" + name + "\"): " +
            (error != nullptr && error->message != nullptr ? error->message : "not found");
        if (error != nullptr) {
            xrl_error_free(error);
        }
        throw XrayLibError(message);
    }
    Material material{data->name, {}, data->density};
    for (int k = 0; k < data->nElements; ++k) {
        material.Elements.push_back({data->Elements[k], data->massFractions[k]});
    }
    return material;
}

namespace {
// The material as written out, after checking it against xraylib's NIST
// compound of that name (throws XrayLibError when they differ by more than
// 1e-4 in any mass fraction or 1e-6 g/cm3 in density).
Material CheckedAgainstNist(const Material& material, const std::string& nistName,
                            const char* composition) {
    const Material nist = NistCompound(nistName);
    bool same = nist.Elements.size() == material.Elements.size();
    for (std::size_t k = 0; same && k < material.Elements.size(); ++k) {
        same = nist.Elements[k].Z == material.Elements[k].Z &&
               std::fabs(nist.Elements[k].MassFraction - material.Elements[k].MassFraction) <= 1e-4;
    }
    same = same && std::fabs(nist.Density - material.Density) <= 1e-6;
    if (!same) {
        throw XrayLibError("xraylib's \"" + nistName + "\" differs from the composition " +
                           composition);
    }
    return material;
}
} // namespace

Material IcruSoftTissue() {
    const Material tissue{"ICRU four-component soft tissue",
                          {{1, 0.101172}, {6, 0.111000}, {7, 0.026000}, {8, 0.761828}},
                          1.00};
    static const bool checked = [&] {
        CheckedAgainstNist(tissue, "Tissue, Soft (ICRU four-component)",
                           "H 10.1172, C 11.1, N 2.6, O 76.1828 %, 1.00 g/cm3");
        return true;
    }();
    (void)checked;
    return tissue;
}

Material IcruSoftTissue44() {
    return Material{"ICRU-44 soft tissue",
                    {{1, 0.102},
                     {6, 0.143},
                     {7, 0.034},
                     {8, 0.708},
                     {11, 0.002},
                     {15, 0.003},
                     {16, 0.003},
                     {17, 0.002},
                     {19, 0.003}},
                    1.06};
}

Material Water() {
    static const Material water =
        CheckedAgainstNist(Material{"liquid water", {{1, 0.111894}, {8, 0.888106}}, 1.00},
                           "Water, Liquid", "H 11.1894, O 88.8106 %, 1.00 g/cm3");
    return water;
}

Material Pmma() {
    // xraylib spells the compound's name so.
    static const Material pmma =
        CheckedAgainstNist(Material{"PMMA", {{1, 0.080538}, {6, 0.599848}, {8, 0.319614}}, 1.19},
                           "Polymethyl Methacralate (Lucite, Perspex)",
                           "H 8.0538, C 59.9848, O 31.9614 %, 1.19 g/cm3");
    return pmma;
}

Material DryAir() {
    return NistCompound("Air, Dry (near sea level)");
}

Material Tungsten() {
    return Element("tungsten", 74, 19.3);
}

Material Aluminium() {
    return Element("aluminium", 13, 2.699);
}

Material Copper() {
    return Element("copper", 29, 8.96);
}

double LinearAttenuation(const Material& material, double E) {
    return CS_Total(material, E) * material.Density;
}

} // namespace veltrim::xrl
