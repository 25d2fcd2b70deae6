#include "db/schemaupgrade.h"

#include "db/query.h"

namespace kelvo {

ConnectionParams connectionParamsFrom(const SettingsFile& settings)
{
    const QString section = QStringLiteral("LogOn");
    ConnectionParams params;
    params.host = settings.readString(section, QStringLiteral("IP"), QStringLiteral("localhost"));
    params.user = settings.readString(section, QStringLiteral("User"), QStringLiteral("root"));
    params.password = settings.readString(section, QStringLiteral("Password"), QString());
    params.port = settings.readInt(section, QStringLiteral("Port"), 3306);
    params.database = QStringLiteral("kelvo");
    return params;
}

bool AddColumnIfMissing(Connection& connection, const QString& table, const QString& column,
                        const QString& type, const QString& size, const QString& constraint,
                        const QString& defaultValue)
{
    Query query(connection);
    query.openText(QStringLiteral("show columns from ") + table);
    bool present = false;
    for (query.first(); !query.eof() && !present; query.next()) {
        present = query.asString(QStringLiteral("Field")).compare(column, Qt::CaseInsensitive) == 0;
    }
    query.close();
    if (present)
        return false;

    query.clearText();
    query.addLine(QStringLiteral("alter table ") + table);
    query.addLine(QStringLiteral("add column ") + column + QLatin1Char(' ') + type + QLatin1Char('(') + size +
                  QStringLiteral(") ") + constraint);
    if (!defaultValue.isEmpty())
        query.addLine(QStringLiteral("default \"") + defaultValue + QLatin1Char('"'));
    query.execute();
    return true;
}

void addMissingDepreciationColumns(Connection& connection)
{
    for (const char* column : {"ZH_D", "KORUN_OP", "KORUN_OR", "OPRAVKA_UP", "ZH_P"}) {
        AddColumnIfMissing(connection, QStringLiteral("odpisy"), QLatin1String(column), QStringLiteral("decimal"),
                           QStringLiteral("12,2"), QStringLiteral("not null"), QStringLiteral("0.00"));
    }
}

} // namespace kelvo
