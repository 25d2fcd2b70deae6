#include "depreciation/plan.h"
#include "support/cardwindowsets.h"
#include "support/qtprinters.h"
#include "support/scriptedmessages.h"
#include "support/testdatabase.h"

#include <gtest/gtest.h>

using namespace kelvo;
using namespace kelvo::test;

namespace {

const QString kStraight = QStringLiteral("rovnoměrně");
const QString kAccelerated = QStringLiteral("zrychleně");

class PlanTest : public ::testing::Test {
protected:
    qint64 card(double price, QDate inUse, const QString& group, const QString& method)
    {
        const qint64 id = insertCard(connection, price, inUse, group, method);
        window.open(id);
        return id;
    }
    bool generate(int accountingMode, const QString& inUseText)
    {
        return generator.GeneratePlan(inUseText, accountingMode);
    }
    QString cardRates(qint64 id)
    {
        return db.scalar(QStringLiteral("select concat_ws('|', skupina, rokyodpisu, round(prvnirok), round(dalsi), "
                                        "round(zvyseny_vstup)) from karta where id=%1")
                             .arg(id));
    }

    TestDatabase db{QStringLiteral("plan")};
    Connection connection{db.params()};
    CardWindowSets window{connection};
    ScriptedMessages messages;
    DateFormat dateFormat;
    PlanGenerator generator{window.sets(), messages, dateFormat};
};

struct WorkedExample {
    const char* name;
    double price;
    QDate inUse;
    QString group;
    QString method;
    int accountingMode;
    QString cardRates;  // skupina|rokyodpisu|prvnirok|dalsi|zvyseny_vstup
    // rok|koef_o|procento_o|korun_o|korun_do|opravka_u|opravka_d|zh|zh_d|korun_or|opravka_up|zh_p|korun_op
    QStringList rows;
};

class WorkedExampleTest : public PlanTest, public ::testing::WithParamInterface<WorkedExample> {};

TEST_P(WorkedExampleTest, GivesEveryColumnOfEveryRow)
{
    const WorkedExample& e = GetParam();
    const qint64 id = card(e.price, e.inUse, e.group, e.method);
    ASSERT_TRUE(generate(e.accountingMode, dateFormat.format(e.inUse)));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(planRows(connection, id), e.rows);
    EXPECT_EQ(cardRates(id), e.cardRates);
    // The card was written and the grid shows the new rows.
    EXPECT_FALSE(window.card.isEditing());
    EXPECT_EQ(window.rows.rowCount(), e.rows.size());
    EXPECT_FALSE(window.work.isOpen());
}

const WorkedExample kExamples[] = {
    {"StraightLine", 100000, QDate(2014, 3, 15), "2", kStraight, 0, "2|5|11|22|20",
     {"2014||11|11000|11000|11000|11000|89000|89000|11000|11000|89000|0",
      "2015||22.25|22250|22250|33250|33250|66750|66750|22250|33250|66750|0",
      "2016||22.25|22250|22250|55500|55500|44500|44500|22250|55500|44500|0",
      "2017||22.25|22250|22250|77750|77750|22250|22250|22250|77750|22250|0",
      "2018||22.25|22250|22250|100000|100000|0|0|22250|100000|0|0"}},
    {"LastYearSettlesTheOvershoot", 99999, QDate(2014, 3, 15), "2", kStraight, 0, "2|5|11|22|20",
     {"2014||11|11000|11000|11000|11000|88999|88999|11000|11000|88999|0",
      "2015||22.25|22250|22250|33250|33250|66749|66749|22250|33250|66749|0",
      "2016||22.25|22250|22250|55500|55500|44499|44499|22250|55500|44499|0",
      "2017||22.25|22250|22250|77750|77750|22249|22249|22250|77750|22249|0",
      "2018||22.25|22249|22249|99999|99999|0|0|22249|99999|0|0"}},
    {"Accelerated", 100000, QDate(2014, 6, 1), "2", kAccelerated, 0, "2|5|5|6|5",
     {"2014|5|20|20000|20000|20000|20000|80000|80000|20000|20000|80000|0",
      "2015|5|20|32000|32000|52000|52000|48000|48000|32000|52000|48000|0",
      "2016|4|25|24000|24000|76000|76000|24000|24000|24000|76000|24000|0",
      "2017|3|33.33|16000|16000|92000|92000|8000|8000|16000|92000|8000|0",
      "2018|2|50|8000|8000|100000|100000|0|0|8000|100000|0|0"}},
    {"AcceleratedRoundedPercentage", 100000, QDate(2014, 6, 1), "1", kAccelerated, 0, "1|3|3|4|3",
     {"2014|3|33.33|33330|33330|33330|33330|66670|66670|33330|33330|66670|0",
      "2015|3|33.33|44447|44447|77777|77777|22223|22223|44447|77777|22223|0",
      "2016|2|50|22223|22223|100000|100000|0|0|22223|100000|0|0"}},
    {"StraightLineProratedFromMarch", 100000, QDate(2014, 3, 15), "2", kStraight, 1, "2|5|11|22|20",
     {"2014||11|9166.67|11000|9166.67|11000|90833.33|89000|11000|11000|89000|9166.67",
      "2015||22.25|22250|22250|31416.67|33250|68583.33|66750|22250|33250|66750|22250",
      "2016||22.25|22250|22250|53666.67|55500|46333.33|44500|22250|55500|44500|22250",
      "2017||22.25|22250|22250|75916.67|77750|24083.33|22250|22250|77750|22250|22250",
      "2018||22.25|22250|22250|98166.67|100000|1833.33|0|22250|100000|0|22250",
      "2019||22.25|1833.33|0|100000|0|0|0|22250|100000|0|1833.33"}},
    {"AcceleratedProratedFromOctober", 100000, QDate(2014, 10, 1), "1", kAccelerated, 1, "1|3|3|4|3",
     {"2014|3|33.33|8332.5|33330|8332.5|33330|91667.5|66670|33330|33330|66670|8332.5",
      "2015|3|33.33|44447|44447|52779.5|77777|47220.5|22223|44447|77777|22223|44447",
      "2016|2|50|22223|22223|75002.5|100000|24997.5|0|22223|100000|0|22223",
      "2017|2|50|24997.5|0|100000|0|0|0|22223|100000|0|24997.5"}},
    {"ProratedFromJanuaryMovesNothing", 100000, QDate(2014, 1, 2), "1", kAccelerated, 1, "1|3|3|4|3",
     {"2014|3|33.33|33330|33330|33330|33330|66670|66670|33330|33330|66670|33330",
      "2015|3|33.33|44447|44447|77777|77777|22223|22223|44447|77777|22223|44447",
      "2016|2|50|22223|22223|100000|100000|0|0|22223|100000|0|22223",
      "2017|2|50|0|0|100000|0|0|0|22223|100000|0|0"}},
    {"ProratedFromDecemberKeepsOneTwelfth", 100000, QDate(2014, 12, 31), "1", kAccelerated, 1, "1|3|3|4|3",
     {"2014|3|33.33|2777.5|33330|2777.5|33330|97222.5|66670|33330|33330|66670|2777.5",
      "2015|3|33.33|44447|44447|47224.5|77777|52775.5|22223|44447|77777|22223|44447",
      "2016|2|50|22223|22223|69447.5|100000|30552.5|0|22223|100000|0|22223",
      "2017|2|50|30552.5|0|100000|0|0|0|22223|100000|0|30552.5"}},
    // The increased first-year methods: the table's first-year rate, the rest
    // of 100 % shared evenly, the last year settling the remainder.
    {"IncreasedBy10", 99999, QDate(2014, 5, 5), "2", QStringLiteral("zvýšený odpis o 10%"), 0, "2|5|21|20|20",
     {"2014||21|21000|21000|21000|21000|78999|78999|21000|21000|78999|0",
      "2015||19.75|19750|19750|40750|40750|59249|59249|19750|40750|59249|0",
      "2016||19.75|19750|19750|60500|60500|39499|39499|19750|60500|39499|0",
      "2017||19.75|19750|19750|80250|80250|19749|19749|19750|80250|19749|0",
      "2018||19.75|19749|19749|99999|99999|0|0|19749|99999|0|0"}},
    {"IncreasedBy15", 100003, QDate(2020, 2, 1), "1", QStringLiteral("zvýšený odpis o 15%"), 0, "1|3|35|32|33",
     {"2020||35|35002|35002|35002|35002|65001|65001|35002|35002|65001|0",
      "2021||32.5|32501|32501|67503|67503|32500|32500|32501|67503|32500|0",
      "2022||32.5|32500|32500|100003|100003|0|0|32500|100003|0|0"}},
    {"IncreasedBy20", 12345, QDate(2015, 7, 1), "3", QStringLiteral("zvýšený odpis o 20%"), 0, "3|10|24|8|10",
     {"2015||24.4|3013|3013|3013|3013|9332|9332|3013|3013|9332|0",
      "2016||8.4|1037|1037|4050|4050|8295|8295|1037|4050|8295|0",
      "2017||8.4|1037|1037|5087|5087|7258|7258|1037|5087|7258|0",
      "2018||8.4|1037|1037|6124|6124|6221|6221|1037|6124|6221|0",
      "2019||8.4|1037|1037|7161|7161|5184|5184|1037|7161|5184|0",
      "2020||8.4|1037|1037|8198|8198|4147|4147|1037|8198|4147|0",
      "2021||8.4|1037|1037|9235|9235|3110|3110|1037|9235|3110|0",
      "2022||8.4|1037|1037|10272|10272|2073|2073|1037|10272|2073|0",
      "2023||8.4|1037|1037|11309|11309|1036|1036|1037|11309|1036|0",
      "2024||8.4|1036|1036|12345|12345|0|0|1036|12345|0|0"}},
};

INSTANTIATE_TEST_SUITE_P(Plans, WorkedExampleTest, ::testing::ValuesIn(kExamples),
                         [](const auto& info) { return std::string(info.param.name); });

struct Refusal {
    const char* name;
    double price;
    QString inUseText;
    QString group;
    QString method;
    QString message;
};

class RefusalTest : public PlanTest, public ::testing::WithParamInterface<Refusal> {};

// Each case fails one check (and any later ones); only the first message shows,
// and neither the card nor its existing rows change.
TEST_P(RefusalTest, ShowsOnlyTheFirstFailingCheckAndChangesNothing)
{
    const Refusal& r = GetParam();
    // Groups that the statutory tables lack: one with no accelerated row, one
    // of a single year.
    connection.execute("insert into def_skupiny (sk_odpisu, skupina, rokyodpisu) values (\"7\", 7, 4), (\"J\", 8, 1)");
    connection.execute("insert into def_odpisr (skupina, prvnirok, dalsi) values (8, 100, 0)");
    const qint64 id = card(r.price, QDate(2014, 3, 15), r.group, r.method);
    connection.execute(QStringLiteral("insert into odpisy set id_karta=%1, rok=2014, korun_o=5, odepsano=\"A\"").arg(id));

    EXPECT_FALSE(generate(0, r.inUseText));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, r.message);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Stop);
    EXPECT_EQ(messages.shown[0].buttons, QStringList{"OK"});
    EXPECT_EQ(messages.shown[0].caption, "Zerut");
    EXPECT_EQ(planRows(connection, id), QStringList{"2014||0|5|0|0|0|0|0|0|0|0|0"});
    EXPECT_EQ(cardRates(id), "0|0|0|0|0");
}

