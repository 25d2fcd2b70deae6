// Every interactive command of the program on the database bench/run filled:
// each is run a few times as the program runs it (the windows offscreen, the
// prints laid out by the report engine) and timed next to the mariadb
// command-line client sending the very statements the command sent, from the
// same database state, in the same run; with the process's peak memory during
// the command. One row per command in the table of harness.h.
#include "card/shift.h"
#include "core/clock.h"
#include "core/formats.h"
#include "depreciation/plan.h"
#include "depreciation/yearlyposting.h"
#include "harness.h"
#include "mariadbclient.h"
#include "register/cardcycles.h"
#include "register/listsearch.h"
#include "register/startup.h"
#include "reports/printcommands.h"
#include "reports/reportengine.h"
#include "ui/programwindows.h"

#include <functional>
#include <memory>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

using namespace kelvo;
using namespace kelvo::bench;

namespace {

// Answers every box with its first button ("OK", "Ano"); an error ends the
// benchmark, whose figures would mean nothing after it.
class FirstButton final : public MessageService {
  public:
    int show(const Message&) override { return 1; }
    void showError(const QString& text) override {
        std::fprintf(stderr, "command_bench: %s\n", qPrintable(text));
        std::exit(1);
    }
};

// The timed span of one run and the statements sent within it.
class Span {
  public:
    void start() {
        statements.clear();
        open_ = true;
        timer_.start();
    }
    void stop() {
        if (!open_)
            return;
        ms_ = timer_.nsecsElapsed() / 1e6;
        open_ = false;
    }
    bool isOpen() const { return open_; }
    double ms() const { return ms_; }
    void record(const QString& sql) {
        if (open_)
            statements << sql;
    }

    QStringList statements;

  private:
    QElapsedTimer timer_;
    bool open_ = false;
    double ms_ = 0;
};

// The print sequence's report front end as the preview uses it: the first page
// is laid out and painted as the preview shows it (the preview lays out the rest
// while it is open), or the whole report written to PDF. That moment ends the
// command's timed span: what follows in the program happens after the user
// closed the preview, which lets the pages go and stops a layout still under way.
class MeasuringFrontEnd final : public ReportFrontEnd {
  public:
    enum class Output { FirstPage, Pdf };

    MeasuringFrontEnd(ReportEngine& engine, QString pdfPath, Span& span)
        : engine_(engine), pdfPath_(std::move(pdfPath)), span_(span) {}
    void setOutput(Output output) { output_ = output; }
    // The yearly posting goes on after its list is shown: its span ends with it.
    void setEndsCommand(bool ends) { endsCommand_ = ends; }

    void bind(ReportDataSource& rows) override { engine_.bindDataSet(&rows); }
    void load(const QString& fileName) override { engine_.loadFromFile(fileName); }
    void setVariable(const QString& name, const QString& expression) override {
        engine_.setVariable(name, expression);
    }
    void design() override {}
    bool prepare() override { return engine_.startPreparing(); }
    void showPrepared() override {
        if (output_ == Output::FirstPage) {
            const int dpi = 96;
            QImage page(engine_.pageLayout().fullRectPixels(dpi).size(), QImage::Format_RGB32);
            page.fill(Qt::white);
            QPainter painter(&page);
            engine_.paintPage(painter, 0, dpi, dpi);
        } else if (!engine_.exportPdf(pdfPath_)) {
            std::fprintf(stderr, "command_bench: PDF not written: %s\n",
                         qPrintable(engine_.errorText()));
            std::exit(1);
        }
        if (endsCommand_)
            span_.stop();
        engine_.releasePages();
    }

  private:
    ReportEngine& engine_;
    QString pdfPath_;
    Span& span_;
    Output output_ = Output::FirstPage;
    bool endsCommand_ = true;
};

class Runner {
  public:
    // `only`, when not empty, limits the commands measured to those whose name holds it.
    Runner(Span& span, const MariadbClient& client, qint64 cards, int runs, QString only)
        : span_(span), client_(client), cards_(cards), runs_(runs), only_(std::move(only)) {}

