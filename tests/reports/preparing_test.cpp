// Preparing a page at a time: what the engine shows while the layout goes on,
// what finishes it first, and what drops a layout left unfinished.
#include "reportfixture.h"

#include "reports/datasource.h"

#include <functional>
#include <QFile>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace kelvo::test {
namespace {

// 300 rows, 30 pages, of which only the first is laid out.
struct Preparing : ::testing::Test {
    EngineFixture f;
    MemoryDataSource rows{{QStringLiteral("NAZEV")}};
    QTemporaryDir dir;

    void SetUp() override {
        for (int i = 1; i <= 300; ++i)
            rows.addRow({QStringLiteral("Položka %1").arg(i)});
        ASSERT_TRUE(f.startPreparing(kTenRowsToAPage, &rows)) << f.engine.errorText().toStdString();
        ASSERT_TRUE(f.engine.isPreparing());
        ASSERT_EQ(f.engine.pageCount(), 1);
    }
};

TEST_F(Preparing, PaintsTheUnknownPageCountAsAnEllipsisNeverAsANumber) {
    const QString path = dir.filePath(QStringLiteral("first.pdf"));
    {
        QPdfWriter writer(path);
        writer.setResolution(300);
        writer.setPageLayout(f.engine.pageLayout());
        QPainter painter(&writer);
        f.engine.paintPage(painter, 0, writer.resolution(), writer.resolution());
        f.engine.paintPage(painter, 1, writer.resolution(), writer.resolution()); // not laid out yet
    }
    const QString text = pdfText(path);
    EXPECT_TRUE(text.contains(QStringLiteral("Položka 10"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("Položka 11")));
    EXPECT_TRUE(text.contains(QStringLiteral("Strana 1 z …"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("z \\d")))) << text.toStdString();
}

TEST_F(Preparing, ExportAndImagesFinishTheLayoutFirst) {
    const QString pdf = dir.filePath(QStringLiteral("all.pdf"));
    ASSERT_TRUE(f.engine.exportPdf(pdf));
    EXPECT_FALSE(f.engine.isPreparing());
    EXPECT_EQ(f.engine.pageCount(), 30);
    EXPECT_TRUE(pdfText(pdf, 1).contains(QStringLiteral("Strana 1 z 30")));
    EXPECT_TRUE(pdfText(pdf, 30).contains(QStringLiteral("Položka 300")));
    EXPECT_TRUE(pdfText(pdf, 30).contains(QStringLiteral("Strana 30 z 30")));

    ASSERT_TRUE(f.engine.startPreparing());
    EXPECT_EQ(f.engine.renderPng(dir.filePath(QStringLiteral("strana")), 20).size(), 30);
    EXPECT_FALSE(f.engine.isPreparing());
}

TEST_F(Preparing, DiscardingTheReportDropsTheUnfinishedLayoutAndLeavesTheRowsAlone) {
    MemoryDataSource other{{QStringLiteral("NAZEV")}};
    const std::vector<std::pair<const char*, std::function<void(ReportEngine&)>>> discards{
        {"stop", [](ReportEngine& e) { e.stopPreparing(); }},
        {"load a template", [](ReportEngine& e) { e.loadFromText(kTenRowsToAPage); }},
        {"load a missing file",
         [](ReportEngine& e) { e.loadFromFile(QStringLiteral("/nonexistent/dir/odpisy.fr3")); }},
        {"set a template", [](ReportEngine& e) { e.setTemplate(ReportTemplate()); }},
        {"bind other rows", [&](ReportEngine& e) { e.bindDataSet(&other); }},
        {"change the measurer",
         [](ReportEngine& e) { e.setTextMeasurer(std::make_unique<FixedMeasurer>()); }},
    };
    for (const auto& [name, discard] : discards) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(f.startPreparing(kTenRowsToAPage, &rows));
        const int row = rows.currentRow();
        discard(f.engine);
        EXPECT_FALSE(f.engine.isPreparing());
        EXPECT_EQ(f.engine.pageCount(), 0) << "no half report passes for the whole one";
        EXPECT_FALSE(f.engine.continuePreparing(std::chrono::milliseconds(10)));
        f.engine.finishPreparing();
        EXPECT_EQ(rows.currentRow(), row) << "the rows are not read once the layout is dropped";
    }

    // Binding the same rows again keeps the layout; a new prepare starts over.
    ASSERT_TRUE(f.startPreparing(kTenRowsToAPage, &rows));
    f.engine.bindDataSet(&rows);
    EXPECT_TRUE(f.engine.isPreparing());
    f.engine.prepareUpTo(5);
    EXPECT_EQ(f.engine.pageCount(), 5);
    ASSERT_TRUE(f.engine.prepare());
    EXPECT_FALSE(f.engine.isPreparing());
    EXPECT_EQ(f.engine.pageCount(), 30);
    EXPECT_TRUE(f.engine.page(0).plainText(30).startsWith(QStringLiteral("Položka 1\n")));
}

} // namespace
} // namespace kelvo::test