const Refusal kRefusals[] = {
    {"NoPriceNorDate", 0, "", "", "", "Není vyplněn údaj pro výpočet odpisů - cena!"},
    {"NoDate", 100, "", "", "", "Není vyplněn údaj pro výpočet odpisů - datum!"},
    {"InvalidDate", 100, "31.2.2014", "", "", "Chyba údaje pro výpočet odpisů - datum!"},
    {"NotADate", 100, "březen", "2", kStraight, "Chyba údaje pro výpočet odpisů - datum!"},
    {"ZeroDate", 100, "0.0.0", "2", kStraight, "Chyba údaje pro výpočet odpisů - datum!"},
    {"FiveDigitYear", 100, "1.1.10000", "2", kStraight, "Chyba údaje pro výpočet odpisů - datum!"},
    {"BlanksAreNotADate", 100, " ", "", "", "Chyba údaje pro výpočet odpisů - datum!"},
    {"NoGroup", 100, "15.3.2014", "", "", "Není vyplněn údaj pro výpočet odpisů - skupina odpisu!"},
    {"UnknownGroup", 100, "15.3.2014", "99", kStraight, "Není vyplněn údaj pro výpočet odpisů - skupina odpisu!"},
    {"NoMethod", 100, "15.3.2014", "2", "", "Není vyplněn údaj pro výpočet odpisů - způsob odpisu!"},
    {"AcceleratedWithoutRateRow", 100, "15.3.2014", "7", kAccelerated,
     "Chyba údaje pro výpočet odpisů - koeficient prvního roku!"},
    {"StraightLineOfOneYear", 100, "15.3.2014", "J", kStraight, "Chyba údaje pro výpočet odpisů - počet let odpisu!"},
    {"IncreasedOfOneYear", 100, "15.3.2014", "J", "zvýšený odpis o 20%",
     "Chyba údaje pro výpočet odpisů - počet let odpisu!"},
};