    // `run` is timed until it returns or ends the span itself; `prepare` runs
    // untimed before each run; `restore`, untimed after the run and after the
    // client's replay, goes back to the state the run began from, so that the
    // client meets the same rows.
    void measure(const QString& name, const std::function<void()>& run,
                 const std::function<void()>& prepare = {},
                 const std::function<void()>& restore = {}, Target target = {}) {
        // Slow commands stop after two runs (one when very slow); quick ones get them all.
        if (!only_.isEmpty() && !name.contains(only_))
            return;
        const double budgetMs = 20000;
        std::vector<double> ours, client;
        double peak = 0, spent = 0;
        qint64 statements = 0;
        for (int i = 0; i < runs_; ++i) {
            if (prepare)
                prepare();
            resetPeakMemory();
            span_.start();
            run();
            span_.stop();
            peak = std::max(peak, peakMemoryMb());
            ours.push_back(span_.ms());
            spent += span_.ms();
            const QStringList sent = span_.statements;
            statements = sent.size();
            if (restore)
                restore();
            if (!sent.isEmpty()) {
                client.push_back(client_.sendMs(sent));
                if (restore)
                    restore();
            }
            if (spent > budgetMs && (i >= 1 || spent > 3 * budgetMs))
                break;
        }
        printRow(Row{name, cards_, statements, timingOf(ours),
                     client.empty() ? -1.0 : timingOf(client).bestMs, peak, target});
    }

  private:
    Span& span_;
    const MariadbClient& client_;
    qint64 cards_;
    int runs_;
    QString only_;
};

qint64 countOf(Connection& connection, const QString& sql) {
    return connection.select(sql).cells.at(0).toLongLong();
}

// A card of the benchmark's own with a plan of the group's length, in the
// card window's data sets.
class BenchCard {
  public:
    BenchCard(Connection& connection, const char* group, MessageService& messages,
              const DateFormat& dateFormat)
        : connection_(connection), card_(connection), rows_(connection), work_(connection),
          groups_(connection),
          plans_(CardDataSets{card_, rows_, work_, groups_}, messages, dateFormat),
          shift_(CardDataSets{card_, rows_, work_, groups_}, messages) {
        connection.execute(
            QStringLiteral("insert into karta (pora_cislo, cislokarty, nazev, cena, datum_za, "
                           "do_pouziti, sk_odpisu, zp_odpisu) values (\"BENCH\", \"BENCH-%1\", "
                           "\"Měřený stroj\", 1234567.89, \"2021-04-15\", \"2021-04-15\", \"%1\", "
                           "\"rovnoměrně\")")
                .arg(QLatin1String(group)));
        id_ = QString::number(connection.lastInsertId());
        card_.openText(QStringLiteral("select * from karta where id=\n") + id_);
        rows_.setText(QStringLiteral("select * from odpisy where id_karta = ") + id_ +
                      QStringLiteral("\norder by rok"));
        rows_.open();
        groups_.openText(QStringLiteral("select * from def_skupiny"));
    }
    ~BenchCard() {
        connection_.execute(QStringLiteral("delete from odpisy where id_karta=") + id_);
        connection_.execute(QStringLiteral("delete from karta where id=") + id_);
    }

    // As in the card window: inside the cycle's transaction.
    void generatePlan() {
        inTransaction([this] { plans_.GeneratePlan(0); });
    }
    void shift() {
        inTransaction([this] {
            if (!shift_.Posunodpisu(0))
                throw DbError(QStringLiteral("the shift did nothing"));
        });
    }

