#include "log_data/log_csv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>
#include <string>

#include "main_window/conversions.h"
#include "main_window/scrambling.h"
#include "model/common_proc.h"
#include "model/channel_values.h"
#include "model/cls_logger_setting.h"
#include "model/cls_logger_status.h"
#include "platform/civil_time.h"
#include "platform/cp932.h"
#include "platform/errors.h"
#include "platform/numbers.h"

namespace mq {

using platform::rightAlign;

namespace {

const QString kComma = QStringLiteral(",");

QString twoDigits(int v) { return QStringLiteral("%1").arg(v, 2, 10, QChar(u'0')); }

QString fourChannels(const std::function<QString(int)>& field) {
    QString out;
    for (int ch = 0; ch < 4; ++ch) out += field(ch) + kComma;
    return out;
}

bool continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Characters of a UTF-8 text.
qsizetype charsOf(QByteArrayView t) {
    qsizetype n = 0;
    for (const char c : t) n += !continuation(c);
    return n;
}

// The value of a stored channel text as the CSV writes it, after out: the
// whole value right-aligned in six characters (a seven-character value keeps
// its sign; the value part is the cell's last six characters, or its last
// blank-free run when longer), the logger's range codes as range marks.
char* putChannelValue(QByteArrayView cell, char* out) {
    const qsizetype chars = charsOf(cell);
    QByteArrayView value = cell;
    if (chars > 6) {
        qsizetype token = cell.size();
        while (token > 0 && cell[token - 1] != ' ') --token;
        // The last six characters, or the whole run when it is longer.
        qsizetype start = cell.size();
        for (int k = 0; k < 6 && start > 0;) {
            --start;
            if (!continuation(cell[start])) ++k;
        }
        value = cell.sliced(std::min(token, start));
    } else {
        for (qsizetype i = chars; i < 6; ++i) *out++ = ' ';
    }
    if (value.size() == 6 && std::memcmp(value.data(), "3276.", 5) == 0) {
        if (value[5] == '7') value = QByteArrayView("  O.R.");
        else if (value[5] == '6') value = QByteArrayView("  U.R.");
    }
    for (const char c : value) *out++ = c;
    return out;
}

}  // namespace

QString log_csv_range_text(qint32 first, qint32 last) {
    return QStringLiteral("( %1～%2 )").arg(first).arg(last);
}

QStringList log_csv_head_lines(const LogCsvSource& src, const QString& rangeText) {
    const clsLOGGER_SETTING& s = src.setting;
    const clsLOGGER_STATUS& st = src.status;
    QStringList l;
    l.reserve(26);
    l << kComma + st.model_name() + QStringLiteral("-LD01-010100");
    l << QStringLiteral("機種名,") + st.model_name();
    l << kComma + twoDigits(st.hard_ver());
    l << kComma + twoDigits(st.soft_ver());
    l << kComma + twoDigits(st.special_spec());
    l << QStringLiteral("機器シリアルナンバー,") + st.serial_no();
    l << QStringLiteral("機器名称,") + st.user_model_name();
    l << QStringLiteral("収録エリア,") + s.area_no_str();
    l << QStringLiteral("ログ名,") + s.log_name();
    l << QStringLiteral("開始日時,") + s.Disp_StartTime().mid(2);
    l << QStringLiteral("終了日時,") + s.Disp_StopTime().mid(2);
    l << QStringLiteral("収録インターバル,") + s.record_interval();
    l << QStringLiteral("作業者,") + s.Worker();
    l << QStringLiteral("コメント,") + s.Comment();
    l << QStringLiteral(",,,,,,");
    l << QStringLiteral("オフセット量,") + fourChannels([&](int ch) {
             const QString t = platform::format(static_cast<double>(st.ch_offset_value(ch)), QStringLiteral("###0.0"));
             return rightAlign(QStringLiteral("   ") + t, 5);
         });
    l << QStringLiteral("入力種類,") + fourChannels([&](int ch) { return s.Ch_input_type(ch); });
    l << QStringLiteral("単位,") + fourChannels([&](int ch) { return s.Ch_unit(ch); });
    const auto scale = [](qint16 v) {
        return (QStringLiteral("    ") + platform::format(v, QStringLiteral("0000")) + u' ').right(6);
    };
    l << QStringLiteral("スケール最小値,") + fourChannels([&](int ch) { return scale(s.Ch_scale_min(ch)); });
    l << QStringLiteral("スケール最大値,") + fourChannels([&](int ch) { return scale(s.Ch_scale_max(ch)); });
    l << QStringLiteral("ピリオド位置,") + fourChannels([&](int ch) { return QString::number(s.Ch_period_pos(ch)); });
    const auto alarm = [&](int ch, double v) {
        return csvstring_alm_sumbsc(s.Ch_input_type(ch), platform::cstrNumber(v));
    };
    l << QStringLiteral("下限警報値,") + fourChannels([&](int ch) { return alarm(ch, s.Ch_low_alarm_count_value(ch)); });
    l << QStringLiteral("上限警報値,") + fourChannels([&](int ch) { return alarm(ch, s.Ch_high_alarm_count_value(ch)); });
    l << QStringLiteral("積算基準値,") + fourChannels([&](int ch) { return alarm(ch, s.Ch_sum_std_count_value(ch)); });
    l << QStringLiteral("データ数,") + s.data_count_str().right(8) + kComma + rangeText + QStringLiteral(",,,");
    l << QStringLiteral("収録日時,ＣＨ１,ＣＨ２,ＣＨ３,ＣＨ４,データマーク,");
    return l;
}

int log_csv_record_chars(QByteArrayView date, const LogRecordBytes& rec, char* out) {
    char* p = out;
    for (const char c : date) *p++ = c;
    for (int ch = 0; ch < 4; ++ch) {
        *p++ = ',';
        p = putChannelValue(rec.ch[size_t(ch)], p);
    }
    *p++ = ',';
    char marked = '0';
    for (const char c : rec.mark) marked = c == '*' ? '1' : marked;
    *p++ = marked;
    return int(p - out);
}

QString log_csv_record_line(const QString& dateText, const LogRecord& rec) {
    std::array<QByteArray, 4> cells;
    LogRecordBytes bytes;
    const QByteArray mark = rec.mark.toUtf8();
    bytes.mark = mark;
    for (size_t ch = 0; ch < 4; ++ch) {
        cells[ch] = rec.ch[ch].toUtf8();
        bytes.ch[ch] = cells[ch];
    }
    const QByteArray date = dateText.toUtf8();
    std::string out(size_t(date.size()) + size_t(cells[0].size() + cells[1].size() + cells[2].size() + cells[3].size()) + 64,
                    '\0');
    return QString::fromUtf8(out.data(), log_csv_record_chars(date, bytes, out.data()));
}

QStringList log_csv_statistics_lines(const LogCsvSource& src) {
    const clsLOGGER_SETTING& s = src.setting;
    const auto gridField = [&](const std::array<QString, 4>& row) {
        return fourChannels([&](int ch) {
            if (s.Ch_data_count(ch) == 0) return QString(6, u' ');
            return platform::padLeft(blanks_trimmed(row[ch]).toString(), 6);
        });
    };
    const auto integration = [&](bool low) {
        return fourChannels([&](int ch) {
            if (s.Ch_data_count(ch) == 0 || s.Ch_input_type(ch) == QLatin1String("V")) return QString(9, u' ');
            const double v = low ? s.Ch_l_sum_value(ch) : s.Ch_h_sum_value(ch);
            return rightAlign(platform::format(v, QStringLiteral("0.0")), 9);
        });
    };
    QStringList l;
    l << QStringLiteral(",,,,,,");
    l << QStringLiteral("最小値,") + gridField(src.grid_min);
    l << QStringLiteral("最大値,") + gridField(src.grid_max);
    l << QStringLiteral("平均値,") + gridField(src.grid_ave);
    l << QStringLiteral("L積算値,") + integration(true);
    l << QStringLiteral("H積算値,") + integration(false);
    return l;
}

namespace {
QString stemOf(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.indexOf(QStringLiteral(".csv"), 0, Qt::CaseInsensitive);
    return dot >= 0 ? name.left(dot) : name;
}
}  // namespace

QString csv_split_base(const QString& path) {
    const QFileInfo fi(path);
    return fi.path() + u'/' + stemOf(path);
}

QString csv_split_name_make(const QString& folder, const QString& chosenPath, int k) {
    return folder + u'/' + stemOf(chosenPath) + u'_' + twoDigits(k) + QStringLiteral(".csv");
}

FileResult csv_split_folder_make(const QString& base, QString& folder, IFileProgress* progress) {
    folder.clear();
    QString candidate = base;
    bool found = !QFileInfo::exists(candidate);
    for (int i = 0; !found && i <= 255; ++i) {
        if (progress) progress->process_events();
        candidate = base + u'_' + twoDigits(i);
        found = !QFileInfo::exists(candidate);
    }
    if (!found) {
        return FileResult::failure(QStringLiteral("同じ名前のフォルダが多すぎるため、分割保存用のフォルダを作成できません。\n") +
                                   QDir::toNativeSeparators(base) + QStringLiteral("_255 まで使用されています。"));
    }
    if (!QDir().mkdir(candidate)) {
        return FileResult::failure(QStringLiteral("分割保存用のフォルダを作成できませんでした。\n") +
                                   QDir::toNativeSeparators(candidate));
    }
    folder = candidate;
    return FileResult::success();
}

namespace {

// The bytes of a file, gathered in one buffer and handed to the file in
// large pieces. Lines of ASCII (every record line, as a rule) are their own
// CP932; any other line is converted.
class CsvOut {
public:
    explicit CsvOut(SafeFileWriter& w) : m_w(w) { m_bytes.reserve(kPiece + 64 * 1024); }
    FileResult line(const QString& l) {
        m_bytes.append(platform::cp932::encode(l));
        return ended();
    }
    // Room for a line of up to n UTF-8 bytes at the end of the buffer; the
    // line written there is taken by lineWritten.
    char* room(qsizetype n) {
        m_at = m_bytes.size();
        m_bytes.resize(m_at + n);
        return m_bytes.data() + m_at;
    }
    FileResult lineWritten(qsizetype len) {
        const char* p = m_bytes.constData() + m_at;
        char any = 0;
        for (qsizetype i = 0; i < len; ++i) any |= p[i];
        if (any & 0x80) {
            const QString text = QString::fromUtf8(p, len);
            m_bytes.resize(m_at);
            return line(text);
        }
        m_bytes.resize(m_at + len);
        return ended();
    }
    FileResult flush() {
        if (m_bytes.isEmpty()) return FileResult::success();
        const FileResult r = m_w.write(m_bytes);
        m_bytes.resize(0);
        return r;
    }

private:
    static constexpr qsizetype kPiece = 256 * 1024;
    FileResult ended() {
        m_bytes.append("\r\n", 2);
        return m_bytes.size() >= kPiece ? flush() : FileResult::success();
    }
    SafeFileWriter& m_w;
    QByteArray m_bytes;
    qsizetype m_at = 0;
};

}  // namespace

FileResult log_csv_write(const QString& path, const LogCsvSource& src, const LogRecordSource& records,
                         const LogCsvHooks& hooks, LogCsvOutcome* outcome) {
    LogRecord rec;
    std::array<QByteArray, 4> cells;
    QByteArray mark;
    const LogRecordBytesSource bytes = [&](LogRecordBytes& out) {
        if (!records(rec)) return false;
        mark = rec.mark.toUtf8();
        out.mark = mark;
        for (size_t ch = 0; ch < 4; ++ch) {
            cells[ch] = rec.ch[ch].toUtf8();
            out.ch[ch] = cells[ch];
        }
        return true;
    };
    return log_csv_write(path, src, bytes, hooks, outcome);
}

FileResult log_csv_write(const QString& path, const LogCsvSource& src, const LogRecordBytesSource& records,
                         const LogCsvHooks& hooks, LogCsvOutcome* outcome) {
    LogCsvOutcome local;
    LogCsvOutcome& out = outcome ? *outcome : local;
    out = LogCsvOutcome{};

    const clsLOGGER_SETTING& s = src.setting;
    const qint32 n = s.data_count();
    const bool split = src.file_data && n > kCsvSplitRecords;
    const int m = split ? static_cast<int>((qint64(n) + kCsvSplitRecords - 1) / kCsvSplitRecords) : 1;

    // The files are flushed to the disk together at the end: the disk works
    // on one while the next is written.
    std::vector<std::unique_ptr<SafeFileWriter>> written;
    // Undoes everything this export made when it cannot finish.
    const auto undo = [&](const FileResult& failure) {
        for (const auto& w : written) w->discard();
        for (const QString& f : out.files) QFile::remove(f);
        if (!out.folder.isEmpty()) QDir().rmdir(out.folder);
        out = LogCsvOutcome{};
        return failure;
    };

    std::optional<LogRecordClock> clock;
    try {
        if (n >= 3) clock.emplace(s.start_time(), s.stop_time(), s.record_interval(), n);
    } catch (const Error&) {
        return FileResult::failure(QStringLiteral("収録インターバルが正しくないため、保存できません。"));
    }
    const QByteArray startText = s.Disp_StartTime().mid(2).toUtf8();
    const QByteArray stopText = s.Disp_StopTime().mid(2).toUtf8();
    const QStringList statistics = log_csv_statistics_lines(src);

    if (split) {
        QString folder;
        if (FileResult r = csv_split_folder_make(csv_split_base(path), folder, hooks.progress); !r) return r;
        out.folder = folder;
    }

    LogRecordBytes rec;
    platform::CivilFormatter dates;
    char date[32];
    qint32 r = 1;
    for (int k = 0; k < m; ++k) {
        const QString target = split ? csv_split_name_make(out.folder, path, k) : path;
        const qint32 first = split ? kCsvSplitRecords * k + 1 : 1;
        const qint32 last = split ? std::min<qint32>(kCsvSplitRecords * (k + 1), n) : n;
        if (src.file_data && hooks.set_caption) {
            hooks.set_caption(QStringLiteral("ファイルへ書き込んでいます。(%1/%2)").arg(k + 1).arg(m));
        }
        written.push_back(std::make_unique<SafeFileWriter>(target));
        SafeFileWriter& w = *written.back();
        if (FileResult res = w.open(); !res) return undo(res);
        CsvOut csv(w);
        FileResult res;
        for (const QString& l : log_csv_head_lines(src, split ? log_csv_range_text(first, last) : QString())) {
            if (res = csv.line(l); !res) return undo(res);
        }
        for (; r <= last; ++r) {
            QByteArrayView dateText;
            if (r == 1) {
                dateText = startText;
            } else if (r == n) {
                dateText = stopText;
            } else {
                if (hooks.progress) {
                    hooks.progress->set_progress_value(r - 1);
                    hooks.progress->process_events();
                }
                dateText = QByteArrayView(date, dates.chars2(clock->computed_secs(r), date));
            }
            if (!records(rec)) {
                w.discard();
                return undo(FileResult::failure(
                    QStringLiteral("データ数(%1件)の記録データがそろっていないため、保存できません。").arg(n)));
            }
            qsizetype room = dateText.size() + rec.mark.size() + 64;
            for (const QByteArrayView c : rec.ch) room += c.size();
            if (res = csv.lineWritten(log_csv_record_chars(dateText, rec, csv.room(room))); !res) return undo(res);
        }
        for (const QString& l : statistics) {
            if (res = csv.line(l); !res) return undo(res);
        }
        if (res = csv.flush(); !res) return undo(res);
    }
    for (const auto& w : written) {
        if (FileResult res = w->commit(); !res) return undo(res);
        out.files << w->targetPath();
    }
    return FileResult::success();
}

}  // namespace mq
