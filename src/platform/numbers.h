#pragma once
// Number texts and conversions with the rules the program's stored files,
// records and screens were made with.
#include <QString>
#include <QtGlobal>

namespace mq::platform {

// Conversions to whole numbers: the nearest integer, a half to the even
// neighbour (0.5 -> 0, 1.5 -> 2, 2.5 -> 2, -2.5 -> -2). A result outside the
// type's range, NaN or an infinity raises OverflowError.
qint32 toInt32(double v);
qint16 toInt16(double v);
quint8 toByte(double v);

// Val: reads the number at the start of a text and ignores the rest.
// - Blanks, tabs, CR and LF are skipped wherever they stand inside the number
//   ("  12.3abc" -> 12.3, "1 2" -> 12, "- 5" -> -5).
// - The number is: an optional sign ('+' or '-'), digits with at most one
//   '.', then optionally an exponent: 'E' or 'D' (either case), an optional
//   sign and digits ("1e3" -> 1000, "1D2" -> 100). An exponent letter that is
//   not followed by a digit ends the number before it ("1e" -> 1).
// - A text with no digit in its mantissa reads 0 ("abc", ".", "-", "e5").
// - A number beyond the range of a double raises OverflowError.
double val(const QString& text);

// CDbl: the whole text, without blanks and tabs around it, must be a number:
// optional sign, digits with at most one '.' (at least one digit), optional
// exponent 'E'/'D' with optional sign and at least one digit. Anything else
// (the empty text included) raises ConversionError; a number beyond the range
// of a double raises OverflowError.
double toDouble(const QString& text);

// Number pictures:
// - "0" a digit position always written (leading and trailing zeros),
//   "#" a digit position written only when significant, "." the decimal
//   point (always written when the picture has one: "0." of 12 is "12."),
//   "," anywhere among the integer positions groups thousands ("#,##0").
//   Other characters before the first digit position or after the last are
//   written as they stand.
// - The value is rounded to the picture's number of decimal positions, half
//   away from zero, on its decimal digits as Basic writes them (15
//   significant digits, so 12.25 -> "12.3", 1.005 -> "1.01", -0.05 -> "-0.1").
// - An integer part of 0 is written only when the picture has a "0" there
//   ("#.0" of 0.5 is ".5", "#" of 0 is the empty text); more digits than
//   positions are all written ("00" of 123 is "123").
// - A negative value gets "-" in front; a value that rounds to zero is
//   written without the sign ("0.0" of -0.04 is "0.0").
// - The empty picture is the general format: cstrNumber(v).
QString format(double v, const QString& picture);

// Text pictures of '@' positions ("@@@@@@"): the text fills the positions
// from the right, positions left over become blanks, so a shorter text is
// right-aligned; a longer text is written whole. Other characters of the
// picture are written where they stand.
QString formatText(const QString& text, const QString& picture);

// Blanks in front, then the last `width` characters (a longer text loses its
// leading characters). A width below 1 gives the empty text.
QString rightAlign(const QString& s, int width);

// Blanks in front up to `width` characters; a longer text stays whole. For
// value texts, whose sign stands in front and must never be lost.
QString padLeft(const QString& s, int width);

// The first `width` characters, padded with blanks on the right.
QString leftAlign(const QString& s, int width);

// CStr of a double: at most 15 significant digits, no trailing zeros, no
// leading blank ("12.5", "0.5", "-0.5", "3", "0"). Values with a decimal
// exponent of 15 or more, or below -4, are written as mantissa, "E", sign and
// at least two exponent digits ("1E+15", "1.5E-05").
QString cstrNumber(double v);

// CStr of a single-precision number: as cstrNumber with at most 7
// significant digits (so a float 0.1 reads "0.1").
QString cstrSingle(float v);

// Str: cstrNumber with a blank in front of a non-negative number and no zero
// before the decimal point: Str(0.5) = " .5", Str(-0.5) = "-.5",
// Str(3) = " 3", Str(-12.5) = "-12.5", Str(0) = " 0".
QString strNumber(double v);

}  // namespace mq::platform
