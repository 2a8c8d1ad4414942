#include "tag_data/mt1_format.h"

#include "main_window/conversions.h"
#include "main_window/scrambling.h"
#include "model/channel_values.h"
#include "model/cls_logger_setting.h"
#include "model/cls_logger_status.h"
#include "model/common_proc.h"
#include "platform/civil_time.h"
#include "platform/cp932.h"
#include "platform/errors.h"
#include "platform/numbers.h"

#include <array>
#include <limits>

namespace mq {

namespace {

using platform::rightAlign;

QByteArray fixed(const QString& text, int width) { return platform::cp932::fixedBytes(text, width); }

// A number text right-aligned in `width` bytes; a longer text loses its
// leading characters (the fields are ASCII).
QByteArray right(const QString& text, int width) { return rightAlign(text, width).toLatin1(); }

QString two(int v) { return QStringLiteral("%1").arg(v, 2, 10, QChar(u'0')); }

// Scale field: a blank, the value in at least four digits, a blank; the last six.
QByteArray scaleField(qint16 v) {
    return (QStringLiteral(" ") + platform::format(v, QStringLiteral("0000")) + u' ').right(6).toLatin1();
}

QByteArray alarmField(const clsLOGGER_SETTING& s, int ch, double value) {
    const QString t = mt1_value_text(s, ch, value);
    if (platform::val(t) == 0.0) return QByteArrayLiteral("------");
    return t.toLatin1();
}


QString text(const QByteArray& body, qint64 at, int len) {
    return platform::cp932::decode(body.constData() + at, len);
}

bool numberField(const QString& t, double& v) {
    try {
        v = platform::toDouble(t);
        return true;
    } catch (const Error&) {
        return false;
    }
}

bool intField(const QString& t, qint64 lo, qint64 hi, qint64& v) {
    bool ok = false;
    v = t.trimmed().toLongLong(&ok);
    return ok && v >= lo && v <= hi;
}

// "yy/mm/dd hh:nn:ss" (17 bytes, years 2000-2099) or "yyyy/mm/dd hh:nn:ss"
// (19 bytes), read by position into year, month, day, hours, minutes and
// seconds; false for anything else, or a date-time that does not exist.
bool recordTimeParts(const char* p, int len, std::array<int, 6>& v) {
    bool ok = true;
    const auto num = [p, &ok](int at, int n) {
        int x = 0;
        for (int i = 0; i < n; ++i) {
            const char c = p[at + i];
            if (c < '0' || c > '9') ok = false;
            x = x * 10 + (c - '0');
        }
        return x;
    };
    if (len != 17 && len != 19) return false;
    v[0] = len == 19 ? num(0, 4) : 2000 + num(0, 2);
    const int o = len == 19 ? 2 : 0;
    if (p[o + 2] != '/' || p[o + 5] != '/' || p[o + 8] != ' ' || p[o + 11] != ':' || p[o + 14] != ':') return false;
    for (int k = 1; k < 6; ++k) v[size_t(k)] = num(o + 3 * k, 2);
    return ok && v[0] >= 100 && v[0] <= 9999 && QDate::isValid(v[0], v[1], v[2]) && v[3] <= 23 && v[4] <= 59 &&
           v[5] <= 59;
}

// The date-time of a record time field; ConversionError for anything else.
QDateTime mt1_record_time(const char* p, int len) {
    std::array<int, 6> v{};
    if (!recordTimeParts(p, len, v)) throw ConversionError("not a record time");
    return platform::civil(v[0], v[1], v[2], v[3], v[4], v[5]);
}

// Where record i starts; false (with the message) past the records the body holds.
bool recordStart(const QByteArray& body, const Mt1Layout& l, qint32 i, qint64& at, QString* error) {
    at = l.records_at + qint64(i) * l.record_bytes;
    if (i < 0 || i >= l.count || at + l.record_bytes > body.size()) {
        if (error) *error = mt1_corrupt_message(QStringLiteral("記録データが足りません。"));
        return false;
    }
    return true;
}

void badTime(qint32 i, QString* error) {
    if (error) *error = mt1_corrupt_message(QStringLiteral("%1件目の記録日時が正しくありません。").arg(i + 1));
}

bool alarmText(const QString& t) {
    const QString x = t.trimmed();
    if (value_kind(x) == ValueKind::Missing) return true;
    double v = 0;
    return numberField(x, v);
}

}  // namespace

QString mt1_corrupt_message(const QString& reason) {
    return QStringLiteral("選択ファイルはタグ・データとして読み込めません。\r\n") + reason;
}

QString mt1_value_text(const clsLOGGER_SETTING& s, int ch, double value) {
    const QString fmt = make_value_format(s.Ch_input_type(ch), s.Ch_period_pos(ch));
    return rightAlign(platform::format(value, fmt), 6);
}

// ---------------------------------------------------------------- writing

QByteArray mt1_tag_line(const clsLOGGER_STATUS& status) {
    return fixed(status.model_name(), 8) + '-' + QByteArray(kMt1FormatTag);
}

QByteArray mt1_header_block(const Mt1Sources& src) {
    const clsLOGGER_SETTING& s = src.setting;
    const clsLOGGER_STATUS& st = src.status;
    QByteArray b;
    b.reserve(kMt1HeaderBytes);
    b += fixed(st.model_name(), 8);
    b += right(two(st.hard_ver()), 2);
    b += right(two(st.soft_ver()), 2);
    b += right(two(st.special_spec()), 2);
    b += fixed(st.serial_no(), 8);
    b += fixed(st.user_model_name(), 8);
    b += right(two(s.area_no()), 2);
    b += fixed(s.log_name(), 8);
    for (int ch = 0; ch < 4; ++ch) b += right(st.ch_offset(ch), 5);
    for (int ch = 0; ch < 4; ++ch) b += fixed(s.Ch_input_type(ch), 1);
    for (int ch = 0; ch < 4; ++ch) b += fixed(s.Ch_unit(ch), 3);
    for (int ch = 0; ch < 4; ++ch) b += scaleField(s.Ch_scale_min(ch));
    for (int ch = 0; ch < 4; ++ch) b += scaleField(s.Ch_scale_max(ch));
    for (int ch = 0; ch < 4; ++ch) b += QByteArray::number(s.Ch_period_pos(ch) % 10);
    for (int ch = 0; ch < 4; ++ch) b += alarmField(s, ch, s.Ch_low_alarm_count_value(ch));
    for (int ch = 0; ch < 4; ++ch) b += alarmField(s, ch, s.Ch_high_alarm_count_value(ch));
    b += right(QString::number(s.data_count()), 8);
    return b;
}

QByteArray mt1_record_bytes(const TagTableRow& row) {
    QByteArray b;
    b.reserve(kMt1RecordBytes);
    // The table holds a four-digit year; the file keeps two.
    b += fixed(row.time.mid(2), 17);
    for (int ch = 0; ch < 4; ++ch) {
        const QString& cell = row.ch[size_t(ch)];
        QString v = cell.isEmpty() ? QString(6, u' ') : rightAlign(cell, 6);
        b += fixed(file_save_over_under_conv(v), 6);
    }
    b += fixed(row.worker, 8);
    b += fixed(row.comment, 8);
    return b;
}

QByteArray mt1_statistics_block(const Mt1Sources& src) {
    const clsLOGGER_SETTING& s = src.setting;
    // What marks "no value" in each row: a logger data set holds its reset
    // values, a file data set 0.
    const double minMark = src.file_data ? 0.0 : 9999.9;
    const double maxMark = src.file_data ? 0.0 : -999.9;
    const auto field = [&](int ch, double value, double mark) {
        // A channel without values has no statistics, whatever its reset
        // values read as in its number format.
        if (s.Ch_input_type(ch) == QLatin1String("-") || s.Ch_data_count(ch) == 0) return QByteArray(6, ' ');
        const QString t = mt1_value_text(s, ch, value);
        if (platform::val(t) == mark) return QByteArray(6, ' ');
        return t.toLatin1();
    };
    QByteArray b;
    b.reserve(kMt1StatisticsBytes);
    for (int ch = 0; ch < 4; ++ch) b += field(ch, s.Ch_min_value(ch), minMark);
    for (int ch = 0; ch < 4; ++ch) b += field(ch, s.Ch_max_value(ch), maxMark);
    for (int ch = 0; ch < 4; ++ch) b += field(ch, s.Ch_ave_value(ch), 0.0);
    return b;
}

FileResult mt1_write_file(const QString& path, const Mt1Sources& src, const TagRowSource& rows,
                          IFileProgress* progress) {
    const qint32 n = src.setting.data_count();
    if (n < 0 || n > 99999999) return FileResult::failure(QStringLiteral("データ数が多すぎるため、保存できません。"));

    const QByteArray tagLine = mt1_tag_line(src.status);
    QByteArray body = mt1_header_block(src);
    body.reserve(kMt1HeaderBytes + qsizetype(kMt1RecordBytes) * n + kMt1StatisticsBytes);
    TagTableRow row;
    for (qint32 r = 1; r <= n; ++r) {
        if (progress) {
            progress->set_progress_value(r);
            progress->process_events();
        }
        if (!rows(row)) {
            return FileResult::failure(
                QStringLiteral("データ数(%1件)の記録データがそろっていないため、保存できません。").arg(n));
        }
        body += mt1_record_bytes(row);
    }
    body += mt1_statistics_block(src);
    // Every field is cut or padded to its width, so a wrong length means a
    // field went astray: the file would not read back, and nothing is written.
    if (tagLine.size() != kMt1TagLineBytes ||
        body.size() != kMt1HeaderBytes + qint64(kMt1RecordBytes) * n + kMt1StatisticsBytes) {
        return FileResult::failure(QStringLiteral("ファイルの内容を正しく作成できなかったため、保存できません。"));
    }

    SafeFileWriter w(path);
    if (FileResult r = w.open(); !r) return r;
    if (FileResult r = w.write(data_disk_angou_load_1(tagLine) + QByteArrayLiteral("\r\n")); !r) return r;
    if (FileResult r = w.write(data_disk_angou_load_1(body)); !r) return r;
    return w.commit();
}

// ---------------------------------------------------------------- reading

FileResult mt1_split_file(const QByteArray& file, QByteArray& scrambledBody) {
    scrambledBody.clear();
    if (file.size() < kMt1TagLineBytes + 2) {
        return FileResult::failure(mt1_corrupt_message(QStringLiteral("ファイルが短すぎます。")));
    }
    if (file.at(kMt1TagLineBytes) != '\r' || file.at(kMt1TagLineBytes + 1) != '\n' ||
        !data_disk_angou_load_1(file.left(kMt1TagLineBytes)).endsWith(kMt1FormatTag)) {
        return FileResult::failure(mt1_corrupt_message(QStringLiteral("ファイルの先頭が正しくありません。")));
    }
    scrambledBody = file.mid(kMt1TagLineBytes + 2);
    if (scrambledBody.isEmpty()) {
        return FileResult::failure(mt1_corrupt_message(QStringLiteral("データ部がありません。")));
    }
    return FileResult::success();
}

FileResult mt1_header_read(const QByteArray& body, clsLOGGER_SETTING& s, clsLOGGER_STATUS& st, Mt1Layout& layout) {
    if (body.size() < kMt1HeaderBytes + kMt1StatisticsBytes) {
        return FileResult::failure(mt1_corrupt_message(QStringLiteral("ファイルが短すぎます。")));
    }
    const auto badNumber = [] {
        return FileResult::failure(mt1_corrupt_message(QStringLiteral("ヘッダーの数値が正しくありません。")));
    };
    // Every number is read before anything is stored.
    qint64 hard = 0, soft = 0, special = 0, area = 0, count = 0;
    if (!intField(text(body, 8, 2), 0, 255, hard) || !intField(text(body, 10, 2), 0, 255, soft) ||
        !intField(text(body, 12, 2), 0, 255, special) || !intField(text(body, 30, 2), 0, 255, area) ||
        !intField(text(body, 176, 8), 0, std::numeric_limits<qint32>::max(), count)) {
        return badNumber();
    }
    std::array<double, 4> offset{};
    std::array<qint64, 4> smin{}, smax{}, pos{};
    for (int ch = 0; ch < 4; ++ch) {
        if (!numberField(text(body, 40 + 5 * ch, 5), offset[size_t(ch)]) ||
            !intField(text(body, 76 + 6 * ch, 6), -32768, 32767, smin[size_t(ch)]) ||
            !intField(text(body, 100 + 6 * ch, 6), -32768, 32767, smax[size_t(ch)]) ||
            !intField(text(body, 124 + ch, 1), 0, 9, pos[size_t(ch)]) || !alarmText(text(body, 128 + 6 * ch, 6)) ||
            !alarmText(text(body, 152 + 6 * ch, 6))) {
            return badNumber();
        }
    }

    Mt1Layout l;
    l.count = qint32(count);
    // Four-digit years put the first "/" of the record block at its fifth byte.
    l.record_bytes = body.size() > kMt1HeaderBytes + 4 && body.at(kMt1HeaderBytes + 4) == '/' ? kMt1LongRecordBytes
                                                                                               : kMt1RecordBytes;
    l.records_at = kMt1HeaderBytes;
    l.statistics_at = kMt1HeaderBytes + qint64(l.record_bytes) * l.count;
    if (body.size() != l.statistics_at + kMt1StatisticsBytes) {
        return FileResult::failure(
            mt1_corrupt_message(QStringLiteral("データ数(%1件)とファイルの長さが一致しません。").arg(l.count)));
    }

    // Stored into copies, taken over only when every field fits: an alarm or
    // an offset that reads as a number can still be too large once scaled.
    clsLOGGER_SETTING ns = s;
    clsLOGGER_STATUS nst = st;
    try {
        nst.let_model_name(text(body, 0, 8));
        nst.let_hard_ver(quint8(hard));
        nst.let_soft_ver(quint8(soft));
        nst.let_special_spec(quint8(special));
        nst.let_serial_no(text(body, 14, 8));
        nst.let_user_model_name(text(body, 22, 8));
        ns.let_area_no(quint8(area));
        ns.let_log_name(text(body, 32, 8));
        for (int ch = 0; ch < 4; ++ch) {
            // The file holds the offset as it is shown; the status takes tenths.
            nst.let_ch_offset(ch, platform::cstrNumber(offset[size_t(ch)] * 10.0));
            // Type and decimal position first: the scaled setters read them.
            ns.let_Ch_input_type(ch, text(body, 60 + ch, 1));
            ns.let_Ch_unit(ch, text(body, 64 + 3 * ch, 3));
            ns.let_Ch_period_pos(ch, quint8(pos[size_t(ch)]));
            ns.let_Ch_scale_min(ch, qint16(smin[size_t(ch)]));
            ns.let_Ch_scale_max(ch, qint16(smax[size_t(ch)]));
            ns.let_Ch_low_alarm_count(ch, text(body, 128 + 6 * ch, 6).trimmed());
            ns.let_Ch_high_alarm_count(ch, text(body, 152 + 6 * ch, 6).trimmed());
        }
    } catch (const Error&) {
        return badNumber();
    }
    ns.let_data_count(l.count);
    s = ns;
    st = nst;
    layout = l;
    return FileResult::success();
}

bool mt1_record_at(const QByteArray& body, const Mt1Layout& l, qint32 i, Mt1Record& out, QString* error) {
    qint64 at = 0;
    if (!recordStart(body, l, i, at, error)) return false;
    const int dateBytes = l.record_bytes - 40;
    try {
        out.time = mt1_record_time(body.constData() + at, dateBytes);
    } catch (const Error&) {
        badTime(i, error);
        return false;
    }
    qint64 p = at + dateBytes;
    for (int ch = 0; ch < 4; ++ch, p += 6) out.ch[size_t(ch)] = text(body, p, 6);
    out.worker = text(body, p, 8);
    out.comment = text(body, p + 8, 8);
    return true;
}

bool mt1_record_bytes_at(const QByteArray& body, const Mt1Layout& l, qint32 i, Mt1RecordBytes& out, QString* error) {
    qint64 at = 0;
    if (!recordStart(body, l, i, at, error)) return false;
    const int dateBytes = l.record_bytes - 40;
    std::array<int, 6> v{};
    if (!recordTimeParts(body.constData() + at, dateBytes, v)) {
        badTime(i, error);
        return false;
    }
    char* t = out.time;
    const auto two = [&t](int x) {
        *t++ = char('0' + x / 10);
        *t++ = char('0' + x % 10);
    };
    two(v[0] / 100);
    two(v[0] % 100);
    const char seps[] = "// ::";
    for (int k = 1; k < 6; ++k) {
        *t++ = seps[k - 1];
        two(v[size_t(k)]);
    }
    const char* p = body.constData() + at + dateBytes;
    for (int ch = 0; ch < 4; ++ch, p += 6) out.ch[size_t(ch)] = QByteArrayView(p, 6);
    out.worker = QByteArrayView(p, 8);
    out.comment = QByteArrayView(p + 8, 8);
    return true;
}

FileResult mt1_statistics_read(const QByteArray& body, const Mt1Layout& l, clsLOGGER_SETTING& s) {
    const qint64 at = l.statistics_at;
    if (at + kMt1StatisticsBytes > body.size()) return FileResult::success();
    clsLOGGER_SETTING next = s;
    // A field holds a value in its channel's format within its 6 bytes; a
    // text such as "9e8" stands for a value that no field of the file holds.
    const auto fits = [&next](int ch, double value) {
        return platform::format(value, make_value_format(next.Ch_input_type(ch), next.Ch_period_pos(ch))).size() <= 6;
    };
    bool ok = true;
    try {
        for (int ch = 0; ch < 4 && ok; ++ch) {
            next.let_Ch_min(ch, text(body, at + 6 * ch, 6).trimmed());
            next.let_Ch_max(ch, text(body, at + 24 + 6 * ch, 6).trimmed());
            next.let_Ch_ave(ch, text(body, at + 48 + 6 * ch, 6).trimmed());
            ok = fits(ch, next.Ch_min_value(ch)) && fits(ch, next.Ch_max_value(ch)) && fits(ch, next.Ch_ave_value(ch));
        }
    } catch (const Error&) {
        ok = false;
    }
    if (!ok) return FileResult::failure(mt1_corrupt_message(QStringLiteral("統計値が正しくありません。")));
    s = next;
    return FileResult::success();
}

}  // namespace mq
