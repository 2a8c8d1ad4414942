#pragma once
// CP932 (Japanese Windows code page) <-> QString.
//
// Files and the wire carry CP932 bytes; the program works on QString. The
// conversion goes through glibc iconv under the name "CP932", which keeps 0x5C
// a backslash and 0x7E a tilde and knows the NEC and IBM extension rows
// (circled digits, Roman numerals, rare kanji such as U+9AD9). Half-width
// katakana (0xA1-0xDF) are single bytes.
//
// Fixed-width text fields of records and files are measured in these bytes:
// a double-byte character counts 2 and is never split.
#include <QByteArray>
#include <QString>

namespace mq::platform::cp932 {

// Each character without a CP932 code becomes one '?' (a surrogate pair
// counts as one character).
QByteArray encode(const QString& text);

// Bytes that do not form a CP932 character (0x80, 0xA0, 0xFD-0xFF, a lead
// byte without a valid trail byte, a lead byte at the end) each become U+FFFD.
// Never throws.
QString decode(const QByteArray& bytes);
QString decode(const char* data, int size);

// True when every character of the text has a CP932 code.
bool encodable(const QString& text);

// True when every character has a CP932 code of exactly one byte (ASCII and
// half-width katakana).
bool singleByte(const QString& text);

// Number of bytes of encode(text).
int byteLength(const QString& text);

// The longest prefix of the text whose encoding has at most `width` bytes; a
// double-byte character that would straddle the limit is left out whole.
QString cutToBytes(const QString& text, int width);

// cutToBytes, then blanks on the right until the encoding is exactly `width`
// bytes (a left-out double-byte character leaves one extra blank).
QString padToBytes(const QString& text, int width);

// encode(padToBytes(text, width)): always exactly `width` bytes (0 for a
// width below 1).
QByteArray fixedBytes(const QString& text, int width);

}  // namespace mq::platform::cp932
