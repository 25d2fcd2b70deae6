// The settings file as the program reads it, then one key written and read back.
#include "db/settingsfile.h"

#include <cstdint>
#include <cstdlib>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // In memory when possible: writing syncs the file, which on a disk would
    // slow the fuzzer down to a few runs a second.
    static QTemporaryDir dir(QFileInfo::exists(QStringLiteral("/dev/shm"))
                                 ? QStringLiteral("/dev/shm/kelvo-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/kelvo-fuzz-XXXXXX"));
    const QString path = dir.filePath(QStringLiteral("kelvo.ini"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    const kelvo::SettingsFile settings(path);
    settings.readString(QStringLiteral("LogOn"), QStringLiteral("IP"), QStringLiteral("localhost"));
    settings.readInt(QStringLiteral("LogOn"), QStringLiteral("Port"), 3306);
    if (settings.writeString(QStringLiteral("LogOn"), QStringLiteral("User"),
                             QStringLiteral("uzivatel")) &&
        settings.readString(QStringLiteral("LogOn"), QStringLiteral("User"), QString()) !=
            QStringLiteral("uzivatel"))
        std::abort(); // a written key must read back
    return 0;
}
