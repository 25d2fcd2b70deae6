#include "db/query.h"
#include "register/commandguard.h"
#include "support/qtprinters.h"
#include "support/scriptedmessages.h"
#include "support/testdatabase.h"

#include <gtest/gtest.h>
#include <QProcess>

using namespace kelvo;
using namespace kelvo::test;

namespace {

// Stops or starts the test command's server through the script that started it.
bool server(const QString& action) {
    const QString script =
        QStringLiteral("source \"%1/scripts/dbserver.sh\" && %2 \"$KELVO_TEST_DB_DATADIR\" %3")
            .arg(sourceDir(), action == QStringLiteral("stop") ? QStringLiteral("db_stop")
                                                               : QStringLiteral("db_start"))
            .arg(serverParams().port);
    return QProcess::execute(QStringLiteral("bash"), {QStringLiteral("-c"), script}) == 0;
}

// Whatever the test's outcome, the server runs again for the tests after it.
struct StoppedServer {
    StoppedServer() { stopped = server("stop"); }
    ~StoppedServer() { server("start"); }
    bool stopped;
};

} // namespace

TEST(ServerRestart, CommandsFailWithABoxWhileItIsDownAndWorkAgainAfterwards) {
    if (qEnvironmentVariableIsEmpty("KELVO_TEST_DB_DATADIR"))
        GTEST_SKIP()
            << "needs KELVO_TEST_DB_DATADIR, the data directory of the test command's server";
    TestDatabase db{QStringLiteral("restart")};
    db.admin().execute(
        "insert into karta (pora_cislo, cislokarty, nazev) values (\"1\", \"INV-1\", \"Lis\")");
    Connection connection{db.params()};
    Query list{connection};
    list.openText("select * from karta");
    ScriptedMessages messages;
    {
        StoppedServer down;
        ASSERT_TRUE(down.stopped);
        EXPECT_FALSE(runCommand(messages, [&] { list.refresh(); }));
        EXPECT_FALSE(runCommand(messages, [&] { list.refresh(); }));
        ASSERT_EQ(messages.errors.size(), 2);
        // The first command meets the lost connection, the next one a server that refuses.
        EXPECT_TRUE(messages.errors[0].startsWith("Spojení s databází bylo přerušeno"))
            << messages.errors[0].toStdString();
        EXPECT_TRUE(messages.errors[1].startsWith("Nelze se spojit s databázovým serverem"))
            << messages.errors[1].toStdString();
    }
    EXPECT_TRUE(runCommand(messages, [&] { list.refresh(); }))
        << messages.errors.join("\n").toStdString();
    EXPECT_EQ(list.asString("nazev"), "Lis");
}
