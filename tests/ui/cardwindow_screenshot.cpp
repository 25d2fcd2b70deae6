// Shows the card window as a user sees it after "Nová karta" and the plan of a
// straight-line card (price 100 000, group "2", in use 15.3.2014), and saves a
// picture of it with ImageMagick's `import` from the X display it runs on.
// Usage (see scripts/card-window-screenshot.sh): cardwindow_screenshot OUT.png
#include "support/scriptedmessages.h"
#include "support/testdatabase.h"
#include "ui/tfkarta.h"
#include "ui/tform1.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

using namespace kelvo;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: cardwindow_screenshot OUT.png\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    test::TestDatabase db(QStringLiteral("shot"));
    QTemporaryDir dir;
    SettingsFile settings = test::settingsForProgram(dir.path(), db.params());
    ConnectionParams initial;
    initial.database = db.params().database;
    Connection connection(initial);
    FixedClock clock{QDate(2024, 1, 15)};
    DateFormat dateFormat;
    test::ScriptedMessages messages;
    SettingsFile programSettings(dir.filePath("kelvo.ini"));
    TForm1 form(MainWindowServices{connection, settings, programSettings, clock, dateFormat, messages, {"kelvo"}});
    auto* card = new Tfkarta(CardWindowServices{connection, programSettings, dateFormat, messages, {}}, &form);
    TForm1::Windows windows;
    windows.fkarta = card;
    form.setWindows(windows);
    form.show();

    int result = 1;
    QTimer::singleShot(300, card, [&] {
        auto type = [](QLineEdit* edit, const QString& text) {
            edit->setText(text);
            edit->setModified(true);
        };
        type(card->suiDBEdit1, QStringLiteral("124"));
        type(card->suiDBEdit3, QStringLiteral("INV-0124"));
        type(card->suiDBEdit2, QStringLiteral("Lis hydraulický CTX"));
        type(card->suiDBEdit4, QStringLiteral("Strojírny Brno"));
        type(card->suiDBEdit14, QStringLiteral("Hala B, pravidelná revize"));
        type(card->suiDBEdit8, QStringLiteral("100000"));
        type(card->suiDBEdit9, QStringLiteral("2.3.2014"));
        type(card->suiDBEdit10, QStringLiteral("FP2014/0311"));
        type(card->suiDBEdit11, QStringLiteral("15.3.2014"));
        type(card->suiDBEdit15, QStringLiteral("Hala B"));
        for (QComboBox* combo : {card->suiDBComboBox2, card->suiDBLookupComboBox1}) {
            const int index = combo->findText(combo == card->suiDBComboBox2 ? QStringLiteral("rovnoměrně")
                                                                              : QStringLiteral("2"));
            combo->setCurrentIndex(index);
            emit combo->activated(index);
        }
        card->suiButton6->click();
        card->suiDBEdit1->setFocus();
        QTimer::singleShot(500, card, [&] {
            QProcess import;
            import.start(QStringLiteral("import"),
                         {QStringLiteral("-window"), QString::number(card->winId()), out});
            if (!import.waitForFinished(30000) || import.exitCode() != 0) {
                std::fprintf(stderr, "import failed: %s\n", import.readAllStandardError().constData());
                result = 1;
            } else {
                result = 0;
            }
            card->done(2);
        });
    });
    form.findChild<QAction*>(QStringLiteral("Novkarta1"))->trigger();
    if (!messages.errors.isEmpty() || !messages.shown.empty())
        std::fprintf(stderr, "unexpected message: %s\n",
                     qPrintable(messages.errors.value(0, messages.texts().value(0))));
    return result;
}
