#pragma once
// Set-up of the graph tests: the LOG file fixture's main window with the
// graph command wired in, a generated ".ML2" file of known values, and the
// statistics of a record range worked out here from the generator alone.
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QCoreApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QSet>
#include <QTest>
#include <QTimer>

#include <climits>
#include <cmath>
#include <optional>

#include "fake_source.h"
#include "graph/fgraph.h"
#include "graph/graph_state.h"
#include "log_data/log_files_fixture.h"
#include "log_data/log_records.h"
#include "main_window/small_windows.h"
#include "model/graph_source.h"

namespace mq::test {

// The four channels of the generated file: CH1 K and CH2 J (one decimal),
// CH3 voltage with two decimals, CH4 T. Values are scaled whole numbers;
// 32767 over range, -32767 under range.
struct GenChannel {
    QString type;
    int decimals;
    double high, low, base;  // alarms and integration base, display units
};
inline const std::array<GenChannel, 4> kGenChannels = {{{QStringLiteral("K"), 1, 200.0, 0.0, 20.0},
                                                        {QStringLiteral("J"), 1, 50.0, -50.0, 0.0},
                                                        {QStringLiteral("V"), 2, 0.0, 0.0, 0.0},
                                                        {QStringLiteral("T"), 1, -10.0, -70.0, -40.0}}};
constexpr qint32 kOver = 32767;
constexpr qint32 kUnder = -32767;

inline qint32 genValue(qint32 r, int ch) {
    switch (ch) {
    case 0:
        if (r % 997 == 0) return kOver;
        if (r % 1499 == 0) return kUnder;
        return (r * 37) % 3001 - 500;
    case 1: return (r * 11) % 2001 - 1000;
    case 2: return (r * 7) % 1000;
    default: return r % 1201 == 0 ? kOver : -(r % 777);
    }
}
inline bool genMark(qint32 r) { return r % 500 == 0; }
constexpr qint64 kGenIntervalSecs = 10;

inline QString genCell(qint32 v, int decimals) {
    if (v == kOver) return QStringLiteral("     O.R.");
    if (v == kUnder) return QStringLiteral("     U.R.");
    return QStringLiteral("    ") + QString::number(v / std::pow(10.0, decimals), 'f', decimals).rightJustified(6);
}

// Writes the generated file of n records (start 2024-05-01 00:00:00, 10 s apart).
inline void writeGenFile(const QString& path, qint32 n) {
    clsLOGGER_SETTING s;
    s.let_log_name(QStringLiteral("GRAPH"));
    s.let_Worker(QStringLiteral("TANAKA"));
    s.let_Comment(QStringLiteral("LINE 2"));
    s.let_record_interval(QStringLiteral("00:00:10"));
    const QDateTime start(QDate(2024, 5, 1), QTime(0, 0), Qt::UTC);
    s.let_start_time(start);
    s.let_stop_time(start.addSecs((n - 1) * kGenIntervalSecs));
    s.let_data_count(n);
    for (int ch = 0; ch < 4; ++ch) {
        const GenChannel& c = kGenChannels[size_t(ch)];
        s.let_Ch_input_type(ch, c.type);
        s.let_Ch_period_pos(ch, quint8(c.decimals));
        if (c.type == QLatin1String("V")) {
            s.let_Ch_unit(ch, QStringLiteral(" V "));
            continue;
        }
        s.let_Ch_high_alarm_count(ch, QString::number(c.high, 'f', 1));
        s.let_Ch_low_alarm_count(ch, QString::number(c.low, 'f', 1));
        s.let_Ch_sum_std_count(ch, QString::number(c.base, 'f', 1));
    }
    clsLOGGER_STATUS st;
    st.let_model_name(QStringLiteral("MQ-4000"));
    clsLOGGER_GraphInfo g;
    log_graph_defaults(s, g, n);
    qint32 r = 0;
    const LogRecordSource source = [&](LogRecord& rec) {
        if (r >= n) return false;
        ++r;
        rec.No = r;
        rec.mark = genMark(r) ? QStringLiteral("*") : QString();
        for (int ch = 0; ch < 4; ++ch) rec.ch[size_t(ch)] = genCell(genValue(r, ch), kGenChannels[size_t(ch)].decimals);
        return true;
    };
    ASSERT_TRUE(ml2_write_file(path, Ml2Sources{s, st, g}, source).ok);
}

// The statistics grid row of a channel over records first..last, worked out
// from the generator: counts, maximum, minimum, average (half to even), and
// the upper or lower integration in hours with one decimal.
inline QStringList genExpectedRow(int ch, qint32 first, qint32 last, bool upper) {
    const GenChannel& c = kGenChannels[size_t(ch)];
    const bool temp = c.type != QLatin1String("V");
    const int m = temp ? 10 : 100;
    const qint64 lo = temp ? -2500 : -10000, hi = temp ? 15000 : 10000;
    const qint64 h = std::llround(c.high * m), l = std::llround(c.low * m);
    qint64 sum = 0, valid = 0, hc = 0, lc = 0, mx = LLONG_MIN, mn = LLONG_MAX;
    double hInteg = 0, lInteg = 0;
    float hold = 0, lhold = 0;
    const float over = c.type == QLatin1String("K") ? 1440.0f : 420.0f;
    for (qint32 r = first; r <= last; ++r) {
        const qint32 v = genValue(r, ch);
        if (r > first) {
            hInteg += double(hold) * double(kGenIntervalSecs);
            lInteg += double(lhold) * double(kGenIntervalSecs);
        }
        const float fv = v == kOver ? over : v == kUnder ? -210.0f : float(v / double(m));
        const float d = fv - float(c.base);
        hold = d > 0 ? d : 0.0f;
        lhold = d < 0 ? -d : 0.0f;
        if (v == kOver || v == kUnder || v <= lo || v >= hi) continue;
        ++valid;
        sum += v;
        mx = std::max<qint64>(mx, v);
        mn = std::min<qint64>(mn, v);
        if (h >= l) {
            if (v > h) ++hc;
            else if (v < l) ++lc;
        } else if (v < h) ++hc;
        else if (v > l) ++lc;
    }
    auto fmt = [&](qint64 x) { return QString::number(x / double(m), 'f', temp ? 1 : 2); };
    // Half to even on the exact quotient.
    qint64 q = sum / valid, rem = sum % valid;
    if (rem < 0) {
        rem += valid;
        --q;
    }
    if (2 * rem > valid || (2 * rem == valid && q % 2 != 0)) ++q;
    const double integ = (upper ? hInteg : lInteg) / 3600.0;
    const QString integText = QString::number(std::trunc(integ * 10 + 0.5) / 10, 'f', 1);
    if (!temp) return {QStringLiteral("-----"), QStringLiteral("-----"), fmt(mx), fmt(mn), fmt(q), QStringLiteral("-----")};
    return {QString::number(hc), QString::number(lc), fmt(mx), fmt(mn), fmt(q), integText};
}

// Answers the dialogs of a path from the event loop as they show: each one
// once through `answer` (a file dialog with `file`, until it closes), noting
// its class and whether it can be used and stands over the graph (as its
// child or a child of its dialog). finish() runs the loop until every dialog
// has gone.
// Closes the graph window that is open and lets it go.
inline void closeGraph() {
    if (fGraph* g = fGraph::current()) g->close();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The printer choice answered with the PDF file printer, by OK or Cancel.
inline void answerPrinterChoice(QDialog* d, bool ok) {
    if (auto* f = qobject_cast<TestForm*>(d)) {
        f->Combo1->setCurrentIndex(f->Combo1->findText(pdf_file_printer_name()));
        QMetaObject::invokeMethod(ok ? f->Command1 : f->Command2, "click", Qt::QueuedConnection);
    }
}

struct DialogDriver {
    std::function<void(QDialog*)> answer;
    QString file;
    QStringList met;
    bool overGraph = true;
    QSet<QWidget*> answered;
    QTimer timer;

    static QDialog* shown(const QSet<QWidget*>& skip) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* d = qobject_cast<QDialog*>(w);
            if (d && d->isVisible() && !skip.contains(d)) return d;
        }
        return nullptr;
    }
    void start() {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            QDialog* d = shown(answered);
            auto* fileDialog = qobject_cast<QFileDialog*>(d ? d : QApplication::activeModalWidget());
            if (fileDialog) {
                fileDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(file);
                QMetaObject::invokeMethod(fileDialog, "accept", Qt::QueuedConnection);
            }
            if (!d) return;
            answered.insert(d);
            met << QString::fromLatin1(d->metaObject()->className());
            QWidget* over = d->parentWidget();
            while (over && over != fGraph::current()) over = over->parentWidget();
            overGraph = overGraph && d->isEnabled() && over;
            if (!fileDialog) answer(d);
        });
        timer.start(10);
    }
    void finish() {
        for (int spins = 0; spins < 1000 && shown({}); ++spins) QTest::qWait(10);
        timer.stop();
        QTest::qWait(20);
    }
};

