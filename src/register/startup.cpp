#include "register/startup.h"

#include "core/formats.h"
#include "db/schemaupgrade.h"

namespace kelvo {

void formCreate(Connection& connection, const SettingsFile& settings) {
    connection.setParams(connectionParamsFrom(settings));
    addMissingDepreciationColumns(connection);
}

void formShow(AssetList& list, Query* cardRows) {
    list.open();
    for (const char* field : {"cena", "koruny"})
        list.query().setDisplayFormat(QLatin1String(field), kAmountFormat);
    if (cardRows) {
        for (const char* field : {"korun_o", "korun_do", "zh", "opravka_u", "opravka_d", "zh_d"})
            cardRows->setDisplayFormat(QLatin1String(field), kAmountFormat);
    }
}

} // namespace kelvo
