#include "db/connection.h"

#include "db/cp1250.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <charconv>
#include <cstdint>
#include <iterator>
#include <mysql.h>
#include <mysqld_error.h>
#include <errmsg.h>

namespace kelvo {
namespace {

// Seconds the client waits for the server to accept the connection. Reads and
// writes have no limit of their own: a statement may legitimately wait for a
// lock (the server's lock wait time-out answers that).
constexpr unsigned int kConnectTimeoutSeconds = 10;

FieldType fieldTypeOf(const MYSQL_FIELD& field)
{
    switch (field.type) {
    case MYSQL_TYPE_TINY:
    case MYSQL_TYPE_SHORT:
    case MYSQL_TYPE_LONG:
    case MYSQL_TYPE_INT24:
    case MYSQL_TYPE_LONGLONG:
    case MYSQL_TYPE_YEAR:
    case MYSQL_TYPE_BIT:
        return FieldType::Integer;
    case MYSQL_TYPE_DECIMAL:
    case MYSQL_TYPE_NEWDECIMAL:
    case MYSQL_TYPE_FLOAT:
    case MYSQL_TYPE_DOUBLE:
        return FieldType::Float;
    case MYSQL_TYPE_DATE:
    case MYSQL_TYPE_NEWDATE:
        return FieldType::Date;
    case MYSQL_TYPE_DATETIME:
    case MYSQL_TYPE_TIMESTAMP:
        return FieldType::DateTime;
    default:
        return FieldType::Text;
    }
}

int digitsAt(const char* p, int count)
{
    int value = 0;
    for (int i = 0; i < count; ++i) {
        if (p[i] < '0' || p[i] > '9')
            return -1;
        value = value * 10 + (p[i] - '0');
    }
    return value;
}

QDate parseDate(const char* text, unsigned long length)
{
    if (length < 10)
        return {};
    const QDate date(digitsAt(text, 4), digitsAt(text + 5, 2), digitsAt(text + 8, 2));
    return date.isValid() ? date : QDate();  // "0000-00-00" reads as NULL
}

// Decimal columns arrive as digits with at most a sign and one point. With at
// most fifteen significant digits, the digits read as a whole number and the
// power of ten are both exact doubles, and one division rounds correctly: the
// same double the general parser gives, for a fraction of its work. Anything
// else (exponents, longer numbers) is left to the general parser.
bool parsePlainDecimal(const char* p, const char* end, double& out)
{
    static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const bool negative = p != end && *p == '-';
    if (negative)
        ++p;
    std::uint64_t whole = 0;
    int significant = 0;
    int scale = 0;
    bool point = false;
    bool digit = false;
    for (; p != end; ++p) {
        if (*p >= '0' && *p <= '9') {
            if (significant > 0 || *p != '0')
                ++significant;
            if (significant > 15)
                return false;
            whole = whole * 10 + std::uint64_t(*p - '0');
            scale += point ? 1 : 0;
            digit = true;
        } else if (*p == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    if (!digit || scale >= int(std::size(kPowersOfTen)))
        return false;
    const double value = double(whole) / kPowersOfTen[scale];
    out = negative ? -value : value;
    return true;
}

QVariant convert(FieldType type, const char* text, unsigned long length)
{
    if (text == nullptr)
        return QVariant();
    switch (type) {
    case FieldType::Integer: {
        qlonglong value = 0;
        std::from_chars(text, text + length, value);
        return value;
    }
    case FieldType::Float: {
        double value = 0;
        if (!parsePlainDecimal(text, text + length, value))
            std::from_chars(text, text + length, value);
        return value;
    }
    case FieldType::Date: {
        const QDate date = parseDate(text, length);
        return date.isValid() ? QVariant(date) : QVariant(QMetaType::fromType<QDate>());
    }
    case FieldType::DateTime: {
        const QDate date = parseDate(text, length);
        if (!date.isValid())
            return QVariant(QMetaType::fromType<QDateTime>());
        QTime time;
        if (length >= 19)
            time = QTime(digitsAt(text + 11, 2), digitsAt(text + 14, 2), digitsAt(text + 17, 2));
        return QDateTime(date, time.isValid() ? time : QTime(0, 0));
    }
    case FieldType::Text:
        return cp1250::decode(text, qsizetype(length));
    }
    return QVariant();
}

// Short texts that repeat down a column (a group, a method, a place, "A" or
// "N") share one string instead of each cell holding a copy of its own: a
// large result then takes fewer allocations and much less memory. A column
// whose texts hardly repeat stops being looked at after a while.
class RepeatedTexts {
public:
    QVariant text(const char* data, unsigned long length)
    {
        if (!watching_ || length > kLongest)
            return cp1250::decode(data, qsizetype(length));
        const std::string_view bytes(data, length);
        for (const Entry& entry : entries_) {
            if (entry.bytes == bytes) {
                ++hits_;
                return entry.value;
            }
        }
        ++misses_;
        if (misses_ >= kTrial && hits_ < misses_)
            watching_ = false;
        Entry& entry = entries_[next_];
        next_ = (next_ + 1) % entries_.size();
        entry.bytes.assign(bytes);
        entry.value = cp1250::decode(data, qsizetype(length));
        return entry.value;
    }

private:
    static constexpr unsigned long kLongest = 40;
    static constexpr int kTrial = 64;
    struct Entry {
        std::string bytes;
        QVariant value;
    };
    std::array<Entry, 8> entries_;
    size_t next_ = 0;
    int hits_ = 0;
    int misses_ = 0;
    bool watching_ = true;
};

enum class TransactionWord { None, Start, Commit, Rollback };

// Looks at the statement in place: every statement passes here, and a copy
// of its whole text in lower case only to read its first word was a cost paid
// for each of them.
TransactionWord transactionWord(const QString& sql)
{
    const QStringView s = QStringView(sql).trimmed();
    if (s.startsWith(QLatin1String("start transaction"), Qt::CaseInsensitive) ||
        s.compare(QLatin1String("begin"), Qt::CaseInsensitive) == 0)
        return TransactionWord::Start;
    if (s.startsWith(QLatin1String("commit"), Qt::CaseInsensitive))
        return TransactionWord::Commit;
    if (s.startsWith(QLatin1String("rollback"), Qt::CaseInsensitive))
        return TransactionWord::Rollback;
    return TransactionWord::None;
}

} // namespace

const QString kTransactionLostText =
    QStringLiteral("Spojení s databází se přerušilo a rozpracované změny, které ještě nebyly uloženy, "
                   "databáze zahodila. Ukončete rozdělanou práci bez uložení a začněte ji znovu.");

const QString kConnectionLostWithChangesText =
    QStringLiteral("Spojení s databází bylo přerušeno a rozpracované změny, které ještě nebyly uloženy, "
                   "databáze zahodila; nic z nich není uloženo.");

QString describeServerError(unsigned int code, const QString& serverText)
{
    QString czech;
    switch (code) {
    case CR_SERVER_GONE_ERROR:
    case CR_SERVER_LOST:
    case ER_CONNECTION_KILLED:
        czech = QStringLiteral("Spojení s databází bylo přerušeno; příkaz nebyl proveden. "
                               "Při další akci se program pokusí spojit znovu.");
        break;
    case CR_CONN_HOST_ERROR:
    case CR_CONNECTION_ERROR:
        czech = QStringLiteral("Nelze se spojit s databázovým serverem. Zkontrolujte, že běží a že nastavení "
                               "spojení je správné.");
        break;
    case ER_LOCK_WAIT_TIMEOUT:
        czech = QStringLiteral("Záznamy drží jiný uživatel databáze a nedočkali jsme se jich; příkaz nebyl "
                               "proveden. Zkuste to znovu později.");
        break;
    case ER_LOCK_DEADLOCK:
        czech = QStringLiteral("Souběh s jiným uživatelem databáze (deadlock); rozpracované změny byly "
                               "zahozeny. Zkuste akci provést znovu.");
        break;
    case ER_DATA_TOO_LONG:
        czech = QStringLiteral("Text je delší, než pole v databázi dovoluje; nic nebylo uloženo. Zkraťte jej.");
        break;
    case ER_WARN_DATA_OUT_OF_RANGE:
        czech = QStringLiteral("Číslo je mimo rozsah, který pole v databázi dovoluje; nic nebylo uloženo.");
        break;
    default:
        return serverText;
    }
    return czech + QStringLiteral("\n\n(") + serverText + QLatin1Char(')');
}

QByteArray encodeForServer(const QString& text)
{
    QChar bad;
    auto bytes = cp1250::encode(text, &bad);
    if (!bytes) {
        throw DbError(QStringLiteral("Text obsahuje znak „%1“ (U+%2), který databáze v kódování "
                                     "cp1250 nedokáže uložit.")
                          .arg(bad)
                          .arg(bad.unicode(), 4, 16, QLatin1Char('0')));
    }
    return *bytes;
}

Connection::Connection(ConnectionParams params) : params_(std::move(params)) {}

Connection::~Connection()
{
    close();
}

void Connection::open()
{
    if (mysql_)
        return;
    MYSQL* handle = mysql_init(nullptr);
    if (!handle)
        throw DbError(QStringLiteral("Nedostatek paměti pro spojení s databází."));
    const unsigned int protocol = MYSQL_PROTOCOL_TCP;  // "localhost" means the port, not a socket
    mysql_options(handle, MYSQL_OPT_PROTOCOL, &protocol);
    mysql_options(handle, MYSQL_OPT_CONNECT_TIMEOUT, &kConnectTimeoutSeconds);
    mysql_options(handle, MYSQL_SET_CHARSET_NAME, "cp1250");

    const QByteArray host = params_.host.toUtf8();
    const QByteArray user = encodeForServer(params_.user);
    const QByteArray password = encodeForServer(params_.password);
    const QByteArray database = params_.database.toUtf8();
    if (!mysql_real_connect(handle, host.constData(), user.constData(), password.constData(),
                            database.isEmpty() ? nullptr : database.constData(),
                            static_cast<unsigned int>(params_.port), nullptr,
                            CLIENT_MULTI_RESULTS)) {
        const QString message = QString::fromUtf8(mysql_error(handle));
        const unsigned int code = mysql_errno(handle);
        mysql_close(handle);
        throw DbError(describeServerError(code, message), code);
    }
    mysql_ = handle;
    if (!autoCommit_)
        setAutoCommit(false);
}

void Connection::close()
{
    if (mysql_) {
        mysql_close(mysql_);
        mysql_ = nullptr;
    }
}

void Connection::ensureOpen()
{
    if (!mysql_)
        open();
}

void Connection::fail(const QString& context)
{
    Q_UNUSED(context);
    const unsigned int code = mysql_errno(mysql_);
    const QString serverText = cp1250::decode(QByteArray(mysql_error(mysql_)));
    const bool lost = code == CR_SERVER_GONE_ERROR || code == CR_SERVER_LOST || code == ER_CONNECTION_KILLED ||
                      code == CR_CONNECTION_ERROR || code == CR_CONN_HOST_ERROR;
    // A lost connection or a deadlock ends the server's transaction with all
    // its work. Remember it, so that the statements still to come of the same
    // command do not quietly run (and auto-commit) outside that transaction.
    const bool transactionEnded = (lost || code == ER_LOCK_DEADLOCK) && (inTransaction_ || !autoCommit_);
    if (transactionEnded) {
        transactionLost_ = true;
        inTransaction_ = false;
    }
    // A lost connection is opened again at the next use.
    if (lost)
        close();
    // Saying only that this one statement failed would let the user believe
    // that what the earlier commands of the transaction did is kept.
    if (lost && transactionEnded)
        throw DbError(kConnectionLostWithChangesText + QStringLiteral("\n\n(") + serverText + QLatin1Char(')'),
                      code);
    throw DbError(describeServerError(code, serverText), code);
}

void Connection::send(const QString& sql)
{
    const QByteArray bytes = encodeForServer(sql);
    const TransactionWord word = transactionWord(sql);
    if (transactionLost_) {
        // Only ending the lost transaction (or starting another) is let through.
        if (word != TransactionWord::Rollback && word != TransactionWord::Start)
            throw DbError(kTransactionLostText);
        transactionLost_ = false;
    }
    ensureOpen();
    if (observer_)
        observer_(sql);
    if (mysql_real_query(mysql_, bytes.constData(), static_cast<unsigned long>(bytes.size())) != 0)
        fail(sql);
    if (word == TransactionWord::Start)
        inTransaction_ = true;
    else if (word != TransactionWord::None)
        inTransaction_ = false;
}

void Connection::execute(const QString& sql)
{
    send(sql);
    // A statement that unexpectedly returns rows (or several results) is drained.
    do {
        if (MYSQL_RES* result = mysql_store_result(mysql_))
            mysql_free_result(result);
        else if (mysql_field_count(mysql_) != 0)
            fail(sql);
    } while (mysql_next_result(mysql_) == 0);
}

ResultSet Connection::select(const QString& sql)
{
    send(sql);
    // The whole result is taken at once, so that the cells are allocated once for
    // the known number of rows: growing them row by row copied every cell
    // again at each step and made opening a large list twice as slow.
    MYSQL_RES* result = mysql_store_result(mysql_);
    if (!result) {
        if (mysql_field_count(mysql_) != 0)
            fail(sql);
        throw DbError(QStringLiteral("Příkaz nevrátil žádná data: ") + sql);
    }

    ResultSet set;
    const unsigned int count = mysql_num_fields(result);
    const MYSQL_FIELD* fields = mysql_fetch_fields(result);
    set.fields = fieldsOf(fields, count);

    set.cells.reserve(size_t(mysql_num_rows(result)) * count);
    std::vector<RepeatedTexts> texts(count);
    while (MYSQL_ROW row = mysql_fetch_row(result)) {
        const unsigned long* lengths = mysql_fetch_lengths(result);
        for (unsigned int i = 0; i < count; ++i) {
            if (set.fields[i].type == FieldType::Text && row[i] != nullptr)
                set.cells.push_back(texts[i].text(row[i], lengths[i]));
            else
                set.cells.push_back(convert(set.fields[i].type, row[i], lengths[i]));
        }
    }
    const bool failed = mysql_errno(mysql_) != 0;
    mysql_free_result(result);
    if (failed)
        fail(sql);
    while (mysql_next_result(mysql_) == 0) {
        if (MYSQL_RES* extra = mysql_store_result(mysql_))
            mysql_free_result(extra);
    }
    return set;
}

std::vector<FieldInfo> Connection::fieldsOf(const MYSQL_FIELD* fields, unsigned int count)
{
    // Everything a FieldInfo is made of, in one string to compare.
    std::string metadata;
    for (unsigned int i = 0; i < count; ++i) {
        const MYSQL_FIELD& f = fields[i];
        const unsigned long numbers[] = {f.name_length, f.org_table_length, f.org_name_length,
                                         static_cast<unsigned long>(f.type), f.flags, f.length};
        metadata.append(reinterpret_cast<const char*>(numbers), sizeof numbers);
        metadata.append(f.name, f.name_length);
        metadata.append(f.org_table, f.org_table_length);
        metadata.append(f.org_name, f.org_name_length);
    }
    for (size_t i = 0; i < fieldCache_.size(); ++i) {
        if (fieldCache_[i].metadata == metadata) {
            // The most recent first, so that the statements in use stay cached.
            std::rotate(fieldCache_.begin(), fieldCache_.begin() + std::ptrdiff_t(i),
                        fieldCache_.begin() + std::ptrdiff_t(i) + 1);
            return fieldCache_.front().fields;
        }
    }

    std::vector<FieldInfo> infos;
    infos.reserve(count);
    for (unsigned int i = 0; i < count; ++i) {
        const MYSQL_FIELD& f = fields[i];
        FieldInfo info;
        info.name = cp1250::decode(f.name, f.name_length);
        info.table = cp1250::decode(f.org_table, f.org_table_length);
        info.originalName = cp1250::decode(f.org_name, f.org_name_length);
        info.type = fieldTypeOf(f);
        info.primaryKey = (f.flags & PRI_KEY_FLAG) != 0;
        info.autoIncrement = (f.flags & AUTO_INCREMENT_FLAG) != 0;
        info.notNull = (f.flags & NOT_NULL_FLAG) != 0;
        // cp1250 has one byte a character, so the length in bytes is the length in characters.
        info.maxLength = info.type == FieldType::Text ? int(f.length) : 0;
        infos.push_back(info);
    }
    constexpr size_t kCachedResults = 8;
    if (fieldCache_.size() == kCachedResults)
        fieldCache_.pop_back();
    fieldCache_.insert(fieldCache_.begin(), FieldCacheEntry{std::move(metadata), infos});
    return infos;
}

void Connection::setAutoCommit(bool on)
{
    autoCommit_ = on;
    if (!mysql_ && on)
        transactionLost_ = false;  // the lost transaction went with the connection
    if (!mysql_)
        return;  // applied when the connection opens
    // Sent as a statement so that it goes where every other statement goes and
    // shows in the statement log in its place.
    execute(on ? QStringLiteral("set autocommit=1") : QStringLiteral("set autocommit=0"));
}

quint64 Connection::lastInsertId() const
{
    return mysql_ ? mysql_insert_id(mysql_) : 0;
}

quint64 Connection::affectedRows() const
{
    return mysql_ ? mysql_affected_rows(mysql_) : 0;
}

unsigned long Connection::serverThreadId() const
{
    return mysql_ ? mysql_thread_id(mysql_) : 0;
}

QString Connection::quote(const QString& text)
{
    const QByteArray bytes = encodeForServer(text);
    ensureOpen();
    QByteArray escaped(bytes.size() * 2 + 1, Qt::Uninitialized);
    const unsigned long length = mysql_real_escape_string(mysql_, escaped.data(), bytes.constData(),
                                                          static_cast<unsigned long>(bytes.size()));
    escaped.truncate(qsizetype(length));
    return QLatin1Char('"') + cp1250::decode(escaped) + QLatin1Char('"');
}

} // namespace kelvo
