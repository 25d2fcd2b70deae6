#pragma once

#include "maintenance/installerstarter.h"
#include "maintenance/updatecheck.h"
#include "maintenance/updatenotice.h"

#include <QString>
#include <functional>
#include <memory>

namespace kelvo {

class DateFormat;
class MessageService;
class SettingsFile;

// A fresh notice window for every check.
using UpdateNoticeFactory = std::function<std::unique_ptr<UpdateNotice>()>;

// "Kontrola nové verze": reads the update server's settings, runs the check
// under a notice window and acts on the result. After a newer installer was
// downloaded it tells the user, starts the installer and ends the program.
class UpdateCommand {
public:
    UpdateCommand(const SettingsFile& settings, MessageService& messages, DateFormat& dateFormat,
                  UpdateNoticeFactory makeNotice, InstallerStarter& installer,
                  std::function<void()> endProgram, UpdatePlaces places, FtpWaiting waiting = {});

    // The menu command's handler. A second call while a check is running (the
    // main window stays usable meanwhile) does nothing.
    void Kontrolanovverze1Click();

    // The server settings of section "LogON", with their defaults.
    static FtpServerSettings readServerSettings(const SettingsFile& settings);

private:
    const SettingsFile& settings_;
    MessageService& messages_;
    DateFormat& dateFormat_;
    UpdateNoticeFactory makeNotice_;
    InstallerStarter& installer_;
    std::function<void()> endProgram_;
    UpdatePlaces places_;
    FtpWaiting waiting_;
    bool running_ = false;
};

} // namespace kelvo
