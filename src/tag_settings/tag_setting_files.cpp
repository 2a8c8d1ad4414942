#include "tag_settings/tag_setting_files.h"

#include <QFileInfo>
#include <QList>

#include <array>

#include "model/cls_logger_setting.h"
#include "model/cls_logger_status.h"
#include "model/model_state.h"
#include "platform/cp932.h"
#include "platform/errors.h"
#include "platform/numbers.h"

namespace mq {

namespace {

constexpr int kChannels = 4;
const QString kFormatTag = QStringLiteral("TS01-010100");
const QString kDefaultModel = QStringLiteral("ZK4409-M");

QString channelLine(const std::array<QString, kChannels>& f) {
    return QStringLiteral(",%1,%2,%3,%4,,").arg(f[0], f[1], f[2], f[3]);
}

bool isNumber(const QString& text, double* out = nullptr) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (ok && out) *out = v;
    return ok && !text.trimmed().isEmpty();
}

// An alarm that is not set (or has no meaning for the channel) is written as
// "------", which every reader takes as not set; a 0 in its place would come
// back as an alarm at zero.
bool alarmWritten(const clsLOGGER_SETTING& s, int ch, bool low) {
    const QString text = low ? s.Ch_low_alarm_count(ch) : s.Ch_high_alarm_count(ch);
    return !text.trimmed().startsWith(QStringLiteral("-----"));
}

QString alarmText(const clsLOGGER_SETTING& s, int ch, bool low, TagFileLayout layout) {
    const QString type = s.Ch_input_type(ch);
    if (!alarmWritten(s, ch, low)) return QStringLiteral("------");
    const double v = low ? s.Ch_low_alarm_count_value(ch) : s.Ch_high_alarm_count_value(ch);
    if (layout == TagFileLayout::SettingFile) return platform::cstrNumber(v);
    if (type == u"-" || type == u"V") return QStringLiteral("------");
    return platform::leftAlign(platform::format(v, QStringLiteral("0.0")), 6);
}

QString scaleText(qint16 v, TagFileLayout layout) {
    if (layout == TagFileLayout::SettingFile) return QString::number(v);
    return platform::leftAlign(platform::format(v, QStringLiteral("0000")), 6);
}

QString offsetText(const clsLOGGER_STATUS* status, int ch, TagFileLayout layout) {
    const float v = status ? status->ch_offset_value(ch) : 0.0f;
    if (layout == TagFileLayout::SettingFile) return platform::cstrSingle(v);
    return platform::rightAlign(platform::format(v, QStringLiteral("0.0")), 5);
}

QList<QString> linesOf(const QByteArray& bytes) {
    QList<QString> lines;
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        lines << platform::cp932::decode(line);
    }
    return lines;
}

// Fields 2-5 of a channel line, trimmed as the list reader trims them.
bool channelFields(const QString& line, std::array<QString, kChannels>& out) {
    const QStringList f = line.split(u',');
    if (f.size() < 1 + kChannels) return false;
    for (int c = 0; c < kChannels; ++c) out[c] = f.at(1 + c).trimmed();
    return true;
}

QString badFileMessage(const QString& path) {
    return QStringLiteral("設定ファイルを読み込めませんでした。\n") + path;
}

}  // namespace

