#pragma once

// Modules of the program opened on demand (the PDF report, the dose-record
// reader), each of which keeps a large library (Qt, DCMTK) out of the
// start-up of the programs that seldom need it. A module is looked for
// beside the program or shared object that asks, in its folder of the build
// tree, then in the installed library folder; one of another build, whose
// interface differs from the asker's, is passed over and never called.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace veltrim {

// Where the module `fileName` is looked for, in order: beside the file that
// holds this code (the program, or the Python module), in the build tree's
// `buildFolder` next to that file's folder, and at `installedRelative` from
// that folder (not looked for there when empty).
std::vector<std::string> ModuleCandidates(const std::string& fileName,
                                          const std::string& buildFolder,
                                          const std::string& installedRelative);

// The first candidate that opens, whose `interfaceSymbol` gives `interface`
// and that has every symbol of `required`; opened for the life of the
// process, since the libraries a module holds register handlers and
// threads for it. Null when none does, with the reasons in `tried` ("; "
// before each; empty when no candidate is there at all).
void* OpenModule(const std::vector<std::string>& candidates, const char* interfaceSymbol,
                 std::uint64_t interface, std::initializer_list<const char*> required,
                 std::string& tried);

} // namespace veltrim
