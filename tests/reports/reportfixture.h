#pragma once

#include "core/clock.h"
#include "reports/reportengine.h"
#include "support/scriptedmessages.h"

#include <gtest/gtest.h>
#include <QProcess>
#include <QStringList>

namespace kelvo::test {

// Every character 2 mm wide, every line 5 mm high: page breaks that do not
// depend on the fonts installed.
class FixedMeasurer final : public TextMeasurer {
  public:
    double width(const QString& text, const ReportStyle&) override {
        return 2.0 * double(text.size());
    }
    double lineHeight(const ReportStyle&) override { return 5.0; }
};

// The text of a PDF file (one page of it when `page` > 0), laid out as printed.
inline QString pdfText(const QString& pdf, int page = 0) {
    QStringList args{QStringLiteral("-layout")};
    if (page > 0)
        args << "-f" << QString::number(page) << "-l" << QString::number(page);
    QProcess process;
    process.start(QStringLiteral("pdftotext"), args << pdf << QStringLiteral("-"));
    EXPECT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// An engine with a fixed print date, scripted messages and fixed text widths.
// Ten rows of one field NAZEV to a page, each page footed "Strana n z N".
inline const QString kTenRowsToAPage = QStringLiteral(R"(<report>
  <page width="210" height="100" left="10" right="10" top="10" bottom="10"/>
  <masterData height="7"><text x="0" y="0" width="100" height="7">[frxDBDataset1."NAZEV"]</text></masterData>
  <pageFooter height="10"><text x="0" y="3" width="100" height="7">Strana [PAGE] z [PAGES]</text></pageFooter>
</report>)");

struct EngineFixture {
    FixedClock clock{QDate(2014, 10, 1)};
    ScriptedMessages messages;
    ReportEngine engine{clock, &messages};

    EngineFixture() { engine.setTextMeasurer(std::make_unique<FixedMeasurer>()); }

    // Loads the template text and prepares it over `rows`; fails the test when
    // the template does not load.
    bool prepare(const QString& xml, ReportDataSource* rows) {
        EXPECT_TRUE(engine.loadFromText(xml)) << engine.loadError().toStdString();
        engine.bindDataSet(rows);
        return engine.prepare();
    }

    // The same, laying out the first page only (the rest follows in slices).
    bool startPreparing(const QString& xml, ReportDataSource* rows) {
        EXPECT_TRUE(engine.loadFromText(xml)) << engine.loadError().toStdString();
        engine.bindDataSet(rows);
        return engine.startPreparing();
    }

    // The texts of each page, in the order they were placed.
    std::vector<QStringList> pageTexts() const {
        std::vector<QStringList> pages;
        for (int i = 0; i < engine.pageCount(); ++i)
            pages.push_back(engine.page(i).plainText(engine.pageCount()).split(QLatin1Char('\n')));
        return pages;
    }
};

} // namespace kelvo::test
