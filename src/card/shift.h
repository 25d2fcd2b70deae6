#pragma once

#include "core/messageservice.h"
#include "depreciation/carddatasets.h"

namespace kelvo {

// "Posunout odpis" of the rows grid: moves the card's accounting plan one year
// later. The first year gets no accounting depreciation, each later year takes
// the accounting values of the year before it, and the last year's values move
// on: into a new row after the plan (AccountingMode 0), or into the extra row
// that AccountingMode 1 plans already have. Tax columns stay in their years.
// A plan whose first row has no accounting depreciation counts as shifted.
class DepreciationShift {
public:
    DepreciationShift(CardDataSets sets, MessageService& messages);

    // The card is the one of the rows data set's current row, the price the
    // card data set's `cena` (typed or saved). AccountingMode other than 0 or 1
    // does nothing. Returns true when the plan was shifted.
    bool Posunodpisu(int accountingMode);

private:
    CardDataSets sets_;
    MessageService& messages_;
};

} // namespace kelvo