INSTANTIATE_TEST_SUITE_P(Plans, RefusalTest, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlanTest, AcceleratedWithZeroCoefficientIsRefused)
{
    connection.execute("update def_odpisz set prvnirok=0 where skupina=2");
    const qint64 id = card(100000, QDate(2014, 3, 15), "2", kAccelerated);
    EXPECT_FALSE(generate(0, "15.3.2014"));
    EXPECT_EQ(messages.texts(), QStringList{"Chyba údaje pro výpočet odpisů - koeficient prvního roku!"});
    EXPECT_EQ(cardRates(id), "0|0|0|0|0");
}

TEST_F(PlanTest, NegativePriceGivesANegativePlan)
{
    const qint64 id = card(-100000, QDate(2014, 3, 15), "2", kStraight);
    ASSERT_TRUE(generate(0, "15.3.2014"));
    EXPECT_EQ(planRows(connection, id),
              QStringList({"2014||11|-11000|-11000|-11000|-11000|-89000|-89000|-11000|-11000|-89000|0",
                           "2015||22.25|-22250|-22250|-33250|-33250|-66750|-66750|-22250|-33250|-66750|0",
                           "2016||22.25|-22250|-22250|-55500|-55500|-44500|-44500|-22250|-55500|-44500|0",
                           "2017||22.25|-22250|-22250|-77750|-77750|-22250|-22250|-22250|-77750|-22250|0",
                           "2018||22.25|-22250|-22250|-100000|-100000|0|0|-22250|-100000|0|0"}));
}

