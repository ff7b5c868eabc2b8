// The DCMTK adapter: the one place Veltrim reads DICOM.
//
// Units. DICOM records each measured value with its unit: NUM items of a
// dose report carry a UCUM code (KAP in Gy.m2, kerma in Gy or mGy, lengths
// in mm, exposure in uAs, and vendors' spellings such as "Gym2" or
// "uA.s"), which DicomUnits converts; an image header's attributes have
// fixed units (KVP kV, Exposure mAs, ExposureInuAs uAs, ExposureTime ms,
// ImageAndFluoroscopyAreaDoseProduct dGy cm2, distances and thicknesses
// mm, EntranceDoseInmGy mGy). The DoseRecord holds kV, mA, ms, mAs, mm of
// filter, Gy cm2, mGy and cm.
//
// Leniencies. Real records often break the standard in small ways, so a
// report is read with DCMTK's flags that ignore errors in content items and
// skip invalid ones (what `dsrdump --ignore-item-errors
// --skip-invalid-items` shows); each item DCMTK skipped or read only in
// part is named in DoseRecord::Skipped from DCMTK's own warnings. The
// report's root must be the X-Ray Radiation Dose Report, whatever SR class
// holds it (some units store it in an Enhanced or Comprehensive SR). Within
// an event, items are matched by their DCM concept code, never by their
// meaning (vendors respell meanings and reuse them in private codes); a
// value in a unit not understood, or a number that does not read, is named
// and left out; an empty value ("value unknown") is no value. Only the
// refusals below are fatal: a file that is not DICOM Part 10 (no "DICM" at
// byte 128), over LargestDoseFile, truncated or damaged (DCMTK cannot parse
// it to its end), a CT or mammography record, a DICOM object with neither a
// dose report nor an X-ray technique, and a report without any event.
#include "core/FileReading.h"
#include "core/Sha256.h"
#include "dicom/DoseRecord.h"
#include "dicom/RecordReading.h"

#include <dcmtk/config/osconfig.h>
#include <dcmtk/dcmdata/dcdeftag.h>
#include <dcmtk/dcmdata/dcfilefo.h>
#include <dcmtk/dcmsr/dsrdoc.h>
#include <dcmtk/oflog/appender.h>
#include <dcmtk/oflog/oflog.h>
#include <dcmtk/oflog/spi/logevent.h>
#include <mutex>
#include <string_view>
#include <system_error>

namespace veltrim {
namespace {

// Collects what DCMTK's structured-report reader says about the content
// items it skipped or read in part; its messages name the item's position.
class SkippedItems : public dcmtk::log4cplus::Appender {
  public:
    std::vector<std::string> Lines;
    ~SkippedItems() override { destructorImpl(); }
    void close() override {}

  protected:
    // DCMTK says `Reading content item "1.8.12" (Tag not found)` and then
    // `Skipping invalid/incomplete content item ...` for one item skipped,
    // and `Reading invalid/incomplete content item IMAGE "1.10.5"` for one
    // read in part; each becomes one line that names the item.
    void append(const dcmtk::log4cplus::spi::InternalLoggingEvent& event) override {
        constexpr std::string_view Failed = "Reading content item \"";
        constexpr std::string_view Skipping = "Skipping invalid/incomplete content item";
        constexpr std::string_view Partial = "Reading invalid/incomplete content item ";
        const std::string line = event.getMessage().c_str();
        if (line.starts_with(Failed)) {
            const std::size_t quote = line.find('"', Failed.size());
            const std::size_t open = line.find('(', quote);
            const std::size_t close = line.rfind(')');
            if (quote != std::string::npos && open != std::string::npos && close > open)
                pending_ = "content item " + line.substr(Failed.size(), quote - Failed.size()) +
                           " (" + line.substr(open + 1, close - open - 1) + ")";
        } else if (line.starts_with(Skipping)) {
            // The value type DCMTK names here is not always the skipped item's.
            Lines.push_back((pending_.empty() ? std::string("a content item") : pending_) +
                            " skipped");
            pending_.clear();
        } else if (line.starts_with(Partial)) {
            const std::string rest = line.substr(Partial.size());
            const std::size_t first = rest.find('"');
            const std::size_t last = rest.find('"', first + 1);
            if (first != std::string::npos && last != std::string::npos)
                Lines.push_back("content item " + rest.substr(first + 1, last - first - 1) + ": " +
                                rest.substr(0, rest.find(' ')) +
                                " item invalid or incomplete, read in part");
        }
    }

