#pragma once

// The PDF report for the programs without windows (veltrim-calc, the Python
// module). The report is drawn with Qt, and Qt costs a program that makes
// no report a good part of its start-up (dozens of libraries for the loader
// to map and resolve): it lives in a module of its own, libveltrim-report.so,
// which this Qt-free loader opens the first time a report is asked for.
// The module is looked for beside the program (or the Python module) that
// asks, in the build tree's report/ folder, then in the installed library
// folder (<prefix>/lib/veltrim).

#include "report/ReportContent.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace veltrim {

// The module could not be found, opened or used: the message says why.
class ReportUnavailable : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The PDF's bytes (ReportPdfBytes in the module, with the fonts of an
// offscreen application started there when the process has none). Throws
// ReportUnavailable.
std::string LoadedReportPdf(const ReportContent& report);

// Where the module is looked for, in order.
std::vector<std::string> ReportModuleCandidates();

// --- between the loader and the module ---

// The module's entry points, looked up by these names.
inline constexpr const char* ReportInterfaceSymbol = "VeltrimReportInterface";
inline constexpr const char* ReportPdfSymbol = "VeltrimReportPdf";
// What both sides must agree on: a module of another build, whose
// ReportContent differs, is refused rather than handed a record it would
// misread. Raised whenever the call below changes.
inline constexpr std::uint64_t ReportInterface = (1ull << 32) | sizeof(ReportContent);
// Hands the PDF's bytes to the caller.
using ReportSink = void (*)(void* context, const char* bytes, std::size_t size);
// The report is a const ReportContent*; 0 on success, else the message in
// `problem` (at most problemSize bytes with its terminating zero).
using ReportPdfCall = int (*)(const void* report, ReportSink sink, void* context, char* problem,
                              std::size_t problemSize);
using ReportInterfaceCall = std::uint64_t (*)();

} // namespace veltrim
