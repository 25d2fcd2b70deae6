#include "support/testdatabase.h"

#include "db/sqlscript.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <cstdlib>

namespace kelvo::test {

QString sourceDir()
{
    const QByteArray fromEnv = qgetenv("KELVO_SOURCE_DIR");
    return fromEnv.isEmpty() ? QStringLiteral(KELVO_SOURCE_DIR) : QString::fromLocal8Bit(fromEnv);
}

SettingsFile settingsForProgram(const QString& directory, const ConnectionParams& server, int port)
{
    SettingsFile settings = SettingsFile::forExecutable(directory + QStringLiteral("/kelvo"));
    settings.writeString(QStringLiteral("LogOn"), QStringLiteral("IP"), server.host);
    settings.writeString(QStringLiteral("LogOn"), QStringLiteral("Port"),
                         QString::number(port < 0 ? server.port : port));
    settings.writeString(QStringLiteral("LogOn"), QStringLiteral("User"), server.user);
    settings.writeString(QStringLiteral("LogOn"), QStringLiteral("Password"), server.password);
    return settings;
}

ConnectionParams serverParams()
{
    ConnectionParams params;
    params.host = qEnvironmentVariable("KELVO_TEST_DB_HOST", QStringLiteral("127.0.0.1"));
    params.port = qEnvironmentVariableIntValue("KELVO_TEST_DB_PORT");
    if (params.port == 0)
        params.port = 3306;
    params.user = QStringLiteral("root");
    params.password.clear();
    return params;
}

namespace {

const QString kSeedChecksum = QStringLiteral(
    "checksum table def_skupiny, def_odpisr, def_odpisz, def_odpis10, def_odpis15, def_odpis20");

QString databaseName(const QString& name)
{
    QString safe = name.toLower();
    safe.replace(QRegularExpression(QStringLiteral("[^a-z0-9_]")), QStringLiteral("_"));
    return QStringLiteral("t_%1_%2").arg(safe.left(40)).arg(QCoreApplication::applicationPid());
}

// Creating tables takes the server most of a second, so a test program keeps
// one upgraded database for all its tests and only empties and seeds it again
// for each; it is dropped when the program ends.
struct SharedDatabase {
    ConnectionParams params;
    QStringList seedChecksums;  // of the seeded tables as the seed file leaves them
    ~SharedDatabase()
    {
        try {
            Connection(params).execute(QStringLiteral("drop database if exists ") + params.database);
        } catch (const DbError&) {
        }
    }
};

std::unique_ptr<SharedDatabase>& sharedDatabase()
{
    static std::unique_ptr<SharedDatabase> shared;
    return shared;
}

} // namespace

TestDatabase::TestDatabase(const QString& name, bool upgraded) : ownsDatabase_(!upgraded)
{
    params_ = serverParams();
    auto& shared = sharedDatabase();
    if (upgraded && shared) {
        params_ = shared->params;
        admin_ = std::make_unique<Connection>(params_);
        admin_->execute(QStringLiteral("drop table if exists _pkarta"));
        admin_->execute(QStringLiteral("truncate table karta"));
        admin_->execute(QStringLiteral("truncate table odpisy"));
        // The seeded tables are built again only when a test changed them.
        if (checksums() != shared->seedChecksums) {
            for (const char* table : {"def_skupiny", "def_odpisr", "def_odpisz", "def_odpis10", "def_odpis15",
                                      "def_odpis20"})
                admin_->execute(QStringLiteral("truncate table ") + QLatin1String(table));
            runSqlFile(sourceDir() + QStringLiteral("/src/db/seed.sql"));
        }
        return;
    }

    params_.database = databaseName(upgraded ? QStringLiteral("shared") : name);
    ConnectionParams server = params_;
    server.database.clear();
    Connection setup(server);
    setup.execute(QStringLiteral("drop database if exists ") + params_.database);
    setup.execute(QStringLiteral("create database ") + params_.database +
                  QStringLiteral(" character set utf8mb4 collate utf8mb4_czech_ci"));

    admin_ = std::make_unique<Connection>(params_);
    runSqlFile(sourceDir() + QStringLiteral("/src/db/schema.sql"));
    runSqlFile(sourceDir() + QStringLiteral("/src/db/seed.sql"));
    if (upgraded) {
        for (const char* column : {"ZH_D", "KORUN_OP", "KORUN_OR", "OPRAVKA_UP", "ZH_P"}) {
            admin_->execute(QStringLiteral("alter table odpisy add column %1 decimal(12,2) not null default \"0.00\"")
                                .arg(QLatin1String(column)));
        }
        shared = std::make_unique<SharedDatabase>();
        shared->params = params_;
        shared->seedChecksums = checksums();
    }
}

TestDatabase::~TestDatabase()
{
    if (!ownsDatabase_)
        return;
    try {
        admin_->execute(QStringLiteral("drop database if exists ") + params_.database);
    } catch (const DbError&) {
        // The server may already be gone at the end of a fault test.
    }
}

void TestDatabase::runSqlFile(const QString& path)
{
    runSqlScript(*admin_, path);
}

QStringList TestDatabase::checksums()
{
    const ResultSet result = admin_->select(kSeedChecksum);
    QStringList values;
    for (int row = 0; row < result.rowCount(); ++row)
        values << result.cells[size_t(row) * result.fields.size() + 1].toString();
    return values;
}

QStringList TestDatabase::column(const QString& sql)
{
    const ResultSet result = admin_->select(sql);
    QStringList values;
    for (int row = 0; row < result.rowCount(); ++row)
        values << result.cells[size_t(row) * result.fields.size()].toString();
    return values;
}

QString TestDatabase::scalar(const QString& sql)
{
    const QStringList values = column(sql);
    return values.isEmpty() ? QString() : values.first();
}

StatementLog::StatementLog(Connection& c) : connection(c)
{
    connection.setStatementObserver([this](const QString& sql) { statements << sql; });
}

StatementLog::~StatementLog()
{
    connection.setStatementObserver({});
}

} // namespace kelvo::test
