#include "report/ReportLoader.h"

#include "core/ModuleLoading.h"

#include <dlfcn.h>
#include <mutex>

namespace veltrim {
namespace {

struct Module {
    ReportPdfCall Pdf = nullptr;
    std::string Problem;
};

Module Open() {
    Module module;
    std::string tried;
    if (void* handle = OpenModule(ReportModuleCandidates(), ReportInterfaceSymbol, ReportInterface,
                                  {ReportPdfSymbol}, tried)) {
        module.Pdf = reinterpret_cast<ReportPdfCall>(dlsym(handle, ReportPdfSymbol));
        return module;
    }
    module.Problem =
        "the report module libveltrim-report.so was not found" +
        (tried.empty() ? std::string(" (the program was installed without it)") : tried);
    return module;
}

} // namespace

std::vector<std::string> ReportModuleCandidates() {
#ifdef VELTRIM_REPORT_RELATIVE
    return ModuleCandidates("libveltrim-report.so", "report", VELTRIM_REPORT_RELATIVE);
#else
    return ModuleCandidates("libveltrim-report.so", "report", "");
#endif
}

std::string LoadedReportPdf(const ReportContent& report) {
    static std::once_flag once;
    static Module module;
    std::call_once(once, [] { module = Open(); });
    if (module.Pdf == nullptr)
        throw ReportUnavailable(module.Problem);
    std::string bytes;
    char problem[512] = "";
    const ReportSink sink = [](void* context, const char* data, std::size_t size) {
        static_cast<std::string*>(context)->append(data, size);
    };
    if (module.Pdf(&report, sink, &bytes, problem, sizeof problem) != 0)
        throw ReportUnavailable(problem);
    return bytes;
}

} // namespace veltrim
