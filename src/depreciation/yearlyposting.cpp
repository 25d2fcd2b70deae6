#include "depreciation/yearlyposting.h"

namespace kelvo {

YearlyPosting::YearlyPosting(Connection& connection, MessageService& messages, const Clock& clock,
                             PrintPostingList printPostingList)
    : connection_(connection), messages_(messages), clock_(clock), printPostingList_(std::move(printPostingList))
{
}

bool YearlyPosting::Provstodpis()
{
    const QDate today = clock_.today();
    const QString year = QString::number(today.year() - 1);
    Query rows(connection_);
    const QString ofYear = QStringLiteral("select * from odpisy where rok = ") + year;

    rows.openText(ofYear);
    if (rows.isEmpty()) {
        messages_.show(infoMessage(QStringLiteral("Nebyl nalezen záznam pro odpis!")));
        return false;
    }
    // One posted row is enough: a year is posted once, as a whole.
    rows.openText(ofYear + QStringLiteral(" and odepsano = \"A\""));
    if (!rows.isEmpty()) {
        rows.close();
        messages_.show(infoMessage(QStringLiteral("Odpis pro daný rok ") + year + QStringLiteral(" již byl proveden!")));
        return false;
    }

    rows.openText(ofYear + QStringLiteral(" and odepsano = \"N\" order by cislokarty"));
    if (printPostingList_)
        printPostingList_(rows);
    rows.close();

    const Message confirm{MessageIcon::Information,
                          {QStringLiteral("Ano"), QStringLiteral("Zpět")},
                          QStringLiteral("Pokračovat v odpisech pro rok ") + year + QStringLiteral("?")};
    if (messages_.show(confirm) != 1)
        return false;

    const QString stamp = QDateTime(today, QTime(0, 0)).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    rows.executeText(QStringLiteral("update odpisy set odepsano = \"A\", datum_odpisu = \"") + stamp +
                     QStringLiteral("\"\n where rok = ") + year + QStringLiteral(" and odepsano = \"N\""));
    messages_.show(infoMessage(QStringLiteral("Byl proveden odpis pro rok ") + year + QStringLiteral("!")));
    return true;
}

} // namespace kelvo
