// Reading TAG data end to end against the simulated logger in TAG mode:
// connect, the read command's tag list, ticking tags, and the TAG windows
// with the record texts, worker and comment names and the three-row summary
// that the scenario implies (worked out here from the scenario alone); a
// cancelled read and a silent logger roll the confirmation back.
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>

#include "common/sim_home.h"
#include "common/test_env.h"
#include "logger_sim/logger_sim.h"
#include "main_window/connect_command.h"
#include "main_window/home.h"
#include "main_window/home_state.h"
#include "main_window/identity_check.h"
#include "main_window/serial_link.h"
#include "model/channel_values.h"
#include "model/common_proc.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/grid.h"
#include "platform/message_box.h"
#include "sequencer/connect_check_op.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/seq_state.h"
#include "tag_data/tag_data.h"
#include "tag_data/tag_data_files.h"
#include "tag_data/tag_data_select.h"

namespace {

using logger_sim::Fault;
using logger_sim::TagEntry;
using mq::home_state;
using mq::link;
using mq::model;
using mq::seq;

QDateTime at(int y, int mo, int d, int h, int mi, int s) { return QDateTime(QDate(y, mo, d), QTime(h, mi, s)); }

logger_sim::TagRecord rec(const QDateTime& t, int worker, int comment, const QStringList& values) {
    logger_sim::TagRecord r;
    r.time = t;
    r.worker = worker;
    r.comment = comment;
    r.values = values;
    return r;
}

logger_sim::ChannelSetting channel(const char* type, const char* unit, int dec, const char* low = "-----",
                                   const char* high = "-----") {
    logger_sim::ChannelSetting c;
    c.type = QString::fromLatin1(type);
    c.unit = QString::fromUtf8(unit);
    c.decimalPos = dec;
    c.lowAlarm = QString::fromLatin1(low);
    c.highAlarm = QString::fromLatin1(high);
    return c;
}

// The built-in scenario in TAG mode, with a third tag: a voltage channel, a
// channel whose alarms some values cross, missing values, and worker and
// comment numbers outside the list.
logger_sim::Scenario scenario() {
    logger_sim::Scenario s = logger_sim::defaultScenario();
    s.mode = logger_sim::Mode::Tag;
    s.workers[6] = QStringLiteral("PWﾊﾟﾜｰ");
    TagEntry t;
    t.tag = 12;
    t.name = QStringLiteral("PW&ﾀｸﾞ");
    t.channels[0] = channel("-", "   ", 1);
    t.channels[1] = channel("V", "mV ", 2);
    t.channels[2] = channel("K", "ﾟC ", 1, " -50", "  200");
    t.channels[3] = channel("-", "   ", 1);
    t.records = {rec(at(2014, 1, 1, 0, 0, 0), 7, 0, {"  150", "  100"}),
                 rec(at(2014, 1, 1, 0, 0, 1), 0, 21, {"-----", "  250"}),
                 rec(at(2014, 1, 2, 23, 59, 59), 21, 7, {"   -5", " -100"}),
                 rec(at(2014, 2, 28, 12, 30, 0), 20, 1, {"32766", "32767"}),
                 rec(at(2014, 2, 28, 12, 31, 0), 1, 20, {" 9999", "  150"})};
    s.tags.append(t);
    return s;
}

// ---------------------------------------------------------------- the scenario's meaning

struct Expected {
    QStringList times, workers, comments;
    std::array<QStringList, 4> cells;  // the value shown per record ("" for a channel not in use)
    std::array<QString, 4> max, min, ave;
};

Expected expectedFor(const TagEntry& t, const logger_sim::Scenario& sc) {
    Expected e;
    const auto name = [](const QStringList& list, int n) {
        return n >= 1 && n <= 20 ? list.value(n - 1).leftJustified(8, u' ') : QString();
    };
    for (const auto& r : t.records) {
        e.times << r.time.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
        e.workers << name(sc.workers, r.worker);
        e.comments << name(sc.comments, r.comment);
    }
    int k = 0;
    for (int c = 0; c < 4; ++c) {
        const auto& ch = t.channels[c];
        if (!ch.inUse()) {
            for (int i = 0; i < t.records.size(); ++i) e.cells[c] << QString();
            continue;
        }
        const int d = ch.type == QStringLiteral("V") ? ch.decimalPos : 1;
        double sum = 0, mx = -1e9, mn = 1e9;
        int count = 0;
        for (const auto& r : t.records) {
            const QString raw = r.values.value(k).trimmed();
            if (raw == QStringLiteral("32767")) e.cells[c] << QStringLiteral("O.R.");
            else if (raw == QStringLiteral("32766")) e.cells[c] << QStringLiteral("U.R.");
            else if (raw == QStringLiteral("-----")) e.cells[c] << QStringLiteral("------");
            else {
                const double v = raw.toInt() / std::pow(10.0, d);
                e.cells[c] << QString::number(v, 'f', d);
                sum += v;
                mx = std::max(mx, v);
                mn = std::min(mn, v);
                ++count;
            }
        }
        if (count > 0) {
            e.max[c] = QString::number(mx, 'f', d);
            e.min[c] = QString::number(mn, 'f', d);
            const double mean = sum / count;
            const double scale = std::pow(10.0, d);
            const double rounded = std::trunc(mean * scale + (mean < 0 ? -0.5 : 0.5)) / scale;
            e.ave[c] = rounded == 0 ? QString() : QString::number(rounded, 'f', d);
        }
        ++k;
    }
    return e;
}

// ---------------------------------------------------------------- the program

class TagReadTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QString failed = mq::test::openHomeOnSimulator(sim, home);
        ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
        mq::HomeTargets& t = home_state().targets;
        t.comm_dialog = [this](const QString& s) { dialogs << s; };
        t.commands[mq::HomeCommand::LoggerConnect] = [this] { mq::loggerconnect_Click(*home); };
        mq::install_tag_data_targets(t);
        mq::install_tag_file_targets(t);
        mq::install_tag_data_select_target(t, home.get());
        mq::prog_install_connect_check();

