#pragma once
// A thin owning wrapper over the SQLite C API: one connection, prepared
// statements, transactions. Every engine failure becomes a SqliteError (a
// DatabaseError) carrying the engine's own message and result code.
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include "platform/errors.h"

struct sqlite3;
struct sqlite3_stmt;

namespace mq::platform {

struct SqliteError : DatabaseError {
    SqliteError(const QString& message, int code)
        : DatabaseError(message.toStdString()), m_code(code) {}
    int code() const { return m_code; }

private:
    int m_code;
};

// A table, view or index of that name is already in the database.
struct SqliteNameExistsError : SqliteError {
    using SqliteError::SqliteError;
};

class SqliteStatement {
public:
    SqliteStatement() = default;
    SqliteStatement(sqlite3* db, sqlite3_stmt* stmt) : m_db(db), m_stmt(stmt) {}
    ~SqliteStatement();
    SqliteStatement(SqliteStatement&& o) noexcept;
    SqliteStatement& operator=(SqliteStatement&& o) noexcept;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool isValid() const { return m_stmt != nullptr; }

    // Parameters are 1-based, as in SQL.
    void bind(int index, qint64 value);
    void bind(int index, double value);
    void bind(int index, const QString& text);  // a null QString binds NULL
    void bindNull(int index);
    // Always a text: an empty or null view binds a zero-length text.
    void bindText(int index, QStringView text);
    // UTF-8 bytes. With copy false the bytes must stay unchanged until the
    // statement has run (the fast path of bulk inserts with reused buffers).
    void bindUtf8(int index, const char* data, int length, bool copy = true);

    // Runs one step: true when a row is ready, false when the statement is done.
    bool step();
    // Runs to the end, ignoring rows.
    void run();
    // Makes the statement ready to run again; bindings stay.
    void reset();

    int columnCount() const;
    QString columnName(int col) const;
    bool columnIsNull(int col) const;
    qint64 columnInt64(int col) const;
    double columnDouble(int col) const;
    QString columnText(int col) const;  // integers and reals as their decimal text
    // The UTF-8 bytes of a column, valid until the next step; null for NULL.
    const char* columnUtf8(int col, int* length) const;

private:
    void check(int rc, const char* what) const;
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
};

class SqliteDb {
public:
    SqliteDb() = default;
    ~SqliteDb();
    SqliteDb(SqliteDb&& o) noexcept;
    SqliteDb& operator=(SqliteDb&& o) noexcept;
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;

    // Opens (and, when create is true, creates) the file.
    void open(const QString& path, bool create = true);
    // Closes the connection; statements still alive are finalised by their owners.
    void close() noexcept;
    bool isOpen() const { return m_db != nullptr; }
    sqlite3* handle() const { return m_db; }

    // Runs one or more statements separated by ';'.
    void exec(const QString& sql);
    SqliteStatement prepare(const QString& sql);

    void begin();
    void commit();
    void rollback() noexcept;
    bool inTransaction() const;

    // Rows changed by the last INSERT, UPDATE or DELETE.
    qint64 changes() const;
    // Row id of the last row inserted through this connection.
    qint64 lastInsertRowid() const;
    // True when a table, view, index or trigger of that name exists (any letter case).
    bool objectExists(const QString& name);

    // "name" with inner quotes doubled: safe for any table, view or field name.
    static QString quoteIdentifier(const QString& name);
    // 'text' with inner quotes doubled.
    static QString quoteLiteral(const QString& text);

    // Raises SqliteError for a result code with the connection's message.
    [[noreturn]] void raise(int rc, const QString& context) const;

private:
    sqlite3* m_db = nullptr;
};

// Begins a transaction; rolls it back on destruction unless committed.
class SqliteTransaction {
public:
    explicit SqliteTransaction(SqliteDb& db) : m_db(db) { m_db.begin(); }
    ~SqliteTransaction() {
        if (!m_done) m_db.rollback();
    }
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;
    void commit() {
        m_db.commit();
        m_done = true;
    }

private:
    SqliteDb& m_db;
    bool m_done = false;
};

}  // namespace mq::platform
