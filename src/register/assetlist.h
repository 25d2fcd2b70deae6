#pragma once

#include "db/query.h"

namespace kelvo {

// The main window's list of asset cards (ZQuery1) with its filter and its
// title-click sort, and the window's statement data set (ZQuery2), which holds
// no rows and only executes statements.
class AssetList {
  public:
    explicit AssetList(Connection& connection);

    Connection& connection() const { return connection_; }
    Query& query() { return ZQuery1; }
    const Query& query() const { return ZQuery1; }
    Query& statements() { return ZQuery2; }

    // Opens the list with its current text (nothing happens when already open).
    void open() { ZQuery1.open(); }

    // "Zobrazit jen aktuální": checked at start.
    bool onlyCurrent() const { return onlyCurrent_; }
    // "Zařadit kartu" is offered only while all cards are listed.
    bool reinstateOffered() const { return !onlyCurrent_; }
    // Flips the filter, then reopens the list with the matching first line; the
    // first row becomes current and the sort stays in force.
    void toggleOnlyCurrent();

    // A click on a column's title: sort by it ascending, then descending, then
    // back to the list's own order. Works on the loaded rows.
    void titleClicked(const QString& field);

    // The current card's id as text, empty when the list has no current row.
    QString currentId() const;
    // Whether the row (shown position) is a discarded card.
    bool isDiscarded(int row) const;

    static QString filterLine(bool onlyCurrent);

  private:
    Connection& connection_;
    Query ZQuery1;
    Query ZQuery2;
    bool onlyCurrent_ = true;
    int vyrazenField_ = -1;
};

} // namespace kelvo
