// Reading LOG data end to end against the simulated logger: connect, the
// read command's area list, ticking two areas, and the two LOG windows with
// the record times, values, marks, range cells, statistics and integration
// that the scenario implies. The expected texts are worked out here from the
// scenario alone.
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>

#include "app/program_state.h"
#include "common/sim_home.h"
#include "common/test_env.h"
#include "log_data/integration.h"
#include "log_data/log_data.h"
#include "log_data/log_data_select.h"
#include "sequencer/connect_check_op.h"
#include "logger_sim/logger_sim.h"
#include "main_window/connect_command.h"
#include "main_window/command_boundary.h"
#include "main_window/home.h"
#include "main_window/home_state.h"
#include "main_window/identity_check.h"
#include "main_window/serial_link.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/grid.h"
#include "platform/message_box.h"
#include "sequencer/prog_dialog.h"

namespace {

using logger_sim::LogArea;
using mq::home_state;
using mq::link;
using mq::model;

// ---------------------------------------------------------------- the scenario's meaning

struct Expected {
    QStringList times;                   // "yyyy/mm/dd hh:nn:ss" per record
    QStringList marks;                   // "*" or ""
    std::array<QStringList, 4> cells;    // shown value per record ("" for a channel not in use)
    std::array<QString, 4> max, min, ave, integ, linteg, high, low;  // statistics texts (trimmed)
};

int decimals(const logger_sim::ChannelSetting& c) { return c.type == QStringLiteral("V") ? c.decimalPos : 1; }

// The scaled raw text as the number it stands for; nullopt for no value or a range marker.
std::optional<double> valueOf(const QString& raw, int d) {
    const QString t = raw.trimmed();
    if (t == QStringLiteral("-----") || t == QStringLiteral("32767") || t == QStringLiteral("32766")) return {};
    return t.toInt() / std::pow(10.0, d);
}

QString fixed(double v, int d) { return QString::number(v, 'f', d); }

// A raw alarm text of the scenario as its value (one implied decimal); nullopt when not set.
std::optional<double> alarmOf(const QString& raw) {
    const QString t = raw.trimmed();
    if (t.startsWith(u'-') && t.count(u'-') == t.size()) return {};
    return t.toInt() / 10.0;
}

Expected expectedFor(const LogArea& a) {
    Expected e;
    const int n = a.records.size();
    // Record times: first the start, last the stop, the second on the next
    // whole minute when the interval is over 30 s and the start has seconds.
    const QTime iv = QTime::fromString(a.interval, QStringLiteral("hh:mm:ss"));
    const int step = iv.hour() * 3600 + iv.minute() * 60 + iv.second();
    QDateTime t = a.start;
    for (int r = 1; r <= n; ++r) {
        if (r == 1) t = a.start;
        else if (r == n) t = a.stop;
        else if (r == 2 && step > 30 && a.start.time().second() != 0)
            t = QDateTime(a.start.date(), QTime(a.start.time().hour(), a.start.time().minute(), 0), Qt::UTC).addSecs(60);
        else t = t.addSecs(step);
        e.times << t.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
        e.marks << (a.records[r - 1].mark ? QStringLiteral("*") : QString());
    }
    static const QMap<QString, std::pair<float, float>> subst = {
        {QStringLiteral("K"), {1440.0f, -210.0f}},
        {QStringLiteral("E"), {740.0f, -210.0f}},
        {QStringLiteral("J"), {420.0f, -210.0f}},
        {QStringLiteral("T"), {420.0f, -210.0f}}};
    int k = 0;  // field of the channel among the channels in use
    for (int c = 0; c < 4; ++c) {
        const auto& ch = a.channels[c];
        if (!ch.inUse()) {
            for (int r = 0; r < n; ++r) e.cells[c] << QString();
            continue;
        }
        const int d = decimals(ch);
        double sum = 0, mx = -1e9, mn = 1e9;
        int count = 0, high = 0, low = 0;
        const auto hi = alarmOf(ch.highAlarm), lo = alarmOf(ch.lowAlarm);
        const float base = float(alarmOf(ch.integrationBase).value_or(0.0));
        double hInteg = 0, lInteg = 0;
        float hold = 0, lhold = 0;
        for (int r = 0; r < n; ++r) {
            const QString raw = a.records[r].values.value(k).trimmed();
            const auto v = valueOf(raw, d);
            if (raw == QStringLiteral("32767")) e.cells[c] << QStringLiteral("O.R.");
            else if (raw == QStringLiteral("32766")) e.cells[c] << QStringLiteral("U.R.");
            else if (!v) e.cells[c] << QStringLiteral("------");
            else e.cells[c] << fixed(*v, d);
            if (v) {
                sum += *v;
                ++count;
                mx = std::max(mx, *v);
                mn = std::min(mn, *v);
                if (hi && *v > *hi) ++high;
                if (lo && *v < *lo) ++low;
            }
            // Integration: the distance above the base is held until the next record.
            if (r > 0) {
                const qint64 s = QDateTime::fromString(e.times[r - 1], QStringLiteral("yyyy/MM/dd hh:mm:ss"))
                                     .secsTo(QDateTime::fromString(e.times[r], QStringLiteral("yyyy/MM/dd hh:mm:ss")));
                hInteg += double(hold) * double(s);
                lInteg += double(lhold) * double(s);
            }
            std::optional<float> iv2;
            if (raw == QStringLiteral("32767")) iv2 = subst.value(ch.type).first;
            else if (raw == QStringLiteral("32766")) iv2 = subst.value(ch.type).second;
            else if (v) iv2 = float(*v);
            const float dist = iv2 ? *iv2 - base : 0.0f;
            hold = dist > 0 ? dist : 0.0f;
            lhold = dist < 0 ? -dist : 0.0f;
        }
        if (count > 0) {
            e.max[c] = fixed(mx, d);
            e.min[c] = fixed(mn, d);
            const double avg = sum / count;
            const double scale = std::pow(10.0, d);
            e.ave[c] = fixed(std::copysign(std::floor(std::fabs(avg) * scale + 0.5), avg) / scale, d);
        }
        if (ch.type == QStringLiteral("V")) {
            e.integ[c] = e.linteg[c] = e.high[c] = e.low[c] = QString();
        } else if (count > 0) {
            e.integ[c] = fixed(std::trunc(hInteg / 3600.0 * 10 + 0.5) / 10, 1);
            e.linteg[c] = fixed(std::trunc(lInteg / 3600.0 * 10 + 0.5) / 10, 1);
            e.high[c] = QString::number(high);
            e.low[c] = QString::number(low);
        }
        ++k;
    }
    return e;
}

// The built-in scenario with alarm values that some records cross.
logger_sim::Scenario scenario() {
    logger_sim::Scenario s = logger_sim::defaultScenario();
    s.areas[0].channels[0].lowAlarm = QStringLiteral("  236");   // 23.6
    s.areas[0].channels[0].highAlarm = QStringLiteral("  237");  // 23.7
    s.areas[1].channels[2].lowAlarm = QStringLiteral("  202");
    s.areas[1].channels[2].highAlarm = QStringLiteral("  204");
    // Area 3's setting record carries an interval that is none: its records
    // cannot be given times.
    s.areas[2].interval = QStringLiteral("00:99:00");
    return s;
}

// ---------------------------------------------------------------- the program

class LogReadAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QString failed = mq::test::openHomeOnSimulator(sim, home);
        ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
        mq::HomeTargets& t = home_state().targets;
        t.comm_dialog = [this](const QString& s) { dialogs << s; };
        t.commands[mq::HomeCommand::LoggerConnect] = [this] { mq::loggerconnect_Click(*home); };
        mq::install_log_data_targets(t);
        mq::install_log_data_select_target(t, home.get());
        mq::prog_install_connect_check();

