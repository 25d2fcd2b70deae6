// Plan generation against the bare client library: each run of GeneratePlan is
// timed with the statements it sends captured, and exactly those statements are
// replayed through mysql.h on a second connection in the same run. Both sides
// start from the same table state and take turns at going first. The
// difference is what our data-access layer and the plan logic cost on top of
// the server's own work; KELVO_BENCH_VERBOSE=1 prints every run and the
// client's own CPU time of both sides, which shows that cost without the
// server's noise.
#include "core/formats.h"
#include "depreciation/plan.h"
#include "harness.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <mysql.h>
#include <ctime>
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

// One timed run: wall-clock time, and the CPU time of this thread (what the
// client itself spends, the server's share left out).
struct Sample {
    qint64 wallNs = 0;
    qint64 cpuNs = 0;
};

qint64 threadCpuNs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// Milliseconds of wall or CPU time of each sample.
std::vector<double> wallOf(const std::vector<Sample>& samples)
{
    std::vector<double> out;
    for (const Sample& s : samples)
        out.push_back(s.wallNs / 1e6);
    return out;
}

std::vector<double> cpuOf(const std::vector<Sample>& samples)
{
    std::vector<double> out;
    for (const Sample& s : samples)
        out.push_back(s.cpuNs / 1e6);
    return out;
}

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

            // Both sides start from the same table: the card without rows and the
            // auto-increment counter at the same value, so that the inserts get
            // the same ids on either side (the replayed updates by id then find
            // their rows) and meet the same index pages. The change of table
            // definition makes each connection reopen the table at its next use;
            // neither side should pay that timed.
            QString firstId;
            const auto prepare = [&] {
                connection.execute(QStringLiteral("delete from odpisy where id_karta=") + id);
                if (!firstId.isEmpty())
                    connection.execute(QStringLiteral("alter table odpisy auto_increment=") + firstId);
                connection.select(QStringLiteral("select id from odpisy where id=0"));
                raw.run("select id from odpisy where id=0");
            };
            QStringList captured;
            const auto runOurs = [&] {
                prepare();
                captured.clear();
                connection.execute(QStringLiteral("start transaction"));
                connection.setStatementObserver([&captured](const QString& sql) { captured << sql; });
                const qint64 cpu = threadCpuNs();
                QElapsedTimer timer;
                timer.start();
                plans.GeneratePlan(c.accountingMode);
                const Sample sample{timer.nsecsElapsed(), threadCpuNs() - cpu};
                connection.setStatementObserver({});
                connection.execute(QStringLiteral("commit"));
                return sample;
            };
            std::vector<QByteArray> encoded;
            const auto runReplay = [&] {
                prepare();
                raw.run("start transaction");
                const qint64 cpu = threadCpuNs();
                QElapsedTimer timer;
                timer.start();
                for (const QByteArray& sql : encoded)
                    raw.run(sql);
                const Sample sample{timer.nsecsElapsed(), threadCpuNs() - cpu};
                raw.run("commit");
                return sample;
            };

            // Warm-up, which also fixes the ids and the statements to replay.
            prepare();
            plans.GeneratePlan(c.accountingMode);
            firstId = connection.select(QStringLiteral("select min(id) from odpisy where id_karta=") + id)
                          .cells.at(0)
                          .toString();
            runOurs();
            const QStringList expected = captured;
            for (const QString& sql : expected)
                encoded.push_back(encodeForServer(sql));

            // The side that runs second meets caches the first one warmed (and
            // the first one the purge of the rows deleted before it), so the two
            // take turns at going first.
            std::vector<Sample> ours;
            std::vector<Sample> replay;
            for (int run = 0; run < options.runs; ++run) {
                if (run % 2 == 0) {
                    ours.push_back(runOurs());
                    replay.push_back(runReplay());
                } else {
                    replay.push_back(runReplay());
                    ours.push_back(runOurs());
                }
                if (captured != expected)
                    throw std::runtime_error("the plan sent other statements than in the warm-up run");
            }
            const qint64 statements = expected.size();
            if (qEnvironmentVariableIsSet("KELVO_BENCH_VERBOSE")) {
                for (size_t i = 0; i < ours.size(); ++i)
                    std::fprintf(stderr, "  run %zu (%s first): %.2f ms, replay %.2f ms\n", i,
                                 i % 2 == 0 ? "ours" : "replay", ours[i].wallNs / 1e6, replay[i].wallNs / 1e6);
                std::fprintf(stderr, "  client CPU, best: ours %.2f ms, replay %.2f ms\n",
                             bench::timingOf(cpuOf(ours)).bestMs, bench::timingOf(cpuOf(replay)).bestMs);
            }
            // The baseline here is the bare client library replaying the
            // statements, so that the ratio shows our own cost per statement.
            bench::printRow(bench::Row{
                QStringLiteral("plan %1 years, mode %2, vs library replay").arg(c.years).arg(c.accountingMode), cards,
                statements, bench::timingOf(wallOf(ours)), bench::timingOf(wallOf(replay)).bestMs, 0,
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
