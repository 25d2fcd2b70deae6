#include "card/cardcommands.h"
#include "support/scriptedmessages.h"
#include "support/testdatabase.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kelvo;
using kelvo::test::ScriptedMessages;
using kelvo::test::TestDatabase;

namespace {

// The card window's data sets opened on card 1 inside a transaction, as an
// edit cycle leaves them.
class CardCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.admin().execute("insert into karta (pora_cislo, cislokarty, nazev, dodavatel, cena, sk_odpisu, zp_odpisu, "
                           "skupina, rokyodpisu, prvnirok, vyrazen) values (\"1\", \"INV-1\", \"Vrtačka\", "
                           "\"Dodavatel s.r.o.\", 10000, \"2\", \"rovnoměrně\", 2, 5, 11, \"A\")");
        db.admin().execute("insert into odpisy (id_karta, rok, korun_o) values (1, \"2014\", 1100)");
        groups.setText("select * from def_skupiny");
        card.executeText("start transaction");
        card.setText("select * from karta where id=\n1");
        card.open();
        card.edit();
        rows.setText("select * from odpisy where id_karta = 1\norder by rok");
        rows.open();
        groups.open();
    }

    QString kelvoIni(const QByteArray& content)
    {
        QFile file(settingsDir.filePath("kelvo.ini"));
        file.open(QIODevice::WriteOnly);
        file.write(content);
        return file.fileName();
    }

    TestDatabase db{QStringLiteral("cardcommands")};
    Connection connection{db.params()};
    Query card{connection}, rows{connection}, work{connection}, groups{connection};
    ScriptedMessages messages;
    QTemporaryDir settingsDir;
    CardCommands commands{CardDataSets{card, rows, work, groups}, messages,
                          SettingsFile::inDirectory(settingsDir.path(), "kelvo.ini")};
};

} // namespace

TEST_F(CardCommandsTest, ShowEnablesThePlanButtonOnlyWithoutAPlanAndReadsTheMode)
{
    commands.formShow();
    EXPECT_FALSE(commands.planButtonEnabled());
    EXPECT_EQ(commands.accountingMode(), 0);  // no settings file
    EXPECT_EQ(card.displayText(0, card.fieldIndex("cena")), "10 000,00");

    kelvoIni("[TFSERVIS]\r\nsuiComboBox1_ItemIndex=5\r\n");
    card.setInteger("skupina", 0);
    commands.formShow();
    EXPECT_TRUE(commands.planButtonEnabled());
    EXPECT_EQ(commands.accountingMode(), 5);
}

TEST_F(CardCommandsTest, SaveNeedsASequenceNumberAndDiscardAsks)
{
    rows.setFloat("korun_o", 999);  // a pending row edit is written at "Uložit"
    card.setString("pora_cislo", "");
    EXPECT_FALSE(commands.save());
    EXPECT_EQ(messages.texts(), QStringList{"Nelze ukládat bez vyplněného pořadového čísla!"});
    EXPECT_EQ(messages.shown.back().icon, MessageIcon::Warning);
    Query written(connection);  // inside the cycle's transaction
    written.openText("select korun_o from odpisy where id_karta=1");
    EXPECT_EQ(written.asFloat("korun_o"), 999.0);

    card.setString("pora_cislo", "   ");  // blanks pass: only an empty text is refused
    EXPECT_TRUE(commands.save());

    messages.answer(2);
    EXPECT_FALSE(commands.discard());
    messages.answer(1);
    EXPECT_TRUE(commands.discard());
    EXPECT_EQ(messages.shown.back().buttons, QStringList({"zahodit", "zpět"}));
}

TEST_F(CardCommandsTest, AddedRowOnceThenRefused)
{
    commands.addRow();
    EXPECT_EQ(messages.texts(), QStringList{"Nelze přidat novou větu"});
    EXPECT_EQ(db.scalar("select count(*) from odpisy"), "1");

    commands.newCard();
    const QString id = card.asString("id");
    commands.addRow();
    EXPECT_EQ(rows.rowCount(), 1);
    EXPECT_EQ(rows.asString("rok"), "2014");
    EXPECT_EQ(rows.asString("koef_o"), "0");
    EXPECT_EQ(rows.asFloat("korun_o"), 0.0);
    EXPECT_EQ(rows.asString("odepsano"), "N");
    commands.addRow();
    EXPECT_EQ(messages.texts().count("Nelze přidat novou větu"), 2);
    EXPECT_EQ(db.scalar("select count(*) from odpisy where id_karta=" + id), "0");  // not committed yet
}

TEST_F(CardCommandsTest, NewCardsBelongToTheCycleTransaction)
{
    card.setString("nazev", "neuloženo");
    commands.newCard();
    commands.newCard();
    EXPECT_TRUE(commands.planButtonEnabled());
    EXPECT_FALSE(card.isEditing());
    EXPECT_EQ(card.asString("vyrazen"), "N");
    EXPECT_EQ(rows.rowCount(), 0);
    work.executeText("rollback");
    EXPECT_EQ(db.scalar("select count(*) from karta"), "1");
    EXPECT_EQ(db.scalar("select nazev from karta where id=1"), "Vrtačka");
}

TEST_F(CardCommandsTest, CloneCopiesTheStoredCardClearsItsPlanAndCommits)
{
    card.setString("nazev", "Uloženo");
    card.post();
    card.setString("nazev", "Jen napsáno");
    commands.cloneCard();
    const QString first = card.asString("id");
    EXPECT_NE(first, "1");
    EXPECT_EQ(card.asString("nazev"), "Uloženo");
    EXPECT_EQ(card.asString("dodavatel"), "Dodavatel s.r.o.");
    EXPECT_EQ(card.asFloat("cena"), 10000.0);
    EXPECT_EQ(card.asString("vyrazen"), "A");
    for (const char* cleared : {"pora_cislo", "cislokarty", "sk_odpisu", "zp_odpisu"})
        EXPECT_EQ(card.asString(cleared), "") << cleared;
    EXPECT_EQ(card.asInteger("skupina"), 0);
    EXPECT_EQ(card.asInteger("rokyodpisu"), 0);
    EXPECT_EQ(rows.rowCount(), 0);
    EXPECT_TRUE(commands.planButtonEnabled());

    // A second clone copies the card shown, the first clone.
    card.setString("misto", "Sklad");
    card.post();
    commands.cloneCard();
    EXPECT_EQ(card.asString("misto"), "Sklad");
    EXPECT_NE(card.asString("id"), first);

    // The clone ended the transaction: a rollback now undoes nothing.
    work.executeText("rollback");
    EXPECT_EQ(db.scalar("select count(*) from karta"), "3");
    EXPECT_EQ(db.scalar("select nazev from karta where id=1"), "Uloženo");
    EXPECT_EQ(db.scalar("select count(*) from information_schema.tables where table_name='_pkarta'"), "0");
}