QByteArray tag_setting_file_bytes(const clsLOGGER_SETTING& s, const clsLOGGER_STATUS* status, TagFileLayout layout) {
    QStringList lines;
    const QString model = status ? status->model_name_in_file() : kDefaultModel;
    lines << QStringLiteral(",") + model + QStringLiteral("-") + kFormatTag;
    for (int i = 2; i <= 9; ++i) lines << QStringLiteral(",,");
    lines << QStringLiteral(",,,,,,,");
    std::array<QString, kChannels> f;
    auto add = [&](auto make) {
        for (int c = 0; c < kChannels; ++c) f[c] = make(c);
        lines << channelLine(f);
    };
    add([&](int c) { return offsetText(status, c, layout); });
    add([&](int c) { return s.Ch_input_type(c); });
    add([&](int c) { return s.Ch_unit(c); });
    add([&](int c) { return scaleText(s.Ch_scale_min(c), layout); });
    add([&](int c) { return scaleText(s.Ch_scale_max(c), layout); });
    add([&](int c) { return QString::number(s.Ch_period_pos(c)); });
    add([&](int c) { return alarmText(s, c, true, layout); });
    add([&](int c) { return alarmText(s, c, false, layout); });
    return platform::cp932::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

QByteArray tag0_cfg_default_bytes() {
    QStringList lines;
    lines << QStringLiteral(",ZK4409-M-TS01-010100");
    for (int i = 2; i <= 9; ++i) lines << QStringLiteral(",,");
    lines << QStringLiteral(",,,,,,,") << QStringLiteral(",  0.0,  0.0,  0.0,  0.0,,") << QStringLiteral(",K,K,K,K,,")
          << QStringLiteral(", V , V , V , V ,,") << QStringLiteral(",0000  ,0000  ,0000  ,0000  ,,")
          << QStringLiteral(",5000  ,5000  ,5000  ,5000  ,,") << QStringLiteral(",3,3,3,3,,")
          << QStringLiteral(",-200.0,-200.0,-200.0,-200.0,,") << QStringLiteral(",1370.0,1370.0,1370.0,1370.0,,");
    return platform::cp932::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

bool tag_setting_file_has_tag(const QByteArray& bytes) {
    const QList<QString> lines = linesOf(bytes);
    if (lines.isEmpty()) return false;
    const QStringList f = lines.first().split(u',');
    return f.size() >= 2 && f.at(1).trimmed().right(11) == kFormatTag;
}

FileResult tag_setting_channels_read(const QByteArray& bytes, const QString& path, clsLOGGER_SETTING& s) {
    const QList<QString> lines = linesOf(bytes);
    if (lines.size() < 18) return FileResult::failure(badFileMessage(path));
    std::array<QString, kChannels> type, smin, smax, pos, low, high;
    if (!channelFields(lines[11], type) || !channelFields(lines[13], smin) || !channelFields(lines[14], smax) ||
        !channelFields(lines[15], pos) || !channelFields(lines[16], low) || !channelFields(lines[17], high))
        return FileResult::failure(badFileMessage(path));

    clsLOGGER_SETTING next = s;
    const QString& units = lines[12];
    // A value that reads as a number can still be too large for its field
    // once scaled: the copy is given up like any other damaged file.
    try {
        for (int c = 0; c < kChannels; ++c) {
            double vmin = 0, vmax = 0, vpos = 0;
            if (!isNumber(smin[c], &vmin) || !isNumber(smax[c], &vmax) || !isNumber(pos[c], &vpos) || vmin < -32768 ||
                vmin > 32767 || vmax < -32768 || vmax > 32767 || vpos < 0 || vpos > 3 || type[c].size() != 1)
                return FileResult::failure(badFileMessage(path));
            next.let_Ch_input_type(c, type[c]);
            next.let_Ch_unit(c, units.mid(1 + 4 * c, 3));
            next.let_Ch_scale_min(c, platform::toInt16(vmin));
            next.let_Ch_scale_max(c, platform::toInt16(vmax));
            next.let_Ch_period_pos(c, platform::toByte(vpos));
            for (int side = 0; side < 2; ++side) {
                QString text = side == 0 ? low[c] : high[c];
                double v = 0;
                if (isNumber(text, &v)) {
                    // Alarms are written as values; a whole number of a voltage
                    // channel read as it stands would be taken as already scaled.
                    text = type[c] == u"V"
                               ? platform::cstrNumber(v) + (text.contains(u'.') ? QString() : QStringLiteral(".0"))
                               : platform::format(v, QStringLiteral("##0.0"));
                } else if (!text.startsWith(QStringLiteral("-----"))) {
                    return FileResult::failure(badFileMessage(path));
                }
                if (side == 0) next.let_Ch_low_alarm_count(c, text);
                else next.let_Ch_high_alarm_count(c, text);
            }
        }
    } catch (const Error&) {
        return FileResult::failure(badFileMessage(path));
    }
    s = next;
    return FileResult::success();
}

FileResult tag_setting_file_load(const QString& path, clsLOGGER_SETTING& s) {
    QByteArray bytes;
    if (FileResult r = read_small_file(path, kTagSettingFileMaxBytes, badFileMessage(path), bytes); !r) return r;
    if (!tag_setting_file_has_tag(bytes))
        return FileResult::failure(QStringLiteral("選択ファイルの形式がタグ設定データではありません。"));
    return tag_setting_channels_read(bytes, path, s);
}

namespace {

FileResult writeFile(const QString& path, const QByteArray& bytes) {
    SafeFileWriter w(path);
    if (FileResult r = w.open(); !r) return r;
    if (FileResult r = w.write(bytes); !r) return r;
    return w.commit();
}

}  // namespace

FileResult tag_setting_file_save(const QString& path, const clsLOGGER_SETTING& s, const clsLOGGER_STATUS* status) {
    return writeFile(path, tag_setting_file_bytes(s, status, TagFileLayout::SettingFile));
}

QString tag0_cfg_path() { return model().user_dir + QStringLiteral("/config/TAG0.CFG"); }

FileResult tag0_cfg_load(clsLOGGER_SETTING& s) {
    const QString path = tag0_cfg_path();
    QByteArray bytes;
    if (!QFileInfo::exists(path)) {
        bytes = tag0_cfg_default_bytes();
        if (FileResult r = writeFile(path, bytes); !r) {
            // The defaults still hold for this session.
            tag_setting_channels_read(bytes, path, s);
            return r;
        }
    } else if (FileResult r = read_small_file(path, kTagSettingFileMaxBytes, badFileMessage(path), bytes); !r) {
        return r;
    }
    return tag_setting_channels_read(bytes, path, s);
}

FileResult tag0_cfg_save(const clsLOGGER_SETTING& s, const clsLOGGER_STATUS* status) {
    return writeFile(tag0_cfg_path(), tag_setting_file_bytes(s, status, TagFileLayout::Defaults));
}

}  // namespace mq
