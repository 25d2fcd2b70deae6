// The four templates shipped with the program, rendered to PDF from a few
// in-memory rows and read back with pdftotext.
#include "reportfixture.h"

#include "reports/datasource.h"

#include <QDir>
#include <QTemporaryDir>

namespace kelvo::test {
namespace {

// The columns of `karta`, as the card, list and inventory statements return them.
const QStringList kCardColumns = {
    "id",         "pora_cislo", "cislokarty", "nazev",        "dodavatel",  "dat_zhod", "dokl_zhod",
    "koruny",     "cena",       "datum_za",   "dokl_za",      "do_pouziti", "datum_vy", "dokl_vy",
    "vyrazen",    "misto",      "sk_odpisu",  "zp_odpisu",    "poznamka",   "opravky",  "skupina",
    "rokyodpisu", "prvnirok",   "dalsi",      "zvyseny_vstup"};

struct Card {
    qlonglong id;
    QString number;
    QString name;
    double price;
    QDate acquired;
};

QVariantList cardValues(const Card& c) {
    return {c.id,
            QStringLiteral("%1").arg(c.id),
            c.number,
            c.name,
            QStringLiteral("Strojírny Brno a.s."),
            QVariant(),
            QString(),
            0.0,
            c.price,
            c.acquired,
            QStringLiteral("FP-%1").arg(c.id),
            c.acquired,
            QVariant(),
            QString(),
            QStringLiteral("N"),
            QStringLiteral("Dílna 2"),
            QStringLiteral("2"),
            QStringLiteral("rovnoměrný"),
            QStringLiteral("Pravidelná revize"),
            0.0,
            qlonglong(2),
            qlonglong(5),
            11.0,
            22.25,
            0.0};
}

const Card kLathe{1, "000123", "Soustruh SV18", 125000.0, QDate(2012, 3, 15)};
const Card kDrill{2, "000124", "Vrtačka stolní", 2500.5, QDate(2013, 6, 1)};
const Card kCar{3, "000200", "Osobní automobil", 480000.0, QDate(2014, 1, 31)};

MemoryDataSource cardRows() {
    MemoryDataSource data(kCardColumns + QStringList{"rok", "datum_odpisu", "koef_o", "procento_o",
                                                     "zh", "korun_o", "korun_do"});
    const double accounting[] = {11000, 28500, 28500};
    const double tax[] = {12500, 28125.5, 28125};
    double residual = kLathe.price;
    for (int i = 0; i < 3; ++i) {
        residual -= tax[i];
        data.addRow(cardValues(kLathe) +
                    QVariantList{QString::number(2012 + i),
                                 QDateTime(QDate(2013 + i, 1, 31), QTime(0, 0)),
                                 QStringLiteral("P"), 11.0, residual, accounting[i], tax[i]});
    }
    return data;
}

MemoryDataSource listRows() {
    MemoryDataSource data(kCardColumns);
    for (const Card& c : {kLathe, kDrill, kCar})
        data.addRow(cardValues(c));
    return data;
}

MemoryDataSource inventoryRows() {
    MemoryDataSource data(kCardColumns + QStringList{"rok", "datum_odpisu", "opravka_u",
                                                     "opravka_d", "zh", "korun_o", "korun_do"});
    data.addRow(cardValues(kLathe) +
                QVariantList{"2014", QVariant(), 68000.0, 68750.5, 56249.5, 28500.0, 28125.0});
    data.addRow(cardValues(kDrill) +
                QVariantList{"2014", QVariant(), 1000.25, 1000.25, 1500.25, 500.0, 500.0});
    return data;
}

// `odpisy` rows: `perYear` rows in each of 2013 and 2014.
MemoryDataSource depreciationRows(int perYear) {
    MemoryDataSource data({"id", "rok", "cislokarty", "nazev", "cena", "datum_za", "odepsano",
                           "datum_odpisu", "sk_odpisu", "zp_odpisu", "korun_o", "korun_do"});
    int id = 0;
    for (const QString year : {"2013", "2014"}) {
        for (int i = 0; i < perYear; ++i) {
            const Card& c = i % 2 ? kDrill : kLathe;
            data.addRow({++id, year, c.number, c.name, c.price, c.acquired, "A",
                         QDateTime(QDate(year.toInt() + 1, 1, 15), QTime(0, 0)), "2", "zrychlený",
                         1000.0, 1250.25});
        }
    }
    return data;
}

struct TemplateCase {
    const char* file;
    MemoryDataSource (*rows)();
    QString kdatu;
    QStringList expected;
};

// Failures name the case instead of dumping its bytes.
void PrintTo(const TemplateCase& c, std::ostream* os) {
    *os << c.file;
}

class DefaultTemplate : public ::testing::TestWithParam<TemplateCase> {};

TEST_P(DefaultTemplate, PrintsItsFieldsAndTotalsToPdf) {
    const TemplateCase& c = GetParam();
    EngineFixture f;
    f.engine.setTextMeasurer(std::make_unique<FontTextMeasurer>());
    MemoryDataSource data = c.rows();
    f.engine.bindDataSet(&data);
    f.engine.loadFromFile(QStringLiteral(KELVO_SOURCE_DIR "/src/reports/templates/") +
                          QLatin1String(c.file));
    ASSERT_TRUE(f.engine.loadError().isEmpty()) << f.engine.loadError().toStdString();
    if (!c.kdatu.isNull())
        f.engine.setVariable(QStringLiteral("kdatu"), c.kdatu);
    ASSERT_TRUE(f.engine.prepare()) << f.engine.errorText().toStdString();

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    ASSERT_TRUE(f.engine.exportPdf(pdf));
    const QString text = pdfText(pdf);
    for (const QString& expected : c.expected)
        EXPECT_TRUE(text.contains(expected)) << "missing: " << expected.toStdString() << "\n"
                                             << text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Templates, DefaultTemplate,
    ::testing::Values(
        TemplateCase{"karta.fr3",
                     cardRows,
                     QString(),
                     {"KARTA DLOUHODOBÉHO MAJETKU", "Datum tisku: 01.10.2014", "000123",
                      "Soustruh SV18", "Strojírny Brno a.s.", "125 000,00 Kč", "15.03.2012", "FP-1",
                      "Dílna 2", "rovnoměrný", "Pravidelná revize", "2012", "11,00", "28 125,50",
                      "31.01.2014", "56 249,50", "68 000,00", "68 750,50", "Strana 1 z 1"}},
        TemplateCase{"seznam.fr3",
                     listRows,
                     QString(),
                     {"SEZNAM MAJETKU", "Invent. číslo", "Vstupní cena", "Soustruh SV18",
                      "Vrtačka stolní", "Osobní automobil", "2 500,50", "31.01.2014", "607 500,50",
                      "Počet položek: 3", "Strana 1 z 1"}},
        TemplateCase{"odpisy.fr3",
                     [] { return depreciationRows(2); },
                     QString(),
                     {"SEZNAM",     "ODPISŮ",          "Datum tisku: 01.10.2014",
                      "Inv. číslo", "název",           "Cena",
                      "Odepsáno",   "Datum odpisu",    "Sk. odpisu",
                      "Zp. odpisu", "Rok odpisu 2013", "Rok odpisu 2014",
                      "000124",     "127 500,50",      "Celkem za rok 2013",
                      "255 001,00", "2 500,50",        "15.01.2015",
                      "zrychlený",  "Strana 1 z 1"}},
        TemplateCase{"invent.fr3",
                     inventoryRows,
                     QStringLiteral("'01.10.2014'"),
                     {"INVENTURNÍ SOUPIS MAJETKU ke dni 01.10.2014", "Soustruh SV18",
                      "Vrtačka stolní", "127 500,50", "69 000,25", "57 749,75", "položek: 2",
                      "Inventura provedena dne:", "Inventarizační komise",
                      "Předseda:", "Podpis:", "Strana 1 z 1"}}),
    [](const auto& info) {
        return std::string(QString::fromLatin1(info.param.file).section('.', 0, 0).toStdString());
    });

TEST(DefaultTemplates, LongDepreciationListRepeatsHeadersAndNumbersPages) {
    EngineFixture f;
    f.engine.setTextMeasurer(std::make_unique<FontTextMeasurer>());
    MemoryDataSource data = depreciationRows(40);
    f.engine.bindDataSet(&data);
    f.engine.loadFromFile(QStringLiteral(KELVO_SOURCE_DIR "/src/reports/templates/odpisy.fr3"));
    ASSERT_TRUE(f.engine.prepare()) << f.engine.errorText().toStdString();
    ASSERT_GE(f.engine.pageCount(), 3);

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("odpisy.pdf"));
    ASSERT_TRUE(f.engine.exportPdf(pdf));
    const QString pages = QString::number(f.engine.pageCount());
    const QString second = pdfText(pdf, 2);
    EXPECT_TRUE(second.contains(QStringLiteral("Datum odpisu"))) << second.toStdString();
    EXPECT_TRUE(second.contains(QStringLiteral("Rok odpisu"))) << second.toStdString();
    EXPECT_TRUE(second.contains(QStringLiteral("Strana 2 z ") + pages)) << second.toStdString();
    EXPECT_FALSE(second.contains(QStringLiteral("SEZNAM")))
        << "the title is on the first page only";
    // 40 rows of 1 250,25 tax depreciation a year, 80 in all.
    const QString all = pdfText(pdf);
    EXPECT_EQ(all.count(QStringLiteral(" 50 010,00")), 2) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("100 020,00")));
}

} // namespace
} // namespace kelvo::test
