#pragma once

#include "db/query.h"

namespace kelvo {

// The four data sets of the card window that its commands work through. The
// window owns them; the commands only borrow them for one run.
struct CardDataSets {
    Query& card;    // the one card being edited ("select * from karta where id=...")
    Query& rows;    // the card's depreciation rows, shown in the rows grid
    Query& work;    // no lasting rows: the commands' statements run through it
    Query& groups;  // the group list, "select * from def_skupiny"
};

} // namespace kelvo
