#pragma once

// What a report of one calculation says, in the edition's language, with the
// figures written as veltrim-calc prints them; the page layout is the
// report layer's. Nothing here draws.

#include "core/Conditions.h"
#include "core/Language.h"
#include "dose/PointDose.h"
#include "engine/CalculateBeam.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace veltrim {

struct ReportLine {
    std::string Label;
    std::string Value; // with its unit
};

struct ReportSection {
    std::string Title;
    std::vector<ReportLine> Lines;
};

// A chart's curves over one axis of abscissae, drawn as lines.
struct ReportChart {
    std::string Title, XAxis, YAxis;
    std::vector<double> X;
    std::vector<std::vector<double>> Curves;
    std::vector<std::string> CurveNames;
    // Decades of the ordinate from this least value up, as the window draws
    // the depth dose (0.1 to 100 %); none: a linear ordinate from 0.
    std::optional<double> LogFrom;
};

struct ReportContent {
    Language Edition = Language::English;
    std::string Title;
    std::string Program; // the version and the data set's identity
    std::vector<ReportSection> Sections;
    std::string TableTitle;
    std::vector<std::string> TableHeader;
    std::vector<std::vector<std::string>> TableRows;
    ReportChart DepthDose, Spectrum;
    std::string AccuracyTitle, Accuracy;
};

// Whom and what a report is for and what made it, printed at its head.
struct ReportHeader {
    // As typed; a blank one is left out of the report.
    std::string PatientId, Exam, ExamDate;
    std::string Physicist;    // as typed; blank: a line to sign on
    std::string ReportTime;   // ReportTimeNow()
    std::string DataIdentity; // DataIdentity(the data folder)
};

// The date and time now, as a report gives it ("2026-12-09 03:21 UTC").
std::string ReportTimeNow();

// The report's first section: the patient and examination, when and by
// whom the report was made.
ReportSection HeaderSection(const ReportHeader& header, Language language);
// "Veltrim <version>, data set <identity>".
std::string ProgramLine(const ReportHeader& header, Language language);

// What a front end knows beside the calculated beam.
struct ReportRequest {
    Language Edition = Language::English;
    ConditionTexts Typed;
    ReportHeader Header;
    double AirCm = 0.0; // where the quality was measured
    // A beam given by its measured HVL1 (mm Al) and the filter found for it
    // ("0.495", in the filter's own unit).
    std::optional<double> MeasuredHvl1;
    bool MatchedCopper = false;
    bool MatchedInherent = false; // the inherent filtration was the unknown
    std::string FoundFilter;
    // The dose at one depth, or least and most over a range (cm).
    std::optional<double> DoseFromCm, DoseToCm;
    // The points the user typed (cm), whose doses the beam was computed
    // with (CalculationOptions::Points), in the same order.
    std::vector<PhantomPoint> Points;
};

// The report of `beam` (computed with its depth dose; its quality and its
// absolute dose are reported when it holds them). Throws CalculationError
// for a dose depth out of range, std::invalid_argument when the beam does
// not hold the dose at each of the request's points.
ReportContent ReportOf(const BeamResult& beam, const ReportRequest& request);

} // namespace veltrim
