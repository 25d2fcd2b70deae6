// Reading and writing our XML template format.
#include "reports/templatexml.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

const char* kFullTemplate = R"(<?xml version="1.0" encoding="UTF-8"?>
<report>
  <page width="210" height="297" orientation="landscape" left="20" right="15" top="15" bottom="15"/>
  <styles>
    <style name="title" font="DejaVu Sans" size="14" bold="true"/>
    <style name="cell" size="8.5" italic="true" align="right"/>
  </styles>
  <variables><variable name="kdatu" value="'01.10.2014'"/></variables>
  <reportTitle height="12">
    <text x="0" y="0" width="120" height="8" style="title">SEZNAM  ODPISŮ &amp; "uvozovky" &lt;x&gt;</text>
  </reportTitle>
  <pageHeader height="6"><line x="0" y="6" width="262" height="0" lineWidth="0.3"/></pageHeader>
  <group condition="[frxDBDataset1.&quot;ROK&quot;]" keepWithData="true" repeatOnNewPage="true">
    <groupHeader height="6"><text x="0" y="0" width="40" height="6">Rok odpisu [frxDBDataset1."ROK"]</text></groupHeader>
    <groupFooter height="6"><rect x="1" y="2" width="3" height="4" lineWidth="0.1"/></groupFooter>
  </group>
  <masterData height="5">
    <text x="0" y="0" width="30" height="5" style="cell" align="center" format="## ### ##0.00" wrap="true">[frxDBDataset1."CENA"]</text>
  </masterData>
  <reportSummary height="5"/>
  <pageFooter height="5"><text x="0" y="0" width="60" height="5">Strana [PAGE] z [PAGES]</text></pageFooter>
</report>
)";

TEST(TemplateXml, ReadsEveryPartAndWritesItBackUnchanged) {
    auto first = readTemplate(QString::fromUtf8(kFullTemplate));
    ASSERT_TRUE(std::holds_alternative<ReportTemplate>(first))
        << std::get<TemplateError>(first).text().toStdString();
    const ReportTemplate& t = std::get<ReportTemplate>(first);
    EXPECT_TRUE(t.page.landscape);
    EXPECT_DOUBLE_EQ(t.page.width(), 297);
    EXPECT_DOUBLE_EQ(t.page.leftMargin, 20);
    ASSERT_EQ(t.styles.size(), 2u);
    EXPECT_TRUE(t.styles[0].bold);
    EXPECT_EQ(t.styles[1].align, HAlign::Right);
    EXPECT_EQ(t.title->items[0].text, QStringLiteral("SEZNAM  ODPISŮ & \"uvozovky\" <x>"));
    ASSERT_EQ(t.groups.size(), 1u);
    EXPECT_EQ(t.groups[0].condition, QStringLiteral("[frxDBDataset1.\"ROK\"]"));
    EXPECT_TRUE(t.groups[0].repeatOnNewPage);
    EXPECT_EQ(t.groups[0].footer->items[0].kind, ItemKind::Rect);
    const ReportItem& cell = t.masterData->items[0];
    EXPECT_EQ(cell.align, HAlign::Center);
    EXPECT_EQ(cell.format, QStringLiteral("## ### ##0.00"));
    EXPECT_TRUE(cell.wrap);
    EXPECT_EQ(cell.sourceLine, 18);
    EXPECT_TRUE(t.summary.has_value());

    const QString written = writeTemplate(t);
    auto second = readTemplate(written);
    ASSERT_TRUE(std::holds_alternative<ReportTemplate>(second)) << written.toStdString();
    EXPECT_EQ(writeTemplate(std::get<ReportTemplate>(second)), written);
    EXPECT_EQ(std::get<ReportTemplate>(second).title->items[0].text, t.title->items[0].text);
}

struct MalformedCase {
    const char* name;
    const char* xml;
    const char* message;
};

// Failures name the case instead of dumping its bytes.
void PrintTo(const MalformedCase& c, std::ostream* os) {
    *os << c.name;
}

class MalformedTemplate : public ::testing::TestWithParam<MalformedCase> {};

// Twenty thousand nested brackets in a text item.
QString bracketFlood() {
    return QStringLiteral("<report><reportTitle>\n<text>[") + QString(20000, QLatin1Char('(')) +
           QStringLiteral("1]</text></reportTitle></report>");
}

TEST_P(MalformedTemplate, ReportsItsLineInCzech) {
    const bool flood = std::string(GetParam().name) == "BracketFloodDoesNotExhaustTheStack";
    auto result = readTemplate(flood ? bracketFlood() : QString::fromUtf8(GetParam().xml));
    ASSERT_TRUE(std::holds_alternative<TemplateError>(result));
    EXPECT_EQ(std::get<TemplateError>(result).text().toStdString(), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    TemplateXml, MalformedTemplate,
    ::testing::Values(
        MalformedCase{"Empty", "",
                      "Chyba v šabloně na řádku 1: šablona musí začínat prvkem <report>"},
        MalformedCase{
            "UnclosedElement", "<report>\n<masterData height=\"5\">\n<text>a</text>\n</report>",
            "Chyba v šabloně na řádku 4: nesprávný zápis XML (Opening and ending tag mismatch.)"},
        MalformedCase{"UnknownBand", "<report>\n\n<masterdata/>\n</report>",
                      "Chyba v šabloně na řádku 3: neznámý prvek <masterdata>"},
        MalformedCase{"MisspelledAttribute", "<report>\n<page widht=\"210\"/></report>",
                      "Chyba v šabloně na řádku 2: neznámý atribut „widht“ prvku <page>"},
        MalformedCase{
            "UnclosedBracket",
            "<report><masterData>\n<text>[frxDBDataset1.\"ROK\"</text></masterData></report>",
            "Chyba v šabloně na řádku 2: chybí „]“ za „[frxDBDataset1.\"ROK\"“"},
        MalformedCase{"UnknownFunction",
                      "<report><reportSummary>\n<text>[SUMA(1)]</text></reportSummary></report>",
                      "Chyba v šabloně na řádku 2: výraz „SUMA(1)“: neznámá funkce „SUMA“"},
        MalformedCase{
            "UnknownStyle",
            "<report><reportTitle>\n\n<text style=\"tucne\">a</text></reportTitle></report>",
            "Chyba v šabloně na řádku 3: neznámý styl „tucne“"},
        MalformedCase{"MarginsWiderThanPage",
                      "<report><page width=\"100\" left=\"60\" right=\"50\"/></report>",
                      "Chyba v šabloně na řádku 1: okraje jsou větší než stránka"},
        MalformedCase{"BracketFloodDoesNotExhaustTheStack", "",
                      "Chyba v šabloně na řádku 2: výraz „((((((((((((((((((((((((((((((…“: "
                      "výraz je příliš hluboko vnořený"},
        MalformedCase{"BandTwice", "<report><pageHeader/>\n<pageHeader/></report>",
                      "Chyba v šabloně na řádku 2: pásmo <pageHeader> je v šabloně dvakrát"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace kelvo
