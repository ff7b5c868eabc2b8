#include "core/Messages.h"

#include <sstream>
#include <utility>

namespace veltrim {
namespace {

// Replaces {1}..{9} by the values; a placeholder without a value is left as it is.
std::string Fill(std::string_view wording, const std::vector<std::string>& values) {
    std::string text;
    text.reserve(wording.size() + 64);
    for (std::size_t i = 0; i < wording.size(); ++i) {
        if (wording[i] == '{' && i + 2 < wording.size() && wording[i + 1] >= '1' &&
            wording[i + 1] <= '9' && wording[i + 2] == '}') {
            const auto n = static_cast<std::size_t>(wording[i + 1] - '1');
            if (n < values.size()) {
                text += values[n];
                i += 2;
                continue;
            }
        }
        text += wording[i];
    }
    return text;
}

} // namespace

std::span<const MessageText> MessageTable(Language language) {
    return language == Language::Japanese ? JapaneseTexts : EnglishTexts;
}

std::string_view Wording(Language language, MessageId id) {
    const std::span<const MessageText> table = MessageTable(language);
    const auto index = static_cast<std::size_t>(id);
    if (index < table.size() && table[index].Id == id)
        return table[index].Text;
    for (const MessageText& entry : table)
        if (entry.Id == id)
            return entry.Text;
    return {};
}

Message::Message(MessageId id, std::vector<Argument> arguments)
    : id_(id), arguments_(std::move(arguments)) {}

std::string Message::In(Language language) const {
    std::vector<std::string> values;
    values.reserve(arguments_.size());
    for (const Argument& a : arguments_)
        values.push_back(a.Nested ? a.Nested->In(language) : a.Plain);
    return Fill(Wording(language, id_), values);
}

Message::Argument Arg(std::string text) {
    return {std::move(text), nullptr};
}

Message::Argument Arg(const char* text) {
    return {std::string(text), nullptr};
}

Message::Argument Arg(double value) {
    std::ostringstream text;
    text << value;
    return {text.str(), nullptr};
}

Message::Argument Arg(int value) {
    return {std::to_string(value), nullptr};
}

Message::Argument Arg(const Message& nested) {
    return {{}, std::make_shared<const Message>(nested)};
}

std::string Text(Language language, MessageId id, std::initializer_list<std::string_view> values) {
    return Fill(Wording(language, id), std::vector<std::string>(values.begin(), values.end()));
}

std::string DepthDoseFailureText(Language language, const Message& cause) {
    return Text(language, MessageId::DepthDoseFailed) + "\n" + cause.In(language);
}

} // namespace veltrim
