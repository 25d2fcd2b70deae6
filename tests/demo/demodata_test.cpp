#include "db/schemaupgrade.h"
#include "demo/demodata.h"
#include "support/qtprinters.h"
#include "support/testdatabase.h"

#include <gtest/gtest.h>

using namespace kelvo;
using namespace kelvo::test;

// The demo fills a database as the program leaves it: every card planned, the
// card columns copied into its rows, past years posted, nothing orphaned.
TEST(DemoDataTest, FillsPlannedCardsWithCopiedColumnsAndPostedPastYears)
{
    for (const int mode : {0, 1}) {
        SCOPED_TRACE(mode);
        TestDatabase db(QStringLiteral("demo"), false);
        Connection connection(db.params());
        addMissingDepreciationColumns(connection);
        DemoOptions options;
        options.cards = 60;
        options.accountingMode = mode;
        options.seed = 7;
        options.today = QDate(2024, 6, 30);
        options.batchSize = 25;
        const DemoResult result = fillDemoData(connection, options);

        EXPECT_EQ(result.cards, 60);
        EXPECT_EQ(db.scalar("select count(*) from karta"), "60");
        EXPECT_EQ(db.scalar("select count(*) from karta where skupina = 0"), "0");
        EXPECT_EQ(db.scalar("select count(distinct sk_odpisu) from karta"), "6");
        EXPECT_EQ(db.scalar("select count(distinct zp_odpisu) from karta"), "5");
        EXPECT_EQ(db.scalar("select count(*) from odpisy"), QString::number(result.rows));
        // One row per year of the group, plus the extra year of mode 1.
        EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from karta k where k.rokyodpisu + %1 <> "
                                           "(select count(*) from odpisy o where o.id_karta = k.id)")
                                .arg(mode)),
                  "0");
        EXPECT_EQ(db.scalar("select count(*) from odpisy o join karta k on k.id = o.id_karta where "
                            "o.cislokarty <> k.cislokarty or o.nazev <> k.nazev or o.cena <> k.cena"),
                  "0");
        EXPECT_EQ(db.scalar("select count(*) from odpisy where (rok < 2024) <> (odepsano = \"A\")"), "0");
        EXPECT_EQ(db.scalar("select min(datum_odpisu) like '%-01-15 00:00:00' from odpisy"), "1");
        // Each tax plan ends at a residual value of 0 and adds up to the price.
        EXPECT_EQ(db.scalar("select count(*) from karta k where abs(k.cena - (select sum(korun_do) from odpisy o "
                            "where o.id_karta = k.id)) > 0.001"),
                  "0");
    }
}
