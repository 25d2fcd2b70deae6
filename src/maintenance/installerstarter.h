#pragma once

#include <QString>

namespace kelvo {

// Starts a downloaded installer without waiting for it.
class InstallerStarter {
public:
    virtual ~InstallerStarter() = default;
    virtual void start(const QString& installerPath, const QString& workingDirectory) = 0;
};

// Starts the installer as a process of its own that outlives the program. A
// download arrives without the executable bit, so the file is made executable
// first. Whether the start succeeds is not looked at: the program ends anyway
// and the user sees the installer or not.
class ProcessInstallerStarter final : public InstallerStarter {
public:
    void start(const QString& installerPath, const QString& workingDirectory) override;
};

} // namespace kelvo
