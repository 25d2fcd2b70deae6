#pragma once

#include "core/messageservice.h"
#include "register/assetlist.h"

namespace kelvo {

// Discard, reinstate and delete of the list's current card, each committed at
// once. With no current card (an empty list) each does nothing and says
// nothing: there is no id to act on.
void discardCard(AssetList& list, MessageService& messages);   // "Vyřadit kartu"
void reinstateCard(AssetList& list, MessageService& messages); // "Zařadit kartu"
// "Vymazat záznam": asks first; deletes the card's depreciation rows, then the
// card itself from the list. Returns whether anything was deleted.
bool deleteCard(AssetList& list, MessageService& messages);

} // namespace kelvo
