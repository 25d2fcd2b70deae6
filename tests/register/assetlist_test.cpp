#include "register/assetlist.h"
#include "register/cards.h"
#include "register/cardstate.h"
#include "support/scriptedmessages.h"
#include "support/testdatabase.h"

#include <gtest/gtest.h>

using namespace kelvo;
using kelvo::test::ScriptedMessages;
using kelvo::test::StatementLog;
using kelvo::test::TestDatabase;

namespace {

class AssetListTest : public ::testing::Test {
  protected:
    AssetListTest() : db("assetlist"), connection(db.params()), list(connection) {
        test::insertFourCards(db);
        list.open();
    }

    QStringList column(const char* field) {
        QStringList values;
        const int index = list.query().fieldIndex(QLatin1String(field));
        for (int row = 0; row < list.query().rowCount(); ++row)
            values << list.query().displayText(row, index);
        return values;
    }
    QString idOf(const char* pora) {
        return db.scalar(QStringLiteral("select id from karta where pora_cislo=\"%1\"")
                             .arg(QLatin1String(pora)));
    }

    TestDatabase db;
    Connection connection;
    AssetList list;
    ScriptedMessages messages;
};

TEST_F(AssetListTest, FilterSwitchesTheFirstLineAndTheReinstateOffer) {
    EXPECT_EQ(list.query().lines(),
              QStringList({"select * from karta where vyrazen=\"N\"", "order by pora_cislo"}));
    EXPECT_EQ(column("pora_cislo"), QStringList({"1", "10", "9"})); // text order
    EXPECT_FALSE(list.reinstateOffered());

    list.query().moveTo(2);
    list.toggleOnlyCurrent();
    EXPECT_FALSE(list.onlyCurrent());
    EXPECT_TRUE(list.reinstateOffered());
    EXPECT_EQ(list.query().lines(), QStringList({"select * from karta", "order by pora_cislo"}));
    EXPECT_EQ(column("pora_cislo"), QStringList({"1", "10", "2", "9"}));
    EXPECT_EQ(list.query().currentRow(), 0);
    EXPECT_TRUE(list.isDiscarded(2));
    EXPECT_FALSE(list.isDiscarded(1));

    list.toggleOnlyCurrent();
    EXPECT_FALSE(list.reinstateOffered());
    EXPECT_EQ(column("pora_cislo"), QStringList({"1", "10", "9"}));
}

TEST_F(AssetListTest, TitleClicksCycleAscendingDescendingNoneWithoutAQuery) {
    StatementLog log(connection);
    list.titleClicked("cena");
    EXPECT_EQ(column("pora_cislo"), QStringList({"1", "10", "9"})); // 900, 5000, 120000 as numbers
    list.titleClicked("CENA");
    EXPECT_EQ(column("pora_cislo"), QStringList({"9", "10", "1"}));
    list.titleClicked("cena");
    EXPECT_EQ(list.query().sortOrder(), SortOrder::None);
    EXPECT_EQ(column("pora_cislo"), QStringList({"1", "10", "9"}));

    list.titleClicked("datum_za"); // a null date first
    list.titleClicked("nazev");    // another column after one click starts ascending
    EXPECT_EQ(list.query().sortOrder(), SortOrder::Ascending);
    EXPECT_EQ(column("nazev"), QStringList({"Soustruh VRT", "Vrtačka", "vrtule"}));
    EXPECT_TRUE(log.statements.isEmpty());
}

TEST_F(AssetListTest, SortStaysAcrossRefreshReopenAndFilterSwitch) {
    list.titleClicked("cena");
    list.titleClicked("cena"); // descending
    list.query().refresh();
    EXPECT_EQ(column("pora_cislo"), QStringList({"9", "10", "1"}));
    list.toggleOnlyCurrent();
    EXPECT_EQ(column("pora_cislo"), QStringList({"2", "9", "10", "1"}));
    list.query().close();
    list.open();
    EXPECT_EQ(column("pora_cislo"), QStringList({"2", "9", "10", "1"}));
}

TEST_F(AssetListTest, DiscardAndReinstateSendOneUpdateRefreshAndSayDone) {
    list.query().locate("pora_cislo", "10");
    const QString id = idOf("10");
    {
        StatementLog log(connection);
        discardCard(list, messages);
        ASSERT_EQ(log.statements.size(), 2);
        EXPECT_EQ(log.statements[0], "update karta set vyrazen=\"A\" where id=" + id);
        EXPECT_EQ(log.statements[1], list.query().text());
    }
    EXPECT_EQ(messages.texts(), QStringList({"Záznam vyřazen!"}));
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(messages.shown[0].buttons, QStringList({"OK"}));
    EXPECT_EQ(column("pora_cislo"), QStringList({"1", "9"}));

    list.toggleOnlyCurrent();
    ASSERT_TRUE(list.query().locate("id", id));
    EXPECT_TRUE(list.isDiscarded(list.query().currentRow()));
    {
        StatementLog log(connection);
        reinstateCard(list, messages);
        EXPECT_EQ(log.statements[0], "update karta set vyrazen=\"N\" where id=" + id);
    }
    EXPECT_EQ(messages.texts().last(), "Záznam obnoven!");
    EXPECT_EQ(list.query().asString("id"), id); // the refresh stays on the card
    EXPECT_FALSE(list.isDiscarded(list.query().currentRow()));
    EXPECT_EQ(db.scalar("select vyrazen from karta where id=" + id), "N");
}

TEST_F(AssetListTest, DeleteAnsweredBackChangesNothing) {
    const QString id = list.currentId();
    db.admin().execute("insert into odpisy (id_karta, rok) values (" + id + ", \"2020\")");
    messages.answer(2);
    StatementLog log(connection);
    EXPECT_FALSE(deleteCard(list, messages));
    EXPECT_TRUE(log.statements.isEmpty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Opravdu vymazat záznam!");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Stop);
    EXPECT_EQ(messages.shown[0].buttons, QStringList({"Vymazat", "Zpět"}));
    EXPECT_EQ(db.scalar("select count(*) from odpisy"), "1");
    EXPECT_EQ(list.query().rowCount(), 3);
}

TEST_F(AssetListTest, DeleteRemovesRowsThenCardAndMovesToTheNextRow) {
    list.query().locate("pora_cislo", "10");
    const QString id = list.currentId();
    db.admin().execute("insert into odpisy (id_karta, rok, odepsano) values (" + id +
                       ", \"2020\", \"A\"), (" + id + ", \"2021\", \"N\")");
    StatementLog log(connection);
    EXPECT_TRUE(deleteCard(list, messages));
    EXPECT_EQ(log.statements, QStringList({"delete from odpisy where id_karta = " + id,
                                           "delete from karta where id=" + id}));
    EXPECT_EQ(messages.texts(), QStringList({"Opravdu vymazat záznam!", "Záznam byl vymazán!"}));
    EXPECT_EQ(db.scalar("select count(*) from odpisy"), "0");
    EXPECT_EQ(db.scalar("select count(*) from karta where id=" + id), "0");
    EXPECT_EQ(column("pora_cislo"), QStringList({"1", "9"}));
    EXPECT_EQ(list.query().asString("pora_cislo"), "9");
}

TEST(AssetListEmpty, CommandsOnAnEmptyListSendNothingAndSayNothing) {
    TestDatabase db("emptylist");
    Connection connection(db.params());
    AssetList list(connection);
    ScriptedMessages messages;
    for (const bool open : {false, true}) {
        if (open)
            list.open();
        StatementLog log(connection);
        discardCard(list, messages);
        reinstateCard(list, messages);
        EXPECT_FALSE(deleteCard(list, messages));
        EXPECT_TRUE(log.statements.isEmpty()) << log.statements.join("; ").toStdString();
        EXPECT_TRUE(messages.shown.empty());
    }
}

} // namespace
