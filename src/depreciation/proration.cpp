#include "depreciation/proration.h"

#include "depreciation/rounding.h"
#include "depreciation/statements.h"

namespace kelvo {

void ProrateAccountingPlan(Query& work, const QString& cardId, double price, int inUseMonth)
{
    const QString rowsInYearOrder =
        statementOf({QStringLiteral("select * from odpisy where id_karta=") + cardId + QStringLiteral(" order by rok")});
    work.openText(rowsInYearOrder);
    // Without a first row there is nothing to prorate, and editing one would
    // create a row that belongs to no card.
    if (work.isEmpty()) {
        work.close();
        return;
    }

    // The first year keeps the months from the month of putting into use on;
    // the rest moves to an extra year.
    const int months = 13 - inUseMonth;
    const double yearly = work.asFloat(QStringLiteral("korun_o"));
    const double first = RoundDecimals(double(static_cast<long double>(yearly) / 12 * months), 2);
    const double rest = RoundDecimals(double(static_cast<long double>(yearly) - first), 2);
    work.setFloat(QStringLiteral("korun_op"), RoundDecimals(first, 2));
    work.post();
    for (work.next(); !work.eof(); work.next()) {
        work.setFloat(QStringLiteral("korun_op"), work.asFloat(QStringLiteral("korun_o")));
        work.post();
    }

    work.executeText(statementOf({QStringLiteral("drop temporary table if exists _vlozit")}));
    work.executeText(statementOf({QStringLiteral("create temporary table _vlozit select * from odpisy where id_karta=") +
                                  cardId + QStringLiteral(" order by rok desc limit 0, 1")}));
    work.executeText(statementOf({
        QStringLiteral("update _vlozit set id = 0"),
        QStringLiteral(", korun_op = ") + SqlNumber(rest),
        QStringLiteral(", rok = rok + 1, zh = 0, korun_do = 0,opravka_d = 0, zh_d = 0"),
    }));
    work.executeText(statementOf({QStringLiteral("insert into odpisy select * from _vlozit")}));
    work.executeText(statementOf({QStringLiteral("update odpisy set korun_o = korun_op"),
                                  QStringLiteral("where id_karta = ") + cardId}));

    // Running sums in hundredths, halves away from zero.
    work.openText(rowsInYearOrder);
    const auto runningSum = [&work](const QString& amount, const QString& sum) {
        double s = 0;
        for (work.first(); !work.eof(); work.next()) {
            s = RoundDecimals(double(static_cast<long double>(work.asFloat(amount)) + s), 2);
            work.setFloat(sum, RoundDecimals(s, 2));
            work.post();
            s = RoundDecimals(work.asFloat(sum), 2);
        }
    };
    runningSum(QStringLiteral("korun_o"), QStringLiteral("opravka_u"));
    runningSum(QStringLiteral("korun_do"), QStringLiteral("opravka_d"));
    work.last();
    if (work.asFloat(QStringLiteral("korun_do")) == 0) {
        work.setFloat(QStringLiteral("opravka_d"), 0.0);
        work.post();
    }

    double t = 0;
    for (work.first(); !work.eof(); work.next()) {
        t = RoundDecimals(double(static_cast<long double>(work.asFloat(QStringLiteral("korun_o"))) + t), 2);
        work.setFloat(QStringLiteral("zh"), RoundDecimals(double(static_cast<long double>(price) - t), 2));
        work.post();
    }
    work.close();
}

} // namespace kelvo
