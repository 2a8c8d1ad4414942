// LOG data files as bytes: writing and parsing ".ML2" files of 100,000
// four-channel records and of a full logger memory on one channel (345,600
// records), and the CSV export of 100,000 records. Window, database and grid
// work are not included.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "log_data/log_csv.h"
#include "log_data/ml2_format.h"
#include "main_window/scrambling.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/civil_time.h"
#include "platform/numbers.h"

using namespace mq;

namespace {

struct Fixture {
    ModelSlot slot;
    std::shared_ptr<clsFILE_DATA> data = std::make_shared<clsFILE_DATA>();
    std::vector<LogRecord> records;

    Fixture(qint32 n, int channels) {
        slot->act_data_kind = 1;
        slot->act_file_data = data;
        clsLOGGER_SETTING& s = data->clsLOGGER_SETTING();
        s.let_log_name(QStringLiteral("BENCH"));
        s.let_record_interval(QStringLiteral("00:00:01"));
        s.let_Worker(QStringLiteral("WORKER"));
        s.let_Comment(QStringLiteral("COMMENT"));
        s.let_start_time(platform::civil(2013, 5, 1, 0, 0, 0));
        s.let_stop_time(platform::civil(2013, 5, 1, 0, 0, 0).addSecs(n - 1));
        for (int ch = 0; ch < 4; ++ch) {
            s.let_Ch_input_type(ch, ch < channels ? QStringLiteral("K") : QStringLiteral("-"));
            s.let_Ch_unit(ch, QStringLiteral("ﾟC "));
            s.let_Ch_period_pos(ch, 1);
            s.let_Ch_high_alarm_count(ch, QStringLiteral("100.0"));
            s.let_Ch_low_alarm_count(ch, QStringLiteral("-10.0"));
            s.let_Ch_sum_std_count(ch, QStringLiteral("0.0"));
            s.let_Ch_data_count(ch, ch < channels ? n : 0);
        }
        s.let_data_count(n);
        data->clsLOGGER_STATUS().let_model_name(QStringLiteral("MQ-100"));
        ml2_graph_defaults(s, data->clsLOGGER_GraphInfo());
        records.resize(static_cast<size_t>(n));
        for (qint32 r = 0; r < n; ++r) {
            LogRecord& rec = records[static_cast<size_t>(r)];
            rec.No = r + 1;
            if (r % 97 == 0) rec.mark = QStringLiteral("*");
            for (int ch = 0; ch < channels; ++ch) {
                const int tenths = (r * 7 + ch * 131) % 2400 - 400;
                rec.ch[ch] = QStringLiteral("    ") +
                             platform::rightAlign(platform::format(tenths / 10.0, QStringLiteral("0.0")), 6);
            }
        }
    }

    LogRecordSource source() const {
        auto i = std::make_shared<size_t>(0);
        return [this, i](LogRecord& out) {
            if (*i >= records.size()) return false;
            out = records[(*i)++];
            return true;
        };
    }

    Ml2Sources sources() {
        return Ml2Sources{data->clsLOGGER_SETTING(), data->clsLOGGER_STATUS(), data->clsLOGGER_GraphInfo()};
    }
};

void writeMl2(benchmark::State& state, qint32 n, int channels) {
    Fixture f(n, channels);
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/bench.ML2");
    for (auto _ : state) {
        const FileResult r = ml2_write_file(path, f.sources(), f.source());
        if (!r.ok) state.SkipWithError("write failed");
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void parseMl2(benchmark::State& state, qint32 n, int channels) {
    Fixture f(n, channels);
    QByteArray bytes;
    if (!ml2_build(bytes, f.sources(), f.source()).ok) state.SkipWithError("build failed");
    auto target = std::make_shared<clsFILE_DATA>();
    f.slot->act_file_data = target;
    for (auto _ : state) {
        Ml2HeaderInfo info;
        const QByteArray plain = data_disk_angou_load_2(bytes.left(kMl2HeaderSize));
        ld20_header_read(plain, target->clsLOGGER_SETTING(), target->clsLOGGER_STATUS(), info);
        Ml2LoadResult lr;
        qint64 chars = 0;
        ml2_load(bytes, target->clsLOGGER_SETTING(), target->clsLOGGER_GraphInfo(),
                 [&](const LogRecord& rec) {
                     chars += rec.ch[0].size();
                     return true;
                 },
                 lr);
        benchmark::DoNotOptimize(chars);
        if (lr.records_read != n) state.SkipWithError("short read");
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_Ml2Write_100k_4ch(benchmark::State& s) { writeMl2(s, 100000, 4); }
void BM_Ml2Parse_100k_4ch(benchmark::State& s) { parseMl2(s, 100000, 4); }
void BM_Ml2Write_345600_1ch(benchmark::State& s) { writeMl2(s, 345600, 1); }
void BM_Ml2Parse_345600_1ch(benchmark::State& s) { parseMl2(s, 345600, 1); }

void BM_LogCsv_100k_4ch(benchmark::State& state) {
    Fixture f(100000, 4);
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/bench.csv");
    LogCsvSource src{f.data->clsLOGGER_SETTING(), f.data->clsLOGGER_STATUS(), {}, {}, {}, false};
    for (auto _ : state) {
        if (!log_csv_write(path, src, f.source()).ok) state.SkipWithError("export failed");
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}

BENCHMARK(BM_Ml2Write_100k_4ch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ml2Parse_100k_4ch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ml2Write_345600_1ch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ml2Parse_345600_1ch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LogCsv_100k_4ch)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
