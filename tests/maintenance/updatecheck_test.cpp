#include "db/settingsfile.h"
#include "maintenance/updatecommand.h"
#include "updatefixture.h"

#include <QElapsedTimer>
#include <QTimer>

using namespace kelvo;
using namespace kelvo::test;

namespace {

class UpdateCheckTest : public UpdateFixture {
protected:
    UpdateOutcome check(const FtpServerSettings& server, FtpWaiting waiting = {})
    {
        return UpdateCheck(server, UpdateFiles{}, places(), std::move(waiting)).run();
    }
    QString downloaded(const char* name) const { return downloads() + u'/' + QLatin1String(name); }
};

TEST_F(UpdateCheckTest, NewerVersionDownloadsInstallerByteForByte)
{
    serve(QStringLiteral("trenix/zerut/setupkelvo.ver"), versionFile(kNewerStamp));
    serve(QStringLiteral("trenix/zerut/setupkelvo.exe"), installerBytes());
    serve(QStringLiteral("setupkelvo.exe"), "not the one in the folder");
    FtpTestServer server(serverRoot(), QLatin1String(kUser), QLatin1String(kPassword));

    const UpdateOutcome outcome = check(serverAt(server.port()));

    EXPECT_EQ(outcome.code, u"A");
    EXPECT_TRUE(outcome.versionFileRead);
    EXPECT_EQ(outcome.installerPath, downloaded("setupkelvo.exe"));
    EXPECT_TRUE(readFile(downloaded("setupkelvo.exe")) == installerBytes());
    EXPECT_EQ(readFile(downloaded("setupkelvo.ver")), versionFile(kNewerStamp));
    EXPECT_EQ(readFile(programDir() + QStringLiteral("/verze.log")),
              QByteArray("Verze programu: 2014-10-01 09:05:06\r\n"
                         "Verze internet: 2014-11-15 10:00:00\r\n"));
    // The connection is cut, not closed politely.
    ASSERT_TRUE(server.waitForDisconnect());
    EXPECT_EQ(server.commands().count(QStringLiteral("RETR")), 2);
    EXPECT_FALSE(server.commands().contains(QStringLiteral("QUIT")));
}

TEST_F(UpdateCheckTest, EqualStampsGiveNAndNoInstaller)
{
    serve(QStringLiteral("trenix/zerut/setupkelvo.ver"), versionFile(kLocalStamp));
    serve(QStringLiteral("trenix/zerut/setupkelvo.exe"), installerBytes());
    FtpTestServer server(serverRoot(), QLatin1String(kUser), QLatin1String(kPassword));

    const UpdateOutcome outcome = check(serverAt(server.port()));

    EXPECT_EQ(outcome.code, u"N");
    EXPECT_TRUE(outcome.versionFileRead);
    EXPECT_FALSE(QFile::exists(downloaded("setupkelvo.exe")));
}

TEST_F(UpdateCheckTest, MissingFolderFallsBackToLoginDirectory)
{
    serve(QStringLiteral("setupkelvo.ver"), versionFile(kNewerStamp));
    serve(QStringLiteral("setupkelvo.exe"), installerBytes());
    FtpTestServer server(serverRoot(), QLatin1String(kUser), QLatin1String(kPassword));

    EXPECT_EQ(check(serverAt(server.port())).code, u"A");
    EXPECT_TRUE(readFile(downloaded("setupkelvo.exe")) == installerBytes());
}

TEST_F(UpdateCheckTest, VersionFileWithOneLineGivesN)
{
    serve(QStringLiteral("trenix/zerut/setupkelvo.ver"), "a\tb\t2014-11-15 10:00:00\r\n");
    serve(QStringLiteral("trenix/zerut/setupkelvo.exe"), installerBytes());
    FtpTestServer server(serverRoot(), QLatin1String(kUser), QLatin1String(kPassword));

    EXPECT_EQ(check(serverAt(server.port())).code, u"N");
    EXPECT_FALSE(QFile::exists(downloaded("setupkelvo.exe")));
    EXPECT_EQ(readFile(programDir() + QStringLiteral("/verze.log")),
              QByteArray("Verze programu: 2014-10-01 09:05:06\r\nVerze internet: \r\n"));
}

// A broken server's 10 MB version file is read only as far as its start.
TEST_F(UpdateCheckTest, HugeVersionFileIsReadByItsStart)
{
    serve(QStringLiteral("trenix/zerut/setupkelvo.ver"),
          versionFile(kNewerStamp) + QByteArray(10 * 1024 * 1024, '\0'));
    serve(QStringLiteral("trenix/zerut/setupkelvo.exe"), installerBytes());
    FtpTestServer server(serverRoot(), QLatin1String(kUser), QLatin1String(kPassword));

    EXPECT_EQ(check(serverAt(server.port())).code, u"A");
    EXPECT_EQ(readFile(programDir() + QStringLiteral("/verze.log")),
              QByteArray("Verze programu: 2014-10-01 09:05:06\r\n"
                         "Verze internet: 2014-11-15 10:00:00\r\n"));
}

TEST_F(UpdateCheckTest, FailedInstallerDownloadLeavesEarlierFileAlone)
{
    serve(QStringLiteral("trenix/zerut/setupkelvo.ver"), versionFile(kNewerStamp));
    writeFile(downloaded("setupkelvo.exe"), "earlier installer");
    FtpTestServer server(serverRoot(), QLatin1String(kUser), QLatin1String(kPassword));

    EXPECT_EQ(check(serverAt(server.port())).code, u"E");
    EXPECT_EQ(readFile(downloaded("setupkelvo.exe")), QByteArray("earlier installer"));
    // No half-written or temporary file is left behind.
    EXPECT_EQ(QDir(downloads()).entryList(QDir::Files | QDir::Hidden),
              QStringList({QStringLiteral("setupkelvo.exe"), QStringLiteral("setupkelvo.ver")}));
}

TEST_F(UpdateCheckTest, FailuresGiveEQuickly)
{
    serve(QStringLiteral("trenix/zerut/setupkelvo.exe"), installerBytes());
    FtpTestServer server(serverRoot(), QLatin1String(kUser), QLatin1String(kPassword));
    const LoopbackPort refusing(LoopbackPort::Mode::Refusing);
    FtpServerSettings wrongPassword = serverAt(server.port());
    wrongPassword.password = QStringLiteral("wrong");
    FtpServerSettings badPort = serverAt(server.port());
    badPort.port = QStringLiteral("21x");
    // A hand-edited host must not smuggle a user or a path into the address.
    FtpServerSettings badHost = serverAt(server.port());
    badHost.host = QStringLiteral("evil@127.0.0.1");

    const struct {
        const char* what;
        FtpServerSettings server;
    } cases[] = {
        {"wrong password", wrongPassword},
        {"refused connection", serverAt(refusing.port())},
        {"port not a number", badPort},
        {"host not a name", badHost},
        {"no version file", serverAt(server.port())},
    };
    for (const auto& c : cases) {
        QElapsedTimer clock;
        clock.start();
        const UpdateOutcome outcome = check(c.server);
        EXPECT_EQ(outcome.code, u"E") << c.what;
        EXPECT_FALSE(outcome.versionFileRead) << c.what;
        EXPECT_LT(clock.elapsed(), 5000) << c.what;
    }
    EXPECT_EQ(QDir(downloads()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

TEST_F(UpdateCheckTest, SilentServerTimesOutWhileEventsKeepFlowing)
{
    const LoopbackPort silent(LoopbackPort::Mode::Silent);
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(10);
    QElapsedTimer clock;
    clock.start();

    EXPECT_EQ(check(serverAt(silent.port()), {std::chrono::milliseconds(400), {}}).code, u"E");

    EXPECT_GE(clock.elapsed(), 400);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_GE(ticks, 10) << "the application's events were not handled while waiting";
}

TEST_F(UpdateCheckTest, EndingProgramStopsTheWait)
{
    const LoopbackPort silent(LoopbackPort::Mode::Silent);
    QElapsedTimer clock;
    clock.start();
    FtpWaiting waiting;  // the product's 15 seconds
    waiting.shouldAbort = [&] { return clock.elapsed() > 200; };

    EXPECT_EQ(check(serverAt(silent.port()), waiting).code, u"E");
    EXPECT_LT(clock.elapsed(), 5000);
}

// The setting "FTPPassive" chooses the transfer mode the server sees.
class TransferModeTest : public UpdateFixture,
                         public testing::WithParamInterface<std::pair<const char*, bool>> {};

TEST_P(TransferModeTest, FollowsThePassiveSetting)
{
    const auto [value, passive] = GetParam();
    serve(QStringLiteral("trenix/zerut/setupkelvo.ver"), versionFile(kNewerStamp));
    serve(QStringLiteral("trenix/zerut/setupkelvo.exe"), installerBytes());
    FtpTestServer server(serverRoot(), QLatin1String(kUser), QLatin1String(kPassword));
    writeFile(programDir() + QStringLiteral("/kelvo.ini"),
              QStringLiteral("[LogOn]\r\nFTP=127.0.0.1\r\nFTPport=%1\r\nFTPuser=%2\r\n"
                             "FTPpassword=%3\r\nFTPPassive=%4\r\n")
                  .arg(server.port())
                  .arg(QLatin1String(kUser), QLatin1String(kPassword), QLatin1String(value))
                  .toUtf8());
    const FtpServerSettings settings = UpdateCommand::readServerSettings(
        SettingsFile(programDir() + QStringLiteral("/kelvo.ini")));

    EXPECT_EQ(UpdateCheck(settings, UpdateFiles{}, places()).run().code, u"A");
    EXPECT_TRUE(readFile(downloads() + QStringLiteral("/setupkelvo.exe")) == installerBytes());

    const QStringList commands = server.commands();
    const bool sawPassive =
        commands.contains(QStringLiteral("EPSV")) || commands.contains(QStringLiteral("PASV"));
    const bool sawActive =
        commands.contains(QStringLiteral("EPRT")) || commands.contains(QStringLiteral("PORT"));
    EXPECT_EQ(sawPassive, passive) << commands.join(u' ').toStdString();
    EXPECT_EQ(sawActive, !passive) << commands.join(u' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Settings, TransferModeTest,
                         testing::Values(std::pair{"true", true}, std::pair{"True", true},
                                         std::pair{"TRUE", true}, std::pair{"1", false}));

} // namespace
