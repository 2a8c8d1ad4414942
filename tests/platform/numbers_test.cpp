#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/numbers.h"

#include <cmath>
#include <limits>

using namespace mq;
using namespace mq::platform;

TEST(Numbers, WholeNumberConversionsRoundHalfToEven) {
    EXPECT_EQ(toInt32(0.5), 0);
    EXPECT_EQ(toInt32(1.5), 2);
    EXPECT_EQ(toInt32(2.5), 2);
    EXPECT_EQ(toInt32(-2.5), -2);
    EXPECT_EQ(toInt32(-3.5), -4);
    EXPECT_EQ(toInt32(2.5000001), 3);
    EXPECT_EQ(toInt32(-0.4), 0);
    EXPECT_EQ(toInt32(123.0 * 10), 1230);
    EXPECT_EQ(toInt16(-12.5 * 10), -125);
    EXPECT_EQ(toByte(254.5), 254);
    EXPECT_EQ(toByte(-0.5), 0);
}

TEST(Numbers, WholeNumberConversionsOverflowOutsideTheirType) {
    EXPECT_EQ(toInt16(32767.4), 32767);
    EXPECT_THROW(toInt16(32767.5), OverflowError);  // rounds to 32768
    EXPECT_EQ(toInt16(-32768.5), -32768);            // the even neighbour fits
    EXPECT_THROW(toInt16(-32769), OverflowError);
    EXPECT_THROW(toByte(255.5), OverflowError);
    EXPECT_THROW(toByte(-0.6), OverflowError);
    EXPECT_EQ(toInt32(2147483647.4), 2147483647);
    EXPECT_THROW(toInt32(2147483647.5), OverflowError);
    EXPECT_EQ(toInt32(-2147483648.5), std::numeric_limits<qint32>::min());
    EXPECT_THROW(toInt32(std::nan("")), OverflowError);
    EXPECT_THROW(toInt32(std::numeric_limits<double>::infinity()), OverflowError);
    EXPECT_THROW(toInt16(-std::numeric_limits<double>::infinity()), OverflowError);
}

TEST(Numbers, ValReadsTheLeadingNumberAndIgnoresTheRest) {
    EXPECT_DOUBLE_EQ(val(QStringLiteral("  12.3abc")), 12.3);
    EXPECT_EQ(val(QStringLiteral("abc")), 0.0);
    EXPECT_EQ(val(QStringLiteral("")), 0.0);
    EXPECT_EQ(val(QStringLiteral("-5")), -5.0);
    EXPECT_EQ(val(QStringLiteral("+7")), 7.0);
    EXPECT_EQ(val(QStringLiteral("1e3")), 1000.0);
    EXPECT_EQ(val(QStringLiteral("1E+3")), 1000.0);
    EXPECT_EQ(val(QStringLiteral("2D2")), 200.0);
    EXPECT_DOUBLE_EQ(val(QStringLiteral("15e-1x")), 1.5);
    EXPECT_EQ(val(QStringLiteral(".")), 0.0);
    EXPECT_EQ(val(QStringLiteral("-")), 0.0);
    EXPECT_EQ(val(QStringLiteral("--5")), 0.0);
    EXPECT_EQ(val(QStringLiteral("e5")), 0.0);
    EXPECT_DOUBLE_EQ(val(QStringLiteral(".5")), 0.5);
    EXPECT_DOUBLE_EQ(val(QStringLiteral("-.5")), -0.5);
    EXPECT_DOUBLE_EQ(val(QStringLiteral("1.2.3")), 1.2);
    EXPECT_EQ(val(QStringLiteral("12,345")), 12.0);
    EXPECT_EQ(val(QStringLiteral("1e")), 1.0);   // an exponent letter without digits is not part of it
    EXPECT_EQ(val(QStringLiteral("1e+")), 1.0);
    EXPECT_EQ(val(QStringLiteral("4 ex")), 4.0);
}

TEST(Numbers, ValSkipsBlanksInsideTheNumber) {
    EXPECT_EQ(val(QStringLiteral("1 2")), 12.0);
    EXPECT_EQ(val(QStringLiteral("\t- 5")), -5.0);
    EXPECT_DOUBLE_EQ(val(QStringLiteral("  1 2 . 5")), 12.5);
    EXPECT_DOUBLE_EQ(val(QStringLiteral("    3276.7")), 3276.7);
    EXPECT_DOUBLE_EQ(val(QStringLiteral("▲   12.5")), 0.0);  // a mark in front hides the number
}

TEST(Numbers, ValOfHugeAndTinyNumbers) {
    EXPECT_THROW(val(QStringLiteral("1e400")), OverflowError);
    EXPECT_EQ(val(QStringLiteral("1e-400")), 0.0);
    EXPECT_EQ(val(QStringLiteral("0e999")), 0.0);
}

