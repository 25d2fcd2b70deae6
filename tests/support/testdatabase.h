#pragma once

#include "db/connection.h"
#include "db/settingsfile.h"

#include <QStringList>
#include <memory>

namespace kelvo::test {

// The server the test command started (KELVO_TEST_DB_HOST / _PORT), with a
// database of the caller's own, so that test programs can run side by side.
ConnectionParams serverParams();

// A database of the test's own with the program's schema and freshly seeded
// tables (ids start at 1). `upgraded` adds the five columns that the program's
// start adds, as every database has them after its first start; such a
// database is shared by the tests of one program and emptied for each. An old
// database (`upgraded` false) is made for the test alone and dropped after it.
class TestDatabase {
public:
    explicit TestDatabase(const QString& name, bool upgraded = true);
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    const ConnectionParams& params() const { return params_; }
    // A connection of the test's own for arranging and checking data.
    Connection& admin() { return *admin_; }

    // Runs every statement of a .sql file (statements end with ';' at a line end).
    void runSqlFile(const QString& path);
    // The values of the first column of a query, as text.
    QStringList column(const QString& sql);
    QString scalar(const QString& sql);

private:
    QStringList checksums();

    ConnectionParams params_;
    std::unique_ptr<Connection> admin_;
    bool ownsDatabase_ = false;
};

QString sourceDir();

// The program's settings file in `directory` (as beside an executable named
// kelvo), its connection keys naming the test's server; `port` overrides the
// server's port (a wrong one simulates a server that is down).
SettingsFile settingsForProgram(const QString& directory, const ConnectionParams& server, int port = -1);

// Records the statements a connection sends.
struct StatementLog {
    explicit StatementLog(Connection& connection);
    ~StatementLog();
    QStringList statements;
    Connection& connection;
};

} // namespace kelvo::test
