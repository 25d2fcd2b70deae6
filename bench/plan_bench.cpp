// Plan generation against the bare client library: each run of GeneratePlan is
// timed with the statements it sends captured, and exactly those statements are
// then replayed through mysql.h on a second connection in the same run. The
// difference is what our data-access layer and the plan logic cost on top of
// the server's own work.
#include "core/formats.h"
#include "depreciation/plan.h"
#include "harness.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <mysql.h>
#include <stdexcept>
#include <vector>

using namespace kelvo;

namespace {

class NoMessages final : public MessageService {
public:
    int show(const Message& message) override { throw std::runtime_error(message.text.toStdString()); }
    void showError(const QString& text) override { throw std::runtime_error(text.toStdString()); }
};

class RawConnection {
public:
    explicit RawConnection(const ConnectionParams& p) : mysql_(mysql_init(nullptr))
    {
        mysql_options(mysql_, MYSQL_SET_CHARSET_NAME, "cp1250");
        unsigned int protocol = MYSQL_PROTOCOL_TCP;
        mysql_options(mysql_, MYSQL_OPT_PROTOCOL, &protocol);
        if (!mysql_real_connect(mysql_, p.host.toUtf8().constData(), p.user.toUtf8().constData(),
                                p.password.toUtf8().constData(), p.database.toUtf8().constData(), unsigned(p.port),
                                nullptr, 0))
            fail();
    }
    ~RawConnection() { mysql_close(mysql_); }

    void run(const QByteArray& sql)
    {
        if (mysql_real_query(mysql_, sql.constData(), sql.size()) != 0)
            fail();
        if (mysql_field_count(mysql_) > 0) {
            MYSQL_RES* result = mysql_store_result(mysql_);
            if (!result)
                fail();
            mysql_free_result(result);
        }
    }

private:
    [[noreturn]] void fail() { throw std::runtime_error(mysql_error(mysql_)); }
    MYSQL* mysql_;
};

struct Case {
    const char* group;
    int years;
    int accountingMode;
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const bench::Options options = bench::parseOptions(app.arguments(), 20);
    try {
        Connection connection(options.params);
        RawConnection raw(options.params);
        const qint64 cards = connection.select(QStringLiteral("select count(*) from karta")).cells.at(0).toLongLong();
        NoMessages messages;
        const DateFormat dateFormat;

        for (const Case c : {Case{"2", 5, 0}, Case{"2", 5, 1}, Case{"6", 50, 0}, Case{"6", 50, 1}}) {
            connection.execute(QStringLiteral("insert into karta (pora_cislo, cislokarty, nazev, cena, do_pouziti, "
                                              "sk_odpisu, zp_odpisu) values (\"BENCH\", \"BENCH\", \"Měřený stroj\", "
                                              "1234567.89, \"2021-04-15\", \"%1\", \"rovnoměrně\")")
                                   .arg(QLatin1String(c.group)));
            const QString id = QString::number(connection.lastInsertId());
            Query card(connection), rows(connection), work(connection), groups(connection);
            card.openText(QStringLiteral("select * from karta where id=\n") + id);
            rows.setText(QStringLiteral("select * from odpisy where id_karta = ") + id + QStringLiteral("\norder by rok"));
            rows.open();
            groups.openText(QStringLiteral("select * from def_skupiny"));
            PlanGenerator plans(CardDataSets{card, rows, work, groups}, messages, dateFormat);
            plans.GeneratePlan(c.accountingMode);  // warm-up

            std::vector<double> ours;
            std::vector<double> replay;
            qint64 statements = 0;
            for (int run = 0; run < options.runs; ++run) {
                QStringList captured;
                // Both sides start from a card without rows, so that the plan's
                // own delete has the same (no) work to do on either side.
                connection.execute(QStringLiteral("delete from odpisy where id_karta=") + id);
                connection.execute(QStringLiteral("start transaction"));
                connection.setStatementObserver([&captured](const QString& sql) { captured << sql; });
                QElapsedTimer timer;
                timer.start();
                plans.GeneratePlan(c.accountingMode);
                ours.push_back(timer.nsecsElapsed() / 1e6);
                connection.setStatementObserver({});
                connection.execute(QStringLiteral("commit"));
                statements = captured.size();

                // The replay must meet the same rows: its inserts get the ids the
                // captured run got, so that its updates by id find them.
                const QString firstId =
                    connection.select(QStringLiteral("select min(id) from odpisy where id_karta=") + id).cells.at(0).toString();
                connection.execute(QStringLiteral("delete from odpisy where id_karta=") + id);
                connection.execute(QStringLiteral("alter table odpisy auto_increment=") + firstId);
                // The change of table definition makes each connection reopen
                // the table at its next use; neither side should pay that timed.
                connection.select(QStringLiteral("select id from odpisy where id=0"));
                raw.run("select id from odpisy where id=0");
                std::vector<QByteArray> encoded;
                for (const QString& sql : captured)
                    encoded.push_back(encodeForServer(sql));
                raw.run("start transaction");
                timer.restart();
                for (const QByteArray& sql : encoded)
                    raw.run(sql);
                replay.push_back(timer.nsecsElapsed() / 1e6);
                raw.run("commit");
            }
            if (qEnvironmentVariableIsSet("KELVO_BENCH_VERBOSE")) {
                for (size_t i = 0; i < ours.size(); ++i)
                    std::fprintf(stderr, "  run %zu: %.2f ms, replay %.2f ms\n", i, ours[i], replay[i]);
            }
            // The baseline here is the bare client library replaying the
            // statements, so that the ratio shows our own cost per statement.
            bench::printRow(bench::Row{QStringLiteral("plan %1 years, mode %2, vs library replay").arg(c.years).arg(c.accountingMode),
                                       cards, statements, bench::timingOf(ours), bench::timingOf(replay).bestMs, 0,
                                       bench::Target{1.3, 0, 0}});
            connection.execute(QStringLiteral("delete from odpisy where id_karta=") + id);
            connection.execute(QStringLiteral("delete from karta where id=") + id);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_plan: %s\n", e.what());
        return 1;
    }
    return 0;
}
