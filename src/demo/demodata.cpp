#include "demo/demodata.h"

#include "core/formats.h"
#include "depreciation/carddatasets.h"
#include "depreciation/plan.h"
#include "depreciation/statements.h"

#include <QStringList>
#include <cmath>
#include <random>
#include <stdexcept>

namespace kelvo {
namespace {

const char* const kAssets[] = {
    "Osobní automobil", "Nákladní automobil", "Dodávka skříňová", "Vysokozdvižný vozík",
    "Soustruh hrotový", "Frézka konzolová", "Lis hydraulický", "Kompresor šroubový", "Svářecí agregát",
    "Server rackový", "Notebook", "Pracovní stanice", "Tiskárna laserová", "Kopírovací stroj", "Diskové pole",
    "Klimatizační jednotka", "Kotel plynový", "Regálový systém", "Kancelářský nábytek", "Telefonní ústředna",
    "Vrtačka sloupová", "Pásová bruska", "Míchačka stavební", "Traktor", "Přívěs nákladní", "Kamerový systém",
    "Garáž zděná", "Sklad ocelový", "Administrativní budova", "Výrobní hala", "Oplocení areálu", "Parkoviště",
};
// Typical group of each asset above, by the statutory classification.
const int kAssetGroups[] = {2, 2, 2, 2, 2, 2, 2, 2, 2, 1, 1, 1, 1, 1, 1, 3, 3, 2, 2, 2,
                            2, 2, 2, 2, 2, 2, 5, 4, 6, 6, 4, 5};
const char* const kSuppliers[] = {
    "Autoservis Horák s.r.o.", "Strojírny Javorník a.s.", "Počítače Dvořák", "Elektro Novák", "Obráběcí stroje Beran",
    "Stavby Morava s.r.o.", "Kancelář plus s.r.o.", "KOVO Hradec a.s.", "Nábytek Svoboda", "Manipulační technika Říha",
    "Kompresory Veselý s.r.o.", "Stavební firma Kučera", "Betonárna Polák", "Hanácká strojírna", "Technoservis Plzeň",
};
const char* const kLocations[] = {
    "Sklad A", "Sklad B", "Dílna", "Kancelář 101", "Kancelář 203", "Výroba hala 1", "Výroba hala 2",
    "Garáže", "Serverovna", "Recepce", "Areál Zlín", "Provozovna Ostrava",
};

class QuietMessages final : public MessageService {
public:
    int show(const Message& message) override
    {
        throw std::runtime_error("unexpected message: " + message.text.toStdString());
    }
    void showError(const QString& text) override { throw std::runtime_error(text.toStdString()); }
};

class Generator {
public:
    Generator(Connection& connection, const DemoOptions& options)
        : connection_(connection), options_(options), random_(options.seed)
    {
    }

    // One multi-row insert for a batch of cards; returns the first new id.
    qint64 insertCards(int first, int count)
    {
        QStringList values;
        for (int i = 0; i < count; ++i)
            values << cardValues(first + i);
        connection_.execute(QStringLiteral("insert into karta (pora_cislo, cislokarty, nazev, dodavatel, cena, datum_za, "
                                           "dokl_za, do_pouziti, vyrazen, datum_vy, dokl_vy, misto, sk_odpisu, "
                                           "zp_odpisu, poznamka) values ") +
                            values.join(QLatin1Char(',')));
        return qint64(connection_.lastInsertId());
    }

private:
    int pick(int size) { return std::uniform_int_distribution<int>(0, size - 1)(random_); }
    double uniform() { return std::uniform_real_distribution<double>(0, 1)(random_); }
    QString quoted(const QString& text) { return connection_.quote(text); }
    static QString date(const QDate& d) { return d.toString(QStringLiteral("\"yyyy-MM-dd\"")); }

