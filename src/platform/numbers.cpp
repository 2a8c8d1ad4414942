#include "platform/numbers.h"

#include "platform/errors.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace mq::platform {
namespace {

// Nearest integer, a half to the even neighbour, independent of the
// floating-point environment's rounding mode.
double roundHalfEven(double v) {
    const double f = std::floor(v);
    const double diff = v - f;
    if (diff > 0.5) return f + 1.0;
    if (diff < 0.5) return f;
    return (std::fmod(f, 2.0) == 0.0) ? f : f + 1.0;
}

template <class T>
T toIntegral(double v, const char* typeName) {
    if (!std::isfinite(v))
        throw OverflowError(std::string("not a finite number for ") + typeName);
    const double r = roundHalfEven(v);
    if (r < double(std::numeric_limits<T>::min()) || r > double(std::numeric_limits<T>::max()))
        throw OverflowError(std::string("value ") + std::to_string(v) + " does not fit " + typeName);
    return static_cast<T>(r);
}

bool isBlank(QChar c) {
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\r' || u == '\n';
}

bool isDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

bool isExponentLetter(QChar c) {
    const char16_t u = c.unicode();
    return u == 'e' || u == 'E' || u == 'd' || u == 'D';
}

// Converts a normalised ASCII number ("-12.5e3") to a double. A result beyond
// the double range raises OverflowError; one too small to represent is 0.
double parseNormalised(const std::string& s, int exponentValueSign, bool mantissaIsZero) {
    double out = 0.0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), out, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        if (mantissaIsZero) return 0.0;
        if (exponentValueSign < 0) return 0.0;
        throw OverflowError("number out of range: " + s);
    }
    if (res.ec != std::errc()) return 0.0;
    return out;
}

// Scans a number from position i per the Val grammar; `skipInner` allows
// blanks between its characters. Returns the normalised ASCII text (empty
// when there is no mantissa digit) and advances i past what was used.
struct Scanned {
    std::string text;
    bool mantissaZero = true;
    int exponentSign = 1;
    bool exponentDigits = false;
};

Scanned scanNumber(const QString& t, int& i, bool skipInner) {
    Scanned sc;
    const int n = int(t.size());
    auto skip = [&](int& k) {
        if (skipInner)
            while (k < n && isBlank(t[k])) ++k;
    };
    std::string m;
    skip(i);
    if (i < n && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) {
        if (t[i] == QLatin1Char('-')) m.push_back('-');
        ++i;
    }
    bool digits = false;
    bool point = false;
    for (;;) {
        skip(i);
        if (i >= n) break;
        const QChar c = t[i];
        if (isDigit(c)) {
            m.push_back(char(c.unicode()));
            digits = true;
            if (c != QLatin1Char('0')) sc.mantissaZero = false;
            ++i;
        } else if (c == QLatin1Char('.') && !point) {
            m.push_back('.');
            point = true;
            ++i;
        } else {
            break;
        }
    }
    if (!digits) {
        sc.text.clear();
        return sc;
    }
    // Exponent: taken only when at least one digit follows the letter.
    int j = i;
    skip(j);
    if (j < n && isExponentLetter(t[j])) {
        ++j;
        std::string e = "e";
        skip(j);
        if (j < n && (t[j] == QLatin1Char('-') || t[j] == QLatin1Char('+'))) {
            if (t[j] == QLatin1Char('-')) {
                e.push_back('-');
                sc.exponentSign = -1;
            }
            ++j;
        }
        bool eDigits = false;
        for (;;) {
            skip(j);
            if (j >= n || !isDigit(t[j])) break;
            e.push_back(char(t[j].unicode()));
            eDigits = true;
            ++j;
        }
        if (eDigits) {
            m += e;
            sc.exponentDigits = true;
            i = j;
        } else {
            sc.exponentSign = 1;
        }
    }
    sc.text = m;
    return sc;
}

// Decimal digits of |v| rounded to `sig` significant digits: digits (no
// leading zero unless v is 0) and the decimal exponent of the first digit.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

Decimal decimalDigits(double v, int sig) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", sig - 1, std::fabs(v));
    Decimal d;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') d.digits.push_back(*p);
    if (*p == 'e') d.exponent = std::atoi(p + 1);
    return d;
}

