#pragma once
// The least work the LOG file road can do, for the file benchmarks to set the
// program against in the same run (figures then compare as ratios, whatever
// the load of the machine):
// - the open floor: read the ".ML2" file, decode every record into arrays,
//   build each record's database texts and insert them with one prepared
//   statement in one transaction into an SQLite file with the program's
//   pragmas and table;
// - the CSV floor: format the rows of the export into one buffer per file and
//   write it at once.
// Nothing here shows, colours, counts or integrates.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <sqlite3.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "log_data/log_csv.h"
#include "log_data/log_records.h"
#include "log_data/ml2_format.h"
#include "main_window/scrambling.h"
#include "model/cls_logger_database.h"
#include "model/cls_logger_setting.h"
#include "model/cls_logger_status.h"
#include "platform/civil_time.h"
#include "platform/cp932.h"

namespace mq::bench {

// The records of an ".ML2" file decoded into arrays.
struct Ml2Arrays {
    clsLOGGER_SETTING setting;
    clsLOGGER_STATUS status;
    std::array<bool, 4> used{};
    std::array<int, 4> scale{};
    std::vector<std::array<qint16, 4>> raw;
    std::vector<quint8> marked;
    std::vector<qint64> secs;  // civil seconds of each record

    // False when the file cannot be read or decoded.
    bool read(const QString& path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return false;
        const QByteArray file = f.readAll();
        if (file.size() < kMl2RecordStart) return false;
        Ml2HeaderInfo info;
        if (!ld20_header_read(data_disk_angou_load_2(file.left(kMl2HeaderSize)), setting, status, info)) return false;
        const qint32 n = setting.data_count();
        int size = 0;
        for (int ch = 0; ch < 4; ++ch) {
            used[size_t(ch)] = setting.Ch_input_type(ch) != QLatin1String("-");
            scale[size_t(ch)] = ml2_channel_scale(setting, ch);
            size += used[size_t(ch)] ? 3 : 0;
        }
        if (size == 0 || kMl2RecordStart + qint64(n) * size > file.size()) return false;
        raw.resize(size_t(n));
        marked.resize(size_t(n));
        secs.resize(size_t(n));
        // Record 1 the start, record n the stop, the rest the interval rule.
        const LogRecordClock clock(setting.start_time(), setting.stop_time(), setting.record_interval(), n);
        const qint64 epoch = setting.start_time().toSecsSinceEpoch();
        const qint64 second = n >= 2 ? clock.computed(2).toSecsSinceEpoch() : epoch;
        const qint64 step = interval_seconds(setting.record_interval());
        const auto* b = reinterpret_cast<const quint8*>(file.constData()) + kMl2RecordStart;
        for (qint32 r = 0; r < n; ++r, b += size) {
            const quint8* p = b;
            std::array<qint16, 4>& v = raw[size_t(r)];
            marked[size_t(r)] = b[2] & 1;
            for (int ch = 0; ch < 4; ++ch) {
                if (!used[size_t(ch)]) continue;
                v[size_t(ch)] = qint16(quint16((p[0] << 8) | p[1]));
                p += 3;
            }
            secs[size_t(r)] = r == 0 ? epoch : second + step * (r - 1);
        }
        if (n >= 2) secs.back() = setting.stop_time().toSecsSinceEpoch();
        return true;
    }
};

// "yyyy/mm/dd hh:nn:ss" (four-digit years) of civil seconds into buf; the
// length is returned. yy: the two-digit year only.
inline int floorTime(qint64 secs, char* buf, bool yy) {
    qint64 days = secs / 86400;
    qint64 rem = secs % 86400;
    if (rem < 0) rem += 86400, --days;
    const qint64 z = days + 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 doe = z - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    const int d = int(doy - (153 * mp + 2) / 5 + 1);
    const int m = int(mp < 10 ? mp + 3 : mp - 9);
    const int y = int(yoe + era * 400 + (m <= 2 ? 1 : 0));
    const int parts[6] = {yy ? y % 100 : y / 100, y % 100, m, d, int(rem / 3600), int(rem / 60 % 60)};
    char* p = buf;
    const auto two = [&p](int v) {
        *p++ = char('0' + v / 10);
        *p++ = char('0' + v % 10);
    };
    if (!yy) two(parts[0]);
    two(parts[1]);
    const char seps[] = "// ::";
    for (int i = 2; i < 6; ++i) {
        *p++ = seps[i - 2];
        two(parts[i]);
    }
    *p++ = ':';
    two(int(rem % 60));
    return int(p - buf);
}

// The open floor into the SQLite file at dbPath (made afresh); the records
// inserted are returned, -1 on a failure.
inline qint64 ml2OpenFloor(const QString& path, const QString& dbPath) {
    Ml2Arrays a;
    if (!a.read(path)) return -1;
    QFile::remove(dbPath);
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(dbPath).constData(), &db) != SQLITE_OK) return -1;
    const QByteArray setup = clsLOGGER_DATABASE::working_pragmas().toUtf8() +
                             "; CREATE TABLE \"DATA\" (\"ﾏｰｸ\" TEXT, \"No\" INTEGER, \"収録日時\" TEXT, "
                             "\"CH1\" TEXT, \"CH2\" TEXT, \"CH3\" TEXT, \"CH4\" TEXT); BEGIN";
    sqlite3_stmt* ins = nullptr;
    qint64 rows = -1;
    if (sqlite3_exec(db, setup.constData(), nullptr, nullptr, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db,
                           "INSERT INTO \"DATA\" (\"ﾏｰｸ\",\"No\",\"収録日時\",\"CH1\",\"CH2\",\"CH3\",\"CH4\") "
                           "VALUES (?1,?2,?3,?4,?5,?6,?7)",
                           -1, &ins, nullptr) == SQLITE_OK) {
        char time[32];
        char cells[4][16];
        rows = 0;
        for (size_t r = 0; r < a.raw.size(); ++r) {
            sqlite3_bind_text(ins, 1, a.marked[r] ? " * " : "   ", 3, SQLITE_STATIC);
            sqlite3_bind_int64(ins, 2, qint64(r) + 1);
            sqlite3_bind_text(ins, 3, time, floorTime(a.secs[r], time, false), SQLITE_STATIC);
            for (int ch = 0; ch < 4; ++ch) {
                const int len = a.used[size_t(ch)] ? ld20_stored_chars(a.raw[r][size_t(ch)], a.scale[size_t(ch)], cells[ch]) : 0;
                sqlite3_bind_text(ins, 4 + ch, cells[ch], len, SQLITE_STATIC);
            }
            if (sqlite3_step(ins) != SQLITE_DONE) {
                rows = -1;
                break;
            }
            sqlite3_reset(ins);
            ++rows;
        }
        sqlite3_finalize(ins);
        if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) rows = -1;
    }
    sqlite3_close(db);
    return rows;
}

