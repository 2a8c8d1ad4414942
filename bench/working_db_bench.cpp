// Working database: create a file, store N four-channel LOG records the way the
// data-file loader does (further tables from every 15,000th record, then the
// union), then compute every channel's minimum and maximum, mark the records
// that hold them in every table, and count the alarms, as the grid fill does.
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

void BM_WorkingDbLoadMarkCount(benchmark::State& state) {
    const int n = int(state.range(0));
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/mq_bench_XXXXXX"));
    const auto ws = std::make_shared<mq::DbWorkspace>();
    const QDateTime start(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC);

    // The channel texts of the records, made once: the benchmark measures the database.
    std::vector<QString> c[4];
    for (auto& v : c) v.reserve(n);
    for (int r = 1; r <= n; ++r) {
        c[0].push_back(chText((r * 37) % 6001 - 3000));
        c[1].push_back(r % 1000 == 0 ? QStringLiteral("     O.R.") : chText((r * 11) % 2001 - 1000));
        c[2].push_back(chText(r % 500));
        c[3].push_back(chText(-(r % 777)));
    }

    for (auto _ : state) {
        mq::clsLOGGER_DATABASE db;
        db.setWorkSpace(ws);
        db.makeDbPath(QStringLiteral("F01"), dir.path());
        db.NewDb(1);
        for (int r = 1; r <= n; ++r) {
            if (r % 15000 == 0)
                db.CreateRs_LOG2(QStringLiteral("DATA") + QString::number(r / 15000).rightJustified(2, QLatin1Char('0')));
            db.AddRecord_LOG(r, start.addSecs(r), r % 100 == 0 ? QStringLiteral("*") : QString(), c[0][r - 1],
                             c[1][r - 1], c[2][r - 1], c[3][r - 1]);
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
            alarms += db.CHDATA_hALM_ColorAndNum(ch, QStringLiteral("-100"), QStringLiteral("100"), QStringLiteral("qTABLE"));
            alarms += db.CHDATA_LALM_ColorAndNum(ch, QStringLiteral("-100"), QStringLiteral("100"), QStringLiteral("qTABLE"));
        }
        benchmark::DoNotOptimize(alarms);
        db.CloseDb();
    }
    state.counters["records/s"] = benchmark::Counter(double(n) * double(state.iterations()), benchmark::Counter::kIsRate);
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
}

}  // namespace

BENCHMARK(BM_WorkingDbLoadMarkCount)->Arg(10000)->Arg(100000)->Arg(345600)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorkingDbReadAll)->Arg(10000)->Arg(100000)->Arg(345600)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
