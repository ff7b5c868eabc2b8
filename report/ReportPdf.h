#pragma once

// A report of one calculation as a PDF: A4 pages with the conditions, the
// beam quality, the doses, the validated accuracy, the depth dose and the
// spectrum drawn as vector lines, and the depth-dose table. The fonts are
// embedded, a Japanese face for the Japanese edition.

#include "report/ReportContent.h"

#include <string>

namespace veltrim {

// The PDF's bytes. Needs a running QGuiApplication (the fonts come from it).
std::string ReportPdfBytes(const ReportContent& report);

// For a program without windows (veltrim-calc, the Python module, through
// the report module): starts a QGuiApplication on the offscreen platform
// unless one runs, so that a report needs no display. The environment is
// left alone.
void StartReportFonts();

} // namespace veltrim
