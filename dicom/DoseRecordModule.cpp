// The entry points of libveltrim-dicom.so, the dose-record reader as the
// front ends load it (DoseRecordLoader.h). Plain C calls: nothing thrown
// crosses them; a refusal goes back as its encoded message.
#include "dicom/DoseRecordLoader.h"
#include "dicom/StudyJson.h"

#include <exception>

extern "C" {

__attribute__((visibility("default"))) std::uint64_t VeltrimDoseRecordInterface() {
    return veltrim::DoseRecordInterface;
}

__attribute__((visibility("default"))) int
VeltrimDoseRecordStudy(const char* file, const void* patient, const void* points,
                       veltrim::DoseRecordSink sink, void* context) {
    std::string answer;
    int status = 1;
    try {
        const auto& who = *static_cast<const veltrim::RecordPatient*>(patient);
        const auto& where = *static_cast<const std::vector<veltrim::RecordPoint>*>(points);
        const veltrim::DoseRecord record = veltrim::ReadDoseRecord(file);
        answer = veltrim::StudyJson(record, veltrim::EventExposures(record, who), who, where);
        status = 0;
    } catch (const veltrim::MessageError& e) { // DoseRecordError
        answer = veltrim::EncodedMessage(e.Problem());
    } catch (const std::exception& e) {
        answer = veltrim::EncodedMessage(
            veltrim::Message(veltrim::MessageId::StudyRefused, {veltrim::Arg(e.what())}));
    } catch (...) {
        answer = veltrim::EncodedMessage(veltrim::Message(
            veltrim::MessageId::StudyRefused, {veltrim::Arg("the dose record could not be read")}));
    }
    sink(context, answer.data(), answer.size());
    return status;
}

} // extern "C"
