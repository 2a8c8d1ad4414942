#include <gtest/gtest.h>

#include "platform/cp932.h"

using namespace mq::platform;

namespace {
QByteArray bytes(std::initializer_list<int> b) {
    QByteArray out;
    for (int v : b) out.append(char(v));
    return out;
}
}  // namespace

TEST(Cp932, EverySingleByteCharacterRoundTrips) {
    for (int b = 0x20; b <= 0x7E; ++b) {
        const QByteArray in(1, char(b));
        const QString s = cp932::decode(in);
        ASSERT_EQ(s.size(), 1) << b;
        EXPECT_EQ(s[0].unicode(), b) << "ASCII stays ASCII: " << b;
        EXPECT_EQ(cp932::encode(s), in) << b;
    }
    for (int b = 0xA1; b <= 0xDF; ++b) {
        const QByteArray in(1, char(b));
        const QString s = cp932::decode(in);
        ASSERT_EQ(s.size(), 1) << b;
        EXPECT_EQ(s[0].unicode(), 0xFF61 + (b - 0xA1)) << "half-width katakana " << b;
        EXPECT_EQ(cp932::encode(s), in) << b;
        EXPECT_TRUE(cp932::singleByte(s));
    }
}

TEST(Cp932, BackslashAndTildeAreNotYenAndOverline) {
    EXPECT_EQ(cp932::decode(QByteArray("\\~")), QStringLiteral("\\~"));
    EXPECT_EQ(cp932::encode(QStringLiteral("C:\\DATA~1")), QByteArray("C:\\DATA~1"));
}

TEST(Cp932, DoubleByteTextAndVendorExtensions) {
    EXPECT_EQ(cp932::encode(QStringLiteral("マロウクイル")),
              bytes({0x83, 0x7D, 0x83, 0x8D, 0x83, 0x45, 0x83, 0x4E, 0x83, 0x43, 0x83, 0x8B}));
    EXPECT_EQ(cp932::encode(QStringLiteral("①")), bytes({0x87, 0x40}));  // NEC row 13
    EXPECT_EQ(cp932::encode(QStringLiteral("Ⅰ")), bytes({0x87, 0x54}));
    EXPECT_EQ(cp932::encode(QStringLiteral("髙")), bytes({0xFB, 0xFC}));  // IBM extension
    EXPECT_EQ(cp932::decode(bytes({0x87, 0x40, 0xFB, 0xFC, 0x81, 0x8E})), QStringLiteral("①髙℃"));
    const QString mixed = QStringLiteral("CH1[ﾟC ] 最大値 ▲ -12.5");
    EXPECT_EQ(cp932::decode(cp932::encode(mixed)), mixed);
    EXPECT_TRUE(cp932::encodable(mixed));
    EXPECT_FALSE(cp932::singleByte(mixed));
}

TEST(Cp932, CharactersWithoutCodeBecomeOneQuestionMarkEach) {
    EXPECT_EQ(cp932::encode(QStringLiteral("a한b")), QByteArray("a?b"));
    EXPECT_EQ(cp932::encode(QStringLiteral("x😀y")), QByteArray("x?y"));  // a surrogate pair is one character
    QString lone = QStringLiteral("p");
    lone.append(QChar(0xD800));
    lone.append(QLatin1Char('q'));
    EXPECT_EQ(cp932::encode(lone), QByteArray("p?q"));
    EXPECT_FALSE(cp932::encodable(QStringLiteral("a한b")));
    EXPECT_FALSE(cp932::singleByte(QStringLiteral("한")));
    EXPECT_EQ(cp932::byteLength(QStringLiteral("a한😀b")), 4);
    EXPECT_EQ(cp932::byteLength(QStringLiteral("a한😀b")), cp932::encode(QStringLiteral("a한😀b")).size());
}

TEST(Cp932, InvalidBytesBecomeReplacementCharacters) {
    const QChar rep(0xFFFD);
    EXPECT_EQ(cp932::decode(bytes({0x80})), QString(rep));
    EXPECT_EQ(cp932::decode(bytes({0xA0})), QString(rep));
    EXPECT_EQ(cp932::decode(bytes({'A', 0x81})), QStringLiteral("A") + rep);  // lead byte at the end
    EXPECT_EQ(cp932::decode(bytes({0x81, 0x20, 'B'})), QString(rep) + QStringLiteral(" B"));
    EXPECT_EQ(cp932::decode(bytes({0xFF, 0xFF})), QString(rep) + rep);
    EXPECT_EQ(cp932::decode(QByteArray()), QString());
    // Arbitrary bytes (scrambled data read by mistake) never throw and keep
    // every valid character that follows.
    QByteArray all;
    for (int b = 0; b < 256; ++b) all.append(char(b));
    EXPECT_NO_THROW(cp932::decode(all));
    EXPECT_TRUE(cp932::decode(all + "END").endsWith(QStringLiteral("END")));
}

TEST(Cp932, ByteLengthCountsDoubleByteCharactersTwice) {
    EXPECT_EQ(cp932::byteLength(QString()), 0);
    EXPECT_EQ(cp932::byteLength(QStringLiteral("abc")), 3);
    EXPECT_EQ(cp932::byteLength(QStringLiteral("ｱｲｳ")), 3);
    EXPECT_EQ(cp932::byteLength(QStringLiteral("日本")), 4);
    EXPECT_EQ(cp932::byteLength(QStringLiteral("aｱ日")), 4);
}

TEST(Cp932, CutAndPadNeverSplitADoubleByteCharacter) {
    EXPECT_EQ(cp932::cutToBytes(QStringLiteral("あいう"), 5), QStringLiteral("あい"));
    EXPECT_EQ(cp932::cutToBytes(QStringLiteral("aあ"), 2), QStringLiteral("a"));
    EXPECT_EQ(cp932::cutToBytes(QStringLiteral("abc"), 8), QStringLiteral("abc"));
    EXPECT_EQ(cp932::cutToBytes(QStringLiteral("abc"), 0), QString());
    EXPECT_EQ(cp932::cutToBytes(QStringLiteral("abc"), -3), QString());

    EXPECT_EQ(cp932::padToBytes(QStringLiteral("あいう"), 5), QStringLiteral("あい "));
    EXPECT_EQ(cp932::padToBytes(QStringLiteral("ab"), 4), QStringLiteral("ab  "));
    EXPECT_EQ(cp932::padToBytes(QStringLiteral("abcdefghij"), 8), QStringLiteral("abcdefgh"));

    const QString samples[] = {QStringLiteral(""), QStringLiteral("ｱｲｳｴｵ"), QStringLiteral("作業者名テスト"),
                               QStringLiteral("a作b業c"), QStringLiteral("①②③④⑤⑥⑦⑧⑨")};
    for (const QString& s : samples)
        for (int w = 1; w <= 20; ++w) {
            const QByteArray fixed = cp932::fixedBytes(s, w);
            EXPECT_EQ(fixed.size(), w) << s.toStdString() << " " << w;
            EXPECT_TRUE(cp932::decode(fixed).startsWith(cp932::cutToBytes(s, w)));
        }
    EXPECT_EQ(cp932::fixedBytes(QStringLiteral("あいう"), 5), bytes({0x82, 0xA0, 0x82, 0xA2, ' '}));
    EXPECT_EQ(cp932::fixedBytes(QStringLiteral("x"), 0), QByteArray());
}
