#include "card/shift.h"

#include "depreciation/rounding.h"

namespace kelvo {

DepreciationShift::DepreciationShift(CardDataSets sets, MessageService& messages)
    : sets_(sets), messages_(messages)
{
}

bool DepreciationShift::Posunodpisu(int accountingMode)
{
    if (accountingMode != 0 && accountingMode != 1)
        return false;
    Query& work = sets_.work;
    const QString id = QString::number(sets_.rows.asInteger(QStringLiteral("id_karta")));
    const QString rowsInYearOrder = QStringLiteral("select * from odpisy where id_karta = ") + id +
                                    QStringLiteral(" order by rok");

    work.openText(rowsInYearOrder);
    if (work.asFloat(QStringLiteral("korun_o")) == 0) {
        work.close();
        work.clearText();
        messages_.show(Message{MessageIcon::Stop, {QStringLiteral("OK")},
                               QStringLiteral("Posun vět odpisů již byl proveden!")});
        return false;
    }

    if (accountingMode == 1) {
        // Back to the yearly plan, the extra row included, before shifting it.
        work.close();
        work.executeText(QStringLiteral("update odpisy set korun_o = korun_or where id_karta = ") + id);
        work.executeText(QStringLiteral("update odpisy set opravka_u = opravka_up where id_karta = ") + id);
        work.executeText(QStringLiteral("update odpisy set zh = zh_p where id_karta = ") + id);
        work.openText(rowsInYearOrder);
    }

    double depreciation = 0;
    double accumulated = 0;
    double residual = sets_.card.asFloat(QStringLiteral("cena"));
    for (work.first(); !work.eof(); work.next()) {
        const double ownDepreciation = work.asFloat(QStringLiteral("korun_o"));
        const double ownAccumulated = work.asFloat(QStringLiteral("opravka_u"));
        const double ownResidual = work.asFloat(QStringLiteral("zh"));
        work.setFloat(QStringLiteral("korun_o"), depreciation);
        work.setFloat(QStringLiteral("opravka_u"), accumulated);
        work.setFloat(QStringLiteral("zh"), residual);
        work.post();
        depreciation = ownDepreciation;
        accumulated = ownAccumulated;
        residual = ownResidual;
    }
    work.close();

    // The last year's values go into a copy of the last row one year on.
    Query temp(work.connection());
    temp.executeText(QStringLiteral("create temporary table _pr select * from odpisy where id_karta = ") + id +
                     QStringLiteral(" order by rok desc limit 0,1"));
    temp.openText(QStringLiteral("select * from _pr"));
    const qint64 lastYear = temp.asInteger(QStringLiteral("rok"));
    temp.close();
    temp.executeText(QStringLiteral("update _pr set id = 0, rok = ") + QString::number(lastYear + 1) +
                     QStringLiteral(", korun_o=") + SqlNumber(depreciation) + QStringLiteral(", korun_do = 0") +
                     QStringLiteral(", opravka_u=") + SqlNumber(accumulated) + QStringLiteral(", opravka_d = 0") +
                     QStringLiteral(", zh = 0"));
    temp.executeText(QStringLiteral("insert into odpisy select * from _pr"));
    temp.executeText(QStringLiteral("drop temporary table if exists _pr"));

    if (accountingMode == 1) {
        // The extra row of this mode already holds the last year: the plan
        // keeps its number of rows.
        work.openText(QStringLiteral("select max(id) as id from odpisy where id_karta = ") + id);
        const QString appended = work.asString(QStringLiteral("id"));
        work.close();
        work.executeText(QStringLiteral("delete from odpisy where id = ") + appended);
    }
    sets_.rows.refresh();
    return true;
}

} // namespace kelvo
