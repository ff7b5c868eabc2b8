#include "app/SharedState.h"

#include "app/DataFile.h"

#include <utility>

namespace veltrim {

SharedState::SharedState(MessageSink& messages, std::filesystem::path dataFolder,
                         std::filesystem::path workFolder)
    : Messages(messages), DataFolder(std::move(dataFolder)), WorkFolder(std::move(workFolder)) {}

bool SharedState::LoadAttenuationTables() {
    try {
        // Read into fresh tables and publish them only when all three files
        // were read, so a failure never leaves a half-filled table in use.
        Attenuation = ReadAttenuationTables(DataFolder);
        AttenuationLoaded = true;
        return true;
    } catch (const DataFileError& e) {
        AttenuationLoaded = false;
        Messages.Show(Message(MessageId::AttenuationLoadFailed, {Arg(e.Problem())}).In(Edition));
        return false;
    }
}

std::optional<std::string> SharedState::ReadConditions(const ConditionTexts& texts) {
    return veltrim::ReadConditions(texts, Conditions);
}

void SharedState::SelectRectification(int method) {
    if (method >= 1 && method <= 3)
        Conditions.Rectification = static_cast<RectificationMethod>(method);
}

} // namespace veltrim
