#include "app/ProgramFiles.h"

#include "app/SharedState.h"

#include <system_error>

namespace veltrim {

void DeleteWorkingFile(const std::filesystem::path& workFolder) noexcept {
    std::error_code ignored;
    std::filesystem::remove(workFolder / ResultsFileName, ignored);
}

QString FileNameDate(const QDate& date) {
    const QChar zero(u'0');
    return QStringLiteral("%1-%2-%3")
        .arg(date.month(), 2, 10, zero)
        .arg(date.day(), 2, 10, zero)
        .arg(date.year(), 4, 10, zero);
}

} // namespace veltrim
