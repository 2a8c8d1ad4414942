#include "log_settings/ls01_file.h"

#include <QList>

#include "setting_editor/setting_field_rules.h"
#include "model/cls_logger_setting.h"
#include "platform/cp932.h"
#include "platform/errors.h"
#include "platform/numbers.h"

namespace mq {

namespace {

constexpr int kLines = 24;

// A fixed text of the setting as a file holds it: a setting never filled holds
// NUL characters, which a text file does not carry.
QString plain(QString t) { return t.remove(QChar(0)); }

bool not_set(const QString& t) { return t.trimmed() == u"-----" || t.trimmed() == u"------"; }
bool unused_or_voltage(const QString& type) { return type == u"-" || type == u"V"; }

QString channel_line(const std::array<QString, 4>& f) {
    QString l = QStringLiteral(",");
    for (const QString& x : f) l += x + u',';
    return l;
}

template <typename F>
QString per_channel(F f) {
    std::array<QString, 4> v;
    for (int c = 0; c < 4; ++c) v[size_t(c)] = f(c);
    return channel_line(v);
}

QByteArray join(const QStringList& lines) {
    QByteArray out;
    for (const QString& l : lines) out += platform::cp932::encode(l) + "\r\n";
    return out;
}

QStringList head(const clsLOGGER_SETTING& s, const LoggerIdentityForFile& id) {
    QStringList l;
    l << QStringLiteral(",") + id.model_name + QStringLiteral("-") + kLs01Tag;
    for (int i = 2; i <= 11; ++i) l << QStringLiteral(",,");
    l << QStringLiteral(",") + s.record_interval();
    return l;
}

// Whether a channel's alarm or base value is written as a number: a value
// that is set, of a thermocouple channel.
bool alarm_written(const clsLOGGER_SETTING& s, int c, int which) {
    const QString raw = which == 0 ? s.Ch_low_alarm_count(c) : which == 1 ? s.Ch_high_alarm_count(c) : s.Ch_sum_std_count(c);
    return !unused_or_voltage(s.Ch_input_type(c)) && !not_set(raw);
}

double alarm_value(const clsLOGGER_SETTING& s, int c, int which) {
    return which == 0 ? s.Ch_low_alarm_count_value(c)
           : which == 1 ? s.Ch_high_alarm_count_value(c)
                        : s.Ch_sum_std_count_value(c);
}

// The lines of a file (CR LF or LF ends); the last empty piece is dropped.
QList<QByteArray> split_lines(const QByteArray& bytes) {
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (QByteArray& l : lines)
        if (l.endsWith('\r')) l.chop(1);
    return lines;
}

QStringList fields(const QByteArray& line) { return platform::cp932::decode(line).split(u','); }

// Fields 2 to 5 of a channel line.
bool channel_fields(const QByteArray& line, std::array<QString, 4>& out) {
    const QStringList f = fields(line);
    if (f.size() < 5) return false;
    for (int c = 0; c < 4; ++c) out[size_t(c)] = f[c + 1].trimmed();
    return true;
}

SettingFileRead read(const QByteArray& bytes, clsLOGGER_SETTING& into, bool defaultsFile) {
    const QList<QByteArray> lines = split_lines(bytes);
    if (lines.size() < kLines) return SettingFileRead::Damaged;
    if (!defaultsFile) {
        const QStringList first = fields(lines[0]);
        if (first.size() < 2 || first[1].right(kLs01Tag.size()) != kLs01Tag) return SettingFileRead::WrongTag;
    }
    clsLOGGER_SETTING s = into;
    const QStringList l12 = fields(lines[11]);
    if (l12.size() < 2 || !interval_valid(l12[1].trimmed())) return SettingFileRead::Damaged;
    s.let_record_interval(l12[1].trimmed());

    std::array<QString, 4> types, mins, maxs, poss;
    if (!channel_fields(lines[16], types) || !channel_fields(lines[18], mins) || !channel_fields(lines[19], maxs) ||
        !channel_fields(lines[20], poss)) {
        return SettingFileRead::Damaged;
    }
    const QString units = platform::cp932::decode(lines[17]);
    if (units.size() < 16) return SettingFileRead::Damaged;
    try {
        for (int c = 0; c < 4; ++c) {
            const size_t i = size_t(c);
            if (types[i].size() != 1) return SettingFileRead::Damaged;
            s.let_Ch_input_type(c, types[i]);
            s.let_Ch_unit(c, units.mid(1 + 4 * c, 3));
            s.let_Ch_scale_min(c, platform::toInt16(platform::toDouble(mins[i])));
            s.let_Ch_scale_max(c, platform::toInt16(platform::toDouble(maxs[i])));
            if (poss[i].size() != 1 || !poss[i].at(0).isDigit() || poss[i].at(0).unicode() > u'9') {
                return SettingFileRead::Damaged;
            }
            s.let_Ch_period_pos(c, quint8(poss[i].at(0).unicode() - u'0'));
        }
        for (int which = 0; which < 3; ++which) {
            std::array<QString, 4> v;
            if (!channel_fields(lines[21 + which], v)) return SettingFileRead::Damaged;
            for (int c = 0; c < 4; ++c) {
                QString t = v[size_t(c)];
                if (not_set(t)) {
                    t = QStringLiteral("------");
                } else {
                    const double x = platform::toDouble(t);
                    if (defaultsFile) {
                        t = platform::format(x, QStringLiteral("##0.000"));
                    } else if (s.Ch_input_type(c) != u"V") {
                        t = platform::format(x, QStringLiteral("##0.0"));
                    } else if (!t.contains(u'.')) {
                        // A plain whole number of a voltage channel is a value, not a scaled count.
                        t = platform::format(x, QStringLiteral("0.0"));
                    }
                }
                if (which == 0) s.let_Ch_low_alarm_count(c, t);
                else if (which == 1) s.let_Ch_high_alarm_count(c, t);
                else s.let_Ch_sum_std_count(c, t);
            }
        }
    } catch (const Error&) {
        return SettingFileRead::Damaged;
    }
    into = s;
    return SettingFileRead::Ok;
}

}  // namespace

QByteArray ls01_bytes(const clsLOGGER_SETTING& s, const LoggerIdentityForFile& id) {
    QStringList l = head(s, id);
    l << QStringLiteral(",") + plain(s.Worker()) << QStringLiteral(",") + plain(s.Comment()) << QStringLiteral(",,,,,,");
    l << per_channel([&](int c) { return platform::cstrSingle(id.offsets[size_t(c)]); });
    l << per_channel([&](int c) { return s.Ch_input_type(c); });
    l << per_channel([&](int c) { return s.Ch_unit(c); });
    l << per_channel([&](int c) { return QString::number(s.Ch_scale_min(c)); });
    l << per_channel([&](int c) { return QString::number(s.Ch_scale_max(c)); });
    l << per_channel([&](int c) { return QString::number(s.Ch_period_pos(c)); });
    for (int which = 0; which < 3; ++which) {
        l << per_channel([&](int c) {
            if (!alarm_written(s, c, which)) return QStringLiteral("------");
            return platform::cstrNumber(alarm_value(s, c, which));
        });
    }
    return join(l);
}

QByteArray log0_cfg_bytes(const clsLOGGER_SETTING& s, const LoggerIdentityForFile& id) {
    QStringList l = head(s, id);
    l << QStringLiteral(",") + plain(s.Worker()) << QStringLiteral(",") + plain(s.Comment()) << QStringLiteral(",,,,,,");
    l << per_channel([&](int c) {
        return platform::rightAlign(platform::format(id.offsets[size_t(c)], QStringLiteral("0.0")), 5);
    });
    l << per_channel([&](int c) { return s.Ch_input_type(c); });
    l << per_channel([&](int c) { return s.Ch_unit(c); });
    l << per_channel([&](int c) { return platform::leftAlign(platform::format(s.Ch_scale_min(c), QStringLiteral("0000")), 6); });
    l << per_channel([&](int c) { return platform::leftAlign(platform::format(s.Ch_scale_max(c), QStringLiteral("0000")), 6); });
    l << per_channel([&](int c) { return QString::number(s.Ch_period_pos(c)); });
    for (int which = 0; which < 3; ++which) {
        l << per_channel([&](int c) {
            if (!alarm_written(s, c, which)) return QStringLiteral("------");
            return platform::leftAlign(platform::format(alarm_value(s, c, which), QStringLiteral("0.0")), 6);
        });
    }
    return join(l);
}

QByteArray log0_cfg_default_bytes() {
    QStringList l;
    l << QStringLiteral(",ZK4409-M-LS01-010100");
    for (int i = 2; i <= 11; ++i) l << QStringLiteral(",,");
    l << QStringLiteral(",00:01:00") << QStringLiteral(",") << QStringLiteral(",") << QStringLiteral(",,,,,,");
    l << QStringLiteral(",  0.0,  0.0,  0.0,  0.0,") << QStringLiteral(",K,K,K,K,") << QStringLiteral(", V , V , V , V ,");
    l << QStringLiteral(",0000  ,0000  ,0000  ,0000  ,") << QStringLiteral(",5000  ,5000  ,5000  ,5000  ,");
    l << QStringLiteral(",3,3,3,3,") << QStringLiteral(",-200.0,-200.0,-200.0,-200.0,");
    l << QStringLiteral(",1370.0,1370.0,1370.0,1370.0,") << QStringLiteral(",0.0   ,0.0   ,0.0   ,0.0   ,");
    return join(l);
}

SettingFileRead ls01_read(const QByteArray& bytes, clsLOGGER_SETTING& into) { return read(bytes, into, false); }
SettingFileRead log0_cfg_read(const QByteArray& bytes, clsLOGGER_SETTING& into) { return read(bytes, into, true); }

QString ls01_save_name(const QString& chosen) {
    if (chosen.endsWith(QStringLiteral(".csv")) || chosen.endsWith(QStringLiteral(".CSV"))) return chosen;
    return chosen + QStringLiteral(".csv");
}

}  // namespace mq
