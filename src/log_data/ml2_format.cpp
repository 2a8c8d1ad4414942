#include "log_data/ml2_format.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <cmath>
#include <cstring>
#include <optional>

#include "main_window/conversions.h"
#include "main_window/scrambling.h"
#include "model/channel_values.h"
#include "model/cls_logger_graphinfo.h"
#include "model/cls_logger_setting.h"
#include "model/cls_logger_status.h"
#include "model/common_proc.h"
#include "platform/cp932.h"
#include "platform/errors.h"
#include "platform/numbers.h"

namespace mq {

namespace cp932 = platform::cp932;
using platform::leftAlign;
using platform::rightAlign;

namespace {

constexpr int kFillerSize = kMl2RecordStart - kMl2HeaderSize;  // 276

QString chCaption(int ch, const char* what) {
    return QStringLiteral("CH%1の").arg(ch + 1) + QString::fromUtf8(what);
}

QString notSingleByteMessage(const QString& caption) {
    return caption + QStringLiteral("に保存できない文字(全角文字など)が含まれています。\n"
                                    "半角文字に変更してから保存してください。");
}

QString tooWideMessage(const QString& caption) {
    return caption + QStringLiteral("の値がファイルに保存できる桁数を超えているため、保存できません。");
}

QString notEncodableMessage(const QString& caption) {
    return caption + QStringLiteral("にファイルに保存できない文字が含まれています。");
}

// Appends fixed-width single-byte fields, remembering the first refusal.
class FieldWriter {
public:
    explicit FieldWriter(QByteArray& out) : m_out(out) {}

    // A text field: cut or padded with blanks on the right to the width.
    void text(const QString& t, int width, const QString& caption) { put(leftAlign(t, width), caption); }

    // A number text that must fit its width: right-aligned, never cut.
    void number(const QString& t, int width, const QString& caption) {
        if (t.size() > width) {
            fail(tooWideMessage(caption));
            return;
        }
        put(rightAlign(t, width), caption);
    }

    // A text that must already have exactly its width.
    void exact(const QString& t, int width, const QString& caption) {
        if (t.size() != width) {
            fail(tooWideMessage(caption));
            return;
        }
        put(t, caption);
    }

    void zeros(int n) { m_out.append(n, '\0'); }
    void raw(const QByteArray& b) { m_out.append(b); }

    void fail(const QString& message) {
        if (m_error.isEmpty()) m_error = message;
    }
    bool failed() const { return !m_error.isEmpty(); }
    const QString& error() const { return m_error; }

private:
    void put(const QString& t, const QString& caption) {
        if (!cp932::singleByte(t)) {
            fail(notSingleByteMessage(caption));
            m_out.append(t.size(), ' ');  // keep the layout; the result is refused anyway
            return;
        }
        m_out.append(cp932::encode(t));
    }