        {
            mq::platform::ScopedMessageBoxHook yes(mq::platform::MsgResult::Yes);
            home->loggerconnect_Click();
        }
        ASSERT_TRUE(link().link_connected_flag) << dialogs.join(u',').toStdString();
        ASSERT_EQ(link().link_mode, mq::OpMode::Tag);
        dialogs.clear();
    }
    void TearDown() override { mq::test::closeHomeOnSimulator(home, sim); }

    // Runs the read command; `pick` works the select dialog once its list is read.
    void readCommand(std::function<void(mq::tag_data_select&)> pick) {
        // Polls without blocking, so that the dialog's own activation runs.
        auto* poll = new QTimer;
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, [poll, pick] {
            mq::tag_data_select* d = mq::tag_data_select::openInstance();
            if (!d || !d->list_read()) return;
            poll->stop();
            poll->deleteLater();
            pick(*d);
        });
        poll->start();
        home->loggerread_Click();
        if (poll->isActive()) {
            poll->stop();
            poll->deleteLater();
        }
    }

    mq::tag_data* windowOf(const QString& tag) {
        for (int i = 0; i < mq::kWinSlots; ++i) {
            if (home_state().win_key_table[i] == tag)
                return dynamic_cast<mq::tag_data*>(home->winTable().dataWindowOf(home->winTable().slotWindow(i)));
        }
        return nullptr;
    }

    void checkWindow(const QString& tag, const TagEntry& t) {
        SCOPED_TRACE(tag.toStdString());
        mq::tag_data* w = windowOf(tag);
        ASSERT_NE(w, nullptr);
        const Expected e = expectedFor(t, sc);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("TAG") + tag.mid(1));
        EXPECT_EQ(w->Label4()->text(), t.name.leftJustified(8, u' '));
        mq::platform::Grid* g = w->vsFlexGrid1();
        const int n = t.records.size();
        ASSERT_EQ(g->Rows(), n + 1);
        for (int r = 1; r <= n; ++r) {
            EXPECT_EQ(g->TextMatrix(r, 0), QString::number(r)) << r;
            EXPECT_EQ(g->TextMatrix(r, 1), e.times[r - 1]) << r;
            EXPECT_EQ(g->TextMatrix(r, 6), e.workers[r - 1]) << r;
            EXPECT_EQ(g->TextMatrix(r, 7), e.comments[r - 1]) << r;
            for (int c = 0; c < 4; ++c) {
                const QString cell = g->TextMatrix(r, c + 2);
                EXPECT_EQ(cell.right(6).trimmed(), e.cells[c][r - 1]) << "record " << r << " CH" << c + 1;
                if (!e.max[c].isEmpty() && e.max[c] != e.min[c]) {
                    EXPECT_EQ(cell.startsWith(u'▲'), e.cells[c][r - 1] == e.max[c]) << r << " CH" << c + 1;
                    EXPECT_EQ(cell.startsWith(u'▼'), e.cells[c][r - 1] == e.min[c]) << r << " CH" << c + 1;
                }
            }
        }
        mq::platform::Grid* st = w->MSFlexGrid2();
        EXPECT_EQ(st->TextMatrix(1, 0), QStringLiteral("最大値"));
        EXPECT_EQ(st->TextMatrix(2, 0), QStringLiteral("最小値"));
        EXPECT_EQ(st->TextMatrix(3, 0), QStringLiteral("平均値"));
        for (int c = 0; c < 4; ++c) {
            SCOPED_TRACE("CH" + std::to_string(c + 1));
            const auto& ch = t.channels[c];
            const QString unit = !ch.inUse() ? QStringLiteral(" ") : ch.type == QStringLiteral("V") ? ch.unit : QStringLiteral("ﾟC ");
            EXPECT_EQ(st->TextMatrix(0, c + 1), QStringLiteral("CH%1[%2]").arg(c + 1).arg(unit));
            EXPECT_EQ(g->TextMatrix(0, c + 2), QStringLiteral("CH%1[%2]").arg(c + 1).arg(unit));
            EXPECT_EQ(st->TextMatrix(1, c + 1).trimmed(), e.max[c]);
            EXPECT_EQ(st->TextMatrix(2, c + 1).trimmed(), e.min[c]);
            EXPECT_EQ(st->TextMatrix(3, c + 1).trimmed(), e.ave[c]);
        }
    }

    mq::ModelSlot modelSlot;
    mq::LinkSlot linkSlot;
    mq::HomeSlot homeSlot;
    mq::SeqSlot seqSlot;
    mq::ConnectionSlot connSlot;
    const logger_sim::Scenario sc = scenario();
    logger_sim::Simulator sim{mq::test::configDir(), scenario()};
    std::unique_ptr<mq::HOME> home;
    QStringList dialogs;
};

