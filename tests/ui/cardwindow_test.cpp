// The card window in the card editing cycles, driven as a user drives it: the
// cycle starts from the main window's menu, the card window is shown modally,
// and the script below types, chooses and presses while it is up.

#include "support/windowdriver.h"

using namespace kelvo;

namespace {

class CardWindowTest : public ::testing::Test, public test::WindowDriver {
  protected:
    CardWindowTest() : WindowDriver("cardwin") {}
};

TEST_F(CardWindowTest, NewCardTypedAndPlannedIsSavedWithItsRows) {
    whileCardShown("Novkarta1", [&] {
        EXPECT_EQ(card->windowTitle(), "Karta položky");
        EXPECT_TRUE(card->suiButton6->isEnabled());
        type(card->suiDBEdit1, "7");
        type(card->suiDBEdit3, "INV7");
        type(card->suiDBEdit2, "Lis hydraulický");
        type(card->suiDBEdit8, "100000");
        type(card->suiDBEdit11, "15.3.2014");
        choose(card->suiDBComboBox2, "rovnoměrně");
        choose(card->suiDBLookupComboBox1, "2");
        EXPECT_EQ(card->ZQuery4.asString("sk_odpisu"), "2"); // the plan reads this row

        press(card->suiButton6);
        EXPECT_EQ(messages.texts(), QStringList());
        ASSERT_EQ(card->rowsModel()->rowCount(), 5);
        const QStringList amounts{"11 000,00", "22 250,00", "22 250,00", "22 250,00", "22 250,00"};
        const QStringList residues{"89 000,00", "66 750,00", "44 500,00", "22 250,00", "0,00"};
        for (int row = 0; row < 5; ++row) {
            EXPECT_EQ(gridCell(row, "rok"), QString::number(2014 + row));
            EXPECT_EQ(gridCell(row, "korun_o"), amounts[row]);
            EXPECT_EQ(gridCell(row, "korun_do"), amounts[row]);
            EXPECT_EQ(gridCell(row, "zh"), residues[row]);
        }
        EXPECT_EQ(gridCell(1, "procento_o"), "22,25");
        EXPECT_EQ(card->suiDBEdit8->text(), "100 000,00");
        press(card->suiButton1);
    });

    EXPECT_EQ(messages.texts(), QStringList({"Záznam uložen!"}));
    const QString id = db.scalar("select id from karta where cislokarty='INV7'");
    ASSERT_FALSE(id.isEmpty());
    EXPECT_EQ(db.scalar("select concat_ws('|', pora_cislo, nazev, cena, do_pouziti, sk_odpisu, "
                        "zp_odpisu, skupina, rokyodpisu) from karta where id=" + id),
              "7|Lis hydraulický|100000.00|2014-03-15|2|rovnoměrně|2|5");
    EXPECT_EQ(db.column("select concat_ws('|', rok, korun_o, zh, nazev) from odpisy where id_karta=" +
                        id + " order by rok"),
              QStringList({"2014|11000.00|89000.00|Lis hydraulický",
                           "2015|22250.00|66750.00|Lis hydraulický",
                           "2016|22250.00|44500.00|Lis hydraulický",
                           "2017|22250.00|22250.00|Lis hydraulický",
                           "2018|22250.00|0.00|Lis hydraulický"}));
    EXPECT_EQ(form->list().query().asString("id"), id);
}

TEST_F(CardWindowTest, StornoAsksAndOnlyZahoditEndsTheCycleWithNothingWritten) {
    insertCard("pora_cislo, cislokarty, nazev", "'1', 'I1', 'Vrtačka'");
    whileCardShown("Opravakarty1", [&] {
        EXPECT_EQ(card->suiDBEdit2->text(), "Vrtačka");
        type(card->suiDBEdit2, "Soustruh");
        messages.answer(2); // "zpět"
        press(card->suiButton2);
        EXPECT_TRUE(card->isVisible());
        messages.answer(1); // "zahodit"
        press(card->suiButton2);
        EXPECT_FALSE(card->isVisible());
    });
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, "Opravdu zahodit všechny změny?");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Question);
    EXPECT_EQ(messages.shown[0].buttons, QStringList({"zahodit", "zpět"}));
    EXPECT_EQ(db.scalar("select nazev from karta"), "Vrtačka");
}

TEST_F(CardWindowTest, PlanButtonFollowsTheGroupNumberAndTitleBarCloseAsksNothing) {
    insertCard("pora_cislo, cislokarty, skupina", "'1', 'I1', 2");
    whileCardShown("Opravakarty1", [&] {
        EXPECT_FALSE(card->suiButton6->isEnabled());
        press(card->suiButton4); // "Nová karta"
        EXPECT_TRUE(card->suiButton6->isEnabled());
        EXPECT_EQ(card->suiDBEdit3->text(), "");
        press(card->suiButton3); // "Tisk karty" runs the main window's command
        EXPECT_EQ(printed, 1);
        card->close();
    });
    EXPECT_EQ(messages.texts(), QStringList());
    // The cancelled cycle removes the empty card "Nová karta" left behind.
    EXPECT_EQ(db.scalar("select count(*) from karta"), "1");

    insertCard("pora_cislo, cislokarty, skupina", "'2', 'I2', 0");
    whileCardShown("Opravakarty1", [&] { EXPECT_TRUE(card->suiButton6->isEnabled()); });
}

