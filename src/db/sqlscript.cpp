#include "db/sqlscript.h"

#include <QFile>

namespace kelvo {

void runSqlScript(Connection& connection, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("Soubor %1 nelze přečíst.").arg(path));
    QString statement;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.trimmed().startsWith(QLatin1String("--")))
            continue;
        statement += line + QLatin1Char('\n');
        if (line.trimmed().endsWith(QLatin1Char(';'))) {
            statement = statement.trimmed();
            statement.chop(1);
            connection.execute(statement);
            statement.clear();
        }
    }
}

} // namespace kelvo
