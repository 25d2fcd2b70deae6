// A saved edit cycle ("Oprava karty", a name typed, "Uložit") on the database
// that bench/run filled, CopyCardColumns included, timed next to the same
// CopyCardColumns update sent by the mariadb command-line client in the same
// run. CopyCardColumns rewrites every depreciation row of every card, so the
// server's work on that statement is what a cycle costs.
#include "depreciation/statements.h"
#include "harness.h"
#include "register/assetlist.h"
#include "register/cardcycles.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

using namespace kelvo;

namespace {

// Answers every box with its first button, as the user closing "Záznam uložen!".
class FirstButton final : public MessageService {
public:
    int show(const Message&) override { return 1; }
    void showError(const QString& text) override { throw DbError(text); }
};

qint64 clientNanoseconds(const ConnectionParams& params, const QString& sql)
{
    QElapsedTimer timer;
    timer.start();
    QProcess client;
    client.setStandardOutputFile(QProcess::nullDevice());
    client.start(QStringLiteral("mariadb"),
                 {QStringLiteral("--batch"), QStringLiteral("--protocol=tcp"), QStringLiteral("-h"), params.host,
                  QStringLiteral("-P"), QString::number(params.port), QStringLiteral("-u"), params.user,
                  QStringLiteral("--default-character-set=cp1250"), QStringLiteral("-e"), sql, params.database});
    if (!client.waitForFinished(600000) || client.exitCode() != 0)
        throw DbError(QStringLiteral("mariadb client failed: ") + QString::fromLocal8Bit(client.readAllStandardError()));
    return timer.nsecsElapsed();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    bench::Options options = bench::parseOptions(app.arguments());
    if (options.params.database.isEmpty())
        options.params.database = QStringLiteral("kelvo");
    try {
        Connection connection(options.params);
        const ResultSet counts =
            connection.select(QStringLiteral("select (select count(*) from karta), (select count(*) from odpisy)"));
        const qint64 cards = counts.cells.at(0).toLongLong();
        const qint64 rows = counts.cells.at(1).toLongLong();

        AssetList list(connection);
        list.open();
        list.query().moveTo(list.query().rowCount() / 2);
        Query card(connection), cardRows(connection), work(connection), groups(connection);
        groups.setText(QStringLiteral("select * from def_skupiny"));
        FirstButton messages;
        int run = 0;
        // The user types a new name and presses "Uložit".
        auto showCardWindow = [&] {
            card.setValue(QStringLiteral("nazev"), QStringLiteral("Změna %1").arg(++run));
            return 1;
        };
        CardEditingCycles cycles(connection, list.query(), list.statements(),
                                 CardDataSets{card, cardRows, work, groups}, showCardWindow, messages);

        const QString update = copyCardColumnsStatement(CopyCardColumnsForm::Menu);
        std::vector<qint64> cycle, statementOnly, client;
        qint64 statements = 0;
        connection.setStatementObserver([&](const QString&) { ++statements; });
        for (int i = 0; i < options.runs; ++i) {
            // Interleaved, so that a busy moment of the shared machine hits both alike.
            client.push_back(clientNanoseconds(options.params, update));
            QElapsedTimer timer;
            timer.start();
            statements = 0;
            cycles.editCard(CopyCardColumnsForm::Menu);
            cycle.push_back(timer.nsecsElapsed());
            const qint64 cycleStatements = statements;
            timer.start();
            connection.execute(update);
            statementOnly.push_back(timer.nsecsElapsed());
            statements = cycleStatements;
        }
        const bench::Timing baseline = bench::timingOf(client);
        const QString size = QStringLiteral("%1 cards/%2 rows").arg(cards).arg(rows);
        const bench::Timing cycleTiming = bench::timingOf(cycle);
        bench::printRow(QStringLiteral("card-cycle"), QStringLiteral("saved edit, ") + size, statements, cycleTiming,
                        baseline, 1.3);
        bench::printRow(QStringLiteral("card-cycle"), QStringLiteral("CopyCardColumns alone"), 1,
                        bench::timingOf(statementOnly), baseline, 1.3);
        if (cards <= 10000)
            std::printf("%-12s %-24s best %.0f ms against the target of 300 ms: %s\n", "card-cycle", "saved edit",
                        cycleTiming.bestMs, cycleTiming.bestMs < 300 ? "ok" : "MISSED");
    } catch (const DbError& error) {
        std::fprintf(stderr, "card_bench: %s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
