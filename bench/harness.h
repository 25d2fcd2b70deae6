#pragma once

// A small harness for the benchmarks: command-line connection options and one
// line per measurement in the table that bench/run prints.

#include "db/connection.h"

#include <QString>
#include <QStringList>
#include <algorithm>
#include <vector>
#include <cstdio>
#include <cstdlib>

namespace kelvo::bench {

struct Options {
    ConnectionParams params;
    int runs = 20;
};

// --host H --port P --database NAME --runs N; the rest keeps the defaults.
inline Options parseOptions(const QStringList& args)
{
    Options options;
    options.params.host = QStringLiteral("127.0.0.1");
    for (int i = 1; i + 1 < args.size(); i += 2) {
        const QString& key = args[i];
        const QString& value = args[i + 1];
        if (key == QLatin1String("--host"))
            options.params.host = value;
        else if (key == QLatin1String("--port"))
            options.params.port = value.toInt();
        else if (key == QLatin1String("--database"))
            options.params.database = value;
        else if (key == QLatin1String("--runs"))
            options.runs = value.toInt();
        else {
            std::fprintf(stderr, "unknown option %s\n", qPrintable(key));
            std::exit(2);
        }
    }
    return options;
}

// Timings of repeated runs. The machine is shared, so single runs are often
// delayed by other processes: the best run shows what the work itself costs,
// the median how it usually goes.
struct Timing {
    double bestMs = 0;
    double medianMs = 0;
};

inline Timing timingOf(std::vector<qint64> nanoseconds)
{
    if (nanoseconds.empty())
        return {};
    std::sort(nanoseconds.begin(), nanoseconds.end());
    const size_t n = nanoseconds.size();
    const double median = n % 2 ? double(nanoseconds[n / 2]) : (nanoseconds[n / 2 - 1] + nanoseconds[n / 2]) / 2.0;
    return {nanoseconds.front() / 1e6, median / 1e6};
}

// One row of the table; bench/run prints the header with the same widths:
//   benchmark | case | statements | best ms | median ms | baseline best | baseline median | ratio of best | target
inline void printRow(const QString& benchmark, const QString& label, qint64 statements, Timing measured,
                     Timing baseline, double target)
{
    const double ratio = baseline.bestMs > 0 ? measured.bestMs / baseline.bestMs : 0;
    const QString verdict = target <= 0 ? QString() : ratio <= target ? QStringLiteral("<= %1 ok").arg(target)
                                                                      : QStringLiteral("<= %1 MISSED").arg(target);
    std::printf("%-12s %-24s %10lld %9.2f %9.2f %9.2f %9.2f %6.2f  %s\n", qPrintable(benchmark), qPrintable(label),
                static_cast<long long>(statements), measured.bestMs, measured.medianMs, baseline.bestMs,
                baseline.medianMs, ratio, qPrintable(verdict));
    std::fflush(stdout);
}

} // namespace kelvo::bench
