#include "register/cardcycles.h"
#include "support/scriptedmessages.h"
#include "support/testdatabase.h"

#include <gtest/gtest.h>

using namespace kelvo;
using kelvo::test::ScriptedMessages;
using kelvo::test::StatementLog;
using kelvo::test::TestDatabase;

namespace {

// The main window's and the card window's data sets on one connection, and a
// card window whose behaviour each test scripts.
class CardCyclesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.admin().execute("insert into karta (pora_cislo, cislokarty, nazev, cena, do_pouziti) values "
                           "(\"1\", \"INV-1\", \"Vrtačka\", 10000, \"2014-03-15\"), "
                           "(\"2\", \"INV-2\", \"Lis\", 20000, \"2014-05-01\")");
        db.admin().execute("insert into odpisy (id_karta, rok, korun_o) values (1, \"2014\", 100), (2, \"2014\", 200)");
        list.setText("select * from karta where vyrazen=\"N\"\norder by pora_cislo");
        list.open();
        groups.setText("select * from def_skupiny");
    }

    int countOf(const QString& sql) { return db.scalar(sql).toInt(); }

    TestDatabase db{QStringLiteral("cycles")};
    Connection connection{db.params()};
    Query list{connection}, statements{connection};
    Query card{connection}, rows{connection}, work{connection}, groups{connection};
    ScriptedMessages messages;
    std::function<int()> window = [] { return 2; };
    CardEditingCycles cycles{connection, list, statements, CardDataSets{card, rows, work, groups},
                             [this] { return window(); }, messages};
};

} // namespace

TEST_F(CardCyclesTest, NewCardSavedWithInventoryNumberIsCommittedAndCurrent)
{
    window = [this] {
        EXPECT_TRUE(card.isEditing());
        EXPECT_EQ(rows.rowCount(), 0);
        EXPECT_TRUE(groups.isOpen());
        card.setString("pora_cislo", "3");
        card.setString("cislokarty", "INV-3");
        card.setString("nazev", "Soustruh");
        return 1;
    };
    cycles.newCard();
    EXPECT_EQ(db.scalar("select nazev from karta where cislokarty=\"INV-3\""), "Soustruh");
    EXPECT_EQ(list.asString("nazev"), "Soustruh");
    EXPECT_EQ(messages.texts(), QStringList{"Záznam uložen!"});
    EXPECT_TRUE(connection.autoCommit());
    // The copy of card columns ran over every row.
    EXPECT_EQ(db.scalar("select cislokarty from odpisy where id_karta=2"), "INV-2");
}

TEST_F(CardCyclesTest, NewCardWithoutInventoryNumberLeavesNothingAndSaysSo)
{
    window = [this] {
        card.setString("pora_cislo", "3");
        card.post();
        rows.executeText("insert into odpisy set id_karta=" + card.asString("id") + ", rok=2014, korun_o=1");
        return 1;
    };
    StatementLog log(connection);
    cycles.newCard();
    EXPECT_EQ(countOf("select count(*) from karta"), 2);
    EXPECT_EQ(countOf("select count(*) from odpisy"), 2);
    EXPECT_EQ(messages.texts(), QStringList{kNotSavedWithoutInventoryNumber});
    EXPECT_TRUE(log.statements.last().startsWith("update odpisy,karta set"));
    EXPECT_TRUE(connection.autoCommit());
}

TEST_F(CardCyclesTest, CancelledNewCardLeavesNothingAndAutoCommitIsBackOn)
{
    StatementLog log(connection);
    window = [this] {
        card.setString("nazev", "zahodit");
        return 2;
    };
    cycles.newCard();
    EXPECT_EQ(countOf("select count(*) from karta"), 2);
    EXPECT_TRUE(messages.shown.empty());
    // The statements as the cycle sends them.
    ASSERT_GE(log.statements.size(), 7);
    EXPECT_EQ(log.statements.mid(0, 4),
              QStringList({"set autocommit=0", "start transaction", "insert into karta (cislokarty) value (\"\")",
                           "select last_insert_id() as cv"}));
    EXPECT_TRUE(log.statements[4].startsWith("select * from karta where id=\n"));
    EXPECT_TRUE(log.statements[5].startsWith("select * from odpisy where id_karta = "));
    EXPECT_EQ(log.statements.mid(log.statements.size() - 2), QStringList({"rollback", "set autocommit=1"}));
    // A later statement is committed at once: another connection sees it.
    Query(connection).executeText("update karta set vyrazen=\"A\" where id=1");
    EXPECT_EQ(db.scalar("select vyrazen from karta where id=1"), "A");
}

