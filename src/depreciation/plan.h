#pragma once

#include "core/formats.h"
#include "core/messageservice.h"
#include "depreciation/carddatasets.h"

#include <QStringList>

namespace kelvo {

// The position of a card's method text `zp_odpisu` in the method list; the
// plan generation branches on it.
enum class DepreciationMethod {
    StraightLine = 0,  // "rovnoměrně"
    Accelerated = 1,   // "zrychleně"
    Increased10 = 2,   // "zvýšený odpis o 10%"
    Increased15 = 3,   // "zvýšený odpis o 15%"
    Increased20 = 4,   // "zvýšený odpis o 20%"
};

// The five method texts in list order.
const QStringList& depreciationMethodNames();
// The position of `text` in that list, or -1 for a text that is none of them.
int depreciationMethodIndex(const QString& text);

// "Generace vět odpisů": replaces the card's depreciation rows with a freshly
// computed plan. The card data set must be open on one card (it may be in
// editing; what was typed counts), the group list open, the rows data set open
// or at least given its text.
class PlanGenerator {
public:
    PlanGenerator(CardDataSets sets, MessageService& messages, const DateFormat& dateFormat);

    // `inUseText` is the text of the in-use date input as the user sees it (the
    // program's short date format). Returns false when a check refused the card
    // with a message, in which case nothing was changed.
    bool GeneratePlan(const QString& inUseText, int accountingMode);
    // The same with the in-use text shown for the card's stored do_pouziti.
    bool GeneratePlan(int accountingMode);

private:
    struct RateRow {
        double first = 0;      // prvnirok
        double later = 0;      // dalsi
        double increased = 0;  // zvyseny_vstup
    };

    bool refuse(const QString& text);
    RateRow readRateRow(int method, const QString& groupNumber);
    void straightLineRows(const QString& id, int year, double price, double firstRate, const QString& years);
    void acceleratedRows(const QString& id, int year, double price, double firstCoefficient, const QString& years);
    void runningSumsAndSavedCopies(const QString& id);

    CardDataSets sets_;
    MessageService& messages_;
    const DateFormat& dateFormat_;
};

} // namespace kelvo
