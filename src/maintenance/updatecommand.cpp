#include "maintenance/updatecommand.h"

#include "core/formats.h"
#include "core/messageservice.h"
#include "db/settingsfile.h"
#include "maintenance/versionstamp.h"

#include <QCoreApplication>

namespace kelvo {
namespace {

const QString kSection = QStringLiteral("LogON");

// Clears a flag when the check ends, however it ends.
struct RunningFlag {
    explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~RunningFlag() { flag_ = false; }
    bool& flag_;
};

} // namespace

UpdateCommand::UpdateCommand(const SettingsFile& settings, MessageService& messages,
                             DateFormat& dateFormat, UpdateNoticeFactory makeNotice,
                             InstallerStarter& installer, std::function<void()> endProgram,
                             UpdatePlaces places, FtpWaiting waiting)
    : settings_(settings), messages_(messages), dateFormat_(dateFormat),
      makeNotice_(std::move(makeNotice)), installer_(installer), endProgram_(std::move(endProgram)),
      places_(std::move(places)), waiting_(std::move(waiting))
{
}

FtpServerSettings UpdateCommand::readServerSettings(const SettingsFile& settings)
{
    FtpServerSettings server;
    // A name under the reserved .invalid domain never resolves: without a
    // configured server the check fails at once instead of reaching a stranger.
    server.host = settings.readString(kSection, QStringLiteral("FTP"),
                                      QStringLiteral("aktualizace.zerut.invalid"));
    server.port = settings.readString(kSection, QStringLiteral("FTPport"), QStringLiteral("21"));
    server.user =
        settings.readString(kSection, QStringLiteral("FTPuser"), QStringLiteral("trenix"));
    server.password =
        settings.readString(kSection, QStringLiteral("FTPpassword"), QStringLiteral("804396kqt"));
    server.passive = passiveFromSetting(
        settings.readString(kSection, QStringLiteral("FTPPassive"), QStringLiteral("false")));
    return server;
}

void UpdateCommand::Kontrolanovverze1Click()
{
    if (running_)
        return;
    const RunningFlag running(running_);

    std::unique_ptr<UpdateNotice> notice = makeNotice_();
    notice->showNotice(QStringLiteral("... kontroluji verzi ..."));
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();

    UpdateCheck check(readServerSettings(settings_), UpdateFiles{}, places_, waiting_);
    const UpdateOutcome outcome = check.run();
    notice->closeNotice();
    notice.reset();

    if (outcome.versionFileRead)
        dateFormat_.setPattern(QStringLiteral("dd.MM.yyyy"));
    if (!outcome.failure.isEmpty()) {
        messages_.showError(outcome.failure);
        return;
    }
    if (outcome.code == u"A") {
        messages_.show(infoMessage(
            QStringLiteral("Zjištěna novější verze programu. Bude spuštěna instalace!")));
        installer_.start(outcome.installerPath, places_.programDirectory);
        endProgram_();
        return;
    }
    messages_.show(infoMessage(QStringLiteral("Není nová verze")));
}

} // namespace kelvo
