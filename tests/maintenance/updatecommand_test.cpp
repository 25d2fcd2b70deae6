#include "core/formats.h"
#include "db/settingsfile.h"
#include "maintenance/updatecommand.h"
#include "support/scriptedmessages.h"
#include "updatefixture.h"

#include <QDeadlineTimer>
#include <QThread>
#include <QTimer>

using namespace kelvo;
using namespace kelvo::test;

namespace {

// The command with recording stand-ins for the notice window, the installer
// start and the end of the program. Each records what happened, in order, and
// how many boxes had been shown by then.
class UpdateCommandTest : public UpdateFixture {
protected:
    class Notice final : public UpdateNotice {
    public:
        explicit Notice(UpdateCommandTest& test) : test_(test) {}
        ~Notice() override { test_.record(QStringLiteral("freed")); }
        void showNotice(const QString& text) override
        {
            test_.record(QStringLiteral("show ") + text);
        }
        void closeNotice() override { test_.record(QStringLiteral("close")); }

    private:
        UpdateCommandTest& test_;
    };

    class Installer final : public InstallerStarter {
    public:
        explicit Installer(UpdateCommandTest& test) : test_(test) {}
        void start(const QString& path, const QString& workingDirectory) override
        {
            test_.record(QStringLiteral("start %1 in %2").arg(path, workingDirectory));
        }

    private:
        UpdateCommandTest& test_;
    };

    void record(const QString& event)
    {
        events << QStringLiteral("%1 (boxes: %2)").arg(event).arg(messages.shown.size());
    }

    void configure(int port)
    {
        writeFile(programDir() + QStringLiteral("/kelvo.ini"),
                  QStringLiteral("[LogON]\r\nFTP=127.0.0.1\r\nFTPport=%1\r\nFTPuser=%2\r\n"
                                 "FTPpassword=%3\r\nFTPPassive=TRUE\r\n")
                      .arg(port)
                      .arg(QLatin1String(kUser), QLatin1String(kPassword))
                      .toUtf8());
    }

    UpdateCommand command(FtpWaiting waiting = {})
    {
        return UpdateCommand(
            settings, messages, dateFormat, [this] { return std::make_unique<Notice>(*this); },
            installer, [this] { record(QStringLiteral("end")); }, places(), std::move(waiting));
    }

    void serveVersion(const QString& stamp)
    {
        serve(QStringLiteral("trenix/zerut/setupkelvo.ver"), versionFile(stamp));
        serve(QStringLiteral("trenix/zerut/setupkelvo.exe"), installerBytes());
    }

