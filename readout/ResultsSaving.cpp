#include "readout/ResultsSaving.h"

#include "app/SharedState.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace veltrim {

namespace {

SaveOutcome Failure(SaveProblem problem, int error = 0) {
    SaveOutcome outcome;
    outcome.Problem = problem;
    if (error != 0)
        outcome.Detail = std::generic_category().message(error);
    return outcome;
}

// What a failed system call means for the user, by the step that failed.
enum class Step { CreateTemporary, Write, Rename };

SaveOutcome FailureOf(Step step, int error) {
    switch (error) {
    case ENOENT:
        return Failure(step == Step::Write ? SaveProblem::Other : SaveProblem::FolderMissing,
                       error);
    case ENOTDIR:
        return Failure(SaveProblem::NotAFolder, error);
    case EISDIR:
        return Failure(SaveProblem::IsAFolder, error);
    case EACCES:
    case EPERM:
    case EROFS:
        return Failure(SaveProblem::NotWritable, error);
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return Failure(SaveProblem::DiskFull, error);
    case ENAMETOOLONG:
        return Failure(SaveProblem::NameTooLong, error);
    default:
        return Failure(SaveProblem::Other, error);
    }
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Opens a new, empty file in the folder under a name of its own; -1 and errno
// when the folder does not take one.
int CreateTemporary(const std::filesystem::path& folder, std::filesystem::path& temporary) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = folder / (".veltrim-" + std::to_string(::getpid()) + "-" +
                              std::to_string(counter++) + ".tmp");
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

} // namespace

TypedFileName ResolveTypedName(const QString& typed, QStringView extension,
                               const std::filesystem::path& workFolder) {
    TypedFileName name;
    name.Shown = typed + extension.toString();
    const QByteArray encoded = QFile::encodeName(name.Shown);
    name.Valid = !encoded.contains('\0');
    name.Path =
        workFolder / std::string(encoded.constData(), static_cast<std::size_t>(encoded.size()));
    return name;
}

SaveOutcome WriteFileReplacing(const std::filesystem::path& target, std::string_view bytes) {
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    std::filesystem::path temporary;
    const int fd = CreateTemporary(folder, temporary);
    if (fd < 0)
        return FailureOf(Step::CreateTemporary, errno);

    // A full disk may only show when the data are flushed or the file closed.
    int error = 0;
    if (!WriteAll(fd, bytes) || ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) {
        const SaveOutcome outcome = FailureOf(Step::Rename, errno);
        ::unlink(temporary.c_str());
        return outcome;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        return FailureOf(Step::Write, error);
    }
    return {};
}

SaveOutcome CopyResultsFile(const std::filesystem::path& workingFile,
                            const std::filesystem::path& target) {
    const auto unreadable = [](int error) {
        SaveOutcome outcome = Failure(SaveProblem::Other, error);
        outcome.Detail = std::string("the working results file ") + ResultsFileName +
                         " could not be read (" + outcome.Detail + ")";
        return outcome;
    };
    const int fd = ::open(workingFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? Failure(SaveProblem::SourceMissing) : unreadable(errno);
    std::string bytes;
    struct stat info {};
    int error = ::fstat(fd, &info) != 0 ? errno : S_ISREG(info.st_mode) ? 0 : EISDIR;
    char chunk[1 << 16];
    while (error == 0) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got == 0)
            break;
        if (got < 0 && errno != EINTR)
            error = errno;
        else if (got > 0)
            bytes.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(fd);
    if (error == EISDIR)
        return Failure(SaveProblem::SourceMissing);
    if (error != 0)
        return unreadable(error);
    return WriteFileReplacing(target, bytes);
}

SaveOutcome SaveImageAsBmp(const QImage& image, const std::filesystem::path& target) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // 24 bits a pixel hold every colour of the graph exactly.
    if (!image.convertToFormat(QImage::Format_RGB32).save(&buffer, "BMP")) {
        SaveOutcome outcome = Failure(SaveProblem::Other);
        outcome.Detail = "the image could not be encoded as a bitmap";
        return outcome;
    }
    return WriteFileReplacing(
        target, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

std::string SaveFailureMessage(std::string_view what, const QString& shownName,
                               const SaveOutcome& outcome) {
    // The folder as the user typed it.
    const qsizetype slash = shownName.lastIndexOf(u'/');
    const std::string folder =
        slash < 0 ? std::string("the working folder")
                  : "the folder \"" + shownName.left(slash == 0 ? 1 : slash).toStdString() + "\"";
    std::string reason;
    switch (outcome.Problem) {
    case SaveProblem::None:
        return {};
    case SaveProblem::InvalidName:
        reason = "the name holds a character that no file name may hold";
        break;
    case SaveProblem::NameTooLong:
        reason = "the name is too long for a file name";
        break;
    case SaveProblem::FolderMissing:
        reason = folder + " does not exist";
        break;
    case SaveProblem::NotAFolder:
        reason = "a part of " + folder + " is a file, not a folder";
        break;
    case SaveProblem::IsAFolder:
        reason = "a folder of that name is in the way";
        break;
    case SaveProblem::NotWritable:
        reason = folder + " cannot be written to (" + outcome.Detail + ")";
        break;
    case SaveProblem::DiskFull:
        reason = "the disk is full (" + outcome.Detail + ")";
        break;
    case SaveProblem::SourceMissing:
        reason = std::string("the working results file ") + ResultsFileName +
                 " is missing; press OK to calculate again, then save";
        break;
    case SaveProblem::Other:
        reason = outcome.Detail;
        break;
    }
    return "The " + std::string(what) + " could not be saved as \"" + shownName.toStdString() +
           "\": " + reason + ". Nothing was written under that name.";
}

namespace {

// A save command: the typed name made a file name, the file written by
// `write`, and the words for the user.
template <typename Write>
SaveReport SaveAs(const QString& typedName, SavedFile file, const std::filesystem::path& workFolder,
                  Language edition, Write write) {
    const bool csv = file == SavedFile::Csv;
    const TypedFileName name = ResolveTypedName(typedName, csv ? u".csv" : u".bmp", workFolder);
    const SaveOutcome outcome = name.Valid ? write(name.Path) : Failure(SaveProblem::InvalidName);
    if (!outcome.Saved())
        return {false, SaveFailureMessage(csv ? "PDD data" : "PDD graph", name.Shown, outcome)};
    return {true, SavedMessage(edition, file)};
}

} // namespace

SaveReport SaveCsvAs(const std::filesystem::path& workingFile, const QString& typedName,
                     const std::filesystem::path& workFolder, Language edition) {
    return SaveAs(
        typedName, SavedFile::Csv, workFolder, edition,
        [&](const std::filesystem::path& target) { return CopyResultsFile(workingFile, target); });
}

SaveReport SaveBmpAs(const QImage& image, const QString& typedName,
                     const std::filesystem::path& workFolder, Language edition) {
    return SaveAs(
        typedName, SavedFile::Bmp, workFolder, edition,
        [&](const std::filesystem::path& target) { return SaveImageAsBmp(image, target); });
}

std::string SavedMessage(Language edition, SavedFile file) {
    if (edition == Language::English)
        return "  Saved  ";
    return file == SavedFile::Csv ? "PDDデータを保存しました" : "PDDグラフを bmp形式で保存しました";
}

} // namespace veltrim
