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
    // A question the user answers yes or no; where nobody can answer, the
    // question is told and the answer is no.
    virtual bool Ask(const std::string& question) {
        Show(question);
        return false;
    }
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
    bool Ask(const std::string& question) override {
        Questions.push_back(question);
        return Answer;
    }
    std::vector<std::string> Messages;
    std::vector<std::string> Questions;
    bool Answer = false; // what every question is answered
};

} // namespace veltrim
