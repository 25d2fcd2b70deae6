#pragma once

#include "depreciation/carddatasets.h"
#include "support/testdatabase.h"

#include <QDate>

namespace kelvo::test {

// The card window's four data sets, opened on one card as an edit cycle opens
// them before the window is shown.
struct CardWindowSets {
    explicit CardWindowSets(Connection& connection)
        : card(connection), rows(connection), work(connection), groups(connection)
    {
    }
    CardDataSets sets() { return {card, rows, work, groups}; }

    void open(qint64 id)
    {
        const QString key = QString::number(id);
        card.setText(QStringLiteral("select * from karta where id=\n") + key);
        card.open();
        card.edit();
        rows.setText(QStringLiteral("select * from odpisy where id_karta = ") + key + QStringLiteral("\norder by rok"));
        rows.open();
        groups.setText(QStringLiteral("select * from def_skupiny"));
        groups.open();
    }

    Query card;
    Query rows;
    Query work;
    Query groups;
};

// A card with what the plan needs; returns its id.
inline qint64 insertCard(Connection& connection, double price, QDate inUse, const QString& group,
                         const QString& method)
{
    connection.execute(QStringLiteral("insert into karta (pora_cislo, cislokarty, cena, do_pouziti, sk_odpisu, "
                                      "zp_odpisu) values (\"1\", \"INV1\", %1, %2, %3, %4)")
                           .arg(QString::number(price, 'f', 2),
                                inUse.isValid() ? inUse.toString(QStringLiteral("\"yyyy-MM-dd\"")) : QStringLiteral("null"),
                                connection.quote(group), connection.quote(method)));
    return qint64(connection.lastInsertId());
}

// A card's rows in year order, one text per row: rok|koef_o|procento_o|korun_o|
// korun_do|opravka_u|opravka_d|zh|zh_d|korun_or|opravka_up|zh_p|korun_op, numbers
// in their shortest form.
inline QStringList planRows(Connection& connection, qint64 id)
{
    const ResultSet result = connection.select(
        QStringLiteral("select rok, koef_o, procento_o, korun_o, korun_do, opravka_u, opravka_d, zh, zh_d, korun_or, "
                       "opravka_up, zh_p, korun_op from odpisy where id_karta=%1 order by rok, id")
            .arg(id));
    QStringList rows;
    const size_t width = result.fields.size();
    for (int r = 0; r < result.rowCount(); ++r) {
        QStringList cells;
        for (size_t f = 0; f < width; ++f) {
            const QVariant& v = result.cells[size_t(r) * width + f];
            cells << (f < 2 ? v.toString() : QString::number(v.toDouble(), 'g', 15));
        }
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

} // namespace kelvo::test
