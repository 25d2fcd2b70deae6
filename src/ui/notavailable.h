#pragma once

#include "core/messageservice.h"

namespace kelvo {

// What a command says until its behaviour is built.
inline void showNotAvailable(MessageService& messages) {
    messages.show(infoMessage(QStringLiteral("Tato funkce zatím není k dispozici.")));
}

} // namespace kelvo
