#include "tools/xrl/XrayLib.h"

#include <cmath>
#include <cstdio>
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

std::string Describe(const char* function, int Z, double E) {
    char text[96];
    std::snprintf(text, sizeof text, "%s(Z=%d, %.6g)", function, Z, E);
    return text;
}

std::string Describe(const char* function, int Z, double E, double theta) {
    char text[112];
    std::snprintf(text, sizeof text, "%s(Z=%d, %.6g, %.6g)", function, Z, E, theta);
    return text;
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
    const std::string what = "AtomicWeight(Z=" + std::to_string(Z) + ")";
    return Checked(what.c_str(), [&](xrl_error** e) { return ::AtomicWeight(Z, e); });
}

double CS_Total(int Z, double E) {
    return Checked(Describe("CS_Total", Z, E).c_str(),
                   [&](xrl_error** e) { return ::CS_Total(Z, E, e); });
}

double CS_Rayl(int Z, double E) {
    return Checked(Describe("CS_Rayl", Z, E).c_str(),
                   [&](xrl_error** e) { return ::CS_Rayl(Z, E, e); });
}

double CS_Compt(int Z, double E) {
    return Checked(Describe("CS_Compt", Z, E).c_str(),
                   [&](xrl_error** e) { return ::CS_Compt(Z, E, e); });
}

double CS_Photo(int Z, double E) {
    return Checked(Describe("CS_Photo", Z, E).c_str(),
                   [&](xrl_error** e) { return ::CS_Photo(Z, E, e); });
}

double DCS_Rayl(int Z, double E, double theta) {
    return Checked(Describe("DCS_Rayl", Z, E, theta).c_str(),
                   [&](xrl_error** e) { return ::DCS_Rayl(Z, E, theta, e); });
}

double DCS_Compt(int Z, double E, double theta) {
    return Checked(Describe("DCS_Compt", Z, E, theta).c_str(),
                   [&](xrl_error** e) { return ::DCS_Compt(Z, E, theta, e); });
}

double DCS_KN(double E, double theta) {
    return Checked(Describe("DCS_KN", 0, E, theta).c_str(),
                   [&](xrl_error** e) { return ::DCS_KN(E, theta, e); });
}

double FF_Rayl(int Z, double q) {
    return Checked(Describe("FF_Rayl", Z, q).c_str(),
                   [&](xrl_error** e) { return ::FF_Rayl(Z, q, e); });
}

double SF_Compt(int Z, double q) {
    return Checked(Describe("SF_Compt", Z, q).c_str(),
                   [&](xrl_error** e) { return ::SF_Compt(Z, q, e); });
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
    return Checked(Describe("MomentTransf", 0, E, theta).c_str(),
                   [&](xrl_error** e) { return ::MomentTransf(E, theta, e); });
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

Material IcruSoftTissue() {
    const Material tissue{"ICRU four-component soft tissue",
                          {{1, 0.101172}, {6, 0.111000}, {7, 0.026000}, {8, 0.761828}},
                          1.00};
    static const bool checked = [&] {
        const Material nist = NistCompound("Tissue, Soft (ICRU four-component)");
        bool same = nist.Elements.size() == tissue.Elements.size();
        for (std::size_t k = 0; same && k < tissue.Elements.size(); ++k) {
            same =
                nist.Elements[k].Z == tissue.Elements[k].Z &&
                std::fabs(nist.Elements[k].MassFraction - tissue.Elements[k].MassFraction) <= 1e-4;
        }
        same = same && std::fabs(nist.Density - tissue.Density) <= 1e-6;
        if (!same) {
            throw XrayLibError("xraylib's \"Tissue, Soft (ICRU four-component)\" differs from the "
                               "composition H 10.1172, C 11.1, N 2.6, O 76.1828 %, 1.00 g/cm3");
        }
        return true;
    }();
    (void)checked;
    return tissue;
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

double CS_Total(const Material& material, double E) {
    return MassFractionSum(material, [&](int Z) { return CS_Total(Z, E); });
}

double CS_Rayl(const Material& material, double E) {
    return MassFractionSum(material, [&](int Z) { return CS_Rayl(Z, E); });
}

double CS_Compt(const Material& material, double E) {
    return MassFractionSum(material, [&](int Z) { return CS_Compt(Z, E); });
}

double CS_Photo(const Material& material, double E) {
    return MassFractionSum(material, [&](int Z) { return CS_Photo(Z, E); });
}

double DCS_Rayl(const Material& material, double E, double theta) {
    return MassFractionSum(material, [&](int Z) { return DCS_Rayl(Z, E, theta); });
}

double DCS_Compt(const Material& material, double E, double theta) {
    return MassFractionSum(material, [&](int Z) { return DCS_Compt(Z, E, theta); });
}

double LinearAttenuation(const Material& material, double E) {
    return CS_Total(material, E) * material.Density;
}

} // namespace veltrim::xrl
