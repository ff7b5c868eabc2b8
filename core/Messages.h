#pragma once

#include "core/Language.h"
#include "core/MessageIds.h"

#include <array>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace veltrim {

struct MessageText {
    MessageId Id;
    std::string_view Text; // UTF-8
};

// The wordings of one language, one entry per MessageId.
std::span<const MessageText> MessageTable(Language language);
// The two tables.
using MessageTexts = std::array<MessageText, static_cast<std::size_t>(MessageId::Count)>;
extern const MessageTexts EnglishTexts;
extern const MessageTexts JapaneseTexts;

// A message not yet put into words: which one, and the values it names. A
// value may itself be a message, put into the same language.
class Message {
  public:
    struct Argument {
        std::string Plain;
        std::shared_ptr<const Message> Nested;
    };

    Message() = default;
    explicit Message(MessageId id, std::vector<Argument> arguments = {});

    MessageId Id() const { return id_; }
    const std::vector<Argument>& Arguments() const { return arguments_; }
    std::string In(Language language) const;

  private:
    MessageId id_ = MessageId::DepthDoseFailed;
    std::vector<Argument> arguments_;
};

Message::Argument Arg(std::string text);
Message::Argument Arg(const char* text);
Message::Argument Arg(double value); // six significant digits, as streams print
Message::Argument Arg(int value);
Message::Argument Arg(const Message& nested);

// A message as bytes, to cross a boundary no exception crosses (the dose
// record's module): its id and values, nested ones within. Read back only by
// the same build; anything else is no message.
std::string EncodedMessage(const Message& message);
std::optional<Message> DecodedMessage(std::string_view bytes);

// The wording of `id` in `language` as the table holds it, placeholders and all.
std::string_view Wording(Language language, MessageId id);

// The wording of `id` in `language` with {1}, {2}, ... replaced.
std::string Text(Language language, MessageId id,
                 std::initializer_list<std::string_view> values = {});

// The failure message of the window: the fixed first line, then the cause.
std::string DepthDoseFailureText(Language language, const Message& cause);

// A failure told by a message: Problem() in the edition's language, what()
// in English for logs and the command line.
class MessageError : public std::runtime_error {
  public:
    explicit MessageError(const Message& problem)
        : std::runtime_error(problem.In(Language::English)), problem_(problem) {}
    const Message& Problem() const { return problem_; }

  private:
    Message problem_;
};

} // namespace veltrim
