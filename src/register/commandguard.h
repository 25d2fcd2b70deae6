#pragma once

#include "core/messageservice.h"

#include <functional>

namespace kelvo {

// Runs one command (a menu item, a button, a start-up handler) so that a failure
// ends only that command: a DbError or any other exception is shown in the
// default error box and the program carries on. Returns true when the command
// ran to its end.
bool runCommand(MessageService& messages, const std::function<void()>& command);

} // namespace kelvo