    // The card without rows; the next rows get the ids the last ones had.
    void dropRows() {
        const QString first =
            connection_.select(QStringLiteral("select min(id) from odpisy where id_karta=") + id_)
                .cells.at(0)
                .toString();
        connection_.execute(QStringLiteral("delete from odpisy where id_karta=") + id_);
        if (!first.isEmpty())
            setNextId(first);
    }
    // Keeps the card's rows as they are now, to be put back by restoreRows().
    void keepRows() {
        connection_.execute(QStringLiteral("drop temporary table if exists bench_rows"));
        connection_.execute(
            QStringLiteral(
                "create temporary table bench_rows select * from odpisy where id_karta=") +
            id_);
        nextId_ = connection_.select(QStringLiteral("select max(id) + 1 from odpisy"))
                      .cells.at(0)
                      .toString();
    }
    void restoreRows() {
        connection_.execute(QStringLiteral("delete from odpisy where id_karta=") + id_);
        connection_.execute(QStringLiteral("insert into odpisy select * from bench_rows"));
        setNextId(nextId_);
    }

  private:
    void inTransaction(const std::function<void()>& work) {
        connection_.execute(QStringLiteral("start transaction"));
        work();
        connection_.execute(QStringLiteral("commit"));
    }
    void setNextId(const QString& id) {
        connection_.execute(QStringLiteral("alter table odpisy auto_increment=") + id);
        // The changed definition makes the table open anew at its next use;
        // that is not the command's cost.
        connection_.select(QStringLiteral("select id from odpisy where id=0"));
    }

