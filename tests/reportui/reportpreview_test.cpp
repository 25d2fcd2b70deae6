// The preview window, offscreen: navigation, zoom, PDF export and printing.
#include "reports/reportengine.h"
#include "reports/reportfixture.h"
#include "reportui/pageview.h"
#include "reportui/reportpreview.h"
#include "support/scriptedmessages.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <functional>
#include <QComboBox>
#include <QElapsedTimer>
#include <QImage>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>

namespace kelvo::test {
namespace {

// Three pages of ten rows.
struct PreviewFixture : ::testing::Test {
    FixedClock clock{QDate(2014, 10, 1)};
    ScriptedMessages messages;
    ReportEngine engine{clock, &messages};
    MemoryDataSource rows{{QStringLiteral("NAZEV")}};

    void SetUp() override {
        for (int i = 1; i <= 25; ++i)
            rows.addRow({QStringLiteral("Položka %1").arg(i)});
        engine.loadFromText(kTenRowsToAPage);
        engine.bindDataSet(&rows);
        ASSERT_TRUE(engine.prepare()) << engine.errorText().toStdString();
        ASSERT_EQ(engine.pageCount(), 3);
    }

    void click(ReportPreview& preview, const char* name) {
        auto* button = preview.findChild<QPushButton*>(QLatin1String(name));
        ASSERT_NE(button, nullptr) << name;
        button->click();
    }
};

TEST_F(PreviewFixture, NavigationStaysWithinThePages) {
    ReportPreview preview(engine);
    EXPECT_EQ(preview.pageText(), QStringLiteral("Strana 1 / 3"));
    click(preview, "previousButton");
    EXPECT_EQ(preview.currentPage(), 1);
    click(preview, "nextButton");
    click(preview, "nextButton");
    click(preview, "nextButton");
    EXPECT_EQ(preview.currentPage(), 3);
    EXPECT_EQ(preview.pageText(), QStringLiteral("Strana 3 / 3"));
    click(preview, "firstButton");
    EXPECT_EQ(preview.currentPage(), 1);
    click(preview, "lastButton");
    EXPECT_EQ(preview.currentPage(), 3);
    preview.setPage(-5);
    EXPECT_EQ(preview.currentPage(), 1);
    preview.setPage(99);
    EXPECT_EQ(preview.pageText(), QStringLiteral("Strana 3 / 3"));
}

TEST_F(PreviewFixture, ZoomModesPercentagesAndCtrlWheel) {
    ReportPreview preview(engine);
    preview.resize(1600, 500); // wider than the page's shape: fitting width and page differ
    preview.show();
    QApplication::processEvents();
    auto* view = preview.findChild<PageView*>();
    auto* area = preview.findChild<QScrollArea*>(QStringLiteral("pageArea"));
    ASSERT_TRUE(view && area);

    // Opens fitted to the width of the page area as laid out on showing.
    EXPECT_EQ(preview.zoomMode(), ReportPreview::ZoomMode::FitWidth);
    EXPECT_NEAR(view->width(), area->viewport()->width() - 24, 2);
    preview.setZoomMode(ReportPreview::ZoomMode::FitPage);
    preview.setZoomMode(ReportPreview::ZoomMode::FitWidth);
    EXPECT_NEAR(view->width(), area->viewport()->width() - 24, 2);
    EXPECT_GT(view->height(), area->viewport()->height());
    preview.setZoomMode(ReportPreview::ZoomMode::FitPage);
    EXPECT_NEAR(view->height(), area->viewport()->height() - 24, 2);
    EXPECT_LT(view->width(), area->viewport()->width() - 24);

    auto* zoomBox = preview.findChild<QComboBox*>(QStringLiteral("zoomBox"));
    zoomBox->setCurrentIndex(zoomBox->findText(QStringLiteral("150 %")));
    emit zoomBox->activated(zoomBox->currentIndex());
    EXPECT_DOUBLE_EQ(preview.zoom(), 1.5);

    auto wheel = [&](Qt::KeyboardModifiers modifiers) {
        QWheelEvent event(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, 120), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(area->viewport(), &event);
    };
    wheel(Qt::ControlModifier);
    EXPECT_NEAR(preview.zoom(), 1.65, 1e-9);
    EXPECT_EQ(zoomBox->currentText(), QStringLiteral("165 %"));
    wheel(Qt::NoModifier); // plain wheel scrolls, it does not zoom
    EXPECT_NEAR(preview.zoom(), 1.65, 1e-9);

    // The page is really painted: black text on the white page.
    const QImage shot = view->grab().toImage();
    bool dark = false;
    for (int y = 0; y < shot.height() && !dark; y += 2) {
        for (int x = 0; x < shot.width() && !dark; x += 2)
            dark = qGray(shot.pixel(x, y)) < 100;
    }
    EXPECT_TRUE(dark);
}

TEST_F(PreviewFixture, ExportWritesThePdf) {
    ReportPreview preview(engine);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("náhled.pdf"));
    ASSERT_TRUE(preview.exportPdf(path));
    const QString text = pdfText(path);
    EXPECT_TRUE(text.contains(QStringLiteral("Položka 1\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("Položka 25")));
    EXPECT_TRUE(text.contains(QStringLiteral("Strana 3 z 3")));
}

TEST_F(PreviewFixture, ExportToAnUnwritablePlaceReportsIt) {
    ReportPreview preview(engine);
    EXPECT_FALSE(preview.exportPdf(QStringLiteral("/nonexistent/dir/x.pdf")));
    ASSERT_EQ(messages.errors.size(), 1);
    EXPECT_TRUE(messages.errors[0].contains(QStringLiteral("/nonexistent/dir/x.pdf")));
}

TEST_F(PreviewFixture, PrintsThePageRangeChosen) {
    ReportPreview preview(engine);
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("tisk.pdf")));
    printer.setPageLayout(engine.pageLayout());
    ASSERT_TRUE(preview.printTo(printer, 2, 3));
    const QString text = pdfText(printer.outputFileName());
    EXPECT_FALSE(text.contains(QStringLiteral("Strana 1 z 3")));
    EXPECT_TRUE(text.contains(QStringLiteral("Strana 2 z 3")));
    EXPECT_TRUE(text.contains(QStringLiteral("Strana 3 z 3")));
    EXPECT_EQ(text.count(QLatin1Char('\f')), 2);
}

// A long report that the preview lays out while it is shown: 2 000 pages, of
// which only the first is ready when the preview opens.
struct LongReport : ::testing::Test {
    static constexpr int kPages = 2000;
    FixedClock clock{QDate(2014, 10, 1)};
    ScriptedMessages messages;
    ReportEngine engine{clock, &messages};
    MemoryDataSource rows{{QStringLiteral("NAZEV")}};
    QTemporaryDir dir;

