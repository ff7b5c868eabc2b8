#pragma once

#include "core/MessageSink.h"

namespace veltrim {

// The window's way of telling the user: a modal message box with an OK button
// only, no icon, titled with the application's title, over the active window.
class MessageBoxSink final : public MessageSink {
  public:
    void Show(const std::string& text) override;
};

} // namespace veltrim
