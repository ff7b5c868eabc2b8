#include "app/ProgramFiles.h"

#include "app/SharedState.h"

#include <sys/stat.h>
#include <unistd.h>

namespace veltrim {

void DeleteWorkingFile(const std::filesystem::path& workFolder) noexcept {
    // Only the file the program wrote goes: never a folder, a pipe or a link
    // that happens to carry its name.
    const std::filesystem::path file = workFolder / ResultsFileName;
    struct stat info {};
    if (::lstat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode))
        ::unlink(file.c_str());
}

QString FileNameDate(const QDate& date) {
    const QChar zero(u'0');
    return QStringLiteral("%1-%2-%3")
        .arg(date.month(), 2, 10, zero)
        .arg(date.day(), 2, 10, zero)
        .arg(date.year(), 4, 10, zero);
}

} // namespace veltrim
