#include "db/query.h"
#include "register/commandguard.h"
#include "support/windowdriver.h"
#include "support/qtprinters.h"

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

bool haveOwnServer() {
    return !qEnvironmentVariableIsEmpty("KELVO_TEST_DB_DATADIR");
}
constexpr const char* kNeedsOwnServer =
    "needs KELVO_TEST_DB_DATADIR, the data directory of the test command's server";

} // namespace

TEST(ServerRestart, CommandsFailWithABoxWhileItIsDownAndWorkAgainAfterwards) {
    if (!haveOwnServer())
        GTEST_SKIP() << kNeedsOwnServer;
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

namespace {

// What the user does in the card window after the restart, and what follows.
struct AfterRestart {
    const char* name;
    bool rowTyped;       // a row typed into the grid, its editor still open
    QStringList pressed; // the buttons the window still takes
    int errors;          // one box for each of them but "Storno"
    friend void PrintTo(const AfterRestart& c, std::ostream* os) { *os << c.name; }
};

// The program's windows over one card with a saved five-year plan.
class RestartInCardWindowTest : public ::testing::TestWithParam<AfterRestart>,
                                public WindowDriver {
  protected:
    RestartInCardWindowTest() : WindowDriver("restartcard") {}

    void SetUp() override {
        if (!haveOwnServer())
            GTEST_SKIP() << kNeedsOwnServer;
        id = insertCard("pora_cislo, cislokarty, nazev, cena, do_pouziti, sk_odpisu, zp_odpisu",
                        "'1', 'INV-1', 'Vrtačka', 100000, '2014-03-15', '2', 'rovnoměrně'");
        whileCardShown("Opravakarty1", [&] {
            press(card->suiButton6);
            press(card->suiButton1);
        });
        ASSERT_EQ(messages.texts(), QStringList({"Záznam uložen!"}));
        ASSERT_EQ(rows("odpisy").size(), 5);
        // The window offers the plan only for a card without a group; without
        // it the next cycle can generate the plan afresh.
        db.admin().execute("update karta set skupina=0");
        messages = ScriptedMessages();
    }

    // Every column of the card's rows in `table`, one text per row, in key order.
    QStringList rows(const char* table) {
        const ResultSet set =
            db.admin().select(QStringLiteral("select * from %1 where %2=%3 order by id")
                                  .arg(QLatin1String(table),
                                       QLatin1String(qstrcmp(table, "karta") ? "id_karta" : "id"))
                                  .arg(id));
        QStringList result;
        for (int row = 0; row < set.rowCount(); ++row) {
            QStringList cells;
            for (size_t field = 0; field < set.fields.size(); ++field)
                cells << set.cells[size_t(row) * set.fields.size() + field].toString();
            result << cells.join(QLatin1Char('|'));
        }
        return result;
    }

    qint64 id = 0;
};

// The server restarts while the card window is open with changes in it: the
// card, a newly generated plan and, in one case, a row typed into the grid.
// The user insists on "Uložit", tries the plan again and gives up with
// "Storno" as far as the window lets them: nothing of it is written, every
// command ends in a Czech box, and the program works on without a restart.
TEST_P(RestartInCardWindowTest, UnsavedChangesAreNotWrittenAndTheNextCycleSaves) {
    const AfterRestart& c = GetParam();
    const QStringList cardBefore = rows("karta");
    QStringList planBefore = rows("odpisy");
    bool restarted = false;
    QStringList pressedAfterRestart;
    whileCardShown("Opravakarty1", [&] {
        QApplication::setActiveWindow(card);
        card->suiDBEdit2->setFocus();
        type(card->suiDBEdit2, "Soustruh");
        QTest::keyClick(card->suiDBEdit2, Qt::Key_Return);
        card->suiDBEdit8->setFocus();
        type(card->suiDBEdit8, "120000");
        QTest::keyClick(card->suiDBEdit8, Qt::Key_Return);
        press(card->suiButton6);
        ASSERT_EQ(messages.errors, QStringList());
        ASSERT_EQ(card->rowsModel()->rowCount(), 5);
        EXPECT_EQ(gridCell(0, "korun_o"), "13 200,00");
        if (c.rowTyped)
            typeIntoGrid(1, "korun_o", "1");
        {
            StoppedServer down;
            ASSERT_TRUE(down.stopped);
        }
        restarted = true;
        for (QPushButton* button : {card->suiButton1, card->suiButton1, card->suiButton6}) {
            if (!card->isVisible())
                break;
            pressedAfterRestart << button->text();
            press(button);
        }
        if (card->isVisible()) {
            messages.answer(1); // "zahodit"
            pressedAfterRestart << card->suiButton2->text();
            press(card->suiButton2);
        }
    });
    ASSERT_TRUE(restarted);
    db.admin().close(); // the test's own connection went with the server

    EXPECT_EQ(rows("karta"), cardBefore);
    EXPECT_EQ(rows("odpisy"), planBefore);
    EXPECT_EQ(pressedAfterRestart, c.pressed);
    EXPECT_FALSE(messages.texts().contains("Záznam uložen!"));
    ASSERT_EQ(messages.errors.size(), c.errors) << messages.errors.join("\n").toStdString();
    // The first command meets the lost connection and says that the changes
    // made before it are gone too; the later ones meet the refusal of the lost
    // transaction.
    EXPECT_TRUE(messages.errors[0].startsWith(kConnectionLostWithChangesText))
        << messages.errors[0].toStdString();
    for (const QString& error : messages.errors.mid(1))
        EXPECT_EQ(error, kTransactionLostText);

    // The main window goes on: the list reopens, and a new cycle on the card saves.
    messages = ScriptedMessages();
    form->Zobrazitjenaktuln1->trigger();
    EXPECT_EQ(messages.errors, QStringList());
    ASSERT_EQ(form->listModel()->rowCount(), 1);
    EXPECT_EQ(form->list().query().asString("nazev"), "Vrtačka");
    whileCardShown("Opravakarty1", [&] {
        type(card->suiDBEdit2, "Po restartu");
        press(card->suiButton1);
    });
    EXPECT_EQ(messages.errors, QStringList());
    EXPECT_EQ(messages.texts(), QStringList({"Záznam uložen!"}));
    EXPECT_EQ(db.scalar("select nazev from karta where id=" + QString::number(id)), "Po restartu");
    EXPECT_EQ(form->list().query().asString("nazev"), "Po restartu");
    // The save copies the card's name into its rows, as every saved cycle does.
    EXPECT_EQ(rows("odpisy"), planBefore.replaceInStrings("|Vrtačka|", "|Po restartu|"));
}

INSTANTIATE_TEST_SUITE_P(
    ServerRestart, RestartInCardWindowTest,
    ::testing::Values(
        // The window closes at once: the cycle's save meets the lost connection.
        AfterRestart{"CardAndPlanChanged", false, {"Uložit"}, 1},
        // Writing the row meets it inside the window, which then refuses
        // everything but "Storno".
        AfterRestart{
            "RowTypedIntoTheGrid", true, {"Uložit", "Uložit", "Generace vět odpisů", "Storno"}, 3}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
