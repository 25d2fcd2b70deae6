#pragma once

// The program's main window and card window over a test database of their own,
// offscreen, driven as a user drives them. Header only: the test support
// library links no Widgets, so only test programs that link kelvo_ui include it.

#include "register/querytablemodel.h"
#include "support/scriptedmessages.h"
#include "support/testdatabase.h"
#include "ui/tfkarta.h"
#include "ui/tform1.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace kelvo::test {

class WindowDriver {
  protected:
    explicit WindowDriver(const QString& databaseName) : db(databaseName) {
        SettingsFile settings = settingsForProgram(dir.path(), db.params());
        ConnectionParams initial;
        initial.database = db.params().database;
        connection = std::make_unique<Connection>(initial);
        form = std::make_unique<TForm1>(MainWindowServices{
            *connection, settings, programSettings, clock, dateFormat, messages, {"kelvo"}});
        card = new Tfkarta(CardWindowServices{*connection, programSettings, dateFormat, messages,
                                              [this] { ++printed; }},
                           form.get());
        TForm1::Windows windows;
        windows.fkarta = card;
        form->setWindows(windows);
        form->show();
    }

    // Inserts a card through the test's own connection and makes it the list's current one.
    qint64 insertCard(const QString& columns, const QString& values) {
        db.admin().execute(
            QStringLiteral("insert into karta (%1) values (%2)").arg(columns, values));
        const qint64 id = qint64(db.admin().lastInsertId());
        form->list().query().refresh();
        form->list().query().locate("id", id);
        return id;
    }

    // Starts a menu command of the main window and runs `script` while the card
    // window it shows is up. A script that leaves the window open gets it closed
    // by the title bar, so that a failing test cannot hang.
    void whileCardShown(const char* menuItem, const std::function<void()>& script) {
        whileCardShown([&] { form->findChild<QAction*>(QLatin1String(menuItem))->trigger(); },
                       script);
    }
    void whileCardShown(const std::function<void()>& start, const std::function<void()>& script) {
        bool ran = false;
        QTimer::singleShot(0, card, [&] {
            ran = true;
            EXPECT_TRUE(card->isVisible());
            script();
            if (card->isVisible())
                card->close();
        });
        start();
        EXPECT_TRUE(ran);
        EXPECT_FALSE(card->isVisible());
    }

    static void type(QLineEdit* edit, const QString& text) {
        edit->clear();
        // Key by key as the keyboard sends them (the test library's own typing
        // takes ASCII only).
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit, &press);
        }
    }
    static void choose(QComboBox* combo, const QString& text) {
        const int index = combo->findText(text);
        ASSERT_GE(index, 0) << qPrintable(text);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    static void press(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    QString gridCell(int row, const char* field) {
        QueryTableModel* model = card->rowsModel();
        return model->index(row, model->columnOf(QLatin1String(field))).data().toString();
    }
    // Types `text` into a cell of the rows grid through its editor and leaves
    // the editor open, as a user who goes on to a button does.
    void typeIntoGrid(int row, const char* field, const QString& text) {
        const QModelIndex cell =
            card->rowsModel()->index(row, card->rowsModel()->columnOf(QLatin1String(field)));
        card->suiDBGrid1->setCurrentIndex(cell);
        card->suiDBGrid1->edit(cell);
        auto* editor = qobject_cast<QLineEdit*>(card->suiDBGrid1->indexWidget(cell));
        ASSERT_NE(editor, nullptr);
        editor->setText(text);
    }

    TestDatabase db;
    QTemporaryDir dir;
    SettingsFile programSettings{dir.filePath("kelvo.ini")};
    std::unique_ptr<Connection> connection;
    FixedClock clock{QDate(2024, 1, 15)};
    DateFormat dateFormat;
    ScriptedMessages messages;
    std::unique_ptr<TForm1> form;
    Tfkarta* card = nullptr; // owned by the main window
    int printed = 0;
};

} // namespace kelvo::test
