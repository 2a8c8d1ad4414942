#include "main_window/scrambling.h"

#include <QIODevice>
#include <algorithm>
#include <string>

#include "platform/errors.h"

namespace mq {

namespace {

// Progress points: the writer steps every 1001 bytes, the reader tests for a
// cancel every 1004 bytes (four flushes of 251). Between them no event is
// serviced, so the cost stays in the byte loop.
constexpr qsizetype kWriteStep = 1001;
constexpr qsizetype kReadStep = 1004;

void xorInto(char* dst, const char* src, qsizetype n, char key) {
    for (qsizetype i = 0; i < n; ++i) dst[i] = static_cast<char>(src[i] ^ key);
}

void writeAll(QIODevice& out, const char* data, qsizetype n) {
    if (n == 0) return;
    const qint64 written = out.write(data, n);
    if (written != n) {
        throw IoError("could not write the data file: " + out.errorString().toStdString());
    }
}

const char kHexDigits[] = "0123456789ABCDEF";

// Value of a scrambled old-format digit character, -1 when it is none.
int oldDigitValue(char c) {
    const char d = static_cast<char>(c ^ kOldScrambleKey);
    if (d >= '0' && d <= '9') return d - '0';
    if (d >= 'A' && d <= 'F') return d - 'A' + 10;
    return -1;
}

}  // namespace

void data_disk_angou_save(const QByteArray& plain, QIODevice& out, IFileProgress* progress) {
    const qsizetype n = plain.size();
    char buf[kWriteStep];
    qsizetype step = 0;
    // Byte k (1-based) with k a multiple of 1001 is preceded by a progress step.
    for (qsizetype from = 0; from < n;) {
        const qsizetype nextStepAt = (from / kWriteStep + 1) * kWriteStep - 1;  // 0-based index
        const qsizetype to = std::min(n, nextStepAt);
        xorInto(buf, plain.constData() + from, to - from, kScrambleKey);
        writeAll(out, buf, to - from);
        from = to;
        if (from < n && from == nextStepAt) {
            ++step;
            if (progress) {
                progress->set_progress_value(static_cast<double>(step));
                progress->process_events();
            }
            const char b = static_cast<char>(plain[from] ^ kScrambleKey);
            writeAll(out, &b, 1);
            ++from;
        }
    }
}

QByteArray data_disk_angou_load_1(const QByteArray& scrambled) {
    QByteArray plain(scrambled.size(), Qt::Uninitialized);
    xorInto(plain.data(), scrambled.constData(), scrambled.size(), kScrambleKey);
    return plain;
}

QByteArray data_disk_angou_load_2(const QByteArray& scrambled, IFileProgress* progress) {
    const qsizetype n = scrambled.size();
    QByteArray plain(n, Qt::Uninitialized);
    qsizetype step = 0;
    for (qsizetype from = 0; from < n;) {
        // Byte k (1-based) with k a multiple of 1004 is where progress is shown
        // and a cancel takes effect.
        const qsizetype checkAt = (from / kReadStep + 1) * kReadStep - 1;  // 0-based index
        const qsizetype to = std::min(n, checkAt);
        xorInto(plain.data() + from, scrambled.constData() + from, to - from, kScrambleKey);
        from = to;
        if (from < n && from == checkAt) {
            ++step;
            if (progress) {
                progress->set_progress_value(static_cast<double>(step));
                progress->process_events();
                if (progress->file_cancel_flag()) {
                    progress->set_file_cancel_flag(false);
                    return QByteArray();
                }
            }
            plain[from] = static_cast<char>(scrambled[from] ^ kScrambleKey);
            ++from;
        }
    }
    return plain;
}

void old_data_disk_angou_save(const QByteArray& plain, QIODevice& out, IFileProgress* progress) {
    QByteArray pairs;
    pairs.reserve(plain.size() * 2 + 2);
    float p = 0;
    for (const char c : plain) {
        if (progress) {
            p += 0.001f;
            progress->set_progress_value(p);
            progress->process_events();
        }
        const auto b = static_cast<unsigned char>(c);
        pairs.append(static_cast<char>(kHexDigits[b & 0x0F] ^ kOldScrambleKey));
        pairs.append(static_cast<char>(kHexDigits[b >> 4] ^ kOldScrambleKey));
    }
    pairs.append("\r\n");
    writeAll(out, pairs.constData(), pairs.size());
}

QByteArray old_data_disk_angou_load(const QByteArray& scrambled, bool show, IFileProgress* progress) {
    if (scrambled.size() % 2 != 0) {
        throw ConversionError("scrambled text of odd length: " + std::to_string(scrambled.size()));
    }
    QByteArray plain;
    plain.reserve(scrambled.size() / 2);
    float p = 0;
    for (qsizetype i = 0; i + 1 < scrambled.size(); i += 2) {
        if (show && progress) {
            p += 0.001f;
            progress->set_progress_value(p);
            progress->process_events();
            if (progress->file_cancel_flag()) {
                progress->set_file_cancel_flag(false);
                return QByteArray();
            }
        }
        const int lo = oldDigitValue(scrambled[i]);
        const int hi = oldDigitValue(scrambled[i + 1]);
        if (lo < 0 || hi < 0) {
            throw ConversionError("not a scrambled hexadecimal pair at byte " + std::to_string(i + 1));
        }
        plain.append(static_cast<char>(hi * 16 + lo));
    }
    return plain;
}

}  // namespace mq
