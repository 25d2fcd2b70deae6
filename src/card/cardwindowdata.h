#pragma once

#include "db/query.h"

namespace kelvo {

// The card window's four data sets. The card window owns them; the card
// editing cycles fill them before the window is shown, and the window's
// commands work on them.
struct CardWindowData {
    Query& card;    // ZQuery1: the one card being edited
    Query& rows;    // ZQuery2: its depreciation rows
    Query& work;    // ZQuery3: statements and single values
    Query& groups;  // ZQuery4: the depreciation groups, "select * from def_skupiny"
};

} // namespace kelvo
