#include "db/schemaupgrade.h"
#include "db/settingsfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kelvo;

namespace {

// Bytes of every value, the same at every run.
QByteArray garbage(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 state = 12345;
    for (char& b : bytes) {
        state = state * 1103515245u + 12345u;
        b = char(state >> 24);
    }
    return bytes;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& content)
{
    QFile file(dir.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(content);
    return file.fileName();
}

} // namespace

TEST(SettingsFile, ConnectionDefaultsWhenFileIsMissingOrOdd)
{
    QTemporaryDir dir;
    struct Case {
        const char* name;
        QByteArray content;  // empty: no file at all
        ConnectionParams expected;
    };
    // The length is taken from the literal: a hand-counted one read past its end.
    static const char kJunk[] = "\x00\xff[\x01=\x02\n=\n[LogOn\nIP\n";
    const ConnectionParams defaults;
    ConnectionParams custom;
    custom.host = QStringLiteral("db.example");
    custom.port = 3307;
    custom.user = QStringLiteral("účetní");
    custom.password = QString();
    ConnectionParams badPort = defaults;
    badPort.host = QStringLiteral("10.0.0.5");
    const Case cases[] = {
        {"no file", {}, defaults},
        {"other sections only", "[Tfservis]\nsuiComboBox1_ItemIndex=1\n", defaults},
        {"odd case, empty password", "[LOGON]\r\nip=db.example\r\nPORT=3307\r\nuser=účetní\r\npassword=\r\n", custom},
        {"port not a number", "[logon]\nIP=10.0.0.5\nPort=33o6\n", badPort},
        {"binary junk", QByteArray(kJunk, sizeof kJunk - 1), defaults},
        {"a megabyte of garbage", garbage(1024 * 1024), defaults},
        {"the section after a megabyte of garbage",
         garbage(1024 * 1024) + "\r\n[LOGON]\r\nip=db.example\r\nPORT=3307\r\nuser=účetní\r\n", custom},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = c.content.isEmpty() ? dir.filePath(QStringLiteral("none.ini"))
                                                 : writeFile(dir, QStringLiteral("kelvo.ini"), c.content);
        const ConnectionParams p = connectionParamsFrom(SettingsFile(path));
        EXPECT_EQ(p.host, c.expected.host);
        EXPECT_EQ(p.port, c.expected.port);
        EXPECT_EQ(p.user, c.expected.user);
        EXPECT_EQ(p.password, c.expected.password);
        EXPECT_EQ(p.database, QStringLiteral("kelvo"));
    }
}

TEST(SettingsFile, EmptyValueIsEmptyAndRepeatedSectionReadsTheFirst)
{
    QTemporaryDir dir;
    const SettingsFile s(writeFile(dir, QStringLiteral("kelvo.ini"),
                                   "[LogOn]\nPassword=\nUser = jana \n[Other]\nx=1\n[logon]\nUser=petr\nIP=h\n"));
    EXPECT_EQ(s.readString("LogOn", "Password", "default"), QString(""));
    EXPECT_EQ(s.readString("logon", "USER", "root"), QStringLiteral("jana"));
    EXPECT_EQ(s.readString("LogOn", "IP", "localhost"), QStringLiteral("localhost"));
    EXPECT_EQ(s.readInt("Other", "x", 7), 1);
    EXPECT_EQ(s.readInt("Other", "missing", 7), 7);
}

TEST(SettingsFile, WriteKeepsTheRestOfTheFile)
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("kelvo.ini"),
                                   "; comment\n[LogOn]\nIP=server\n\n[TFSERVIS]\nFormVersion=0\n");
    const SettingsFile s(path);
    ASSERT_TRUE(s.writeString("Tfservis", "suiComboBox1_ItemIndex", "1"));
    ASSERT_TRUE(s.writeString("Tfservis", "FormVersion", "0"));
    ASSERT_TRUE(s.writeString("TForm1", "FormVersion", "0"));
    EXPECT_EQ(s.readInt("tfservis", "SUICOMBOBOX1_ITEMINDEX", 0), 1);
    EXPECT_EQ(s.readString("LogOn", "IP", ""), QStringLiteral("server"));
    EXPECT_EQ(s.readInt("TForm1", "FormVersion", -1), 0);
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.startsWith("; comment\r\n[LogOn]\r\nIP=server\r\n")) << text.toStdString();
    EXPECT_EQ(text.count("FormVersion"), 2);
}

TEST(SettingsFile, WriteLeavesOtherLinesByteForByteAndRefusesAFileTooLargeToKeep)
{
    QTemporaryDir dir;
    const QByteArray cp1250Password = "Password=\xF8\xE1\x9A";
    const QByteArray junk = "\x01\x02junk\xff\xfe";
    const QString path = writeFile(dir, QStringLiteral("kelvo.ini"), "[LogOn]\r\n" + cp1250Password + "\r\n" + junk + "\r\n");
    const SettingsFile s(path);
    ASSERT_TRUE(s.writeString("LogOn", "User", "jana"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "[LogOn]\r\n" + cp1250Password + "\r\n" + junk + "\r\nUser=jana\r\n");

    // Only the first 4 MB are read; writing the rest back would cut it off.
    const QByteArray big = "[LogOn]\r\nIP=server\r\n" + garbage(5 * 1024 * 1024);
    const SettingsFile large(writeFile(dir, QStringLiteral("large.ini"), big));
    QString error;
    EXPECT_FALSE(large.writeString("LogOn", "User", "jana", &error));
    EXPECT_TRUE(error.contains("větší než 4 MB")) << error.toStdString();
    QFile largeFile(large.path());
    ASSERT_TRUE(largeFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(largeFile.readAll() == big);
    EXPECT_EQ(large.readString("LogOn", "IP", ""), QStringLiteral("server"));
}

TEST(SettingsFile, FoundWhateverTheLetterCaseOnDisk)
{
    QTemporaryDir dir;
    writeFile(dir, QStringLiteral("KELVO.INI"), "[Tfservis]\nsuiComboBox1_ItemIndex=1\n");
    const SettingsFile fixed = SettingsFile::inDirectory(dir.path(), QStringLiteral("kelvo.ini"));
    const SettingsFile byExe = SettingsFile::forExecutable(dir.filePath(QStringLiteral("kelvo")));
    EXPECT_EQ(fixed.path(), byExe.path());
    EXPECT_EQ(byExe.readInt("Tfservis", "suiComboBox1_ItemIndex", 0), 1);
    // Another executable name reads its own file.
    EXPECT_NE(SettingsFile::forExecutable(dir.filePath(QStringLiteral("kelvo2"))).path(), fixed.path());
    // Without a file the path names it in lower case, beside the executable.
    QTemporaryDir empty;
    EXPECT_EQ(SettingsFile::forExecutable(empty.filePath(QStringLiteral("kelvo"))).path(),
              empty.filePath(QStringLiteral("kelvo.ini")));
}
