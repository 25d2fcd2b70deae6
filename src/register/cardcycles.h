#pragma once

#include "depreciation/carddatasets.h"
#include "depreciation/statements.h"
#include "core/messageservice.h"
#include "db/query.h"

#include <functional>

namespace kelvo {

// Told when a new card is saved without an inventory number and therefore dropped.
extern const QString kNotSavedWithoutInventoryNumber;

// The card editing cycles of the main window: each opens a transaction, fills
// the card window's data sets, shows the window modally and commits (result 1)
// or rolls back (result 2). Afterwards the cards' columns are copied into their
// depreciation rows.
class CardEditingCycles {
public:
    // Shows the card window modally and returns its result, 1 or 2.
    using ShowCardWindow = std::function<int()>;

    CardEditingCycles(Connection& connection, Query& list, Query& statements, CardDataSets card,
                      ShowCardWindow showCardWindow, MessageService& messages);

    // "Nová karta": a new empty card inside a transaction with auto-commit off.
    void newCard();
    // "Oprava karty" (CopyCardColumnsForm::Menu) or a double-click on the list (CopyCardColumnsForm::DoubleClick):
    // the list's current card. Does nothing on an empty list.
    void editCard(CopyCardColumnsForm form);

private:
    void openCard(const QString& id, bool orderRowsByYear);
    void endFailedCycle() noexcept;
    void copyCardColumns(CopyCardColumnsForm form);

    Connection& connection_;
    Query& list_;
    Query& statements_;
    CardDataSets window_;
    ShowCardWindow showCardWindow_;
    MessageService& messages_;
};

} // namespace kelvo
