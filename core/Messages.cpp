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

// "M<id>:<count>:" and each value, "P<size>:<bytes>" or "N" and a message.
namespace {

void Encode(const Message& message, std::string& out) {
    out += "M" + std::to_string(static_cast<int>(message.Id())) + ":" +
           std::to_string(message.Arguments().size()) + ":";
    for (const Message::Argument& a : message.Arguments()) {
        if (a.Nested) {
            out += "N";
            Encode(*a.Nested, out);
        } else {
            out += "P" + std::to_string(a.Plain.size()) + ":" + a.Plain;
        }
    }
}

// A count up to `most` followed by ':', or nothing.
std::optional<std::size_t> Count(std::string_view& bytes, std::size_t most) {
    std::size_t value = 0, digits = 0;
    while (digits < bytes.size() && bytes[digits] >= '0' && bytes[digits] <= '9' && digits < 10)
        value = value * 10 + static_cast<std::size_t>(bytes[digits++] - '0');
    if (digits == 0 || digits >= bytes.size() || bytes[digits] != ':' || value > most)
        return std::nullopt;
    bytes.remove_prefix(digits + 1);
    return value;
}

std::optional<Message> Decode(std::string_view& bytes, int depth) {
    // Deeper than any message made here nests (a list nests in halves).
    if (depth > 64 || bytes.empty() || bytes.front() != 'M')
        return std::nullopt;
    bytes.remove_prefix(1);
    const auto id = Count(bytes, static_cast<std::size_t>(MessageId::Count) - 1);
    const auto count = id ? Count(bytes, 9) : std::nullopt;
    if (!count)
        return std::nullopt;
    std::vector<Message::Argument> arguments;
    for (std::size_t k = 0; k < *count; ++k) {
        if (bytes.empty())
            return std::nullopt;
        const char kind = bytes.front();
        bytes.remove_prefix(1);
        if (kind == 'N') {
            const std::optional<Message> nested = Decode(bytes, depth + 1);
            if (!nested)
                return std::nullopt;
            arguments.push_back(Arg(*nested));
        } else if (const auto size = kind == 'P' ? Count(bytes, bytes.size()) : std::nullopt;
                   size && *size <= bytes.size()) {
            arguments.push_back(Arg(std::string(bytes.substr(0, *size))));
            bytes.remove_prefix(*size);
        } else {
            return std::nullopt;
        }
    }
    return Message(static_cast<MessageId>(*id), std::move(arguments));
}

} // namespace

std::string EncodedMessage(const Message& message) {
    std::string out;
    Encode(message, out);
    return out;
}

std::optional<Message> DecodedMessage(std::string_view bytes) {
    std::optional<Message> message = Decode(bytes, 0);
    return bytes.empty() ? message : std::nullopt;
}

std::string Text(Language language, MessageId id, std::initializer_list<std::string_view> values) {
    return Fill(Wording(language, id), std::vector<std::string>(values.begin(), values.end()));
}

std::string DepthDoseFailureText(Language language, const Message& cause) {
    return Text(language, MessageId::DepthDoseFailed) + "\n" + cause.In(language);
}

} // namespace veltrim