QString generalText(double v, int sig) {
    if (std::isnan(v)) return QStringLiteral("NaN");
    if (std::isinf(v)) return v > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
    if (v == 0.0) return QStringLiteral("0");
    Decimal d = decimalDigits(v, sig);
    while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
    std::string out;
    if (v < 0) out.push_back('-');
    const int e = d.exponent;
    if (e >= sig || e < -4) {
        out.push_back(d.digits[0]);
        if (d.digits.size() > 1) {
            out.push_back('.');
            out.append(d.digits, 1, std::string::npos);
        }
        char eb[16];
        std::snprintf(eb, sizeof eb, "E%c%02d", e < 0 ? '-' : '+', std::abs(e));
        out += eb;
    } else if (e < 0) {
        out += "0.";
        out.append(size_t(-e - 1), '0');
        out += d.digits;
    } else {
        const size_t intDigits = size_t(e) + 1;
        if (d.digits.size() <= intDigits) {
            out += d.digits;
            out.append(intDigits - d.digits.size(), '0');
        } else {
            out.append(d.digits, 0, intDigits);
            out.push_back('.');
            out.append(d.digits, intDigits, std::string::npos);
        }
    }
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
}

// |v| rounded half away from zero to `decimals` places on its 15-digit
// decimal form; returns the integer digits (no leading zeros, "" for 0) and
// exactly `decimals` fraction digits.
void roundedParts(double v, int decimals, std::string& intDigits, std::string& fracDigits) {
    const Decimal d = decimalDigits(v, 15);
    const int pointPos = d.exponent + 1;  // digits before the decimal point
    const int keep = pointPos + decimals;
    std::string r;
    char next = '0';
    if (keep >= 0) {
        for (int k = 0; k < keep; ++k) r.push_back(k < int(d.digits.size()) ? d.digits[size_t(k)] : '0');
        next = keep < int(d.digits.size()) ? d.digits[size_t(keep)] : '0';
    }
    if (next >= '5') {
        int k = int(r.size()) - 1;
        while (k >= 0 && r[size_t(k)] == '9') r[size_t(k--)] = '0';
        if (k >= 0)
            ++r[size_t(k)];
        else
            r.insert(r.begin(), '1');
    }
    if (int(r.size()) < decimals) r.insert(r.begin(), size_t(decimals - int(r.size())), '0');
    fracDigits = r.substr(r.size() - size_t(decimals));
    intDigits = r.substr(0, r.size() - size_t(decimals));
    const size_t nz = intDigits.find_first_not_of('0');
    intDigits = (nz == std::string::npos) ? std::string() : intDigits.substr(nz);
}

bool isPlaceholder(QChar c) { return c == QLatin1Char('0') || c == QLatin1Char('#'); }

}  // namespace

qint32 toInt32(double v) { return toIntegral<qint32>(v, "a 32-bit integer"); }
qint16 toInt16(double v) { return toIntegral<qint16>(v, "a 16-bit integer"); }
quint8 toByte(double v) { return toIntegral<quint8>(v, "a byte"); }

double val(const QString& text) {
    int i = 0;
    const Scanned sc = scanNumber(text, i, true);
    if (sc.text.empty()) return 0.0;
    return parseNormalised(sc.text, sc.exponentSign, sc.mantissaZero);
}

double toDouble(const QString& text) {
    const QString t = text.trimmed();
    int i = 0;
    const Scanned sc = scanNumber(t, i, false);
    if (sc.text.empty() || i != t.size())
        throw ConversionError("not a number: \"" + text.toStdString() + "\"");
    return parseNormalised(sc.text, sc.exponentSign, sc.mantissaZero);
}

