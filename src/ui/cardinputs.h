#pragma once

#include "core/formats.h"
#include "core/messageservice.h"
#include "db/query.h"

#include <QObject>
#include <vector>

class QComboBox;
class QLineEdit;

namespace kelvo {

// How an input's text maps to its column.
enum class InputKind { Text, Date, Number };

// Binds the card window's inputs to the card data set: they show the current
// card's values (dates in the program's short date format, numbers through
// their display format) and write what the user typed back with setValue, which
// starts editing. A text edit writes when the user leaves it, or when a command
// asks for the pending input first; a combo box writes when an entry is chosen.
//
// A date or number input whose text cannot be read is reported and not
// written, so that a typing error never replaces the stored value unnoticed.
class CardInputs final : public QObject {
    Q_OBJECT
  public:
    CardInputs(Query& card, Query& groups, const DateFormat& dateFormat, MessageService& messages,
               QObject* parent = nullptr);

    void bind(QLineEdit* edit, const QString& field, InputKind kind);
    // The method combo box over `zp_odpisu`; its entries are set by the caller.
    void bindMethod(QComboBox* combo);
    // The group lookup over the group list: entries are the list's `sk_odpisu`;
    // the card's value, whenever set or chosen, makes that group current.
    void bindGroup(QComboBox* combo);

    // Writes every text edit typed into and not written yet. Returns false when
    // one of them was refused (and reported). `unchecked`, when given, is left
    // to the caller: it is neither written nor reported when it cannot be read.
    bool writePending(const QLineEdit* unchecked = nullptr);
    // Shows the card's values afresh, dropping what was typed.
    void reload() { load(false); }

    // The message for a text that is no date / no number.
    static QString invalidDateText(const QString& text);
    static QString invalidNumberText(const QString& text);
    // Reads a typed amount: blanks as group separators, a decimal comma or
    // point. Empty text reads 0. `ok` tells whether the text was a number.
    static double parseNumber(const QString& text, bool* ok);

  private:
    struct Binding {
        QLineEdit* edit;
        QString field;
        InputKind kind;
    };

    void load(bool keepTyped);
    void loadGroups();
    void showGroup();
    enum class WriteResult { Written, Refused, Skipped };
    WriteResult write(const Binding& binding, bool report);

    Query& card_;
    Query& groups_;
    const DateFormat& dateFormat_;
    MessageService& messages_;
    std::vector<Binding> bindings_;
    QComboBox* method_ = nullptr;
    QComboBox* group_ = nullptr;
    bool busy_ = false; // a write or load is under way: ignore the signals it causes
};

} // namespace kelvo
