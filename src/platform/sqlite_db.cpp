#include "platform/sqlite_db.h"

#include <sqlite3.h>

#include <utility>

namespace mq::platform {

namespace {

[[noreturn]] void raiseFor(sqlite3* db, int rc, const QString& context) {
    QString engine = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    const QString message = context.isEmpty() ? engine : context + QStringLiteral(": ") + engine;
    // CREATE TABLE/VIEW of a name in use: callers tell this case apart.
    if ((rc & 0xff) == SQLITE_ERROR && engine.contains(QLatin1String("already exists")))
        throw SqliteNameExistsError(message, rc);
    throw SqliteError(message, rc);
}

}  // namespace

// ---------------------------------------------------------------- statement

SqliteStatement::~SqliteStatement() {
    if (m_stmt) sqlite3_finalize(m_stmt);
}

SqliteStatement::SqliteStatement(SqliteStatement&& o) noexcept
    : m_db(std::exchange(o.m_db, nullptr)), m_stmt(std::exchange(o.m_stmt, nullptr)) {}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& o) noexcept {
    if (this != &o) {
        if (m_stmt) sqlite3_finalize(m_stmt);
        m_db = std::exchange(o.m_db, nullptr);
        m_stmt = std::exchange(o.m_stmt, nullptr);
    }
    return *this;
}

void SqliteStatement::check(int rc, const char* what) const {
    if (rc != SQLITE_OK) raiseFor(m_db, rc, QString::fromLatin1(what));
}

void SqliteStatement::bind(int index, qint64 value) {
    check(sqlite3_bind_int64(m_stmt, index, value), "bind");
}

void SqliteStatement::bind(int index, double value) {
    check(sqlite3_bind_double(m_stmt, index, value), "bind");
}

void SqliteStatement::bind(int index, const QString& text) {
    if (text.isNull()) {
        bindNull(index);
        return;
    }
    bindText(index, text);
}

void SqliteStatement::bindText(int index, QStringView text) {
    // A zero-length text must stay a text, not NULL: SQLite needs a valid
    // pointer for that even at length 0.
    static const char16_t empty[1] = {0};
    const void* data = text.isEmpty() ? static_cast<const void*>(empty) : static_cast<const void*>(text.utf16());
    check(sqlite3_bind_text16(m_stmt, index, data, int(text.size() * sizeof(char16_t)), SQLITE_TRANSIENT),
          "bind");
}

void SqliteStatement::bindUtf8(int index, const char* data, int length, bool copy) {
    static const char empty[1] = {0};
    check(sqlite3_bind_text(m_stmt, index, data ? data : empty, length, copy ? SQLITE_TRANSIENT : SQLITE_STATIC),
          "bind");
}

void SqliteStatement::bindNull(int index) { check(sqlite3_bind_null(m_stmt, index), "bind"); }

bool SqliteStatement::step() {
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    // Leave the statement reusable after a failed step (a constraint, say).
    sqlite3_reset(m_stmt);
    raiseFor(m_db, rc, QString());
}

void SqliteStatement::run() {
    while (step()) {
    }
}

void SqliteStatement::reset() { sqlite3_reset(m_stmt); }

int SqliteStatement::columnCount() const { return sqlite3_column_count(m_stmt); }

QString SqliteStatement::columnName(int col) const {
    const void* p = sqlite3_column_name16(m_stmt, col);
    return p ? QString::fromUtf16(static_cast<const char16_t*>(p)) : QString();
}

bool SqliteStatement::columnIsNull(int col) const {
    return sqlite3_column_type(m_stmt, col) == SQLITE_NULL;
}

qint64 SqliteStatement::columnInt64(int col) const { return sqlite3_column_int64(m_stmt, col); }

double SqliteStatement::columnDouble(int col) const { return sqlite3_column_double(m_stmt, col); }

const char* SqliteStatement::columnUtf8(int col, int* length) const {
    const unsigned char* p = sqlite3_column_text(m_stmt, col);
    *length = p ? sqlite3_column_bytes(m_stmt, col) : 0;
    return reinterpret_cast<const char*>(p);
}

QString SqliteStatement::columnText(int col) const {
    const unsigned char* p = sqlite3_column_text(m_stmt, col);
    if (!p) return QString();
    const int bytes = sqlite3_column_bytes(m_stmt, col);
    if (bytes == 0) return QString(QLatin1String(""));  // zero-length, not null
    return QString::fromUtf8(reinterpret_cast<const char*>(p), bytes);
}

// ---------------------------------------------------------------- database

SqliteDb::~SqliteDb() { close(); }

SqliteDb::SqliteDb(SqliteDb&& o) noexcept : m_db(std::exchange(o.m_db, nullptr)) {}

SqliteDb& SqliteDb::operator=(SqliteDb&& o) noexcept {
    if (this != &o) {
        close();
        m_db = std::exchange(o.m_db, nullptr);
    }
    return *this;
}

void SqliteDb::open(const QString& path, bool create) {
    // Allocation statistics cost a global lock per allocation; nothing here
    // reads them. This only takes effect before the engine's first use.
    static const bool configured = [] {
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        return true;
    }();
    (void)configured;
    close();
    sqlite3* db = nullptr;
    // One connection per thread by design: no engine-side locking needed.
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
        if (db) sqlite3_close_v2(db);
        throw SqliteError(QStringLiteral("open %1: %2").arg(path, msg), rc);
    }
    sqlite3_extended_result_codes(db, 1);
    m_db = db;
}

void SqliteDb::close() noexcept {
    if (!m_db) return;
    // close_v2 defers the release until the last statement is finalised, so a
    // statement that outlives the connection object cannot leave a dangling handle.
    if (!sqlite3_get_autocommit(m_db)) sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

void SqliteDb::raise(int rc, const QString& context) const { raiseFor(m_db, rc, context); }

void SqliteDb::exec(const QString& sql) {
    if (!m_db) throw SqliteError(QStringLiteral("database not open"), SQLITE_MISUSE);
    char* err = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    if (err) sqlite3_free(err);
    if (rc != SQLITE_OK) raiseFor(m_db, rc, QString());
}

SqliteStatement SqliteDb::prepare(const QString& sql) {
    if (!m_db) throw SqliteError(QStringLiteral("database not open"), SQLITE_MISUSE);
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &stmt, nullptr);
    if (rc != SQLITE_OK) {
        if (stmt) sqlite3_finalize(stmt);
        raiseFor(m_db, rc, QString());
    }
    return SqliteStatement(m_db, stmt);
}

void SqliteDb::begin() { exec(QStringLiteral("BEGIN")); }

void SqliteDb::commit() { exec(QStringLiteral("COMMIT")); }

void SqliteDb::rollback() noexcept {
    if (m_db && !sqlite3_get_autocommit(m_db)) sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

bool SqliteDb::inTransaction() const { return m_db && !sqlite3_get_autocommit(m_db); }

qint64 SqliteDb::changes() const { return m_db ? sqlite3_changes64(m_db) : 0; }

qint64 SqliteDb::lastInsertRowid() const { return m_db ? sqlite3_last_insert_rowid(m_db) : 0; }

bool SqliteDb::objectExists(const QString& name) {
    SqliteStatement st = prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE name = ?1 COLLATE NOCASE"));
    st.bind(1, name);
    return st.step();
}

QString SqliteDb::quoteIdentifier(const QString& name) {
    QString q = name;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString SqliteDb::quoteLiteral(const QString& text) {
    QString q = text;
    q.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

}  // namespace mq::platform
