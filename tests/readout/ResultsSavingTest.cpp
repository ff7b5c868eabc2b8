#include "readout/ResultsSaving.h"

#include "common/FileSizeLimit.h"
#include "common/ImmutableFile.h"
#include "common/TempFolder.h"
#include "files/ResultsFile.h"

#include <QImage>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using namespace veltrim;
using namespace veltrim::testing;
namespace fs = std::filesystem;

// What a results file can hold: CR LF lines, a comma table, Japanese labels.
const std::string WorkingBytes = "0.25,93.1,6.9,100\r\n0.75,80.2,9.8,90\r\n"
                                 "管電圧,80\r\n\xff\x00 binary tail\r\n";

QImage SampleImage() {
    QImage image(557, 557, QImage::Format_RGB32);
    image.fill(qRgb(255, 255, 255));
    for (int i = 0; i < 557; ++i) {
        image.setPixel(i, 100, qRgb(255, 0, 0));
        image.setPixel(200, i, qRgb(0, 0, 255));
        image.setPixel(i, i, qRgb(192, 192, 192));
        image.setPixel(i, 556 - i, qRgb(0, 0, 0));
    }
    return image;
}

TEST(ResolveTypedName, TheExtensionIsAlwaysAppendedAndTheNameKeptAsTyped) {
    const fs::path work = "/work/folder";
    EXPECT_EQ(ResolveTypedName("run1.csv", u".csv", work).Path, work / "run1.csv.csv");
    EXPECT_EQ(ResolveTypedName(" a b ", u".csv", work).Path, work / " a b .csv");
    EXPECT_EQ(ResolveTypedName("sub/x", u".csv", work).Path, work / "sub/x.csv");
    EXPECT_EQ(ResolveTypedName("/elsewhere/x", u".bmp", work).Path, "/elsewhere/x.bmp");
    EXPECT_EQ(ResolveTypedName("深部量", u".csv", work).Path, work / "深部量.csv");
    EXPECT_EQ(ResolveTypedName("run1.csv", u".csv", work).Shown, "run1.csv.csv");
    EXPECT_FALSE(ResolveTypedName(QString("ab") + QChar(0) + "c", u".csv", work).Valid);
}

TEST(SaveCsvAs, CopiesTheWorkingFileByteForByteAndReplacesAnEarlierFile) {
    TempFolder dir;
    const fs::path working = dir.Write(ResultsFileName, WorkingBytes);
    dir.Write("run1.csv", std::string(10000, 'o')); // longer than the new contents

    for (const Language edition : {Language::English, Language::Japanese}) {
        const SaveReport report = SaveCsvAs(working, "run1", dir.Path(), edition);
        EXPECT_TRUE(report.Saved);
        EXPECT_EQ(report.Message, SavedMessage(edition, SavedFile::Csv));
        EXPECT_EQ(ReadBytes(dir / "run1.csv"), WorkingBytes);
    }
    EXPECT_EQ(EntriesOf(dir.Path()), (std::vector<std::string>{ResultsFileName, "run1.csv"}))
        << "a temporary was left behind";
    EXPECT_EQ(ReadBytes(working), WorkingBytes);
}

// A name chosen in a dialog of the program's own gets its file's extension
// unless it ends in it already, and the confirmation says where it went.
TEST(ExportBytesAs, TheChosenNameGetsItsExtensionAndTheConfirmationNamesFileAndFolder) {
    TempFolder dir;
    const SaveReport report =
        ExportBytesAs(SavedFile::ReportPdf, "%PDF", "report", dir.Path(), Language::English);
    EXPECT_TRUE(report.Saved);
    EXPECT_EQ(ReadBytes(dir / "report.pdf"), "%PDF");
    EXPECT_EQ(report.Message, "The report was saved as PDF: report.pdf in " +
                                  dir.Path().lexically_normal().string() + ".");
    EXPECT_TRUE(
        ExportBytesAs(SavedFile::TableCsv, "x", "table.CSV", dir.Path(), Language::Japanese).Saved);
    EXPECT_EQ(EntriesOf(dir.Path()), (std::vector<std::string>{"report.pdf", "table.CSV"}));
}

