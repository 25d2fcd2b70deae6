#include "register/assetlist.h"
#include "register/cards.h"
#include "register/commandguard.h"
#include "register/startup.h"
#include "support/scriptedmessages.h"
#include "support/testdatabase.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

using namespace kelvo;
using kelvo::test::ScriptedMessages;
using kelvo::test::StatementLog;
using kelvo::test::TestDatabase;

namespace {

// A settings file naming the test server, or a port where nothing listens.
SettingsFile writeSettings(const QTemporaryDir& dir, const ConnectionParams& params, int port) {
    SettingsFile settings = SettingsFile::forExecutable(dir.filePath("kelvo"));
    settings.writeString("LOGON", "ip", params.host);
    settings.writeString("LogOn", "Port", QString::number(port));
    settings.writeString("LogOn", "User", params.user);
    settings.writeString("LogOn", "Password", params.password);
    return settings;
}

// The two start-up handlers as the main window runs them, each guarded.
void start(Connection& connection, AssetList& list, Query& cardRows, const SettingsFile& settings,
           MessageService& messages) {
    runCommand(messages, [&] { formCreate(connection, settings); });
    runCommand(messages, [&] { formShow(list, &cardRows); });
}

int count(const QStringList& statements, const QString& prefix) {
    int n = 0;
    for (const QString& s : statements)
        n += s.startsWith(prefix) ? 1 : 0;
    return n;
}

TEST(StartUp, AddsTheFiveColumnsAtTheFirstStartOnlyAndOpensTheList) {
    TestDatabase db("startup", false);
    test::insertFourCards(db);
    QTemporaryDir dir;
    const SettingsFile settings = writeSettings(dir, db.params(), db.params().port);
    for (int run = 0; run < 2; ++run) {
        ConnectionParams initial;
        initial.database = db.params().database;
        initial.port = 1; // replaced by the file's keys
        Connection connection(initial);
        AssetList list(connection);
        Query cardRows(connection);
        ScriptedMessages messages;
        StatementLog log(connection);
        start(connection, list, cardRows, settings, messages);
        EXPECT_TRUE(messages.errors.isEmpty()) << messages.errors.join("\n").toStdString();
        EXPECT_EQ(count(log.statements, "alter table odpisy"), run == 0 ? 5 : 0);
        EXPECT_EQ(count(log.statements, "show columns from odpisy"), 5);
        EXPECT_EQ(list.query().rowCount(), 3);
        EXPECT_EQ(list.query().displayFormat("CENA"), "## ### ##0.00");
        EXPECT_EQ(cardRows.displayFormat("zh_d"), "## ### ##0.00");
    }
    EXPECT_EQ(
        db.column(
            "select column_name from information_schema.columns where table_schema=database() and "
            "table_name='odpisy' and column_name in "
            "('ZH_D','KORUN_OP','KORUN_OR','OPRAVKA_UP','ZH_P') "
            "order by ordinal_position"),
        QStringList({"ZH_D", "KORUN_OP", "KORUN_OR", "OPRAVKA_UP", "ZH_P"}));
}

TEST(StartUp, ServerDownGivesTwoErrorBoxesAnEmptyListAndTheNextCommandReconnects) {
    TestDatabase db("startdown");
    test::insertFourCards(db);
    QTemporaryDir dir;
    ConnectionParams initial;
    initial.database = db.params().database;
    Connection connection(initial);
    AssetList list(connection);
    Query cardRows(connection);
    ScriptedMessages messages;
    StatementLog log(connection);

    start(connection, list, cardRows, writeSettings(dir, db.params(), 1), messages);
    EXPECT_EQ(messages.errors.size(), 2);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(list.query().isOpen());
    EXPECT_EQ(list.query().rowCount(), 0);
    EXPECT_TRUE(
        list.query().displayFormat("cena").isEmpty()); // the show handler stopped at the open
    EXPECT_TRUE(list.currentId().isEmpty());

    // While the server is away, a command fails the same way and nothing breaks.
    EXPECT_FALSE(runCommand(messages, [&] { list.toggleOnlyCurrent(); }));
    EXPECT_EQ(messages.errors.size(), 3);

    // The server is back: the next command opens the connection and works.
    connection.setParams(db.params());
    EXPECT_TRUE(runCommand(messages, [&] { list.toggleOnlyCurrent(); }));
    EXPECT_EQ(list.query().rowCount(), 3);
    EXPECT_EQ(count(log.statements, "alter table"), 0); // the column checks are not repeated
}

} // namespace
