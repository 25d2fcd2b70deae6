#include "depreciation/yearlyposting.h"
#include "support/qtprinters.h"
#include "support/scriptedmessages.h"
#include "support/testdatabase.h"

#include <gtest/gtest.h>

using namespace kelvo;
using namespace kelvo::test;

namespace {

// Run on 10 March 2016: the posting year is 2015.
class YearlyPostingTest : public ::testing::Test {
protected:
    void addRow(int card, const char* inventory, int year, const char* posted = "N")
    {
        connection.execute(QStringLiteral("insert into odpisy set id_karta=%1, cislokarty=\"%2\", rok=%3, korun_o=100, "
                                          "odepsano=\"%4\"")
                               .arg(card)
                               .arg(QLatin1String(inventory))
                               .arg(year)
                               .arg(QLatin1String(posted)));
    }
    QStringList marks()
    {
        return db.column("select concat_ws(' ', id_karta, rok, odepsano, ifnull(datum_odpisu, '-')) from odpisy "
                         "order by id");
    }

    TestDatabase db{QStringLiteral("posting")};
    Connection connection{db.params()};
    ScriptedMessages messages;
    FixedClock clock{QDate(2016, 3, 10)};
    QStringList printed;
    YearlyPosting posting{connection, messages, clock, [this](Query& rows) {
                              for (rows.first(); !rows.eof(); rows.next())
                                  printed << rows.asString("cislokarty");
                          }};
};

TEST_F(YearlyPostingTest, NothingToPost)
{
    addRow(1, "A1", 2014);
    addRow(1, "A1", 2016);
    EXPECT_FALSE(posting.Provstodpis());
    EXPECT_EQ(messages.texts(), QStringList{"Nebyl nalezen záznam pro odpis!"});
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Information);
    EXPECT_TRUE(printed.isEmpty());
}

// One posted row of the year refuses the whole year; its other rows stay open.
TEST_F(YearlyPostingTest, PartlyPostedYearIsRefused)
{
    addRow(1, "A1", 2015, "A");
    addRow(2, "A2", 2015);
    const QStringList before = marks();
    EXPECT_FALSE(posting.Provstodpis());
    EXPECT_EQ(messages.texts(), QStringList{"Odpis pro daný rok 2015 již byl proveden!"});
    EXPECT_TRUE(printed.isEmpty());
    EXPECT_EQ(marks(), before);
}

TEST_F(YearlyPostingTest, BackAfterTheListWritesNothing)
{
    addRow(1, "B7", 2015);
    addRow(2, "A3", 2015);
    addRow(2, "A3", 2014);
    const QStringList before = marks();
    messages.answer(2);
    EXPECT_FALSE(posting.Provstodpis());
    EXPECT_EQ(printed, QStringList({"A3", "B7"}));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Pokračovat v odpisech pro rok 2015?");
    EXPECT_EQ(messages.shown[0].buttons, QStringList({"Ano", "Zpět"}));
    EXPECT_EQ(marks(), before);
}

// "Ano" marks exactly the listed rows, at midnight of today; a second run the
// same year finds the year posted.
TEST_F(YearlyPostingTest, YesPostsExactlyTheListedRowsAtMidnight)
{
    addRow(1, "B7", 2015);
    addRow(2, "A3", 2015);
    addRow(2, "A3", 2014);
    addRow(2, "A3", 2016);
    messages.answer(1);
    EXPECT_TRUE(posting.Provstodpis());
    EXPECT_EQ(messages.texts(), QStringList({"Pokračovat v odpisech pro rok 2015?", "Byl proveden odpis pro rok 2015!"}));
    EXPECT_EQ(marks(), QStringList({"1 2015 A 2016-03-10 00:00:00", "2 2015 A 2016-03-10 00:00:00", "2 2014 N -",
                                    "2 2016 N -"}));

    messages.shown.clear();
    EXPECT_FALSE(posting.Provstodpis());
    EXPECT_EQ(messages.texts(), QStringList{"Odpis pro daný rok 2015 již byl proveden!"});
}

} // namespace
