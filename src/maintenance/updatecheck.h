#pragma once

#include "maintenance/ftpclient.h"

#include <QString>

namespace kelvo {

// What the check fetches: the installer and the version file, in a folder of
// the update server relative to the login directory.
struct UpdateFiles {
    QString installer = QStringLiteral("setupkelvo.exe");
    QString versionFile = QStringLiteral("setupkelvo.ver");
    QString serverFolder = QStringLiteral("trenix/zerut");
};

// Where the check works on this machine.
struct UpdatePlaces {
    QString downloadDirectory;  // the downloads land here
    QString programFile;        // whose modification time is the local version
    QString programDirectory;   // verze.log is written here, the installer starts here

    // The running program: downloads into the current directory, the log and
    // the installer's working directory are the executable's directory.
    static UpdatePlaces forRunningProgram();
};

struct UpdateOutcome {
    // "A": the server has a newer version and the installer was downloaded;
    // "N": the server's version is not newer; "E": the connection, the login or
    // a download failed. Empty when the check was abandoned (see `failure`).
    QString code;
    // The version file was downloaded and read; from then on the program shows
    // dates as dd.MM.yyyy.
    bool versionFileRead = false;
    // Why the check was abandoned: the log could not be written.
    QString failure;
    // The downloaded installer's full path, after "A".
    QString installerPath;
};

// Asks the update server whether it has a newer program than the running one
// and, when it has, downloads the installer.
class UpdateCheck {
public:
    UpdateCheck(FtpServerSettings server, UpdateFiles files, UpdatePlaces places,
                FtpWaiting waiting = {});
    UpdateOutcome run();

private:
    FtpServerSettings server_;
    UpdateFiles files_;
    UpdatePlaces places_;
    FtpWaiting waiting_;
};

} // namespace kelvo
