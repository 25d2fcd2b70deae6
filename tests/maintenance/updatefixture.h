#pragma once

#include "ftptestserver.h"
#include "maintenance/updatecheck.h"
#include "printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kelvo::test {

// A temporary world for one update check: the server's root, the directory the
// downloads land in, and the program's directory with a program file last
// written on 1 October 2014 at 9:05:07 (local stamp 2014-10-01 09:05:06).
class UpdateFixture : public testing::Test {
protected:
    static constexpr const char* kUser = "trenix";
    static constexpr const char* kPassword = "tajne heslo";
    static inline const QString kLocalStamp = QStringLiteral("2014-10-01 09:05:06");
    static inline const QString kNewerStamp = QStringLiteral("2014-11-15 10:00:00");

    void SetUp() override
    {
        ASSERT_TRUE(temp_.isValid());
        for (const QString& dir : {serverRoot(), downloads(), programDir()})
            ASSERT_TRUE(QDir().mkpath(dir));
        QFile program(programFile());
        ASSERT_TRUE(program.open(QIODevice::WriteOnly));
        ASSERT_TRUE(program.setFileTime(QDateTime(QDate(2014, 10, 1), QTime(9, 5, 7)),
                                        QFileDevice::FileModificationTime));
    }

    QString serverRoot() const { return temp_.filePath(QStringLiteral("server")); }
    QString downloads() const { return temp_.filePath(QStringLiteral("downloads")); }
    QString programDir() const { return temp_.filePath(QStringLiteral("program")); }
    QString programFile() const { return programDir() + QStringLiteral("/kelvo"); }
    UpdatePlaces places() const { return {downloads(), programFile(), programDir()}; }

    FtpServerSettings serverAt(int port, bool passive = true) const
    {
        return {QStringLiteral("127.0.0.1"), QString::number(port), QLatin1String(kUser),
                QLatin1String(kPassword), passive};
    }

    static void writeFile(const QString& path, const QByteArray& content)
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Puts a file on the server, `relative` to its root (the login directory).
    void serve(const QString& relative, const QByteArray& content)
    {
        writeFile(serverRoot() + u'/' + relative, content);
    }
    static QByteArray versionFile(const QString& stamp)
    {
        return "ZERUT\r\n2.1\tsetupkelvo.exe\t" + stamp.toLatin1() + "\t1234567\r\nkonec\r\n";
    }
    // Every byte value, CR, LF and NUL among them, many times over: a transfer
    // that is not binary or not complete changes it.
    static QByteArray installerBytes()
    {
        QByteArray bytes;
        for (int i = 0; i < 256 * 300; ++i)
            bytes.append(char(i % 256));
        return bytes;
    }

private:
    QTemporaryDir temp_;
};

} // namespace kelvo::test
