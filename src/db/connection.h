#pragma once

#include "db/dberror.h"

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct st_mysql;
struct st_mysql_field;

namespace kelvo {

struct ConnectionParams {
    QString host = QStringLiteral("localhost");
    int port = 3306;
    QString user = QStringLiteral("root");
    QString password;
    QString database = QStringLiteral("kelvo");
};

enum class FieldType { Integer, Float, Text, Date, DateTime };

// What the server says of one column of a result.
struct FieldInfo {
    QString name;          // the column's name in the result
    QString table;         // the table it comes from ("" for computed columns)
    QString originalName;  // the column's name in that table
    FieldType type = FieldType::Text;
    bool primaryKey = false;
    bool autoIncrement = false;
    bool notNull = false;
    int maxLength = 0;     // characters for text columns, 0 when unknown
};

// The rows of one result, converted to Qt types at once: integers as qlonglong,
// decimals and floating-point numbers as double, dates as QDate, date-times as
// QDateTime, text as QString; SQL NULL as an invalid QVariant.
struct ResultSet {
    std::vector<FieldInfo> fields;
    std::vector<QVariant> cells;  // row after row, fields.size() values each
    int rowCount() const { return fields.empty() ? 0 : int(cells.size() / fields.size()); }
};

// The one connection to the database server that every data set uses. It opens
// at its first use and, while closed (never opened, refused, or lost), tries to
// open again at every use. Text goes to the server in cp1250 and comes back as
// Unicode; this class is the only place that converts. Every failure is thrown
// as DbError carrying the server's message.
//
// When the connection is lost (or a deadlock ends the transaction) while a
// transaction is open, every further statement is refused with
// kTransactionLostText until "rollback" (or a new "start transaction") ends it,
// so that the rest of the command cannot write outside the transaction.
class Connection {
public:
    explicit Connection(ConnectionParams params = {});
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Takes effect at the next opening.
    void setParams(const ConnectionParams& params) { params_ = params; }
    const ConnectionParams& params() const { return params_; }

    bool isOpen() const { return mysql_ != nullptr; }
    void open();
    // Drops the connection (tests use it to simulate a lost server); the next
    // use opens it again.
    void close();

    // Runs a statement that returns no rows.
    void execute(const QString& sql);
    // Runs a statement that returns rows and reads them all.
    ResultSet select(const QString& sql);

    // Applies to the whole connection; remembered, so that a connection opened
    // again later gets the same setting. Sent as "set autocommit=0|1".
    void setAutoCommit(bool on);
    bool autoCommit() const { return autoCommit_; }

    quint64 lastInsertId() const;
    quint64 affectedRows() const;
    // The server's thread id of this connection (0 while closed).
    unsigned long serverThreadId() const;

    // A quoted SQL string literal of `text`, escaped for the connection; throws
    // DbError when the text holds a character cp1250 lacks.
    QString quote(const QString& text);

    // Sees every statement in the order it is sent (tests and benchmarks only).
    using StatementObserver = std::function<void(const QString& sql)>;
    void setStatementObserver(StatementObserver observer) { observer_ = std::move(observer); }

private:
    void ensureOpen();
    void send(const QString& sql);
    [[noreturn]] void fail(const QString& context);
    std::vector<FieldInfo> fieldsOf(const st_mysql_field* fields, unsigned int count);

    ConnectionParams params_;
    st_mysql* mysql_ = nullptr;
    bool autoCommit_ = true;
    bool inTransaction_ = false;    // "start transaction" sent, no commit / rollback yet
    bool transactionLost_ = false;  // the server ended the open transaction on its own
    StatementObserver observer_;

    // The field descriptions of the last few distinct results, by the raw
    // metadata the server sent: the same statements run again and again, and
    // decoding every column's three names for each of them cost more than
    // reading the rows of a small result.
    struct FieldCacheEntry {
        std::string metadata;
        std::vector<FieldInfo> fields;
    };
    std::vector<FieldCacheEntry> fieldCache_;
};

// The error while a transaction lost with its connection (or to a deadlock)
// has not been ended by "rollback": every other statement is refused.
extern const QString kTransactionLostText;

// The error when the connection is lost while a transaction is open: the
// server has dropped everything the transaction did, not just the statement.
extern const QString kConnectionLostWithChangesText;

// The message shown for a server error: for a lost connection, a lock wait
// time-out, a deadlock and a value too long or out of range a Czech sentence
// with the server's own text below it; other errors as the server words them.
QString describeServerError(unsigned int code, const QString& serverText);

// Text that the server treats as a string literal, for values pasted into
// statements built by the program's own code paths.
QByteArray encodeForServer(const QString& text);

} // namespace kelvo
