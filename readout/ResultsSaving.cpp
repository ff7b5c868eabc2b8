#include "readout/ResultsSaving.h"

#include "core/DataFile.h"
#include "core/FileReading.h"
#include "core/FileReplacing.h"
#include "files/ResultsFile.h"
#include "spectrum/SpectrumCsv.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <array>
#include <cerrno>
#include <sys/stat.h>
#include <system_error>

namespace veltrim {

namespace {

// What a saved file holds (for the failure message), its confirmation and
// the extension added to the typed name; an export's chosen name gets its
// extension only when it does not already end in it.
struct SavedFileKind {
    MessageId Contents;
    MessageId Confirmation;
    const char16_t* Extension;
    const char16_t* ChosenExtension = u"";
};

// Each saved file's words and extensions, in the order of SavedFile.
constexpr SavedFileKind SavedFileKinds[] = {
    {MessageId::SavePddData, MessageId::SavedCsv, u".csv"},
    {MessageId::SavePddGraph, MessageId::SavedBmp, u".bmp"},
    {MessageId::SaveSpectrumData, MessageId::SavedSpectrumCsv, u".csv"},
    {MessageId::SaveSpectrumPicture, MessageId::SavedSpectrumPng, u".png"},
    {MessageId::SaveDoseData, MessageId::SavedDoseCsv, u".csv"},
    {MessageId::SavePddData, MessageId::ExportedTable, u"", u".csv"},
    {MessageId::SavePddGraph, MessageId::ExportedGraph, u"", u".png"},
    {MessageId::SavePddGraph, MessageId::ExportedGraphSvg, u"", u".svg"},
    {MessageId::SaveBeamData, MessageId::BeamSaved, u"", u".json"},
    {MessageId::SaveReportData, MessageId::ReportSaved, u"", u".pdf"},
    {MessageId::SaveMapData, MessageId::SavedMapCsv, u".csv"},
    {MessageId::SaveMapPicture, MessageId::SavedMapPng, u".png"},
    {MessageId::SaveStudyData, MessageId::StudySaved, u"", u".json"},
};
static_assert(std::size(SavedFileKinds) == static_cast<std::size_t>(SavedFile::Study) + 1);

const SavedFileKind& KindOf(SavedFile file) {
    return SavedFileKinds[static_cast<std::size_t>(file)];
}

SaveOutcome Failure(SaveProblem problem, int error = 0) {
    SaveOutcome outcome;
    outcome.Problem = problem;
    if (error != 0)
        outcome.Detail = std::generic_category().message(error);
    return outcome;
}

// What a failed system call means for the user.
SaveOutcome FailureOf(int error) {
    switch (error) {
    case ENOENT:
        return Failure(SaveProblem::FolderMissing, error);
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

bool IsFolder(const std::filesystem::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
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
    const ReplaceOutcome replaced = ReplaceFileContents(target, bytes, Durability::Synced);
    switch (replaced.Step) {
    case ReplaceStep::Done:
        return {};
    case ReplaceStep::NotRegular: {
        if (replaced.Kind == MessageId::FileKindFolder)
            return Failure(SaveProblem::IsAFolder);
        SaveOutcome outcome = Failure(SaveProblem::NotRegular);
        outcome.Kind = replaced.Kind;
        return outcome;
    }
    case ReplaceStep::CreateTemporary:
        // Some folders that exist take no new file and say ENOENT (/proc).
        if (replaced.Error == ENOENT && IsFolder(replaced.Folder))
            return Failure(SaveProblem::CannotCreate, replaced.Error);
        return FailureOf(replaced.Error);
    case ReplaceStep::Write:
        return replaced.Error == ENOENT ? Failure(SaveProblem::Other, replaced.Error)
                                        : FailureOf(replaced.Error);
    case ReplaceStep::Protected:
        return Failure(SaveProblem::Protected, replaced.Error);
    case ReplaceStep::Inspect:
    case ReplaceStep::Rename:
    default:
        return FailureOf(replaced.Error);
    }
}

SaveOutcome CopyResultsFile(const std::filesystem::path& workingFile,
                            const std::filesystem::path& target) {
    const ReadOutcome read = ReadRegularFile(workingFile);
    switch (read.Step) {
    case ReadStep::Missing:
        return Failure(SaveProblem::SourceMissing);
    case ReadStep::Unreadable:
        return Failure(SaveProblem::SourceUnreadable, read.Error);
    case ReadStep::NotRegular: {
        SaveOutcome outcome = Failure(SaveProblem::SourceNotRegular);
        outcome.Kind = read.Kind;
        return outcome;
    }
    case ReadStep::Done:
        break;
    }
    return WriteFileReplacing(target, read.Bytes);
}

namespace {

// The image encoded in `format` and written over `target`; `problem` when
// Qt cannot encode it.
SaveOutcome SaveEncodedImage(const QImage& image, const char* format, SaveProblem problem,
                             const std::filesystem::path& target) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format))
        return Failure(problem);
    return WriteFileReplacing(
        target, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

} // namespace

SaveOutcome SaveImageAsBmp(const QImage& image, const std::filesystem::path& target) {
    // 24 bits a pixel hold every colour of the graph exactly.
    return SaveEncodedImage(image.convertToFormat(QImage::Format_RGB32), "BMP",
                            SaveProblem::ImageNotEncoded, target);
}

SaveOutcome SaveImageAsPng(const QImage& image, const std::filesystem::path& target) {
    return SaveEncodedImage(image, "PNG", SaveProblem::ImageNotPng, target);
}

namespace {

// What a failure's message is given beside its wording.
enum class SaveDetail { None, Folder, SystemWords, KindInTheWay, ResultsFile };

struct ProblemWording {
    MessageId Id;
    std::array<SaveDetail, 2> Details{};
};

// The wording of each problem and what fills it, in the order of SaveProblem
// from InvalidName on.
constexpr ProblemWording ProblemWordings[] = {
    {MessageId::SaveInvalidName},
    {MessageId::SaveNameTooLong},
    {MessageId::SaveFolderMissing, {SaveDetail::Folder}},
    {MessageId::SaveNotAFolder, {SaveDetail::Folder}},
    {MessageId::SaveIsAFolder},
    {MessageId::SaveNotWritable, {SaveDetail::Folder, SaveDetail::SystemWords}},
    {MessageId::SaveCannotCreateIn, {SaveDetail::Folder, SaveDetail::SystemWords}},
    {MessageId::SaveProtected, {SaveDetail::SystemWords}},
    {MessageId::SaveNotRegular, {SaveDetail::KindInTheWay}},
    {MessageId::SaveDiskFull, {SaveDetail::SystemWords}},
    {MessageId::SaveSourceMissing, {SaveDetail::ResultsFile}},
    {MessageId::SaveSourceNotRegular, {SaveDetail::ResultsFile, SaveDetail::KindInTheWay}},
    {MessageId::SaveSourceUnreadable, {SaveDetail::ResultsFile, SaveDetail::SystemWords}},
    {MessageId::SaveImageNotEncoded},
    {MessageId::SaveImageNotPng},
    {MessageId::SaveEmptyName},
    {MessageId::SaveOther, {SaveDetail::SystemWords}},
};
static_assert(std::size(ProblemWordings) == static_cast<std::size_t>(SaveProblem::Other));

} // namespace

std::string SaveFailureMessage(Language edition, SavedFile file, const QString& shownName,
                               const SaveOutcome& outcome) {
    if (outcome.Problem == SaveProblem::None)
        return {};
    const auto text = [edition](MessageId id, std::initializer_list<std::string_view> values = {}) {
        return Text(edition, id, values);
    };
    // The folder as the user typed it.
    const qsizetype slash = shownName.lastIndexOf(u'/');
    const std::string folder =
        slash < 0
            ? text(MessageId::SaveWorkingFolder)
            : text(MessageId::SaveFolder, {shownName.left(slash == 0 ? 1 : slash).toStdString()});
    const auto value = [&](SaveDetail detail) -> std::string {
        switch (detail) {
        case SaveDetail::None:
            break;
        case SaveDetail::Folder:
            return folder;
        case SaveDetail::SystemWords:
            return outcome.Detail;
        case SaveDetail::KindInTheWay:
            return text(outcome.Kind);
        case SaveDetail::ResultsFile:
            return ResultsFileName;
        }
        return {};
    };
    const ProblemWording& wording = ProblemWordings[static_cast<std::size_t>(outcome.Problem) - 1];
    const auto [first, second] = wording.Details;
    const std::string reason = second != SaveDetail::None
                                   ? text(wording.Id, {value(first), value(second)})
                               : first != SaveDetail::None ? text(wording.Id, {value(first)})
                                                           : text(wording.Id);
    const std::string contents = text(KindOf(file).Contents);
    return text(MessageId::SaveFailed, {contents, shownName.toStdString(), reason});
}

namespace {

// A save command: the typed name made a file name, the file written by
// `write`, and the words for the user.
template <typename Write>
SaveReport SaveAs(const QString& typedName, SavedFile file, const std::filesystem::path& workFolder,
                  Language edition, Write write) {
    const TypedFileName name = ResolveTypedName(typedName, KindOf(file).Extension, workFolder);
    // A name chosen for an export gets no extension: empty, it names nothing.
    const bool named = !typedName.isEmpty() || KindOf(file).Extension[0] != u'\0';
    const SaveOutcome outcome = !named       ? Failure(SaveProblem::EmptyName)
                                : name.Valid ? write(name.Path)
                                             : Failure(SaveProblem::InvalidName);
    if (!outcome.Saved())
        return {false, SaveFailureMessage(edition, file, name.Shown, outcome)};
    return {true, SavedMessage(edition, file, name.Path)};
}

// The save commands of bytes made beforehand and of pictures.
SaveReport SaveBytesAs(SavedFile file, std::string_view bytes, const QString& typedName,
                       const std::filesystem::path& workFolder, Language edition) {
    return SaveAs(typedName, file, workFolder, edition, [&](const std::filesystem::path& target) {
        return WriteFileReplacing(target, bytes);
    });
}

SaveReport SavePngAs(SavedFile file, const QImage& image, const QString& typedName,
                     const std::filesystem::path& workFolder, Language edition) {
    return SaveAs(typedName, file, workFolder, edition, [&](const std::filesystem::path& target) {
        return SaveImageAsPng(image, target);
    });
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

SaveReport SaveSpectrumCsvAs(const EnergyTable& spectrum, const QString& typedName,
                             const std::filesystem::path& workFolder, Language edition) {
    return SaveBytesAs(SavedFile::SpectrumCsv, SpectrumCsvBytes(spectrum), typedName, workFolder,
                       edition);
}

SaveReport SaveSpectrumPngAs(const QImage& picture, const QString& typedName,
                             const std::filesystem::path& workFolder, Language edition) {
    return SavePngAs(SavedFile::SpectrumPng, picture, typedName, workFolder, edition);
}

SaveReport SaveDoseCsvAs(std::string_view bytes, const QString& typedName,
                         const std::filesystem::path& workFolder, Language edition) {
    return SaveBytesAs(SavedFile::DoseCsv, bytes, typedName, workFolder, edition);
}

SaveReport SaveMapCsvAs(std::string_view bytes, const QString& typedName,
                        const std::filesystem::path& workFolder, Language edition) {
    return SaveBytesAs(SavedFile::MapCsv, bytes, typedName, workFolder, edition);
}

SaveReport SaveMapPngAs(const QImage& picture, const QString& typedName,
                        const std::filesystem::path& workFolder, Language edition) {
    return SavePngAs(SavedFile::MapPng, picture, typedName, workFolder, edition);
}

QString ChosenWithExtension(const QString& chosenName, SavedFile file) {
    const QString extension = QString::fromUtf16(KindOf(file).ChosenExtension);
    if (chosenName.isEmpty() || chosenName.endsWith(extension, Qt::CaseInsensitive))
        return chosenName;
    return chosenName + extension;
}

SaveReport ExportBytesAs(SavedFile file, std::string_view bytes, const QString& chosenName,
                         const std::filesystem::path& workFolder, Language edition) {
    return SaveBytesAs(file, bytes, ChosenWithExtension(chosenName, file), workFolder, edition);
}

SaveReport ExportGraphPngAs(const QImage& image, const QString& chosenName,
                            const std::filesystem::path& workFolder, Language edition) {
    return SavePngAs(SavedFile::GraphPng, image,
                     ChosenWithExtension(chosenName, SavedFile::GraphPng), workFolder, edition);
}

std::string SavedMessage(Language edition, SavedFile file, const std::filesystem::path& saved) {
    // The folder in full, so that a file saved through a dialog can be found.
    std::error_code ignored;
    const std::filesystem::path folder =
        std::filesystem::absolute(saved, ignored).lexically_normal().parent_path();
    return Text(edition, KindOf(file).Confirmation, {saved.filename().string(), folder.string()});
}

} // namespace veltrim
