#include "platform/civil_time.h"

#include "platform/errors.h"

#include <QStringList>

#include <cstdio>
#include <cstring>

namespace mq::platform {
namespace {

[[noreturn]] void fail(const QString& text) {
    throw ConversionError("not a date and time: \"" + text.toStdString() + "\"");
}

// A field of 1..maxDigits ASCII digits, else -1.
int field(const QString& s, int maxDigits) {
    if (s.isEmpty() || s.size() > maxDigits) return -1;
    int v = 0;
    for (QChar c : s) {
        if (c.unicode() < '0' || c.unicode() > '9') return -1;
        v = v * 10 + (c.unicode() - '0');
    }
    return v;
}

bool validTime(int h, int mi, int s) { return h >= 0 && h <= 23 && mi >= 0 && mi <= 59 && s >= 0 && s <= 59; }

QString two(int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }

}  // namespace

QDateTime civil(int y, int mo, int d, int h, int mi, int s) {
    const QDate date(y, mo, d);
    if (y < 100 || y > 9999 || !date.isValid() || !validTime(h, mi, s))
        throw ConversionError(QStringLiteral("not a date and time: %1/%2/%3 %4:%5:%6")
                                  .arg(y)
                                  .arg(mo)
                                  .arg(d)
                                  .arg(h)
                                  .arg(mi)
                                  .arg(s)
                                  .toStdString());
    return QDateTime(date, QTime(h, mi, s), Qt::UTC);
}

QDateTime zeroCivil() { return QDateTime(QDate(1899, 12, 30), QTime(0, 0, 0), Qt::UTC); }

QDateTime parseCivil(const QString& text) {
    const QString t = text.trimmed();
    const QStringList parts = t.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.size() > 2) fail(text);

    const QString& datePart = parts[0];
    const QChar sep = datePart.contains(QLatin1Char('/')) ? QLatin1Char('/') : QLatin1Char('-');
    const QStringList ymd = datePart.split(sep);
    if (ymd.size() != 3) fail(text);
    const int yDigits = int(ymd[0].size());
    int y = field(ymd[0], 4);
    const int mo = field(ymd[1], 2);
    const int d = field(ymd[2], 2);
    if (y < 0 || mo < 0 || d < 0) fail(text);
    if (yDigits <= 2) y += (y < 30) ? 2000 : 1900;

    int h = 0, mi = 0, s = 0;
    if (parts.size() == 2) {
        const QStringList hms = parts[1].split(QLatin1Char(':'));
        if (hms.size() < 2 || hms.size() > 3) fail(text);
        h = field(hms[0], 2);
        mi = field(hms[1], 2);
        s = hms.size() == 3 ? field(hms[2], 2) : 0;
        if (h < 0 || mi < 0 || s < 0) fail(text);
    }
    try {
        return civil(y, mo, d, h, mi, s);
    } catch (const ConversionError&) {
        fail(text);
    }
}

QString formatCivil(const QDateTime& dt) {
    const QDate d = dt.date();
    const QTime t = dt.time();
    return QStringLiteral("%1/%2/%3 %4:%5:%6")
        .arg(d.year(), 4, 10, QLatin1Char('0'))
        .arg(two(d.month()), two(d.day()), two(t.hour()), two(t.minute()), two(t.second()));
}

QString formatCivil(const QDateTime& dt, const QString& picture) {
    const QDate d = dt.date();
    const QTime t = dt.time();
    QString out;
    bool afterHours = false;  // the last date/time part written was hours
    const int n = int(picture.size());
    for (int i = 0; i < n;) {
        const QChar c = picture[i].toLower();
        int run = 1;
        while (i + run < n && picture[i + run].toLower() == c) ++run;
        const char16_t u = c.unicode();
        if (u == 'y') {
            if (run >= 4)
                out += QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0'));
            else
                out += two(d.year() % 100);
            afterHours = false;
        } else if (u == 'm') {
            // Minutes when it follows an hours part or precedes a seconds part.
            bool minutes = afterHours;
            if (!minutes) {
                for (int k = i + run; k < n; ++k) {
                    const char16_t nu = picture[k].toLower().unicode();
                    if (nu == 's') {
                        minutes = true;
                        break;
                    }
                    if (nu == 'y' || nu == 'm' || nu == 'd' || nu == 'h' || nu == 'n') break;
                }
            }
            const int v = minutes ? t.minute() : d.month();
            out += run >= 2 ? two(v) : QString::number(v);
            afterHours = false;
        } else if (u == 'd') {
            out += run >= 2 ? two(d.day()) : QString::number(d.day());
            afterHours = false;
        } else if (u == 'h') {
            out += run >= 2 ? two(t.hour()) : QString::number(t.hour());
            afterHours = true;
        } else if (u == 'n') {
            out += run >= 2 ? two(t.minute()) : QString::number(t.minute());
            afterHours = false;
        } else if (u == 's') {
            out += run >= 2 ? two(t.second()) : QString::number(t.second());
            afterHours = false;
        } else {
            out += picture.mid(i, run);
        }
        i += run;
    }
    return out;
}

