#include "maintenance/installerstarter.h"

#include <QFile>
#include <QProcess>

namespace kelvo {

void ProcessInstallerStarter::start(const QString& installerPath, const QString& workingDirectory)
{
    QFile::setPermissions(installerPath, QFile::permissions(installerPath) | QFile::ExeOwner |
                                             QFile::ExeUser | QFile::ExeGroup | QFile::ExeOther);
    QProcess::startDetached(installerPath, {}, workingDirectory);
}

} // namespace kelvo
