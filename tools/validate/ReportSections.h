#pragma once

// What the report's sections share: the table rows, the beam labels and the
// verdict word; and the sections filled outside ReportText.cpp.

#include "tools/validate/Report.h"
#include "tools/validate/Studies.h"
#include "tools/validate/Template.h"

#include <string>

namespace veltrim::validate {

inline std::string Label(const IrradiationConditions& b) {
    return Fixed(b.TubeVoltage, 0) + " kV, " + Fixed(b.FieldX, 0) + "x" + Fixed(b.FieldY, 0) +
           ", FSD " + Fixed(b.Fsd, 0);
}

inline std::string Rect(int r) {
    return r == 1 ? "CP" : r == 2 ? "3-phase" : "1-phase";
}

// Table rows: "| a | b | ... |", one a line, no newline after the last.
class Rows {
  public:
    Rows& Cell(const std::string& text) {
        row_ += text.empty() ? "| " : "| " + text + " ";
        return *this;
    }
    void End() {
        text_ += (text_.empty() ? "" : "\n") + row_ + "|";
        row_.clear();
    }
    const std::string& Text() const { return text_; }

  private:
    std::string row_, text_;
};

inline std::string Verdict(bool passed) {
    return passed ? "pass" : "FAIL";
}

// Section 4, the depth dose: its tables, the hardening study, the surface
// study and the divergent-beam study.
void FillDepthDose(const DepthDoseStudy& f, const HardeningStudy& h, const Report& report,
                   Placeholders& v);
void FillSurface(const SurfaceStudy& f, const Report& report, Placeholders& v);
void FillDivergent(const DivergentStudy& f, Placeholders& v);
// Sections 4.6-4.8, the dose in absolute terms.
void FillSurfaceDose(const SurfaceDoseStudy& f, Placeholders& v);
void FillMedium(const MediumStudy& f, Placeholders& v);
// The placeholders `key`_rows, `key`_body, ... of one medium's slabs.
void FillThickness(const ThicknessStudy& f, Placeholders& v, const std::string& key);
void FillOffAxis(const OffAxisStudy& f, Placeholders& v);
void FillCircles(const CircleStudy& f, Placeholders& v);

} // namespace veltrim::validate
