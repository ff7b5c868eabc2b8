// veltrim.Conditions: the irradiation conditions in the window's units. The
// record holds thicknesses in cm; Python reads and writes them in mm, as the
// window's fields are typed, converted as the window's reading converts them,
// and gives back each number as it was given.
#include "core/FileReplacing.h"
#include "core/ModelConstants.h"
#include "core/NumberReading.h"
#include "python/Bindings.h"

#include <cerrno>
#include <string>

namespace veltrim::python {
namespace {

RectificationMethod Rectification(const py::object& value) {
    if (py::isinstance<py::str>(value)) {
        const std::string name = value.cast<std::string>();
        if (name == "constant-potential")
            return RectificationMethod::ConstantPotential;
        if (name == "three-phase-12-peak")
            return RectificationMethod::ThreePhase12Peak;
        if (name == "single-phase-full-wave")
            return RectificationMethod::SinglePhaseFullWave;
        throw py::value_error("rectification \"" + name +
                              "\" is none of constant-potential, three-phase-12-peak, "
                              "single-phase-full-wave");
    }
    // A bool is an int to Python, but True is no method.
    if (!py::isinstance<py::int_>(value) || py::isinstance<py::bool_>(value))
        throw py::type_error("rectification takes 1, 2 or 3 or a method's name, not " +
                             py::repr(value).cast<std::string>());
    const long long method = value.cast<long long>();
    if (method < 1 || method > 3)
        throw py::value_error("rectification " + std::to_string(method) + " is not 1, 2 or 3");
    return static_cast<RectificationMethod>(method);
}

// A number of the record as Python names it; a thickness is shown in mm. In
// the order of Conditions' arguments, which is the order of the repr.
struct WindowField {
    const char* Name;
    double IrradiationConditions::*Field;
    bool Thickness;
};

constexpr WindowField WindowFields[] = {
    {inputs::TubeVoltage.Keyword, &IrradiationConditions::TubeVoltage, false},
    {inputs::TargetAngle.Keyword, &IrradiationConditions::TargetAngle, false},
    {inputs::InherentFiltration.Keyword, &IrradiationConditions::InherentFiltration, true},
    {inputs::AlFilter.Keyword, &IrradiationConditions::AlFilter, true},
    {inputs::CuFilter.Keyword, &IrradiationConditions::CuFilter, true},
    {inputs::Fsd.Keyword, &IrradiationConditions::Fsd, false},
    {inputs::FieldX.Keyword, &IrradiationConditions::FieldX, false},
    {inputs::FieldY.Keyword, &IrradiationConditions::FieldY, false},
};

// A number given in the window's units: the record's value, and the text a
// saved beam keeps (Python's repr, which reads back to the same double).
void SetGiven(WindowConditions& c, std::size_t i, double value) {
    const WindowField& f = WindowFields[i];
    c.*f.Field = f.Thickness ? CmFromMm(value) : value;
    c.Given[i] = value;
    c.Typed.*ConditionTextFields[i].Text = py::repr(py::float_(value)).cast<std::string>();
}

WindowConditions MakeConditions(double kv, double angle, double inherent, double al, double cu,
                                double fsd, double fieldX, double fieldY,
                                const py::object& rectification) {
    WindowConditions c;
    const double given[] = {kv, angle, inherent, al, cu, fsd, fieldX, fieldY};
    for (std::size_t i = 0; i < std::size(WindowFields); ++i)
        SetGiven(c, i, given[i]);
    c.Rectification = Rectification(rectification);
    return c;
}

WindowConditions ReadTexts(const std::string& kv, const std::string& angle,
                           const std::string& inherent, const std::string& al,
                           const std::string& cu, const std::string& fsd, const std::string& fieldX,
                           const std::string& fieldY, const py::object& rectification,
                           bool strict) {
    const ConditionTexts texts{kv, angle, inherent, al, cu, fsd, fieldX, fieldY};
    // As the window tells them on its message line: a warning each, or
    // refused under strict.
    if (strict)
        for (const ConditionTextField& field : ConditionTextFields)
            if (!ReadWholeNumber(texts.*field.Text))
                throw py::value_error(std::string(field.Name) + " \"" + texts.*field.Text +
                                      "\" is not a number (strict)");
    for (const Message& misread : MisreadFields(texts))
        if (PyErr_WarnEx(PyExc_UserWarning, misread.In(Language::English).c_str(), 1) != 0)
            throw py::error_already_set();
    IrradiationConditions held;
    if (const auto clamped = ReadConditions(texts, held);
        clamped && ReadsWhole(texts.TubeVoltage)) {
        const std::string note = "kv \"" + kv + "\" was held to " + *clamped + " kV";
        if (strict)
            throw py::value_error(note + " (strict)");
        if (PyErr_WarnEx(PyExc_UserWarning, note.c_str(), 1) != 0)
            throw py::error_already_set();
    }
    return ConditionsOfTexts(texts, Rectification(rectification));
}

std::string Repr(const WindowConditions& c) {
    std::string text = "veltrim.Conditions(";
    for (std::size_t i = 0; i < std::size(WindowFields); ++i)
        text += std::string(WindowFields[i].Name) + "=" +
                py::repr(py::float_(c.Given[i])).cast<std::string>() + ", ";
    return text + "rectification=" + std::to_string(static_cast<int>(c.Rectification)) + ")";
}

} // namespace

std::string PathText(const py::object& path) {
    std::string text = py::module_::import("os").attr("fspath")(path).cast<std::string>();
    if (text.find('\0') != std::string::npos)
        throw py::value_error("path: embedded null byte");
    return text;
}

WindowConditions ConditionsOfTexts(const ConditionTexts& texts, RectificationMethod method) {
    WindowConditions c;
    ReadConditions(texts, c);
    c.Rectification = method;
    c.Typed = texts;
    // Each number as read, the tube voltage as held.
    for (std::size_t i = 0; i < std::size(WindowFields); ++i)
        c.Given[i] = i == 0 ? c.TubeVoltage : ReadNumber(texts.*ConditionTextFields[i].Text);
    return c;
}

WindowConditions WithTypedFilter(WindowConditions c, std::string ConditionTexts::*field,
                                 const std::string& mm) {
    c.Typed.*field = mm;
    const WindowConditions read = ConditionsOfTexts(c.Typed, c.Rectification);
    for (std::size_t i = 0; i < std::size(WindowFields); ++i)
        if (ConditionTextFields[i].Text == field) {
            c.*WindowFields[i].Field = read.*WindowFields[i].Field;
            c.Given[i] = read.Given[i];
        }
    return c;
}

void WriteUserFile(const std::string& file, std::string_view bytes) {
    const ReplaceOutcome outcome = ReplaceFileContents(file, bytes, Durability::Synced);
    if (outcome.Step == ReplaceStep::NotRegular)
        throw py::value_error(file + " is " + Message(outcome.Kind).In(Language::English) +
                              ", not a regular file");
    if (!outcome.Replaced()) {
        errno = outcome.Error;
        PyErr_SetFromErrnoWithFilename(PyExc_OSError, file.c_str());
        throw py::error_already_set();
    }
}

void BindConditions(py::module_& m) {
    // The defaults are the window's starting beam, in its units.
    const auto start = [](const UserInput& input) { return *DefaultNumber(input); };
    const ConditionTexts startTexts;
    const py::int_ startRectification(static_cast<int>(start(inputs::Rectification)));
    py::class_<WindowConditions> conditions(m, "Conditions",
                                            "The irradiation conditions, in the window's units.");
    conditions
        .def(py::init(&MakeConditions), py::arg("kv") = start(inputs::TubeVoltage),
             py::arg("angle") = start(inputs::TargetAngle),
             py::arg("inherent") = start(inputs::InherentFiltration),
             py::arg("al") = start(inputs::AlFilter), py::arg("cu") = start(inputs::CuFilter),
             py::arg("fsd") = start(inputs::Fsd), py::arg("field_x") = start(inputs::FieldX),
             py::arg("field_y") = start(inputs::FieldY),
             py::arg("rectification") = startRectification,
             "kv: tube voltage (kV); angle: target angle (degrees); inherent, al, cu: "
             "inherent filtration (mm Al) and added aluminium and copper (mm); fsd: focus to "
             "surface (cm); field_x, field_y: field at the FSD (cm), field_y 0 for a circle of "
             "diameter field_x; rectification: 1 constant-potential, 2 three-phase-12-peak, "
             "3 single-phase-full-wave (or those names).")
        .def_static(
            "from_texts", &ReadTexts, py::arg("kv") = startTexts.TubeVoltage,
            py::arg("angle") = startTexts.TargetAngle,
            py::arg("inherent") = startTexts.InherentFiltration,
            py::arg("al") = startTexts.AlFilter, py::arg("cu") = startTexts.CuFilter,
            py::arg("fsd") = startTexts.Fsd, py::arg("field_x") = startTexts.FieldX,
            py::arg("field_y") = startTexts.FieldY, py::arg("rectification") = startRectification,
            py::kw_only(), py::arg("strict") = false,
            "The conditions read from texts as the window reads its fields: the leading number "
            "of each text (\"80 kV\" is 80, no number is 0), the tube voltage held to 30-150 kV. "
            "A text not wholly a number gives a UserWarning naming the field and the number "
            "used, as the window's message line does, and a voltage held one naming the limit; "
            "strict=True raises ValueError instead.")
        .def_property(
            "rectification",
            [](const WindowConditions& c) { return static_cast<int>(c.Rectification); },
            [](WindowConditions& c, const py::object& v) { c.Rectification = Rectification(v); })
        .def("__repr__", &Repr);
    for (std::size_t i = 0; i < std::size(WindowFields); ++i)
        conditions.def_property(
            WindowFields[i].Name, [i](const WindowConditions& c) { return c.Given[i]; },
            [i](WindowConditions& c, double v) { SetGiven(c, i, v); });
    BindBeamFile(m, conditions);
}

} // namespace veltrim::python
