// Telling a DICOM file from a study file by its content, without DCMTK: the
// front ends ask this of every --study file, and only a DICOM one loads the
// reader's module.
#include "dicom/DoseRecord.h"

#include <fstream>
#include <string_view>

namespace veltrim {

bool IsDicomFile(const std::filesystem::path& file) {
    // Never opened unless regular: opening a named pipe would wait for a writer.
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        return false;
    std::ifstream in(file, std::ios::binary);
    char magic[4] = {};
    return in.seekg(128) && in.read(magic, 4) && std::string_view(magic, 4) == "DICM";
}

} // namespace veltrim
