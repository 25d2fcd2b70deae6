// kelvo-demo: fills the program's database with realistic demo cards and their
// depreciation plans. The connection comes from kelvo.ini beside the program.
#include "db/schemaupgrade.h"
#include "db/settingsfile.h"
#include "demo/demodata.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>

using namespace kelvo;

namespace {

int usage()
{
    std::fprintf(stderr, "usage: kelvo-demo --cards N [--mode 0|1] [--seed S] [--port P] [--database NAME]\n");
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    // The settings file the program itself reads: kelvo.ini beside it.
    ConnectionParams params = connectionParamsFrom(
        SettingsFile::forExecutable(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("kelvo"))));
    DemoOptions options;
    bool haveCards = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (i + 1 >= args.size())
            return usage();
        const QString value = args[++i];
        bool ok = true;
        if (arg == QLatin1String("--cards")) {
            options.cards = value.toInt(&ok);
            haveCards = ok && options.cards >= 0;
        } else if (arg == QLatin1String("--mode")) {
            options.accountingMode = value.toInt(&ok);
            ok = ok && (options.accountingMode == 0 || options.accountingMode == 1);
        } else if (arg == QLatin1String("--seed")) {
            options.seed = value.toUInt(&ok);
        } else if (arg == QLatin1String("--port")) {
            params.port = value.toInt(&ok);
        } else if (arg == QLatin1String("--database")) {
            params.database = value;
        } else {
            ok = false;
        }
        if (!ok)
            return usage();
    }
    if (!haveCards)
        return usage();

    try {
        Connection connection(params);
        addMissingDepreciationColumns(connection);
        QElapsedTimer timer;
        timer.start();
        const DemoResult result = fillDemoData(connection, options, [&](int done) {
            if (done % 5000 == 0)
                std::fprintf(stderr, "kelvo-demo: %d cards\n", done);
        });
        std::printf("kelvo-demo: %d cards, %lld depreciation rows in database %s, %.1f s\n", result.cards,
                    static_cast<long long>(result.rows), qPrintable(params.database), timer.elapsed() / 1000.0);
    } catch (const DbError& e) {
        std::fprintf(stderr, "kelvo-demo: %s\n", qPrintable(e.message()));
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kelvo-demo: %s\n", e.what());
        return 1;
    }
    return 0;
}
