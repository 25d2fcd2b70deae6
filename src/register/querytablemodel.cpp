#include "register/querytablemodel.h"

#include "register/commandguard.h"

#include "db/dberror.h"

#include <exception>

namespace kelvo {

QueryTableModel::QueryTableModel(Query& query, std::vector<QueryColumn> columns,
                                 const DateFormat& dateFormat, MessageService& messages,
                                 QObject* parent)
    : QAbstractTableModel(parent), query_(query), columns_(std::move(columns)),
      dateFormat_(dateFormat), messages_(messages) {
    resolveFields();
    rows_ = expectedRows();
    connect(&query_, &Query::reset, this, &QueryTableModel::resetFromQuery);
    connect(&query_, &Query::rowChanged, this, &QueryTableModel::onRowChanged);
    connect(&query_, &Query::rowAppended, this, &QueryTableModel::onRowChanged);
    connect(&query_, &Query::rowRemoved, this, &QueryTableModel::onRowRemoved);
}

int QueryTableModel::columnOf(const QString& field) const {
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (columns_[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

void QueryTableModel::setEditable(bool editable) {
    editable_ = editable;
    resetFromQuery();
}

void QueryTableModel::setAppendAllowed(bool allowed) {
    appendAllowed_ = allowed;
    resetFromQuery();
}

int QueryTableModel::appendRow() const {
    // While a row is being appended it is itself the last row; the blank row
    // comes back once it is written or dropped.
    if (!editable_ || !appendAllowed_ || !query_.isOpen() || query_.isAppending())
        return -1;
    return query_.rowCount();
}

int QueryTableModel::expectedRows() const {
    return query_.rowCount() + (appendRow() >= 0 ? 1 : 0);
}

void QueryTableModel::resolveFields() {
    fieldIndexes_.clear();
    for (const QueryColumn& column : columns_)
        fieldIndexes_.push_back(query_.fieldIndex(column.field));
}

void QueryTableModel::resetFromQuery() {
    beginResetModel();
    resolveFields();
    rows_ = expectedRows();
    endResetModel();
}

// The data set has already changed when it signals, so the views are told of a
// grown row count as an insertion at the end and of anything else as a reset.
void QueryTableModel::onRowChanged(int row) {
    const int expected = expectedRows();
    if (expected > rows_) {
        beginInsertRows(QModelIndex(), rows_, expected - 1);
        rows_ = expected;
        endInsertRows();
    } else if (expected < rows_) {
        resetFromQuery();
        return;
    }
    if (row >= 0 && row < rows_)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void QueryTableModel::onRowRemoved(int row) {
    if (expectedRows() != rows_ || row < 0 || row >= rows_) {
        resetFromQuery();
        return;
    }
    // A dropped appended row: its place is the blank row again.
    emit dataChanged(index(row, 0), index(rows_ - 1, columnCount() - 1));
}

int QueryTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int QueryTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant QueryTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_)
        return QVariant();
    const QueryColumn& column = columns_[size_t(index.column())];
    if (role == Qt::TextAlignmentRole)
        return int(column.alignment);
    const int row = index.row();
    if (row >= query_.rowCount())
        return role == Qt::DisplayRole || role == Qt::EditRole ? QVariant(QString()) : QVariant();
    const int field = fieldIndexes_[size_t(index.column())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return field < 0 ? QString() : query_.displayText(row, field, dateFormat_.pattern());
    case Qt::ForegroundRole:
        return rowColour_ ? rowColour_(query_, row) : QVariant();
    default:
        return QVariant();
    }
}

QVariant QueryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        // The row indicator carries no numbers.
        return role == Qt::DisplayRole ? QVariant(QString()) : QVariant();
    }
    if (section < 0 || section >= columnCount())
        return QVariant();
    const QueryColumn& column = columns_[size_t(section)];
    if (role == Qt::DisplayRole)
        return column.title;
    if (role == Qt::TextAlignmentRole)
        return int(column.titleAlignment);
    return QVariant();
}

Qt::ItemFlags QueryTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editable_ && fieldIndexes_[size_t(index.column())] >= 0)
        result |= Qt::ItemIsEditable;
    return result;
}

QVariant QueryTableModel::parsedValue(const QString& typed, int fieldIndex) const {
    const FieldInfo& field = query_.field(fieldIndex);
    const QString text = typed.trimmed();
    if (field.type == FieldType::Text)
        return typed;
    if (text.isEmpty())
        return QVariant();
    if (field.type == FieldType::Date || field.type == FieldType::DateTime) {
        const QDate date = dateFormat_.parse(text);
        if (!date.isValid())
            throw DbError(QStringLiteral("„%1“ není platné datum.").arg(text));
        return date;
    }
    // Numbers are typed as they are shown: a decimal comma, blanks between groups.
    QString number = text;
    number.remove(QLatin1Char(' '))
        .remove(QChar(0x00A0))
        .replace(QLatin1Char(','), QLatin1Char('.'));
    return number;
}

bool QueryTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!editable_ || role != Qt::EditRole || !index.isValid() || index.row() >= rows_)
        return false;
    const int field = fieldIndexes_[size_t(index.column())];
    if (field < 0)
        return false;
    const int row = index.row();
    if (row == appendRow() && value.toString().trimmed().isEmpty())
        return false;
    return runCommand(messages_, [&] {
        if (row == appendRow()) {
            query_.append();
        } else {
            // An editor closed without a change leaves the row alone.
            if (value.toString() == query_.displayText(row, field, dateFormat_.pattern()))
                return;
            if (row != query_.currentRow())
                query_.moveTo(row);
        }
        query_.setValue(query_.field(field).name, parsedValue(value.toString(), field));
    });
}

bool QueryTableModel::goToRow(int row) {
    return runCommand(messages_, [&] {
        if (query_.isEditing() && row != query_.currentRow())
            query_.post();
        if (row >= 0 && row < query_.rowCount())
            query_.moveTo(row);
    });
}

bool QueryTableModel::deleteRowAt(int row) {
    if (row >= 0 && row == appendRow() && !query_.isEmpty())
        return true;
    if (row >= 0 && row < query_.rowCount() && row != query_.currentRow() && !goToRow(row))
        return false;
    return runCommand(messages_, [&] { query_.deleteRow(); });
}

} // namespace kelvo