QString format(double v, const QString& picture) {
    if (picture.isEmpty()) return cstrNumber(v);
    if (!std::isfinite(v)) return cstrNumber(v);

    const int dot = int(picture.indexOf(QLatin1Char('.')));
    const QString intPic = dot < 0 ? picture : picture.left(dot);
    const QString fracPic = dot < 0 ? QString() : picture.mid(dot + 1);

    int firstPh = -1, lastPh = -1, firstZero = -1;
    for (int k = 0; k < intPic.size(); ++k) {
        if (isPlaceholder(intPic[k])) {
            if (firstPh < 0) firstPh = k;
            lastPh = k;
            if (firstZero < 0 && intPic[k] == QLatin1Char('0')) firstZero = k;
        }
    }
    int minIntDigits = 0;
    bool grouping = false;
    if (firstZero >= 0)
        for (int k = firstZero; k <= lastPh; ++k)
            if (isPlaceholder(intPic[k])) ++minIntDigits;
    for (int k = 0; k < intPic.size(); ++k)
        if (intPic[k] == QLatin1Char(',') && k < lastPh) grouping = true;

    int decimals = 0;
    for (QChar c : fracPic)
        if (isPlaceholder(c)) ++decimals;

    std::string intDigits, fracDigits;
    roundedParts(v, decimals, intDigits, fracDigits);
    const bool zero = intDigits.empty() && fracDigits.find_first_not_of('0') == std::string::npos;

    QString out;
    if (v < 0 && !zero) out.append(QLatin1Char('-'));

    // Integer part: literal prefix, digits, literal suffix.
    if (firstPh < 0) {
        out.append(intPic);
    } else {
        for (int k = 0; k < firstPh; ++k)
            if (intPic[k] != QLatin1Char(',')) out.append(intPic[k]);
        std::string digits = intDigits;
        if (int(digits.size()) < minIntDigits) digits.insert(digits.begin(), size_t(minIntDigits - int(digits.size())), '0');
        if (grouping && digits.size() > 3) {
            std::string g;
            const size_t lead = digits.size() % 3;
            for (size_t k = 0; k < digits.size(); ++k) {
                if (k > 0 && k >= lead && (k - lead) % 3 == 0) g.push_back(',');
                g.push_back(digits[k]);
            }
            digits = g;
        }
        out.append(QString::fromLatin1(digits.data(), qsizetype(digits.size())));
        for (int k = lastPh + 1; k < intPic.size(); ++k)
            if (intPic[k] != QLatin1Char(',')) out.append(intPic[k]);
    }

    if (dot >= 0) {
        out.append(QLatin1Char('.'));
        // Trailing '#' positions whose digit is 0 are left out.
        int lastShown = -1;  // index into fracPic of the last digit position written
        {
            int digitIndex = 0;
            for (int k = 0; k < fracPic.size(); ++k) {
                if (!isPlaceholder(fracPic[k])) continue;
                if (fracPic[k] == QLatin1Char('0') || fracDigits[size_t(digitIndex)] != '0') lastShown = k;
                ++digitIndex;
            }
        }
        int digitIndex = 0;
        for (int k = 0; k < fracPic.size(); ++k) {
            const QChar c = fracPic[k];
            if (isPlaceholder(c)) {
                if (k <= lastShown) out.append(QLatin1Char(fracDigits[size_t(digitIndex)]));
                ++digitIndex;
            } else {
                out.append(c);
            }
        }
    }
    return out;
}

QString formatText(const QString& text, const QString& picture) {
    QString out;
    int ti = int(text.size());
    for (int k = int(picture.size()) - 1; k >= 0; --k) {
        if (picture[k] == QLatin1Char('@')) {
            out.prepend(ti > 0 ? text[--ti] : QLatin1Char(' '));
        } else {
            out.prepend(picture[k]);
        }
    }
    if (ti > 0) out.prepend(text.left(ti));
    return out;
}

QString rightAlign(const QString& s, int width) {
    if (width <= 0) return QString();
    if (s.size() >= width) return s.right(width);
    return QString(width - int(s.size()), QLatin1Char(' ')) + s;
}

QString padLeft(const QString& s, int width) {
    if (s.size() >= width) return s;
    return QString(width - int(s.size()), QLatin1Char(' ')) + s;
}

QString leftAlign(const QString& s, int width) {
    if (width <= 0) return QString();
    if (s.size() >= width) return s.left(width);
    return s + QString(width - int(s.size()), QLatin1Char(' '));
}

QString cstrNumber(double v) { return generalText(v, 15); }

QString cstrSingle(float v) { return generalText(double(v), 7); }

QString strNumber(double v) {
    QString s = cstrNumber(v);
    if (s.startsWith(QLatin1String("0.")))
        s.remove(0, 1);
    else if (s.startsWith(QLatin1String("-0.")))
        s.remove(1, 1);
    if (!s.startsWith(QLatin1Char('-'))) s.prepend(QLatin1Char(' '));
    return s;
}

}  // namespace mq::platform
