#pragma once

#include "core/messageservice.h"

namespace kelvo {

// The program's message boxes as Qt shows them: modal, over the active window,
// with the Czech button captions; the first button answers 1, the second 2.
class QtMessageService final : public MessageService {
  public:
    int show(const Message& message) override;
    void showError(const QString& text) override;
    void beep() override;
};

} // namespace kelvo
