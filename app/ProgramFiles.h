#pragma once

#include <QDate>
#include <QString>
#include <filesystem>

namespace veltrim {

// Deletes the working results file (ResultsFileName) from a folder. A file
// that is missing, or that cannot be deleted, is not an error: the program
// ends all the same.
void DeleteWorkingFile(const std::filesystem::path& workFolder) noexcept;

// A date as the default name of saved files: mm-dd-yyyy, zero-padded, the
// same in every locale (12-05-2026 for 5 December 2026).
QString FileNameDate(const QDate& date);

} // namespace veltrim