    QString cardValues(int number)
    {
        const int asset = pick(int(std::size(kAssets)));
        const int group = kAssetGroups[asset];
        // Prices spread log-uniformly, higher for the long-lived groups.
        const double low = group >= 4 ? 5e5 : 3e3;
        const double high = group >= 4 ? 2e7 : 3e6;
        double price = std::exp(std::log(low) + uniform() * (std::log(high) - std::log(low)));
        price = uniform() < 0.7 ? std::round(price) : std::round(price * 100) / 100;

        const QDate start(2010, 1, 1);
        const QDate acquired = start.addDays(pick(int(start.daysTo(options_.today)) + 1));
        const QDate inUse = std::min(acquired.addDays(pick(45)), options_.today);

        // Most cards are straight-line or accelerated; the increased first-year
        // methods exist for groups 1 to 3 only.
        QString method;
        const double m = uniform();
        if (group <= 3 && m < 0.15)
            method = depreciationMethodNames().at(2 + pick(3));
        else
            method = depreciationMethodNames().at(m < 0.6 ? 0 : 1);

        const bool discarded = uniform() < 0.03;
        const QDate discardedOn = discarded ? std::min(inUse.addDays(365 + pick(2000)), options_.today) : QDate();

        return QStringLiteral("(%1,%2,%3,%4,%5,%6,%7,%8,%9,%10,%11,%12,%13,%14,%15)")
            .arg(quoted(QStringLiteral("%1").arg(number, 6, 10, QLatin1Char('0'))),
                 quoted(QStringLiteral("DM-%1").arg(number, 7, 10, QLatin1Char('0'))),
                 quoted(QString::fromUtf8(kAssets[asset])), quoted(QString::fromUtf8(kSuppliers[pick(int(std::size(kSuppliers)))])),
                 QString::number(price, 'f', 2), date(acquired),
                 quoted(QStringLiteral("FP%1/%2").arg(acquired.year()).arg(pick(9000) + 1000)), date(inUse),
                 quoted(discarded ? QStringLiteral("A") : QStringLiteral("N")))
            .arg(discarded ? date(discardedOn) : QStringLiteral("null"),
                 quoted(discarded ? QStringLiteral("VY%1").arg(number) : QString()),
                 quoted(QString::fromUtf8(kLocations[pick(int(std::size(kLocations)))])), quoted(QString::number(group)),
                 quoted(method), quoted(discarded ? QStringLiteral("Vyřazeno likvidací") : QString()));
    }

    Connection& connection_;
    const DemoOptions& options_;
    std::mt19937 random_;
};

} // namespace

DemoResult fillDemoData(Connection& connection, const DemoOptions& options,
                        const std::function<void(int done)>& progress)
{
    Generator generator(connection, options);
    QuietMessages messages;
    const DateFormat dateFormat;
    Query card(connection);
    Query rows(connection);
    Query work(connection);
    Query groups(connection);
    groups.openText(QStringLiteral("select * from def_skupiny"));
    PlanGenerator plans(CardDataSets{card, rows, work, groups}, messages, dateFormat);

    DemoResult result;
    const int existing = connection.select(QStringLiteral("select count(*) from karta")).cells.at(0).toInt();
    for (int done = 0; done < options.cards; done += options.batchSize) {
        const int count = std::min(options.batchSize, options.cards - done);
        connection.execute(QStringLiteral("start transaction"));
        const qint64 firstId = generator.insertCards(existing + done + 1, count);
        for (qint64 id = firstId; id < firstId + count; ++id) {
            const QString key = QString::number(id);
            card.openText(QStringLiteral("select * from karta where id=\n") + key);
            rows.setText(QStringLiteral("select * from odpisy where id_karta = ") + key + QStringLiteral("\norder by rok"));
            plans.GeneratePlan(options.accountingMode);
            card.close();
            rows.close();
        }
        connection.execute(QStringLiteral("commit"));
        result.cards += count;
        if (progress)
            progress(result.cards);
    }

    // As after a saved editing cycle, then the years before this one posted
    // in January of the year after.
    connection.execute(copyCardColumnsStatement(CopyCardColumnsForm::Menu));
    connection.execute(QStringLiteral("update odpisy set odepsano = \"A\", datum_odpisu = concat(rok + 1, "
                                      "\"-01-15 00:00:00\") where rok < ") +
                       QString::number(options.today.year()));
    result.rows = connection.select(QStringLiteral("select count(*) from odpisy")).cells.at(0).toLongLong();
    return result;
}

} // namespace kelvo
