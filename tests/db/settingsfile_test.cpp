#include "db/schemaupgrade.h"
#include "db/settingsfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kelvo;

namespace {

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
        {"binary junk", QByteArray("\x00\xff[\x01=\x02\n=\n[LogOn\nIP\n", 24), defaults},
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