TEST_F(CardWindowTest, AFailingCommandShowsTheErrorAndTheWindowStaysOpen) {
    insertCard("pora_cislo, cislokarty, nazev", "'1', 'I1', 'Vrtačka'");
    // The clone's work table cannot be dropped when a view has its name.
    db.admin().execute("create view _pkarta as select 1 as x");
    whileCardShown("Opravakarty1", [&] {
        press(card->suiButton5);
        EXPECT_EQ(messages.errors.size(), 1);
        EXPECT_TRUE(card->isVisible());
        EXPECT_EQ(card->suiDBEdit2->text(), "Vrtačka");
        press(card->suiButton1);
    });
    db.admin().execute("drop view _pkarta");
    EXPECT_EQ(messages.texts(), QStringList({"Záznam uložen!"}));
    EXPECT_EQ(db.scalar("select count(*) from karta"), "1");
}

TEST_F(CardWindowTest, DoubleClickCycleCopiesTheTypedInUseDateIntoTheRows) {
    const qint64 id = insertCard("pora_cislo, cislokarty, do_pouziti", "'1', 'I1', '2014-03-15'");
    db.admin().execute(QStringLiteral("insert into odpisy (id_karta, rok) values (%1, '2014')").arg(id));
    auto doubleClick = [&] {
        emit form->suiDBGrid1->doubleClicked(form->listModel()->index(0, 1));
    };
    whileCardShown(doubleClick, [&] {
        type(card->suiDBEdit11, "1.2.2015");
        press(card->suiButton1);
    });
    EXPECT_EQ(db.scalar("select do_pouziti from odpisy"), "2015-02-01");
    whileCardShown("Opravakarty1", [&] {
        type(card->suiDBEdit11, "2.2.2016");
        press(card->suiButton1);
    });
    EXPECT_EQ(db.scalar("select do_pouziti from karta"), "2016-02-02");
    EXPECT_EQ(db.scalar("select do_pouziti from odpisy"), "2015-02-01"); // the menu form keeps it
}

TEST_F(CardWindowTest, EnterMovesTheFocusLikeTabAndWritesTheInput) {
    insertCard("pora_cislo, cislokarty, nazev", "'1', 'I1', 'Vrtačka'");
    whileCardShown("Opravakarty1", [&] {
        QApplication::setActiveWindow(card);
        card->suiDBEdit2->setFocus();
        type(card->suiDBEdit2, "Bagr");
        QTest::keyClick(card->suiDBEdit2, Qt::Key_Return);
        EXPECT_EQ(card->focusWidget(), card->suiDBEdit4);
        EXPECT_TRUE(card->isVisible());
        EXPECT_EQ(card->ZQuery1.asString("nazev"), "Bagr");
        card->suiDBEdit13->setFocus();
        QTest::keyClick(card->suiDBEdit13, Qt::Key_Enter);
        EXPECT_EQ(card->focusWidget(), card->suiDBComboBox2);
        press(card->suiButton1);
    });
    EXPECT_EQ(db.scalar("select nazev from karta"), "Bagr");
}

TEST_F(CardWindowTest, UnreadableDatesAndNumbersAreReportedAndNotWritten) {
    insertCard("pora_cislo, cislokarty, cena, datum_za", "'1', 'I1', 500, '2020-01-05'");
    struct Case {
        QLineEdit* Tfkarta::*edit;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {&Tfkarta::suiDBEdit9, "31.2.2014", "„31.2.2014“ není platné datum."},
        {&Tfkarta::suiDBEdit12, "zítra", "„zítra“ není platné datum."},
        {&Tfkarta::suiDBEdit8, "12a", "„12a“ není platné číslo."},
    };
    for (const Case& c : cases) {
        messages.shown.clear();
        db.admin().execute("update karta set cena=500, datum_za='2020-01-05'");
        whileCardShown("Opravakarty1", [&] {
            type(card->*c.edit, QString::fromUtf8(c.text));
            press(card->suiButton1); // refused: the window stays open
            EXPECT_TRUE(card->isVisible());
            EXPECT_EQ(card->ZQuery1.asString("datum_za"), "2020-01-05");
            EXPECT_EQ(card->ZQuery1.asFloat("cena"), 500);
            type(card->*c.edit, "");
            card->suiDBEdit8->setText("");
            type(card->suiDBEdit8, "1 234,5");
            type(card->suiDBEdit9, "05.01.2020");
            press(card->suiButton1);
        });
        EXPECT_EQ(messages.texts(),
                  QStringList({QString::fromUtf8(c.message), "Záznam uložen!"}))
            << c.text;
        EXPECT_EQ(db.scalar("select concat_ws('|', cena, datum_za) from karta"),
                  "1234.50|2020-01-05");
    }

    // The plan generation keeps its own check of the in-use date, one message.
    messages.shown.clear();
    whileCardShown("Opravakarty1", [&] {
        type(card->suiDBEdit11, "31.2.2014");
        press(card->suiButton6);
        EXPECT_EQ(messages.texts(), QStringList({"Chyba údaje pro výpočet odpisů - datum!"}));
    });
}

TEST_F(CardWindowTest, GridEditOfAnExistingRowIsWrittenAtSave) {
    const qint64 id = insertCard("pora_cislo, cislokarty", "'1', 'I1'");
    db.admin().execute(QStringLiteral("insert into odpisy (id_karta, rok, korun_o) values "
                                      "(%1, '2014', 1000), (%1, '2015', 2000)")
                           .arg(id));
    whileCardShown("Opravakarty1", [&] {
        ASSERT_EQ(card->rowsModel()->rowCount(), 2); // no blank append row
        typeIntoGrid(1, "korun_o", "2500");
        press(card->suiButton1);
    });
    EXPECT_EQ(db.column("select korun_o from odpisy order by rok"),
              QStringList({"1000", "2500"}));
}

} // namespace
