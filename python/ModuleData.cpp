#include "python/ModuleData.h"

#include "calculation/DataLocation.h"
#include "core/DataFile.h"

#include <cstdlib>
#include <dlfcn.h>
#include <map>

namespace veltrim::python {
namespace {

std::filesystem::path ModuleFile() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ModuleFile), &info) != 0 && info.dli_fname)
        return info.dli_fname;
    return {};
}

// VELTRIM_DATA, the data installed beside the module's prefix, then the
// folders veltrim-calc looks in; `data` given to a call wins over all.
std::filesystem::path DataFolder(const std::optional<std::string>& given) {
    if (given)
        return *given;
    if (const char* env = std::getenv("VELTRIM_DATA"); env && *env)
        return env;
#ifdef VELTRIM_INSTALLED_DATA_DIR
    if (std::filesystem::exists(std::filesystem::path(VELTRIM_INSTALLED_DATA_DIR) / TungstenFile))
        return VELTRIM_INSTALLED_DATA_DIR;
#endif
    return FindDataFolder(ModuleFile());
}

} // namespace

std::unique_ptr<KernelSource> Data::DivergentKernels(double fsd) {
    const std::lock_guard<std::mutex> guard(*focusLock_);
    if (!focus_)
        focus_ = std::make_unique<FocusKernelLibrary>(Folder);
    return focus_->SourceFor(fsd);
}

// Read once per folder and kept for the life of the interpreter; a folder
// that cannot be read is not kept, so that a mended one is read again.
Data& DataOf(const std::optional<std::string>& given) {
    static std::mutex lock;
    static std::map<std::filesystem::path, std::unique_ptr<Data>> cache;
    const std::filesystem::path folder = DataFolder(given);
    const std::lock_guard<std::mutex> guard(lock);
    auto& slot = cache[folder];
    if (!slot) {
        try {
            auto data = std::make_unique<Data>();
            data->Folder = folder;
            data->Attenuation = ReadAttenuationTables(folder);
            data->Dose = PreloadData(folder);
            try {
                data->Air = ReadAirTables(folder);
                data->AirRead = true;
            } catch (const DataFileError& e) {
                data->AirProblem = e.what();
            }
            slot = std::move(data);
        } catch (const DataFileError& e) {
            cache.erase(folder);
            throw Failure{e.what()};
        }
    }
    return *slot;
}

} // namespace veltrim::python
