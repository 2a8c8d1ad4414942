#include "model/cls_logger_database.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "model/db_session.h"
#include "model/model_state.h"
#include "platform/civil_time.h"
#include "platform/errors.h"

namespace mq {

using platform::SqliteDb;
using platform::SqliteStatement;

namespace {

// Field names as the data windows, exports and queries know them.
const QString kMark = QStringLiteral("ﾏｰｸ");
const QString kNo = QStringLiteral("No");
const QString kTime = QStringLiteral("収録日時");
const QString kWorker = QStringLiteral("作業者名");
const QString kComment = QStringLiteral("ｺﾒﾝﾄ");

// Field sizes in characters; a longer value does not fit and is refused.
constexpr int kMarkSize = 3;
constexpr int kTimeSize = 19;
constexpr int kChSize = 10;
constexpr int kNameSize = 8;

// Deleting a database file: attempts before giving up and leaving the file.
constexpr int kDeleteAttempts = 5;

const QStringList& channelFields() {
    static const QStringList f{QStringLiteral("CH1"), QStringLiteral("CH2"), QStringLiteral("CH3"),
                               QStringLiteral("CH4")};
    return f;
}

QString q(const QString& name) { return SqliteDb::quoteIdentifier(name); }

// Joins quoted field names with their types into a CREATE TABLE statement.
QString tableDdl(const QString& table, const QList<QPair<QString, const char*>>& fields) {
    QStringList parts;
    for (const auto& [name, type] : fields) parts << q(name) + QLatin1Char(' ') + QLatin1String(type);
    return QStringLiteral("CREATE TABLE ") + q(table) + QStringLiteral(" (") + parts.join(QStringLiteral(", ")) +
           QLatin1Char(')');
}

QString logTableDdl(const QString& table) {
    const auto& ch = channelFields();
    return tableDdl(table, {{kMark, "TEXT"}, {kNo, "INTEGER"}, {kTime, "TEXT"}, {ch[0], "TEXT"},
                            {ch[1], "TEXT"}, {ch[2], "TEXT"}, {ch[3], "TEXT"}});
}

QString tagTableDdl(const QString& table) {
    const auto& ch = channelFields();
    return tableDdl(table, {{kNo, "INTEGER"}, {kTime, "TEXT"}, {ch[0], "TEXT"}, {ch[1], "TEXT"},
                            {ch[2], "TEXT"}, {ch[3], "TEXT"}, {kWorker, "TEXT"}, {kComment, "TEXT"}});
}

// INSERT of all the given fields with numbered parameters in the same order.
QString insertSql(const QString& table, const QStringList& fields) {
    QStringList names, params;
    for (int i = 0; i < fields.size(); ++i) {
        names << q(fields[i]);
        params << QStringLiteral("?%1").arg(i + 1);
    }
    return QStringLiteral("INSERT INTO ") + q(table) + QStringLiteral(" (") + names.join(QLatin1Char(',')) +
           QStringLiteral(") VALUES (") + params.join(QLatin1Char(',')) + QLatin1Char(')');
}

void yieldOnce() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

void checkFits(const QString& value, int size, const QString& field) {
    if (value.size() > size)
        throw DatabaseError(QStringLiteral("value too long for field %1 (%2 > %3 characters): \"%4\"")
                                .arg(field)
                                .arg(value.size())
                                .arg(size)
                                .arg(value)
                                .toStdString());
}

QByteArray nativePath(const QString& path) { return QFile::encodeName(path); }

// Removes the journals SQLite may leave beside a database file.
void removeCompanions(const QString& path) {
    for (const char* suffix : {"-journal", "-wal", "-shm"}) ::unlink(nativePath(path + QLatin1String(suffix)).constData());
}

// Deletes a file that must go before a new database of that name is made;
// a failure reaches the caller.
void deleteOrThrow(const QString& path) {
    const QByteArray native = nativePath(path);
    if (::unlink(native.constData()) != 0 && errno != ENOENT)
        throw IoError(QStringLiteral("cannot delete %1: %2").arg(path, QString::fromLocal8Bit(strerror(errno))).toStdString());
    removeCompanions(path);
}

// Lets go of the handle that keeps a created file's identity.
void closeHandle(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// A saved query is opened as the engine opens it: every table it names must
// be there, else the failure reaches the caller now rather than at the first read.
void checkQueryOpens(SqliteDb& db, const QString& name) {
    db.prepare(QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(q(name)));
}

// Texts repeat a lot down a column (marks, channel values, unused channels):
// a short text equal to one met recently shares that one's storage, so a
// read of several hundred thousand records neither allocates a text per cell
// nor spreads them over memory.
class RecentTexts {
public:
    QString text(const char* p, int len) {
        if (len > kMaxLen) return fromBytes(p, len);
        quint32 h = 2166136261u;
        for (int i = 0; i < len; ++i) h = (h ^ quint8(p[i])) * 16777619u;
        Slot& slot = m_slots[h % kSlots];
        if (slot.used && slot.len == len && std::memcmp(slot.bytes, p, size_t(len)) == 0) return slot.text;
        slot.used = true;
        slot.len = len;
        std::memcpy(slot.bytes, p, size_t(len));
        slot.text = fromBytes(p, len);
        return slot.text;
    }

private:
    static constexpr int kMaxLen = 16;
    static constexpr quint32 kSlots = 512;
    // A zero-length text stays a text, not a null one.
    static QString fromBytes(const char* p, int len) {
        if (len == 0) return QString(QLatin1String(""));
        // Stored texts are nearly always ASCII, where Latin-1 is the same and
        // quicker to widen.
        for (int i = 0; i < len; ++i)
            if (static_cast<unsigned char>(p[i]) >= 0x80) return QString::fromUtf8(p, len);
        return QString::fromLatin1(p, len);
    }
    struct Slot {
        bool used = false;
        int len = 0;
        char bytes[kMaxLen];
        QString text;
    };
    std::vector<Slot> m_slots = std::vector<Slot>(kSlots);
};

}  // namespace

// ================================================================ DbRecordset

DbRecordset::DbRecordset(std::shared_ptr<detail::DbSession> session, QString source, bool updatable)
    : m_session(std::move(session)), m_source(std::move(source)), m_updatable(updatable) {}

detail::DbSession& DbRecordset::session() const {
    if (!m_session) throw DatabaseError("record set is closed");
    m_session->commitPending();
    m_session->mapForReads();
    return *m_session;
}

qint32 DbRecordset::RecordCount() const {
    SqliteStatement st = session().db.prepare(QStringLiteral("SELECT count(*) FROM %1").arg(q(m_source)));
    st.step();
    return qint32(st.columnInt64(0));
}

QStringList DbRecordset::FieldNames() const {
    SqliteStatement st = session().db.prepare(QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(q(m_source)));
    QStringList names;
    for (int i = 0; i < st.columnCount(); ++i) names << st.columnName(i);
    return names;
}

QString DbRecordset::fieldList(int firstField, int lastField) const {
    const QStringList names = FieldNames();
    if (firstField < 0 || lastField >= names.size() || firstField > lastField)
        throw OutOfRangeError(QStringLiteral("field range %1..%2 outside 0..%3")
                                  .arg(firstField)
                                  .arg(lastField)
                                  .arg(names.size() - 1)
                                  .toStdString());
    QStringList cols;
    for (int i = firstField; i <= lastField; ++i) cols << q(names[i]);
    return cols.join(QLatin1Char(','));
}

std::vector<std::vector<QString>> DbRecordset::ReadColumns(int firstField, int lastField, qint32 firstRow,
                                                           qint32 rowCount) const {
    const QString cols = fieldList(firstField, lastField);
    if (firstRow < 0) throw OutOfRangeError("negative record position");
    SqliteStatement st =
        session().db.prepare(QStringLiteral("SELECT %1 FROM %2 LIMIT ?1 OFFSET ?2").arg(cols, q(m_source)));
    st.bind(1, qint64(rowCount < 0 ? -1 : rowCount));
    st.bind(2, qint64(firstRow));
    const int n = lastField - firstField + 1;
    std::vector<std::vector<QString>> out(n);
    // The columns are sized once: growing them by doubling would copy every
    // text reference of a large table several times over. A table knows its
    // count cheaply; a saved query would have to run twice for it.
    qint64 expected = rowCount;
    if (expected < 0 && m_updatable) expected = std::max<qint64>(0, RecordCount() - firstRow);
    if (expected > 0)
        for (auto& c : out) c.reserve(size_t(expected));
    std::vector<RecentTexts> recent(static_cast<size_t>(n));
    while (st.step()) {
        for (int i = 0; i < n; ++i) {
            int len = 0;
            const char* p = st.columnUtf8(i, &len);
            out[size_t(i)].push_back(p ? recent[size_t(i)].text(p, len) : QString());
        }
    }
    return out;
}

void DbRecordset::ReadRowsUtf8(int firstField, int lastField, RowVisitor& visitor) const {
    SqliteStatement st =
        session().db.prepare(QStringLiteral("SELECT %1 FROM %2").arg(fieldList(firstField, lastField), q(m_source)));
    const int n = lastField - firstField + 1;
    std::vector<QByteArrayView> fields(static_cast<size_t>(n));
    qint32 position = 0;
    while (st.step()) {
        for (int i = 0; i < n; ++i) {
            int len = 0;
            const char* p = st.columnUtf8(i, &len);
            fields[size_t(i)] = QByteArrayView(p, p ? len : 0);
        }
        visitor.row(position++, fields.data(), n);
    }
}

std::vector<QString> DbRecordset::ReadColumn(const QString& field) const {
    const int i = FieldNames().indexOf(field);
    if (i < 0) throw MissingKeyError(QStringLiteral("no field %1 in %2").arg(field, m_source).toStdString());
    return std::move(ReadColumns(i, i).front());
}

QStringList DbRecordset::ReadRow(qint32 position) const {
    if (position < 0) throw OutOfRangeError("negative record position");
    SqliteStatement st =
        session().db.prepare(QStringLiteral("SELECT * FROM %1 LIMIT 1 OFFSET ?1").arg(q(m_source)));
    st.bind(1, qint64(position));
    if (!st.step())
        throw OutOfRangeError(QStringLiteral("no record at position %1 of %2").arg(position).arg(m_source).toStdString());
    QStringList row;
    for (int i = 0; i < st.columnCount(); ++i) row << st.columnText(i);
    return row;
}

// ================================================================ clsLOGGER_DATABASE

clsLOGGER_DATABASE::clsLOGGER_DATABASE() = default;

clsLOGGER_DATABASE::~clsLOGGER_DATABASE() {
    try {
        if (m_session) m_session->commitPending();
    } catch (...) {
    }
    dropRecordset();
    m_session.reset();

    // Only the file this object made goes: if the path now holds a newer
    // database (another data set of the same key made it since), it stays.
    // The handle on our file is let go only afterwards, so that its inode
    // cannot have been handed to that newer file.
    const auto deleteOwnFile = [this] {
        if (!m_created || m_path.isEmpty()) return;
        const QByteArray native = nativePath(m_path);
        struct stat st {};
        if (::stat(native.constData(), &st) != 0) return;
        if (quint64(st.st_dev) != m_fileDev || quint64(st.st_ino) != m_fileIno) return;
        for (int attempt = 0; attempt < kDeleteAttempts; ++attempt) {
            if (::unlink(native.constData()) == 0 || errno == ENOENT) {
                removeCompanions(m_path);
                return;
            }
            if (errno == EACCES || errno == EPERM || errno == EROFS) return;  // cannot go: leave it
            ::usleep(10000);
        }
    };
    deleteOwnFile();
    closeHandle(m_fileFd);
}

detail::DbSession& clsLOGGER_DATABASE::session() {
    if (!m_session) throw DatabaseError("working database is not open");
    return *m_session;
}

bool clsLOGGER_DATABASE::IsOpen() const { return m_session != nullptr; }

void clsLOGGER_DATABASE::commitPending() {
    if (m_session) m_session->commitPending();
}

void clsLOGGER_DATABASE::dropRecordset() {
    if (m_recordset) m_recordset->detach();
    m_recordset.reset();
}

void clsLOGGER_DATABASE::openTableRecordset(const QString& table) {
    dropRecordset();
    m_recordset = std::make_shared<DbRecordset>(m_session, table, true);
}

void clsLOGGER_DATABASE::openQueryRecordset(const QString& query) {
    dropRecordset();
    m_recordset = std::make_shared<DbRecordset>(m_session, query, false);
}

void clsLOGGER_DATABASE::makeDbPath(const QString& key) { makeDbPath(key, model().user_dir); }

void clsLOGGER_DATABASE::makeDbPath(const QString& key, const QString& userDir) {
    const QString folder = DbWorkspace::dbfFolder(userDir);
    if (!QDir().mkpath(folder))
        throw IoError(QStringLiteral("cannot create folder %1").arg(folder).toStdString());
    const QString path = folder + QLatin1Char('/') + key.left(3) + QStringLiteral(".db");

    // Moving to another file: close ours first so that it is not left open, and
    // do not leave our old file behind.
    if (m_session) CloseDb();
    if (m_created && path != m_path) {
        struct stat st {};
        if (::stat(nativePath(m_path).constData(), &st) == 0 && quint64(st.st_dev) == m_fileDev &&
            quint64(st.st_ino) == m_fileIno)
            deleteOrThrow(m_path);
    }
    m_created = false;
    closeHandle(m_fileFd);
    m_path = path;
    if (QFileInfo::exists(m_path)) deleteOrThrow(m_path);
}

QString clsLOGGER_DATABASE::working_pragmas() {
    // A small page cache and, while the records load, no memory-mapped file:
    // a load appends its records once and hardly reads them back, and a full
    // logger memory would otherwise keep the whole file in the program's
    // memory. The reads of whole tables map it (DbSession::mapForReads).
    return QStringLiteral("PRAGMA journal_mode = MEMORY; PRAGMA synchronous = OFF; "
                          "PRAGMA temp_store = MEMORY; PRAGMA cache_size = -8192; PRAGMA mmap_size = 0");
}

void clsLOGGER_DATABASE::NewDb(quint8 kind) {
    if (!m_workspace) throw DatabaseError("no workspace set for the working database");
    if (m_path.isEmpty()) throw DatabaseError("working database path not set");

    // A refill replaces the database: close the one still open so that its
    // connection never writes into a deleted file.
    if (m_session) CloseDb();
    m_created = false;
    closeHandle(m_fileFd);
    if (QFileInfo::exists(m_path)) {
        deleteOrThrow(m_path);
        yieldOnce();
    }

    m_marked.clear();
    auto s = std::make_shared<detail::DbSession>();
    s->loaded.valid = true;  // an empty database: nothing stored, nothing missed
    s->db.open(m_path, true);
    // The file is scratch space rebuilt on every fill and deleted afterwards;
    // durability across a crash buys nothing here.
    s->db.exec(working_pragmas());
    detail::registerQueryFunctions(s->db);
    s->db.exec(kind == 2 ? tagTableDdl(QStringLiteral("DATA")) : logTableDdl(QStringLiteral("DATA")));

    const int fd = ::open(nativePath(m_path).constData(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd >= 0 && ::fstat(fd, &st) == 0) {
        m_fileDev = quint64(st.st_dev);
        m_fileIno = quint64(st.st_ino);
        m_created = true;
        m_fileFd = fd;
    } else if (fd >= 0) {
        ::close(fd);
    }
    m_session = std::move(s);
    openTableRecordset(QStringLiteral("DATA"));
}

void clsLOGGER_DATABASE::CloseDb() {
    commitPending();
    m_marked.clear();
    if (m_recordset) {
        dropRecordset();
        yieldOnce();
    }
    if (m_session) {
        m_session.reset();
        yieldOnce();
    }
}

namespace {

// "yyyy/mm/dd hh:nn:ss" into a buffer; returns its length. Built from the
// day count by hand: this runs once per record of loads of several hundred
// thousand records, where calendar lookups and QString building would dominate.
int timeText(const QDateTime& t, char* buf) {
    if (!t.isValid()) throw ConversionError("invalid date-time for a record");
    return platform::civilChars(platform::civilSeconds(t), buf);
}

}  // namespace

QString clsLOGGER_DATABASE::db_record_time_text(const QDateTime& t) {
    char buf[48];
    const int len = timeText(t, buf);
    return QString::fromLatin1(buf, len);
}

int clsLOGGER_DATABASE::db_record_time_chars(const QDateTime& t, char* buf) { return timeText(t, buf); }

void clsLOGGER_DATABASE::requireWritable() const {
    if (!m_recordset || !m_recordset->IsOpen()) throw DatabaseError("no record set to add to");
    if (!m_recordset->Updatable())
        throw DatabaseError(QStringLiteral("record set %1 is read-only").arg(m_recordset->Name()).toStdString());
}

detail::DbSession& clsLOGGER_DATABASE::insertSession(bool tag) {
    detail::DbSession& s = session();
    if (!s.insert.isValid() || s.insertTable != m_recordset->Name() || s.insertIsTag != tag) {
        const QStringList fields = tag ? QStringList{kNo, kTime} + channelFields() + QStringList{kWorker, kComment}
                                       : QStringList{kMark, kNo, kTime} + channelFields();
        s.insert = s.db.prepare(insertSql(m_recordset->Name(), fields));
        s.insertTable = m_recordset->Name();
        s.insertIsTag = tag;
    }
    s.beginIfNeeded();
    if (s.values.valid) s.values.clear();
    return s;
}

void clsLOGGER_DATABASE::AddRecord_LOG(qint32 No, const QDateTime& t, const QString& mark, const QString& ch1,
                                       const QString& ch2, const QString& ch3, const QString& ch4) {
    requireWritable();
    checkFits(mark, kMarkSize - 2, kMark);
    char time[48];
    const int timeLen = timeText(t, time);
    if (timeLen > kTimeSize) checkFits(QString::fromLatin1(time, timeLen), kTimeSize, kTime);
    const QString* ch[4] = {&ch1, &ch2, &ch3, &ch4};
    for (int i = 0; i < 4; ++i) checkFits(*ch[i], kChSize, channelFields()[i]);

    detail::DbSession& s = insertSession(false);
    // The mark stands between two blanks; no mark is three blanks.
    if (mark.isEmpty()) {
        s.insert.bindUtf8(1, "   ", 3, false);
    } else {
        const QString markText = QLatin1Char(' ') + mark + QLatin1Char(' ');
        s.bindField(0, markText);
    }
    s.insert.bind(2, qint64(No));
    s.insert.bindUtf8(3, time, timeLen, false);
    for (int i = 0; i < 4; ++i) s.bindField(3 + i, *ch[i]);
    s.insert.step();
    s.insert.reset();
    const QByteArrayView fields[4] = {QByteArrayView(s.field[3]), QByteArrayView(s.field[4]),
                                      QByteArrayView(s.field[5]), QByteArrayView(s.field[6])};
    detail::noteLoadedRecord(s, s.insertTable, s.db.lastInsertRowid(), No, fields);
}

namespace {

// Characters of a UTF-8 text (bytes that do not continue a character).
qsizetype utf8Chars(QByteArrayView t) {
    qsizetype n = 0;
    for (const char c : t) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

void checkFitsUtf8(QByteArrayView value, int size, const QString& field) {
    // Bytes never fall short of characters: the count is only needed past the size.
    if (value.size() > size && utf8Chars(value) > size) checkFits(QString::fromUtf8(value), size, field);
}

}  // namespace

void clsLOGGER_DATABASE::AddRecord_LOG(const LogRecordBytes& rec) {
    requireWritable();
    checkFitsUtf8(rec.mark, kMarkSize, kMark);
    checkFitsUtf8(rec.time, kTimeSize, kTime);
    for (int i = 0; i < 4; ++i) checkFitsUtf8(rec.ch[size_t(i)], kChSize, channelFields()[i]);

    detail::DbSession& s = insertSession(false);
    // The caller's bytes stay put until the step: no copy is needed.
    s.insert.bindUtf8(1, rec.mark.data(), int(rec.mark.size()), false);
    s.insert.bind(2, qint64(rec.No));
    s.insert.bindUtf8(3, rec.time.data(), int(rec.time.size()), false);
    for (int i = 0; i < 4; ++i)
        s.insert.bindUtf8(4 + i, rec.ch[size_t(i)].data(), int(rec.ch[size_t(i)].size()), false);
    s.insert.step();
    s.insert.reset();
    detail::noteLoadedRecord(s, s.insertTable, s.db.lastInsertRowid(), rec.No, rec.ch.data());
}

void clsLOGGER_DATABASE::AddRecord_TAG(qint32 No, const QDateTime& t, const QString& worker,
                                       const QString& comment, const QString& ch1, const QString& ch2,
                                       const QString& ch3, const QString& ch4) {
    requireWritable();
    char time[48];
    const int timeLen = timeText(t, time);
    if (timeLen > kTimeSize) checkFits(QString::fromLatin1(time, timeLen), kTimeSize, kTime);
    const QString* ch[4] = {&ch1, &ch2, &ch3, &ch4};
    for (int i = 0; i < 4; ++i) checkFits(*ch[i], kChSize, channelFields()[i]);
    checkFits(worker, kNameSize, kWorker);
    checkFits(comment, kNameSize, kComment);

    detail::DbSession& s = insertSession(true);
    s.loaded.clear();  // the gathering follows LOG records only
    s.insert.bind(1, qint64(No));
    s.insert.bindUtf8(2, time, timeLen, false);
    for (int i = 0; i < 4; ++i) s.bindField(2 + i, *ch[i]);
    // Worker and comment are stored as given; an empty one stays a zero-length
    // text rather than failing the whole load.
    s.bindField(6, worker);
    s.bindField(7, comment);
    s.insert.step();
    s.insert.reset();
}

void clsLOGGER_DATABASE::SkipValueGathering() { session().loaded.clear(); }

void clsLOGGER_DATABASE::SetChannelText(qint16 ch, const QString& table, const std::vector<qint64>& rowids,
                                        const QString& text) {
    if (ch < 1 || ch > 4) throw OutOfRangeError("channel outside 1..4");
    if (rowids.empty()) return;
    detail::DbSession& s = session();
    s.beginIfNeeded();
    SqliteStatement up = s.db.prepare(QStringLiteral("UPDATE %1 SET %2 = ?1 WHERE rowid = ?2")
                                          .arg(q(table), q(channelFields()[ch - 1])));
    up.bindText(1, text);
    for (const qint64 rowid : rowids) {
        up.bind(2, rowid);
        up.step();
        up.reset();
    }
}

void clsLOGGER_DATABASE::AddRecord_TAG(const TagRecordBytes& rec) {
    if (!m_recordset || !m_recordset->IsOpen()) throw DatabaseError("no record set to add to");
    if (!m_recordset->Updatable())
        throw DatabaseError(QStringLiteral("record set %1 is read-only").arg(m_recordset->Name()).toStdString());
    checkFitsUtf8(rec.time, kTimeSize, kTime);
    for (int i = 0; i < 4; ++i) checkFitsUtf8(rec.ch[size_t(i)], kChSize, channelFields()[i]);
    checkFitsUtf8(rec.worker, kNameSize, kWorker);
    checkFitsUtf8(rec.comment, kNameSize, kComment);

    detail::DbSession& s = session();
    if (!s.insert.isValid() || s.insertTable != m_recordset->Name() || !s.insertIsTag) {
        s.insert = s.db.prepare(
            insertSql(m_recordset->Name(), QStringList{kNo, kTime} + channelFields() + QStringList{kWorker, kComment}));
        s.insertTable = m_recordset->Name();
        s.insertIsTag = true;
    }
    s.beginIfNeeded();
    if (s.values.valid) s.values.clear();
    s.loaded.clear();  // the gathering follows LOG records only
    // The caller's bytes stay put until the step: no copy is needed.
    s.insert.bind(1, qint64(rec.No));
    s.insert.bindUtf8(2, rec.time.data(), int(rec.time.size()), false);
    for (int i = 0; i < 4; ++i)
        s.insert.bindUtf8(3 + i, rec.ch[size_t(i)].data(), int(rec.ch[size_t(i)].size()), false);
    s.insert.bindUtf8(7, rec.worker.data(), int(rec.worker.size()), false);
    s.insert.bindUtf8(8, rec.comment.data(), int(rec.comment.size()), false);
    s.insert.step();
    s.insert.reset();
}

std::vector<MarkedCell> clsLOGGER_DATABASE::takeMarkedCells() {
    std::vector<MarkedCell> out;
    out.swap(m_marked);
    return out;
}

void clsLOGGER_DATABASE::CreateRs_LOG2(const QString& table) {
    detail::DbSession& s = session();
    s.commitPending();
    dropRecordset();
    s.values.clear();
    s.db.exec(logTableDdl(table));
    openTableRecordset(table);
}

void clsLOGGER_DATABASE::Create_UnionQuery(qint16 extraTables) {
    detail::DbSession& s = session();
    s.commitPending();
    dropRecordset();

    if (extraTables >= 1) {
        const QString select =
            QStringLiteral("SELECT [ﾏｰｸ],[No],[収録日時],[CH1],[CH2],[CH3],[CH4] From DATA");
        QString text = select;
        for (int i = 1; i <= extraTables; ++i)
            text += QStringLiteral(" UNION ALL ") + select + QString::number(i).rightJustified(2, QLatin1Char('0'));
        text += QLatin1Char(';');
        if (s.db.objectExists(QStringLiteral("qTABLE")))
            throw platform::SqliteNameExistsError(QStringLiteral("qTABLE already exists"), 1);
        s.db.exec(QStringLiteral("CREATE VIEW \"qTABLE\" AS ") + text);
        checkQueryOpens(s.db, QStringLiteral("qTABLE"));
        std::vector<QString> tables{QStringLiteral("DATA")};
        for (int i = 1; i <= extraTables; ++i)
            tables.push_back(QStringLiteral("DATA") + QString::number(i).rightJustified(2, QLatin1Char('0')));
        s.unions.emplace_back(QStringLiteral("qTABLE"), std::move(tables));
        openQueryRecordset(QStringLiteral("qTABLE"));
        return;
    }

    // No further tables: a second union over the same database finds "qTABLE"
    // taken and falls back to "qTABLE2"; any other failure leaves no record set.
    const QString text = QStringLiteral("SELECT * FROM DATA;");
    try {
        if (!s.db.objectExists(QStringLiteral("qTABLE"))) {
            s.db.exec(QStringLiteral("CREATE VIEW \"qTABLE\" AS ") + text);
            checkQueryOpens(s.db, QStringLiteral("qTABLE"));
            s.unions.emplace_back(QStringLiteral("qTABLE"), std::vector<QString>{QStringLiteral("DATA")});
            openQueryRecordset(QStringLiteral("qTABLE"));
            return;
        }
        if (!s.db.objectExists(QStringLiteral("qTABLE2"))) {
            s.db.exec(QStringLiteral("CREATE VIEW \"qTABLE2\" AS ") + text);
            s.unions.emplace_back(QStringLiteral("qTABLE2"), std::vector<QString>{QStringLiteral("DATA")});
        }
        checkQueryOpens(s.db, QStringLiteral("qTABLE2"));
        openQueryRecordset(QStringLiteral("qTABLE2"));
    } catch (const DatabaseError&) {
        dropRecordset();
    }
}

}  // namespace mq
