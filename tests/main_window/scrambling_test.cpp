// Scrambling of the data files: byte-exact vectors, round trips, progress
// points and cancel.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <vector>

#include "main_window/scrambling.h"
#include "platform/errors.h"

namespace mq {
namespace {

QByteArray allBytes() {
    QByteArray b(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i) b[i] = static_cast<char>(i);
    return b;
}

QByteArray pattern(qsizetype n) {
    QByteArray b(n, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i) b[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    return b;
}

QByteArray save(const QByteArray& plain, IFileProgress* progress = nullptr) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    data_disk_angou_save(plain, out, progress);
    return out.data();
}

QByteArray oldSave(const QByteArray& plain, IFileProgress* progress = nullptr) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    old_data_disk_angou_save(plain, out, progress);
    return out.data();
}

// Stands in for the progress dialog: records the values, and lets a test act
// when events are serviced (as the user pressing Cancel would).
class FakeProgress : public IFileProgress {
public:
    void set_progress_value(double value) override { values.push_back(value); }
    void process_events() override {
        ++events;
        if (onEvents) onEvents(*this);
    }
    bool file_cancel_flag() const override { return cancel; }
    void set_file_cancel_flag(bool value) override { cancel = value; }

    std::vector<double> values;
    int events = 0;
    bool cancel = false;
    std::function<void(FakeProgress&)> onEvents;
};

// ---- current format -------------------------------------------------------------

TEST(Scramble, ByteExactVectors) {
    EXPECT_EQ(save("LD20"), QByteArray("\x11\x19\x6F\x6D"));
    EXPECT_EQ(save("TD01-010100"), QByteArray("\x09\x19\x6D\x6C\x70\x6D\x6C\x6D\x6C\x6D\x6D"));
    // Half-width katakana are single bytes of the code page.
    EXPECT_EQ(save("\xB1\xDF"), QByteArray("\xEC\x82"));
    EXPECT_EQ(save(QByteArray("\x00\x5D\xFF", 3)), QByteArray("\x5D\x00\xA2", 3));
    EXPECT_EQ(data_disk_angou_load_1("\x11\x19\x6F\x6D"), QByteArray("LD20"));
}

TEST(Scramble, EmptyTextWritesNothingAndReadsEmpty) {
    EXPECT_TRUE(save(QByteArray()).isEmpty());
    EXPECT_TRUE(data_disk_angou_load_1(QByteArray()).isEmpty());
    FakeProgress progress;
    EXPECT_TRUE(data_disk_angou_load_2(QByteArray(), &progress).isEmpty());
    EXPECT_TRUE(progress.values.empty());
}

TEST(Scramble, EveryByteValueRoundTrips) {
    const QByteArray plain = allBytes();
    const QByteArray scrambled = save(plain);
    ASSERT_EQ(scrambled.size(), 256);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(static_cast<unsigned char>(scrambled[i]), i ^ 0x5D) << i;
    EXPECT_EQ(data_disk_angou_load_1(scrambled), plain);
    EXPECT_EQ(data_disk_angou_load_2(scrambled), plain);
    // Scrambling and unscrambling are the same operation.
    EXPECT_EQ(data_disk_angou_load_1(plain), scrambled);
}

TEST(Scramble, LineEndBytesSurviveAFile) {
    // 'P' and 'W' scramble to CR and LF; a reader that split lines would lose them.
    const QByteArray plain = "WPPW\r\nP=W";
    const QByteArray scrambled = save(plain);
    EXPECT_EQ(scrambled.left(4), QByteArray("\x0A\x0D\x0D\x0A"));

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("T.MT1"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("HEAD\r\n");  // the caller's plain first line stays in front
        data_disk_angou_save(plain, f);
        f.write(QByteArray(3, '\0'));
        f.write("\r\n");
    }
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray content = f.readAll();
    ASSERT_EQ(content.size(), 6 + plain.size() + 3 + 2);
    EXPECT_EQ(content.left(6), QByteArray("HEAD\r\n"));
    EXPECT_EQ(data_disk_angou_load_2(content.mid(6, plain.size())), plain);
    EXPECT_EQ(content.mid(6 + plain.size()), QByteArray("\0\0\0\r\n", 5));
}

TEST(Scramble, FailedWriteIsReported) {
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_THROW(data_disk_angou_save("LD20", readOnly), IoError);
    // Nothing to write is no failure.
    EXPECT_NO_THROW(data_disk_angou_save(QByteArray(), readOnly));
}

TEST(ScrambleProgress, WriterStepsEvery1001Bytes) {
    for (const auto& [size, steps] : std::vector<std::pair<int, int>>{{1000, 0}, {1001, 1}, {2001, 1}, {2002, 2}, {5005, 5}}) {
        FakeProgress progress;
        const QByteArray plain = pattern(size);
        EXPECT_EQ(save(plain, &progress), data_disk_angou_load_1(plain)) << size;
        ASSERT_EQ(progress.values.size(), size_t(steps)) << size;
        for (int k = 0; k < steps; ++k) EXPECT_EQ(progress.values[k], k + 1);
        EXPECT_EQ(progress.events, steps);
    }
}

TEST(ScrambleProgress, WriterStepComesBeforeItsByte) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    FakeProgress progress;
    std::vector<qint64> writtenAtStep;
    progress.onEvents = [&](FakeProgress&) { writtenAtStep.push_back(out.data().size()); };
    data_disk_angou_save(pattern(3100), out, &progress);
    EXPECT_EQ(writtenAtStep, (std::vector<qint64>{1000, 2001, 3002}));
    EXPECT_EQ(out.data().size(), 3100);
}

