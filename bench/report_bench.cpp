// Lays out the asset list template over 10 000 and 100 000 generated cards and
// prints the time to the first page, to all pages, to a PDF file, and the peak
// memory of the process. Run with QT_QPA_PLATFORM=offscreen.
#include "core/clock.h"
#include "reports/reportengine.h"
#include "reports/reportlayout.h"
#include "reports/templatexml.h"

#include <cstdio>
#include <ctime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

namespace {

// Cards made up on the fly, so that the figures are the engine's and not
// those of rows held in memory.
class GeneratedCards final : public kelvo::ReportDataSource {
  public:
    explicit GeneratedCards(int count) : count_(count) {}

    int fieldCount() const override { return int(names_.size()); }
    QString fieldName(int index) const override { return names_.value(index); }
    void first() override { row_ = 0; }
    void next() override { ++row_; }
    bool eof() const override { return row_ >= count_; }
    QVariant value(int field) const override {
        if (eof())
            return {};
        switch (field) {
        case 0:
            return QStringLiteral("%1").arg(row_ + 1, 6, 10, QLatin1Char('0'));
        case 1:
            return QStringLiteral("Soustruh hrotový SV18RA č. %1").arg(row_);
        case 2:
            return QStringLiteral("Strojírny Brno a.s.");
        case 3:
            return 1000.0 + row_ * 12.5;
        case 4:
            return QDate(2000, 1, 1).addDays(row_ % 5000);
        case 5:
            return QStringLiteral("FP-%1").arg(row_);
        case 6:
            return QStringLiteral("Dílna %1").arg(row_ % 20);
        case 7:
            return QStringLiteral("%1").arg(row_ % 6 + 1);
        case 8:
            return QStringLiteral("rovnoměrný");
        case 9:
            return row_ % 10 == 0
                       ? QStringLiteral("Po generální opravě, revize platí do konce roku")
                       : QString();
        default:
            return {};
        }
    }

  private:
    QStringList names_{"CISLOKARTY", "NAZEV",     "DODAVATEL", "CENA",     "DATUM_ZA",   "DOKL_ZA",
                       "MISTO",      "SK_ODPISU", "ZP_ODPISU", "POZNAMKA", "DO_POUZITI", "DATUM_VY",
                       "DOKL_VY",    "DAT_ZHOD",  "DOKL_ZHOD", "KORUNY"};
    int count_;
    int row_ = 0;
};

// CPU time of the process: the machine is shared, so wall time alone says little.
double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

long peakMemoryKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

QString listTemplate() {
    QFile file(QStringLiteral(KELVO_SOURCE_DIR "/src/reports/templates/seznam.fr3"));
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

void run(int rows) {
    const kelvo::FixedClock clock(QDate(2014, 10, 1));
    GeneratedCards cards(rows);
    kelvo::FontTextMeasurer measurer;
    const QString xml = listTemplate();
    const auto parsed = kelvo::readTemplate(xml);
    const auto& report = std::get<kelvo::ReportTemplate>(parsed);

    QElapsedTimer timer;
    timer.start();
    double cpu = cpuMs();
    {
        kelvo::ReportLayout layout(report,
                                   kelvo::LayoutInput{&cards, {}, clock.today(), &measurer});
        layout.start();
        layout.advance(1);
    }
    const qint64 firstPage = timer.elapsed();
    const double firstPageCpu = cpuMs() - cpu;

    kelvo::ReportEngine engine(clock);
    engine.bindDataSet(&cards);
    engine.loadFromText(xml);
    timer.restart();
    cpu = cpuMs();
    engine.prepare();
    const qint64 allPages = timer.elapsed();
    const double allPagesCpu = cpuMs() - cpu;

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("seznam.pdf"));
    timer.restart();
    cpu = cpuMs();
    engine.exportPdf(pdf);
    const qint64 pdfTime = timer.elapsed();
    const double pdfCpu = cpuMs() - cpu;

    std::printf(
        "%7d rows %5d pages | first page %5lld ms (cpu %5.0f) | layout %6lld ms (cpu %6.0f) | "
        "PDF %6lld ms (cpu %6.0f, %.1f MB) | peak %ld MB\n",
        rows, engine.pageCount(), static_cast<long long>(firstPage), firstPageCpu,
        static_cast<long long>(allPages), allPagesCpu, static_cast<long long>(pdfTime), pdfCpu,
        QFileInfo(pdf).size() / 1e6, peakMemoryKb() / 1024);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    // Row counts may be given on the command line; by default 10 000 and 100 000.
    // The harness's options (--host, --port, ...) take a value each and mean
    // nothing here: the rows are generated.
    QList<int> counts;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]).startsWith("--"))
            ++i;
        else
            counts << QByteArray(argv[i]).toInt();
    }
    if (counts.isEmpty())
        counts = {10000, 100000};
    for (int rows : counts)
        run(rows);
    return 0;
}