    Connection& connection_;
    Query card_, rows_, work_, groups_;
    PlanGenerator plans_;
    DepreciationShift shift_;
    QString id_;
    QString nextId_;
};

// What every group of commands measures with.
struct Bench {
    const ConnectionParams& params;
    Connection& connection;
    Span& span;
    Runner& runner;
    MessageService& messages;
    DateFormat& dateFormat;
    const Clock& clock;
    const QTemporaryDir& scratch;
    qint64 cards;
};

// The program started: the ten windows created, the main window shown with its list.
void measureStart(Bench& b, const SettingsFile& settings) {
    b.runner.measure(
        QStringLiteral("start to list shown"),
        [&] {
            ConnectionParams initial;
            initial.database = b.params.database;
            Connection own(initial);
            own.setStatementObserver([&b](const QString& sql) { b.span.record(sql); });
            const auto form = createProgramWindows(MainWindowServices{own,
                                                                      settings,
                                                                      settings,
                                                                      b.clock,
                                                                      b.dateFormat,
                                                                      b.messages,
                                                                      {QStringLiteral("kelvo")}},
                                                   b.scratch.filePath(QStringLiteral("kelvo")));
            form->show();
            QCoreApplication::processEvents();
            if (form->listModel()->rowCount() == 0)
                throw DbError(QStringLiteral("the list is empty after the start"));
            b.span.stop();
        },
        {}, {}, Target{0, 0, 300});
}

// The main window's list: open, sort, filter, search.
void measureList(Bench& b, AssetList& list) {
    b.runner.measure(
        QStringLiteral("list opened (as at start)"), [&] { formShow(list, nullptr); },
        [&] { list.query().close(); }, {}, Target{2, 0, 300});
    if (!list.query().isOpen()) // the commands that follow work on the open list
        formShow(list, nullptr);
    for (const char* field : {"cena", "nazev", "datum_za"}) {
        const QString name = QLatin1String(field);
        b.runner.measure(
            QStringLiteral("sort: title click on ") + name, [&] { list.titleClicked(name); },
            [&] { list.titleClicked(QStringLiteral("id")); }, {}, Target{0, 300, 0});
    }
    const auto filterTo = [&](bool onlyCurrent) {
        return [&list, onlyCurrent] {
            if (list.onlyCurrent() == onlyCurrent)
                list.toggleOnlyCurrent();
        };
    };
    b.runner.measure(
        QStringLiteral("filter: all cards"), [&] { list.toggleOnlyCurrent(); }, filterTo(true));
    b.runner.measure(
        QStringLiteral("filter: current cards only"), [&] { list.toggleOnlyCurrent(); },
        filterTo(false));

    std::unique_ptr<ListSearch> search;
    const auto searchIn = [&](const char* field) {
        search = std::make_unique<ListSearch>(list.query(), b.messages, b.dateFormat,
                                              ListSearch::fieldPosition(QLatin1String(field)));
    };
    b.runner.measure(
        QStringLiteral("search: a letter typed, list narrowed"),
        [&] {
            search->setText(QStringLiteral("Pr"));
            if (search->lines().isEmpty())
                throw DbError(QStringLiteral("the search narrowed the list to nothing"));
        },
        [&] {
            searchIn("nazev");
            search->setShowSelection(true);
            search->setText(QStringLiteral("P"));
        });
    const Query& rows = list.query();
    const QString lastNumber = rows.displayText(
        rows.rowCount() - 1, rows.fieldIndex(QStringLiteral("cislokarty")), b.dateFormat.pattern());
    b.runner.measure(
        QStringLiteral("search: exact number found (převzít)"),
        [&] {
            if (!search->accept())
                throw DbError(QStringLiteral("the search found nothing"));
        },
        [&] {
            searchIn("cislokarty");
            search->setText(lastNumber);
        });
}

// The card commands: a saved edit cycle, plans, the shift.
void measureCardCommands(Bench& b, AssetList& list) {
    {
        Query card(b.connection), cardRows(b.connection), work(b.connection), groups(b.connection);
        groups.setText(QStringLiteral("select * from def_skupiny"));
        int edits = 0;
        CardEditingCycles cycles(
            b.connection, list.query(), list.statements(),
            CardDataSets{card, cardRows, work, groups},
            [&] {
                card.setValue(QStringLiteral("nazev"), QStringLiteral("Změna %1").arg(++edits));
                return 1;
            },
            b.messages);
        b.runner.measure(
            QStringLiteral("edit cycle saved (Oprava karty)"),
            [&] { cycles.editCard(CopyCardColumnsForm::Menu); },
            [&] { list.query().moveTo(list.query().rowCount() / 2); }, {},
            Target{1.3, b.cards <= 10000 ? 300.0 : 0.0, 0});
    }

    // A plan is measured from a card without rows, its ids as the last run's.
    const auto measurePlan = [&b](BenchCard& card, const QString& name) {
        card.generatePlan();
        card.dropRows();
        b.runner.measure(name, [&] { card.generatePlan(); }, {}, [&] { card.dropRows(); });
    };
    BenchCard fiveYears(b.connection, "2", b.messages, b.dateFormat);
    measurePlan(fiveYears, QStringLiteral("plan generation, 5 years"));
    b.runner.measure(
        QStringLiteral("shift of depreciation (Posunout odpis)"), [&] { fiveYears.shift(); },
        [&] {
            fiveYears.generatePlan();
            fiveYears.keepRows();
        },
        [&] { fiveYears.restoreRows(); });
    BenchCard fiftyYears(b.connection, "6", b.messages, b.dateFormat);
    measurePlan(fiftyYears, QStringLiteral("plan generation, 50 years"));
}

// The yearly posting of this year (the demo data leaves it unposted), its list included.
void measurePosting(Bench& b, PrintCommands& prints, MeasuringFrontEnd& frontEnd) {
    const int year = b.clock.today().year();
    const FixedClock januaryAfter(QDate(year + 1, 1, 15));
    YearlyPosting posting(b.connection, b.messages, januaryAfter,
                          [&](Query& rowsToPost) { prints.printPostingList(rowsToPost); });
    b.runner.measure(
        QStringLiteral("yearly posting with its list (Provést)"),
        [&] {
            if (!posting.Provstodpis())
                throw DbError(QStringLiteral("the posting posted nothing"));
        },
        [&] {
            frontEnd.setOutput(MeasuringFrontEnd::Output::FirstPage);
            frontEnd.setEndsCommand(false);
        },
        [&] {
            b.connection.execute(
                QStringLiteral(
                    "update odpisy set odepsano = \"N\", datum_odpisu = null where rok = ") +
                QString::number(year));
        });
    frontEnd.setEndsCommand(true);
}

// Each print to its first page and to a whole PDF.
void measurePrints(Bench& b, AssetList& list, PrintCommands& prints, MeasuringFrontEnd& frontEnd) {
    const QDate endOfYear(b.clock.today().year(), 12, 31);
    const InventoryDate inventoryDate{endOfYear.toString(QStringLiteral("dd.MM.yyyy")), endOfYear};
    const struct {
        const char* name;
        std::function<void()> print;
        bool listPrint;
    } printCommands[] = {
        {"print card (Tisk karty)", [&] { prints.printCard(); }, false},
        {"print list (Tisk seznamu)", [&] { prints.printList(); }, true},
        {"print posted depreciation", [&] { prints.printPostedDepreciation(); }, false},
        {"print inventory list", [&] { prints.printInventory(inventoryDate); }, false},
    };
    for (const auto& print : printCommands) {
        for (const auto output :
             {MeasuringFrontEnd::Output::FirstPage, MeasuringFrontEnd::Output::Pdf}) {
            const bool firstPage = output == MeasuringFrontEnd::Output::FirstPage;
            // The list print: the first page within 2 s, the PDF within 10 s, under 300 MB.
            const Target target =
                print.listPrint ? Target{0, firstPage ? 2000.0 : 10000.0, 300} : Target{};
            b.runner.measure(
                QLatin1String(print.name) +
                    (firstPage ? QStringLiteral(", first page") : QStringLiteral(", whole PDF")),
                print.print,
                [&, output] {
                    frontEnd.setOutput(output);
                    list.query().moveTo(list.query().rowCount() / 2);
                },
                {}, target);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const Options options = parseOptions(app.arguments(), 5);
    ConnectionParams params = options.params;
    if (params.database.isEmpty())
        params.database = QStringLiteral("kelvo");

    // Templates are looked for in the current directory, as beside the program.
    QDir::setCurrent(QStringLiteral(KELVO_SOURCE_DIR "/src/reports/templates"));
    QTemporaryDir scratch;
    SettingsFile settings = SettingsFile::forExecutable(scratch.filePath(QStringLiteral("kelvo")));
    settings.writeString(QStringLiteral("LogOn"), QStringLiteral("IP"), params.host);
    settings.writeString(QStringLiteral("LogOn"), QStringLiteral("Port"),
                         QString::number(params.port));
    settings.writeString(QStringLiteral("LogOn"), QStringLiteral("User"), params.user);
    settings.writeString(QStringLiteral("LogOn"), QStringLiteral("Password"), params.password);

    try {
        Span span;
        FirstButton messages;
        DateFormat dateFormat;
        SystemClock clock;
        Connection connection(params);
        connection.setStatementObserver([&span](const QString& sql) { span.record(sql); });
        const qint64 cards = countOf(connection, QStringLiteral("select count(*) from karta"));
        std::printf("\n# %lld cards, %lld depreciation rows; client ms: the mariadb client sending "
                    "the same "
                    "statements, from the same database state\n",
                    static_cast<long long>(cards),
                    static_cast<long long>(
                        countOf(connection, QStringLiteral("select count(*) from odpisy"))));
        printHeader();
        const MariadbClient client(params);
        Runner runner(span, client, cards, options.runs, qEnvironmentVariable("KELVO_BENCH_ONLY"));
        Bench bench{params, connection, span, runner, messages, dateFormat, clock, scratch, cards};

        measureStart(bench, settings);
        AssetList list(connection);
        measureList(bench, list);
        measureCardCommands(bench, list);

        Query reportQuery(connection);
        ReportEngine engine(clock, &messages);
        MeasuringFrontEnd frontEnd(engine, scratch.filePath(QStringLiteral("report.pdf")), span);
        PrintCommands prints(list.query(), reportQuery, frontEnd, {QStringLiteral("kelvo")},
                             messages);
        measurePosting(bench, prints, frontEnd);
        measurePrints(bench, list, prints, frontEnd);
    } catch (const DbError& error) {
        std::fprintf(stderr, "command_bench: %s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
