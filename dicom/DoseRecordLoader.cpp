#include "dicom/DoseRecordLoader.h"

#include <dlfcn.h>
#include <link.h>
#include <mutex>

namespace veltrim {
namespace {

constexpr const char* ModuleName = "libveltrim-dicom.so";

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
    DoseRecordStudyCall Study = nullptr;
    std::string Problem;
};

Module Open(const std::vector<std::string>& candidates) {
    Module module;
    std::string tried;
    for (const std::string& candidate : candidates) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(candidate, ec))
            continue;
        // Never closed: DCMTK registers its dictionary and codecs for the
        // life of the process.
        void* handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            tried += std::string("; ") + dlerror();
            continue;
        }
        const auto version =
            reinterpret_cast<DoseRecordInterfaceCall>(dlsym(handle, DoseRecordInterfaceSymbol));
        const auto study =
            reinterpret_cast<DoseRecordStudyCall>(dlsym(handle, DoseRecordStudySymbol));
        if (version == nullptr || study == nullptr || version() != DoseRecordInterface) {
            tried += "; " + candidate + " belongs to another build";
            continue;
        }
        module.Study = study;
        return module;
    }
    module.Problem =
        std::string("Dose records cannot be read: the module ") + ModuleName + " was not found" +
        (tried.empty() ? std::string(" (the program was installed without it)") : tried) + ".";
    return module;
}

std::string Study(const Module& module, const std::filesystem::path& file,
                  const RecordPatient& patient, const std::vector<RecordPoint>& points) {
    if (module.Study == nullptr)
        throw DoseRecordUnavailable(module.Problem);
    std::string answer;
    const DoseRecordSink sink = [](void* context, const char* text, std::size_t size) {
        static_cast<std::string*>(context)->append(text, size);
    };
    if (module.Study(file.c_str(), &patient, &points, sink, &answer) != 0)
        throw DoseRecordError(answer);
    return answer;
}

} // namespace

std::vector<std::string> DoseRecordModuleCandidates() {
    const std::filesystem::path folder = HostFile().parent_path();
    std::vector<std::string> candidates;
    const auto add = [&](const std::filesystem::path& path) {
        candidates.push_back((path / ModuleName).lexically_normal().string());
    };
    add(folder);
    add(folder / ".." / "dicom");
#ifdef VELTRIM_DICOM_RELATIVE
    add(folder / VELTRIM_DICOM_RELATIVE);
#endif
    return candidates;
}

std::string LoadedRecordStudy(const std::filesystem::path& file, const RecordPatient& patient,
                              const std::vector<RecordPoint>& points) {
    static std::once_flag once;
    static Module module;
    std::call_once(once, [] { module = Open(DoseRecordModuleCandidates()); });
    return Study(module, file, patient, points);
}

std::string LoadedRecordStudy(const std::filesystem::path& file, const RecordPatient& patient,
                              const std::vector<RecordPoint>& points,
                              const std::vector<std::string>& candidates) {
    return Study(Open(candidates), file, patient, points);
}

} // namespace veltrim
