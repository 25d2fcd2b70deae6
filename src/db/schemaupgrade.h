#pragma once

#include "db/connection.h"
#include "db/settingsfile.h"

namespace kelvo {

// The connection keys of section "LogOn" with their defaults; the database is
// always `kelvo`.
ConnectionParams connectionParamsFrom(const SettingsFile& settings);

// Adds one column to one table when the table lacks it (names compared without
// regard to case). Returns true when it added the column. Throws DbError.
bool AddColumnIfMissing(Connection& connection, const QString& table, const QString& column,
                        const QString& type, const QString& size, const QString& constraint,
                        const QString& defaultValue);

// Brings `odpisy` up to the columns older databases lack, in their fixed order.
// The first failure is thrown and the remaining checks are skipped.
void addMissingDepreciationColumns(Connection& connection);

} // namespace kelvo
