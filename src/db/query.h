#pragma once

#include "db/connection.h"

#include <QDate>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace kelvo {

enum class SortOrder { None, Ascending, Descending };

// A data set: a statement's text, the rows it returned held in memory, and a
// current row. Besides reading, it edits the current row and writes it back to
// its table by the row's key, deletes it, locates rows and sorts them in memory.
// Every statement goes over the shared Connection and may throw DbError.
//
// Field names are matched without regard to letter case. Reading a field of an
// empty or closed data set gives NULL (empty text, 0, an invalid date).
class Query : public QObject {
    Q_OBJECT
public:
    explicit Query(Connection& connection, QObject* parent = nullptr);
    ~Query() override;

    Connection& connection() const { return connection_; }

    // --- The statement text: lines joined by line breaks. Changing the text of an
    // open data set closes it.
    void clearText();
    void addLine(const QString& line);
    void setLine(int index, const QString& line);
    void setText(const QString& text);
    const QStringList& lines() const;
    const QString& text() const { return text_; }

    // --- Running it.
    // Runs the text and holds its rows; the first row becomes current. Does
    // nothing when already open.
    void open();
    // Drops the rows; a pending edit is dropped with them.
    void close();
    bool isOpen() const { return open_; }
    // Runs the text as a statement that returns no rows.
    void execute();
    // The common pair "close, set the text to one statement, execute / open".
    void executeText(const QString& sql);
    void openText(const QString& sql);
    // Runs the text again and holds the rows as they now are; the sort stays,
    // and the row with the same key as the current one stays current (the same
    // position when it is gone).
    void refresh();

    // --- Rows and the current row (positions in the shown order, sort applied).
    int rowCount() const { return int(order_.size()); }
    bool isEmpty() const { return order_.empty(); }
    int currentRow() const { return current_; }  // -1 when empty
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    void first();
    void next();
    void prior();
    void last();
    // Makes `row` current (clamped to the rows there are).
    void moveTo(int row);

    // --- Fields.
    int fieldCount() const { return int(fields_.size()); }
    const FieldInfo& field(int index) const { return fields_[index]; }
    const std::vector<FieldInfo>& fields() const { return fields_; }
    // The field's position, or -1 when there is no such field.
    int fieldIndex(const QString& name) const;
    bool hasField(const QString& name) const { return fieldIndex(name) >= 0; }

    // Reading the current row (the edit buffer while editing).
    QVariant value(const QString& name) const;
    QString asString(const QString& name) const;
    qint64 asInteger(const QString& name) const;
    double asFloat(const QString& name) const;
    QDate asDate(const QString& name) const;
    bool isNull(const QString& name) const;
    // Reading any row, by position in the shown order and field position.
    QVariant valueAt(int row, int fieldIndex) const;

    // Writing the current row: starts editing when not editing yet.
    void setValue(const QString& name, const QVariant& value);
    void setString(const QString& name, const QString& value) { setValue(name, value); }
    void setInteger(const QString& name, qint64 value) { setValue(name, value); }
    void setFloat(const QString& name, double value) { setValue(name, value); }
    void setDate(const QString& name, const QDate& value) { setValue(name, value); }

    // --- Editing. post() writes the changed fields of the current row to its
    // table by its key (an appended row is inserted, and its new key read back);
    // cancel() drops the changes. Moving to another row or refreshing posts first.
    void edit();
    void append();
    void post();
    void cancel();
    bool isEditing() const { return editing_; }
    bool isAppending() const { return appending_; }
    bool isModified() const;
    // Deletes the current row from its table and from the data set; the row
    // after it becomes current, or the one before it when it was the last.
    void deleteRow();

    // --- Locate: the first row (in the shown order) whose field equals `value`,
    // exactly or without regard to letter case. Makes it current when found.
    bool locate(const QString& name, const QVariant& value, Qt::CaseSensitivity cs = Qt::CaseSensitive);

    // --- In-memory sort by one field in its own type; stays in force across
    // refresh and reopening. SortOrder::None returns to the statement's order.
    void sortBy(const QString& name, SortOrder order);
    QString sortField() const { return sortField_; }
    SortOrder sortOrder() const { return sortOrder_; }

    // --- Display: a number field with a display format (e.g. "## ### ##0.00")
    // shows through it. Formats are kept by field name, whether open or not.
    void setDisplayFormat(const QString& name, const QString& format);
    QString displayFormat(const QString& name) const;
    // The field's text as windows show it; dates and date-times use `datePattern`.
    QString displayText(int row, int fieldIndex, const QString& datePattern = QStringLiteral("d.M.yyyy")) const;

signals:
    // The rows were replaced (open, close, refresh, sort).
    void reset();
    // One row changed (post, cancel, edit buffer change), by shown position.
    void rowChanged(int row);
    // A row was removed at the shown position.
    void rowRemoved(int row);
    // A row was appended at the end (shown position).
    void rowAppended(int row);
    void currentChanged(int row);

private:
    int requireField(const QString& name) const;
    int firstFieldNamedLike(int index) const;
    const QVariant& cell(int storedRow, int fieldIndex) const;
    const QVariant* currentValue(const QString& name) const;
    void takeResult(ResultSet&& result);
    void applySort();
    void setCurrent(int row);
    void clearEdit();
    QString tableOfField(int fieldIndex) const;
    int keyFieldOf(const QString& table) const;
    QString sqlLiteral(const QVariant& value, const FieldInfo& field);
    QVariant normalized(const QVariant& value, const FieldInfo& field) const;
    void eraseStoredRow(int storedRow);
    void rereadRow(const QString& table, int keyField);

    Connection& connection_;
    // The text is kept whole, as it is run; its lines are split off only when
    // asked for, since most statements are set whole and never looked at.
    QString text_;
    mutable QStringList lines_;
    mutable bool linesSplit_ = true;
    bool open_ = false;
    std::vector<FieldInfo> fields_;
    // Per field, the first field whose name is the same without regard to case
    // (-1 while not yet looked up).
    mutable std::vector<int> firstNamedLike_;
    std::vector<QVariant> cells_;  // rows in the statement's order
    std::vector<int> order_;       // shown position -> stored row
    int current_ = -1;
    bool eof_ = true;
    bool bof_ = true;

    bool editing_ = false;
    bool appending_ = false;
    std::vector<QVariant> editBuffer_;
    std::vector<bool> modified_;

    QString sortField_;
    SortOrder sortOrder_ = SortOrder::None;
    QHash<QString, QString> displayFormats_;  // by lower-case field name
};

} // namespace kelvo