        home->loggerconnect_Click();
        ASSERT_TRUE(link().link_connected_flag) << dialogs.join(u',').toStdString();
        dialogs.clear();
    }
    void TearDown() override { mq::test::closeHomeOnSimulator(home, sim); }

    // Runs the read command; `pick` works the select dialog once its list is read.
    void readCommand(std::function<void(mq::log_data_select&)> pick) {
        mq::test::whenTrue([] {
                               mq::log_data_select* d = mq::log_data_select::openInstance();
                               return d && d->list_read();
                           },
                           [pick] {
                               if (mq::log_data_select* d = mq::log_data_select::openInstance()) pick(*d);
                           });
        home->loggerread_Click();
    }

    mq::log_data* windowOf(const QString& tag) {
        for (int i = 0; i < mq::kWinSlots; ++i) {
            if (home_state().win_key_table[i] == tag)
                return dynamic_cast<mq::log_data*>(home->winTable().dataWindowOf(home->winTable().slotWindow(i)));
        }
        return nullptr;
    }

    void checkWindow(const QString& tag, const LogArea& a) {
        SCOPED_TRACE(tag.toStdString());
        mq::log_data* w = windowOf(tag);
        ASSERT_NE(w, nullptr);
        const Expected e = expectedFor(a);
        mq::platform::Grid* g = w->vsFlexGrid1();
        const int n = a.records.size();
        ASSERT_EQ(g->Rows(), n + 1);
        for (int r = 1; r <= n; ++r) {
            EXPECT_EQ(g->TextMatrix(r, 1).trimmed(), QString::number(r)) << r;
            EXPECT_EQ(g->TextMatrix(r, 2).trimmed(), e.times[r - 1]) << r;
            EXPECT_EQ(g->TextMatrix(r, 0).trimmed(), e.marks[r - 1]) << r;
            for (int c = 0; c < 4; ++c) {
                const QString cell = g->TextMatrix(r, c + 3);
                EXPECT_EQ(cell.right(6).trimmed(), e.cells[c][r - 1]) << "record " << r << " CH" << c + 1;
                // The records that hold the maximum and the minimum are marked.
                if (!e.max[c].isEmpty() && e.max[c] != e.min[c]) {
                    if (e.cells[c][r - 1] == e.max[c]) {
                        EXPECT_TRUE(cell.startsWith(u'▲')) << r << " CH" << c + 1;
                    }
                    if (e.cells[c][r - 1] == e.min[c]) {
                        EXPECT_TRUE(cell.startsWith(u'▼')) << r << " CH" << c + 1;
                    }
                }
            }
        }
        mq::platform::Grid* st = w->MSFlexGrid2();
        for (int c = 0; c < 4; ++c) {
            SCOPED_TRACE("CH" + std::to_string(c + 1));
            EXPECT_EQ(st->TextMatrix(1, c + 1).trimmed(), e.max[c]);
            EXPECT_EQ(st->TextMatrix(2, c + 1).trimmed(), e.min[c]);
            EXPECT_EQ(st->TextMatrix(3, c + 1).trimmed(), e.ave[c]);
            EXPECT_EQ(st->TextMatrix(4, c + 1).trimmed(), e.integ[c]);
            EXPECT_EQ(st->TextMatrix(5, c + 1).trimmed(), e.high[c]);
            EXPECT_EQ(st->TextMatrix(6, c + 1).trimmed(), e.low[c]);
        }
        EXPECT_EQ(w->Label1()->text(), QString::number(n));
        // The L integration replaces the H integration in row 4, and back.
        home->mdiArea()->setActiveSubWindow(home->winTable().subWindowOf(w));
        w->Option2_Click();
        for (int c = 0; c < 4; ++c) EXPECT_EQ(st->TextMatrix(4, c + 1).trimmed(), e.linteg[c]) << "L CH" << c + 1;
        w->Option1_Click();
        for (int c = 0; c < 4; ++c) EXPECT_EQ(st->TextMatrix(4, c + 1).trimmed(), e.integ[c]) << "H CH" << c + 1;
    }

    mq::ProgramState state;
    logger_sim::Simulator sim{mq::test::configDir(), scenario()};
    std::unique_ptr<mq::HOME> home;
    QStringList dialogs;
};

