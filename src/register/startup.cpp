#include "register/startup.h"

#include "core/formats.h"
#include "db/schemaupgrade.h"

namespace kelvo {

void formCreate(Connection& connection, const SettingsFile& settings) {
    // The database is the connection's own (`kelvo` unless a test gives its
    // own); host, port, user and password come from the file.
    ConnectionParams params = connectionParamsFrom(settings);
    params.database = connection.params().database;
    connection.setParams(params);
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