    void SetUp() override {
        for (int i = 1; i <= kPages * 10; ++i)
            rows.addRow({QStringLiteral("Položka %1").arg(i)});
        engine.loadFromText(kTenRowsToAPage);
        engine.bindDataSet(&rows);
        ASSERT_TRUE(engine.startPreparing()) << engine.errorText().toStdString();
        ASSERT_EQ(engine.pageCount(), 1);
    }

    // Every page's text, as a whole prepare() lays them out.
    std::vector<QString> wholeReport() {
        ReportEngine whole(clock);
        whole.loadFromText(kTenRowsToAPage);
        whole.bindDataSet(&rows);
        EXPECT_TRUE(whole.prepare());
        std::vector<QString> pages;
        for (int i = 0; i < whole.pageCount(); ++i)
            pages.push_back(whole.page(i).plainText(whole.pageCount()));
        return pages;
    }
};

// Notes whether the layout was still going on each time the page was painted.
struct PaintWatch : QObject {
    const ReportEngine& engine;
    std::vector<bool> preparing;
    explicit PaintWatch(const ReportEngine& e) : engine(e) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            preparing.push_back(engine.isPreparing());
        return false;
    }
};

TEST_F(LongReport, OpensOnPageOneAndLaysOutTheRestWhileShown) {
    ReportPreview preview(engine);
    EXPECT_TRUE(preview.isPreparing());
    EXPECT_EQ(preview.pageText(), QStringLiteral("Strana 1 / 1…"));
    PaintWatch watch(engine);
    preview.findChild<PageView*>()->installEventFilter(&watch);
    // Hold the layout back until page 1 is on the screen, as a slow machine would.
    auto* slices = preview.findChild<QTimer*>(QStringLiteral("layoutTimer"));
    ASSERT_TRUE(slices && slices->isActive());
    slices->stop();
    preview.show();
    QElapsedTimer guard; // only against a hang; no timing is checked
    guard.start();
    while (watch.preparing.empty() && guard.elapsed() < 60000)
        QApplication::processEvents();
    ASSERT_EQ(watch.preparing, std::vector<bool>{true});

    slices->start();
    int known = 1;
    while (preview.isPreparing() && guard.elapsed() < 120000) {
        QApplication::processEvents();
        if (preview.isPreparing()) {
            EXPECT_EQ(preview.pageText(), QStringLiteral("Strana 1 / %1…").arg(preview.pageCount()));
            EXPECT_GE(preview.pageCount(), known);
            known = preview.pageCount();
        }
    }
    ASSERT_FALSE(preview.isPreparing());
    QApplication::processEvents();
    EXPECT_EQ(preview.currentPage(), 1);
    EXPECT_EQ(preview.pageText(), QStringLiteral("Strana 1 / %1").arg(kPages));
    ASSERT_FALSE(watch.preparing.empty());
    EXPECT_FALSE(watch.preparing.back()) << "the shown page is painted again with its page count";

    std::vector<QString> pages;
    for (int i = 0; i < engine.pageCount(); ++i)
        pages.push_back(engine.page(i).plainText(engine.pageCount()));
    EXPECT_EQ(pages, wholeReport());
}

TEST_F(LongReport, WhatNeedsLaterOrAllPagesLaysThemOutFirst) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("tisk.pdf")));
    printer.setPageLayout(engine.pageLayout());
    const QString exported = dir.filePath(QStringLiteral("export.pdf"));
    struct Case {
        const char* name;
        std::function<void(ReportPreview&)> act;
        int page;         // shown afterwards
        QString label;    // as shown afterwards
        QString pdf;      // written with all pages, when not empty
    };
    const std::vector<Case> cases{
        {"last page", [](ReportPreview& p) { p.lastPage(); }, kPages,
         QStringLiteral("Strana %1 / %1").arg(kPages), {}},
        {"a page not laid out yet", [](ReportPreview& p) { p.setPage(1234); }, 1234,
         QStringLiteral("Strana 1234 / 1234…"), {}},
        {"next page past the known ones", [](ReportPreview& p) { p.nextPage(); }, 2,
         QStringLiteral("Strana 2 / 2…"), {}},
        {"export", [&](ReportPreview& p) { EXPECT_TRUE(p.exportPdf(exported)); }, 1,
         QStringLiteral("Strana 1 / %1").arg(kPages), exported},
        {"print", [&](ReportPreview& p) { EXPECT_TRUE(p.printTo(printer)); }, 1,
         QStringLiteral("Strana 1 / %1").arg(kPages), printer.outputFileName()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(engine.startPreparing());
        ReportPreview preview(engine);
        c.act(preview);
        EXPECT_EQ(preview.currentPage(), c.page);
        EXPECT_EQ(preview.pageText(), c.label);
        if (c.pdf.isEmpty())
            continue;
        EXPECT_TRUE(pdfText(c.pdf, 1).contains(QStringLiteral("Strana 1 z %1").arg(kPages)));
        const QString last = pdfText(c.pdf, kPages);
        EXPECT_TRUE(last.contains(QStringLiteral("Položka %1").arg(kPages * 10)));
        EXPECT_TRUE(last.contains(QStringLiteral("Strana %1 z %1").arg(kPages)));
    }
}

TEST_F(LongReport, ClosingThePreviewStopsTheLayoutAndTheRowsAreNotReadAgain) {
    const std::vector<std::pair<const char*, std::function<void(std::unique_ptr<ReportPreview>&)>>>
        closings{
            {"close button",
             [](auto& p) { p->template findChild<QPushButton*>(QStringLiteral("closeButton"))->click(); }},
            {"window closed", [](auto& p) { p->close(); }},
            {"preview destroyed", [](auto& p) { p.reset(); }},
        };
    for (const auto& [name, closing] : closings) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(engine.startPreparing());
        auto preview = std::make_unique<ReportPreview>(engine);
        preview->show();
        closing(preview);
        EXPECT_FALSE(engine.isPreparing());
        const int row = rows.currentRow();
        EXPECT_LT(row, rows.rowCount() - 1);
        for (int i = 0; i < 20; ++i)
            QApplication::processEvents();
        EXPECT_EQ(rows.currentRow(), row);
    }
}

} // namespace
} // namespace kelvo::test