TEST_F(LogReadAppTest, TwoTickedAreasOpenTwoWindowsWithWhatTheLoggerHolds) {
    const logger_sim::Scenario sc = scenario();
    QStringList listed;
    readCommand([&listed](mq::log_data_select& d) {
        for (int n = 1; n <= 20; ++n) listed << d.cellText(n, 2) + u'|' + d.cellText(n, 1).trimmed();
        d.clickTick(1, true);
        d.clickTick(2, true);
        d.cmdOK->click();
    });
    QStringList want;
    for (int n = 1; n <= 20; ++n) {
        QString count = QStringLiteral("0"), name;
        for (const LogArea& a : sc.areas)
            if (a.area == n) count = QString::number(a.records.size()), name = a.name;
        want << count + u'|' + name;
    }
    EXPECT_EQ(listed, want);
    EXPECT_EQ(home->win_all_use_ct(), 2);
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_TRUE(dialogs.isEmpty());
    checkWindow(QStringLiteral("L01"), sc.areas[0]);
    checkWindow(QStringLiteral("L02"), sc.areas[1]);
    // Area 2 was ticked last: its window is the active one.
    ASSERT_NE(home->activeDataWindow(), nullptr);
    EXPECT_EQ(home->activeDataWindow()->Tag(), QStringLiteral("L02"));
    // Logger windows now hold data not yet saved.
    EXPECT_EQ(home_state().win_unsaved_flags[0], 1);

    // Unticking area 1 closes its window (the save question answered No).
    mq::platform::ScopedMessageBoxHook no(mq::platform::MsgResult::No);
    readCommand([](mq::log_data_select& d) {
        EXPECT_TRUE(d.isTicked(1));
        EXPECT_TRUE(d.isTicked(2));
        d.clickTick(1, false);
        d.cmdOK->click();
    });
    EXPECT_EQ(home->win_all_use_ct(), 1);
    EXPECT_EQ(windowOf(QStringLiteral("L01")), nullptr);
    EXPECT_NE(windowOf(QStringLiteral("L02")), nullptr);
}

