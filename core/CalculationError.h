#pragma once

#include "core/Messages.h"

#include <stdexcept>
#include <utility>
#include <vector>

namespace veltrim {

// A calculation step that cannot form its result: the cause, in words the
// user can act on, to be told in the edition's language. what() holds the
// English wording for logs and the command line.
class CalculationError : public std::runtime_error {
  public:
    explicit CalculationError(Message cause)
        : std::runtime_error(cause.In(Language::English)), cause_(std::move(cause)) {}
    const Message& Cause() const { return cause_; }

  private:
    Message cause_;
};

[[noreturn]] inline void FailCalculation(MessageId id,
                                         std::vector<Message::Argument> arguments = {}) {
    throw CalculationError(Message(id, std::move(arguments)));
}

} // namespace veltrim
