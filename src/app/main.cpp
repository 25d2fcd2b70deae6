// The program's entry: creates the services once, then the ten windows in their
// start-up order, and runs the application until the main window closes.

#include "core/clock.h"
#include "core/formats.h"
#include "db/connection.h"
#include "db/settingsfile.h"
#include "ui/programwindows.h"
#include "ui/qtmessageservice.h"

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

    const auto form1 = createProgramWindows(
        MainWindowServices{connection, executableSettings, programSettings, clock, dateFormat, messages,
                           QCoreApplication::arguments()},
        executable);
    form1->show();
    return app.exec();
}
