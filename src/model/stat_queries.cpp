// The statistics queries of a working database: minimum and maximum per
// channel, the marking of the records that hold them, and the alarm queries
// that colour the data window's cells and count them. Each query is saved in
// the database as a view under its own name and stays there until the file
// is deleted; a second run of the same query on the same database therefore
// fails, as the callers expect of a database that is rebuilt for every fill.
#include "model/stat_queries.h"

#include <QCoreApplication>

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "model/cls_logger_database.h"
#include "model/db_session.h"
#include "platform/errors.h"
#include "platform/numbers.h"

namespace mq {

using platform::SqliteDb;
using platform::SqliteStatement;

namespace {

// Records between two yields of the colouring loop.
constexpr int kYieldEvery = 512;

QString q(const QString& name) { return SqliteDb::quoteIdentifier(name); }

QString channelField(qint16 ch) {
    if (ch < 1 || ch > 4)
        throw OutOfRangeError(QStringLiteral("channel %1 outside 1..4").arg(ch).toStdString());
    return QStringLiteral("CH%1").arg(ch);
}

// The number held in a channel text: its last six characters, read as a number.
QString numberOf(const QString& field) {
    return QStringLiteral("RightVal(%1,6)").arg(q(field));
}

// The condition that leaves out range sentinels, missing values and empty
// cells: they hold no measured value.
QString measuredOnly(const QString& field) {
    return QStringLiteral("%1 <> %2 And %1 <> %3 And %1 <> %4 And %1 <> ''")
        .arg(q(field), SqliteDb::quoteLiteral(kStoredOverRange), SqliteDb::quoteLiteral(kStoredUnderRange),
             SqliteDb::quoteLiteral(kStoredMissing));
}

void createView(detail::DbSession& s, const QString& name, const QString& select) {
    s.commitPending();
    if (s.db.objectExists(name))
        throw platform::SqliteNameExistsError(QStringLiteral("%1 already exists").arg(name), SQLITE_ERROR);
    s.db.exec(QStringLiteral("CREATE VIEW ") + q(name) + QStringLiteral(" AS ") + select);
}

template <class Char>
double parseLeadingNumber(const Char* p, qsizetype n) {
    qsizetype i = 0;
    while (i < n && (p[i] == ' ' || p[i] == '\t' || p[i] == '\r' || p[i] == '\n')) ++i;
    // Every character of the number is kept, however long: a fixed buffer
    // would drop digits and read a much smaller number.
    std::string buf;
    auto put = [&](Char c) { buf.push_back(char(c)); };
    if (i < n && (p[i] == '+' || p[i] == '-')) {
        if (p[i] == '-') put('-');
        ++i;
    }
    int digits = 0;
    while (i < n && p[i] >= '0' && p[i] <= '9') put(p[i++]), ++digits;
    if (i < n && p[i] == '.') {
        put('.');
        ++i;
        while (i < n && p[i] >= '0' && p[i] <= '9') put(p[i++]), ++digits;
    }
    if (digits == 0) return 0.0;
    // An exponent counts only when digits follow it.
    if (i < n && (p[i] == 'e' || p[i] == 'E' || p[i] == 'd' || p[i] == 'D')) {
        qsizetype j = i + 1;
        const size_t mark = buf.size();
        char sign = 0;
        if (j < n && (p[j] == '+' || p[j] == '-')) sign = char(p[j++]);
        if (j < n && p[j] >= '0' && p[j] <= '9') {
            put('e');
            if (sign) put(sign);
            while (j < n && p[j] >= '0' && p[j] <= '9') put(p[j++]);
        } else {
            buf.resize(mark);
        }
    }
    const char* b = buf.data();
    double v = 0.0;
    const auto r = std::from_chars(b, b + buf.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        // Too small to hold is 0; too large is an infinity of the number's sign.
        const size_t e = buf.find('e');
        if (e != std::string::npos && e + 1 < buf.size() && buf[e + 1] == '-') return 0.0;
        return (*b == '-') ? -HUGE_VAL : HUGE_VAL;
    }
    if (r.ec != std::errc()) return 0.0;
    return v == 0.0 ? 0.0 : v;  // no negative zero
}

void sqlVal(sqlite3_context* ctx, int, sqlite3_value** argv) {
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        sqlite3_result_null(ctx);
        return;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        sqlite3_result_double(ctx, sqlite3_value_double(argv[0]));
        return;
    default: {
        const auto* p = sqlite3_value_text(argv[0]);
        const int bytes = sqlite3_value_bytes(argv[0]);
        sqlite3_result_double(ctx, p ? parseLeadingNumber(reinterpret_cast<const char*>(p), bytes) : 0.0);
    }
    }
}

// Byte offset of the last n characters of a UTF-8 text.
int rightStart(const char* p, int bytes, qint64 n) {
    int start = bytes;
    while (start > 0 && n > 0) {
        --start;
        // Step back over continuation bytes to the first byte of the character.
        while (start > 0 && (static_cast<unsigned char>(p[start]) & 0xC0) == 0x80) --start;
        --n;
    }
    return start;
}

// Where the value of a stored channel text starts: its last n characters, or
// earlier when the value in its last blank-free run is longer (a negative
// value with all its digits, "   -3222.4"), so that no sign is lost.
int valueStart(const char* p, int bytes, qint64 n) {
    int token = bytes;
    while (token > 0 && p[token - 1] != ' ') --token;
    return std::min(token, rightStart(p, bytes, n));
}

// parseLeadingNumber for the usual short texts ("  -12.5"): blanks, a sign,
// at most 15 digits around one point and no exponent. The digits make an
// exact whole number and 10^k is exact, so the one division rounds exactly
// as the full conversion does. False for anything else.
bool parseShortNumber(const char* p, qsizetype n, double& out) {
    static constexpr double kTens[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    qsizetype i = 0;
    while (i < n && (p[i] == ' ' || p[i] == '\t' || p[i] == '\r' || p[i] == '\n')) ++i;
    bool negative = false;
    if (i < n && (p[i] == '+' || p[i] == '-')) negative = p[i++] == '-';
    qint64 m = 0;
    int digits = 0;
    int fraction = 0;
    while (i < n && p[i] >= '0' && p[i] <= '9') m = m * 10 + (p[i++] - '0'), ++digits;
    if (i < n && p[i] == '.') {
        ++i;
        while (i < n && p[i] >= '0' && p[i] <= '9') m = m * 10 + (p[i++] - '0'), ++digits, ++fraction;
    }
    if (digits > 15) return false;
    if (i < n && (p[i] == 'e' || p[i] == 'E' || p[i] == 'd' || p[i] == 'D')) return false;
    const double v = digits == 0 ? 0.0 : double(m) / kTens[fraction];
    out = v == 0.0 ? 0.0 : (negative ? -v : v);  // no negative zero
    return true;
}

// The number held in a stored channel text, read exactly as the saved
// queries read it (RightVal).
double storedValue(const char* p, int bytes) {
    const int start = valueStart(p, bytes, 6);
    double v = 0.0;
    if (parseShortNumber(p + start, bytes - start, v)) return v;
    return parseLeadingNumber(p + start, bytes - start);
}

bool isMeasured(const char* p, int len) {
    // The same selection as the saved queries: neither range sentinel nor a
    // missing value, not empty.
    if (!p || len == 0) return false;
    static_assert(sizeof(kStoredOverRangeBytes) == 10 && sizeof(kStoredUnderRangeBytes) == 10);
    if (len == 9 && (std::memcmp(p, kStoredOverRangeBytes, 9) == 0 || std::memcmp(p, kStoredUnderRangeBytes, 9) == 0))
        return false;
    static_assert(sizeof(kStoredMissingBytes) == 11);
    if (len == 10 && std::memcmp(p, kStoredMissingBytes, 10) == 0) return false;
    return true;
}

// The measured values of every channel of source, in record order. The saved
// queries state the selection; reading the texts once for all four channels
// and comparing the numbers here spares the engine a function call per record
// and, over the union of a split file, the row-by-row hand-over between its
// tables, and the later queries of the fill find the values already read.
// A table, or a union of whole tables, is read table by table with the row
// ids, so that the marking can go straight to the rows that hold a value.
const detail::ValueCache& measuredValues(detail::DbSession& s, const QString& source) {
    if (s.values.valid && s.values.source.compare(source, Qt::CaseInsensitive) == 0) return s.values;
    s.mapForReads();
    s.values.clear();
    std::vector<QString> tables;
    for (const auto& [name, parts] : s.unions) {
        if (name.compare(source, Qt::CaseInsensitive) == 0) tables = parts;
    }
    if (tables.empty()) {
        SqliteStatement kind = s.db.prepare(
            QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE"));
        kind.bind(1, source);
        if (kind.step()) tables.push_back(source);
    }
    // The values gathered during the load, when they cover exactly these
    // tables in this order, are what the read would find.
    const auto sameTables = [](const std::vector<QString>& a, const std::vector<QString>& b) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (a[i].compare(b[i], Qt::CaseInsensitive) != 0) return false;
        return true;
    };
    if (s.loaded.valid && !tables.empty() && tables.size() <= 0xFFFF && sameTables(s.loaded.tables, tables)) {
        s.values = std::move(s.loaded);
        s.loaded.clear();
        s.values.tables = std::move(tables);
        s.values.source = source;
        s.values.valid = true;
        return s.values;
    }
    const auto readAll = [&s](SqliteStatement& st, int first, quint16 table, bool withRowid) {
        while (st.step()) {
            const qint64 rowid = withRowid ? st.columnInt64(0) : 0;
            const qint32 no = qint32(st.columnInt64(first));
            for (int c = 0; c < 4; ++c) {
                int len = 0;
                const char* p = st.columnUtf8(first + 1 + c, &len);
                if (!isMeasured(p, len)) continue;
                detail::ChannelValues& cv = s.values.ch[c];
                cv.no.push_back(no);
                cv.value.push_back(storedValue(p, len));
                if (withRowid) {
                    cv.rowid.push_back(rowid);
                    cv.table.push_back(table);
                }
            }
        }
    };
    if (tables.empty() || tables.size() > 0xFFFF) {
        SqliteStatement st =
            s.db.prepare(QStringLiteral("SELECT [No],[CH1],[CH2],[CH3],[CH4] FROM %1").arg(q(source)));
        readAll(st, 0, 0, false);
    } else {
        for (size_t t = 0; t < tables.size(); ++t) {
            SqliteStatement st = s.db.prepare(
                QStringLiteral("SELECT rowid,[No],[CH1],[CH2],[CH3],[CH4] FROM %1").arg(q(tables[t])));
            readAll(st, 1, quint16(t), true);
        }
        s.values.tables = std::move(tables);
    }
    s.values.source = source;
    s.values.valid = true;
    return s.values;
}

}  // namespace

namespace detail {

void noteLoadedRecord(DbSession& s, const QString& table, qint64 rowid, qint32 no, const QByteArrayView* ch) {
    ValueCache& acc = s.loaded;
    if (!acc.valid) return;
    if (acc.tables.empty() || acc.tables.back() != table) {
        // Back to a table left before: the order of a read is no longer the
        // order of insertion.
        for (const QString& t : acc.tables) {
            if (t.compare(table, Qt::CaseInsensitive) == 0) {
                acc.clear();
                return;
            }
        }
        if (acc.tables.size() >= 0xFFFF) {
            acc.clear();
            return;
        }
        acc.tables.push_back(table);
    }
    const quint16 t = quint16(acc.tables.size() - 1);
    for (int c = 0; c < 4; ++c) {
        const char* p = ch[c].data();
        const int len = int(ch[c].size());
        if (!isMeasured(p, len)) continue;
        ChannelValues& cv = acc.ch[c];
        cv.no.push_back(no);
        cv.value.push_back(storedValue(p, len));
        cv.rowid.push_back(rowid);
        cv.table.push_back(t);
    }
}

}  // namespace detail

namespace {

// The rows of table that may hold the channel text `value`: every row whose
// stored number equals the number the text holds (a text equal to value holds
// that number, so none is missed). False when the values read do not say.
bool candidateRows(const detail::ValueCache& cache, int ch, const QString& table, const QByteArray& value,
                   std::vector<qint64>& rows) {
    if (!cache.valid || !isMeasured(value.constData(), int(value.size()))) return false;
    int t = -1;
    for (size_t i = 0; i < cache.tables.size(); ++i) {
        if (cache.tables[i].compare(table, Qt::CaseInsensitive) == 0) t = int(i);
    }
    if (t < 0) return false;
    const detail::ChannelValues& cv = cache.ch[ch];
    if (cv.rowid.size() != cv.value.size()) return false;
    const double x = storedValue(value.constData(), int(value.size()));
    // The values are in table order: only the table's own stretch is looked
    // at, so marking every table of a split load stays linear in the records.
    const auto [from, to] = std::equal_range(cv.table.begin(), cv.table.end(), quint16(t));
    for (auto i = size_t(from - cv.table.begin()), end = size_t(to - cv.table.begin()); i < end; ++i) {
        if (cv.value[i] == x) rows.push_back(cv.rowid[i]);
    }
    return true;
}

// The text of argv[0] from the byte `Start` finds for the count argv[1]
// (NULL stays NULL).
template <int (*Start)(const char*, int, qint64)>
void sqlTextFrom(sqlite3_context* ctx, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int bytes = sqlite3_value_bytes(argv[0]);
    if (!p) {
        sqlite3_result_text(ctx, "", 0, SQLITE_STATIC);
        return;
    }
    const int start = Start(p, bytes, sqlite3_value_int64(argv[1]));
    sqlite3_result_text(ctx, p + start, bytes - start, SQLITE_TRANSIENT);
}

// Right$(text, n): the last n characters.
void sqlRight(sqlite3_context* ctx, int, sqlite3_value** argv) { sqlTextFrom<rightStart>(ctx, argv); }

// RightVal(text, n) = Val(Right$(text, n)) in one step: the number held in
// the last n characters of a channel text, or in its whole value when that
// is longer (see valueStart). It runs once per record in every statistics
// query, so it avoids the intermediate text.
void sqlRightVal(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const int type = sqlite3_value_type(argv[0]);
    if (type == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    if (!p) {
        sqlite3_result_double(ctx, 0.0);
        return;
    }
    const int bytes = sqlite3_value_bytes(argv[0]);
    const int start = valueStart(p, bytes, sqlite3_value_int64(argv[1]));
    sqlite3_result_double(ctx, parseLeadingNumber(p + start, bytes - start));
}

// ValueRight(text, n): the text from valueStart on (the marking keeps the
// whole value behind its mark).
void sqlValueRight(sqlite3_context* ctx, int, sqlite3_value** argv) { sqlTextFrom<valueStart>(ctx, argv); }

// AlarmBand(value, highSet, high, lowSet, low): the band alarm_band gives a
// value against those limits (0 none, 1 upper, 2 lower alarm).
void sqlAlarmBand(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const AlarmLimits a{sqlite3_value_int(argv[1]) != 0, sqlite3_value_int(argv[3]) != 0,
                        float(sqlite3_value_double(argv[2])), float(sqlite3_value_double(argv[4]))};
    sqlite3_result_int(ctx, int(alarm_band(a, sqlite3_value_double(argv[0]))));
}

void checkRc(platform::SqliteDb& db, int rc, const char* what) {
    if (rc != SQLITE_OK) db.raise(rc, QString::fromLatin1(what));
}

}  // namespace

// ================================================================ helpers

double channel_text_value(QStringView text) {
    return parseLeadingNumber(reinterpret_cast<const char16_t*>(text.utf16()), text.size());
}

qint64 round_half_even_text(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        throw ConversionError(QStringLiteral("not a number: \"%1\"").arg(text).toStdString());
    const double r = std::nearbyint(v);  // default rounding: to nearest, halves to even
    if (r > 9.0e18 || r < -9.0e18) throw OverflowError(QStringLiteral("number too large: %1").arg(text).toStdString());
    return qint64(r);
}

QString alarm_limit_text(double value) {
    // "#.0": one decimal, halves away from zero, no digit before the point
    // when the whole part is zero. The picture formatter takes any magnitude
    // (an alarm value of 1e18 has more tenths than a 64-bit integer holds).
    return (QStringLiteral("      ") + platform::format(value, QStringLiteral("#.0"))).right(6);
}

QString plain_number_text(double value) {
    if (value == 0.0) return QStringLiteral("0");
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

namespace detail {

void registerQueryFunctions(platform::SqliteDb& db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    checkRc(db, sqlite3_create_function_v2(db.handle(), "Val", 1, flags, nullptr, sqlVal, nullptr, nullptr, nullptr),
            "register Val");
    checkRc(db, sqlite3_create_function_v2(db.handle(), "Right$", 2, flags, nullptr, sqlRight, nullptr, nullptr, nullptr),
            "register Right");
    checkRc(db, sqlite3_create_function_v2(db.handle(), "RightVal", 2, flags, nullptr, sqlRightVal, nullptr, nullptr, nullptr),
            "register RightVal");
    checkRc(db, sqlite3_create_function_v2(db.handle(), "ValueRight", 2, flags, nullptr, sqlValueRight, nullptr, nullptr,
                                           nullptr),
            "register ValueRight");
    checkRc(db, sqlite3_create_function_v2(db.handle(), "CDbl", 1, flags, nullptr, sqlVal, nullptr, nullptr, nullptr),
            "register CDbl");
    checkRc(db, sqlite3_create_function_v2(db.handle(), "AlarmBand", 5, flags, nullptr, sqlAlarmBand, nullptr, nullptr,
                                           nullptr),
            "register AlarmBand");
}

}  // namespace detail

// ================================================================ queries

void clsLOGGER_DATABASE::Get_ChData_MinMax(qint16 ch, QString& minText, QString& maxText, const QString& source) {
    const QString field = channelField(ch);
    detail::DbSession& s = session();
    const QString base = field + QStringLiteral("_baseTBL");
    const QString minMax = field + QStringLiteral("MIN_MAX");
    createView(s, base,
               QStringLiteral("SELECT %1 From %2 WHERE %3").arg(q(field), q(source), measuredOnly(field)));
    createView(s, minMax,
               QStringLiteral("SELECT MAX(%1) AS MAXDAT,MIN(%1) AS MINDAT FROM %2").arg(numberOf(field), q(base)));
    // Opening the saved query checks the source and the field.
    s.db.prepare(QStringLiteral("SELECT MINDAT, MAXDAT FROM %1").arg(q(minMax)));
    Loaded_MinMax(ch, minText, maxText, source);
}

void clsLOGGER_DATABASE::Loaded_MinMax(qint16 ch, QString& minText, QString& maxText, const QString& source) {
    channelField(ch);
    detail::DbSession& s = session();
    bool any = false;
    double lo = 0.0, hi = 0.0;
    for (double v : measuredValues(s, source).ch[ch - 1].value) {
        if (!any || v < lo) lo = v;
        if (!any || v > hi) hi = v;
        any = true;
    }
    // With no measured value there is no minimum or maximum: both texts come back empty.
    minText.clear();
    maxText.clear();
    if (any) {
        minText = plain_number_text(lo);
        maxText = plain_number_text(hi);
    }
}

void clsLOGGER_DATABASE::CHData_ADD_H_str(qint16 ch, const QString& maxText, const QString& table,
                                          StatQueryHost* host) {
    markExtreme(ch, maxText, table, true, host, true);
}

void clsLOGGER_DATABASE::Loaded_Mark(qint16 ch, const QString& text, const QString& table, bool isMax,
                                     StatQueryHost* host) {
    markExtreme(ch, text, table, isMax, host, false);
}

void clsLOGGER_DATABASE::CHData_ADD_L_str(qint16 ch, const QString& minText, const QString& table,
                                          StatQueryHost* host) {
    markExtreme(ch, minText, table, false, host, true);
}

void clsLOGGER_DATABASE::markExtreme(qint16 ch, const QString& value, const QString& table, bool isMax,
                                     StatQueryHost* host, bool saveQuery) {
    const QString field = channelField(ch);
    detail::DbSession& s = session();
    if (saveQuery) {
        const QString name = field + (isMax ? QStringLiteral("MAX RecordNo ") : QStringLiteral("MIN RecordNo ")) + table;
        createView(s, name,
                   QStringLiteral("SELECT [No] From %1 WHERE %2 = %3;").arg(q(table), q(field), SqliteDb::quoteLiteral(value)));
        // Opening the saved query checks its table and field; a failure here reaches the caller.
        s.db.prepare(QStringLiteral("SELECT [No] FROM %1").arg(q(name)));
    }

    // From here on a failure ends the marking quietly with what is done kept.
    try {
        openTableRecordset(table);
        // Every record holding the value is rewritten in one statement (the
        // records the saved query finds); the mark replaces the leading
        // blanks, the last six characters keep the number.
        // The rewritten cells come back with it, so that a window showing
        // the records as loaded can mark the same cells. When the values read
        // for the statistics say which rows can hold the value, only those
        // are visited; the text comparison still decides.
        const QByteArray v8 = value.toUtf8();
        std::vector<qint64> rows;
        const bool direct = candidateRows(s.values, ch - 1, table, v8, rows);
        SqliteStatement up = s.db.prepare(
            QStringLiteral("UPDATE %1 SET %2 = ?1 || ValueRight(%2,6) WHERE %2 = ?2%3 RETURNING [No], %2")
                .arg(q(table), q(field), direct ? QStringLiteral(" AND rowid = ?3") : QString()));
        up.bindText(1, isMax ? QStringLiteral("▲ ") : QStringLiteral("▼ "));
        up.bindText(2, value);
        qint64 hits = 0;
        const auto collect = [&] {
            while (up.step()) {
                m_marked.push_back(MarkedCell{qint32(up.columnInt64(0)), ch, up.columnText(1)});
                ++hits;
            }
        };
        if (!direct) {
            collect();
        } else {
            for (const qint64 rowid : rows) {
                up.bind(3, rowid);
                collect();
                up.reset();
            }
        }
        // Marking keeps the number in the last six characters, so the values
        // read stay right, unless a text that held no value got a mark.
        if (hits > 0 && !isMeasured(v8.constData(), int(v8.size()))) {
            s.values.clear();
            s.loaded.clear();
        }
        if (host && hits > 0) {
            host->progressAddMaximum(hits);
            host->progressAdvance(hits);
            host->yield();
        }
    } catch (const std::exception&) {
    }
}

qint32 clsLOGGER_DATABASE::CHDATA_LALM_ColorAndNum(qint16 ch, const AlarmLimits& limits, const QString& source,
                                                   StatQueryHost* host) {
    return alarmColour(ch, limits, source, false, host, true);
}

qint32 clsLOGGER_DATABASE::CHDATA_hALM_ColorAndNum(qint16 ch, const AlarmLimits& limits, const QString& source,
                                                   StatQueryHost* host) {
    return alarmColour(ch, limits, source, true, host, true);
}

qint32 clsLOGGER_DATABASE::Loaded_AlarmColorAndNum(qint16 ch, const AlarmLimits& limits, const QString& source,
                                                   bool high, StatQueryHost* host) {
    return alarmColour(ch, limits, source, high, host, false);
}

qint32 clsLOGGER_DATABASE::alarmColour(qint16 ch, const AlarmLimits& limits, const QString& source, bool high,
                                       StatQueryHost* host, bool saveQuery) {
    const QString field = channelField(ch);
    if (host && host->channelInputType(ch) == QLatin1String("-")) return 0;
    if (!(high ? limits.high_set : limits.low_set)) return 0;
    detail::DbSession& s = session();

    // The saved query states the selection with the same rule (AlarmBand),
    // the limits written so that they read back as the very same singles.
    const AlarmBand wanted = high ? AlarmBand::High : AlarmBand::Low;
    const auto number = [](float v) { return QString::number(double(v), 'g', 17); };
    const QString band = QStringLiteral("AlarmBand(%1,%2,%3,%4,%5)")
                             .arg(numberOf(field), QString::number(int(limits.high_set)), number(limits.high),
                                  QString::number(int(limits.low_set)), number(limits.low));
    if (saveQuery) {
        const QString name = field + (high ? QStringLiteral("hALM RecordNo") : QStringLiteral("LALM RecordNo"));
        createView(s, name,
                   QStringLiteral("SELECT [No],%1 FROM %2 WHERE %3 = %4 And %5;")
                       .arg(q(field), q(source), band, QString::number(int(wanted)), measuredOnly(field)));
        // Opening the saved query checks the source and the field.
        s.db.prepare(QStringLiteral("SELECT [No] FROM %1").arg(q(name)));
    }
    std::vector<qint32> rows;
    const detail::ChannelValues& cv = measuredValues(s, source).ch[ch - 1];
    for (size_t i = 0; i < cv.value.size(); ++i) {
        if (alarm_band(limits, cv.value[i]) == wanted) rows.push_back(cv.no[i]);
    }

    // From here on a failure ends the colouring with the count of the results.
    const qint32 count = qint32(rows.size());
    if (!host) return count;
    try {
        const bool fileData = host->currentIsFileData();
        if (fileData && count > 0) host->progressAddMaximum(count);
        host->yield();
        const quint32 colour = high ? kHighAlarmColour : kLowAlarmColour;
        int sinceYield = 0;
        for (qint32 r : rows) {
            host->setCellForeColor(r, ch + 2, colour);
            if (++sinceYield == kYieldEvery) {
                if (fileData) host->progressAdvance(sinceYield);
                host->yield();
                sinceYield = 0;
            }
        }
        if (fileData && sinceYield > 0) host->progressAdvance(sinceYield);
        host->yield();
    } catch (const std::exception&) {
    }
    return count;
}

}  // namespace mq