TEST_F(CardCyclesTest, CancelledEditRestoresTheCardAndRemovesCardsWithoutSequenceNumber)
{
    db.admin().execute("insert into karta (pora_cislo, nazev) values (\"\", \"prázdná\")");
    const QString emptyId = db.scalar("select id from karta where pora_cislo=\"\"");
    db.admin().execute("insert into odpisy (id_karta, rok) values (" + emptyId + ", \"2015\")");
    list.locate("id", "1");
    window = [this] {
        EXPECT_EQ(rows.lines().value(1), "order by rok");
        card.setString("nazev", "přepsáno");
        card.post();
        work.executeText("delete from odpisy where id_karta = 1");
        work.executeText("insert into odpisy set id_karta=1, rok=2020, korun_o=5");
        card.setFloat("cena", 1);
        return 2;
    };
    cycles.editCard(CopyCardColumnsForm::Menu);
    EXPECT_EQ(db.scalar("select nazev from karta where id=1"), "Vrtačka");
    EXPECT_EQ(db.column("select rok from odpisy where id_karta=1"), QStringList{"2014"});
    EXPECT_EQ(countOf("select count(*) from karta where pora_cislo=\"\""), 0);
    EXPECT_EQ(countOf("select count(*) from odpisy where id_karta=" + emptyId), 0);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CardCyclesTest, SavedEditCopiesTheInUseDateOnlyAfterADoubleClick)
{
    struct Case {
        CopyCardColumnsForm form;
        QString expectedDate;
    };
    const Case cases[] = {{CopyCardColumnsForm::Menu, ""}, {CopyCardColumnsForm::DoubleClick, "2015-01-31"}};
    for (const Case& c : cases) {
        db.admin().execute("update odpisy set do_pouziti=NULL");
        list.locate("id", "2");
        window = [this] {
            card.setDate("do_pouziti", QDate(2015, 1, 31));
            card.setString("cislokarty", "INV-2B");
            return 1;
        };
        cycles.editCard(c.form);
        EXPECT_EQ(db.scalar("select cislokarty from odpisy where id_karta=2"), "INV-2B");
        EXPECT_EQ(db.scalar("select ifnull(do_pouziti, '') from odpisy where id_karta=2"), c.expectedDate);
        EXPECT_EQ(list.asString("id"), "2");
    }
    EXPECT_EQ(messages.texts(), QStringList({"Záznam uložen!", "Záznam uložen!"}));
}

TEST_F(CardCyclesTest, FailureInsideTheCycleRollsBackAndRestoresAutoCommit)
{
    window = [this] {
        card.setString("cislokarty", "INV-9");
        card.setString("pora_cislo", "příliš dlouhé číslo");  // longer than the column
        return 1;
    };
    EXPECT_THROW(cycles.newCard(), DbError);
    EXPECT_TRUE(connection.autoCommit());
    EXPECT_EQ(countOf("select count(*) from karta"), 2);
    // The connection is idle again: a statement now is committed at once.
    Query(connection).executeText("update karta set nazev=\"dál\" where id=2");
    EXPECT_EQ(db.scalar("select nazev from karta where id=2"), "dál");
}

TEST_F(CardCyclesTest, EditOnAnEmptyListSendsNothing)
{
    list.close();
    list.setText("select * from karta where id=0");
    list.open();
    StatementLog log(connection);
    bool shown = false;
    window = [&shown] {
        shown = true;
        return 1;
    };
    cycles.editCard(CopyCardColumnsForm::Menu);
    EXPECT_FALSE(shown);
    EXPECT_TRUE(log.statements.isEmpty());
}
