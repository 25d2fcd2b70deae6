#include "card/shift.h"
#include "depreciation/plan.h"
#include "depreciation/yearlyposting.h"
#include "register/cardcycles.h"
#include "register/commandguard.h"
#include "support/qtprinters.h"
#include "support/scriptedmessages.h"
#include "support/testdatabase.h"

#include <gtest/gtest.h>
#include <thread>

using namespace kelvo;
using namespace kelvo::test;

namespace {

// One card with a saved five-year plan, the main window's and the card
// window's data sets on the program's connection, and a card window each test
// scripts. The admin connection plays the second client and kills the
// program's connection.
class FaultTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db.admin().execute("insert into karta (pora_cislo, cislokarty, nazev, cena, do_pouziti, "
                           "sk_odpisu, zp_odpisu) "
                           "values (\"1\", \"INV-1\", \"Vrtačka\", 100000, \"2014-03-15\", \"2\", "
                           "\"rovnoměrně\")");
        list.setText("select * from karta where vyrazen=\"N\"\norder by pora_cislo");
        list.open();
        groups.setText("select * from def_skupiny");
        // The plan as saved before the test touches it.
        window = [this] {
            EXPECT_TRUE(PlanGenerator(sets(), messages, dateFormat).GeneratePlan(0));
            return 1;
        };
        cycles.editCard(CopyCardColumnsForm::Menu);
        savedPlan = planOf(1);
        ASSERT_EQ(savedPlan.size(), 5);
        messages = ScriptedMessages();
    }

    CardDataSets sets() { return {card, rows, work, groups}; }
    void killProgramConnection() {
        db.admin().execute("kill " + QString::number(connection.serverThreadId()));
    }
    // Kills the program's connection just before it sends the first statement
    // that starts with `prefix`, so that the statement meets a dead connection.
    void killBefore(const QString& prefix) {
        killPrefix = prefix;
        connection.setStatementObserver([this](const QString& sql) {
            if (!killPrefix.isEmpty() && sql.startsWith(killPrefix)) {
                killPrefix.clear();
                killProgramConnection();
            }
        });
    }
    QStringList planOf(int id) {
        return db.column(
            QStringLiteral(
                "select concat_ws('|', rok, korun_o, korun_do, opravka_u, zh) from odpisy "
                "where id_karta=%1 order by rok, id")
                .arg(id));
    }
    QString cardName() { return db.scalar("select nazev from karta where id=1"); }
    // A command as a window runs it: failures end in the error box.
    bool command(const std::function<void()>& body) { return runCommand(messages, body); }
    // Proves the program works again: an edit cycle saves a new name.
    void expectUsableAgain(const QString& name) {
        messages = ScriptedMessages();
        window = [this, name] {
            card.setString("nazev", name);
            return 1;
        };
        EXPECT_TRUE(command([this] { cycles.editCard(CopyCardColumnsForm::Menu); }))
            << messages.errors.join("\n").toStdString();
        EXPECT_EQ(cardName(), name);
        EXPECT_TRUE(connection.autoCommit());
    }

    TestDatabase db{QStringLiteral("faults")};
    Connection connection{db.params()};
    Query list{connection}, statements{connection};
    Query card{connection}, rows{connection}, work{connection}, groups{connection};
    ScriptedMessages messages;
    DateFormat dateFormat;
    std::function<int()> window;
    CardEditingCycles cycles{connection, list, statements, sets(), [this] { return window(); },
                             messages};
    QStringList savedPlan;
    QString killPrefix;
};

TEST_F(FaultTest, KilledConnectionFailsOneCommandWithACzechBoxAndTheNextCommandWorks) {
    killProgramConnection();
    EXPECT_FALSE(command([this] { list.refresh(); }));
    ASSERT_EQ(messages.errors.size(), 1);
    EXPECT_TRUE(messages.errors[0].startsWith("Spojení s databází bylo přerušeno"))
        << messages.errors[0].toStdString();
    EXPECT_TRUE(command([this] { list.refresh(); }));
    EXPECT_EQ(list.asString("nazev"), "Vrtačka");
}

