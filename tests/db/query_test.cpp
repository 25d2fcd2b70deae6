#include "db/query.h"
#include "support/testdatabase.h"

#include <gtest/gtest.h>

using namespace kelvo;
using kelvo::test::StatementLog;
using kelvo::test::TestDatabase;

class QueryTest : public ::testing::Test {
protected:
    TestDatabase db{QStringLiteral("query")};
    Connection connection{db.params()};
};

TEST_F(QueryTest, EmptyCardTakesTheColumnDefaults)
{
    connection.execute("insert into karta values ()");
    Query q(connection);
    q.openText("select * from karta where vyrazen=\"N\"");
    ASSERT_EQ(q.rowCount(), 1);
    EXPECT_EQ(q.asString("VYRAZEN"), "N");
    EXPECT_EQ(q.asString("nazev"), "");
    EXPECT_EQ(q.asFloat("Cena"), 0.0);
    EXPECT_TRUE(q.isNull("datum_za"));
    EXPECT_FALSE(q.asDate("datum_za").isValid());
    EXPECT_EQ(q.asInteger("skupina"), 0);
    EXPECT_THROW(q.value("no_such_field"), DbError);

    // An id of 0 gets a fresh auto-increment value, and a depreciation row
    // naming only the plan columns is not posted.
    connection.execute("insert into karta (id, nazev) values (0, \"druhá\")");
    EXPECT_GT(connection.lastInsertId(), 1u);
    connection.execute("insert into odpisy set id_karta=1, rok=2014, procento_o=0, korun_o=0, zh=0, zh_d=0");
    EXPECT_EQ(db.scalar("select odepsano from odpisy"), "N");
}

TEST_F(QueryTest, PostCancelAndDeleteWriteTheCurrentRowByItsKey)
{
    connection.execute("insert into karta (pora_cislo, nazev, cena) values (\"1\", \"Vrtačka\", 100), "
                       "(\"2\", \"Lis\", 200), (\"3\", \"Soustruh\", 300)");
    Query q(connection);
    q.setText("select * from karta\norder by pora_cislo");
    q.open();

    // Quotes, backslashes, percent signs and Czech letters are stored exactly.
    const QString tricky = QStringLiteral("Ří\"d'\\ %_;drop table karta;--");
    q.moveTo(1);
    q.setString("NAZEV", tricky);
    q.setFloat("cena", 1234567.89);
    q.setDate("datum_za", QDate(2014, 10, 1));
    EXPECT_TRUE(q.isEditing());
    q.post();
    EXPECT_FALSE(q.isEditing());
    EXPECT_EQ(db.scalar("select nazev from karta where pora_cislo=\"2\""), tricky);
    EXPECT_EQ(db.scalar("select cena from karta where pora_cislo=\"2\""), "1234567.89");
    EXPECT_EQ(db.scalar("select datum_za from karta where pora_cislo=\"2\""), "2014-10-01");
    EXPECT_EQ(db.scalar("select count(*) from karta"), "3");

    q.setString("nazev", "zahozeno");
    q.cancel();
    EXPECT_EQ(q.asString("nazev"), tricky);
    EXPECT_EQ(db.scalar("select nazev from karta where pora_cislo=\"2\""), tricky);

    // Moving away from an edited row writes it.
    q.setString("misto", "Dílna");
    q.next();
    EXPECT_EQ(db.scalar("select misto from karta where pora_cislo=\"2\""), "Dílna");

    // Deleting the last row makes the one before it current.
    q.deleteRow();
    EXPECT_EQ(q.rowCount(), 2);
    EXPECT_EQ(q.asString("pora_cislo"), "2");
    EXPECT_EQ(db.scalar("select count(*) from karta"), "2");

    // A value the column cannot hold is refused before anything is written.
    EXPECT_THROW(q.setValue("cena", "dvě stě"), DbError);
    // Text the code page lacks gets a clear error and is not stored.
    q.setString("nazev", QStringLiteral("Kč € ✓"));
    EXPECT_THROW(q.post(), DbError);
    q.cancel();
    EXPECT_EQ(db.scalar("select nazev from karta where pora_cislo=\"2\""), tricky);
}

TEST_F(QueryTest, AppendInsertsAndReadsTheDefaultsBack)
{
    Query q(connection);
    q.openText("select * from def_skupiny");
    const int before = q.rowCount();
    q.append();
    q.setInteger("skupina", 7);
    q.setInteger("rokyodpisu", 60);
    q.post();
    EXPECT_EQ(q.rowCount(), before + 1);
    EXPECT_GT(q.asInteger("id"), 6);
    EXPECT_EQ(q.asString("sk_odpisu"), "");
    EXPECT_EQ(db.scalar("select rokyodpisu from def_skupiny where skupina=7"), "60");

    // A row being appended and not written yet is dropped by delete.
    q.append();
    q.setInteger("skupina", 8);
    q.deleteRow();
    EXPECT_EQ(q.rowCount(), before + 1);
    EXPECT_EQ(db.scalar("select count(*) from def_skupiny"), QString::number(before + 1));

    Query empty(connection);
    empty.openText("select * from def_odpis20 where skupina=99");
    EXPECT_THROW(empty.deleteRow(), DbError);
}