    QByteArray& m_out;
    QString m_error;
};

double settingFactor(const clsLOGGER_SETTING& s, int ch) { return channel_scale(s.Ch_input_type(ch), s.Ch_period_pos(ch)); }

// An optional scaled value must fit its 5 characters; the model's text form
// would silently lose its leading characters.
void optionalField(FieldWriter& w, const QString& text, double unscaled, double factor, const QString& caption) {
    if (text != QLatin1String("-----")) {
        const qint64 scaled = std::llround(unscaled * factor);
        if (QString::number(scaled).size() > 5) {
            w.fail(tooWideMessage(caption));
            w.raw(QByteArray(5, ' '));
            return;
        }
    }
    w.exact(text, 5, caption);
}

// The scale fields: blanks removed, then the sign position and four digits.
QString scaleField(const QString& propertyText) { return smsm_add_zero(space_delete(propertyText)); }

void channelBlockHead(FieldWriter& w, const clsLOGGER_SETTING& s, int ch) {
    w.text(s.Ch_input_type(ch), 1, chCaption(ch, "入力種類"));
    w.text(s.Ch_unit(ch), 3, chCaption(ch, "単位"));
    w.exact(scaleField(s.Ch_scale_min_str(ch)), 5, chCaption(ch, "スケール最小値"));
    w.exact(scaleField(s.Ch_scale_max_str(ch)), 5, chCaption(ch, "スケール最大値"));
    w.number(QString::number(s.Ch_period_pos(ch)), 1, chCaption(ch, "ピリオド位置"));
}

bool isLeadByte(quint8 b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Reads a footer from its bytes. Its fields are counted in characters except
// the comments and the title, which are counted in bytes; a double-byte
// character is consumed whole, never split.
class FooterCursor {
public:
    explicit FooterCursor(const QByteArray& bytes) : m_b(bytes) {
        if (m_b.size() < kMl2FooterSize) m_b.append(kMl2FooterSize - m_b.size(), '\0');
    }

    QString chars(int n) {
        const qsizetype from = m_pos;
        for (int i = 0; i < n && m_pos < m_b.size(); ++i) {
            const auto b = static_cast<quint8>(m_b[m_pos]);
            m_pos += (isLeadByte(b) && m_pos + 1 < m_b.size()) ? 2 : 1;
        }
        return cp932::decode(m_b.constData() + from, static_cast<int>(m_pos - from));
    }
    QByteArray bytes(int n) {
        const QByteArray out = m_b.mid(m_pos, n);
        m_pos = std::min<qsizetype>(m_pos + n, m_b.size());
        return out.size() < n ? out + QByteArray(n - out.size(), '\0') : out;
    }

private:
    QByteArray m_b;
    qsizetype m_pos = 0;
};

bool allNul(const QString& t) {
    for (QChar c : t) {
        if (c.unicode() != 0) return false;
    }
    return true;
}

qint32 wholeNumber(const QString& t) { return platform::toInt32(platform::val(t)); }

}  // namespace

// ---- times --------------------------------------------------------------------------


// ---- header and footer ------------------------------------------------------------

FileResult ld20_header_make(const clsLOGGER_SETTING& s, const clsLOGGER_STATUS& st, QByteArray& out) {
    out.clear();
    out.reserve(kMl2HeaderSize);
    FieldWriter w(out);
    w.text(s.log_name(), 8, QStringLiteral("ログ名"));
    w.exact(s.record_interval_str(), 6, QStringLiteral("収録インターバル"));
    w.text(s.Worker(), 8, QStringLiteral("作業者"));
    w.text(s.Comment(), 8, QStringLiteral("コメント"));
    w.exact(s.start_time_str(), 12, QStringLiteral("開始日時"));
    w.exact(s.stop_time_str(), 12, QStringLiteral("終了日時"));
    for (int ch = 0; ch < 4; ++ch) {
        const double f = settingFactor(s, ch);
        channelBlockHead(w, s, ch);
        optionalField(w, s.Ch_low_alarm_count(ch), s.Ch_low_alarm_count_value(ch), f, chCaption(ch, "下限警報値"));
        optionalField(w, s.Ch_high_alarm_count(ch), s.Ch_high_alarm_count_value(ch), f, chCaption(ch, "上限警報値"));
        optionalField(w, s.Ch_sum_std_count(ch), s.Ch_sum_std_count_value(ch), f, chCaption(ch, "積算基準値"));
    }
    w.number(QString::number(s.data_count()), 10, QStringLiteral("データ数"));
    for (int ch = 0; ch < 4; ++ch) w.exact(st.Ch_shift(ch), 4, chCaption(ch, "シフト量"));
    w.text(st.model_name(), 8, QStringLiteral("機種名"));
    w.raw("LD20");
    w.exact(st.hard_ver_str(), 2, QStringLiteral("ハードウェアバージョン"));
    w.exact(st.soft_ver_str(), 2, QStringLiteral("プログラムバージョン"));
    w.exact(st.special_spec_str(), 2, QStringLiteral("特殊仕様"));
    w.text(st.serial_no(), 8, QStringLiteral("機器シリアルナンバー"));
    w.text(st.user_model_name(), 8, QStringLiteral("機器名称"));
    w.exact(s.area_no_str(), 2, QStringLiteral("収録エリア"));
    if (w.failed()) return FileResult::failure(w.error());
    if (out.size() != kMl2HeaderSize) {
        return FileResult::failure(tooWideMessage(QStringLiteral("ヘッダー")));
    }
    return FileResult::success();
}

FileResult ld20_footer_make(const clsLOGGER_SETTING& s, const clsLOGGER_GraphInfo& g, const clsLOGGER_STATUS& st,
                            QByteArray& out) {
    out.clear();
    out.reserve(kMl2FooterSize);
    FieldWriter w(out);
    w.text(g.log_name(), 8, QStringLiteral("ログ名"));
    w.exact(s.record_interval_str(), 6, QStringLiteral("収録インターバル"));
    w.text(g.worker_name(), 8, QStringLiteral("作業者"));
    w.text(g.Comment(), 8, QStringLiteral("コメント"));
    w.exact(s.start_time_str(), 12, QStringLiteral("開始日時"));
    w.exact(s.stop_time_str(), 12, QStringLiteral("終了日時"));
    for (int ch = 0; ch < 4; ++ch) {
        channelBlockHead(w, s, ch);
        w.exact(g.Ch_L_Alm_FileString(ch), 5, chCaption(ch, "下限警報値"));
        w.exact(g.Ch_H_Alm_FileString(ch), 5, chCaption(ch, "上限警報値"));
        w.exact(g.Ch_sum_std_count_FileString(ch), 5, chCaption(ch, "積算基準値"));
    }
    w.exact(g.DataCount_str(), 10, QStringLiteral("データ数"));
    for (int ch = 0; ch < 4; ++ch) w.exact(st.Ch_shift(ch), 4, chCaption(ch, "シフト量"));
    w.zeros(56);
    // A statistic of six digits and a sign ("-32224") has no room in its five
    // characters; the reader computes the statistics from the records anyway,
    // so it is left blank rather than written without its sign.
    const auto statistic = [](const QString& t) { return t.size() > 5 ? QString(5, u' ') : t; };
    for (int ch = 0; ch < 4; ++ch) w.exact(statistic(s.Ch_max(ch)), 5, chCaption(ch, "最大値"));
    for (int ch = 0; ch < 4; ++ch) w.exact(statistic(s.Ch_min(ch)), 5, chCaption(ch, "最小値"));
    for (int ch = 0; ch < 4; ++ch) w.exact(statistic(s.Ch_ave(ch)), 5, chCaption(ch, "平均値"));
    for (int ch = 0; ch < 4; ++ch) w.exact(s.Ch_l_sum(ch), 8, chCaption(ch, "L積算値"));
    for (int ch = 0; ch < 4; ++ch) w.exact(s.Ch_h_sum(ch), 8, chCaption(ch, "H積算値"));
    for (int ch = 0; ch < 4; ++ch) w.exact(s.CH_L_ALM_NUM_str(ch), 10, chCaption(ch, "下限警報数"));
    for (int ch = 0; ch < 4; ++ch) w.exact(s.CH_H_ALM_NUM_str(ch), 10, chCaption(ch, "上限警報数"));
    w.zeros(52);
    for (int ch = 0; ch < 4; ++ch) {
        const QString c = g.Ch_comment(ch);
        if (!cp932::encodable(c)) w.fail(notEncodableMessage(chCaption(ch, "コメント")));
        w.raw(cp932::fixedBytes(c, 16));
        w.raw(QByteArray(16, ' '));
    }
    if (!cp932::encodable(g.Title())) w.fail(notEncodableMessage(QStringLiteral("グラフのタイトル")));
    w.raw(cp932::fixedBytes(g.Title(), 32));
    w.zeros(189);
    w.text(g.CH_GraphAxDrawSw(), 4, QStringLiteral("グラフ設定"));
    for (int ch = 0; ch < 4; ++ch) w.exact(g.Ch_G_color_FileString(ch), 11, chCaption(ch, "グラフ色"));
    w.text(g.Label_Sw(), 1, QStringLiteral("グラフ設定"));
    w.text(g.LIneBold_Sw(), 1, QStringLiteral("グラフ設定"));
    w.exact(g.GrpDrw_StartPos_str(), 10, QStringLiteral("グラフ表示範囲"));
    w.exact(g.GrpDrw_EndPos_str(), 10, QStringLiteral("グラフ表示範囲"));
    w.text(g.CH_GraphDrawSw(), 4, QStringLiteral("グラフ設定"));
    for (int ch = 0; ch < 4; ++ch) {
        w.exact(g.Ch_l_Scale_FileString(ch), 6, chCaption(ch, "グラフスケール"));
        w.exact(g.Ch_h_Scale_FileString(ch), 6, chCaption(ch, "グラフスケール"));
    }
    for (int ch = 0; ch < 4; ++ch) w.text(g.Std_Sw(ch), 1, QStringLiteral("グラフ設定"));
    for (int ch = 0; ch < 4; ++ch) w.exact(g.Std_Value_FileString(ch), 5, chCaption(ch, "基準値"));
    for (int ch = 0; ch < 4; ++ch) w.text(g.Sum_Std_Sw(ch), 1, QStringLiteral("グラフ設定"));
    for (int ch = 0; ch < 4; ++ch) w.text(g.L_Alm_Sw(ch), 1, QStringLiteral("グラフ設定"));
    for (int ch = 0; ch < 4; ++ch) w.text(g.H_Alm_Sw(ch), 1, QStringLiteral("グラフ設定"));
    w.text(g.DataMark_Sw(), 1, QStringLiteral("グラフ設定"));
    w.text(g.GrdDispSort(), 4, QStringLiteral("グラフ設定"));
    if (w.failed()) return FileResult::failure(w.error());
    if (out.size() != kMl2FooterSize) {
        return FileResult::failure(tooWideMessage(QStringLiteral("フッター")));
    }
    return FileResult::success();
}

// ---- records ---------------------------------------------------------------------------

namespace {

// The value texts of the records table: optional blanks, optional "-", digits
// with at most one ".", optional blanks. Gives the 16-bit integer of the digits
// (the point removed) and the value as a double; false for any other text.
bool fastValue(const QString& t, qint32& digitsValue, double& value) {
    const QChar* p = t.constData();
    const QChar* e = p + t.size();
    while (p < e && *p == u' ') ++p;
    bool neg = false;
    if (p < e && *p == u'-') {
        neg = true;
        ++p;
    }
    qint64 n = 0;
    int digits = 0;
    int decimals = -1;
    for (; p < e; ++p) {
        const char16_t c = p->unicode();
        if (c >= u'0' && c <= u'9') {
            n = n * 10 + (c - u'0');
            if (++digits > 9) return false;
            if (decimals >= 0) ++decimals;
        } else if (c == u'.' && decimals < 0) {
            decimals = 0;
        } else {
            break;
        }
    }
    while (p < e && *p == u' ') ++p;
    if (p != e || digits == 0) return false;
    if (neg) n = -n;
    if (n > 32767 || n < -32768) throw OverflowError("value beyond 16 bits: " + t.toStdString());
    digitsValue = static_cast<qint32>(n);
    static constexpr double kPow10[] = {1, 10, 100, 1000, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    value = static_cast<double>(n) / kPow10[decimals < 0 ? 0 : decimals];
    return true;
}

}  // namespace

int ld20_alarm_status_bits(const clsLOGGER_SETTING& s, int ch, double value) {
    const QString code = s.Ch_input_type(ch);
    if (code == QLatin1String("V") || code == QLatin1String("-")) return 0;
    // The record format's rule, kept as the format states it for the readers
    // of the file: an alarm value that is not set counts as 0 here (so with
    // neither set any positive value has bit 2), unlike on screen and paper.
    // Single precision, as the logger compares.
    const float v = static_cast<float>(value);
    const float high = static_cast<float>(s.Ch_high_alarm_count_value(ch));
    const float low = static_cast<float>(s.Ch_low_alarm_count_value(ch));
    if (low <= high) {
        if (v > high) return 4;
        if (v < low) return 2;
    } else {
        if (v < high) return 4;
        if (v > low) return 2;
    }
    return 0;
}

std::array<quint8, 3> ld20_channel_bytes(const QString& stored, bool marked, const clsLOGGER_SETTING& s, int ch) {
    const QString t = stored.size() > 6 ? cell_value_text(stored) : stored;
    const ValueKind kind = value_kind(t);
    int status = marked ? 1 : 0;
    qint32 v = 0;
    double x = 0;
    // Range marks and missing values carry no alarm bits; the logger's range
    // codes written as numbers are compared like any other value.
    bool compare = true;
    if (kind == ValueKind::Missing) {
        v = kMl2MissingValue;
        compare = false;
    } else if (kind == ValueKind::OverMark) {
        v = kMl2OverRange;
        compare = false;
    } else if (kind == ValueKind::UnderMark) {
        v = kMl2UnderRange;
        compare = false;
    } else if (kind == ValueKind::OverCode) {
        v = kMl2OverRange;
        x = 3276.7;
    } else if (kind == ValueKind::UnderCode) {
        v = kMl2UnderRange;
        x = 3276.6;
    } else if (!fastValue(t, v, x)) {
        v = fileDataExc_AsciiToBinary(t);
        x = platform::toDouble(t);
    }
    if (compare) status |= ld20_alarm_status_bits(s, ch, x);
    const auto u = static_cast<quint16>(static_cast<qint16>(v));
    return {static_cast<quint8>(u >> 8), static_cast<quint8>(u & 0xFF), static_cast<quint8>(status)};
}

Ld20RecordPacker::Ld20RecordPacker(const clsLOGGER_SETTING& setting) : m_setting(setting), m_block(kMl2BlockSize, '\0') {
    for (int ch = 0; ch < 4; ++ch) {
        if (setting.Ch_input_type(ch) != QLatin1String("-")) m_used[m_usedCount++] = ch;
    }
    m_recordSize = 3 * m_usedCount;
}

void Ld20RecordPacker::add(const LogRecord& rec, const std::function<void(const QByteArray&)>& flush) {
    const bool marked = rec.mark.contains(u'*');
    for (int i = 0; i < m_usedCount; ++i) {
        const int ch = m_used[i];
        const auto bytes = ld20_channel_bytes(rec.ch[ch], marked, m_setting, ch);
        for (quint8 b : bytes) {
            m_block[m_fill++] = static_cast<char>(b);
            if (m_fill == kMl2BlockSize) {
                flush(m_block);
                m_block.fill('\0');
                m_fill = 0;
            }
        }
    }
}

void Ld20RecordPacker::finish(const std::function<void(const QByteArray&)>& flush) {
    if (m_fill == 0) return;
    flush(m_block);
    m_block.fill('\0');
    m_fill = 0;
}

FileResult ml2_build(QByteArray& out, const Ml2Sources& src, const LogRecordSource& records,
                     IFileProgress* progress) {
    out.clear();
    // Every text is checked before anything is written.
    QByteArray header, footer;
    if (FileResult r = ld20_header_make(src.setting, src.status, header); !r) return r;
    if (FileResult r = ld20_footer_make(src.setting, src.graph, src.status, footer); !r) return r;

    const qint32 n = src.setting.data_count();
    Ld20RecordPacker packer(src.setting);
    const qint64 recordBytes = qint64(n) * packer.record_size();
    out.reserve(kMl2RecordStart + recordBytes + kMl2BlockSize + 2 + kMl2FooterSize);
    out.append(data_disk_angou_load_1(header));  // the same XOR scrambles and unscrambles
    out.append(kFillerSize, '\0');
    if (recordBytes == 0) {
        out.append("\r\n");
    } else {
        const auto flush = [&](const QByteArray& block) {
            out.append(block);
            if (progress) progress->process_events();
        };
        LogRecord rec;
        try {
            for (qint32 r = 1; r <= n; ++r) {
                if (progress) {
                    progress->set_progress_value(r - 1);
                    progress->process_events();
                }
                if (!records(rec)) {
                    out.clear();
                    return FileResult::failure(
                        QStringLiteral("データ数(%1件)の記録データがそろっていないため、保存できません。").arg(n));
                }
                packer.add(rec, flush);
            }
        } catch (const Error&) {
            out.clear();
            return FileResult::failure(QStringLiteral("記録データに保存できない値が含まれているため、保存できません。"));
        }
        packer.finish(flush);
    }
    out.append(footer);
    return FileResult::success();
}

FileResult ml2_write_file(const QString& path, const Ml2Sources& src, const LogRecordSource& records,
                          IFileProgress* progress) {
    QByteArray bytes;
    if (FileResult r = ml2_build(bytes, src, records, progress); !r) return r;
    SafeFileWriter w(path);
    if (FileResult r = w.open(); !r) return r;
    if (FileResult r = w.write(bytes); !r) return r;
    return w.commit();
}

// ---- reading -------------------------------------------------------------------------------

namespace {
QString formatErrorMessage(const QString& path) {
    return QStringLiteral("ファイルの内容が正しくないため、開くことができません。\n") + QDir::toNativeSeparators(path);
}
}  // namespace

QByteArray ml2_format_tag(const QByteArray& fileStart) {
    if (fileStart.size() < kMl2HeaderSize) return {};
    return data_disk_angou_load_1(fileStart.mid(208, 4));
}

FileResult ml2_read_header_bytes(const QString& path, QByteArray& scrambled) {
    scrambled.clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return FileResult::failure(file_read_error_message(path));
    scrambled = f.read(kMl2HeaderSize);
    if (f.error() != QFileDevice::NoError) {
        scrambled.clear();
        return FileResult::failure(file_read_error_message(path));
    }
    if (scrambled.size() != kMl2HeaderSize) {
        scrambled.clear();
        return FileResult::failure(formatErrorMessage(path));
    }
    return FileResult::success();
}

FileResult ml2_header_bytes_of_file(const QByteArray& file, const QString& path, QByteArray& scrambled) {
    if (file.size() < kMl2HeaderSize) {
        scrambled.clear();
        return FileResult::failure(formatErrorMessage(path));
    }
    scrambled = file.left(kMl2HeaderSize);
    return FileResult::success();
}

FileResult ld20_header_read(const QByteArray& plain, clsLOGGER_SETTING& s, clsLOGGER_STATUS& st,
                            Ml2HeaderInfo& info) {
    info = Ml2HeaderInfo{};
    const QString badHeader = QStringLiteral("ファイルのヘッダーが正しくないため、開くことができません。");
    if (plain.size() < kMl2HeaderSize) return FileResult::failure(badHeader);
    int pos = 0;
    // Each field is decoded from its own bytes, so a stray lead byte cannot
    // shift the fields behind it.
    const auto take = [&](int width) {
        const QString t = cp932::decode(plain.constData() + pos, width);
        pos += width;
        return t;
    };
    using platform::toDouble;
    try {
        s.let_log_name(take(8));
        s.let_record_interval_str(take(6));
        s.let_Worker(take(8));
        s.let_Comment(take(8));
        s.let_start_time_str(take(12));
        s.let_stop_time_str(take(12));
        if (s.start_time_str() == s.stop_time_str()) info.abnormal = true;
        for (int ch = 0; ch < 4; ++ch) {
            s.let_Ch_input_type(ch, take(1));
            s.let_Ch_unit(ch, take(3));
            s.let_Ch_scale_min(ch, platform::toInt16(toDouble(take(5))));
            s.let_Ch_scale_max(ch, platform::toInt16(toDouble(take(5))));
            s.let_Ch_period_pos(ch, platform::toByte(toDouble(take(1))));
            s.let_Ch_low_alarm_count(ch, take(5));
            s.let_Ch_high_alarm_count(ch, take(5));
            s.let_Ch_sum_std_count(ch, take(5));
        }
        s.let_data_count(platform::toInt32(toDouble(take(10))));
        if (s.data_count() == 0) info.abnormal = true;
        for (int ch = 0; ch < 4; ++ch) st.let_Ch_shift(ch, take(4));
        st.let_model_name(take(8));
        st.let_file_format(take(4));
        st.let_hard_ver(platform::toByte(platform::val(take(2))));
        st.let_soft_ver(platform::toByte(platform::val(take(2))));
        st.let_special_spec(platform::toByte(platform::val(take(2))));
        st.let_serial_no(take(8));
        st.let_user_model_name(take(8));
        s.let_area_no(platform::toByte(toDouble(take(2))));
    } catch (const Error&) {
        return FileResult::failure(badHeader);
    }
    if (s.data_count() < 0) return FileResult::failure(badHeader);
    // Without a channel in use a record takes no bytes, so nothing in the
    // file bounds its record count: such a header is not one the program
    // writes for data it could show.
    if (ml2_record_size(s) == 0) return FileResult::failure(badHeader);
    return FileResult::success();
}

bool ml2_count_matches(const QByteArray& file, const clsLOGGER_SETTING& s) {
    const int size = ml2_record_size(s);
    const qint32 n = s.data_count();
    if (n < 1 || size == 0) return false;
    const qint64 footer = ml2_footer_offset(n, size);
    // The footer stands right behind the last block, or, in a file without
    // footer, the file ends there.
    return ml2_footer_find(file, s) == footer || (file.size() == footer && ml2_footer_find(file, s) < 0);
}

qint32 ml2_records_that_fit(qint64 fileSize, const clsLOGGER_SETTING& s) {
    const int size = ml2_record_size(s);
    if (size == 0) return 0;
    const qint64 fit = std::max<qint64>(0, fileSize - kMl2RecordStart) / size;
    return static_cast<qint32>(std::min<qint64>(fit, s.data_count()));
}

int ml2_record_size(const clsLOGGER_SETTING& s) {
    int used = 0;
    for (int ch = 0; ch < 4; ++ch) {
        if (s.Ch_input_type(ch) != QLatin1String("-")) ++used;
    }
    return 3 * used;
}

qint64 ml2_footer_offset(qint64 n, int recordSize) {
    const qint64 bytes = n * recordSize;
    if (bytes <= 0) return kMl2RecordStart + 2;
    return kMl2RecordStart + qint64(kMl2BlockSize) * ((bytes + kMl2BlockSize - 1) / kMl2BlockSize);
}

qint64 ml2_footer_find(const QByteArray& file, const clsLOGGER_SETTING& s) {
    const QByteArray interval = s.record_interval_str().toLatin1();
    if (interval.size() != 6) return -1;
    const qint64 size = file.size();
    const auto intervalAt = [&](qint64 footer) {
        return footer >= kMl2RecordStart && footer + 14 <= size &&
               std::memcmp(file.constData() + footer + 8, interval.constData(), 6) == 0;
    };
    const qint64 computed = ml2_footer_offset(s.data_count(), ml2_record_size(s));
    if (intervalAt(computed)) return computed;
    if (intervalAt(size - kMl2FooterSize)) return size - kMl2FooterSize;
    // Neither: the first occurrence of the interval text behind the header.
    const qint64 found = file.indexOf(interval, kMl2HeaderSize);
    if (found < 0) return -1;
    qint64 start = std::max<qint64>(found - 8, kMl2HeaderSize);
    while (start < size && file[start] == '\0') ++start;
    return start;
}

FileResult emg_file_recount(const QByteArray& file, clsLOGGER_SETTING& s) {
    const int size = ml2_record_size(s);
    const qint64 footer = ml2_footer_find(file, s);
    const qint64 end = footer >= 0 ? footer : file.size();
    const qint64 bytes = std::max<qint64>(0, end - kMl2RecordStart);
    const qint64 r = size > 0 ? bytes / size : 0;
    s.let_data_count(static_cast<qint32>(r));
    try {
        const LogRecordClock clock(s.start_time(), s.start_time(), s.record_interval(), static_cast<qint32>(r));
        s.let_stop_time(clock.computed(static_cast<qint32>(r)));
    } catch (const Error&) {
        s.let_stop_time(s.start_time());
        return FileResult::failure(QStringLiteral("ファイルの収録インターバルが正しくないため、終了日時を求められません。"));
    }
    return FileResult::success();
}

void ld20_footer_read(const QByteArray& footer, clsLOGGER_SETTING& s, clsLOGGER_GraphInfo& g) {
    FooterCursor c(footer);
    QString name = c.chars(8);
    const qsizetype dot = name.indexOf(QStringLiteral("・"));
    if (dot >= 0) name.replace(dot, 1, u'0');
    g.let_log_name(name);
    c.chars(6);
    g.let_worker_name(c.chars(8));
    g.let_Comment(c.chars(8));
    c.chars(24);
    for (int ch = 0; ch < 4; ++ch) {
        const QString block = c.chars(30);
        g.let_Ch_period_pos(ch, platform::toByte(platform::val(block.mid(14, 1))));
        g.let_Ch_L_Alm_FileString(ch, block.mid(15, 5));
        g.let_Ch_H_Alm_FileString(ch, block.mid(20, 5));
        g.let_Ch_sum_std_count_FileString(ch, block.mid(25, 5));
    }
    g.let_DataCount(wholeNumber(c.chars(10)));
    c.chars(16);
    c.chars(56);
    for (int ch = 0; ch < 4; ++ch) s.let_Ch_max(ch, c.chars(5));
    for (int ch = 0; ch < 4; ++ch) s.let_Ch_min(ch, c.chars(5));
    for (int ch = 0; ch < 4; ++ch) s.let_Ch_ave(ch, c.chars(5));
    for (int ch = 0; ch < 4; ++ch) s.let_Ch_l_sum(ch, c.chars(8));
    for (int ch = 0; ch < 4; ++ch) s.let_Ch_h_sum(ch, c.chars(8));
    for (int ch = 0; ch < 4; ++ch) s.let_CH_L_ALM_NUM(ch, wholeNumber(c.chars(10)));
    for (int ch = 0; ch < 4; ++ch) s.let_CH_H_ALM_NUM(ch, wholeNumber(c.chars(10)));
    c.chars(52);
    for (int ch = 0; ch < 4; ++ch) {
        const QByteArray field = c.bytes(32);
        g.let_Ch_comment(ch, cp932::decode(field.left(16)));
    }
    g.let_Title(cp932::decode(c.bytes(32)));
    c.chars(189);
    const QString ax = c.chars(4);
    g.let_CH_GraphAxDrawSw(allNul(ax) ? QStringLiteral("1111") : ax);
    for (int ch = 0; ch < 4; ++ch) {
        const QString col = c.chars(11);
        g.let_Ch_G_color(ch, allNul(col) ? kDefaultGraphColours[size_t(ch)] : wholeNumber(col));
    }
    const QString label = c.chars(1);
    g.let_Label_Sw(allNul(label) ? QStringLiteral("0") : label);
    const QString bold = c.chars(1);
    g.let_LIneBold_Sw(allNul(bold) ? QStringLiteral("1") : bold);
    qint32 startPos = wholeNumber(c.chars(10));
    qint32 endPos = wholeNumber(c.chars(10));
    if (startPos == 0) startPos = 1;
    if (endPos == 0) endPos = g.DataCount();
    g.let_GrpDrw_StartPos(startPos);
    g.let_GrpDrw_EndPos(endPos);
    g.let_CH_GraphDrawSw(c.chars(4));
    for (int ch = 0; ch < 4; ++ch) {
        g.let_Ch_l_Scale(ch, platform::toInt16(platform::val(c.chars(6))));
        g.let_Ch_h_Scale(ch, platform::toInt16(platform::val(c.chars(6))));
    }
    for (int ch = 0; ch < 4; ++ch) g.let_Std_Sw(ch, c.chars(1));
    for (int ch = 0; ch < 4; ++ch) g.let_Std_Value_FileString(ch, c.chars(5));
    for (int ch = 0; ch < 4; ++ch) g.let_Sum_Std_Sw(ch, c.chars(1));
    for (int ch = 0; ch < 4; ++ch) g.let_L_Alm_Sw(ch, c.chars(1));
    for (int ch = 0; ch < 4; ++ch) g.let_H_Alm_Sw(ch, c.chars(1));
    g.let_DataMark_Sw(c.chars(1));
    g.let_GrdDispSort(c.chars(4));
}

void ml2_graph_defaults(const clsLOGGER_SETTING& s, clsLOGGER_GraphInfo& g) {
    log_graph_defaults(s, g, std::min<qint32>(s.data_count(), 10000));
}

int ml2_channel_scale(const clsLOGGER_SETTING& s, int ch) {
    return channel_scale(s.Ch_input_type(ch), s.Ch_period_pos(ch));
}

QString ld20_value_text(qint16 v, int scale) {
    if (v == kMl2OverRange) return QStringLiteral("  ") + kOverRangeMark.toString();
    if (v == kMl2UnderRange) return QStringLiteral("  ") + kUnderRangeMark.toString();
    if (v == kMl2MissingValue) return kMissingMark.toString();
    if (scale <= 1) return QString::number(v);
    const int a = v < 0 ? -int(v) : int(v);
    const int decimals = scale == 10 ? 1 : scale == 100 ? 2 : 3;
    QString out;
    if (v < 0) out += u'-';
    out += QString::number(a / scale);
    out += u'.';
    out += QStringLiteral("%1").arg(a % scale, decimals, 10, QChar(u'0'));
    return out;
}

QString ld20_stored_text(const QString& valueText, bool used) {
    if (!used) return QString();
    qsizetype lead = 0;
    while (lead < valueText.size() && valueText[lead] == u' ') ++lead;
    const QString t = valueText.mid(lead);
    if (t == kOverRangeMark || t == kUnderRangeMark) return rightAlign(t, 9);
    // Right-aligned in six, the cell in ten, and a longer value kept whole.
    return platform::padLeft(platform::padLeft(t.trimmed(), 6), 10);
}

QString ml2_short_file_message(qint32 header_count, qint32 records_read) {
    return QStringLiteral("ファイルの記録データが途中で終わっています。\n"
                          "データ数%1件のうち、%2件を読み込みました。")
        .arg(header_count)
        .arg(records_read);
}

namespace {

// Decimal digits of a non-negative number at p; returns the end.
char* putUnsigned(char* p, unsigned v) {
    char tmp[12];
    int n = 0;
    do {
        tmp[n++] = char('0' + v % 10);
        v /= 10;
    } while (v != 0);
    while (n > 0) *p++ = tmp[--n];
    return p;
}

// The records of ml2_for_each_record as texts, for the sinks that take them.
class TextRecordAdapter : public Ml2RecordVisitor {
public:
    TextRecordAdapter(const clsLOGGER_SETTING& s, const LogRecordSink& sink) : m_sink(sink) {
        for (int ch = 0; ch < 4; ++ch) {
            m_used[ch] = s.Ch_input_type(ch) != QLatin1String("-");
            m_scale[ch] = ml2_channel_scale(s, ch);
        }
    }
    bool record(const Ml2RawRecord& raw) override {
        m_rec.No = raw.No;
        m_rec.time = raw.time;
        m_rec.mark = raw.marked ? QStringLiteral("*") : QString();
        for (int ch = 0; ch < 4; ++ch) {
            if (!m_used[ch]) {
                m_rec.value[ch] = m_unusedValue;
                m_rec.ch[ch] = QString();
                continue;
            }
            m_rec.value[ch] = ld20_value_text(raw.raw[ch], m_scale[ch]);
            m_rec.ch[ch] = ld20_stored_text(m_rec.value[ch], true);
        }
        return m_sink(m_rec);
    }

private:
    const LogRecordSink& m_sink;
    std::array<bool, 4> m_used{};
    std::array<int, 4> m_scale{};
    LogRecord m_rec;
    const QString m_unusedValue{6, u' '};
};

}  // namespace

int ld20_value_chars(qint16 v, int scale, char* buf) {
    const char* fixed = v == kMl2OverRange ? "  O.R." : v == kMl2UnderRange ? "  U.R." : v == kMl2MissingValue ? "------" : nullptr;
    if (fixed) {
        std::memcpy(buf, fixed, 6);
        return 6;
    }
    char* p = buf;
    if (v < 0) *p++ = '-';
    const unsigned a = v < 0 ? unsigned(-int(v)) : unsigned(v);
    if (scale <= 1) return int(putUnsigned(p, a) - buf);
    const int decimals = scale == 10 ? 1 : scale == 100 ? 2 : 3;
    p = putUnsigned(p, a / unsigned(scale));
    *p++ = '.';
    char frac[12];
    const int n = int(putUnsigned(frac, a % unsigned(scale)) - frac);
    for (int i = n; i < decimals; ++i) *p++ = '0';
    std::memcpy(p, frac, size_t(n));
    return int(p + n - buf);
}

int ld20_stored_chars(qint16 v, int scale, char* buf) {
    if (v == kMl2OverRange || v == kMl2UnderRange) {
        std::memcpy(buf, v == kMl2OverRange ? "     O.R." : "     U.R.", 9);
        return 9;
    }
    // The value text right-aligned in a cell of ten (four blanks, then six
    // for the usual values); a longer value is kept whole, sign included.
    char value[16];
    const int n = ld20_value_chars(v, scale, value);
    if (n > 10) {
        std::memcpy(buf, value, size_t(n));
        return n;
    }
    std::memset(buf, ' ', 10);
    std::memcpy(buf + 10 - n, value, size_t(n));
    return 10;
}

FileResult ml2_for_each_raw_record(const QByteArray& file, const clsLOGGER_SETTING& s, qint64 footerOffset,
                                   Ml2RecordVisitor& visitor, Ml2LoadResult& result) {
    const qint32 n = s.data_count();
    result.header_count = n;
    result.records_read = 0;
    result.short_file = false;
    result.cancelled = false;

    std::array<bool, 4> used{};
    int size = 0;
    int firstUsed = -1;
    for (int ch = 0; ch < 4; ++ch) {
        used[ch] = s.Ch_input_type(ch) != QLatin1String("-");
        if (used[ch]) {
            if (firstUsed < 0) firstUsed = ch;
            size += 3;
        }
    }
    const qint64 end = footerOffset >= 0 ? std::min<qint64>(footerOffset, file.size()) : file.size();
    qint64 available = n;
    if (size > 0) available = std::max<qint64>(0, end - kMl2RecordStart) / size;
    const qint32 count = static_cast<qint32>(std::min<qint64>(n, available));
    result.short_file = count < n;

    std::optional<LogRecordClock> clock;
    try {
        clock.emplace(s.start_time(), s.stop_time(), s.record_interval(), n);
    } catch (const Error&) {
        return FileResult::failure(QStringLiteral("ファイルの収録インターバルが正しくないため、開くことができません。"));
    }

    const auto* bytes = reinterpret_cast<const quint8*>(file.constData());
    Ml2RawRecord rec;
    for (qint32 r = 1; r <= count; ++r) {
        const qint64 base = kMl2RecordStart + qint64(r - 1) * size;
        rec.No = r;
        rec.time = clock->time(r);
        rec.marked = firstUsed >= 0 && (bytes[base + 2] & 1);
        qint64 off = base;
        for (int ch = 0; ch < 4; ++ch) {
            if (!used[ch]) {
                rec.raw[ch] = 0;
                continue;
            }
            rec.raw[ch] = static_cast<qint16>(static_cast<quint16>((bytes[off] << 8) | bytes[off + 1]));
            off += 3;
        }
        if (!visitor.record(rec)) {
            result.cancelled = true;
            return FileResult::success();
        }
        result.records_read = r;
    }
    return FileResult::success();
}

FileResult ml2_for_each_record(const QByteArray& file, const clsLOGGER_SETTING& s, qint64 footerOffset,
                               const LogRecordSink& sink, Ml2LoadResult& result) {
    TextRecordAdapter adapter(s, sink);
    return ml2_for_each_raw_record(file, s, footerOffset, adapter, result);
}

namespace {

// The footer (or the defaults without one): the common start of both loads.
FileResult readFooter(const QByteArray& file, clsLOGGER_SETTING& s, clsLOGGER_GraphInfo& g, Ml2LoadResult& result,
                      qint64& footer) {
    result = Ml2LoadResult{};
    footer = ml2_footer_find(file, s);
    try {
        if (footer >= 0) {
            ld20_footer_read(file.mid(footer), s, g);
            result.footer_found = true;
        } else {
            ml2_graph_defaults(s, g);
        }
    } catch (const Error&) {
        return FileResult::failure(QStringLiteral("ファイルのグラフ設定が正しくないため、開くことができません。"));
    }
    return FileResult::success();
}

}  // namespace

FileResult ml2_load(const QByteArray& file, clsLOGGER_SETTING& s, clsLOGGER_GraphInfo& g, const LogRecordSink& sink,
                    Ml2LoadResult& result) {
    qint64 footer = -1;
    if (FileResult r = readFooter(file, s, g, result, footer); !r) return r;
    return ml2_for_each_record(file, s, footer, sink, result);
}

FileResult ml2_load_raw(const QByteArray& file, clsLOGGER_SETTING& s, clsLOGGER_GraphInfo& g,
                        Ml2RecordVisitor& visitor, Ml2LoadResult& result) {
    qint64 footer = -1;
    if (FileResult r = readFooter(file, s, g, result, footer); !r) return r;
    return ml2_for_each_raw_record(file, s, footer, visitor, result);
}

}  // namespace mq