    SettingsFile settings{programDir() + QStringLiteral("/kelvo.ini")};
    ScriptedMessages messages;
    DateFormat dateFormat;
    Installer installer{*this};
    QStringList events;
};

const QString kShowNotice = QStringLiteral("show ... kontroluji verzi ... (boxes: 0)");

TEST_F(UpdateCommandTest, NewerVersionTellsUserStartsInstallerAndEndsProgram)
{
    serveVersion(kNewerStamp);
    FtpTestServer server(serverRoot(), QLatin1String(kUser), QLatin1String(kPassword));
    configure(server.port());

    command().Kontrolanovverze1Click();

    const QString installerPath = downloads() + QStringLiteral("/setupkelvo.exe");
    EXPECT_EQ(
        events,
        QStringList({kShowNotice, QStringLiteral("close (boxes: 0)"),
                     QStringLiteral("freed (boxes: 0)"),
                     QStringLiteral("start %1 in %2 (boxes: 1)").arg(installerPath, programDir()),
                     QStringLiteral("end (boxes: 1)")}));
    ASSERT_EQ(messages.shown.size(), 1u);
    const Message& box = messages.shown.front();
    EXPECT_EQ(box.text,
              QStringLiteral("Zjištěna novější verze programu. Bude spuštěna instalace!"));
    EXPECT_EQ(box.caption, QStringLiteral("Zerut"));
    EXPECT_EQ(box.icon, MessageIcon::Information);
    EXPECT_EQ(box.buttons, QStringList({QStringLiteral("OK")}));
    EXPECT_TRUE(readFile(installerPath) == installerBytes());
    EXPECT_EQ(dateFormat.pattern(), QStringLiteral("dd.MM.yyyy"));
    EXPECT_TRUE(messages.errors.isEmpty());
}

TEST_F(UpdateCommandTest, SameVersionSaysNoNewVersion)
{
    serveVersion(kLocalStamp);
    FtpTestServer server(serverRoot(), QLatin1String(kUser), QLatin1String(kPassword));
    configure(server.port());

    command().Kontrolanovverze1Click();

    EXPECT_EQ(events, QStringList({kShowNotice, QStringLiteral("close (boxes: 0)"),
                                   QStringLiteral("freed (boxes: 0)")}));
    EXPECT_EQ(messages.texts(), QStringList({QStringLiteral("Není nová verze")}));
    EXPECT_EQ(dateFormat.pattern(), QStringLiteral("dd.MM.yyyy"));
}

TEST_F(UpdateCommandTest, UnreachableServerSaysNoNewVersionAndKeepsDateFormat)
{
    const LoopbackPort refusing(LoopbackPort::Mode::Refusing);
    configure(refusing.port());

    command().Kontrolanovverze1Click();

    EXPECT_EQ(events, QStringList({kShowNotice, QStringLiteral("close (boxes: 0)"),
                                   QStringLiteral("freed (boxes: 0)")}));
    EXPECT_EQ(messages.texts(), QStringList({QStringLiteral("Není nová verze")}));
    EXPECT_EQ(dateFormat.pattern(), QStringLiteral("d.M.yyyy"));
}

TEST_F(UpdateCommandTest, UnwritableLogShowsReasonAndProgramGoesOn)
{
    serveVersion(kNewerStamp);
    ASSERT_TRUE(QDir(programDir()).mkdir(QStringLiteral("verze.log")));
    FtpTestServer server(serverRoot(), QLatin1String(kUser), QLatin1String(kPassword));
    configure(server.port());

    command().Kontrolanovverze1Click();

    EXPECT_EQ(events, QStringList({kShowNotice, QStringLiteral("close (boxes: 0)"),
                                   QStringLiteral("freed (boxes: 0)")}));
    ASSERT_EQ(messages.errors.size(), 1);
    EXPECT_TRUE(
        messages.errors.front().startsWith(QStringLiteral("Soubor verze.log nelze zapsat: ")))
        << messages.errors.front().toStdString();
    EXPECT_GT(messages.errors.front().size(), 31);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(QFile::exists(downloads() + QStringLiteral("/setupkelvo.exe")));
}

TEST_F(UpdateCommandTest, SecondClickDuringACheckIsIgnored)
{
    const LoopbackPort silent(LoopbackPort::Mode::Silent);
    configure(silent.port());
    UpdateCommand update = command({std::chrono::milliseconds(500), {}});
    QTimer::singleShot(100, [&] { update.Kontrolanovverze1Click(); });

    update.Kontrolanovverze1Click();

    EXPECT_EQ(events.filter(QStringLiteral("show ")).size(), 1) << events.join(u'\n').toStdString();
    EXPECT_EQ(messages.texts(), QStringList({QStringLiteral("Není nová verze")}));
}

TEST(ProcessInstallerStarterTest, StartsDownloadedFileFromTheWorkingDirectory)
{
    QTemporaryDir downloads;
    QTemporaryDir program;
    const QString installer = downloads.filePath(QStringLiteral("setupkelvo.exe"));
    QFile script(installer);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\npwd -P > started.tmp && mv started.tmp started\n");
    script.close();
    ASSERT_TRUE(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner));

    ProcessInstallerStarter().start(installer, program.path());

    const QString marker = program.filePath(QStringLiteral("started"));
    const QDeadlineTimer deadline(5000);
    while (!QFile::exists(marker) && !deadline.hasExpired())
        QThread::msleep(20);
    QFile started(marker);
    ASSERT_TRUE(started.open(QIODevice::ReadOnly)) << "the installer did not run";
    EXPECT_EQ(QString::fromUtf8(started.readAll()).trimmed(),
              QFileInfo(program.path()).canonicalFilePath());
}

} // namespace
