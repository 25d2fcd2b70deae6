#include "register/commandguard.h"

#include "db/dberror.h"

#include <exception>

namespace kelvo {

bool runCommand(MessageService& messages, const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const DbError& error) {
        messages.showError(error.message());
    } catch (const std::exception& error) {
        messages.showError(QString::fromUtf8(error.what()));
    }
    return false;
}

} // namespace kelvo
