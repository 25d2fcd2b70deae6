#pragma once

#include "db/connection.h"
#include "db/query.h"
#include "db/settingsfile.h"
#include "register/assetlist.h"

namespace kelvo {

// The main window's creation handler: the connection keys from the settings
// file (read once, at start; the database name stays the connection's), then the five columns older
// databases lack. The first statement opens the connection; a failure is thrown and the remaining
// checks are skipped.
void formCreate(Connection& connection, const SettingsFile& settings);

// The main window's show handler: opens the list of current cards, then gives
// the amount format to the list's amounts and to the card window's rows data
// set (`cardRows`, which keeps it whether open or not). A failing open is
// thrown before any format is set.
void formShow(AssetList& list, Query* cardRows);

} // namespace kelvo
