#pragma once

#include "core/Conditions.h"
#include "core/Grids.h"
#include "core/Messages.h"

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

class QImage;

namespace veltrim {

// Why a file was not saved. None: it is in place under the user's name.
// SaveFailureMessage words each by a table in this order.
enum class SaveProblem {
    None,
    InvalidName,      // the name holds a character no file name may hold
    NameTooLong,      // the name, or a folder in it, is longer than the system allows
    FolderMissing,    // the folder the name points into does not exist
    NotAFolder,       // a part of that folder path is a file
    IsAFolder,        // a folder of that name is in the way
    NotWritable,      // the folder exists but the file cannot be created in it
    CannotCreate,     // the folder exists and is writable by its mode, yet takes no new file
    Protected,        // the file under the name is immutable, or another's in a sticky folder
    NotRegular,       // the name is a pipe, a device, a socket or a link to nothing
    DiskFull,         // the disk (or the size allowed for a file) ran out while writing
    SourceMissing,    // the working results file is not there to copy
    SourceNotRegular, // the working results file is a pipe, a device, ...
    SourceUnreadable, // the working results file could not be read
    ImageNotEncoded,  // the graph could not be encoded as a bitmap
    ImageNotPng,      // the spectrum picture could not be encoded as PNG
    EmptyName,        // no name was given for an export
    Other,            // anything else; Detail holds the system's words
};

struct SaveOutcome {
    SaveProblem Problem = SaveProblem::None;
    std::string Detail;                        // the system's description of the failure, if any
    MessageId Kind = MessageId::FileKindOther; // what is in the way (NotRegular, SourceNotRegular)
    bool Saved() const { return Problem == SaveProblem::None; }
};

// A name as typed into a name field, with the extension appended whatever it
// already ends with: "run1.csv" gives "run1.csv.csv", "" gives ".csv". Blanks
// are kept and a folder path is honoured; a name without one is taken
// relative to workFolder.
struct TypedFileName {
    QString Shown;              // what the user typed plus the extension, for messages
    std::filesystem::path Path; // where the file goes
    bool Valid = true;          // false when the name holds a null character
};
TypedFileName ResolveTypedName(const QString& typed, QStringView extension,
                               const std::filesystem::path& workFolder);

// Puts bytes into a file under its final name in one step: they are written to
// a temporary file in the same folder, flushed to disk and renamed over the
// target, which replaces an existing regular file without asking (a link to
// one replaces its target). On failure the temporary is removed and any
// earlier file of that name is left as it was; anything but a regular file
// under the name is left alone and reported.
SaveOutcome WriteFileReplacing(const std::filesystem::path& target, std::string_view bytes);

// Copies the working results file byte for byte to the target. The working
// file is opened without blocking and must be a regular file.
SaveOutcome CopyResultsFile(const std::filesystem::path& workingFile,
                            const std::filesystem::path& target);

// Writes an image as a 24-bit Windows bitmap, or as PNG.
SaveOutcome SaveImageAsBmp(const QImage& image, const std::filesystem::path& target);
SaveOutcome SaveImageAsPng(const QImage& image, const std::filesystem::path& target);

// What the user is told when a save failed, in the edition's language: which
// file, and why. Csv and Bmp are the main window's PDD data and graph.
// KindOf in ResultsSaving.cpp words each by a table in this order.
enum class SavedFile {
    Csv,
    Bmp,
    SpectrumCsv,
    SpectrumPng,
    DoseCsv,
    TableCsv,
    GraphPng,
    GraphSvg,
    Beam,
    ReportPdf,
    MapCsv,
    MapPng,
    Study
};
std::string SaveFailureMessage(Language edition, SavedFile file, const QString& shownName,
                               const SaveOutcome& outcome);

// The confirmation after a successful save of `saved`, by edition: the
// exports and saved beams name the file and its folder.
std::string SavedMessage(Language edition, SavedFile file, const std::filesystem::path& saved = {});

// An export's chosen name with its extension (".csv", ".png", ".svg",
// ".json", ".pdf") added unless it already ends in it, in any case.
QString ChosenWithExtension(const QString& chosenName, SavedFile file);

// The two save commands apart from their window: the name typed into the
// field, the extension appended, the file written, and what to tell the user,
// a confirmation or what failed.
struct SaveReport {
    bool Saved = false;
    std::string Message;
};
SaveReport SaveCsvAs(const std::filesystem::path& workingFile, const QString& typedName,
                     const std::filesystem::path& workFolder, Language edition);
SaveReport SaveBmpAs(const QImage& image, const QString& typedName,
                     const std::filesystem::path& workFolder, Language edition);
// The same for a spectrum (".csv", SpectrumCsvBytes) and its picture (".png").
SaveReport SaveSpectrumCsvAs(const EnergyTable& spectrum, const QString& typedName,
                             const std::filesystem::path& workFolder, Language edition);
SaveReport SaveSpectrumPngAs(const QImage& picture, const QString& typedName,
                             const std::filesystem::path& workFolder, Language edition);
// The absolute-dose window's table, its bytes formed by the window (".csv").
SaveReport SaveDoseCsvAs(std::string_view bytes, const QString& typedName,
                         const std::filesystem::path& workFolder, Language edition);
// The dose-map window's grid (".csv", bytes formed by the window) and its picture (".png").
SaveReport SaveMapCsvAs(std::string_view bytes, const QString& typedName,
                        const std::filesystem::path& workFolder, Language edition);
SaveReport SaveMapPngAs(const QImage& picture, const QString& typedName,
                        const std::filesystem::path& workFolder, Language edition);

// The exports of the graph's menu and the saved beams, under the name the
// user chose with its extension (ChosenWithExtension); an empty name is refused.
// `file` is TableCsv, Beam, Study or ReportPdf.
SaveReport ExportBytesAs(SavedFile file, std::string_view bytes, const QString& chosenName,
                         const std::filesystem::path& workFolder, Language edition);
SaveReport ExportGraphPngAs(const QImage& image, const QString& chosenName,
                            const std::filesystem::path& workFolder, Language edition);

} // namespace veltrim
