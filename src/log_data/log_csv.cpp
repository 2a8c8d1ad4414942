#include "log_data/log_csv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

#include "main_window/conversions.h"
#include "main_window/scrambling.h"
#include "model/common_proc.h"
#include "model/channel_values.h"
#include "model/cls_logger_setting.h"
#include "model/cls_logger_status.h"
#include "platform/cp932.h"
#include "platform/errors.h"
#include "platform/numbers.h"

namespace mq {

using platform::rightAlign;

namespace {

const QString kComma = QStringLiteral(",");

QString twoDigits(int v) { return QStringLiteral("%1").arg(v, 2, 10, QChar(u'0')); }

// "yy/mm/dd hh:nn:ss"
QString dateText17(const QDateTime& t) {
    const QDate d = t.date();
    const QTime tm = t.time();
    QString s;
    s.reserve(17);
    s += twoDigits(d.year() % 100);
    s += u'/';
    s += twoDigits(d.month());
    s += u'/';
    s += twoDigits(d.day());
    s += u' ';
    s += twoDigits(tm.hour());
    s += u':';
    s += twoDigits(tm.minute());
    s += u':';
    s += twoDigits(tm.second());
    return s;
}

QString fourChannels(const std::function<QString(int)>& field) {
    QString out;
    for (int ch = 0; ch < 4; ++ch) out += field(ch) + kComma;
    return out;
}

QString channelValue(const QString& cell) {
    // The whole value, right-aligned in six: a seven-character value keeps its sign.
    const QString value = cell.size() > 6 ? cell_value_text(cell) : rightAlign(cell, 6);
    return file_save_over_under_conv(value);
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

QString log_csv_record_line(const QString& dateText, const LogRecord& rec) {
    QString line;
    line.reserve(17 + 4 * 7 + 2);
    line += dateText;
    for (int ch = 0; ch < 4; ++ch) {
        line += u',';
        line += channelValue(rec.ch[ch]);
    }
    line += u',';
    line += rec.mark.contains(u'*') ? u'1' : u'0';
    return line;
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

// Lines are gathered and encoded in batches: one conversion per batch, not
// per line.
class CsvOut {
public:
    explicit CsvOut(SafeFileWriter& w) : m_w(w) {}
    FileResult line(const QString& l) {
        m_text += l;
        m_text += QStringLiteral("\r\n");
        if (m_text.size() >= 64 * 1024) return flush();
        return FileResult::success();
    }
    FileResult flush() {
        if (m_text.isEmpty()) return FileResult::success();
        const QByteArray bytes = platform::cp932::encode(m_text);
        m_text.clear();
        return m_w.write(bytes);
    }

private:
    SafeFileWriter& m_w;
    QString m_text;
};

}  // namespace

FileResult log_csv_write(const QString& path, const LogCsvSource& src, const LogRecordSource& records,
                         const LogCsvHooks& hooks, LogCsvOutcome* outcome) {
    LogCsvOutcome local;
    LogCsvOutcome& out = outcome ? *outcome : local;
    out = LogCsvOutcome{};

    const clsLOGGER_SETTING& s = src.setting;
    const qint32 n = s.data_count();
    const bool split = src.file_data && n > kCsvSplitRecords;
    const int m = split ? static_cast<int>((qint64(n) + kCsvSplitRecords - 1) / kCsvSplitRecords) : 1;

    // Undoes everything this export made when it cannot finish.
    const auto undo = [&](const FileResult& failure) {
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
    const QString startText = s.Disp_StartTime().mid(2);
    const QString stopText = s.Disp_StopTime().mid(2);
    const QStringList statistics = log_csv_statistics_lines(src);

    if (split) {
        QString folder;
        if (FileResult r = csv_split_folder_make(csv_split_base(path), folder, hooks.progress); !r) return r;
        out.folder = folder;
    }

    LogRecord rec;
    qint32 r = 1;
    for (int k = 0; k < m; ++k) {
        const QString target = split ? csv_split_name_make(out.folder, path, k) : path;
        const qint32 first = split ? kCsvSplitRecords * k + 1 : 1;
        const qint32 last = split ? std::min<qint32>(kCsvSplitRecords * (k + 1), n) : n;
        if (src.file_data && hooks.set_caption) {
            hooks.set_caption(QStringLiteral("ファイルへ書き込んでいます。(%1/%2)").arg(k + 1).arg(m));
        }
        SafeFileWriter w(target);
        if (FileResult res = w.open(); !res) return undo(res);
        CsvOut csv(w);
        FileResult res;
        for (const QString& l : log_csv_head_lines(src, split ? log_csv_range_text(first, last) : QString())) {
            if (res = csv.line(l); !res) return undo(res);
        }
        for (; r <= last; ++r) {
            QString date;
            if (r == 1) {
                date = startText;
            } else if (r == n) {
                date = stopText;
            } else {
                if (hooks.progress) {
                    hooks.progress->set_progress_value(r - 1);
                    hooks.progress->process_events();
                }
                date = dateText17(clock->computed(r));
            }
            if (!records(rec)) {
                w.discard();
                return undo(FileResult::failure(
                    QStringLiteral("データ数(%1件)の記録データがそろっていないため、保存できません。").arg(n)));
            }
            if (res = csv.line(log_csv_record_line(date, rec)); !res) return undo(res);
        }
        for (const QString& l : statistics) {
            if (res = csv.line(l); !res) return undo(res);
        }
        if (res = csv.flush(); !res) return undo(res);
        if (res = w.commit(); !res) return undo(res);
        out.files << target;
    }
    return FileResult::success();
}

}  // namespace mq
