// kelvo-print: the program's reports from the command line. Renders a template
// over the rows of one statement, with variables set to the given texts, into a
// PDF file or PNG pages. The connection is read from kelvo.ini beside the
// executable, as the program reads its own.

#include "core/clock.h"
#include "core/messageservice.h"
#include "db/query.h"
#include "db/schemaupgrade.h"
#include "db/settingsfile.h"
#include "reports/querydatasource.h"
#include "reports/reportengine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>

namespace {

using namespace kelvo;

void usage()
{
    std::fprintf(stderr,
                 "usage: kelvo-print --template FILE --sql STATEMENT [--var NAME=TEXT]... "
                 "(--pdf OUT.pdf | --png PREFIX) [--port P] [--database NAME]\n");
}

// Errors of the engine go to the terminal, not to a window.
class ConsoleMessages final : public MessageService {
public:
    int show(const Message& message) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(message.text));
        return 1;
    }
    void showError(const QString& text) override { std::fprintf(stderr, "kelvo-print: %s\n", qPrintable(text)); }
};

// A variable's text as the engine's expression for that text.
QString quotedText(QString text)
{
    text.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

} // namespace

int main(int argc, char* argv[])
{
    // Fonts and painting need a GUI application, but never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QString directory = QCoreApplication::applicationDirPath();
    ConnectionParams params =
        connectionParamsFrom(SettingsFile::forExecutable(QDir(directory).filePath(QStringLiteral("kelvo"))));
    QString templateFile, sql, pdf, pngPrefix;
    std::vector<std::pair<QString, QString>> variables;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (i + 1 >= args.size()) {
            usage();
            return 2;
        }
        const QString value = args[++i];
        bool ok = true;
        if (arg == QLatin1String("--template"))
            templateFile = value;
        else if (arg == QLatin1String("--sql"))
            sql = value;
        else if (arg == QLatin1String("--pdf"))
            pdf = value;
        else if (arg == QLatin1String("--png"))
            pngPrefix = value;
        else if (arg == QLatin1String("--port"))
            params.port = value.toInt(&ok);
        else if (arg == QLatin1String("--database"))
            params.database = value;
        else if (arg == QLatin1String("--var") && value.contains(QLatin1Char('=')))
            variables.emplace_back(value.section(QLatin1Char('='), 0, 0),
                                   quotedText(value.section(QLatin1Char('='), 1)));
        else
            ok = false;
        if (!ok) {
            usage();
            return 2;
        }
    }
    if (templateFile.isEmpty() || sql.isEmpty() || (pdf.isEmpty() == pngPrefix.isEmpty())) {
        usage();
        return 2;
    }
    if (!QFileInfo::exists(templateFile)) {
        std::fprintf(stderr, "kelvo-print: šablona %s neexistuje\n", qPrintable(templateFile));
        return 1;
    }

    ConsoleMessages messages;
    SystemClock clock;
    try {
        Connection connection(params);
        Query rows(connection);
        rows.openText(sql);
        QueryDataSource binding(rows);
        ReportEngine engine(clock, &messages);
        engine.bindDataSet(&binding);
        engine.loadFromFile(templateFile);
        for (const auto& [name, expression] : variables)
            engine.setVariable(name, expression);
        if (!engine.prepare())
            return 1;
        if (!pdf.isEmpty()) {
            if (!engine.exportPdf(pdf))
                return 1;
            std::printf("kelvo-print: %d rows, %d pages into %s\n", rows.rowCount(), engine.pageCount(),
                        qPrintable(pdf));
        } else {
            const QStringList files = engine.renderPng(pngPrefix);
            if (files.isEmpty())
                return 1;
            std::printf("kelvo-print: %d rows, %lld pages as %s*.png\n", rows.rowCount(),
                        static_cast<long long>(files.size()), qPrintable(pngPrefix));
        }
    } catch (const DbError& e) {
        std::fprintf(stderr, "kelvo-print: %s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
