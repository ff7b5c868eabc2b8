#pragma once

#include "core/MessageSink.h"

namespace veltrim {

// The window's way of telling the user: a modal message box with an OK button
// only, no icon, titled with the application's title, over the active window;
// a question the same way with Yes and No, No the default.
class MessageBoxSink final : public MessageSink {
  public:
    void Show(const std::string& text) override;
    bool Ask(const std::string& question) override;
};

} // namespace veltrim
