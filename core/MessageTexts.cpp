// The program's own words, one table per language (MessageTextsEnglish.cpp,
// MessageTextsJapanese.cpp).
#include "core/Messages.h"

namespace veltrim {

std::span<const MessageText> MessageTable(Language language) {
    return language == Language::Japanese ? JapaneseMessages() : EnglishMessages();
}

} // namespace veltrim
