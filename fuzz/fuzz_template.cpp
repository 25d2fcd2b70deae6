// A report template file; one that reads must survive writing and reading again.
#include "reports/templatexml.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString xml = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto read = kelvo::readTemplate(xml);
    if (const auto* report = std::get_if<kelvo::ReportTemplate>(&read)) {
        if (!std::holds_alternative<kelvo::ReportTemplate>(
                kelvo::readTemplate(kelvo::writeTemplate(*report))))
            std::abort();
    }
    return 0;
}
