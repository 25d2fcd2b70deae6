#include "maintenance/versionstamp.h"
#include "printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kelvo;

namespace {

struct ServerStampCase {
    const char* name;
    QByteArray content;
    QString stamp;
};

class ServerStampTest : public testing::TestWithParam<ServerStampCase> {};

TEST_P(ServerStampTest, TakesThirdFieldOfSecondLine)
{
    EXPECT_EQ(serverStampFromVersionFile(GetParam().content), GetParam().stamp);
}

INSTANTIATE_TEST_SUITE_P(
    VersionFiles, ServerStampTest,
    testing::Values(ServerStampCase{"CrLf", "zerut\r\n1.0\tsetup\t2014-11-15 10:00:00\tx\r\n",
                                    "2014-11-15 10:00:00"},
                    ServerStampCase{"LfOnly", "zerut\n1.0\tsetup\t2014-11-15 10:00:00\n",
                                    "2014-11-15 10:00:00"},
                    ServerStampCase{"CrOnly", "zerut\r1.0\tsetup\t2014-11-15 10:00:00\r",
                                    "2014-11-15 10:00:00"},
                    ServerStampCase{"CutAfter19", "a\nb\tc\t2014-11-15 10:00:00.123\n",
                                    "2014-11-15 10:00:00"},
                    ServerStampCase{"DateOnly", "a\nb\tc\t2014-11-15", "2014-11-15"},
                    ServerStampCase{"EmptyThirdField", "a\nb\t\t\t2014-11-15 10:00:00", ""},
                    ServerStampCase{"TwoFields", "a\nb\t2014-11-15 10:00:00\n", ""},
                    ServerStampCase{"EmptySecondLine", "a\n\nb\tc\t2014-11-15 10:00:00\n", ""},
                    ServerStampCase{"OneLineWithBreak", "a\tb\t2014-11-15 10:00:00\r\n", ""},
                    ServerStampCase{"OneLine", "a\tb\t2014-11-15 10:00:00", ""},
                    ServerStampCase{"Empty", "", ""},
                    ServerStampCase{"NulsAround", QByteArray("ze\0rut\r\n\0\tx\t2014-11-15 10:00:00\0\0\r\n", 35),
                                    "2014-11-15 10:00:00"},
                    ServerStampCase{"NulInsideTheStamp", QByteArray("a\nb\tc\t2014\0-11", 14),
                                    QString::fromLatin1("2014\0-11", 8)},
                    ServerStampCase{"NoLineBreakAtAll", "zerut 1.0 setup 2014-11-15 10:00:00", ""},
                    ServerStampCase{"TenMegabytes",
                                    "a\nb\tc\t2014-11-15 10:00:00" + QByteArray(10 * 1024 * 1024, 'x'),
                                    "2014-11-15 10:00:00"}),
    [](const testing::TestParamInfo<ServerStampCase>& info) { return info.param.name; });

TEST(LocalStampTest, TwoSecondResolutionAndTwoDigitHour)
{
    const QDate day(2014, 10, 1);
    const struct {
        QTime time;
        const char* stamp;
    } cases[] = {
        {QTime(9, 5, 7), "2014-10-01 09:05:06"},       {QTime(9, 5, 6), "2014-10-01 09:05:06"},
        {QTime(14, 5, 6, 999), "2014-10-01 14:05:06"}, {QTime(0, 0, 1), "2014-10-01 00:00:00"},
        {QTime(23, 59, 59), "2014-10-01 23:59:58"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(localStampFromTime(QDateTime(day, c.time)), QLatin1String(c.stamp)) << c.stamp;
}

TEST(LocalStampTest, UsesLocalTime)
{
    // 7:05:07 UTC is 9:05:07 in Prague in summer time.
    const QDateTime utc(QDate(2014, 10, 1), QTime(7, 5, 7), Qt::UTC);
    EXPECT_EQ(localStampFromTime(utc), QLatin1String("2014-10-01 09:05:06"));
}

TEST(LocalStampTest, ComesFromTheFileModificationTime)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kelvo"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.setFileTime(QDateTime(QDate(2014, 10, 1), QTime(9, 5, 7)),
                                 QFileDevice::FileModificationTime));
    file.close();

    EXPECT_EQ(localStampOfFile(path), QLatin1String("2014-10-01 09:05:06"));
    EXPECT_EQ(localStampOfFile(dir.filePath(QStringLiteral("missing"))), QString());
}

TEST(StampComparisonTest, ComparesWithoutSeparatorsByCharacterCode)
{
    const QString local = QStringLiteral("2014-10-01 09:05:06");
    EXPECT_EQ(withoutSeparators(local), QLatin1String("20141001090506"));

    const struct {
        const char* server;
        const char* local;
        bool newer;
    } cases[] = {
        {"2014-11-15 10:00:00", "2014-10-01 09:05:06", true},
        {"2014-10-01 09:05:06", "2014-10-01 09:05:06", false},
        {"2014-10-01 09:05:04", "2014-10-01 09:05:06", false},
        // A date-only stamp differs from the local one at the sixth character...
        {"2014-11-15", "2014-10-01 09:05:06", true},
        // ...or is a beginning of it, and then the shorter text is the smaller.
        {"2014-11-15", "2014-11-15 08:00:00", false},
        {"2014-11-15 08:00:00", "", true},
        {"", "2014-10-01 09:05:06", false},
        {"", "", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(serverIsNewer(withoutSeparators(QLatin1String(c.server)),
                                withoutSeparators(QLatin1String(c.local))),
                  c.newer)
            << c.server << " against " << c.local;
    }
}

TEST(PassiveSettingTest, OnlyTrueInAnyCaseMeansPassive)
{
    for (const char* yes : {"true", "True", "TRUE", "tRuE"})
        EXPECT_TRUE(passiveFromSetting(QLatin1String(yes))) << yes;
    for (const char* no : {"1", "yes", "false", "", "truer"})
        EXPECT_FALSE(passiveFromSetting(QLatin1String(no))) << no;
}

TEST(VersionLogTest, WritesTwoLinesWithCrLf)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("verze.log"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older and much longer log that must not shine through\r\n");
    old.close();

    QString error;
    ASSERT_TRUE(writeVersionLog(dir.path(), QStringLiteral("2014-10-01 09:05:06"),
                                QStringLiteral("2014-11-15 10:00:00"), &error))
        << error.toStdString();
    QFile log(path);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll(), QByteArray("Verze programu: 2014-10-01 09:05:06\r\n"
                                        "Verze internet: 2014-11-15 10:00:00\r\n"));
}

TEST(VersionLogTest, ReportsWhyItCannotWrite)
{
    QTemporaryDir dir;
    // A directory in the way fails the write even for a superuser.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("verze.log")));
    QString error;
    EXPECT_FALSE(writeVersionLog(dir.path(), QString(), QString(), &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
