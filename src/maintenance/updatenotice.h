#pragma once

#include <QString>

namespace kelvo {

// The small window that tells the user an update check is running. It is not
// modal: the program stays usable while the check waits for the server.
class UpdateNotice {
public:
    virtual ~UpdateNotice() = default;
    virtual void showNotice(const QString& text) = 0;
    virtual void closeNotice() = 0;
};

} // namespace kelvo
