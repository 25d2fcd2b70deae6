#pragma once

#include "db/query.h"

namespace kelvo {

// AccountingMode 1: the first year's accounting depreciation is cut to the
// months from `inUseMonth` (1 to 12) to the year's end, and the rest moves to an
// extra row after the plan's last year. The running accounting and tax sums and
// the accounting residual values are then recomputed in hundredths. The saved
// yearly copies (korun_or, opravka_up, zh_p) stay as they were.
//
// Runs through `work` on the rows of card `cardId` as the plan generation has
// just left them. A card without rows is left alone.
void ProrateAccountingPlan(Query& work, const QString& cardId, double price, int inUseMonth);

} // namespace kelvo
