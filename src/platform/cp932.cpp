#include "platform/cp932.h"

#include <QtEndian>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>
#include <stdexcept>

namespace mq::platform::cp932 {
namespace {

constexpr const char* kUtf16 = (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) ? "UTF-16LE" : "UTF-16BE";

// One iconv handle per direction and thread, opened on first use and kept:
// opening a converter costs far more than converting a short field.
class Converter {
public:
    Converter(const char* to, const char* from) {
        m_cd = iconv_open(to, from);
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    iconv_t handle() {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
        return m_cd;
    }

private:
    iconv_t m_cd;
};

Converter& encoder() {
    thread_local Converter c("CP932", kUtf16);
    return c;
}

Converter& decoder() {
    thread_local Converter c(kUtf16, "CP932");
    return c;
}

bool isSurrogatePair(const QChar* p, const QChar* end) {
    return p->isHighSurrogate() && p + 1 < end && p[1].isLowSurrogate();
}

// Byte count of one BMP character's encoding (1 for '?' when it has none),
// looked up once per character and cached.
struct CharInfo {
    uint8_t bytes;     // 1 or 2
    bool encodable;
};

CharInfo lookUp(char16_t u) {
    thread_local std::array<uint8_t, 65536> cache{};  // 0 unknown; else bytes | 4 when encodable
    if (u < 0x80) return {1, true};
    if (u >= 0xFF61 && u <= 0xFF9F) return {1, true};
    if (u >= 0xD800 && u <= 0xDFFF) return {1, false};  // a lone surrogate: '?'
    uint8_t v = cache[u];
    if (v == 0) {
        iconv_t cd = encoder().handle();
        char16_t in = u;
        char out[8];
        char* ip = reinterpret_cast<char*>(&in);
        size_t il = sizeof in;
        char* op = out;
        size_t ol = sizeof out;
        const size_t r = iconv(cd, &ip, &il, &op, &ol);
        if (r == static_cast<size_t>(-1) || il != 0) {
            v = 1;  // no code: '?'
        } else {
            v = static_cast<uint8_t>((op - out) | 4);
        }
        cache[u] = v;
    }
    return {static_cast<uint8_t>(v & 3), (v & 4) != 0};
}

// Walks the text character by character (surrogate pairs as one); the
// callback gets the index, the UTF-16 length and the character's info.
template <class F>
void forEachChar(const QString& text, F&& f) {
    const QChar* begin = text.constData();
    const QChar* end = begin + text.size();
    for (const QChar* p = begin; p < end;) {
        if (isSurrogatePair(p, end)) {
            if (!f(int(p - begin), 2, CharInfo{1, false})) return;
            p += 2;
        } else {
            if (!f(int(p - begin), 1, lookUp(p->unicode()))) return;
            ++p;
        }
    }
}

}  // namespace

QByteArray encode(const QString& text) {
    QByteArray out;
    if (text.isEmpty()) return out;
    // Fast path for the common pure-ASCII field.
    bool ascii = true;
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) return text.toLatin1();

    out.resize(text.size() * 2);
    iconv_t cd = encoder().handle();
    const QChar* begin = text.constData();
    const QChar* end = begin + text.size();
    char* ip = reinterpret_cast<char*>(const_cast<QChar*>(begin));
    size_t il = size_t(text.size()) * 2;
    char* op = out.data();
    size_t ol = size_t(out.size());
    while (il > 0) {
        const size_t r = iconv(cd, &ip, &il, &op, &ol);
        if (r != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) {
            const auto used = op - out.data();
            out.resize(out.size() * 2 + 16);
            op = out.data() + used;
            ol = size_t(out.size() - used);
            continue;
        }
        // EILSEQ or EINVAL: this character has no code. Write '?' and step
        // over it (both halves of a surrogate pair).
        const QChar* p = reinterpret_cast<const QChar*>(ip);
        const int step = isSurrogatePair(p, end) ? 2 : 1;
        if (ol < 1) {
            const auto used = op - out.data();
            out.resize(out.size() * 2 + 16);
            op = out.data() + used;
            ol = size_t(out.size() - used);
        }
        *op++ = '?';
        --ol;
        ip += step * 2;
        il -= size_t(step) * 2;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(int(op - out.data()));
    return out;
}

QString decode(const char* data, int size) {
    QString out;
    if (size <= 0) return out;
    bool ascii = true;
    for (int i = 0; i < size; ++i) {
        if (static_cast<unsigned char>(data[i]) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) return QString::fromLatin1(data, size);

    out.resize(size);  // never more UTF-16 units than bytes
    iconv_t cd = decoder().handle();
    char* ip = const_cast<char*>(data);
    size_t il = size_t(size);
    char* obase = reinterpret_cast<char*>(out.data());
    char* op = obase;
    size_t ol = size_t(size) * 2;
    while (il > 0) {
        const size_t r = iconv(cd, &ip, &il, &op, &ol);
        if (r != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) break;  // cannot happen: one unit per byte at most
        // EILSEQ (not a character) or EINVAL (cut off at the end): one
        // replacement character per offending byte.
        char16_t rep = 0xFFFD;
        std::memcpy(op, &rep, 2);
        op += 2;
        ol -= 2;
        ++ip;
        --il;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(int((op - obase) / 2));
    return out;
}

QString decode(const QByteArray& bytes) { return decode(bytes.constData(), int(bytes.size())); }

bool encodable(const QString& text) {
    bool ok = true;
    forEachChar(text, [&](int, int, CharInfo ci) {
        if (!ci.encodable) ok = false;
        return ok;
    });
    return ok;
}

bool singleByte(const QString& text) {
    bool ok = true;
    forEachChar(text, [&](int, int, CharInfo ci) {
        if (!ci.encodable || ci.bytes != 1) ok = false;
        return ok;
    });
    return ok;
}

int byteLength(const QString& text) {
    int n = 0;
    forEachChar(text, [&](int, int, CharInfo ci) {
        n += ci.bytes;
        return true;
    });
    return n;
}

QString cutToBytes(const QString& text, int width) {
    if (width <= 0) return QString();
    int bytes = 0;
    int cut = int(text.size());
    forEachChar(text, [&](int index, int, CharInfo ci) {
        if (bytes + ci.bytes > width) {
            cut = index;
            return false;
        }
        bytes += ci.bytes;
        return true;
    });
    return text.left(cut);
}

QString padToBytes(const QString& text, int width) {
    if (width <= 0) return QString();
    QString s = cutToBytes(text, width);
    const int missing = width - byteLength(s);
    if (missing > 0) s.append(QString(missing, QLatin1Char(' ')));
    return s;
}

QByteArray fixedBytes(const QString& text, int width) { return encode(padToBytes(text, width)); }

}  // namespace mq::platform::cp932
