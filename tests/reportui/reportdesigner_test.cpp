// The template designer, offscreen: live re-layout, error line, palette, saving.
#include "reports/reportengine.h"
#include "reportui/reportdesigner.h"
#include "support/scriptedmessages.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>
#include <QTreeWidget>

namespace kelvo::test {
namespace {

const char* kTemplate = R"(<report>
  <page width="210" height="150" left="10" right="10" top="10" bottom="10"/>
  <pageHeader height="7"><text x="0" y="0" width="100" height="7">Seznam</text></pageHeader>
  <masterData height="7">
    <text x="0" y="0" width="60" height="7">[frxDBDataset1."NAZEV"]</text>
  </masterData>
</report>
)";

void waitForRelayout() {
    QEventLoop loop;
    QTimer::singleShot(ReportDesigner::kRelayoutDelayMs + 150, &loop, &QEventLoop::quit);
    loop.exec();
}

QString pageText(const ReportEngine& engine) {
    return engine.pageCount() > 0 ? engine.page(0).plainText(engine.pageCount()) : QString();
}

struct DesignerFixture : ::testing::Test {
    FixedClock clock{QDate(2014, 10, 1)};
    ScriptedMessages messages;
    ReportEngine engine{clock, &messages};
    MemoryDataSource rows{{QStringLiteral("NAZEV"), QStringLiteral("CENA")}};
    QTemporaryDir dir;
    QString path;

