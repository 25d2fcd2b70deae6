#include "card/shift.h"
#include "depreciation/plan.h"
#include "support/cardwindowsets.h"
#include "support/qtprinters.h"
#include "support/scriptedmessages.h"
#include "support/testdatabase.h"

#include <gtest/gtest.h>

using namespace kelvo;
using namespace kelvo::test;

namespace {

const QString kShifted = QStringLiteral("Posun vět odpisů již byl proveden!");

// Example plans: price 100000, group of 5 years, straight-line, in use from
// March 2014. Rows: rok|koef_o|procento_o|korun_o|korun_do|opravka_u|opravka_d|
// zh|zh_d|korun_or|opravka_up|zh_p|korun_op.
class ShiftTest : public ::testing::Test {
protected:
    qint64 plannedCard(int planMode)
    {
        const qint64 id = insertCard(connection, 100000, QDate(2014, 3, 15), "2", QStringLiteral("rovnoměrně"));
        window.open(id);
        EXPECT_TRUE(PlanGenerator(window.sets(), messages, dateFormat).GeneratePlan(planMode));
        window.card.edit();
        return id;
    }

    TestDatabase db{QStringLiteral("shift")};
    Connection connection{db.params()};
    CardWindowSets window{connection};
    ScriptedMessages messages;
    DateFormat dateFormat;
    DepreciationShift shift{window.sets(), messages};
};

const QStringList kYearlyPlanShifted{
    "2014||11|0|11000|0|11000|100000|89000|11000|11000|89000|0",
    "2015||22.25|11000|22250|11000|33250|89000|66750|22250|33250|66750|0",
    "2016||22.25|22250|22250|33250|55500|66750|44500|22250|55500|44500|0",
    "2017||22.25|22250|22250|55500|77750|44500|22250|22250|77750|22250|0",
    "2018||22.25|22250|22250|77750|100000|22250|0|22250|100000|0|0",
    "2019||22.25|22250|0|100000|0|0|0|22250|100000|0|0",
};

TEST_F(ShiftTest, YearlyModeMovesTheAccountingPlanIntoANewYear)
{
    const qint64 id = plannedCard(0);
    EXPECT_TRUE(shift.Posunodpisu(0));
    EXPECT_EQ(planRows(connection, id), kYearlyPlanShifted);
    EXPECT_EQ(window.rows.rowCount(), 6);  // the grid shows the result

    // The first row's accounting depreciation is now 0: a second shift is refused.
    StatementLog log(connection);
    EXPECT_FALSE(shift.Posunodpisu(0));
    EXPECT_EQ(messages.texts(), QStringList{kShifted});
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Stop);
    EXPECT_EQ(log.statements, QStringList{"select * from odpisy where id_karta = 1 order by rok"});
    EXPECT_EQ(planRows(connection, id), kYearlyPlanShifted);
    EXPECT_TRUE(window.work.lines().isEmpty());
}

// In mode 1 the yearly values come back from the saved copies and shift into
// the extra row the mode already has; the prorated amounts stay untouched.
TEST_F(ShiftTest, ProratedModeShiftsTheYearlyPlanWithinItsRows)
{
    const qint64 id = plannedCard(1);
    EXPECT_TRUE(shift.Posunodpisu(1));
    EXPECT_EQ(planRows(connection, id),
              QStringList({"2014||11|0|11000|0|11000|100000|89000|11000|11000|89000|9166.67",
                           "2015||22.25|11000|22250|11000|33250|89000|66750|22250|33250|66750|22250",
                           "2016||22.25|22250|22250|33250|55500|66750|44500|22250|55500|44500|22250",
                           "2017||22.25|22250|22250|55500|77750|44500|22250|22250|77750|22250|22250",
                           "2018||22.25|22250|22250|77750|100000|22250|0|22250|100000|0|22250",
                           "2019||22.25|22250|0|100000|0|0|0|22250|100000|0|1833.33"}));
    EXPECT_FALSE(shift.Posunodpisu(1));
    EXPECT_EQ(messages.texts(), QStringList{kShifted});
}

// A yearly plan shifted in mode 1 keeps its five rows: the last year's values
// fall off the end.
TEST_F(ShiftTest, YearlyPlanShiftedInProratedModeLosesItsLastYear)
{
    const qint64 id = plannedCard(0);
    EXPECT_TRUE(shift.Posunodpisu(1));
    EXPECT_EQ(planRows(connection, id), kYearlyPlanShifted.mid(0, 5));
}

TEST_F(ShiftTest, PostedLastRowIsCopiedWithItsMark)
{
    const qint64 id = plannedCard(0);
    connection.execute("update odpisy set odepsano=\"A\", datum_odpisu=\"2019-01-10 00:00:00\" where rok=2018");
    EXPECT_TRUE(shift.Posunodpisu(0));
    EXPECT_EQ(db.scalar(QStringLiteral("select concat(odepsano, ' ', datum_odpisu) from odpisy where id_karta=%1 "
                                       "and rok=2019").arg(id)),
              "A 2019-01-10 00:00:00");
}

TEST_F(ShiftTest, PriceTypedButNotSavedIsTheFirstResidualValue)
{
    const qint64 id = plannedCard(0);
    window.card.setFloat("cena", 120000);
    EXPECT_TRUE(shift.Posunodpisu(0));
    EXPECT_EQ(db.scalar(QStringLiteral("select zh from odpisy where id_karta=%1 and rok=2014").arg(id)), "120000");
}

TEST_F(ShiftTest, EmptyGridAndFirstYearWithoutDepreciationCountAsShifted)
{
    const qint64 id = insertCard(connection, 100000, QDate(2014, 3, 15), "2", QStringLiteral("rovnoměrně"));
    window.open(id);
    EXPECT_FALSE(shift.Posunodpisu(0));
    connection.execute(QStringLiteral("insert into odpisy set id_karta=%1, rok=2014, korun_o=0, korun_do=500").arg(id));
    connection.execute(QStringLiteral("insert into odpisy set id_karta=%1, rok=2015, korun_o=500").arg(id));
    window.rows.refresh();
    EXPECT_FALSE(shift.Posunodpisu(1));
    EXPECT_EQ(messages.texts(), QStringList({kShifted, kShifted}));
    EXPECT_EQ(db.scalar("select count(*) from odpisy"), "2");
}

TEST_F(ShiftTest, OtherAccountingModesDoNothing)
{
    plannedCard(0);
    StatementLog log(connection);
    EXPECT_FALSE(shift.Posunodpisu(2));
    EXPECT_FALSE(shift.Posunodpisu(-1));
    EXPECT_TRUE(log.statements.isEmpty());
    EXPECT_TRUE(messages.shown.empty());
}

} // namespace
