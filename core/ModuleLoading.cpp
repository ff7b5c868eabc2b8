#include "core/ModuleLoading.h"

#include <dlfcn.h>
#include <filesystem>
#include <link.h>

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

using InterfaceCall = std::uint64_t (*)();

} // namespace

std::vector<std::string> ModuleCandidates(const std::string& fileName,
                                          const std::string& buildFolder,
                                          const std::string& installedRelative) {
    const std::filesystem::path folder = HostFile().parent_path();
    std::vector<std::string> candidates;
    const auto add = [&](const std::filesystem::path& path) {
        candidates.push_back((path / fileName).lexically_normal().string());
    };
    add(folder);
    add(folder / ".." / buildFolder);
    if (!installedRelative.empty())
        add(folder / installedRelative);
    return candidates;
}

void* OpenModule(const std::vector<std::string>& candidates, const char* interfaceSymbol,
                 std::uint64_t interface, std::initializer_list<const char*> required,
                 std::string& tried) {
    for (const std::string& candidate : candidates) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(candidate, ec))
            continue;
        void* handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            tried += std::string("; ") + dlerror();
            continue;
        }
        const auto version = reinterpret_cast<InterfaceCall>(dlsym(handle, interfaceSymbol));
        bool whole = version != nullptr && version() == interface;
        for (const char* symbol : required)
            whole = whole && dlsym(handle, symbol) != nullptr;
        if (!whole) {
            tried += "; " + candidate + " belongs to another build";
            continue;
        }
        return handle;
    }
    return nullptr;
}

} // namespace veltrim