// A second run replaces every row, posted ones included, with the same plan
// under new ids; AccountingMode 1 does not pile up extra rows.
TEST_F(PlanTest, RegeneratingGivesTheSameRows)
{
    for (const int mode : {0, 1}) {
        SCOPED_TRACE(mode);
        const qint64 id = card(100000, QDate(2014, 3, 15), "2", kStraight);
        ASSERT_TRUE(generate(mode, "15.3.2014"));
        const QStringList first = planRows(connection, id);
        const QStringList firstIds = db.column(QStringLiteral("select id from odpisy where id_karta=%1").arg(id));
        connection.execute(QStringLiteral("update odpisy set odepsano=\"A\" where id_karta=%1").arg(id));

        ASSERT_TRUE(generate(mode, "15.3.2014"));
        EXPECT_EQ(planRows(connection, id), first);
        EXPECT_EQ(first.size(), mode == 0 ? 5 : 6);
        for (const QString& oldId : firstIds)
            EXPECT_EQ(db.scalar("select count(*) from odpisy where id=" + oldId), "0");
        EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from odpisy where odepsano=\"A\" and id_karta=%1").arg(id)),
                  "0");
    }
}

// The in-use text is read in the program's short date format; a date late in
// the year still puts a full first year into that year.
TEST_F(PlanTest, InUseTextFollowsTheShortDateFormat)
{
    dateFormat.setPattern("dd.MM.yyyy");
    const qint64 id = card(100000, QDate(2014, 12, 31), "2", kStraight);
    ASSERT_TRUE(generator.GeneratePlan(0));
    const QStringList rows = planRows(connection, id);
    ASSERT_EQ(rows.size(), 5);
    EXPECT_TRUE(rows[0].startsWith("2014||11|11000|"));
}

