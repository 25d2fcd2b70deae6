// The preview window, offscreen: navigation, zoom, PDF export and printing.
#include "reports/reportengine.h"
#include "reportui/pageview.h"
#include "reportui/reportpreview.h"
#include "support/scriptedmessages.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QWheelEvent>

namespace kelvo::test {
namespace {

QString pdfText(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(process.waitForFinished(60000));
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Three pages of ten rows.
struct PreviewFixture : ::testing::Test {
    FixedClock clock{QDate(2014, 10, 1)};
    ScriptedMessages messages;
    ReportEngine engine{clock, &messages};
    MemoryDataSource rows{{QStringLiteral("NAZEV")}};

    void SetUp() override {
        for (int i = 1; i <= 25; ++i)
            rows.addRow({QStringLiteral("Položka %1").arg(i)});
        engine.loadFromText(QStringLiteral(R"(<report>
  <page width="210" height="100" left="10" right="10" top="10" bottom="10"/>
  <masterData height="7"><text x="0" y="0" width="100" height="7">[frxDBDataset1."NAZEV"]</text></masterData>
  <pageFooter height="10"><text x="0" y="3" width="100" height="7">Strana [PAGE] z [PAGES]</text></pageFooter>
</report>)"));
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

} // namespace
} // namespace kelvo::test