// The CSV floor: the export of the decoded file `a` as the program writes it
// for a file data set (part files of 30,000 records in the folder `folder`,
// made here), each file formatted into one buffer and written at once. The
// head lines come from the program (a few lines per file), the statistics
// lines are given (the statistics are the open's work, not the export's).
inline bool csvFloor(const Ml2Arrays& a, const QString& folder, const QString& chosen, const QByteArray& statistics) {
    if (!QDir().mkdir(folder)) return false;
    const LogCsvSource src{a.setting, a.status, {}, {}, {}, true};
    const qint32 n = qint32(a.raw.size());
    std::string buf;
    for (qint32 first = 1, k = 0; first <= n; first += kCsvSplitRecords, ++k) {
        const qint32 last = std::min<qint32>(first + kCsvSplitRecords - 1, n);
        const QStringList head = log_csv_head_lines(src, n > kCsvSplitRecords ? log_csv_range_text(first, last) : QString());
        const QByteArray headBytes = platform::cp932::encode(head.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
        buf.clear();
        buf.reserve(size_t(headBytes.size() + statistics.size()) + size_t(last - first + 1) * 50);
        buf.append(headBytes.constData(), size_t(headBytes.size()));
        char line[96];
        for (qint32 r = first; r <= last; ++r) {
            char* p = line + floorTime(a.secs[size_t(r - 1)], line, true);
            for (int ch = 0; ch < 4; ++ch) {
                *p++ = ',';
                char cell[16];
                const qint16 v = a.raw[size_t(r - 1)][size_t(ch)];
                if (!a.used[size_t(ch)]) {
                    std::memset(p, ' ', 6);
                    p += 6;
                    continue;
                }
                const int len = ld20_value_chars(v, a.scale[size_t(ch)], cell);
                for (int i = len; i < 6; ++i) *p++ = ' ';
                std::memcpy(p, cell, size_t(len));
                p += len;
            }
            *p++ = ',';
            *p++ = a.marked[size_t(r - 1)] ? '1' : '0';
            *p++ = '\r';
            *p++ = '\n';
            buf.append(line, size_t(p - line));
        }
        buf.append(statistics.constData(), size_t(statistics.size()));
        QFile f(csv_split_name_make(folder, chosen, k));
        if (!f.open(QIODevice::WriteOnly) || f.write(buf.data(), qint64(buf.size())) != qint64(buf.size())) return false;
    }
    return true;
}

}  // namespace mq::bench