class GraphFixture : public LogFilesFixture {
protected:
    void SetUp() override {
        LogFilesFixture::SetUp();
        install_graph_target(home_state().targets);
    }
    void TearDown() override {
        closeGraph();
        LogFilesFixture::TearDown();
    }

    // The statistics grid row of a channel (columns 1..6) by its grid row.
    static QStringList gridRow(fGraph& g, int ch) {
        for (int r = 1; r <= 4; ++r) {
            if (graph_state().grid_row_order[r] != ch) continue;
            QStringList out;
            for (int c = 1; c <= 6; ++c) out << g.gpgrid()->TextMatrix(r, c);
            return out;
        }
        return {};
    }

    GraphSlot graphSlot;
};

// The small picture the graph tests read back: CH1 alone over 0.0..40.0,
// alarm lines at 30.0 and 10.0, a green bold trace, data marks on, records
// 1 to 11 ...
inline void smallPictureOptions(clsLOGGER_GraphInfo& gi) {
    gi.let_CH_GraphDrawSw(QStringLiteral("1000"));
    gi.let_CH_GraphAxDrawSw(QStringLiteral("1000"));
    gi.let_GrdDispSort(QStringLiteral("1234"));
    gi.let_Ch_h_Scale_FileString(0, QStringLiteral("400"));
    gi.let_Ch_l_Scale_FileString(0, QStringLiteral("0"));
    gi.let_H_Alm_Sw(0, QStringLiteral("1"));
    gi.let_Ch_H_Alm(0, 30.0);
    gi.let_Ch_L_Alm(0, 10.0);
    gi.let_Ch_G_color(0, 0x00C000);  // green
    gi.let_DataMark_Sw(QStringLiteral("1"));
    gi.let_LIneBold_Sw(QStringLiteral("1"));
    gi.let_GrpDrw_StartPos(1);
    gi.let_GrpDrw_EndPos(11);
}

// ... and its eleven CH1 values: up to 30.0, over range at record 6, down
// again (the marks are the caller's).
inline void smallPictureValues(FakeSource& src) {
    src.units = {QStringLiteral("ﾟC "), QString(), QString(), QString()};
    const qint32 v[11] = {100, 150, 200, 250, 300, IGraphSource::kRangeMark, 200, 150, 100, 50, 120};
    for (qint32 x : v) src.values.push_back({x, IGraphSource::kNoValue, IGraphSource::kNoValue, IGraphSource::kNoValue});
    src.marks.assign(11, false);
}

}  // namespace mq::test
