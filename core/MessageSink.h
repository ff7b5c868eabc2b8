#pragma once

#include <string>
#include <vector>

namespace veltrim {

// Everything the computation has to tell the user goes through this one
// interface: the window shows a modal message box, the command line writes
// to stderr, tests record. Nothing in the library blocks on a dialog itself.
class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual void Show(const std::string& text) = 0;
};

// Writes each message as one line to standard error.
class StderrSink final : public MessageSink {
  public:
    void Show(const std::string& text) override;
};

// Keeps every message, for tests and for callers that decide later.
class RecordingSink final : public MessageSink {
  public:
    void Show(const std::string& text) override { Messages.push_back(text); }
    std::vector<std::string> Messages;
};

} // namespace veltrim