TEST(SaveBmpAs, WritesA24BitBitmapThatDecodesToTheImage) {
    TempFolder dir;
    const QImage image = SampleImage();
    const SaveReport report = SaveBmpAs(image, "graph", dir.Path(), Language::Japanese);
    EXPECT_TRUE(report.Saved);
    EXPECT_EQ(report.Message, "PDDグラフを bmp形式で保存しました");

    const std::string bytes = ReadBytes(dir / "graph.bmp");
    ASSERT_GT(bytes.size(), 54u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(static_cast<unsigned char>(bytes[28]), 24) << "bits per pixel";
    // 557 pixels of 3 bytes, rows padded to 4 bytes, plus the two headers.
    EXPECT_EQ(bytes.size(), 54u + 557u * 1672u);
    const QImage decoded(QString::fromStdString((dir / "graph.bmp").string()), "BMP");
    EXPECT_EQ(decoded.convertToFormat(QImage::Format_RGB32), image);
}

// A failed save names the file and the reason, writes nothing under the
// user's name, leaves an earlier file as it was and no temporary behind.
class FailedSave : public ::testing::Test {
  protected:
    TempFolder dir;
    fs::path working = dir.Write(ResultsFileName, WorkingBytes);

    SaveReport Csv(const QString& name, Language edition = Language::English) const {
        return SaveCsvAs(working, name, dir.Path(), edition);
    }
    SaveReport Bmp(const QString& name) const {
        return SaveBmpAs(SampleImage(), name, dir.Path(), Language::English);
    }

    void ExpectRefused(const SaveReport& report, const std::string& shown,
                       const std::string& reason) {
        EXPECT_FALSE(report.Saved);
        const bool quoted = report.Message.find("\"" + shown + "\"") != std::string::npos ||
                            report.Message.find("「" + shown + "」") != std::string::npos;
        EXPECT_TRUE(quoted) << report.Message;
        EXPECT_NE(report.Message.find(reason), std::string::npos) << report.Message;
    }
};

TEST_F(FailedSave, FolderMissingOrAFileOrAFolderInTheWay) {
    // Root writes anywhere it may; a file standing where a folder should be
    // stops it all the same.
    dir.Write("plain", "a file");
    dir.Write("taken.csv/inside", "kept");
    ExpectRefused(Csv("nope/run1"), "nope/run1.csv", "the folder \"nope\" does not exist");
    ExpectRefused(Bmp("nope/deeper/run1"), "nope/deeper/run1.bmp",
                  "the folder \"nope/deeper\" does not exist");
    ExpectRefused(Csv("plain/run1"), "plain/run1.csv",
                  "a part of the folder \"plain\" is a file, not a folder");
    ExpectRefused(Csv("taken"), "taken.csv", "a folder of that name");
    EXPECT_EQ(ReadBytes(dir / "plain"), "a file");
    EXPECT_EQ(ReadBytes(dir / "taken.csv/inside"), "kept");
    EXPECT_EQ(EntriesOf(dir.Path()),
              (std::vector<std::string>{ResultsFileName, "plain", "taken.csv"}));
}

TEST_F(FailedSave, NamesNoFileCanHave) {
    // A null character would cut the name short and write somewhere else.
    const QString withNull = QString("ab") + QChar(0) + "c";
    ExpectRefused(Csv(withNull), std::string("ab\0c.csv", 8), "no file name may hold");
    ExpectRefused(Bmp(withNull), std::string("ab\0c.bmp", 8), "no file name may hold");
    const QString tooLong(300, QChar('x'));
    ExpectRefused(Csv(tooLong), tooLong.toStdString() + ".csv", "too long");
    EXPECT_EQ(EntriesOf(dir.Path()), std::vector<std::string>{ResultsFileName});
}

// Folders that exist yet take no new file: the working folder removed while
// the program stands in it says ENOENT, which must not read as a missing
// folder; an immutable folder refuses even root.
TEST_F(FailedSave, FoldersThatExistButTakeNoNewFile) {
    const fs::path back = fs::current_path();
    SaveReport report;
    {
        const TempFolder gone;
        fs::current_path(gone.Path());
        fs::remove(gone.Path());
        report = SaveCsvAs(working, "run1", ".", Language::English);
        fs::current_path(back);
    }
    ExpectRefused(report, "run1.csv", "no file can be created in the working folder");
    EXPECT_EQ(report.Message.find("does not exist"), std::string::npos) << report.Message;

    const std::unique_ptr<TempFolder> folder = FolderTakingImmutableFiles();
    if (!folder)
        GTEST_SKIP() << "no file system here keeps a folder immutable for this user";
    const ImmutableFile locked(folder->Path());
    ASSERT_TRUE(locked.Works());
    ExpectRefused(SaveCsvAs(working, "run1", folder->Path(), Language::English), "run1.csv",
                  "the working folder cannot be written to");
    EXPECT_TRUE(EntriesOf(folder->Path()).empty());
}

TEST_F(FailedSave, WorkingFileGoneOrNotAFile) {
    // Gone altogether: the window's failed-save test.
    dir.Write("run1.csv", "earlier");
    fs::remove(working);
    fs::create_directory(working);
    ExpectRefused(Csv("run1"), "run1.csv", "PDD_tempDATA.txt is a folder, not a regular file");
    ExpectRefused(Csv("run1", Language::Japanese), "run1.csv", "PDD_tempDATA.txt はフォルダーで");
    // A named pipe under the working file's name has no writer: opening it
    // the ordinary way would wait for ever.
    fs::remove(working);
    ASSERT_EQ(::mkfifo(working.c_str(), 0600), 0);
    ExpectRefused(Csv("run1"), "run1.csv", "PDD_tempDATA.txt is a named pipe");
    EXPECT_EQ(ReadBytes(dir / "run1.csv"), "earlier");
}

// Only a regular file is replaced: whatever else holds the name is left as
// it was and named in the message; a link to a regular file replaces the
// file it points to, in that file's folder.
TEST_F(FailedSave, NamesHeldByAnythingButARegularFileAreLeftAloneAndALinkIsFollowed) {
    ASSERT_EQ(::mkfifo((dir / "pipe.csv").c_str(), 0600), 0);
    fs::create_symlink("nowhere/gone.csv", dir / "dangling.csv");
    ExpectRefused(Csv("pipe"), "pipe.csv", "that name is a named pipe, not a regular file");
    ExpectRefused(Csv("dangling"), "dangling.csv", "a symbolic link to nothing");
    ExpectRefused(Csv("pipe", Language::Japanese), "pipe.csv", "名前付きパイプ");
    EXPECT_TRUE(fs::is_fifo(dir / "pipe.csv"));
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.csv"));
    EXPECT_FALSE(fs::exists(dir / "nowhere"));

    dir.Write("elsewhere/real.csv", "earlier");
    fs::create_symlink("elsewhere/real.csv", dir / "link.csv");

    EXPECT_TRUE(Csv("link").Saved);
    EXPECT_TRUE(fs::is_symlink(dir / "link.csv")) << "the link itself stays";
    EXPECT_EQ(ReadBytes(dir / "elsewhere/real.csv"), WorkingBytes);
    EXPECT_EQ(EntriesOf(dir / "elsewhere"), std::vector<std::string>{"real.csv"});
}

// The folder took the temporary; only the file itself refuses to be replaced.
TEST_F(FailedSave, AnImmutableFileIsToldAsProtectedNotBlamedOnTheFolder) {
    const std::unique_ptr<TempFolder> folder = FolderTakingImmutableFiles();
    if (!folder)
        GTEST_SKIP() << "no file system here keeps a file immutable for this user";
    folder->Write("run1.csv", "earlier");
    const ImmutableFile locked(*folder / "run1.csv");
    ASSERT_TRUE(locked.Works());
    const SaveReport report = SaveCsvAs(working, "run1", folder->Path(), Language::English);
    ExpectRefused(report, "run1.csv", "the file of that name is protected and cannot be replaced");
    EXPECT_EQ(report.Message.find("folder"), std::string::npos) << report.Message;
    EXPECT_EQ(ReadBytes(*folder / "run1.csv"), "earlier");
    EXPECT_EQ(EntriesOf(folder->Path()), std::vector<std::string>{"run1.csv"});
}

TEST_F(FailedSave, DiskFullHalfwayLeavesTheEarlierFileWhole) {
    const std::string large(200000, 'r');
    working = dir.Write(ResultsFileName, large);
    dir.Write("run1.csv", "earlier csv");
    dir.Write("run1.bmp", "earlier bmp");
    SaveReport csv, bmp;
    {
        const FileSizeLimit full(8192);
        csv = Csv("run1");
        bmp = Bmp("run1");
    }
    ExpectRefused(csv, "run1.csv", "the disk is full");
    ExpectRefused(bmp, "run1.bmp", "the disk is full");
    EXPECT_EQ(ReadBytes(dir / "run1.csv"), "earlier csv");
    EXPECT_EQ(ReadBytes(dir / "run1.bmp"), "earlier bmp");
    EXPECT_EQ(EntriesOf(dir.Path()),
              (std::vector<std::string>{ResultsFileName, "run1.bmp", "run1.csv"}));
}

} // namespace
