// The asset list with 100 000 cards: time to open it, to sort it by a title
// click, to switch the filter, and the memory the rows take, printed next to the
// time the mariadb command-line client needs for the same select against the
// same server in the same run.
//
// Server: KELVO_TEST_DB_HOST / KELVO_TEST_DB_PORT (default 127.0.0.1:3306),
// user root without a password; the database kelvo_bench is created anew.

#include "db/sqlscript.h"
#include "register/assetlist.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <unistd.h>

using namespace kelvo;

namespace {

constexpr int kCards = 100000;
const QString kDatabase = QStringLiteral("kelvo_bench");

double milliseconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

double bestOf(int runs, const std::function<void()>& work) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, milliseconds(work));
    return best;
}

double residentMegabytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1
               ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0)
               : 0;
}

void runSchema(Connection& connection) {
    runSqlScript(connection, QStringLiteral(KELVO_SOURCE_DIR "/src/db/schema.sql"));
}

// Varied cards: names and suppliers of different lengths, every tenth discarded.
void insertCards(Connection& connection) {
    const QStringList names{QStringLiteral("Vrtačka"),          QStringLiteral("Soustruh"),
                            QStringLiteral("Osobní automobil"), QStringLiteral("Počítač"),
                            QStringLiteral("Lis hydraulický"),  QStringLiteral("Židle")};
    for (int first = 0; first < kCards; first += 5000) {
        QStringList rows;
        for (int i = first; i < first + 5000; ++i) {
            rows << QStringLiteral("(\"%1\",\"INV%2\",\"%3 %4\",\"Dodavatel %5 "
                                   "s.r.o.\",%6.%7,\"%8\",\"%9\",\"Hala %10\","
                                   "\"%11\",\"zrychleně\",\"%12\")")
                        .arg(i + 1)
                        .arg(i * 7 % 100000, 6, 10, QLatin1Char('0'))
                        .arg(names[i % names.size()])
                        .arg(i)
                        .arg(i % 97)
                        .arg((i * 7919) % 5000000)
                        .arg(i % 100, 2, 10, QLatin1Char('0'))
                        .arg(QDate(2000, 1, 1).addDays(i % 9000).toString(Qt::ISODate))
                        .arg(i % 10 == 0 ? QStringLiteral("A") : QStringLiteral("N"))
                        .arg(i % 40)
                        .arg(1 + i % 6)
                        .arg(i % 3 == 0 ? QStringLiteral("poznámka k položce") : QString());
        }
        connection.execute(
            QStringLiteral("insert into karta (pora_cislo,cislokarty,nazev,dodavatel,cena,datum_za,"
                           "vyrazen,misto,sk_odpisu,zp_odpisu,poznamka) values ") +
            rows.join(QLatin1Char(',')));
    }
}

double clientMilliseconds(const ConnectionParams& params, const QString& sql) {
    return bestOf(3, [&] {
        QProcess client;
        client.setStandardOutputFile(QProcess::nullDevice());
        client.start(QStringLiteral("mariadb"),
                     {QStringLiteral("--batch"), QStringLiteral("--protocol=tcp"),
                      QStringLiteral("-h"), params.host, QStringLiteral("-P"),
                      QString::number(params.port), QStringLiteral("-u"), params.user,
                      QStringLiteral("--default-character-set=cp1250"), QStringLiteral("-e"), sql,
                      params.database});
        if (!client.waitForFinished(120000) || client.exitCode() != 0)
            throw DbError(QStringLiteral("mariadb client failed: ") +
                          QString::fromLocal8Bit(client.readAllStandardError()));
    });
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ConnectionParams params;
    params.host = qEnvironmentVariable("KELVO_TEST_DB_HOST", QStringLiteral("127.0.0.1"));
    params.port = qEnvironmentVariableIntValue("KELVO_TEST_DB_PORT");
    if (params.port == 0)
        params.port = 3306;
    try {
        {
            ConnectionParams server = params;
            server.database.clear();
            Connection admin(server);
            admin.execute(QStringLiteral("drop database if exists ") + kDatabase);
            admin.execute(QStringLiteral("create database ") + kDatabase +
                          QStringLiteral(" character set cp1250"));
        }
        params.database = kDatabase;
        Connection connection(params);
        runSchema(connection);
        const double insertMs = milliseconds([&] { insertCards(connection); });
        std::printf("list_bench: %d cards inserted in %.0f ms\n", kCards, insertMs);

        AssetList list(connection);
        const QString select = list.query().text();
        const double clientMs = clientMilliseconds(params, select);

        const double rssBefore = residentMegabytes();
        const double openMs = bestOf(3, [&] {
            list.query().close();
            list.open();
        });
        const double rssAfter = residentMegabytes();
        const int rows = list.query().rowCount();

        const double sortNumberMs =
            milliseconds([&] { list.titleClicked(QStringLiteral("cena")); });
        list.titleClicked(QStringLiteral("cena"));
        list.titleClicked(QStringLiteral("cena"));
        const double sortTextMs = milliseconds([&] { list.titleClicked(QStringLiteral("nazev")); });
        const double sortDateMs =
            milliseconds([&] { list.titleClicked(QStringLiteral("datum_za")); });
        const double filterMs = milliseconds([&] { list.toggleOnlyCurrent(); });
        const int allRows = list.query().rowCount();

        std::printf("baseline  mariadb client, same select:   %8.0f ms  (best of 3, %d rows)\n",
                    clientMs, rows);
        std::printf(
            "open      list (best of 3):              %8.0f ms  = %.2f x client (target <= 2)\n",
            openMs, openMs / clientMs);
        std::printf("sort      title click, number (cena):    %8.0f ms  (target < 300)\n",
                    sortNumberMs);
        std::printf("sort      title click, text (nazev):     %8.0f ms  (target < 300)\n",
                    sortTextMs);
        std::printf("sort      title click, date (datum_za):  %8.0f ms  (target < 300)\n",
                    sortDateMs);
        std::printf("filter    switch to all cards (sorted):  %8.0f ms  (%d rows)\n", filterMs,
                    allRows);
        std::printf("memory    list resident growth:          %8.0f MB  (target < 300)\n",
                    rssAfter - rssBefore);

        list.query().close();
        connection.execute(QStringLiteral("drop database ") + kDatabase);
    } catch (const DbError& error) {
        std::fprintf(stderr, "list_bench: %s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
