#include "python/ModuleData.h"

#include "core/DataFile.h"
#include "engine/DataLocation.h"

#include <cstdlib>
#include <dlfcn.h>
#include <map>
#include <mutex>
#include <pthread.h>
#include <pybind11/pybind11.h>

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
    if (given && given->find('\0') != std::string::npos)
        throw pybind11::value_error("data: embedded null byte");
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

std::mutex& CacheLock() {
    static std::mutex lock;
    return lock;
}

pthread_rwlock_t& Gate() {
    static pthread_rwlock_t gate = PTHREAD_RWLOCK_INITIALIZER;
    return gate;
}

// Taken in this order by the forking thread, which holds the interpreter
// lock: no thread waits on the interpreter while it holds either.
void BeforeFork() {
    CacheLock().lock();
    pthread_rwlock_wrlock(&Gate());
}

void AfterForkInParent() {
    pthread_rwlock_unlock(&Gate());
    CacheLock().unlock();
}

// The gate also counts the parent's threads that waited for it, which the
// child does not have: it starts afresh.
void AfterForkInChild() {
    pthread_rwlock_init(&Gate(), nullptr);
    CacheLock().unlock();
}

} // namespace

CalculationRunning::CalculationRunning() {
    pthread_rwlock_rdlock(&Gate());
}

CalculationRunning::~CalculationRunning() {
    pthread_rwlock_unlock(&Gate());
}

void MakeForkSafe() {
    pthread_atfork(BeforeFork, AfterForkInParent, AfterForkInChild);
}

// Read once per folder and kept for the life of the interpreter; a folder
// that cannot be read is not kept, so that a mended one is read again.
const ModelData& DataOf(const std::optional<std::string>& given) {
    static std::map<std::filesystem::path, std::shared_ptr<const ModelData>> cache;
    // One folder however it is spelled, and a relative one where it is now:
    // the working directory may have changed since the last call.
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::absolute(DataFolder(given), ec);
    if (!ec)
        folder = std::filesystem::weakly_canonical(folder, ec);
    if (ec)
        folder = DataFolder(given);
    const std::lock_guard<std::mutex> guard(CacheLock());
    auto& slot = cache[folder];
    if (!slot) {
        try {
            std::shared_ptr<const ModelData> data = ModelData::Load(folder);
            data->Tissue();
            data->Kernels();
            slot = std::move(data);
        } catch (const DataFileError& e) {
            cache.erase(folder);
            throw Failure{e.what()};
        }
    }
    return *slot;
}

} // namespace veltrim::python