    void SetUp() override {
        rows.addRow({QStringLiteral("Soustruh"), 125000.0});
        rows.addRow({QStringLiteral("Vrtačka"), 2500.5});
        path = dir.filePath(QStringLiteral("seznam.fr3"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kTemplate);
        file.close();
        engine.bindDataSet(&rows);
        engine.loadFromFile(path);
        engine.setVariable(QStringLiteral("kdatu"), QStringLiteral("'01.10.2014'"));
    }

    QString fileText() const {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QString::fromUtf8(file.readAll());
    }

    // Puts the editor's cursor right after the first occurrence of `marker`.
    static void placeCursorAfter(QPlainTextEdit* editor, const QString& marker) {
        QTextCursor cursor = editor->document()->find(marker);
        ASSERT_FALSE(cursor.isNull()) << marker.toStdString();
        cursor.clearSelection();
        editor->setTextCursor(cursor);
    }
};

TEST_F(DesignerFixture, OpensOnTheTemplateWithOutlineAndPalette) {
    ReportDesigner designer(engine, &messages);
    EXPECT_EQ(designer.editor()->toPlainText(), QString::fromUtf8(kTemplate));
    EXPECT_EQ(designer.previewPageCount(), 1);
    EXPECT_EQ(pageText(engine), QStringLiteral("Seznam\nSoustruh\nVrtačka"));

    QStringList bands;
    for (int i = 0; i < designer.outline()->topLevelItemCount(); ++i)
        bands << designer.outline()->topLevelItem(i)->text(0);
    EXPECT_EQ(bands, (QStringList{"Záhlaví stránky (výška 7 mm)", "Data (výška 7 mm)"}));

    QStringList entries;
    for (int i = 0; i < designer.palette()->count(); ++i)
        entries << designer.palette()->item(i)->text();
    EXPECT_TRUE(entries.contains(QStringLiteral("frxDBDataset1.CENA")));
    EXPECT_TRUE(entries.contains(QStringLiteral("proměnná kdatu")));
}

TEST_F(DesignerFixture, AColumnAddedFromThePaletteShowsAfterTheEdit) {
    ReportDesigner designer(engine, &messages);
    QPlainTextEdit* editor = designer.editor();
    placeCursorAfter(editor, QStringLiteral("[frxDBDataset1.\"NAZEV\"]</text>"));
    editor->insertPlainText(QStringLiteral(
        "\n    <text x=\"70\" y=\"0\" width=\"30\" height=\"7\" format=\"## ### ##0.00\">"));
    QListWidgetItem* price = designer.palette()
                                 ->findItems(QStringLiteral("frxDBDataset1.CENA"), Qt::MatchExactly)
                                 .value(0);
    ASSERT_NE(price, nullptr);
    emit designer.palette()->itemDoubleClicked(price);
    editor->insertPlainText(QStringLiteral("</text>"));
    EXPECT_TRUE(editor->toPlainText().contains(
        QStringLiteral(R"(format="## ### ##0.00">[frxDBDataset1."CENA"]</text>)")));

    EXPECT_EQ(pageText(engine), QStringLiteral("Seznam\nSoustruh\nVrtačka"))
        << "laid out only after a pause";
    waitForRelayout();
    EXPECT_EQ(pageText(engine), QStringLiteral("Seznam\nSoustruh\n125 000,00\nVrtačka\n2 500,50"));
    EXPECT_EQ(designer.errorLine(), 0);
}

TEST_F(DesignerFixture, AMalformedEditMarksItsLineWithoutMessageBoxes) {
    ReportDesigner designer(engine, &messages);
    QPlainTextEdit* editor = designer.editor();
    placeCursorAfter(editor, QStringLiteral("<pageHeader height=\"7\""));
    editor->insertPlainText(QStringLiteral(" heigth=\"3\""));
    waitForRelayout();
    EXPECT_EQ(designer.errorLine(), 3);
    EXPECT_EQ(
        designer.statusText(),
        QStringLiteral("Chyba v šabloně na řádku 3: neznámý atribut „heigth“ prvku <pageHeader>"));
    ASSERT_EQ(editor->extraSelections().size(), 1);
    EXPECT_EQ(editor->extraSelections()[0].cursor.blockNumber(), 2);
    EXPECT_TRUE(messages.errors.isEmpty());

    // An unknown field is found when laying out and marked the same way.
    editor->setPlainText(QString::fromUtf8(kTemplate).replace(QStringLiteral("\"NAZEV\""),
                                                              QStringLiteral("\"NAZEF\"")));
    designer.relayout();
    EXPECT_EQ(designer.errorLine(), 5);
    EXPECT_TRUE(designer.statusText().contains(QStringLiteral("nemá pole „NAZEF“")));
}

TEST_F(DesignerFixture, SaveWritesTheFileThatTheNextPrintReads) {
    ReportDesigner designer(engine, &messages);
    QString text = designer.editor()->toPlainText();
    text.replace(QStringLiteral(">Seznam<"), QStringLiteral(">Seznam majetku<"));
    designer.editor()->setPlainText(text);
    ASSERT_TRUE(designer.save());
    EXPECT_FALSE(designer.isModified());
    EXPECT_EQ(fileText(), text);

    ReportEngine next(clock);
    next.loadFromFile(path);
    next.bindDataSet(&rows);
    ASSERT_TRUE(next.prepare());
    EXPECT_TRUE(pageText(next).startsWith(QStringLiteral("Seznam majetku\n")));
}

TEST_F(DesignerFixture, ClosingWithChangesAsksAndSavesOnlyOnAno) {
    {
        ReportDesigner designer(engine, &messages);
        designer.editor()->appendPlainText(QStringLiteral("<!-- zahozeno -->"));
        messages.answer(2);
        designer.reject();
        EXPECT_EQ(messages.texts(),
                  QStringList{QStringLiteral("Šablona byla změněna. Uložit změny?")});
        EXPECT_EQ(fileText(), QString::fromUtf8(kTemplate));
    }
    {
        ReportDesigner designer(engine, &messages);
        designer.editor()->appendPlainText(QStringLiteral("<!-- uloženo -->"));
        messages.answer(1);
        designer.accept();
        EXPECT_TRUE(fileText().contains(QStringLiteral("<!-- uloženo -->")));
    }
}

} // namespace
} // namespace kelvo::test
