#pragma once

#include <QString>
#include <stdexcept>

namespace kelvo {

// A database failure: a statement the server refused, a connection that could
// not be opened or was lost, text the connection's code page cannot carry.
// It ends the command that met it; the command handler shows `message()` in the
// default error box.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& message, unsigned int code = 0)
        : std::runtime_error(message.toStdString()), message_(message), code_(code)
    {
    }
    const QString& message() const { return message_; }
    // The server's or client library's error number, 0 for our own checks.
    unsigned int code() const { return code_; }

private:
    QString message_;
    unsigned int code_;
};

} // namespace kelvo