// A method text outside the list computes no rows; proration of a card without
// rows must not leave a row that belongs to no card.
TEST_F(PlanTest, ProrationOfACardWithoutRowsLeavesNoRowBehind)
{
    const qint64 id = card(100000, QDate(2014, 3, 15), "2", "podle smlouvy");
    ASSERT_TRUE(generate(1, "15.3.2014"));
    EXPECT_EQ(db.scalar("select count(*) from odpisy"), "0");
    EXPECT_EQ(cardRates(id), "2|5|0|0|0");
}

// One straight-line run sends exactly these statements, in this order.
TEST_F(PlanTest, StraightLineRunSendsTheStatementsInOrder)
{
    const qint64 id = card(100000, QDate(2014, 3, 15), "2", kStraight);
    ASSERT_EQ(id, 1);
    StatementLog log(connection);
    ASSERT_TRUE(generate(0, "15.3.2014"));

    const auto insert = [](int year, const char* rate, int amount, int residual) {
        return QStringLiteral("insert into odpisy set\nid_karta=1,\nrok=%1,\nprocento_o=%2,\nkorun_o=%3,\nzh=%4,\nzh_d=%4\n")
            .arg(year)
            .arg(QLatin1String(rate))
            .arg(amount)
            .arg(residual);
    };
    const QString korunDo = "update odpisy set korun_do = korun_o where id_karta=1\n";
    QStringList expected{
        "update karta set skupina=2,rokyodpisu=5 where id=1",
        "select * from def_odpisr where skupina=2\n",
        "update karta set prvnirok=11,dalsi=22,zvyseny_vstup=20 where id=1",
        "delete from odpisy where id_karta = 1\n",
        insert(2014, "11", 11000, 89000),
        insert(2015, "22.25", 22250, 66750), korunDo,
        insert(2016, "22.25", 22250, 44500), korunDo,
        insert(2017, "22.25", 22250, 22250), korunDo,
        insert(2018, "22.25", 22250, 0), korunDo,
        "select * from odpisy where id_karta = 1\norder by rok",
        "select * from odpisy where id_karta=1 order by rok\n",
    };
    // The data set writes each running sum back by the row's key, numbers in
    // their shortest form.
    const char* sums[] = {"11000", "33250", "55500", "77750", "1e+05"};
    for (const char* column : {"opravka_u", "opravka_d"})
        for (int row = 0; row < 5; ++row)
            expected << QStringLiteral("update odpisy set %1=%2 where id=%3")
                            .arg(QLatin1String(column), QLatin1String(sums[row]))
                            .arg(row + 1);
    expected << "update odpisy set\nkorun_or = korun_o \nwhere id_karta = 1\n"
             << "update odpisy set\nopravka_up = opravka_u \nwhere id_karta = 1\n"
             << "update odpisy set\nzh_p = zh \nwhere id_karta = 1\n"
             << "select * from odpisy where id_karta = 1\norder by rok";
    EXPECT_EQ(log.statements, expected);
}

} // namespace
