#include "tag_data/tag_csv.h"

#include "main_window/conversions.h"
#include "main_window/scrambling.h"
#include "model/channel_values.h"
#include "model/cls_logger_setting.h"
#include "model/cls_logger_status.h"
#include "platform/cp932.h"
#include "platform/numbers.h"

namespace mq {

using platform::rightAlign;

namespace {

QString two(int v) { return QStringLiteral("%1").arg(v, 2, 10, QChar(u'0')); }

// Label, the four channel fields and two empty fields: seven fields.
QString channelLine(const QString& label, const std::function<QString(int)>& field) {
    QString l = label;
    for (int ch = 0; ch < 4; ++ch) {
        l += u',';
        l += field(ch);
    }
    return l + QStringLiteral(",,");
}

}  // namespace

QStringList tag_csv_head_lines(const TagCsvSource& src) {
    const clsLOGGER_SETTING& s = src.setting;
    const clsLOGGER_STATUS& st = src.status;
    QStringList l;
    l.reserve(20);
    l << QStringLiteral(",") + st.model_name() + QStringLiteral("-") + QLatin1String(kMt1FormatTag);
    l << QStringLiteral("機種名,") + st.model_name();
    l << QStringLiteral(",") + two(st.hard_ver());
    l << QStringLiteral(",") + two(st.soft_ver());
    l << QStringLiteral(",") + two(st.special_spec());
    l << QStringLiteral("機器シリアルナンバー,") + st.serial_no();
    l << QStringLiteral("機器名称,") + st.user_model_name();
    l << QStringLiteral("収録エリア,") + s.area_no_str();
    l << QStringLiteral("タグ名,") + s.log_name();
    l << QStringLiteral(",,,,,,,");
    l << channelLine(QStringLiteral("オフセット量"), [&](int ch) {
        return rightAlign(platform::format(double(st.ch_offset_value(ch)), QStringLiteral("###0.0")), 5);
    });
    l << channelLine(QStringLiteral("入力種類"), [&](int ch) { return s.Ch_input_type(ch); });
    l << channelLine(QStringLiteral("単位"), [&](int ch) { return s.Ch_unit(ch); });
    const auto scale = [](qint16 v) { return rightAlign(platform::format(v, QStringLiteral("0000")) + u' ', 6); };
    l << channelLine(QStringLiteral("スケール最小値"), [&](int ch) { return scale(s.Ch_scale_min(ch)); });
    l << channelLine(QStringLiteral("スケール最大値"), [&](int ch) { return scale(s.Ch_scale_max(ch)); });
    l << channelLine(QStringLiteral("ピリオド位置"), [&](int ch) { return QString::number(s.Ch_period_pos(ch)); });
    const auto alarm = [&](int ch, double v) { return csvstring_alm_sumbsc(s.Ch_input_type(ch), platform::cstrNumber(v)); };
    l << channelLine(QStringLiteral("下限警報値"), [&](int ch) { return alarm(ch, s.Ch_low_alarm_count_value(ch)); });
    l << channelLine(QStringLiteral("上限警報値"), [&](int ch) { return alarm(ch, s.Ch_high_alarm_count_value(ch)); });
    l << QStringLiteral("データ数,") + s.data_count_str().right(8) + QStringLiteral(",,,,,");
    l << QStringLiteral("収録日時,ＣＨ１,ＣＨ２,ＣＨ３,ＣＨ４,作業者,コメント,");
    return l;
}

QString tag_csv_record_line(const TagTableRow& row) {
    QString line;
    line.reserve(17 + 4 * 7 + 18);
    line += row.time.mid(2);
    for (int ch = 0; ch < 4; ++ch) {
        line += u',';
        line += file_save_over_under_conv(rightAlign(row.ch[size_t(ch)], 6));
    }
    line += u',';
    line += row.worker;
    line += u',';
    line += row.comment;
    return line;
}

QStringList tag_csv_statistics_lines(const TagCsvSource& src) {
    const clsLOGGER_SETTING& s = src.setting;
    const auto stat = [&](const std::array<QString, 4>& row) {
        return [&s, &row](int ch) {
            if (s.Ch_data_count(ch) == 0) return QString(6, u' ');
            return rightAlign(blanks_trimmed(row[size_t(ch)]).toString(), 6);
        };
    };
    return {QStringLiteral(",,,,,,,"), channelLine(QStringLiteral("最小値"), stat(src.grid_min)),
            channelLine(QStringLiteral("最大値"), stat(src.grid_max)),
            channelLine(QStringLiteral("平均値"), stat(src.grid_ave))};
}

FileResult tag_csv_write(const QString& path, const TagCsvSource& src, const TagRowSource& rows,
                         IFileProgress* progress) {
    const qint32 n = src.setting.data_count();
    SafeFileWriter w(path);
    if (FileResult r = w.open(); !r) return r;
    QString text;
    const auto flush = [&]() -> FileResult {
        if (text.isEmpty()) return FileResult::success();
        const QByteArray bytes = platform::cp932::encode(text);
        text.clear();
        return w.write(bytes);
    };
    const auto line = [&](const QString& l) -> FileResult {
        text += l;
        text += QStringLiteral("\r\n");
        // Lines are encoded in batches: one conversion per batch, not per line.
        return text.size() >= 64 * 1024 ? flush() : FileResult::success();
    };
    for (const QString& l : tag_csv_head_lines(src)) {
        if (FileResult r = line(l); !r) return r;
    }
    TagTableRow row;
    for (qint32 i = 0; i < n; ++i) {
        if (progress) {
            progress->set_progress_value(i);
            progress->process_events();
        }
        if (!rows(row)) {
            return FileResult::failure(
                QStringLiteral("データ数(%1件)の記録データがそろっていないため、保存できません。").arg(n));
        }
        if (FileResult r = line(tag_csv_record_line(row)); !r) return r;
    }
    for (const QString& l : tag_csv_statistics_lines(src)) {
        if (FileResult r = line(l); !r) return r;
    }
    if (FileResult r = flush(); !r) return r;
    return w.commit();
}

}  // namespace mq