TEST(Numbers, ToDoubleNeedsTheWholeTextToBeANumber) {
    EXPECT_DOUBLE_EQ(toDouble(QStringLiteral(" 12.5 ")), 12.5);
    EXPECT_DOUBLE_EQ(toDouble(QStringLiteral("-0.5")), -0.5);
    EXPECT_DOUBLE_EQ(toDouble(QStringLiteral(".5")), 0.5);
    EXPECT_DOUBLE_EQ(toDouble(QStringLiteral("5.")), 5.0);
    EXPECT_DOUBLE_EQ(toDouble(QStringLiteral("+3")), 3.0);
    EXPECT_DOUBLE_EQ(toDouble(QStringLiteral("1e3")), 1000.0);
    EXPECT_DOUBLE_EQ(toDouble(QStringLiteral("1D2")), 100.0);
    EXPECT_DOUBLE_EQ(toDouble(QStringLiteral("  1370.0")), 1370.0);
    for (const char* bad : {"", " ", "abc", "12a", "1 2", ".", "-", "1e", "1.2.3", "O.R.", "------", "--5"})
        EXPECT_THROW(toDouble(QString::fromLatin1(bad)), ConversionError) << bad;
    EXPECT_THROW(toDouble(QStringLiteral("1e999")), OverflowError);
}

TEST(Numbers, FormatRoundsHalfAwayFromZeroOnDecimalDigits) {
    EXPECT_EQ(format(12.25, QStringLiteral("0.0")), QStringLiteral("12.3"));
    EXPECT_EQ(format(0.05, QStringLiteral("0.0")), QStringLiteral("0.1"));
    EXPECT_EQ(format(-0.05, QStringLiteral("0.0")), QStringLiteral("-0.1"));
    EXPECT_EQ(format(1.005, QStringLiteral("0.00")), QStringLiteral("1.01"));
    EXPECT_EQ(format(2.675, QStringLiteral("0.00")), QStringLiteral("2.68"));
    EXPECT_EQ(format(2.5, QStringLiteral("0")), QStringLiteral("3"));  // unlike toInt32
    EXPECT_EQ(format(-2.5, QStringLiteral("0")), QStringLiteral("-3"));
    EXPECT_EQ(format(9.96, QStringLiteral("0.0")), QStringLiteral("10.0"));
    EXPECT_EQ(format(99.95, QStringLiteral("##0.0")), QStringLiteral("100.0"));
    EXPECT_EQ(format(1234.5, QStringLiteral("#####0")), QStringLiteral("1235"));
    EXPECT_EQ(format(-0.04, QStringLiteral("0.0")), QStringLiteral("0.0"));  // no "-0.0"
    EXPECT_EQ(format(12.36 * 10 / 10, QStringLiteral("####0.0")), QStringLiteral("12.4"));
}

TEST(Numbers, FormatDigitPositions) {
    EXPECT_EQ(format(7, QStringLiteral("00")), QStringLiteral("07"));
    EXPECT_EQ(format(123, QStringLiteral("00")), QStringLiteral("123"));
    EXPECT_EQ(format(12, QStringLiteral("0000")), QStringLiteral("0012"));
    EXPECT_EQ(format(0, QStringLiteral("0000")), QStringLiteral("0000"));
    EXPECT_EQ(format(1.5, QStringLiteral("0.000")), QStringLiteral("1.500"));
    EXPECT_EQ(format(1.5, QStringLiteral("##0.0")), QStringLiteral("1.5"));
    EXPECT_EQ(format(-1.5, QStringLiteral("##0.0")), QStringLiteral("-1.5"));
    EXPECT_EQ(format(0.25, QStringLiteral("#0.00")), QStringLiteral("0.25"));
    EXPECT_EQ(format(0.5, QStringLiteral("#.0")), QStringLiteral(".5"));
    EXPECT_EQ(format(0, QStringLiteral("#")), QString());
    EXPECT_EQ(format(12, QStringLiteral("0.")), QStringLiteral("12."));
    EXPECT_EQ(format(1.25, QStringLiteral("0.0#")), QStringLiteral("1.25"));
    EXPECT_EQ(format(1.5, QStringLiteral("0.0#")), QStringLiteral("1.5"));
    EXPECT_EQ(format(5, QStringLiteral("0#")), QStringLiteral("05"));
    EXPECT_EQ(format(3.14159, QStringLiteral("00.00")), QStringLiteral("03.14"));
    EXPECT_EQ(format(1e20, QStringLiteral("0")), QStringLiteral("100000000000000000000"));
    EXPECT_EQ(format(5, QStringLiteral("[0]")), QStringLiteral("[5]"));
}

TEST(Numbers, FormatGroupsThousands) {
    EXPECT_EQ(format(1234567, QStringLiteral("#,##0")), QStringLiteral("1,234,567"));
    EXPECT_EQ(format(123456, QStringLiteral("#,##0")), QStringLiteral("123,456"));
    EXPECT_EQ(format(999, QStringLiteral("#,##0")), QStringLiteral("999"));
    EXPECT_EQ(format(0, QStringLiteral("#,##0")), QStringLiteral("0"));
    EXPECT_EQ(format(-1234.5, QStringLiteral("#,##0")), QStringLiteral("-1,235"));
}