const TagEntry& tagOf(const logger_sim::Scenario& sc, int n) {
    for (const TagEntry& t : sc.tags)
        if (t.tag == n) return t;
    throw std::runtime_error("no such tag in the scenario");
}

TEST_F(TagReadTest, ListShowsTwentyTagsAndReadsTheNameLists) {
    QStringList listed;
    bool emptyTagTicked = true;
    sim.clearReceived();
    readCommand([&](mq::tag_data_select& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("読み出すデータの選択（タグ・モード）"));
        EXPECT_EQ(d.ListView1->headerItem()->text(0), QStringLiteral("  No."));
        EXPECT_EQ(d.ListView1->headerItem()->text(1), QStringLiteral("タグ名"));
        EXPECT_EQ(d.ListView1->headerItem()->text(2), QStringLiteral("ﾃﾞｰﾀ数"));
        EXPECT_EQ(d.ListView1->topLevelItemCount(), 20);
        for (int n = 1; n <= 20; ++n) listed << d.cellText(n, 0) + u'|' + d.cellText(n, 2) + u'|' + d.cellText(n, 1).trimmed();
        // A tag without records can be ticked neither by a click nor by "全て選択".
        d.clickTick(2, true);
        d.Command1->click();
        emptyTagTicked = d.isTicked(2) || d.isTicked(20);
        EXPECT_TRUE(d.isTicked(1) && d.isTicked(5) && d.isTicked(12));
        d.Command2->click();
        for (int n = 1; n <= 20; ++n) EXPECT_FALSE(d.isTicked(n)) << n;
        d.CancelButton->click();
    });
    QStringList want;
    for (int n = 1; n <= 20; ++n) {
        QString count = QStringLiteral("0"), name;
        for (const TagEntry& t : sc.tags)
            if (t.tag == n) count = QString::number(t.records.size()), name = t.name;
        want << QString::number(n) + u'|' + count + u'|' + name;
    }
    EXPECT_EQ(listed, want);
    EXPECT_FALSE(emptyTagTicked);
    EXPECT_EQ(home->win_all_use_ct(), 0);

    // Every tag's count, the settings of the three tags with records, then
    // the twenty workers and comments, in that order.
    const QList<QByteArray> got = sim.received();
    QList<QByteArray> want2;
    for (int n = 1; n <= 20; ++n) {
        const QByteArray nn = QByteArray::number(n).rightJustified(2, '0');
        want2 << "TR03CT" + nn;
        if (n == 1 || n == 5 || n == 12) want2 << "TR00ST" + nn;
    }
    for (int n = 1; n <= 20; ++n) {
        const QByteArray nn = QByteArray::number(n).rightJustified(2, '0');
        want2 << "ST16WK" + nn << "ST17CM" + nn;
    }
    ASSERT_GE(got.size(), want2.size());
    EXPECT_EQ(got.mid(got.size() - want2.size()), want2);
    const mq::clsLOGGER_STATUS& status = model().logger_main->clsLOGGER_STATUS();
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(status.worker_name(i), sc.workers[i].leftJustified(8, u' ')) << i;
        EXPECT_EQ(status.Comment(i), sc.comments[i].leftJustified(8, u' ')) << i;
    }
}

