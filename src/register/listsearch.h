#pragma once

#include "core/formats.h"
#include "core/messageservice.h"
#include "db/query.h"

#include <vector>

namespace kelvo {

// The logic of the "Hledat" dialog over the asset list: a chosen field, a typed
// text, and either a narrowed list of that field's texts (with "zobrazit výběr")
// whose selected line the list's current row follows, or an exact locate.
class ListSearch {
  public:
    struct Field {
        QString name;
        QString label;
    };
    // The list's fields by their labels, in the list's order.
    static const std::vector<Field>& fields();
    // The position of a field by name (without regard to case), 0 when not listed.
    static int fieldPosition(const QString& name);

    // Remembers the list's current row, to return to it on cancel.
    ListSearch(Query& list, MessageService& messages, const DateFormat& dateFormat,
               int startField = 0);

    int field() const { return field_; }
    void setField(int position);
    const QString& text() const { return text_; }
    void setText(const QString& text);
    bool showSelection() const { return showSelection_; }
    void setShowSelection(bool on);
    bool partial() const { return partial_; }
    void setPartial(bool on);

    // The lines shown: the chosen field's text of each row that matches, in the
    // list's order. The first line is selected after every change.
    QStringList lines() const;
    int lineCount() const { return int(rows_.size()); }
    int selectedLine() const { return selected_; }
    // Selects a line; the list's current row follows it.
    void selectLine(int line);

    // "převzít". With the selection shown the list stays on the selected row.
    // Without it, moves to the first row whose field equals the text without
    // regard to case; when there is none, beeps, shows "Record not found" and
    // returns false (the dialog stays open).
    bool accept();
    // "storno" or the title bar: the list returns to the row of before.
    void cancel();

  private:
    void rebuild();
    int listField() const;

    Query& list_;
    MessageService& messages_;
    const DateFormat& dateFormat_;
    int startRow_;
    int field_ = 0;
    QString text_;
    bool showSelection_ = true;
    bool partial_ = true;
    std::vector<int> rows_; // list rows of the shown lines
    int selected_ = -1;
};

} // namespace kelvo
