// The version file from the update server, compared with a local stamp.
#include "maintenance/versionstamp.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString stamp = kelvo::serverStampFromVersionFile(
        QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (stamp.size() > 19)
        std::abort();
    kelvo::serverIsNewer(kelvo::withoutSeparators(stamp), QStringLiteral("20141001090506"));
    return 0;
}
