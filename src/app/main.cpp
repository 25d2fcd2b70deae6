// The program's entry: creates the services once, then the ten windows in their
// start-up order, and runs the application until the main window closes.

#include "core/clock.h"
#include "core/formats.h"
#include "db/connection.h"
#include "db/settingsfile.h"
#include "maintenance/accountingmodestore.h"
#include "ui/qtmessageservice.h"
#include "ui/tfinventura.h"
#include "ui/tfkarta.h"
#include "ui/tform1.h"
#include "ui/tfrovnomerne.h"
#include "ui/tfservis.h"
#include "ui/tfskupina.h"
#include "ui/tfzrychlene.h"
#include "ui/tfzvysen10.h"
#include "ui/tfzvysen15.h"
#include "ui/tfzvysen20.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char* argv[]) {
    using namespace kelvo;
    QApplication app(argc, argv);

    const QString executable = QCoreApplication::applicationFilePath();
    // The connection keys and the settings dialog use the file named after the
    // executable; the card window and the update check read kelvo.ini beside it.
    SettingsFile executableSettings = SettingsFile::forExecutable(executable);
    SettingsFile programSettings = SettingsFile::inDirectory(QFileInfo(executable).absolutePath(),
                                                             QStringLiteral("kelvo.ini"));
    Connection connection;
    SystemClock clock;
    DateFormat dateFormat;
    QtMessageService messages;

    TForm1 form1(MainWindowServices{connection, executableSettings, programSettings, clock, dateFormat, messages,
                                     QCoreApplication::arguments()});
    TForm1::Windows windows;
    windows.fkarta = new Tfkarta(CardWindowServices{connection, programSettings, dateFormat, messages,
                                                    [&form1] { form1.Vybrankarta1Click(); }},
                                 &form1);
    windows.fzvysen15 = new Tfzvysen15(connection, dateFormat, messages, &form1);
    windows.fzrychlene = new Tfzrychlene(connection, dateFormat, messages, &form1);
    windows.fskupina = new Tfskupina(connection, dateFormat, messages, &form1);
    windows.frovnomerne = new Tfrovnomerne(connection, dateFormat, messages, &form1);
    windows.fzvysen20 = new Tfzvysen20(connection, dateFormat, messages, &form1);
    windows.fzvysen10 = new Tfzvysen10(connection, dateFormat, messages, &form1);
    windows.finventura = new Tfinventura(&form1);
    windows.fservis =
        new Tfservis(AccountingModeStore::forExecutable(executable), messages, &form1);
    form1.setWindows(windows);

    form1.show();
    return app.exec();
}
