#include "dicom/DoseRecordLoader.h"

#include "core/ModuleLoading.h"

#include <dlfcn.h>
#include <mutex>

namespace veltrim {
namespace {

constexpr const char* ModuleName = "libveltrim-dicom.so";

struct Module {
    DoseRecordStudyCall Study = nullptr;
    Message Problem;
};

Module Open(const std::vector<std::string>& candidates) {
    Module module;
    std::string tried;
    // DCMTK registers its dictionary and codecs for the life of the process.
    if (void* handle = OpenModule(candidates, DoseRecordInterfaceSymbol, DoseRecordInterface,
                                  {DoseRecordStudySymbol}, tried)) {
        module.Study = reinterpret_cast<DoseRecordStudyCall>(dlsym(handle, DoseRecordStudySymbol));
        return module;
    }
    module.Problem = tried.empty()
                         ? Message(MessageId::RecordModuleNotInstalled, {Arg(ModuleName)})
                         : Message(MessageId::RecordModuleNotFound, {Arg(ModuleName), Arg(tried)});
    return module;
}

std::string Study(const Module& module, const std::filesystem::path& file,
                  const RecordPatient& patient, const std::vector<RecordPoint>& points) {
    if (module.Study == nullptr)
        throw DoseRecordUnavailable(module.Problem);
    std::string answer;
    const DoseRecordSink sink = [](void* context, const char* text, std::size_t size) {
        static_cast<std::string*>(context)->append(text, size);
    };
    if (module.Study(file.c_str(), &patient, &points, sink, &answer) != 0) {
        const std::optional<Message> reason = DecodedMessage(answer);
        throw DoseRecordError(reason ? *reason
                                     : Message(MessageId::StudyRefused, {Arg(std::move(answer))}));
    }
    return answer;
}

} // namespace

std::vector<std::string> DoseRecordModuleCandidates() {
#ifdef VELTRIM_DICOM_RELATIVE
    return ModuleCandidates(ModuleName, "dicom", VELTRIM_DICOM_RELATIVE);
#else
    return ModuleCandidates(ModuleName, "dicom", "");
#endif
}

std::string LoadedRecordStudy(const std::filesystem::path& file, const RecordPatient& patient,
                              const std::vector<RecordPoint>& points) {
    static std::once_flag once;
    static Module module;
    std::call_once(once, [] { module = Open(DoseRecordModuleCandidates()); });
    return Study(module, file, patient, points);
}

std::string LoadedRecordStudy(const std::filesystem::path& file, const RecordPatient& patient,
                              const std::vector<RecordPoint>& points,
                              const std::vector<std::string>& candidates) {
    return Study(Open(candidates), file, patient, points);
}

} // namespace veltrim
