#include "db/query.h"

#include "core/formats.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace kelvo {
namespace {

const QVariant kNull;

QString numberText(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

bool isNumeric(FieldType type)
{
    return type == FieldType::Integer || type == FieldType::Float;
}

} // namespace

Query::Query(Connection& connection, QObject* parent) : QObject(parent), connection_(connection) {}

Query::~Query() = default;

// --- Text ---------------------------------------------------------------

void Query::clearText()
{
    close();
    lines_.clear();
    linesSplit_ = true;
    text_.clear();
}

void Query::addLine(const QString& line)
{
    close();
    lines();
    lines_.append(line);
    text_ = lines_.join(QLatin1Char('\n'));
}

void Query::setLine(int index, const QString& line)
{
    close();
    lines();
    while (lines_.size() <= index)
        lines_.append(QString());
    lines_[index] = line;
    text_ = lines_.join(QLatin1Char('\n'));
}

void Query::setText(const QString& text)
{
    close();
    text_ = text;
    lines_.clear();
    linesSplit_ = false;
}

const QStringList& Query::lines() const
{
    if (!linesSplit_) {
        lines_ = text_.split(QLatin1Char('\n'));
        linesSplit_ = true;
    }
    return lines_;
}

// --- Running ------------------------------------------------------------

void Query::open()
{
    if (open_)
        return;
    takeResult(connection_.select(text()));
    open_ = true;
    applySort();
    current_ = -1;
    emit reset();
    setCurrent(order_.empty() ? -1 : 0);
}

void Query::close()
{
    if (!open_)
        return;
    clearEdit();
    open_ = false;
    fields_.clear();
    firstNamedLike_.clear();
    cells_.clear();
    order_.clear();
    current_ = -1;
    eof_ = bof_ = true;
    emit reset();
}

void Query::execute()
{
    connection_.execute(text());
}

void Query::executeText(const QString& sql)
{
    setText(sql);
    execute();
}

void Query::openText(const QString& sql)
{
    setText(sql);
    open();
}

void Query::refresh()
{
    if (!open_) {
        open();
        return;
    }
    if (editing_)
        post();

    // Remember the current row by its key, so that it stays current when the
    // rows come back in another order.
    QVariant key;
    int keyField = -1;
    for (int i = 0; i < fieldCount(); ++i) {
        if (fields_[i].primaryKey) {
            keyField = i;
            break;
        }
    }
    const int oldPosition = current_;
    if (keyField >= 0 && current_ >= 0)
        key = cell(order_[current_], keyField);

    takeResult(connection_.select(text()));
    applySort();
    int position = order_.empty() ? -1 : std::clamp(oldPosition, 0, int(order_.size()) - 1);
    if (key.isValid()) {
        for (int row = 0; row < rowCount(); ++row) {
            if (cell(order_[row], keyField) == key) {
                position = row;
                break;
            }
        }
    }
    current_ = -1;
    emit reset();
    setCurrent(position);
}

void Query::takeResult(ResultSet&& result)
{
    clearEdit();
    fields_ = std::move(result.fields);
    firstNamedLike_.assign(fields_.size(), -1);
    cells_ = std::move(result.cells);
    order_.resize(fields_.empty() ? 0 : cells_.size() / fields_.size());
    std::iota(order_.begin(), order_.end(), 0);
}

// --- Navigation ---------------------------------------------------------

void Query::setCurrent(int row)
{
    current_ = row;
    eof_ = bof_ = order_.empty();
    emit currentChanged(current_);
}

void Query::first()
{
    if (editing_)
        post();
    setCurrent(order_.empty() ? -1 : 0);
    bof_ = true;
}

void Query::last()
{
    if (editing_)
        post();
    setCurrent(int(order_.size()) - 1);
    eof_ = true;
}

void Query::next()
{
    // A pending edit is written even when there is no next row: walking off the
    // end must not leave the last row's changes unposted.
    if (editing_)
        post();
    if (order_.empty() || current_ >= int(order_.size()) - 1) {
        eof_ = true;
        return;
    }
    setCurrent(current_ + 1);
}

void Query::prior()
{
    if (editing_)
        post();
    if (order_.empty() || current_ <= 0) {
        bof_ = true;
        return;
    }
    setCurrent(current_ - 1);
}

void Query::moveTo(int row)
{
    if (order_.empty())
        return;
    row = std::clamp(row, 0, int(order_.size()) - 1);
    if (row == current_)
        return;
    if (editing_)
        post();
    setCurrent(row);
}

// --- Fields -------------------------------------------------------------

int Query::fieldIndex(const QString& name) const
{
    // The program names fields as the server spells them, so an exact match is
    // tried first: it compares lengths and memory instead of folding the case
    // of every character of every field name on the way.
    for (int i = 0; i < fieldCount(); ++i) {
        if (fields_[i].name == name)
            return firstFieldNamedLike(i);
    }
    for (int i = 0; i < fieldCount(); ++i) {
        if (fields_[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

// What a search without regard to case finds for the name of field `index`.
int Query::firstFieldNamedLike(int index) const
{
    int& first = firstNamedLike_[size_t(index)];
    if (first < 0) {
        first = index;
        for (int i = 0; i < index; ++i) {
            if (fields_[i].name.compare(fields_[index].name, Qt::CaseInsensitive) == 0) {
                first = i;
                break;
            }
        }
    }
    return first;
}

int Query::requireField(const QString& name) const
{
    const int index = fieldIndex(name);
    if (index < 0)
        throw DbError(QStringLiteral("Pole „%1“ v datové sadě neexistuje.").arg(name));
    return index;
}

const QVariant& Query::cell(int storedRow, int fieldIndex) const
{
    return cells_[size_t(storedRow) * fields_.size() + size_t(fieldIndex)];
}

QVariant Query::valueAt(int row, int fieldIndex) const
{
    if (row < 0 || row >= rowCount() || fieldIndex < 0 || fieldIndex >= fieldCount())
        return QVariant();
    if (editing_ && row == current_)
        return editBuffer_[fieldIndex];
    return cell(order_[row], fieldIndex);
}

// The current row's value (the edit buffer's while editing) without a copy;
// nullptr where value() gives NULL because the data set is closed or empty.
const QVariant* Query::currentValue(const QString& name) const
{
    if (!open_)
        return nullptr;
    const int index = requireField(name);
    if (current_ < 0 || current_ >= rowCount())
        return nullptr;
    if (editing_)
        return &editBuffer_[index];
    return &cell(order_[current_], index);
}

QVariant Query::value(const QString& name) const
{
    const QVariant* v = currentValue(name);
    return v ? *v : QVariant();
}

QString Query::asString(const QString& name) const
{
    const QVariant* v = currentValue(name);
    if (!v || v->isNull())
        return QString();
    switch (v->typeId()) {
    case QMetaType::Double:
        return numberText(v->toDouble());
    case QMetaType::QDate:
        return v->toDate().toString(Qt::ISODate);
    case QMetaType::QDateTime:
        return v->toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    default:
        return v->toString();
    }
}

qint64 Query::asInteger(const QString& name) const
{
    const QVariant* v = currentValue(name);
    if (!v || v->isNull())
        return 0;
    if (v->typeId() == QMetaType::Double)
        return qint64(std::llround(v->toDouble()));
    bool ok = false;
    const qint64 number = v->toLongLong(&ok);
    return ok ? number : 0;
}

double Query::asFloat(const QString& name) const
{
    const QVariant* v = currentValue(name);
    if (!v || v->isNull())
        return 0;
    // Numeric columns hold doubles; only other types need the conversion.
    if (v->typeId() == QMetaType::Double)
        return *static_cast<const double*>(v->constData());
    bool ok = false;
    const double number = v->toDouble(&ok);
    return ok ? number : 0;
}

QDate Query::asDate(const QString& name) const
{
    const QVariant* v = currentValue(name);
    if (!v)
        return QDate();
    if (v->typeId() == QMetaType::QDateTime)
        return v->toDateTime().date();
    if (v->typeId() == QMetaType::QDate)
        return v->toDate();
    return QDate::fromString(v->toString(), Qt::ISODate);
}

bool Query::isNull(const QString& name) const
{
    return value(name).isNull();
}

QVariant Query::normalized(const QVariant& value, const FieldInfo& field) const
{
    if (value.isNull())
        return QVariant();
    bool ok = true;
    QVariant result;
    switch (field.type) {
    case FieldType::Integer: {
        if (value.typeId() == QMetaType::Double) {
            const double d = value.toDouble();
            ok = std::isfinite(d) && d == std::trunc(d);
            result = qlonglong(d);
        } else {
            result = value.toString().trimmed().toLongLong(&ok);
        }
        break;
    }
    case FieldType::Float: {
        const double d = value.typeId() == QMetaType::QString
                             ? value.toString().trimmed().toDouble(&ok)
                             : value.toDouble(&ok);
        ok = ok && std::isfinite(d);
        result = d;
        break;
    }
    case FieldType::Date:
        if (value.typeId() == QMetaType::QDateTime)
            result = value.toDateTime().date();
        else if (value.typeId() == QMetaType::QDate)
            result = value;
        else
            result = QDate::fromString(value.toString(), Qt::ISODate);
        ok = result.toDate().isValid();
        break;
    case FieldType::DateTime:
        result = value.typeId() == QMetaType::QDate ? QDateTime(value.toDate(), QTime(0, 0))
                                                    : value.toDateTime();
        ok = result.toDateTime().isValid();
        break;
    case FieldType::Text:
        result = value.toString();
        break;
    }
    if (!ok) {
        throw DbError(QStringLiteral("„%1“ není platná hodnota pro pole %2.")
                          .arg(value.toString(), field.name));
    }
    return result;
}

void Query::setValue(const QString& name, const QVariant& value)
{
    if (!open_)
        throw DbError(QStringLiteral("Datová sada není otevřena."));
    const int index = requireField(name);
    if (!editing_)
        edit();
    editBuffer_[index] = normalized(value, fields_[index]);
    modified_[index] = true;
    emit rowChanged(current_);
}

// --- Editing ------------------------------------------------------------

void Query::edit()
{
    if (editing_)
        return;
    if (!open_ || current_ < 0)
        throw DbError(QStringLiteral("Není vybrán žádný záznam k úpravě."));
    const size_t width = fields_.size();
    const auto begin = cells_.begin() + std::ptrdiff_t(size_t(order_[current_]) * width);
    editBuffer_.assign(begin, begin + std::ptrdiff_t(width));
    modified_.assign(width, false);
    editing_ = true;
}

void Query::append()
{
    if (!open_)
        throw DbError(QStringLiteral("Datová sada není otevřena."));
    if (editing_)
        post();
    if (fields_.empty())
        throw DbError(QStringLiteral("Datová sada nemá žádná pole."));
    const int stored = int(cells_.size() / fields_.size());
    cells_.resize(cells_.size() + fields_.size());
    order_.push_back(stored);
    editBuffer_.assign(fields_.size(), QVariant());
    modified_.assign(fields_.size(), false);
    editing_ = appending_ = true;
    const int row = int(order_.size()) - 1;
    emit rowAppended(row);
    setCurrent(row);
}

bool Query::isModified() const
{
    return appending_ || std::find(modified_.begin(), modified_.end(), true) != modified_.end();
}

QString Query::tableOfField(int index) const
{
    return fields_[index].table;
}

int Query::keyFieldOf(const QString& table) const
{
    for (int i = 0; i < fieldCount(); ++i) {
        if (fields_[i].primaryKey && fields_[i].table == table)
            return i;
    }
    return -1;
}

QString Query::sqlLiteral(const QVariant& value, const FieldInfo& field)
{
    if (value.isNull())
        return QStringLiteral("NULL");
    switch (field.type) {
    case FieldType::Integer:
        return QString::number(value.toLongLong());
    case FieldType::Float:
        return numberText(value.toDouble());
    case FieldType::Date:
        return value.toDate().toString(QStringLiteral("\"yyyy-MM-dd\""));
    case FieldType::DateTime:
        return value.toDateTime().toString(QStringLiteral("\"yyyy-MM-dd hh:mm:ss\""));
    case FieldType::Text:
        break;
    }
    return connection_.quote(value.toString());
}

void Query::post()
{
    if (!editing_)
        return;
    QString table;
    QString assignments;  // "a=1,b=2" of an update
    QString columns;      // "a,b" and "1,2" of an insert
    QString values;
    bool first = true;
    for (int i = 0; i < fieldCount(); ++i) {
        if (!modified_[i])
            continue;
        const FieldInfo& f = fields_[i];
        if (f.table.isEmpty() || (!table.isEmpty() && f.table != table))
            throw DbError(QStringLiteral("Pole %1 nelze zapsat do databáze.").arg(f.name));
        table = f.table;
        const QString literal = sqlLiteral(editBuffer_[i], f);
        if (!first) {
            assignments += QLatin1Char(',');
            columns += QLatin1Char(',');
            values += QLatin1Char(',');
        }
        first = false;
        if (appending_) {
            columns += f.originalName;
            values += literal;
        } else {
            assignments += f.originalName;
            assignments += QLatin1Char('=');
            assignments += literal;
        }
    }

    const int stored = order_[current_];
    const auto storedRow = cells_.begin() + std::ptrdiff_t(size_t(stored) * fields_.size());
    if (appending_) {
        if (table.isEmpty()) {
            // Nothing typed into the new row: it is dropped, as an empty
            // appended row is in any grid.
            cancel();
            return;
        }
        connection_.execute(QStringLiteral("insert into ") + table + QStringLiteral(" (") + columns +
                            QStringLiteral(") values (") + values + QLatin1Char(')'));
        const int keyField = keyFieldOf(table);
        if (keyField >= 0 && fields_[keyField].autoIncrement)
            editBuffer_[keyField] = qlonglong(connection_.lastInsertId());
        std::move(editBuffer_.begin(), editBuffer_.end(), storedRow);
        clearEdit();
        if (keyField >= 0)
            rereadRow(table, keyField);
        emit rowChanged(current_);
        return;
    }

    if (!table.isEmpty()) {
        const int keyField = keyFieldOf(table);
        if (keyField < 0)
            throw DbError(QStringLiteral("Záznam nelze zapsat: tabulka %1 nemá v datové sadě klíč.").arg(table));
        connection_.execute(QStringLiteral("update ") + table + QStringLiteral(" set ") + assignments +
                            QStringLiteral(" where ") + fields_[keyField].originalName + QLatin1Char('=') +
                            sqlLiteral(cell(stored, keyField), fields_[keyField]));
        // The edit buffer began as a copy of the row, so only what was set differs.
        for (size_t i = 0; i < fields_.size(); ++i) {
            if (modified_[i])
                storedRow[std::ptrdiff_t(i)] = std::move(editBuffer_[i]);
        }
    }
    clearEdit();
    emit rowChanged(current_);
}

// Reads an inserted row back, so that it shows the defaults the server gave it.
void Query::rereadRow(const QString& table, int keyField)
{
    const int stored = order_[current_];
    const ResultSet fresh = connection_.select(
        QStringLiteral("select * from %1 where %2=%3")
            .arg(table, fields_[keyField].originalName, sqlLiteral(cell(stored, keyField), fields_[keyField])));
    if (fresh.rowCount() != 1)
        return;
    for (int i = 0; i < fieldCount(); ++i) {
        if (fields_[i].table != table)
            continue;
        for (size_t j = 0; j < fresh.fields.size(); ++j) {
            if (fresh.fields[j].originalName.compare(fields_[i].originalName, Qt::CaseInsensitive) == 0) {
                cells_[size_t(stored) * fields_.size() + size_t(i)] = fresh.cells[j];
                break;
            }
        }
    }
}

void Query::cancel()
{
    if (!editing_)
        return;
    if (appending_) {
        const int row = current_;
        const int stored = order_[row];
        clearEdit();
        eraseStoredRow(stored);
        emit rowRemoved(row);
        setCurrent(order_.empty() ? -1 : std::min(row, int(order_.size()) - 1));
        return;
    }
    clearEdit();
    emit rowChanged(current_);
}

void Query::clearEdit()
{
    editing_ = appending_ = false;
    editBuffer_.clear();
    modified_.clear();
}

void Query::eraseStoredRow(int stored)
{
    const size_t width = fields_.size();
    cells_.erase(cells_.begin() + std::ptrdiff_t(size_t(stored) * width),
                 cells_.begin() + std::ptrdiff_t(size_t(stored + 1) * width));
    order_.erase(std::find(order_.begin(), order_.end(), stored));
    for (int& r : order_) {
        if (r > stored)
            --r;
    }
}

void Query::deleteRow()
{
    if (editing_ && appending_) {
        cancel();
        return;
    }
    if (!open_ || current_ < 0)
        throw DbError(QStringLiteral("Nelze smazat záznam: datová sada je prázdná."));
    cancel();
    int keyField = -1;
    for (int i = 0; i < fieldCount(); ++i) {
        if (fields_[i].primaryKey) {
            keyField = i;
            break;
        }
    }
    if (keyField < 0)
        throw DbError(QStringLiteral("Záznam nelze smazat: datová sada nemá klíč."));
    const int row = current_;
    const int stored = order_[row];
    connection_.execute(QStringLiteral("delete from %1 where %2=%3")
                            .arg(fields_[keyField].table, fields_[keyField].originalName,
                                 sqlLiteral(cell(stored, keyField), fields_[keyField])));
    eraseStoredRow(stored);
    emit rowRemoved(row);
    setCurrent(order_.empty() ? -1 : std::min(row, int(order_.size()) - 1));
}

// --- Locate -------------------------------------------------------------

bool Query::locate(const QString& name, const QVariant& wanted, Qt::CaseSensitivity cs)
{
    if (!open_)
        return false;
    const int index = requireField(name);
    const FieldInfo& f = fields_[index];
    for (int row = 0; row < rowCount(); ++row) {
        const QVariant& v = cell(order_[row], index);
        bool equal = false;
        if (v.isNull() || wanted.isNull()) {
            equal = v.isNull() && (wanted.isNull() || wanted.toString().isEmpty());
        } else if (isNumeric(f.type)) {
            bool ok = false;
            const double number = wanted.typeId() == QMetaType::QString
                                      ? wanted.toString().trimmed().toDouble(&ok)
                                      : wanted.toDouble(&ok);
            equal = ok && v.toDouble() == number;
        } else if (f.type == FieldType::Date) {
            const QDate date = wanted.typeId() == QMetaType::QDate ? wanted.toDate()
                                                                 : QDate::fromString(wanted.toString(), Qt::ISODate);
            equal = v.toDate() == date;
        } else {
            equal = v.toString().compare(wanted.toString(), cs) == 0;
        }
        if (equal) {
            if (row != current_) {
                if (editing_)
                    post();
                setCurrent(row);
            }
            return true;
        }
    }
    return false;
}

// --- Sort ---------------------------------------------------------------

void Query::sortBy(const QString& name, SortOrder order)
{
    const int keepStored = current_ >= 0 ? order_[current_] : -1;
    if (editing_)
        post();
    sortOrder_ = name.isEmpty() ? SortOrder::None : order;
    sortField_ = sortOrder_ == SortOrder::None ? QString() : name;
    applySort();
    if (!open_)
        return;
    int position = order_.empty() ? -1 : 0;
    if (keepStored >= 0)
        position = int(std::find(order_.begin(), order_.end(), keepStored) - order_.begin());
    current_ = -1;
    emit reset();
    setCurrent(position);
}

void Query::applySort()
{
    std::iota(order_.begin(), order_.end(), 0);
    const int index = sortField_.isEmpty() ? -1 : fieldIndex(sortField_);
    if (index < 0 || sortOrder_ == SortOrder::None || order_.empty())
        return;
    const bool descending = sortOrder_ == SortOrder::Descending;
    const FieldType type = fields_[index].type;
    auto ordered = [descending](auto less) {
        return [less, descending](int a, int b) { return descending ? less(b, a) : less(a, b); };
    };

    if (type == FieldType::Text) {
        // Czech collation, computed once per row, so that a click sorts a
        // hundred thousand rows without comparing strings over and over.
        QCollator collator{QLocale(QLocale::Czech, QLocale::CzechRepublic)};
        collator.setNumericMode(false);
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        std::vector<QCollatorSortKey> keys;
        keys.reserve(cells_.size() / fields_.size());
        const int rows = int(cells_.size() / fields_.size());
        for (int r = 0; r < rows; ++r)
            keys.push_back(collator.sortKey(cell(r, index).toString()));
        std::stable_sort(order_.begin(), order_.end(),
                         ordered([&keys](int a, int b) { return keys[a].compare(keys[b]) < 0; }));
        return;
    }

    auto number = [this, index, type](int r) -> double {
        const QVariant& v = cell(r, index);
        if (v.isNull())
            return -HUGE_VAL;
        if (type == FieldType::Date)
            return double(v.toDate().toJulianDay());
        if (type == FieldType::DateTime)
            return double(v.toDateTime().toMSecsSinceEpoch());
        return v.toDouble();
    };
    std::vector<double> keys(cells_.size() / fields_.size());
    for (size_t r = 0; r < keys.size(); ++r)
        keys[r] = number(int(r));
    std::stable_sort(order_.begin(), order_.end(), ordered([&keys](int a, int b) { return keys[a] < keys[b]; }));
}

// --- Display ------------------------------------------------------------

void Query::setDisplayFormat(const QString& name, const QString& format)
{
    displayFormats_.insert(name.toLower(), format);
}

QString Query::displayFormat(const QString& name) const
{
    return displayFormats_.value(name.toLower());
}

QString Query::displayText(int row, int index, const QString& datePattern) const
{
    const QVariant v = valueAt(row, index);
    if (v.isNull())
        return QString();
    const FieldInfo& f = fields_[index];
    switch (f.type) {
    case FieldType::Integer:
    case FieldType::Float: {
        const QString format = displayFormat(f.name);
        if (!format.isEmpty())
            return formatNumber(v.toDouble(), format);
        if (f.type == FieldType::Integer)
            return QString::number(v.toLongLong());
        return QString::number(v.toDouble(), 'g', 15).replace(QLatin1Char('.'), QLatin1Char(','));
    }
    case FieldType::Date:
        return v.toDate().toString(datePattern);
    case FieldType::DateTime: {
        const QDateTime dt = v.toDateTime();
        // A time of midnight is not shown, as a desktop shows a plain date.
        if (dt.time() == QTime(0, 0))
            return dt.date().toString(datePattern);
        return dt.date().toString(datePattern) + QLatin1Char(' ') + dt.time().toString(QStringLiteral("H:mm:ss"));
    }
    case FieldType::Text:
        break;
    }
    return v.toString();
}

} // namespace kelvo
