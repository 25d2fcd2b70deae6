#include "db/query.h"
#include "db/schemaupgrade.h"
#include "support/testdatabase.h"

#include <gtest/gtest.h>

using namespace kelvo;
using kelvo::test::StatementLog;
using kelvo::test::TestDatabase;

namespace {

QStringList alters(const QStringList& statements)
{
    QStringList result;
    for (const QString& s : statements) {
        if (s.startsWith("alter table"))
            result << s;
    }
    return result;
}

QString alterOf(const char* column)
{
    return QStringLiteral("alter table odpisy\nadd column %1 decimal(12,2) not null\ndefault \"0.00\"")
        .arg(QLatin1String(column));
}

} // namespace

TEST(SchemaUpgrade, AddsTheFiveColumnsOnceInOrder)
{
    TestDatabase db(QStringLiteral("upgrade"), false);
    db.admin().execute("insert into odpisy (id_karta, rok, korun_o) values (1, \"2014\", 100)");
    Connection connection(db.params());
    {
        StatementLog log(connection);
        addMissingDepreciationColumns(connection);
        EXPECT_EQ(alters(log.statements),
                  QStringList({alterOf("ZH_D"), alterOf("KORUN_OP"), alterOf("KORUN_OR"), alterOf("OPRAVKA_UP"),
                               alterOf("ZH_P")}));
        EXPECT_EQ(log.statements.count("show columns from odpisy"), 5);
    }
    // Existing rows read 0.00 in the new columns.
    EXPECT_EQ(db.scalar("select cast(zh_p as char) from odpisy"), "0.00");
    {
        StatementLog log(connection);
        addMissingDepreciationColumns(connection);
        EXPECT_TRUE(alters(log.statements).isEmpty());
        EXPECT_EQ(log.statements.size(), 5);
    }
}

TEST(SchemaUpgrade, ColumnInOtherCaseCountsAndOnlyMissingOnesAreAdded)
{
    TestDatabase db(QStringLiteral("partial"), false);
    db.admin().execute("alter table odpisy add column zh_d decimal(12,2) not null default 0");
    Connection connection(db.params());
    StatementLog log(connection);
    EXPECT_FALSE(AddColumnIfMissing(connection, "odpisy", "ZH_D", "decimal", "12,2", "not null", "0.00"));
    addMissingDepreciationColumns(connection);
    EXPECT_EQ(alters(log.statements), QStringList({alterOf("KORUN_OP"), alterOf("KORUN_OR"), alterOf("OPRAVKA_UP"),
                                                   alterOf("ZH_P")}));
    // A part of a name does not match.
    EXPECT_TRUE(AddColumnIfMissing(connection, "odpisy", "KORUN", "decimal", "12,2", "null", ""));
    EXPECT_EQ(log.statements.last(), "alter table odpisy\nadd column KORUN decimal(12,2) null");
}
