// A date typed by the user, in both orders of the short date format.
#include "core/formats.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const char* pattern : {"d.M.yyyy", "yyyy-MM-dd"}) {
        const kelvo::DateFormat format{QString::fromLatin1(pattern)};
        const QDate date = format.parse(text);
        // Whatever reads as a date reads back the same from its own text.
        if (date.isValid() && format.parse(format.format(date)) != date)
            std::abort();
    }
    return 0;
}
