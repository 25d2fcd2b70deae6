#pragma once

#include <QString>
#include <chrono>
#include <functional>
#include <memory>

namespace kelvo {

struct FtpServerSettings {
    QString host;
    QString port;  // as text, as the settings file holds it
    QString user;
    QString password;
    bool passive = false;
};

// How an FTP operation waits for the server.
struct FtpWaiting {
    // An operation fails when the server has sent nothing for this long.
    std::chrono::milliseconds timeout{15000};
    // Asked between waits; true stops the operation at once (the program is ending).
    std::function<bool()> shouldAbort;
};

// An FTP client whose operations block the caller, not the program: while one
// waits for the server, the application's events keep being handled, so the
// windows repaint. Every operation reports success as yes or no; none throws.
//
// The client does not bind its sockets to a chosen local address: the system
// picks the one that routes to the server, and in active mode the address the
// server is told to connect back to is that of the control connection.
class FtpClient {
public:
    FtpClient(FtpServerSettings settings, FtpWaiting waiting);
    ~FtpClient();
    FtpClient(const FtpClient&) = delete;
    FtpClient& operator=(const FtpClient&) = delete;

    // Opens the control connection and logs in.
    bool connect();
    // Changes to `folder` (relative to the login directory). When the server
    // refuses, the client stays where it was; the caller need not look.
    void changeDirectory(const QString& folder);
    // Downloads `remoteName` from the current directory, in binary, into
    // `localPath`. The file is written under a temporary name and put in place
    // only when the whole transfer succeeded; a failed download leaves an
    // earlier file of that name as it was.
    bool download(const QString& remoteName, const QString& localPath);
    // Closes the control and data connections at once, without saying goodbye
    // to the server, so that a silent server cannot hold the program up.
    // Every operation after it fails.
    void abort();

private:
    struct Curl;
    bool usable() const;

    std::unique_ptr<Curl> curl_;
    FtpServerSettings settings_;
    FtpWaiting waiting_;
    QString folder_;  // where the server put us, relative to the login directory
};

} // namespace kelvo