  private:
    std::string pending_;
};

// DCMTK's loggers are global: one reading at a time listens to them, and
// its messages go to the record rather than to standard error.
std::mutex ListeningToDcmtk;

void ReadReport(DcmDataset& dataset, DoseRecord& record) {
    const std::lock_guard<std::mutex> lock(ListeningToDcmtk);
    OFLogger logger = OFLog::getLogger("dcmtk.dcmsr");
    SkippedItems* listener = new SkippedItems;
    const dcmtk::log4cplus::SharedAppenderPtr held(listener);
    const bool additive = logger.getAdditivity();
    logger.addAppender(held);
    logger.setAdditivity(false);
    DSRDocument document;
    const OFCondition status = document.read(dataset, DSRTypes::RF_ignoreContentItemErrors |
                                                          DSRTypes::RF_skipInvalidContentItems);
    logger.removeAppender(held);
    logger.setAdditivity(additive);
    record.Skipped = listener->Lines;
    if (status.bad())
        throw DoseRecordError(MessageId::RecordSrUnreadable, {Arg(status.text())});
    ReadRadiationDoseSr(document, record);
}

std::string Attribute(DcmDataset& dataset, const DcmTagKey& tag) {
    OFString value;
    dataset.findAndGetOFString(tag, value);
    return value.c_str();
}

} // namespace

bool IrradiationEvent::IsFluoroscopy() const {
    return Type.find("luoro") != std::string::npos;
}

DoseRecord ReadDoseRecord(const std::filesystem::path& file) {
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (error || !std::filesystem::exists(status))
        throw DoseRecordError(MessageId::RecordCannotOpen, {Arg(file.string())});
    if (!std::filesystem::is_regular_file(status))
        throw DoseRecordError(MessageId::RecordNotRegular, {Arg(file.string())});
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error || size > LargestDoseFile)
        throw DoseRecordError(MessageId::RecordTooLarge, {Arg(file.string())});
    if (!IsDicomFile(file))
        throw DoseRecordError(MessageId::RecordNotDicom, {Arg(file.string())});
    const ReadOutcome bytes = ReadRegularFile(file, LargestDoseFile);
    if (bytes.Step != ReadStep::Done)
        throw DoseRecordError(MessageId::RecordCannotRead, {Arg(file.string())});
    DcmFileFormat format;
    const OFCondition loaded =
        format.loadFile(file.c_str(), EXS_Unknown, EGL_noChange, DCM_MaxReadLength, ERM_fileOnly);
    if (loaded.bad())
        throw DoseRecordError(MessageId::RecordDamaged, {Arg(file.string()), Arg(loaded.text())});
    DcmDataset& dataset = *format.getDataset();
    DoseRecord record;
    record.FileSha256 = Sha256Hex(bytes.Bytes);
    record.Manufacturer = Attribute(dataset, DCM_Manufacturer);
    record.Model = Attribute(dataset, DCM_ManufacturerModelName);
    record.StudyDate = Attribute(dataset, DCM_StudyDate);
    const std::string modality = Attribute(dataset, DCM_Modality);
    const std::string sopClass = Attribute(dataset, DCM_SOPClassUID);
    if (modality == "SR" ||
        DSRTypes::sopClassUIDToDocumentType(sopClass.c_str()) != DSRTypes::DT_invalid)
        ReadReport(dataset, record);
    else
        ReadImageHeader(dataset, record);
    if (record.Events.empty())
        throw DoseRecordError(MessageId::RecordNoEvent, {Arg(file.string())});
    return record;
}

} // namespace veltrim
