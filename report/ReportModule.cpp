// The entry points of libveltrim-report.so, the report as the programs
// without windows load it (ReportLoader.h). Plain C calls: nothing thrown
// crosses them.
#include "report/ReportLoader.h"
#include "report/ReportPdf.h"

#include <cstdio>
#include <exception>

extern "C" {

__attribute__((visibility("default"))) std::uint64_t VeltrimReportInterface() {
    return veltrim::ReportInterface;
}

__attribute__((visibility("default"))) int VeltrimReportPdf(const void* report,
                                                            veltrim::ReportSink sink, void* context,
                                                            char* problem,
                                                            std::size_t problemSize) {
    try {
        veltrim::StartReportFonts();
        const std::string bytes =
            veltrim::ReportPdfBytes(*static_cast<const veltrim::ReportContent*>(report));
        sink(context, bytes.data(), bytes.size());
        return 0;
    } catch (const std::exception& e) {
        std::snprintf(problem, problemSize, "%s", e.what());
    } catch (...) {
        std::snprintf(problem, problemSize, "the report could not be drawn");
    }
    return 1;
}

} // extern "C"
