#include "db/query.h"
#include "support/qtprinters.h"
#include "support/testdatabase.h"

#include <gtest/gtest.h>

using namespace kelvo;
using kelvo::test::TestDatabase;

namespace {

// One card, open for editing as the card window holds it.
class BadInputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db.admin().execute("insert into karta (pora_cislo, cislokarty, nazev, cena) values (\"1\", "
                           "\"INV-1\", \"Lis\", 500)");
        card.openText("select * from karta where id=1");
    }
    QString stored(const QString& column) {
        return db.scalar(
            QStringLiteral("select cast(%1 as char) from karta where id=1").arg(column));
    }
    // Posts one value; returns the error text, empty when it was stored.
    QString post(const QString& field, const QVariant& value) {
        try {
            card.setValue(field, value);
            card.post();
            return {};
        } catch (const DbError& e) {
            card.cancel();
            return e.message();
        }
    }

    TestDatabase db{QStringLiteral("badinput")};
    Connection connection{db.params()};
    Query card{connection};
};

// Strict mode refuses a text longer than its column; the user is told in Czech
// with the column's name, and the stored value stays as it was.
TEST_F(BadInputTest, EveryTextColumnTakesItsLengthAndRefusesOneMore) {
    int textColumns = 0;
    for (const FieldInfo& f : card.fields()) {
        if (f.type != FieldType::Text)
            continue;
        ++textColumns;
        SCOPED_TRACE(f.name.toStdString());
        ASSERT_GT(f.maxLength, 0);
        const QString fits(f.maxLength, QChar(u'Ž'));
        EXPECT_EQ(post(f.name, fits), QString());
        EXPECT_EQ(stored(f.name), fits);

        const QString error = post(f.name, fits + QLatin1Char('x'));
        EXPECT_TRUE(
            error.startsWith("Text je delší, než pole v databázi dovoluje; nic nebylo uloženo."))
            << error.toStdString();
        EXPECT_TRUE(error.contains(f.name)) << error.toStdString();
        EXPECT_EQ(stored(f.name), fits);
    }
    EXPECT_GE(textColumns, 12);
}

// Whatever is typed is stored as typed: nothing of it is read as SQL.
TEST_F(BadInputTest, QuotesBackslashesWildcardsJunkAndSqlAreStoredAsTyped) {
    const QString texts[] = {
        QStringLiteral("O'Brien \"Lis\" `x`"),
        QStringLiteral("C:\\temp\\ \\' \\\" \\\\"),
        QStringLiteral("100% _a_ %_%"),
        QStringLiteral("\"; drop table karta; --"),
        QStringLiteral("'); delete from karta; #"),
        QString::fromLatin1("\x01\x02\t\x1b\x7f\x1a end"),
        QStringLiteral("ěščřžýáíé €‰ „“ §"),
    };
    for (const QString& text : texts) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(post("poznamka", text), QString());
        EXPECT_EQ(stored("poznamka"), text);
        card.refresh();
        EXPECT_EQ(card.asString("poznamka"), text);
    }
    EXPECT_EQ(db.scalar("select count(*) from karta"), "1");

    // A character cp1250 cannot carry is refused before anything is sent.
    const QString error = post("poznamka", QStringLiteral("šipka → 日本"));
    EXPECT_TRUE(error.startsWith("Text obsahuje znak „→“")) << error.toStdString();
    EXPECT_EQ(stored("poznamka"), texts[6]);
}

// Amounts go into decimal(12,2): what it cannot hold is refused in Czech and
// the stored price stays.
TEST_F(BadInputTest, PricesPastTheColumnOrNotNumbersAreRefused) {
    const QString outOfRange =
        QStringLiteral("Číslo je mimo rozsah, který pole v databázi dovoluje; nic nebylo uloženo.");
    const struct {
        QVariant typed;
        QString stored; // empty: refused
        QString error;  // the message's beginning
    } cases[] = {
        {QStringLiteral("9999999999.99"), QStringLiteral("9999999999.99"), {}},
        {QStringLiteral("-0"), QStringLiteral("0.00"), {}},
        {QVariant(-0.0), QStringLiteral("0.00"), {}},
        {QStringLiteral("1e308"), {}, outOfRange},
        {QVariant(1e308), {}, outOfRange},
        {QStringLiteral("123456789012"), {}, outOfRange},
        {QStringLiteral("-10000000000"), {}, outOfRange},
        {QStringLiteral("NaN"), {}, QStringLiteral("„NaN“ není platná hodnota pro pole cena.")},
        {QStringLiteral("inf"), {}, QStringLiteral("„inf“ není platná hodnota pro pole cena.")},
        {QStringLiteral("12,50"), {}, QStringLiteral("„12,50“ není platná hodnota pro pole cena.")},
        {QStringLiteral("1; drop table karta"),
         {},
         QStringLiteral("„1; drop table karta“ není platná hodnota")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toString().toStdString());
        connection.execute("update karta set cena=500 where id=1");
        card.close();
        card.open();
        const QString error = post("cena", c.typed);
        if (c.error.isEmpty()) {
            EXPECT_EQ(error, QString());
            EXPECT_EQ(stored("cena"), c.stored);
        } else {
            EXPECT_TRUE(error.startsWith(c.error)) << error.toStdString();
            EXPECT_EQ(stored("cena"), "500.00");
        }
    }
}

} // namespace
