#include "engine/DataLocation.h"

#include "core/FileReading.h"
#include "core/Sha256.h"
#include "spectrum/AttenuationTables.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

namespace veltrim {

std::vector<std::filesystem::path> DataFolderCandidates(const std::filesystem::path& executable) {
    std::vector<std::filesystem::path> candidates{"."};
    if (const char* env = std::getenv("VELTRIM_DATA"); env && *env)
        candidates.emplace_back(env);
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::weakly_canonical(executable, ec);
    if (ec || exe.empty())
        exe = executable;
    const std::filesystem::path bin = exe.parent_path();
    if (!bin.empty()) {
        candidates.push_back(bin.parent_path() / "share" / "veltrim" / "data");
        // build/<folder>/program -> the source tree's data/ beside build/
        candidates.push_back(bin.parent_path().parent_path() / "data");
        candidates.push_back(bin.parent_path() / "data");
    }
#ifdef VELTRIM_SOURCE_DATA_DIR
    // A program run from a build folder outside its source tree.
    candidates.emplace_back(VELTRIM_SOURCE_DATA_DIR);
#endif
    return candidates;
}

std::filesystem::path FindDataFolder(const std::filesystem::path& executable) {
    for (const std::filesystem::path& folder : DataFolderCandidates(executable)) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(folder / TungstenFile, ec))
            return folder;
    }
    return ".";
}

std::string DataIdentity(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error))
        if (it->is_regular_file(error))
            names.push_back(it->path().lexically_relative(folder).generic_string());
    std::sort(names.begin(), names.end());
    std::string manifest;
    for (const std::string& name : names) {
        const ReadOutcome read = ReadRegularFile(folder / name);
        manifest +=
            (read.Step == ReadStep::Done ? Sha256Hex(read.Bytes) : std::string("unreadable")) +
            "  " + name + "\n";
    }
    return "sha256:" + Sha256Hex(manifest);
}

} // namespace veltrim
