// Scrambling throughput of a data-file text: 1 MB scrambled into a buffer and
// 1 MB unscrambled, in MB/s. Run by hand: build/<release dir>/conversions_bench
#include <benchmark/benchmark.h>

#include <QBuffer>

#include "main_window/scrambling.h"

namespace {

constexpr qsizetype kSize = 1 << 20;

QByteArray sample() {
    QByteArray b(kSize, Qt::Uninitialized);
    for (qsizetype i = 0; i < kSize; ++i) b[i] = static_cast<char>((i * 31 + 7) & 0xFF);
    return b;
}

// A progress sink that does what the dialog's would cost without a window.
class CountingProgress : public mq::IFileProgress {
public:
    void set_progress_value(double value) override { benchmark::DoNotOptimize(value); }
    void process_events() override { ++events; }
    bool file_cancel_flag() const override { return false; }
    void set_file_cancel_flag(bool) override {}
    long events = 0;
};

void BM_Scramble1MB(benchmark::State& state) {
    const QByteArray plain = sample();
    QByteArray target;
    target.reserve(kSize);
    CountingProgress progress;
    for (auto _ : state) {
        target.clear();
        QBuffer out(&target);
        out.open(QIODevice::WriteOnly);
        mq::data_disk_angou_save(plain, out, &progress);
        benchmark::DoNotOptimize(target.constData());
    }
    state.SetBytesProcessed(state.iterations() * kSize);
}
BENCHMARK(BM_Scramble1MB)->Unit(benchmark::kMicrosecond);

void BM_Unscramble1MB(benchmark::State& state) {
    const QByteArray scrambled = sample();
    CountingProgress progress;
    for (auto _ : state) {
        QByteArray plain = mq::data_disk_angou_load_2(scrambled, &progress);
        benchmark::DoNotOptimize(plain.constData());
    }
    state.SetBytesProcessed(state.iterations() * kSize);
}
BENCHMARK(BM_Unscramble1MB)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
