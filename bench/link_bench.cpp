// Turning a whole-area LOG data reply (400,000 bytes) into reply text, and
// splitting such a reply into its records, in MB/s.
// Run by hand: build/<release dir>/link_bench
#include <benchmark/benchmark.h>

#include "log_data/log_records.h"
#include "main_window/serial_link.h"
#include "model/cls_logger_setting.h"
#include "platform/civil_time.h"

namespace {

constexpr qint32 kReplySize = 400000;

// A record reply as the logger frames it, with bytes of every kind between.
QByteArray sampleReply() {
    QByteArray b(kReplySize, Qt::Uninitialized);
    for (qint32 i = 0; i < kReplySize; ++i) b[i] = static_cast<char>((i * 131 + 17) & 0xFF);
    b[0] = '\x02';
    b[kReplySize - 3] = '\x03';
    b[kReplySize - 2] = '\r';
    b[kReplySize - 1] = '\n';
    return b;
}

void BM_RdStringMake400k(benchmark::State& state) {
    mq::LinkSlot slot;
    slot->rx_buffer = sampleReply();
    slot->rx_count = kReplySize;
    slot->rx_expected_len = kReplySize;
    for (auto _ : state) {
        QString text = mq::rd_string_make();
        benchmark::DoNotOptimize(text.constData());
    }
    state.SetBytesProcessed(state.iterations() * kReplySize);
}
BENCHMARK(BM_RdStringMake400k)->Unit(benchmark::kMicrosecond);

// A four-channel LOG data reply of whole groups (74 bytes: a 7-byte head,
// three 21-byte records, ETX CR LF) filling about 400,000 bytes.
void BM_SplitLogReply400k(benchmark::State& state) {
    constexpr int kGroupLen = 15 * 4 + 14;
    const qint32 q = kReplySize / kGroupLen;
    QString reply;
    reply.reserve(q * kGroupLen);
    for (qint32 g = 0; g < q; ++g) {
        reply += QStringLiteral("\x02L01D03");
        for (int k = 0; k < 3; ++k) {
            for (int ch = 0; ch < 4; ++ch) reply += QString::number(10000 + (g * 7 + k * 3 + ch) % 89999).right(5);
            reply += QLatin1Char(k == 1 ? '1' : '0');
        }
        reply += QStringLiteral("\x03\r\n");
    }
    mq::clsLOGGER_SETTING s;
    for (int ch = 0; ch < 4; ++ch) {
        s.let_Ch_input_type(ch, QStringLiteral("K"));
        s.let_Ch_period_pos(ch, 1);
    }
    s.let_start_time(mq::platform::civil(2024, 1, 15, 10, 0, 17));
    s.let_stop_time(mq::platform::civil(2024, 1, 17, 10, 0, 0));
    s.let_record_interval(QStringLiteral("00:00:10"));
    qint64 records = 0;
    for (auto _ : state) {
        records += mq::split_log_reply(reply, q, 0, s, [](const mq::LogReplyRecord& r) {
            benchmark::DoNotOptimize(r.values[0].constData());
        });
    }
    state.SetBytesProcessed(state.iterations() * qint64(reply.size()));
    state.counters["records"] = double(records) / double(state.iterations());
}
BENCHMARK(BM_SplitLogReply400k)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
