#include "depreciation/plan.h"
#include "support/cardwindowsets.h"
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

} // namespace