TEST_F(TagReadTest, TickedTagsOpenWindowsWithWhatTheLoggerHolds) {
    readCommand([](mq::tag_data_select& d) {
        d.clickTick(1, true);
        d.clickTick(5, true);
        d.clickTick(12, true);
        d.OKButton->click();
    });
    EXPECT_EQ(home->win_all_use_ct(), 3);
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_TRUE(dialogs.isEmpty());
    checkWindow(QStringLiteral("L01"), tagOf(sc, 1));
    checkWindow(QStringLiteral("L05"), tagOf(sc, 5));
    checkWindow(QStringLiteral("L12"), tagOf(sc, 12));
    for (int n : {1, 5, 12}) EXPECT_TRUE(home_state().area_window_flags[size_t(n)]) << n;
    EXPECT_EQ(home_state().win_unsaved_flags[0], 1);

    // Tag 12's CH3 has alarms -5.0 and 20.0: 25.0 is above (red), the others inside.
    mq::platform::Grid* g = windowOf(QStringLiteral("L12"))->vsFlexGrid1();
    EXPECT_EQ(g->foreColorAt(2, 4), mq::kHighAlarmColour);
    EXPECT_NE(g->foreColorAt(1, 4), mq::kHighAlarmColour);
    EXPECT_EQ(g->foreColorAt(3, 4), mq::kLowAlarmColour);  // -10.0 is below -5.0
    // Tag 1's CH2 has no alarm value set: its values (30.0 and more) flag nothing.
    mq::platform::Grid* g1 = windowOf(QStringLiteral("L01"))->vsFlexGrid1();
    for (int r = 1; r < g1->Rows(); ++r) EXPECT_EQ(g1->foreColorAt(r, 3), 0u) << r;
    EXPECT_TRUE(g1->TextMatrix(1, 3).endsWith(QStringLiteral(" 30.0")));

    // Unticking tag 1 closes its window (the save question answered No).
    mq::platform::ScopedMessageBoxHook no(mq::platform::MsgResult::No);
    readCommand([](mq::tag_data_select& d) {
        EXPECT_TRUE(d.isTicked(1));
        EXPECT_TRUE(d.isTicked(12));
        d.clickTick(1, false);
        d.OKButton->click();
    });
    EXPECT_EQ(home->win_all_use_ct(), 2);
    EXPECT_EQ(windowOf(QStringLiteral("L01")), nullptr);
    EXPECT_FALSE(home_state().area_window_flags[1]);
    ASSERT_EQ(no.records().size(), 1u);
    EXPECT_EQ(no.records()[0].text, QStringLiteral("新規ファイルTAG01を保存しますか？"));
}

