#include "support/testdatabase.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using kelvo::test::TestDatabase;

namespace {

struct PrintRun {
    int exitCode;
    QString output;
};

PrintRun kelvoPrint(const TestDatabase& db, QStringList arguments)
{
    QProcess process;
    arguments << "--port" << QString::number(db.params().port) << "--database" << db.params().database;
    process.start(QStringLiteral(KELVO_PRINT), arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError())};
}

QString pdfText(const QString& pdf)
{
    QProcess process;
    process.start("pdftotext", {"-layout", pdf, "-"});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

TEST(KelvoPrint, RendersTheInventoryListOverTheStatementWithItsDate)
{
    TestDatabase db(QStringLiteral("printtool"));
    db.admin().execute("insert into karta (pora_cislo, cislokarty, nazev, cena, datum_za) values "
                       "(\"1\", \"INV-1\", \"Soustruh hrotový\", 250000, \"2014-03-01\")");
    db.admin().execute("insert into odpisy (id_karta, cislokarty, rok, korun_o, opravka_u, zh) values "
                       "(1, \"INV-1\", \"2014\", 27500, 27500, 222500)");
    QTemporaryDir dir;
    const QString pdf = dir.filePath("invent.pdf");
    const PrintRun run = kelvoPrint(
        db, {"--template", kelvo::test::sourceDir() + "/src/reports/templates/invent.fr3", "--sql",
             "select karta.* , odpisy.rok,odpisy.datum_odpisu,odpisy.opravka_u,odpisy.opravka_d,odpisy.zh,"
             "odpisy.korun_o,odpisy.korun_do from karta, odpisy where karta.cislokarty = odpisy.cislokarty"
             " and karta.datum_za<='2014-10-01' and odpisy.rok='2014'",
             "--var", "kdatu=01.10.2014", "--pdf", pdf});
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    const QString text = pdfText(pdf);
    for (const char* expected : {"01.10.2014", "INV-1", "Soustruh hrotový", "250 000,00", "222 500,00"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
}

TEST(KelvoPrint, RefusedStatementAndBadUsageFailWithAReason)
{
    TestDatabase db(QStringLiteral("printtool"));
    QTemporaryDir dir;
    const PrintRun refused = kelvoPrint(db, {"--template", kelvo::test::sourceDir() + "/src/reports/templates/seznam.fr3",
                                        "--sql", "select * from nothing_here", "--pdf", dir.filePath("x.pdf")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.output.contains("nothing_here")) << refused.output.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("x.pdf")));

    const PrintRun usage = kelvoPrint(db, {"--template", "seznam.fr3"});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_TRUE(usage.output.contains("usage:"));
}