TEST(ScrambleProgress, ReaderResultIsIndependentOfChunking) {
    for (const int size : {1, 250, 251, 252, 1003, 1004, 1005, 2008, 100'003}) {
        const QByteArray scrambled = pattern(size);
        const QByteArray expected = data_disk_angou_load_1(scrambled);
        FakeProgress progress;
        EXPECT_EQ(data_disk_angou_load_2(scrambled, &progress), expected) << size;
        EXPECT_EQ(data_disk_angou_load_2(scrambled, nullptr), expected) << size;
        EXPECT_EQ(progress.values.size(), size_t(size / 1004)) << size;
    }
}

TEST(ScrambleProgress, ReaderStepsEvery1004Bytes) {
    FakeProgress progress;
    data_disk_angou_load_2(pattern(4016), &progress);
    EXPECT_EQ(progress.values, (std::vector<double>{1, 2, 3, 4}));
    EXPECT_EQ(progress.events, 4);
}

TEST(ScrambleCancel, TakesEffectOnlyAtTheCheckPoint) {
    // Set before the start: 1003 bytes never reach a check point.
    FakeProgress early;
    early.cancel = true;
    const QByteArray scrambled = pattern(1003);
    EXPECT_EQ(data_disk_angou_load_2(scrambled, &early), data_disk_angou_load_1(scrambled));
    EXPECT_TRUE(early.cancel);

    // The 1004th byte is the check point.
    FakeProgress atPoint;
    atPoint.cancel = true;
    EXPECT_TRUE(data_disk_angou_load_2(pattern(1004), &atPoint).isEmpty());
    EXPECT_FALSE(atPoint.cancel);  // the reader that honours it clears it
    EXPECT_EQ(atPoint.values, (std::vector<double>{1}));
}

TEST(ScrambleCancel, PressedDuringALongText) {
    FakeProgress progress;
    progress.onEvents = [](FakeProgress& p) {
        if (p.values.back() == 2) p.cancel = true;
    };
    EXPECT_TRUE(data_disk_angou_load_2(pattern(1'000'000), &progress).isEmpty());
    EXPECT_FALSE(progress.cancel);
    EXPECT_EQ(progress.values, (std::vector<double>{1, 2}));
}

// ---- old format ---------------------------------------------------------------------

TEST(OldScramble, ByteExactVectors) {
    // 'A' = 0x41: low digit '1', high digit '4', each XOR 0x4E.
    EXPECT_EQ(oldSave("A"), QByteArray("\x7F\x7A\r\n"));
    // 0xDC: its digits 'C' and 'D' scramble to CR and LF.
    EXPECT_EQ(oldSave("\xDC"), QByteArray("\x0D\x0A\r\n"));
    EXPECT_EQ(oldSave(QByteArray("\x00\xFF", 2)), QByteArray("\x7E\x7E\x08\x08\r\n"));
    EXPECT_EQ(oldSave(QByteArray()), QByteArray("\r\n"));
    EXPECT_TRUE(old_data_disk_angou_load(QByteArray(), true).isEmpty());
}

TEST(OldScramble, EveryByteValueRoundTrips) {
    const QByteArray plain = allBytes();
    QByteArray written = oldSave(plain);
    ASSERT_EQ(written.size(), 514);
    ASSERT_TRUE(written.endsWith("\r\n"));
    written.chop(2);
    EXPECT_EQ(old_data_disk_angou_load(written, false), plain);
    FakeProgress progress;
    EXPECT_EQ(old_data_disk_angou_load(written, true, &progress), plain);
    ASSERT_EQ(progress.values.size(), 256u);
    EXPECT_FLOAT_EQ(static_cast<float>(progress.values.front()), 0.001f);
    EXPECT_NEAR(progress.values.back(), 0.256, 1e-4);
}

TEST(OldScramble, MalformedTextsRaise) {
    EXPECT_THROW(old_data_disk_angou_load("\x7F\x7A\x7F", false), ConversionError);
    EXPECT_THROW(old_data_disk_angou_load("\x7FZ", false), ConversionError);
}

TEST(OldScramble, CancelOnlyWhenShowingProgress) {
    QByteArray written = oldSave("ABC");
    written.chop(2);

    FakeProgress quiet;
    quiet.cancel = true;
    EXPECT_EQ(old_data_disk_angou_load(written, false, &quiet), QByteArray("ABC"));
    EXPECT_TRUE(quiet.cancel);
    EXPECT_TRUE(quiet.values.empty());

    FakeProgress shown;
    shown.cancel = true;
    EXPECT_TRUE(old_data_disk_angou_load(written, true, &shown).isEmpty());
    EXPECT_FALSE(shown.cancel);
}

}  // namespace
}  // namespace mq
