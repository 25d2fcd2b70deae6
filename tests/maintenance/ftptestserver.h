#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace kelvo::test {

// A real FTP server (pyftpdlib) on 127.0.0.1 serving `root` to one user, run
// for the lifetime of the object.
class FtpTestServer {
public:
    FtpTestServer(const QString& root, const QString& user, const QString& password);
    ~FtpTestServer();
    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    // 0 when the server did not come up (the test has then failed already).
    int port() const { return port_; }
    // The verbs of the commands the server has received so far, in order.
    QStringList commands();
    // Waits until a client session has ended; false after `milliseconds`.
    bool waitForDisconnect(int milliseconds = 5000);

private:
    void readOutput();

    QProcess process_;
    QStringList lines_;
    QByteArray pending_;
    int port_ = 0;
};

// A TCP port on 127.0.0.1 held for the lifetime of the object: either
// listening but never answering (connections are accepted by the system and
// then left silent), or not listening at all (connections are refused).
class LoopbackPort {
public:
    enum class Mode { Silent, Refusing };
    explicit LoopbackPort(Mode mode);
    ~LoopbackPort();
    LoopbackPort(const LoopbackPort&) = delete;
    LoopbackPort& operator=(const LoopbackPort&) = delete;

    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

} // namespace kelvo::test