TEST_F(TagReadTest, CancelDuringAReadRollsTheConfirmationBack) {
    mq::platform::ScopedMessageBoxHook boxes;
    readCommand([this](mq::tag_data_select& d) {
        d.clickTick(1, true);
        d.clickTick(5, true);
        // Cancel the second window's read, once the first has opened.
        mq::test::cancelSlowReadAt(sim, "TR01DT05");
        d.OKButton->click();
    });
    // Tag 1's window, opened by the same confirmation, is taken back too.
    EXPECT_EQ(home->win_all_use_ct(), 0);
    for (int n = 1; n <= 20; ++n) EXPECT_FALSE(home_state().area_window_flags[size_t(n)]) << n;
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_FALSE(link().comm_cancel_flag);
    EXPECT_TRUE(dialogs.isEmpty());
    ASSERT_EQ(boxes.records().size(), 1u);
    EXPECT_EQ(boxes.records()[0].text, mq::test::stopSendingMessage());
}

TEST_F(TagReadTest, SilenceDuringAReadDisconnects) {
    readCommand([this](mq::tag_data_select& d) {
        d.clickTick(5, true);
        mq::test::silenceAfterIdentityCheck(sim);
        d.OKButton->click();
    });
    EXPECT_FALSE(link().link_connected_flag);
    EXPECT_EQ(home->win_all_use_ct(), 0);
    EXPECT_EQ(dialogs, QStringList{QStringLiteral("90")});
    EXPECT_EQ(home->statusPanelText(1), QStringLiteral("未接続"));
    for (int n = 1; n <= 20; ++n) EXPECT_FALSE(home_state().area_window_flags[size_t(n)]) << n;
}

TEST_F(TagReadTest, SilenceDuringTheListDisconnectsAndClosesTheDialog) {
    sim.setFault(Fault::Silence);
    // Watched from a timer, which the read's own waits keep running: the
    // list read's progress dialog shows over the open select dialog.
    bool listReadShown = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&listReadShown] {
        listReadShown = listReadShown || (seq().dialog && mq::tag_data_select::openInstance());
    });
    watch.start(1);
    // The command returns once the select dialog has closed; should it stay
    // open, the guard closes it so that the test fails instead of hanging.
    bool guardRanOut = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&guardRanOut] {
        guardRanOut = true;
        if (seq().dialog) seq().dialog->Command1->click();
        if (mq::tag_data_select* d = mq::tag_data_select::openInstance()) d->unload();
    });
    guard.start(60000);
    home->loggerread_Click();
    EXPECT_FALSE(guardRanOut);
    EXPECT_TRUE(listReadShown);
    EXPECT_FALSE(link().link_connected_flag);
    EXPECT_EQ(dialogs, QStringList{QStringLiteral("90")});
    EXPECT_EQ(mq::tag_data_select::openInstance(), nullptr);
}

}  // namespace

namespace {

TEST_F(TagReadTest, CancelDuringTheNameListsKeepsWhatWasRead) {
    QTimer poll;
    poll.setInterval(2);
    bool slow = false;
    QObject::connect(&poll, &QTimer::timeout, [this, &poll, &slow] {
        const QList<QByteArray> got = sim.received();
        if (!slow && got.contains("ST16WK02")) {
            // Slow replies from here on, so that the cancel finds a reply under way.
            slow = true;
            sim.setGaps(4, 40);
            sim.setFault(Fault::SlowWithGaps);
        }
        if (got.contains("ST16WK05") && seq().dialog) {
            poll.stop();
            seq().dialog->Command1->click();
        }
    });
    poll.start();
    bool opened = false;
    bool shown = false;
    QTimer after;
    after.setInterval(5);
    QObject::connect(&after, &QTimer::timeout, [&] {
        // Once the list read's progress dialog has come and gone.
        if ((shown = shown || seq().dialog) && !seq().dialog) {
            after.stop();
            opened = mq::tag_data_select::openInstance() != nullptr;
        }
    });
    after.start();
    home->loggerread_Click();
    sim.setFault(Fault::None);
    EXPECT_FALSE(opened);
    EXPECT_EQ(mq::tag_data_select::openInstance(), nullptr);
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_TRUE(dialogs.isEmpty());
    // The names read before the cancel stay in the logger's status.
    const mq::clsLOGGER_STATUS& st = model().logger_main->clsLOGGER_STATUS();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(st.worker_name(i), sc.workers[i].leftJustified(8, u' ')) << i;
    EXPECT_NE(st.worker_name(10), sc.workers[10].leftJustified(8, u' '));
}

}  // namespace
