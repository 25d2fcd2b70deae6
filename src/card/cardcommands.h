#pragma once

#include "depreciation/carddatasets.h"
#include "core/messageservice.h"
#include "db/settingsfile.h"

namespace kelvo {

// The logic of the card window's own commands, apart from the plan generation
// and the shift: what happens when the window is shown, "Uložit", "Storno",
// "Nová karta", "Klonovat záznam" and "Přidat záznam".
class CardCommands {
public:
    // `settings` is kelvo.ini beside the executable, read for AccountingMode at
    // every show.
    CardCommands(CardDataSets data, MessageService& messages, SettingsFile settings);

    // The window is being shown: the plan button is enabled only for a card
    // without a plan (skupina 0); AccountingMode is read afresh.
    void formShow();
    bool planButtonEnabled() const { return planButtonEnabled_; }
    int accountingMode() const { return accountingMode_; }

    // "Uložit": writes a pending edit of an existing row, then true (end with
    // result 1) unless the sequence number is empty, which is refused with a warning.
    bool save();
    // "Storno": true (end with result 2) when the user confirms.
    bool discard();

    // "Nová karta": the window shows a new empty card.
    void newCard();
    // "Klonovat záznam": the window shows a copy of the card as stored, without
    // its numbers, group, method and plan. Commits the open transaction.
    void cloneCard();
    // "Přidat záznam": a first, blank depreciation row for a card without rows.
    void addRow();

private:
    void showCard(const QString& id);

    CardDataSets data_;
    MessageService& messages_;
    SettingsFile settings_;
    bool planButtonEnabled_ = true;
    int accountingMode_ = 0;
};

} // namespace kelvo
