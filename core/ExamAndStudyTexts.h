#pragma once

// The messages that follow the main window's in both languages' tables,
// each written once with its two wordings in ExamAndStudyTexts.def.

#include "core/Messages.h"

namespace veltrim {

struct BilingualText {
    MessageId Id;
    std::string_view English, Japanese; // UTF-8
};

inline constexpr BilingualText ExamAndStudyTexts[] = {
#define VELTRIM_BILINGUAL(id, english, japanese) {MessageId::id, english, japanese},
#include "core/ExamAndStudyTexts.def"
#undef VELTRIM_BILINGUAL
};

// `table`, a language's words up to the examination window, with the
// messages above put in their places in that language.
constexpr MessageTexts WithExamAndStudyTexts(MessageTexts table, Language language) {
    for (const BilingualText& entry : ExamAndStudyTexts)
        table[static_cast<std::size_t>(entry.Id)] = {
            entry.Id, language == Language::Japanese ? entry.Japanese : entry.English};
    return table;
}

} // namespace veltrim
