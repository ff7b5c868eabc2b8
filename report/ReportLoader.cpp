#include "report/ReportLoader.h"

#include <dlfcn.h>
#include <filesystem>
#include <link.h>
#include <mutex>

namespace veltrim {
namespace {

// The file holding this code: the program's own when linked into it (whose
// link map has no name), else the shared object's (the Python module).
std::filesystem::path HostFile() {
    Dl_info info{};
    link_map* map = nullptr;
    if (dladdr1(reinterpret_cast<void*>(&HostFile), &info, reinterpret_cast<void**>(&map),
                RTLD_DL_LINKMAP) != 0 &&
        map != nullptr && map->l_name != nullptr && map->l_name[0] != '\0')
        return map->l_name;
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec);
}

struct Module {
    ReportPdfCall Pdf = nullptr;
    std::string Problem;
};

Module Open() {
    Module module;
    std::string tried;
    for (const std::string& candidate : ReportModuleCandidates()) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(candidate, ec))
            continue;
        // Never closed: Qt keeps threads and handlers that must outlive it.
        void* handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            tried += std::string("; ") + dlerror();
            continue;
        }
        const auto version =
            reinterpret_cast<ReportInterfaceCall>(dlsym(handle, ReportInterfaceSymbol));
        const auto pdf = reinterpret_cast<ReportPdfCall>(dlsym(handle, ReportPdfSymbol));
        if (version == nullptr || pdf == nullptr || version() != ReportInterface) {
            tried += "; " + candidate + " belongs to another build";
            continue;
        }
        module.Pdf = pdf;
        return module;
    }
    module.Problem =
        "the report module libveltrim-report.so was not found" +
        (tried.empty() ? std::string(" (the program was installed without it)") : tried);
    return module;
}

} // namespace

std::vector<std::string> ReportModuleCandidates() {
    const std::filesystem::path folder = HostFile().parent_path();
    std::vector<std::string> candidates;
    const auto add = [&](const std::filesystem::path& path) {
        candidates.push_back((path / "libveltrim-report.so").lexically_normal().string());
    };
    add(folder);
    add(folder / ".." / "report");
#ifdef VELTRIM_REPORT_RELATIVE
    add(folder / VELTRIM_REPORT_RELATIVE);
#endif
    return candidates;
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
