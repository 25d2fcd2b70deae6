#pragma once

#include "core/formats.h"
#include "core/messageservice.h"
#include "db/query.h"

#include <functional>
#include <QAbstractTableModel>
#include <vector>

namespace kelvo {

// One grid column over one field of a data set.
struct QueryColumn {
    QString field;
    QString title;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;      // of the values
    Qt::Alignment titleAlignment = Qt::AlignLeft | Qt::AlignVCenter; // of the title
    int width = -1; // pixels; -1 leaves the grid's default
    bool visible = true;
};

// A grid's view of a Query: one row per row of the data set in its shown order
// (sort applied), one column per QueryColumn. Values show as the data set
// displays them, dates in the program's short date format.
//
// With editing on, cells are edited in place through Query::setValue, and one
// blank row after the last one appends a new row when something is typed into
// it. An edited row is written when the grid leaves it (goToRow) - a failed
// write keeps the row and its typed values for correction.
//
// Failures of editing go to the error box of the given MessageService, since a
// grid's editor cannot carry an exception to a command handler.
class QueryTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    QueryTableModel(Query& query, std::vector<QueryColumn> columns, const DateFormat& dateFormat,
                    MessageService& messages, QObject* parent = nullptr);

    Query& query() const { return query_; }
    const std::vector<QueryColumn>& columns() const { return columns_; }
    // The column position of a field, or -1.
    int columnOf(const QString& field) const;

    void setEditable(bool editable);
    bool isEditable() const { return editable_; }
    // Whether an editable grid offers the blank row for appending (on by default).
    void setAppendAllowed(bool allowed);
    // Gives a row's text colour (e.g. a QColor in a QVariant), or an invalid
    // QVariant for the grid's own colour.
    using RowColour = std::function<QVariant(const Query& query, int row)>;
    void setRowColour(RowColour colour) { rowColour_ = std::move(colour); }

    // The blank row for appending, or -1 when there is none.
    int appendRow() const;

    // The grid moves to `row` (the blank row included, -1 for "leaves the grid"):
    // a pending edit of the row it leaves is written first. Returns false (after
    // showing the error) when that write fails; the data set then stays on the
    // edited row.
    bool goToRow(int row);
    // "Smazat řádek" on the grid's row `row`: deletes it from its table at once,
    // or drops an appended row not written yet. The blank row holds nothing to
    // delete; on an empty table the data set's refusal is shown. Returns whether
    // it ran to its end.
    bool deleteRowAt(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  private:
    int expectedRows() const;
    void resetFromQuery();
    void onRowChanged(int row);
    void onRowRemoved(int row);
    void resolveFields();
    QVariant editValue(int row, int fieldIndex) const;
    QVariant parsedValue(const QString& text, int fieldIndex) const;

    Query& query_;
    std::vector<QueryColumn> columns_;
    std::vector<int> fieldIndexes_; // field position in the data set per column, -1 when missing
    const DateFormat& dateFormat_;
    MessageService& messages_;
    bool editable_ = false;
    bool appendAllowed_ = true;
    RowColour rowColour_;
    int rows_ = 0; // what the attached views were last told
};

} // namespace kelvo
