#pragma once

#include <filesystem>
#include <vector>

namespace veltrim {

// The folder whose data files the program reads. The working folder comes
// first, as it always has: a folder holding its own Tungsten.dat is used as
// it is. Otherwise VELTRIM_DATA when set, then the data installed beside the
// program (<prefix>/share/veltrim/data for <prefix>/bin/veltrim), then the
// data/ folder of the source tree for a program started from its build
// folder, and last the data/ folder of the source tree the program was built
// from. Gives the working folder when none of them holds the files, so the
// loader names the missing file there.
std::filesystem::path FindDataFolder(const std::filesystem::path& executable);

// The places FindDataFolder looks, in order (for messages and tests).
std::vector<std::filesystem::path> DataFolderCandidates(const std::filesystem::path& executable);

} // namespace veltrim