TEST_F(LogReadAppTest, CancelDuringAReadClosesThatWindowAndKeepsTheLink) {
    mq::platform::ScopedMessageBoxHook boxes;
    readCommand([this](mq::log_data_select& d) {
        d.clickTick(1, true);
        mq::test::cancelSlowReadAt(sim, "LR01DT01");
        d.cmdOK->click();
    });
    EXPECT_EQ(home->win_all_use_ct(), 0);
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_FALSE(link().comm_cancel_flag);
    EXPECT_TRUE(dialogs.isEmpty());
    ASSERT_EQ(boxes.records().size(), 1u);
    EXPECT_EQ(boxes.records()[0].text, mq::test::stopSendingMessage());
}

TEST_F(LogReadAppTest, SilenceDuringAReadDisconnects) {
    // Silence, and a reply whose records cannot be read: both end the read
    // alike, never with the message of an unexpected error.
    for (const int area : {3, 2}) {
        SCOPED_TRACE(area);
        if (!link().link_connected_flag) {
            home->loggerconnect_Click();
            ASSERT_TRUE(link().link_connected_flag);
            dialogs.clear();
        }
        mq::platform::ScopedMessageBoxHook boxes;
        readCommand([this, area](mq::log_data_select& d) {
            d.clickTick(area, true);
            if (area == 2) mq::test::silenceAfterIdentityCheck(sim);
            d.cmdOK->click();
        });
        EXPECT_FALSE(link().link_connected_flag);
        EXPECT_EQ(home->win_all_use_ct(), 0);
        EXPECT_EQ(dialogs, QStringList{QStringLiteral("90")});
        for (const auto& box : boxes.records()) EXPECT_NE(box.text, mq::unexpected_error_message());
        EXPECT_EQ(home->statusPanelText(1), QStringLiteral("未接続"));
        for (int n = 1; n <= 20; ++n) EXPECT_FALSE(home_state().area_window_flags[size_t(n)]) << n;
    }
}

}  // namespace
