#include "log_data/ml1_format.h"

#include "main_window/scrambling.h"
#include "model/cls_logger_graphinfo.h"
#include "model/cls_logger_setting.h"
#include "model/cls_logger_status.h"
#include "platform/civil_time.h"
#include "platform/cp932.h"
#include "platform/errors.h"
#include "platform/numbers.h"

namespace mq {

namespace cp932 = platform::cp932;

namespace {

QString shortBodyMessage() {
    return QStringLiteral("ファイルのデータが不足しているため、開くことができません。");
}

QString badHeaderMessage() {
    return QStringLiteral("ファイルのヘッダーが正しくないため、開くことができません。");
}

// Reads fields by byte position; each field is decoded from its own bytes.
class BodyCursor {
public:
    BodyCursor(const QByteArray& body, qsizetype pos) : m_b(body), m_pos(pos) {}
    QString take(int width) {
        const QString t = cp932::decode(m_b.constData() + m_pos, width);
        m_pos += width;
        return t;
    }

private:
    const QByteArray& m_b;
    qsizetype m_pos;
};

// Line 1 ends with the scrambled format tag and CR LF. Looking for exactly
// that keeps a scrambled 'P' 'W' (CR LF) earlier in line 1 from being taken
// for its end; a file with another tag falls back to the first CR LF.
qsizetype lineOneEnd(const QByteArray& file) {
    static const QByteArray tagEnd = data_disk_angou_load_1("LD01-010100") + "\r\n";
    const qsizetype tag = file.indexOf(tagEnd);
    if (tag >= 0) return tag + tagEnd.size() - 2;
    return file.indexOf("\r\n");
}

qsizetype bodyStart(const QByteArray& file) {
    const qsizetype eol = lineOneEnd(file);
    return eol < 0 ? -1 : eol + 2;
}

}  // namespace

QByteArray ml1_format_tag(const QByteArray& file) {
    const qsizetype eol = lineOneEnd(file);
    if (eol < 0) return {};
    return data_disk_angou_load_1(file.left(eol).right(11));
}

FileResult ml1_body_of_file(const QByteArray& file, QByteArray& body) {
    body.clear();
    const qsizetype start = bodyStart(file);
    if (start < 0 || file.size() - start < kMl1HeaderSize) return FileResult::failure(shortBodyMessage());
    const QByteArray count = data_disk_angou_load_1(file.mid(start + 258, 8));
    qint64 n = 0;
    try {
        n = platform::toInt32(platform::toDouble(QString::fromLatin1(count)));
    } catch (const Error&) {
        return FileResult::failure(badHeaderMessage());
    }
    if (n < 0) return FileResult::failure(badHeaderMessage());
    const qint64 need = kMl1HeaderSize + qint64(kMl1RecordSize) * n + kMl1TrailerSize;
    if (file.size() - start < need) return FileResult::failure(shortBodyMessage());
    body = file.mid(start, need);
    return FileResult::success();
}

FileResult ml1_read_body(const QString& path, QByteArray& scrambledBody) {
    QByteArray file;
    if (FileResult r = read_whole_file(path, file); !r) return r;
    return ml1_body_of_file(file, scrambledBody);
}

FileResult ml1_header_read(const QByteArray& plain, clsLOGGER_SETTING& s, clsLOGGER_STATUS& st) {
    if (plain.size() < kMl1HeaderSize) return FileResult::failure(shortBodyMessage());
    BodyCursor c(plain, 0);
    using platform::toDouble;
    using platform::val;
    try {
        st.let_model_name(c.take(8));
        st.let_hard_ver(platform::toByte(val(c.take(2))));
        st.let_soft_ver(platform::toByte(val(c.take(2))));
        st.let_special_spec(platform::toByte(val(c.take(2))));
        st.let_serial_no(c.take(8));
        st.let_user_model_name(c.take(8));
        s.let_area_no(platform::toByte(toDouble(c.take(2))));
        s.let_log_name(c.take(8));
        s.let_start_time(platform::parseCivil(c.take(17)));
        s.let_stop_time(platform::parseCivil(c.take(17)));
        s.let_record_interval(c.take(8));
        s.let_Worker(c.take(8));
        s.let_Comment(c.take(8));
        for (int ch = 0; ch < 4; ++ch) st.let_Ch_shift(ch, c.take(5));
        for (int ch = 0; ch < 4; ++ch) s.let_Ch_input_type(ch, c.take(1));
        for (int ch = 0; ch < 4; ++ch) s.let_Ch_unit(ch, c.take(3));
        for (int ch = 0; ch < 4; ++ch) s.let_Ch_scale_min(ch, platform::toInt16(toDouble(c.take(6))));
        for (int ch = 0; ch < 4; ++ch) s.let_Ch_scale_max(ch, platform::toInt16(toDouble(c.take(6))));
        // Decimal positions and input types come before the value texts, so a
        // voltage channel's values are scaled by its own decimal position.
        for (int ch = 0; ch < 4; ++ch) s.let_Ch_period_pos(ch, platform::toByte(toDouble(c.take(1))));
        for (int ch = 0; ch < 4; ++ch) s.let_Ch_low_alarm_count(ch, c.take(6));
        for (int ch = 0; ch < 4; ++ch) s.let_Ch_high_alarm_count(ch, c.take(6));
        for (int ch = 0; ch < 4; ++ch) s.let_Ch_sum_std_count(ch, c.take(6));
        const qint32 n = platform::toInt32(toDouble(c.take(8)));
        if (n < 0) return FileResult::failure(badHeaderMessage());
        s.let_data_count(n);
    } catch (const Error&) {
        return FileResult::failure(badHeaderMessage());
    }
    return FileResult::success();
}

FileResult ml1_trailer_read(const QByteArray& plain, clsLOGGER_SETTING& s) {
    const qint64 at = kMl1HeaderSize + qint64(kMl1RecordSize) * s.data_count();
    if (plain.size() < at + kMl1TrailerSize) return FileResult::failure(shortBodyMessage());
    BodyCursor c(plain, at);
    try {
        std::array<QString, 4> f;
        for (auto& t : f) t = c.take(6);
        for (int ch = 0; ch < 4; ++ch) s.let_Ch_min(ch, f[ch]);
        for (auto& t : f) t = c.take(6);
        for (int ch = 0; ch < 4; ++ch) s.let_Ch_max(ch, f[ch]);
        for (auto& t : f) t = c.take(6);
        for (int ch = 0; ch < 4; ++ch) s.let_Ch_ave(ch, f[ch]);
        for (auto& t : f) t = c.take(9);
        for (int ch = 0; ch < 4; ++ch) s.let_Ch_l_sum(ch, f[ch]);
        for (auto& t : f) t = c.take(9);
        for (int ch = 0; ch < 4; ++ch) s.let_Ch_h_sum(ch, f[ch]);
    } catch (const Error&) {
        return FileResult::failure(QStringLiteral("ファイルの統計値が正しくないため、開くことができません。"));
    }
    return FileResult::success();
}

void ml1_graph_defaults(const clsLOGGER_SETTING& s, clsLOGGER_GraphInfo& g) { log_graph_defaults(s, g, s.data_count()); }

FileResult ml1_for_each_record(const QByteArray& plain, const clsLOGGER_SETTING& s, const LogRecordSink& sink,
                               bool& cancelled) {
    cancelled = false;
    const qint32 n = s.data_count();
    if (plain.size() < kMl1HeaderSize + qint64(kMl1RecordSize) * n) return FileResult::failure(shortBodyMessage());
    std::array<bool, 4> used{};
    for (int ch = 0; ch < 4; ++ch) used[ch] = s.Ch_input_type(ch) != QLatin1String("-");
    LogRecord rec;
    for (qint32 k = 0; k < n; ++k) {
        const qsizetype at = kMl1HeaderSize + qsizetype(kMl1RecordSize) * k;
        const char* p = plain.constData() + at;
        rec.No = k + 1;
        try {
            rec.time = platform::parseCivil(QString::fromLatin1(p, 17));
        } catch (const Error&) {
            return FileResult::failure(
                QStringLiteral("%1件目の記録日時が正しくないため、読み込みを中止しました。").arg(k + 1));
        }
        for (int ch = 0; ch < 4; ++ch) {
            rec.value[ch] = cp932::decode(p + 17 + 6 * ch, 6);
            rec.ch[ch] = ld20_stored_text(rec.value[ch], used[ch]);
        }
        rec.mark = p[41] == '1' ? QStringLiteral("*") : QString();
        if (!sink(rec)) {
            cancelled = true;
            return FileResult::success();
        }
    }
    return FileResult::success();
}

}  // namespace mq
