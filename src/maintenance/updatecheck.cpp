#include "maintenance/updatecheck.h"

#include "maintenance/versionstamp.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kelvo {
namespace {

// A version file holds a few short lines; reading more than this would only
// let a broken server fill the memory.
constexpr qint64 kMaxVersionFileBytes = 1024 * 1024;

QByteArray readStart(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(kMaxVersionFileBytes);
}

} // namespace

UpdatePlaces UpdatePlaces::forRunningProgram()
{
    return {QDir::currentPath(), QCoreApplication::applicationFilePath(),
            QCoreApplication::applicationDirPath()};
}

UpdateCheck::UpdateCheck(FtpServerSettings server, UpdateFiles files, UpdatePlaces places,
                         FtpWaiting waiting)
    : server_(std::move(server)), files_(std::move(files)), places_(std::move(places)),
      waiting_(std::move(waiting))
{
}

UpdateOutcome UpdateCheck::run()
{
    UpdateOutcome outcome;
    FtpClient ftp(server_, waiting_);
    if (!ftp.connect()) {
        outcome.code = QStringLiteral("E");
        return outcome;
    }
    ftp.changeDirectory(files_.serverFolder);

    const QDir downloads(places_.downloadDirectory);
    const QString versionPath = downloads.filePath(files_.versionFile);
    if (!ftp.download(files_.versionFile, versionPath)) {
        outcome.code = QStringLiteral("E");
        return outcome;
    }
    outcome.versionFileRead = true;

    const QString serverStamp = serverStampFromVersionFile(readStart(versionPath));
    const QString localStamp = localStampOfFile(places_.programFile);
    if (QString reason;
        !writeVersionLog(places_.programDirectory, localStamp, serverStamp, &reason)) {
        outcome.failure = QStringLiteral("Soubor verze.log nelze zapsat: ") + reason;
        return outcome;
    }

    if (!serverIsNewer(withoutSeparators(serverStamp), withoutSeparators(localStamp))) {
        outcome.code = QStringLiteral("N");
        return outcome;
    }
    const QString installerPath = downloads.filePath(files_.installer);
    if (!ftp.download(files_.installer, installerPath)) {
        outcome.code = QStringLiteral("E");
        return outcome;
    }
    outcome.code = QStringLiteral("A");
    outcome.installerPath = QFileInfo(installerPath).absoluteFilePath();
    return outcome;
}

} // namespace kelvo
