#pragma once

#include <filesystem>
#include <string>
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

// The data set's identity, without its place on the disk: "sha256:" and the
// SHA-256 of its manifest, a line "<SHA-256 of the file's bytes>  <name>"
// for every regular file under `folder`, named relative to it with '/', in
// byte order of the names (what `sha256sum` prints for the same files, so
// that a physicist can check a signed report's data set by hand). A file
// that cannot be read stands as "unreadable" in place of its checksum.
std::string DataIdentity(const std::filesystem::path& folder);

} // namespace veltrim
