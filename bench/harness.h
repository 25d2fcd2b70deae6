#pragma once

// A small harness for the benchmarks: command-line connection options, timings
// of repeated runs, the process's peak memory and one line per measurement in
// the table that bench/run prints.

#include "db/connection.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <QFile>
#include <QString>
#include <QStringList>
#include <vector>

namespace kelvo::bench {

struct Options {
    ConnectionParams params;
    int runs = 5;
};

// --host H --port P --database NAME --runs N; the rest keeps the defaults.
inline Options parseOptions(const QStringList& args, int defaultRuns = 5) {
    Options options;
    options.runs = defaultRuns;
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

inline Timing timingOf(std::vector<double> milliseconds) {
    if (milliseconds.empty())
        return {};
    std::sort(milliseconds.begin(), milliseconds.end());
    const size_t n = milliseconds.size();
    const double median =
        n % 2 ? milliseconds[n / 2] : (milliseconds[n / 2 - 1] + milliseconds[n / 2]) / 2.0;
    return {milliseconds.front(), median};
}

// The process's peak resident memory: reset it before a command, read it
// after, and it is the peak of that command (the rows the program already
// holds included). Memory freed by earlier commands is handed back first, or
// it would count as this command's.
inline void resetPeakMemory() {
    malloc_trim(0);
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}

inline double peakMemoryMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

// What a command is held to; a zero bound is none. The verdict names every bound set.
struct Target {
    double maxRatio = 0;
    double maxMs = 0;
    double maxMb = 0;
};

struct Row {
    QString command;
    qint64 cards = 0;
    qint64 statements = 0;
    Timing ours;
    double baselineMs = -1; // the same statements sent by the baseline client; negative: none sent
    double peakMb = 0;
    Target target;
};

inline QString verdict(const Row& row) {
    QStringList parts;
    const double ratio = row.baselineMs > 0 ? row.ours.bestMs / row.baselineMs : 0;
    auto check = [&parts](bool ok, const QString& bound) {
        parts << bound + (ok ? QStringLiteral(" ok") : QStringLiteral(" MISSED"));
    };
    if (row.target.maxRatio > 0 && row.baselineMs > 0)
        check(ratio <= row.target.maxRatio, QStringLiteral("<=%1x").arg(row.target.maxRatio));
    if (row.target.maxMs > 0)
        check(row.ours.bestMs < row.target.maxMs, QStringLiteral("<%1 ms").arg(row.target.maxMs));
    if (row.target.maxMb > 0)
        check(row.peakMb < row.target.maxMb, QStringLiteral("<%1 MB").arg(row.target.maxMb));
    return parts.join(QStringLiteral(", "));
}

inline void printHeader() {
    std::printf("%-40s %7s %6s %10s %10s %10s %6s %8s  %s\n", "command", "cards", "stmts",
                "best ms", "median ms", "client ms", "ratio", "peak MB", "target");
    std::fflush(stdout);
}

inline void printRow(const Row& row) {
    const QString baseline =
        row.baselineMs < 0 ? QStringLiteral("-") : QString::number(row.baselineMs, 'f', 2);
    const QString ratio = row.baselineMs > 0
                              ? QString::number(row.ours.bestMs / row.baselineMs, 'f', 2)
                              : QStringLiteral("-");
    const QString peak = row.peakMb > 0 ? QString::number(row.peakMb, 'f', 0) : QStringLiteral("-");
    // Padded as text, so that Czech letters take one column each.
    std::printf("%s %7lld %6lld %10.2f %10.2f %10s %6s %8s  %s\n",
                qPrintable(row.command.leftJustified(40)), static_cast<long long>(row.cards),
                static_cast<long long>(row.statements), row.ours.bestMs, row.ours.medianMs,
                qPrintable(baseline), qPrintable(ratio), qPrintable(peak),
                qPrintable(verdict(row)));
    std::fflush(stdout);
}

} // namespace kelvo::bench
