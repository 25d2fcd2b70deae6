#include "mariadbclient.h"

#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QTemporaryFile>

namespace kelvo::bench {

namespace {

const char kMarker[] = "select now(6);\n";

// "2026-12-11 17:55:01.123456" as microseconds since the epoch; -1 when it is none.
qint64 serverMicros(const QByteArray& line) {
    const QByteArray text = line.trimmed();
    const QDateTime seconds = QDateTime::fromString(QString::fromLatin1(text.left(19)),
                                                    QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    bool ok = false;
    const qint64 micros = text.mid(20, 6).toLongLong(&ok);
    return seconds.isValid() && ok && text.size() == 26
               ? seconds.toSecsSinceEpoch() * 1000000 + micros
               : -1;
}

} // namespace

MariadbClient::MariadbClient(ConnectionParams params) : params_(std::move(params)) {}

double MariadbClient::sendMs(const QStringList& statements) const {
    // The statements go in as the program sends them: cp1250, one after another,
    // between two readings of the server's clock.
    QTemporaryFile script, output;
    if (!script.open() || !output.open())
        throw DbError(QStringLiteral("cannot write the client's files"));
    script.write(kMarker);
    for (const QString& sql : statements) {
        script.write(encodeForServer(sql));
        script.write(";\n");
    }
    script.write(kMarker);
    script.flush();

    QStringList arguments{QStringLiteral("--batch"),
                          QStringLiteral("--skip-column-names"),
                          QStringLiteral("--protocol=tcp"),
                          QStringLiteral("-h"),
                          params_.host,
                          QStringLiteral("-P"),
                          QString::number(params_.port),
                          QStringLiteral("-u"),
                          params_.user,
                          QStringLiteral("--default-character-set=cp1250")};
    if (!params_.password.isEmpty())
        arguments << QStringLiteral("--password=") + params_.password;
    arguments << params_.database;

    QProcess client;
    client.setStandardInputFile(script.fileName());
    client.setStandardOutputFile(output.fileName());
    client.start(QStringLiteral("mariadb"), arguments);
    if (!client.waitForFinished(-1) || client.exitStatus() != QProcess::NormalExit ||
        client.exitCode() != 0)
        throw DbError(QStringLiteral("mariadb client failed: ") +
                      QString::fromLocal8Bit(client.readAllStandardError()));

    // The first line is the first marker's, the last line the second's.
    QFile printed(output.fileName());
    if (!printed.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("cannot read the client's output"));
    const QByteArray first = printed.readLine();
    const qint64 size = printed.size();
    printed.seek(std::max<qint64>(0, size - 64));
    const QList<QByteArray> tail = printed.readAll().trimmed().split('\n');
    const qint64 start = serverMicros(first);
    const qint64 end = serverMicros(tail.last());
    if (start < 0 || end < 0)
        throw DbError(QStringLiteral("unexpected client output: ") +
                      QString::fromLatin1(first + " / " + tail.last()));
    return (end - start) / 1000.0;
}

} // namespace kelvo::bench