TEST_F(QueryTest, LocateSortAndDisplayFormat)
{
    connection.execute("insert into karta (pora_cislo, nazev, cena, datum_za) values "
                       "(\"10\", \"vrtačka\", 5000, \"2014-03-01\"), (\"9\", \"Čerpadlo\", 1234567.89, NULL), "
                       "(\"11\", \"auto\", 300, \"2012-01-31\")");
    Query q(connection);
    q.setText("select * from karta\norder by pora_cislo");
    q.open();
    // The statement's own order is by text.
    EXPECT_EQ(q.asString("pora_cislo"), "10");

    EXPECT_TRUE(q.locate("NAZEV", "VRTAČKA", Qt::CaseInsensitive));
    EXPECT_EQ(q.currentRow(), 0);
    EXPECT_FALSE(q.locate("nazev", "VRTAČKA", Qt::CaseSensitive));
    const QString id = db.scalar("select id from karta where pora_cislo=\"11\"");
    EXPECT_TRUE(q.locate("id", id));
    EXPECT_EQ(q.asString("nazev"), "auto");

    struct Case {
        const char* field;
        SortOrder order;
        QStringList expected;  // pora_cislo in shown order
    };
    const Case cases[] = {
        {"cena", SortOrder::Ascending, {"11", "10", "9"}},
        {"cena", SortOrder::Descending, {"9", "10", "11"}},
        {"nazev", SortOrder::Ascending, {"11", "9", "10"}},   // auto, Čerpadlo, vrtačka
        {"datum_za", SortOrder::Ascending, {"9", "11", "10"}}, // NULL first
        {"cena", SortOrder::None, {"10", "11", "9"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        q.sortBy(c.field, c.order);
        QStringList shown;
        for (int row = 0; row < q.rowCount(); ++row)
            shown << q.valueAt(row, q.fieldIndex("pora_cislo")).toString();
        EXPECT_EQ(shown, c.expected);
    }

    // The sort survives refresh and reopening; the current row stays current.
    q.sortBy("cena", SortOrder::Descending);
    q.locate("pora_cislo", "10");
    connection.execute("insert into karta (pora_cislo, cena) values (\"12\", 999999999)");
    q.refresh();
    EXPECT_EQ(q.valueAt(0, q.fieldIndex("pora_cislo")).toString(), "12");
    EXPECT_EQ(q.asString("pora_cislo"), "10");
    q.close();
    q.open();
    EXPECT_EQ(q.valueAt(0, q.fieldIndex("pora_cislo")).toString(), "12");

    q.setDisplayFormat("CENA", "## ### ##0.00");
    q.locate("pora_cislo", "9");
    EXPECT_EQ(q.displayText(q.currentRow(), q.fieldIndex("cena")), QStringLiteral("1 234 567,89"));
    q.locate("pora_cislo", "11");
    EXPECT_EQ(q.displayText(q.currentRow(), q.fieldIndex("datum_za")), QStringLiteral("31.1.2012"));
    EXPECT_EQ(q.displayText(q.currentRow(), q.fieldIndex("datum_za"), "dd.MM.yyyy"), QStringLiteral("31.01.2012"));
}

TEST_F(QueryTest, StatementsAreObservedInOrderAndFailuresThrow)
{
    StatementLog log(connection);
    Query q(connection);
    q.executeText("start transaction");
    q.executeText("insert into karta (cislokarty) value (\"\")");
    q.openText("select last_insert_id() as cv");
    const QString id = q.asString("CV");
    q.executeText("rollback");
    EXPECT_EQ(log.statements, QStringList({"start transaction", "insert into karta (cislokarty) value (\"\")",
                                           "select last_insert_id() as cv", "rollback"}));
    EXPECT_FALSE(id.isEmpty());
    EXPECT_EQ(db.scalar("select count(*) from karta"), "0");

    try {
        q.executeText("update karta set nonsense=1");
        FAIL() << "the server accepted a bad statement";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains("nonsense")) << e.message().toStdString();
    }
}

TEST_F(QueryTest, ConnectionOpensAgainAfterBeingRefusedOrLost)
{
    ConnectionParams wrong = db.params();
    wrong.password = "wrong";
    Connection refused(wrong);
    EXPECT_THROW(refused.execute("select 1"), DbError);
    EXPECT_FALSE(refused.isOpen());
    refused.setParams(db.params());
    EXPECT_NO_THROW(refused.execute("do 1"));

    // The server drops the connection: the statement that meets it fails, the next one reconnects.
    Connection victim(db.params());
    victim.execute("do 1");
    db.admin().execute(QStringLiteral("kill %1").arg(victim.serverThreadId()));
    EXPECT_THROW(victim.execute("do 1"), DbError);
    EXPECT_NO_THROW(victim.execute("do 1"));
}

TEST_F(QueryTest, SteppingPastEitherEndPostsThePendingEdit)
{
    connection.execute("insert into karta (pora_cislo, cena) values (\"1\", 100), (\"2\", 200)");
    Query q(connection);
    q.openText("select * from karta order by pora_cislo");
    q.last();
    q.setFloat("cena", 250);
    q.next();
    EXPECT_TRUE(q.eof());
    EXPECT_FALSE(q.isEditing());
    q.first();
    q.setFloat("cena", 150);
    q.prior();
    EXPECT_FALSE(q.isEditing());
    EXPECT_EQ(db.column("select cena from karta order by pora_cislo"), QStringList({"150", "250"}));
}

TEST_F(QueryTest, FieldsMatchWithoutCaseFirstOneWinsAndDecimalsReadExactly)
{
    Query q(connection);
    // Two columns whose names differ only in case: any spelling finds the first.
    q.openText("select 1 as Cv, 2 as cv, 3 as x");
    EXPECT_EQ(q.fieldIndex("cv"), 0);
    EXPECT_EQ(q.fieldIndex("CV"), 0);
    EXPECT_EQ(q.asInteger("cv"), 1);
    EXPECT_EQ(q.fieldIndex("X"), 2);
    EXPECT_EQ(q.fieldIndex("y"), -1);

    // The same column name in results of other types takes each one's own type.
    for (const char* value : {"1", "\"x\"", "1", "cast(\"2014-10-01\" as date)"}) {
        q.openText(QStringLiteral("select %1 as cv").arg(QLatin1String(value)));
        EXPECT_EQ(q.asString("cv"), QString::fromLatin1(value).remove('"').remove("cast(").remove(" as date)"));
    }

    // Decimal columns come back as the double nearest to the decimal text, also
    // where the text has more digits than a double holds.
    const struct {
        const char* sql;
        double expected;
    } cases[] = {
        {"cast(1234567.89 as decimal(12,2))", 1234567.89},
        {"cast(-0.05 as decimal(12,2))", -0.05},
        {"cast(0.1 as decimal(12,4))", 0.1},
        {"cast(99999999.9999 as decimal(12,4))", 99999999.9999},
        {"cast(1234567890123.4567891 as decimal(30,7))", 1234567890123.4567891},
        {"cast(0.000000000000000000000000123 as decimal(30,27))", 1.23e-25},
        {"1e-7", 1e-7},
    };
    for (const auto& c : cases) {
        q.openText(QStringLiteral("select %1 as v").arg(QLatin1String(c.sql)));
        EXPECT_EQ(q.asFloat("v"), c.expected) << c.sql;
    }
}

TEST_F(QueryTest, TextAndItsLinesStayTogether)
{
    Query q(connection);
    EXPECT_TRUE(q.lines().isEmpty());
    q.setText("select *\nfrom karta");
    q.addLine("where id=1");
    EXPECT_EQ(q.lines(), QStringList({"select *", "from karta", "where id=1"}));
    EXPECT_EQ(q.text(), "select *\nfrom karta\nwhere id=1");
    q.setText("select 1");
    q.setLine(2, "as x");
    EXPECT_EQ(q.text(), "select 1\n\nas x");
    q.setText("");
    EXPECT_EQ(q.lines(), QStringList({""}));
    q.clearText();
    EXPECT_TRUE(q.lines().isEmpty());
    q.addLine("select 2 as x");
    q.open();
    EXPECT_EQ(q.asInteger("x"), 2);
}

// Repeated texts share their strings as they are read; every cell must still
// hold its own row's text, whether a column repeats a few values, cycles
// through more than are kept, never repeats, or holds NULLs and empty texts.
TEST_F(QueryTest, RepeatedTextsReadBackCellByCell)
{
    Query q(connection);
    q.openText("with recursive n(i) as (select 1 union all select i + 1 from n where i < 300) "
               "select i, concat(\"Hala \", i % 3) as few, concat(\"w\", i % 11) as many, "
               "concat(\"u\", i) as uniq, if(i % 5 = 0, null, if(i % 7 = 0, \"\", \"Čáp\")) as odd, "
               "repeat(char(65 + i % 2), 50) as longer from n order by i");
    ASSERT_EQ(q.rowCount(), 300);
    int row = 1;
    for (q.first(); !q.eof(); q.next(), ++row) {
        const QString at = QStringLiteral(" at row %1").arg(row);
        EXPECT_EQ(q.asString("few"), QStringLiteral("Hala %1").arg(row % 3)) << qPrintable(at);
        EXPECT_EQ(q.asString("many"), QStringLiteral("w%1").arg(row % 11)) << qPrintable(at);
        EXPECT_EQ(q.asString("uniq"), QStringLiteral("u%1").arg(row)) << qPrintable(at);
        EXPECT_EQ(q.asString("odd"), row % 5 == 0 || row % 7 == 0 ? QString() : QStringLiteral("Čáp"))
            << qPrintable(at);
        EXPECT_EQ(q.asString("longer"), QString(50, QChar(u'A' + row % 2))) << qPrintable(at);
    }
}