TEST(Numbers, FormatWithoutPictureIsTheGeneralText) {
    EXPECT_EQ(format(12.5, QString()), QStringLiteral("12.5"));
    EXPECT_EQ(format(-3, QString()), QStringLiteral("-3"));
    EXPECT_EQ(format(0.5, QString()), QStringLiteral("0.5"));
}

TEST(Numbers, TextPicturesRightAlignInTheirPositions) {
    EXPECT_EQ(formatText(QStringLiteral("12.5"), QStringLiteral("@@@@@@")), QStringLiteral("  12.5"));
    EXPECT_EQ(formatText(QStringLiteral("1234567"), QStringLiteral("@@@@@@")), QStringLiteral("1234567"));
    EXPECT_EQ(formatText(QString(), QStringLiteral("@@@")), QStringLiteral("   "));
    EXPECT_EQ(formatText(QStringLiteral("ab"), QStringLiteral("@")), QStringLiteral("ab"));
    EXPECT_EQ(formatText(QStringLiteral("ab"), QStringLiteral("(@@@)")), QStringLiteral("( ab)"));
}

TEST(Numbers, Alignment) {
    EXPECT_EQ(rightAlign(QStringLiteral("12.5"), 6), QStringLiteral("  12.5"));
    EXPECT_EQ(rightAlign(QStringLiteral("1234567"), 6), QStringLiteral("234567"));
    EXPECT_EQ(rightAlign(QStringLiteral("abc"), 3), QStringLiteral("abc"));
    EXPECT_EQ(rightAlign(QStringLiteral("x"), 0), QString());
    EXPECT_EQ(leftAlign(QStringLiteral("ab"), 4), QStringLiteral("ab  "));
    EXPECT_EQ(leftAlign(QStringLiteral("abcdef"), 4), QStringLiteral("abcd"));
    EXPECT_EQ(leftAlign(QStringLiteral("ab"), -1), QString());
}

TEST(Numbers, GeneralTextOfDoubles) {
    EXPECT_EQ(cstrNumber(12.5), QStringLiteral("12.5"));
    EXPECT_EQ(cstrNumber(0.5), QStringLiteral("0.5"));
    EXPECT_EQ(cstrNumber(-0.5), QStringLiteral("-0.5"));
    EXPECT_EQ(cstrNumber(3), QStringLiteral("3"));
    EXPECT_EQ(cstrNumber(0), QStringLiteral("0"));
    EXPECT_EQ(cstrNumber(-0.0), QStringLiteral("0"));
    EXPECT_EQ(cstrNumber(0.1 + 0.2), QStringLiteral("0.3"));  // 15 significant digits
    EXPECT_EQ(cstrNumber(-12.5 / 10), QStringLiteral("-1.25"));
    EXPECT_EQ(cstrNumber(123456789012345.0), QStringLiteral("123456789012345"));
    EXPECT_EQ(cstrNumber(1e15), QStringLiteral("1E+15"));
    EXPECT_EQ(cstrNumber(-2.5e20), QStringLiteral("-2.5E+20"));
    EXPECT_EQ(cstrNumber(0.0001), QStringLiteral("0.0001"));
    EXPECT_EQ(cstrNumber(0.00001), QStringLiteral("1E-05"));
    EXPECT_EQ(cstrNumber(1.5e-7), QStringLiteral("1.5E-07"));
    EXPECT_EQ(cstrNumber(1370), QStringLiteral("1370"));
    EXPECT_DOUBLE_EQ(val(cstrNumber(1.5e-7)), 1.5e-7);  // reads back
}

TEST(Numbers, GeneralTextOfSingles) {
    EXPECT_EQ(cstrSingle(0.1f), QStringLiteral("0.1"));
    EXPECT_EQ(cstrSingle(12.3f), QStringLiteral("12.3"));
    EXPECT_EQ(cstrSingle(-3276.6f), QStringLiteral("-3276.6"));
    EXPECT_EQ(cstrSingle(1234567.0f), QStringLiteral("1234567"));
    EXPECT_EQ(cstrSingle(12345678.0f), QStringLiteral("1.234568E+07"));
}

TEST(Numbers, StrPutsABlankForTheSignAndDropsTheLeadingZero) {
    EXPECT_EQ(strNumber(0.5), QStringLiteral(" .5"));
    EXPECT_EQ(strNumber(-0.5), QStringLiteral("-.5"));
    EXPECT_EQ(strNumber(3), QStringLiteral(" 3"));
    EXPECT_EQ(strNumber(12.5), QStringLiteral(" 12.5"));
    EXPECT_EQ(strNumber(-12.5), QStringLiteral("-12.5"));
    EXPECT_EQ(strNumber(0), QStringLiteral(" 0"));
    EXPECT_EQ(strNumber(1e15), QStringLiteral(" 1E+15"));
}
