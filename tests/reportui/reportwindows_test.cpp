// The print sequence over the real engine and windows: design mode opens the
// designer, otherwise the prepared report is previewed, and a failed
// preparation shows nothing.
#include "reports/reportengine.h"
#include "reports/reportfixture.h"
#include "reportui/reportdesigner.h"
#include "reportui/reportpreview.h"
#include "reportui/reportwindows.h"
#include "support/scriptedmessages.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>

namespace kelvo::test {
namespace {

struct RunFixture : ::testing::Test {
    FixedClock clock{QDate(2014, 10, 1)};
    ScriptedMessages messages;
    ReportEngine engine{clock, &messages};
    ReportWindows windows{engine, &messages, nullptr};
    const QStringList previewArguments{QStringLiteral("kelvo")};
    const QStringList designArguments{QStringLiteral("kelvo"), QStringLiteral("/ES")};
    MemoryDataSource rows{{QStringLiteral("NAZEV")}};
    QTemporaryDir dir;
    QString previousDirectory = QDir::currentPath();
    QString shown;     // class of the modal window that opened
    QString shownText; // what it showed
    QString shownPage; // the preview's first page, as laid out while it was shown

    void SetUp() override {
        rows.addRow({QStringLiteral("Soustruh")});
        QDir::setCurrent(dir.path()); // templates are looked for by their bare name
        QFile file(QStringLiteral("invent.fr3"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(R"(<report><masterData height="7">
  <text x="0" y="0" width="100" height="7">[kdatu] [frxDBDataset1."NAZEV"]</text></masterData></report>)");
    }
    void TearDown() override { QDir::setCurrent(previousDirectory); }

    // Notes the modal window that opens and closes it.
    void closeWhenShown() {
        QTimer::singleShot(0, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* preview = qobject_cast<ReportPreview*>(modal)) {
                shown = QStringLiteral("preview");
                shownText = preview->pageText();
                shownPage = engine.pageCount() > 0 ? engine.page(0).plainText(engine.pageCount()) : QString();
            } else if (auto* designer = qobject_cast<ReportDesigner*>(modal)) {
                shown = QStringLiteral("designer");
                shownText = designer->statusText();
            }
            if (modal)
                modal->close();
        });
    }
};

TEST_F(RunFixture, PreviewsThePreparedReportWithItsVariables) {
    closeWhenShown();
    RunReport(windows, previewArguments, QStringLiteral("invent.fr3"), rows, {{"kdatu", "'01.10.2014'"}});
    EXPECT_EQ(shown, QStringLiteral("preview"));
    EXPECT_EQ(shownText, QStringLiteral("Strana 1 / 1"));
    EXPECT_EQ(shownPage, QStringLiteral("01.10.2014 Soustruh"));
    EXPECT_TRUE(rows.eof());
}

TEST_F(RunFixture, DesignModeOpensTheDesignerInsteadWithTheDataAndVariables) {
    closeWhenShown();
    RunReport(windows, designArguments, QStringLiteral("invent.fr3"), rows, {{"kdatu", "'01.10.2014'"}});
    EXPECT_EQ(shown, QStringLiteral("designer"));
    EXPECT_EQ(shownText, QStringLiteral("Šablona je v pořádku, stran: 1"));
}

TEST_F(RunFixture, AFailedPreparationShowsTheErrorAndNoPreview) {
    closeWhenShown();
    RunReport(windows, previewArguments, QStringLiteral("invent.fr3"), rows); // kdatu unset
    QApplication::processEvents();
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_EQ(messages.errors,
              QStringList{QStringLiteral("Chyba v šabloně na řádku 2: neznámá proměnná „kdatu“")});
}

TEST_F(RunFixture, AMissingTemplateGivesAnEmptyReportOrAnEmptyDesignerThatSaveCreates) {
    closeWhenShown();
    RunReport(windows, previewArguments, QStringLiteral("karta.fr3"), rows);
    EXPECT_EQ(shown, QStringLiteral("preview"));
    EXPECT_TRUE(messages.errors.isEmpty());

    engine.loadFromFile(QStringLiteral("karta.fr3"));
    ReportDesigner designer(engine, &messages);
    EXPECT_TRUE(designer.editor()->toPlainText().contains(QStringLiteral("<report>")));
    ASSERT_TRUE(designer.save());
    EXPECT_TRUE(QFile::exists(QStringLiteral("karta.fr3")));
}

TEST_F(RunFixture, ThePreviewOpensOnTheFirstPageAndOnceClosedTheRowsAreNotReadAgain) {
    for (int i = 0; i < 100000; ++i)
        rows.addRow({QStringLiteral("Položka %1").arg(i)});
    QFile file(QStringLiteral("seznam.fr3"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kTenRowsToAPage.toUtf8());
    file.close();
    windows.bind(rows);
    windows.load(QStringLiteral("seznam.fr3"));
    ASSERT_TRUE(windows.prepare());
    EXPECT_TRUE(engine.isPreparing()) << "the preview lays out the rest";
    EXPECT_EQ(engine.pageCount(), 1);

    closeWhenShown();
    windows.showPrepared();
    EXPECT_EQ(shown, QStringLiteral("preview"));
    // The print commands close or refresh the rows right after this.
    EXPECT_FALSE(engine.isPreparing());
    const int row = rows.currentRow();
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents();
    EXPECT_EQ(rows.currentRow(), row);
}

TEST_F(RunFixture, ThePagesAreLetGoWhenThePreviewCloses) {
    // One row: the first page is the whole report, so nothing is left to stop.
    windows.bind(rows);
    windows.load(QStringLiteral("invent.fr3"));
    windows.setVariable(QStringLiteral("kdatu"), QStringLiteral("'01.10.2014'"));
    ASSERT_TRUE(windows.prepare());
    ASSERT_FALSE(engine.isPreparing());
    ASSERT_EQ(engine.pageCount(), 1);
    closeWhenShown();
    windows.showPrepared();
    EXPECT_EQ(shown, QStringLiteral("preview"));
    EXPECT_EQ(engine.pageCount(), 0);
}

} // namespace
} // namespace kelvo::test