// The window goes on working after the loss: its later statements must not
// run outside the lost transaction, and "uložit" must not report success.
TEST_F(FaultTest, ConnectionLostInsideTheCardWindowSavesNothing) {
    QStringList windowErrors;
    window = [&] {
        card.setString("nazev", "Změněno");
        card.post();
        killProgramConnection();
        command(
            [&] { rows.executeText("insert into odpisy set id_karta=1, rok=2030, korun_o=1"); });
        command(
            [&] { rows.executeText("insert into odpisy set id_karta=1, rok=2031, korun_o=2"); });
        card.setString("nazev", "Změněno znovu");
        windowErrors = messages.errors;
        return 1;
    };
    EXPECT_FALSE(command([this] { cycles.editCard(CopyCardColumnsForm::Menu); }));
    ASSERT_EQ(windowErrors.size(), 2);
    EXPECT_TRUE(windowErrors[0].startsWith(kConnectionLostWithChangesText));
    EXPECT_EQ(windowErrors[1], kTransactionLostText);
    EXPECT_EQ(messages.errors.size(), 3);
    EXPECT_FALSE(messages.texts().contains("Záznam uložen!"));
    EXPECT_EQ(cardName(), "Vrtačka");
    EXPECT_EQ(planOf(1), savedPlan);
    expectUsableAgain("Po výpadku");
}

