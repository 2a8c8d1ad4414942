#pragma once
// Civil date-times: the wall-clock readings of the logger and of the files,
// with no time zone. They are held as QDateTime values marked Qt::UTC so
// that arithmetic never meets a daylight-saving gap or a zone offset; "UTC"
// here is only a label, no conversion ever happens. Whole seconds only.
#include <QDateTime>
#include <QString>

namespace mq::platform {

// A valid date-time (year 100-9999, hours 0-23, minutes and seconds 0-59),
// else ConversionError ("2013/02/29", "24:00:00" are invalid).
QDateTime civil(int y, int mo, int d, int h, int mi, int s);

// The zero date-time 1899/12/30 00:00:00 that settings and status hold for
// "no time".
QDateTime zeroCivil();

// Reads "yyyy/mm/dd hh:nn:ss". Also accepted: one-digit parts
// ("2013/1/5 8:3:0"), "-" in place of "/" ("2013-01-05 08:03:00"), a time
// without seconds ("hh:nn"), a date without time (midnight), blanks around
// the text, and a two-digit year (00-29 -> 2000-2029, 30-99 -> 1930-1999).
// Anything else, or a date-time that does not exist, raises ConversionError.
QDateTime parseCivil(const QString& text);

// "yyyy/mm/dd hh:nn:ss" with two-digit parts (19 characters).
QString formatCivil(const QDateTime& dt);

// Date pictures: "yyyy" four-digit year, "yy" two-digit year, "mm"/"m"
// month, "dd"/"d" day, "hh"/"h" hours (00-23), "nn"/"n" minutes, "ss"/"s"
// seconds, letters in either case; "mm"/"m" right after an hours part (past
// literals) or right before a seconds part means minutes. Other characters
// are written as they stand. Examples: "yy-mm-dd", "hh:nn:ss", "HH:MM:SS".
QString formatCivil(const QDateTime& dt, const QString& picture);

// A time of day "h:n:s" or "h:n" (one or two digits each, hours 0-23) as
// seconds after midnight; "24:00:00" is accepted as 86400 (a whole day).
// ConversionError otherwise.
int parseTimeOfDaySeconds(const QString& text);

// The computer's local wall clock now, to the whole second, marked Qt::UTC
// (the reading is kept; no zone arithmetic).
QDateTime nowCivil();

QDateTime addSeconds(const QDateTime& dt, qint64 seconds);

// The byte road of the loaders and exports, where a date-time object per
// record would cost more than the record: civil date-times as whole seconds
// since 1970-01-01 00:00:00 (proleptic Gregorian, no zone).
struct CivilParts {
    qint64 year = 1970;
    int month = 1, day = 1, hour = 0, minute = 0, second = 0;
};
CivilParts civilParts(qint64 secs);
// The seconds of a date-time (its reading, whatever zone it is marked with).
qint64 civilSeconds(const QDateTime& dt);
// "yyyy/mm/dd hh:nn:ss" into buf (at least 32 bytes); the length is returned
// (19 for the years 1000-9999).
int civilChars(qint64 secs, char* buf);
// "yy/mm/dd hh:nn:ss" (17 bytes) into buf.
int civilChars2(qint64 secs, char* buf);

// civilChars and civilChars2 of a run of times that mostly share their day:
// the date is worked out once a day.
class CivilFormatter {
public:
    int chars(qint64 secs, char* buf);
    int chars2(qint64 secs, char* buf);

private:
    bool sameDay(qint64 secs);
    qint64 m_day = 0;
    bool m_valid = false;
    char m_date[24];  // "yyyy/mm/dd " of m_day
    int m_dateLen = 0;
};

}  // namespace mq::platform