int parseTimeOfDaySeconds(const QString& text) {
    const QStringList hms = text.trimmed().split(QLatin1Char(':'));
    if (hms.size() < 2 || hms.size() > 3) fail(text);
    const int h = field(hms[0], 2);
    const int mi = field(hms[1], 2);
    const int s = hms.size() == 3 ? field(hms[2], 2) : 0;
    if (h < 0 || mi < 0 || s < 0) fail(text);
    if (h == 24 && mi == 0 && s == 0) return 86400;
    if (!validTime(h, mi, s)) fail(text);
    return h * 3600 + mi * 60 + s;
}

QDateTime nowCivil() {
    const QDateTime local = QDateTime::currentDateTime();
    const QTime t = local.time();
    return QDateTime(local.date(), QTime(t.hour(), t.minute(), t.second()), Qt::UTC);
}

QDateTime addSeconds(const QDateTime& dt, qint64 seconds) { return dt.addSecs(seconds); }

CivilParts civilParts(qint64 secs) {
    qint64 days = secs / 86400;
    qint64 rem = secs % 86400;
    if (rem < 0) {
        rem += 86400;
        --days;
    }
    // Civil date from days since 1970-01-01 (eras of 400 years from 0000-03-01).
    const qint64 z = days + 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 doe = z - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    CivilParts c;
    c.day = int(doy - (153 * mp + 2) / 5 + 1);
    c.month = int(mp < 10 ? mp + 3 : mp - 9);
    c.year = yoe + era * 400 + (c.month <= 2 ? 1 : 0);
    c.hour = int(rem / 3600);
    c.minute = int(rem / 60 % 60);
    c.second = int(rem % 60);
    return c;
}

qint64 civilSeconds(const QDateTime& dt) {
    if (dt.timeSpec() == Qt::UTC) return dt.toSecsSinceEpoch();
    const QDate d = dt.date();
    return (d.toJulianDay() - 2440588) * 86400 + dt.time().msecsSinceStartOfDay() / 1000;
}

namespace {

char* putTwo(char* p, int v) {
    p[0] = char('0' + v / 10);
    p[1] = char('0' + v % 10);
    return p + 2;
}

// "mm/dd hh:nn:ss" after the year.
int putMonthOn(const CivilParts& c, char* p, int len) {
    const int parts[5] = {c.month, c.day, c.hour, c.minute, c.second};
    const char seps[5] = {'/', '/', ' ', ':', ':'};
    for (int i = 0; i < 5; ++i) {
        p[len++] = seps[i];
        putTwo(p + len, parts[i]);
        len += 2;
    }
    return len;
}

}  // namespace

int civilChars(qint64 secs, char* buf) {
    const CivilParts c = civilParts(secs);
    int len = 4;
    if (c.year >= 1000 && c.year <= 9999) {
        putTwo(putTwo(buf, int(c.year / 100)), int(c.year % 100));
    } else {
        len = std::snprintf(buf, 24, "%lld", static_cast<long long>(c.year));
    }
    len = putMonthOn(c, buf, len);
    buf[len] = 0;
    return len;
}

int civilChars2(qint64 secs, char* buf) {
    const CivilParts c = civilParts(secs);
    putTwo(buf, int(((c.year % 100) + 100) % 100));
    return putMonthOn(c, buf, 2);
}

bool CivilFormatter::sameDay(qint64 secs) {
    const qint64 day = secs >= 0 ? secs / 86400 : -((-secs + 86399) / 86400);
    if (m_valid && day == m_day) return true;
    char full[32];
    const int len = civilChars(day * 86400, full);
    m_dateLen = len - 8;  // up to the blank before the time
    std::memcpy(m_date, full, size_t(m_dateLen));
    m_day = day;
    m_valid = true;
    return false;
}

int CivilFormatter::chars(qint64 secs, char* buf) {
    sameDay(secs);
    std::memcpy(buf, m_date, size_t(m_dateLen));
    const int t = int(secs - m_day * 86400);
    char* p = buf + m_dateLen;
    p = putTwo(p, t / 3600);
    *p++ = ':';
    p = putTwo(p, t / 60 % 60);
    *p++ = ':';
    p = putTwo(p, t % 60);
    *p = 0;
    return int(p - buf);
}

int CivilFormatter::chars2(qint64 secs, char* buf) {
    char full[32];
    const int len = chars(secs, full);
    // The year's last two digits on: "yy/mm/dd hh:nn:ss".
    const int from = len - 17;
    if (from < 2) return civilChars2(secs, buf);
    std::memcpy(buf, full + from, 17);
    return 17;
}

}  // namespace mq::platform
