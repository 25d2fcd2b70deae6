#include "register/cardcycles.h"

namespace kelvo {

const QString kNotSavedWithoutInventoryNumber =
    QStringLiteral("Nová karta nebyla uložena, protože nemá vyplněné inventární číslo.");

CardEditingCycles::CardEditingCycles(Connection& connection, Query& list, Query& statements, CardDataSets card,
                                     ShowCardWindow showCardWindow, MessageService& messages)
    : connection_(connection), list_(list), statements_(statements), window_(card),
      showCardWindow_(std::move(showCardWindow)), messages_(messages)
{
}

void CardEditingCycles::openCard(const QString& id, bool orderRowsByYear)
{
    Query& card = window_.card;
    card.close();
    card.clearText();
    card.addLine(QStringLiteral("select * from karta where id="));
    card.addLine(id);
    card.open();
    card.edit();

    Query& rows = window_.rows;
    rows.close();
    rows.clearText();
    rows.addLine(QStringLiteral("select * from odpisy where id_karta = ") + id);
    if (orderRowsByYear)
        rows.addLine(QStringLiteral("order by rok"));
    rows.open();

    window_.groups.open();
}

// A statement that fails while the cycle's transaction is open must not leave
// the transaction (or auto-commit off) behind for the next command: the cycle
// is rolled back and the connection returned to its idle state. The failure
// itself still reaches the user through the command's error box.
void CardEditingCycles::endFailedCycle() noexcept
{
    try {
        if (window_.card.isEditing())
            window_.card.cancel();
        window_.card.close();
        if (connection_.isOpen())
            connection_.execute(QStringLiteral("rollback"));
    } catch (...) {
        // The connection may be the thing that failed; it is opened afresh at the next use.
    }
    try {
        connection_.setAutoCommit(true);
    } catch (...) {
    }
}

void CardEditingCycles::copyCardColumns(CopyCardColumnsForm form)
{
    statements_.close();
    statements_.setText(copyCardColumnsStatement(form));
    statements_.execute();
}

void CardEditingCycles::newCard()
{
    QString id;
    try {
        Query query(connection_);
        connection_.setAutoCommit(false);
        query.executeText(QStringLiteral("start transaction"));
        query.executeText(QStringLiteral("insert into karta (cislokarty) value (\"\")"));
        query.openText(QStringLiteral("select last_insert_id() as cv"));
        id = query.asString(QStringLiteral("cv"));
        query.close();
        openCard(id, false);
    } catch (...) {
        endFailedCycle();
        throw;
    }

    const int result = showCardWindow_();

    Query& card = window_.card;
    try {
        if (result != 1) {
            card.close();
            card.executeText(QStringLiteral("rollback"));
            connection_.setAutoCommit(true);
            return;
        }
        if (card.asString(QStringLiteral("cislokarty")).isEmpty()) {
            // A new card survives only with an inventory number; say so rather
            // than lose what was typed without a word.
            card.close();
            card.executeText(QStringLiteral("rollback"));
            messages_.show(infoMessage(kNotSavedWithoutInventoryNumber));
        } else {
            if (card.isEditing())
                card.post();
            card.close();
            card.executeText(QStringLiteral("commit"));
            list_.refresh();
            list_.locate(QStringLiteral("id"), id);
            messages_.show(infoMessage(QStringLiteral("Záznam uložen!")));
        }
        connection_.setAutoCommit(true);
    } catch (...) {
        endFailedCycle();
        throw;
    }
    copyCardColumns(CopyCardColumnsForm::Menu);
}

void CardEditingCycles::editCard(CopyCardColumnsForm form)
{
    // With an empty list there is no card to edit; nothing is sent.
    if (!list_.isOpen() || list_.isEmpty())
        return;
    const QString id = list_.asString(QStringLiteral("id"));
    Query& card = window_.card;
    try {
        card.close();
        card.executeText(QStringLiteral("start transaction"));
        openCard(id, true);
    } catch (...) {
        endFailedCycle();
        throw;
    }

    const int result = showCardWindow_();

    try {
        if (result != 1) {
            if (card.isEditing())
                card.cancel();
            card.close();
            card.executeText(QStringLiteral("rollback"));
        } else {
            if (card.isEditing())
                card.post();
            card.close();
            card.executeText(QStringLiteral("commit"));
        }
    } catch (...) {
        endFailedCycle();
        throw;
    }

    if (result != 1) {
        // Cards left without a sequence number (an empty placeholder from "Nová
        // karta" inside the window, say) go, with their rows.
        Query& work = window_.work;
        work.close();
        work.openText(QStringLiteral("select * from karta where pora_cislo = \"\""));
        for (work.first(); !work.eof(); work.next()) {
            card.close();
            card.executeText(QStringLiteral("delete from odpisy where id_karta = ") +
                             work.asString(QStringLiteral("id")));
        }
        work.close();
        work.executeText(QStringLiteral("delete from karta where pora_cislo = \"\""));
        return;
    }

    list_.refresh();
    list_.locate(QStringLiteral("id"), id);
    messages_.show(infoMessage(QStringLiteral("Záznam uložen!")));
    copyCardColumns(form);
}

} // namespace kelvo
