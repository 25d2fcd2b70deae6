#include "ftptestserver.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kelvo::test {
namespace {

// pyftpdlib comes from the system's package, so the system's interpreter is
// the one that has it, even where another python3 is first on the path.
QString systemPython()
{
    if (QFileInfo(QStringLiteral("/usr/bin/python3")).isExecutable())
        return QStringLiteral("/usr/bin/python3");
    return QStandardPaths::findExecutable(QStringLiteral("python3"));
}

} // namespace

FtpTestServer::FtpTestServer(const QString& root, const QString& user, const QString& password)
{
    process_.setStandardErrorFile(QProcess::nullDevice());
    process_.start(systemPython(), {QStringLiteral(KELVO_FTP_SERVER_SCRIPT), root, user, password});
    const QDeadlineTimer deadline(10000);
    while (lines_.isEmpty() && !deadline.hasExpired() && process_.state() != QProcess::NotRunning) {
        process_.waitForReadyRead(100);
        readOutput();
    }
    if (lines_.isEmpty()) {
        ADD_FAILURE() << "the FTP server did not start (python3-pyftpdlib installed?)";
        return;
    }
    port_ = lines_.takeFirst().toInt();
}

FtpTestServer::~FtpTestServer()
{
    process_.kill();
    process_.waitForFinished(5000);
}

void FtpTestServer::readOutput()
{
    pending_ += process_.readAllStandardOutput();
    for (qsizetype end = pending_.indexOf('\n'); end >= 0; end = pending_.indexOf('\n')) {
        lines_ << QString::fromUtf8(pending_.left(end)).trimmed();
        pending_.remove(0, end + 1);
    }
}

QStringList FtpTestServer::commands()
{
    process_.waitForReadyRead(0);
    readOutput();
    QStringList verbs;
    for (const QString& line : lines_) {
        if (line.startsWith(QLatin1String("CMD ")))
            verbs << line.mid(4);
    }
    return verbs;
}

bool FtpTestServer::waitForDisconnect(int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!lines_.contains(QLatin1String("DISCONNECT"))) {
        if (deadline.hasExpired())
            return false;
        process_.waitForReadyRead(50);
        readOutput();
    }
    return true;
}

LoopbackPort::LoopbackPort(Mode mode)
{
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        (mode == Mode::Silent && ::listen(fd_, 8) != 0) ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ADD_FAILURE() << "cannot set up a loopback port";
        return;
    }
    port_ = ntohs(address.sin_port);
}

LoopbackPort::~LoopbackPort()
{
    if (fd_ >= 0)
        ::close(fd_);
}

} // namespace kelvo::test
