#include "app/ProgramFiles.h"

#include "core/FileReplacing.h"
#include "window/SharedState.h"

namespace veltrim {

void DeleteWorkingFile(const std::filesystem::path& workFolder) noexcept {
    RemoveRegularFile(workFolder / ResultsFileName);
}

QString FileNameDate(const QDate& date) {
    const QChar zero(u'0');
    return QStringLiteral("%1-%2-%3")
        .arg(date.month(), 2, 10, zero)
        .arg(date.day(), 2, 10, zero)
        .arg(date.year(), 4, 10, zero);
}

} // namespace veltrim