// A deadlock ends the window's transaction on the server just as a lost
// connection does: the window's later statements and the save are refused.
TEST_F(FaultTest, DeadlockInsideTheCardWindowSavesNothing) {
    connection.execute("set session innodb_lock_wait_timeout=10");
    const QStringList ids = db.column("select id from odpisy where id_karta=1 order by id");
    QStringList windowErrors;
    QString secondError;
    window = [&] {
        rows.executeText("update odpisy set korun_o=1 where id=" + ids[0]);
        // The second client changes more rows, so that the server picks the
        // window's smaller transaction as the victim. Rows go one by one by
        // key: a statement over several would scan the small table and wait
        // for the window's row first.
        std::thread other([&] {
            try {
                Connection second(db.params());
                second.execute("set session innodb_lock_wait_timeout=10");
                second.execute("start transaction");
                for (const QString& id : ids.mid(1))
                    second.execute("update odpisy set korun_o=2 where id=" + id);
                second.execute("update odpisy set korun_o=2 where id=" + ids[0]);
                second.execute("rollback");
            } catch (const DbError& e) {
                secondError = e.message();
            }
        });
        // The server refreshes this table only when it has not been read for a
        // tenth of a second, so it is polled more slowly than that.
        for (int i = 0; i < 50 && db.scalar("select count(*) from information_schema.innodb_trx "
                                            "where trx_state='LOCK WAIT'") != "1";
             ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
        command([&] { rows.executeText("update odpisy set korun_o=1 where id=" + ids[1]); });
        other.join();
        command([&] { rows.executeText("update odpisy set korun_o=3 where id=" + ids[2]); });
        windowErrors = messages.errors;
        return 1;
    };
    EXPECT_FALSE(command([this] { cycles.editCard(CopyCardColumnsForm::Menu); }));
    EXPECT_EQ(secondError, QString());
    ASSERT_EQ(windowErrors.size(), 2);
    EXPECT_TRUE(windowErrors[0].startsWith("Souběh s jiným uživatelem databáze (deadlock)"))
        << windowErrors[0].toStdString();
    EXPECT_EQ(windowErrors[1], kTransactionLostText);
    EXPECT_EQ(planOf(1), savedPlan);
    expectUsableAgain("Po souběhu");
}

// Each command is run from the card window as its button would run it, with the
// connection killed before one of its statements; then the user saves.
struct CommandInWindow {
    const char* name;
    const char* killBefore;
    std::function<void(FaultTest&, CardDataSets, MessageService&, const DateFormat&)> run;
    friend void PrintTo(const CommandInWindow& c, std::ostream* os) { *os << c.name; }
};

class CommandInWindowTest : public FaultTest,
                            public ::testing::WithParamInterface<CommandInWindow> {};

TEST_P(CommandInWindowTest, LeavesTheSavedPlanAsItWas) {
    const CommandInWindow& c = GetParam();
    bool commandFailed = false;
    window = [&] {
        card.setFloat("cena", 120000);
        killBefore(QString::fromLatin1(c.killBefore));
        commandFailed = !command([&] { c.run(*this, sets(), messages, dateFormat); });
        return 1;
    };
    EXPECT_FALSE(command([this] { cycles.editCard(CopyCardColumnsForm::Menu); }));
    EXPECT_TRUE(commandFailed);
    EXPECT_EQ(db.scalar("select cast(cena as char) from karta where id=1"), "100000.00");
    EXPECT_EQ(planOf(1), savedPlan);
    expectUsableAgain("Po výpadku");
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CommandInWindowTest,
    ::testing::Values(
        CommandInWindow{"PlanAfterItsDelete", "insert into odpisy",
                        [](FaultTest&, CardDataSets s, MessageService& m, const DateFormat& f) {
                            PlanGenerator(s, m, f).GeneratePlan(0);
                        }},
        CommandInWindow{"PlanAtItsRunningSums", "update odpisy set opravka_u",
                        [](FaultTest&, CardDataSets s, MessageService& m, const DateFormat& f) {
                            PlanGenerator(s, m, f).GeneratePlan(1);
                        }},
        CommandInWindow{"Shift", "insert into odpisy select",
                        [](FaultTest&, CardDataSets s, MessageService& m, const DateFormat&) {
                            s.rows.first();
                            DepreciationShift(s, m).Posunodpisu(0);
                        }}),
    [](const auto& info) { return std::string(info.param.name); });

class PostingFaultTest : public FaultTest {
  protected:
    void SetUp() override {
        FaultTest::SetUp();
        connection.execute("update odpisy set odepsano=\"N\"");
    }
    int postedRows() {
        return db.scalar("select count(*) from odpisy where odepsano=\"A\"").toInt();
    }

    FixedClock clock{QDate(2016, 3, 10)};
    YearlyPosting posting{connection, messages, clock, [](Query&) {}};
};

TEST_F(PostingFaultTest, KilledAtThePostingStatementPostsNothingAndCanBeRepeated) {
    killBefore("update odpisy set odepsano");
    EXPECT_FALSE(command([this] { posting.Provstodpis(); }));
    ASSERT_EQ(messages.errors.size(), 1);
    EXPECT_TRUE(messages.errors[0].startsWith("Spojení s databází bylo přerušeno"));
    EXPECT_EQ(postedRows(), 0);

    bool posted = false;
    EXPECT_TRUE(command([&] { posted = posting.Provstodpis(); }));
    EXPECT_TRUE(posted);
    EXPECT_EQ(db.scalar("select group_concat(rok) from odpisy where odepsano=\"A\""), "2015");
}

// A second client holds the rows of `odpisy`: the posting gives up after the
// session's lock wait time-out with a clear box instead of hanging, and writes
// nothing; once the rows are free it posts.
TEST_F(PostingFaultTest, RowsLockedByAnotherClientTimeOutWithAClearBox) {
    connection.execute("set session innodb_lock_wait_timeout=1");
    db.admin().execute("start transaction");
    db.admin().select("select * from odpisy for update");

    EXPECT_FALSE(command([this] { posting.Provstodpis(); }));
    ASSERT_EQ(messages.errors.size(), 1);
    EXPECT_TRUE(messages.errors[0].startsWith("Záznamy drží jiný uživatel databáze"))
        << messages.errors[0].toStdString();
    EXPECT_TRUE(messages.errors[0].contains("Lock wait timeout"));
    db.admin().execute("rollback");
    EXPECT_EQ(postedRows(), 0);

    EXPECT_TRUE(command([this] { posting.Provstodpis(); }));
    EXPECT_EQ(postedRows(), 1);
}

// The same lock met inside a card editing cycle: the save fails, the card
// keeps its saved values, and the window's transaction is not left open.
TEST_F(FaultTest, LockedRowsAtTheCardSaveLeaveTheCardAsSaved) {
    connection.execute("set session innodb_lock_wait_timeout=1");
    window = [this] {
        card.setString("nazev", "Změněno");
        db.admin().execute("start transaction");
        db.admin().select("select * from karta for update");
        return 1;
    };
    EXPECT_FALSE(command([this] { cycles.editCard(CopyCardColumnsForm::Menu); }));
    ASSERT_EQ(messages.errors.size(), 1);
    EXPECT_TRUE(messages.errors[0].startsWith("Záznamy drží jiný uživatel databáze"));
    db.admin().execute("rollback");
    EXPECT_EQ(cardName(), "Vrtačka");
    expectUsableAgain("Po zámku");
}

} // namespace
