// Working database: create a file, store N four-channel LOG records the way the
// data-file loader does (texts already built, as bytes; further tables from
// every 15,000th record, then the union), then compute every channel's minimum
// and maximum, mark the records that hold them in every table, and count the
// alarms, as the grid fill does.
// Target: 345,600 records in under 0.4 s, at a cost per record that does not
// grow with the size.
#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>

#include <memory>

#include "model/cls_logger_database.h"
#include "model/db_workspace.h"
#include "model/stat_queries.h"

namespace {

QString chText(int tenths) {
    QString n = QString::number(tenths / 10.0, 'f', 1);
    return QStringLiteral("    ") + n.rightJustified(6, QLatin1Char(' '));
}

// Cost per record, printed beside the totals so that the sizes compare.
benchmark::Counter perRecord(benchmark::State& state, int n) {
    return benchmark::Counter(double(n) * double(state.iterations()),
                              benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_WorkingDbLoadMarkCount(benchmark::State& state) {
    const int n = int(state.range(0));
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/mq_bench_XXXXXX"));
    const auto ws = std::make_shared<mq::DbWorkspace>();
    const QDateTime start(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC);

    // The texts of the records as the loaders hand them over (UTF-8 bytes),
    // made once: the benchmark measures the database.
    std::vector<QByteArray> c[4];
    std::vector<QByteArray> times;
    for (auto& v : c) v.reserve(n);
    times.reserve(n);
    for (int r = 1; r <= n; ++r) {
        c[0].push_back(chText((r * 37) % 6001 - 3000).toUtf8());
        c[1].push_back(r % 1000 == 0 ? QByteArray("     O.R.") : chText((r * 11) % 2001 - 1000).toUtf8());
        c[2].push_back(chText(r % 500).toUtf8());
        c[3].push_back(chText(-(r % 777)).toUtf8());
        times.push_back(mq::clsLOGGER_DATABASE::db_record_time_text(start.addSecs(r)).toLatin1());
    }

    for (auto _ : state) {
        mq::clsLOGGER_DATABASE db;
        db.setWorkSpace(ws);
        db.makeDbPath(QStringLiteral("F01"), dir.path());
        db.NewDb(1);
        mq::LogRecordBytes rec;
        for (int r = 1; r <= n; ++r) {
            if (r % 15000 == 0)
                db.CreateRs_LOG2(QStringLiteral("DATA") + QString::number(r / 15000).rightJustified(2, QLatin1Char('0')));
            rec.No = r;
            rec.time = times[size_t(r - 1)];
            rec.mark = r % 100 == 0 ? QByteArrayView(" * ") : QByteArrayView("   ");
            for (size_t k = 0; k < 4; ++k) rec.ch[k] = c[k][size_t(r - 1)];
            db.AddRecord_LOG(rec);
        }
        const int blocks = n / 15000;
        db.Create_UnionQuery(qint16(blocks));

        qint64 alarms = 0;
        for (qint16 ch = 1; ch <= 4; ++ch) {
            QString mn, mx;
            db.Get_ChData_MinMax(ch, mn, mx, QStringLiteral("qTABLE"));
            const QString mxText = (QStringLiteral("         ") + QString::number(mx.toDouble(), 'f', 1)).right(10);
            const QString mnText = (QStringLiteral("         ") + QString::number(mn.toDouble(), 'f', 1)).right(10);
            for (int k = 0; k <= blocks; ++k) {
                const QString t = k == 0 ? QStringLiteral("DATA") : QStringLiteral("DATA%1").arg(k, 2, 10, QLatin1Char('0'));
                db.CHData_ADD_H_str(ch, mxText, t);
                db.CHData_ADD_L_str(ch, mnText, t);
            }
            const mq::AlarmLimits limits = mq::alarm_limits(true, 100.0, true, -100.0);
            alarms += db.CHDATA_hALM_ColorAndNum(ch, limits, QStringLiteral("qTABLE"));
            alarms += db.CHDATA_LALM_ColorAndNum(ch, limits, QStringLiteral("qTABLE"));
        }
        benchmark::DoNotOptimize(alarms);
        db.CloseDb();
    }
    state.counters["records/s"] = benchmark::Counter(double(n) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["per_record"] = perRecord(state, n);
}

// Reading a whole table back for a grid fill.
void BM_WorkingDbReadAll(benchmark::State& state) {
    const int n = int(state.range(0));
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/mq_bench_XXXXXX"));
    mq::clsLOGGER_DATABASE db;
    db.setWorkSpace(std::make_shared<mq::DbWorkspace>());
    db.makeDbPath(QStringLiteral("L01"), dir.path());
    db.NewDb(1);
    const QDateTime start(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC);
    for (int r = 1; r <= n; ++r)
        db.AddRecord_LOG(r, start.addSecs(r), QString(), chText(r % 3000), chText(r % 200), chText(-r % 50), QString());
    for (auto _ : state) {
        auto cols = db.Recordset()->ReadColumns(0, 6);
        benchmark::DoNotOptimize(cols);
    }
    state.counters["records/s"] = benchmark::Counter(double(n) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["per_record"] = perRecord(state, n);
}

// The same read as bytes, record by record, without a text object per cell
// (how the records table is refilled from the database).
void BM_WorkingDbReadAllBytes(benchmark::State& state) {
    const int n = int(state.range(0));
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/mq_bench_XXXXXX"));
    mq::clsLOGGER_DATABASE db;
    db.setWorkSpace(std::make_shared<mq::DbWorkspace>());
    db.makeDbPath(QStringLiteral("L01"), dir.path());
    db.NewDb(1);
    const QDateTime start(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC);
    for (int r = 1; r <= n; ++r)
        db.AddRecord_LOG(r, start.addSecs(r), QString(), chText(r % 3000), chText(r % 200), chText(-r % 50), QString());
    struct Sum : mq::DbRecordset::RowVisitor {
        qint64 bytes = 0;
        void row(qint32, const QByteArrayView* fields, int count) override {
            for (int i = 0; i < count; ++i) bytes += fields[i].size();
        }
    };
    for (auto _ : state) {
        Sum sum;
        db.Recordset()->ReadRowsUtf8(0, 6, sum);
        benchmark::DoNotOptimize(sum.bytes);
    }
    state.counters["records/s"] = benchmark::Counter(double(n) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["per_record"] = perRecord(state, n);
}

}  // namespace

BENCHMARK(BM_WorkingDbLoadMarkCount)->Arg(10000)->Arg(100000)->Arg(345600)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorkingDbReadAll)->Arg(10000)->Arg(100000)->Arg(345600)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorkingDbReadAllBytes)->Arg(10000)->Arg(100000)->Arg(345600)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
