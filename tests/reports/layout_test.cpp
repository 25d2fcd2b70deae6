// Page breaking, groups, totals and page numbers, on the page model with fixed
// text widths. The page is 100 mm high with 10 mm margins, a 10 mm page header
// and a 10 mm page footer: 60 mm of body, twelve 5 mm rows.
#include "reportfixture.h"

#include "reports/datasource.h"

#include <QDir>
#include <QFile>

namespace kelvo::test {
namespace {

struct Row {
    QString year;
    double price;
};

QString listTemplate(const QString& groups, bool withTitle, bool withSummary,
                     double dataHeight = 5) {
    QString xml = QStringLiteral(R"(<report>
  <page width="150" height="100" left="10" right="10" top="10" bottom="10"/>
  <styles><style name="normal" size="9"/></styles>
)");
    if (withTitle)
        xml += QStringLiteral(
            R"(<reportTitle height="10"><text x="0" y="0" width="100" height="10">SEZNAM</text></reportTitle>)");
    xml += QStringLiteral(
        R"(<pageHeader height="10"><text x="0" y="0" width="100" height="5">Hlavička</text></pageHeader>)");
    xml += groups;
    xml +=
        QStringLiteral(
            R"(<masterData height="%1"><text x="0" y="0" width="40" height="5">[frxDBDataset1."nazev"]</text></masterData>)")
            .arg(dataHeight);
    if (withSummary)
        xml += QStringLiteral(R"(<reportSummary height="5">
  <text x="0" y="0" width="60" height="5" format="## ### ##0.00">Celkem [SUM(frxDBDataset1."CENA")]</text>
  <text x="60" y="0" width="20" height="5">([COUNT()])</text></reportSummary>)");
    xml += QStringLiteral(
        R"(<pageFooter height="10"><text x="0" y="5" width="60" height="5">Strana [PAGE] z [PAGES]</text></pageFooter>
</report>)");
    return xml;
}

const QString kYearGroup = QStringLiteral(
    R"(<group condition="[frxDBDataset1.&quot;ROK&quot;]" keepWithData="%1" repeatOnNewPage="%2">
  <groupHeader height="5"><text x="0" y="0" width="40" height="5">Rok [frxDBDataset1."ROK"] s.[PAGE]</text></groupHeader>%3
</group>)");

const QString kYearFooter = QStringLiteral(R"(<groupFooter height="5">
  <text x="0" y="0" width="60" height="5" format="## ### ##0.00">Součet [SUM(frxDBDataset1."CENA")]</text>
  <text x="60" y="0" width="20" height="5">([COUNT()])</text></groupFooter>)");

QString yearGroup(bool keep, bool repeat, bool footer) {
    return kYearGroup.arg(keep ? "true" : "false", repeat ? "true" : "false",
                          footer ? kYearFooter : QString());
}

std::vector<Row> years(std::initializer_list<std::pair<const char*, int>> counts) {
    std::vector<Row> rows;
    for (const auto& [year, count] : counts) {
        for (int i = 0; i < count; ++i)
            rows.push_back({QString::fromLatin1(year), 100.0});
    }
    return rows;
}

MemoryDataSource dataOf(const std::vector<Row>& rows) {
    MemoryDataSource data({QStringLiteral("ROK"), QStringLiteral("NAZEV"), QStringLiteral("CENA")});
    int n = 0;
    for (const Row& row : rows)
        data.addRow({row.year, QStringLiteral("r%1").arg(++n), row.price});
    return data;
}

// "r3..r5" in an expectation stands for "r3|r4|r5".
QString expand(const QString& page) {
    QStringList out;
    for (const QString& part : page.split(QLatin1Char('|'))) {
        const qsizetype dots = part.indexOf(QLatin1String(".."));
        if (!part.startsWith(QLatin1Char('r')) || dots < 0) {
            out << part;
            continue;
        }
        const int from = part.mid(1, dots - 1).toInt();
        const int to = part.mid(dots + 3).toInt();
        for (int i = from; i <= to; ++i)
            out << QStringLiteral("r%1").arg(i);
    }
    return out.join(QLatin1Char('|'));
}

struct PagingCase {
    const char* name;
    QString groups;
    bool title;
    bool summary;
    std::vector<Row> rows;
    std::vector<QString> pages; // each page's texts joined by '|'
};

// Failures name the case instead of dumping its bytes.
void PrintTo(const PagingCase& c, std::ostream* os) {
    *os << c.name;
}

class Paging : public ::testing::TestWithParam<PagingCase> {};

TEST_P(Paging, PlacesBandsOnPages) {
    const PagingCase& c = GetParam();
    EngineFixture f;
    MemoryDataSource data = dataOf(c.rows);
    ASSERT_TRUE(f.prepare(listTemplate(c.groups, c.title, c.summary), &data))
        << f.engine.errorText().toStdString();
    const auto pages = f.pageTexts();
    ASSERT_EQ(pages.size(), c.pages.size());
    for (size_t i = 0; i < pages.size(); ++i)
        EXPECT_EQ(pages[i].join(QLatin1Char('|')).toStdString(), expand(c.pages[i]).toStdString())
            << "page " << i + 1;
    EXPECT_TRUE(data.eof()) << "the engine walks the rows to the end";

    // Laid out a page at a time, as the preview does, the report comes out the
    // same, and until the last page is done the page count shows as "…".
    EngineFixture g;
    MemoryDataSource again = dataOf(c.rows);
    ASSERT_TRUE(g.startPreparing(listTemplate(c.groups, c.title, c.summary), &again));
    const QString total = QStringLiteral(" z %1").arg(c.pages.size());
    while (g.engine.isPreparing()) {
        const int known = g.engine.pageCount();
        ASSERT_LT(size_t(known), c.pages.size());
        for (int i = 0; i < known; ++i)
            EXPECT_EQ(g.engine.page(i).plainText(g.engine.pageModel().pageCountShown()),
                      expand(c.pages[size_t(i)]).replace(total, QStringLiteral(" z …")).replace('|', '\n'))
                << "page " << i + 1 << " of " << known << " known";
        g.engine.continuePreparing(std::chrono::milliseconds(0));
        ASSERT_TRUE(!g.engine.isPreparing() || g.engine.pageCount() == known + 1)
            << "a slice lays out a page at least";
    }
    EXPECT_EQ(g.pageTexts(), f.pageTexts());
}

INSTANTIATE_TEST_SUITE_P(
    Layout, Paging,
    ::testing::Values(PagingCase{"TwelveRowsPerPageHeaderAndFooterOnEvery",
                                 {},
                                 false,
                                 false,
                                 years({{"2013", 25}}),
                                 {"Hlavička|r1..r12|Strana 1 z 3", "Hlavička|r13..r24|Strana 2 z 3",
                                  "Hlavička|r25|Strana 3 z 3"}},
                      PagingCase{"TitleOnlyOnFirstPage",
                                 {},
                                 true,
                                 false,
                                 years({{"2013", 13}}),
                                 {"SEZNAM|Hlavička|r1..r10|Strana 1 z 2",
                                  "Hlavička|r11..r13|Strana 2 z 2"}},
                      PagingCase{"GroupHeaderGoesToNextPageWithItsFirstRow",
                                 yearGroup(true, false, false),
                                 false,
                                 false,
                                 years({{"2013", 10}, {"2014", 3}}),
                                 {"Hlavička|Rok 2013 s.1|r1..r10|Strana 1 z 2",
                                  "Hlavička|Rok 2014 s.2|r11..r13|Strana 2 z 2"}},
                      PagingCase{"GroupHeaderNotKeptMayEndAPage",
                                 yearGroup(false, false, false),
                                 false,
                                 false,
                                 years({{"2013", 10}, {"2014", 3}}),
                                 {"Hlavička|Rok 2013 s.1|r1..r10|Rok 2014 s.1|Strana 1 z 2",
                                  "Hlavička|r11..r13|Strana 2 z 2"}},
                      PagingCase{"GroupHeaderRepeatedOnThePageItRunsOnto",
                                 yearGroup(true, true, false),
                                 false,
                                 false,
                                 years({{"2013", 15}}),
                                 {"Hlavička|Rok 2013 s.1|r1..r11|Strana 1 z 2",
                                  "Hlavička|Rok 2013 s.2|r12..r15|Strana 2 z 2"}},
                      PagingCase{"GroupAndReportTotals",
                                 yearGroup(true, false, true),
                                 false,
                                 true,
                                 {{"2013", 100.5}, {"2013", 200}, {"2014", 1000000}},
                                 {"Hlavička|Rok 2013 s.1|r1|r2|Součet 300,50|(2)|Rok 2014 "
                                  "s.1|r3|Součet 1 000 000,00|(1)|"
                                  "Celkem 1 000 300,50|(3)|Strana 1 z 1"}},
                      PagingCase{"GroupFooterThatDoesNotFitOpensThePage",
                                 yearGroup(true, false, true),
                                 false,
                                 false,
                                 years({{"2013", 11}}),
                                 {"Hlavička|Rok 2013 s.1|r1..r11|Strana 1 z 2",
                                  "Hlavička|Součet 1 100,00|(11)|Strana 2 z 2"}},
                      PagingCase{"EmptyDataSetStillPrintsFrameAndZeroTotals",
                                 yearGroup(true, false, true),
                                 true,
                                 true,
                                 {},
                                 {"SEZNAM|Hlavička|Celkem 0,00|(0)|Strana 1 z 1"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Layout, PlacesRunsInMillimetresFromThePaperCorner) {
    EngineFixture f;
    MemoryDataSource data = dataOf(years({{"2013", 2}}));
    ASSERT_TRUE(f.prepare(listTemplate({}, false, false), &data));
    const Page& page = f.engine.page(0);
    ASSERT_EQ(page.texts.size(), 4u);
    // Page header at the top margin, rows below it, the footer's text 5 mm into
    // a footer band that ends at the bottom margin.
    EXPECT_FLOAT_EQ(page.texts[0].y, 10);
    EXPECT_FLOAT_EQ(page.texts[1].x, 10);
    EXPECT_FLOAT_EQ(page.texts[1].y, 20);
    EXPECT_FLOAT_EQ(page.texts[2].y, 25);
    EXPECT_FLOAT_EQ(page.texts[3].y, 85);
}

TEST(Layout, WrappedTextGrowsItsBandAndFewerRowsFit) {
    EngineFixture f;
    QString xml = listTemplate({}, false, false);
    // 20 mm is ten characters of the fixed measurer: two lines per row.
    xml.replace(QStringLiteral(R"(width="40" height="5">[frxDBDataset1."nazev"])"),
                QStringLiteral(
                    R"(width="20" height="5" wrap="true">aaaa bbbb cccc [frxDBDataset1."nazev"])"));
    MemoryDataSource data = dataOf(years({{"2013", 7}}));
    ASSERT_TRUE(f.prepare(xml, &data)) << f.engine.errorText().toStdString();
    const auto pages = f.pageTexts();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].mid(1, 2), (QStringList{"aaaa bbbb", "cccc r1"}));
    EXPECT_EQ(pages[0].size(), 1 + 6 * 2 + 1);
    EXPECT_EQ(pages[1].size(), 1 + 1 * 2 + 1);
}

TEST(Layout, BandTallerThanThePageTakesAPageEachInsteadOfLoopingForever) {
    EngineFixture f;
    MemoryDataSource data = dataOf(years({{"2013", 3}}));
    ASSERT_TRUE(f.prepare(listTemplate({}, false, false, 500), &data));
    ASSERT_EQ(f.engine.pageCount(), 3);
    EXPECT_TRUE(f.pageTexts()[2].contains(QStringLiteral("r3")));
}

TEST(Layout, VariablesDatesAndFieldNamesIgnoringCase) {
    EngineFixture f;
    const QString xml = QStringLiteral(R"(<report>
  <variables><variable name="firma" value="'Kelvo s.r.o.'"/><variable name="kdatu" value="''"/></variables>
  <reportTitle height="20">
    <text x="0" y="0" width="90" height="5">Inventura ke dni [KDATU], [firma]</text>
    <text x="0" y="5" width="90" height="5">Tisk [DATE]</text>
    <text x="0" y="10" width="90" height="5">[ 'a' + 'b' ] [2 * (3 + 4)]</text>
  </reportTitle>
  <masterData height="5">
    <text x="0" y="0" width="90" height="5" format="dd.MM.yyyy">[LINE]. [frxDBDataset1."Datum_Za"]</text>
  </masterData>
</report>)");
    MemoryDataSource data({QStringLiteral("DATUM_ZA")});
    data.addRow({QDate(2014, 3, 5)});
    data.addRow({QVariant()});
    f.engine.loadFromText(xml);
    f.engine.setVariable(QStringLiteral("kdatu"), QStringLiteral("'01.10.2014'"));
    f.engine.bindDataSet(&data);
    ASSERT_TRUE(f.engine.prepare()) << f.engine.errorText().toStdString();
    EXPECT_EQ(f.pageTexts().at(0),
              (QStringList{"Inventura ke dni 01.10.2014, Kelvo s.r.o.", "Tisk 01.10.2014", "ab 14",
                           "1. 05.03.2014", "2. "}));
}

struct PrepareErrorCase {
    const char* name;
    QString body;
    const char* fragment;
};

// Failures name the case instead of dumping its bytes.
void PrintTo(const PrepareErrorCase& c, std::ostream* os) {
    *os << c.name;
}

class PrepareErrors : public ::testing::TestWithParam<PrepareErrorCase> {};

TEST_P(PrepareErrors, FailWithTheTemplateLineAndShowIt) {
    EngineFixture f;
    MemoryDataSource data = dataOf(years({{"2013", 1}}));
    const QString xml =
        QStringLiteral("<report>\n\n") + GetParam().body + QStringLiteral("\n</report>");
    EXPECT_FALSE(f.prepare(xml, &data));
    EXPECT_EQ(f.engine.pageCount(), 0);
    EXPECT_TRUE(f.engine.errorText().contains(QString::fromUtf8(GetParam().fragment)))
        << f.engine.errorText().toStdString();
    EXPECT_EQ(f.messages.errors, QStringList{f.engine.errorText()});

    // Preparing a page at a time fails the same way, before any page.
    EXPECT_FALSE(f.engine.startPreparing());
    EXPECT_FALSE(f.engine.isPreparing());
    EXPECT_EQ(f.engine.pageCount(), 0);
    EXPECT_EQ(f.messages.errors, QStringList(2, f.engine.errorText()));
}

INSTANTIATE_TEST_SUITE_P(
    Layout, PrepareErrors,
    ::testing::Values(
        PrepareErrorCase{
            "UnknownField",
            "<masterData height=\"5\">\n<text>[frxDBDataset1.\"CENNA\"]</text></masterData>",
            "na řádku 4: datová sada frxDBDataset1 nemá pole „CENNA“"},
        PrepareErrorCase{"UnknownDataSet",
                         "<masterData height=\"5\"><text>[ZQuery1.\"CENA\"]</text></masterData>",
                         "na řádku 3: neznámá datová sada „ZQuery1“"},
        PrepareErrorCase{"UnknownVariable", "<reportTitle>\n\n<text>[kdatum]</text></reportTitle>",
                         "na řádku 5: neznámá proměnná „kdatum“"},
        PrepareErrorCase{
            "VariablesThatReachThemselves",
            "<variables><variable name=\"a\" value=\"b\"/><variable name=\"b\" value=\"a + 1\"/>"
            "</variables><reportTitle><text>[a]</text></reportTitle>",
            "Chyba v šabloně: proměnná „a“ odkazuje sama na sebe"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Engine, LoadingDiscardsVariablesAndAMissingFileLeavesAnEmptyReportSilently) {
    EngineFixture f;
    f.engine.loadFromText(
        QStringLiteral("<report><reportTitle><text>[kdatu]</text></reportTitle></report>"));
    f.engine.setVariable(QStringLiteral("kdatu"), QStringLiteral("'x'"));
    f.engine.loadFromFile(QStringLiteral("/nonexistent/dir/invent.fr3"));
    EXPECT_TRUE(f.engine.reportTemplate().isEmpty());
    EXPECT_TRUE(f.engine.variables().empty());
    EXPECT_EQ(f.engine.fileName(), QStringLiteral("/nonexistent/dir/invent.fr3"));
    EXPECT_TRUE(f.engine.prepare());
    EXPECT_EQ(f.engine.pageCount(), 1);
    EXPECT_TRUE(f.engine.page(0).texts.empty());
    EXPECT_TRUE(f.messages.errors.isEmpty());
}

TEST(Engine, ExportWithoutPreparedPagesFailsInsteadOfWritingABlankFile) {
    EngineFixture f;
    MemoryDataSource data = dataOf(years({{"2013", 1}}));
    EXPECT_FALSE(f.prepare(
        QStringLiteral("<report><reportTitle><text>[nic]</text></reportTitle></report>"), &data));
    const QString path = QDir::temp().filePath(QStringLiteral("kelvo_unprepared.pdf"));
    QFile::remove(path);
    EXPECT_FALSE(f.engine.exportPdf(path));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(f.messages.errors.size(), 2);
}

TEST(Engine, MalformedFileMakesPrepareFailWithItsLine) {
    EngineFixture f;
    const QString path = QDir::temp().filePath(QStringLiteral("kelvo_malformed.fr3"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "<report>\n<masterData height=\"5\">\n<text x=\"a\">b</text>\n</masterData>\n</report>\n");
    file.close();
    f.engine.loadFromFile(path);
    EXPECT_FALSE(f.engine.prepare());
    EXPECT_EQ(f.messages.errors,
              QStringList{QStringLiteral(
                  "Chyba v šabloně na řádku 3: atribut „x“ musí být číslo, ne „a“")});
    EXPECT_EQ(f.engine.loadErrorLine(), 3);
    QFile::remove(path);
}

} // namespace
} // namespace kelvo::test
