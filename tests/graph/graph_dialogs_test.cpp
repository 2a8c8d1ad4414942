// The graph's dialogs driven through their widgets: the range dialog's
// record-number, time and scale boxes with every message, its sliders, OK and
// Cancel; the reference-lines dialog's checks per input type, resets, OK and
// Cancel; the channel display dialog run modally.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include "fake_source.h"
#include "graph/graph_dialogs.h"
#include "graph_fixture.h"
#include "main_window/small_windows.h"
#include "platform/message_box.h"

namespace {

using namespace mq;
using namespace mq::test;

const QString kMsg1 = QStringLiteral("設定できるデータ範囲は1～20です。");
const QString kMsg2 = QStringLiteral("上限値は下限値より高く設定してください。");
const QString kMsg3 = QStringLiteral("上限値時刻の入力形式が正しくありません。");
const QString kMsg4 = QStringLiteral("下限値は上限値より低く設定してください。");
const QString kMsg5 = QStringLiteral("下限値時刻の入力形式が正しくありません。");
const QString kMsg6 = QStringLiteral("設定できる範囲を超えています。");
const QString kMsg7 = QStringLiteral("設定できる温度範囲は-250～1500ﾟCです。");
const QString kMsg8 = QStringLiteral("設定できる範囲は-1000～1000です。");
const QString kBadValue = QStringLiteral("不正な値が入力されました。入力しなおして下さい。");

// A graph over 20 records, 10 s apart from 2024-06-01 08:00:00: CH1 K
// thermocouple, CH2 voltage with one decimal, CH3 not recorded, CH4 a
// temperature channel of another input type whose lower alarm is not set.
class GraphDialogTest : public GraphFixture {
protected:
    void SetUp() override {
        GraphFixture::SetUp();
        channel(0, QStringLiteral("K"), 1, QStringLiteral("30.0"), QStringLiteral("10.0"), QStringLiteral("20.0"));
        channel(1, QStringLiteral("V"), 1);
        channel(2, QStringLiteral("-"), 0);
        channel(3, QStringLiteral("X"), 1, QStringLiteral("50.0"));
        clsLOGGER_GraphInfo& gi = area().clsLOGGER_GraphInfo();
        gi.let_CH_GraphDrawSw(QStringLiteral("1101"));
        gi.let_CH_GraphAxDrawSw(QStringLiteral("1101"));
        gi.let_GrdDispSort(QStringLiteral("1234"));
        gi.let_Ch_h_Scale_FileString(0, QStringLiteral("400"));
        gi.let_Ch_l_Scale_FileString(0, QStringLiteral("0"));
        gi.let_Ch_h_Scale_FileString(1, QStringLiteral("500"));
        gi.let_Ch_l_Scale_FileString(1, QStringLiteral("-500"));
        gi.let_Ch_H_Alm(0, 30.0);
        gi.let_Ch_L_Alm(0, 10.0);
        gi.let_GrpDrw_StartPos(1);
        gi.let_GrpDrw_EndPos(20);
        src.units = {QStringLiteral("ﾟC "), QStringLiteral(" V "), QString(), QStringLiteral("ﾟC ")};
        src.step = 10;
        for (qint32 r = 1; r <= 20; ++r) src.values.push_back({100 + r * 10, r * 5, IGraphSource::kNoValue, 50});
    }

    fGraph* openGraph() {
        auto* g = new fGraph(src, nullptr);
        g->show();
        g->gImage()->setFixedSize(640, 360);
        QCoreApplication::processEvents();
        graph = g;
        return g;
    }

    // Opens the range dialog over a drawn range (a user range unless 1..20).
    fGrarange2* openRange(qint32 start, qint32 end, bool fixedScales = true) {
        fGraph* g = graph ? graph.data() : openGraph();
        GraphState& gs = graph_state();
        gs.graph_start_pos = start;
        gs.graph_end_pos = end;
        gs.graph_zoom_flag = (start == 1 && end == 20) ? 0 : 1;
        gs.ch_scale_manual[1] = gs.ch_scale_manual[2] = fixedScales ? 1 : 0;
        EXPECT_TRUE(g->redraw());
        g->mrange_Click();
        fGrarange2* d = fGrarange2::current();
        EXPECT_NE(d, nullptr);
        return d;
    }

    // Types a text into a box as a paste would (the key filter is tested on
    // its own) and presses Enter, which runs the box's leave handling.
    static void enter(QLineEdit* box, const QString& text) {
        box->setText(text);
        QTest::keyClick(box, Qt::Key_Return);
    }

    // The box loses the focus (the reference-lines fields discard Enter).
    static void leaveBox(QLineEdit* box) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(box, &out);
    }
    static void typeAndLeave(QLineEdit* box, const QString& text) {
        box->setText(text);
        leaveBox(box);
    }

    FakeSource src;
    QPointer<fGraph> graph;
};

QStringList texts(const platform::ScopedMessageBoxHook& hook) {
    QStringList out;
    for (const auto& r : hook.records()) {
        out << r.text;
        EXPECT_EQ(r.title, QStringLiteral("マロウクイル"));
        EXPECT_EQ(r.icon, platform::MsgIcon::None);
    }
    return out;
}

// ---------------------------------------------------------------- range dialog

struct RangeCase {
    const char* what;
    qint32 start, end;  // the drawn range the dialog opens on
    const char* box;    // start, end, starttime, endtime, endv1, startv1, endv2, startv2
    QString typed;
    QStringList messages;
    QString startNo, endNo;  // the record-number boxes afterwards
    QString boxText;         // the typed box afterwards (empty: not checked)
};

TEST_F(GraphDialogTest, RangeBoxesCheckTheirEntriesWithTheRightMessages) {
    const RangeCase cases[] = {
        {"end 0: message 1, 1, then one above the start", 1, 10, "end", "0", {kMsg1}, "1", "2", {}},
        {"end above the count: message 1, the count", 5, 10, "end", "25", {kMsg1}, "5", "20", {}},
        {"end equal to the start: one more", 5, 10, "end", "5", {}, "5", "6", {}},
        {"end below the start: message 2, the last end", 5, 10, "end", "3", {kMsg2}, "5", "10", {}},
        {"start equal to the end at the count: one less", 5, 20, "start", "20", {}, "19", "20", {}},
        {"start above the end: message 4, the last start", 5, 10, "start", "15", {kMsg4}, "5", "10", {}},
        {"start 0: message 1, 1", 5, 10, "start", "0", {kMsg1}, "1", "10", {}},
        {"end time between records snaps to the earlier", 5, 10, "endtime", "2024-06-01 08:01:05", {}, "5", "7",
         "2024-06-01 08:01:00"},
        {"end time at the last record", 5, 10, "endtime", "2024-06-01 08:03:10", {}, "5", "20", "2024-06-01 08:03:10"},
        {"end time one second past the last: message 6", 5, 10, "endtime", "2024-06-01 08:03:11", {kMsg6}, "5", "10",
         "2024-06-01 08:01:30"},
        {"end time at or before the start record: start + 1", 5, 10, "endtime", "2024-06-01 08:00:30", {}, "5", "6",
         "2024-06-01 08:00:50"},
        {"end time that is no date: message 3", 5, 10, "endtime", "2024-13-45 00:00:00", {kMsg3}, "5", "10",
         "2024-06-01 08:01:30"},
        {"start time before the first record: message 6", 5, 10, "starttime", "2024-06-01 07:59:59", {kMsg6}, "5", "10",
         "2024-06-01 08:00:40"},
        {"start time of letters: message 5", 5, 10, "starttime", "abc", {kMsg5}, "5", "10", "2024-06-01 08:00:40"},
        {"start time snaps to the record at or before", 5, 10, "starttime", "2024-06-01 08:00:25", {}, "3", "10",
         "2024-06-01 08:00:20"},
        {"temperature upper 1500 accepted", 5, 10, "endv1", "1500", {}, "5", "10", "1500"},
        {"temperature upper 1501: message 7", 5, 10, "endv1", "1501", {kMsg7}, "5", "10", "40"},
        {"temperature lower -250 accepted", 5, 10, "startv1", "-250", {}, "5", "10", "-250"},
        {"temperature lower -251: message 7", 5, 10, "startv1", "-251", {kMsg7}, "5", "10", "0"},
        {"a lower box of \"-\": message 7", 5, 10, "startv1", "-", {kMsg7}, "5", "10", "0"},
        {"lower not below the upper: message 4", 5, 10, "startv1", "50", {kMsg4}, "5", "10", "0"},
        {"upper not above the lower: message 2", 5, 10, "endv1", "-5", {kMsg2}, "5", "10", "40"},
        {"empty upper over a lower of 0: message 6", 5, 10, "endv1", "", {kMsg6}, "5", "10", "40"},
        {"voltage upper 1000 accepted", 5, 10, "endv2", "1000", {}, "5", "10", "1000"},
        {"voltage upper 1001: message 8", 5, 10, "endv2", "1001", {kMsg8}, "5", "10", "50"},
        {"voltage lower -1001: message 8", 5, 10, "startv2", "-1001", {kMsg8}, "5", "10", "-50"},
        {"voltage empty upper: message 6", 5, 10, "endv2", "", {kMsg6}, "5", "10", "50"},
        {"voltage empty lower: message 7", 5, 10, "startv2", "", {kMsg7}, "5", "10", "-50"},
    };
    for (const RangeCase& c : cases) {
        SCOPED_TRACE(c.what);
        fGrarange2* d = openRange(c.start, c.end);
        ASSERT_NE(d, nullptr);
        const std::map<std::string, QLineEdit*> boxes = {
            {"start", d->Drstartno},   {"end", d->Drendno},         {"starttime", d->Drstarttime},
            {"endtime", d->Drendtime}, {"endv1", d->endv[1]},       {"startv1", d->startv[1]},
            {"endv2", d->endv[2]},     {"startv2", d->startv[2]}};
        QLineEdit* box = boxes.at(c.box);
        platform::ScopedMessageBoxHook hook;
        enter(box, c.typed);
        EXPECT_EQ(texts(hook), c.messages);
        EXPECT_EQ(d->Drstartno->text(), c.startNo);
        EXPECT_EQ(d->Drendno->text(), c.endNo);
        if (!c.boxText.isNull()) {
            EXPECT_EQ(box->text(), c.boxText);
        }
        // The sliders follow the record numbers.
        EXPECT_EQ(d->SlDatalow->value(), c.startNo.toInt());
        EXPECT_EQ(d->SlDataHigh->value(), c.endNo.toInt());
        d->cmdSetgrasnge[1]->click();
        QCoreApplication::processEvents();
        ASSERT_EQ(fGrarange2::current(), nullptr);
        EXPECT_TRUE(graph->isEnabled());
    }
}

TEST_F(GraphDialogTest, RangeDialogOpensOnTheGraphStateAndDisablesTheGraph) {
    fGrarange2* d = openRange(1, 20, false);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("レンジ設定"));
    EXPECT_FALSE(graph->isEnabled());
    EXPECT_TRUE(d->Drangeauto->isChecked());
    EXPECT_EQ(graph_state().graph_zoom_flag, 0);
    EXPECT_EQ(d->Drstarttime->text(), QStringLiteral("2024-06-01 08:00:00"));
    EXPECT_EQ(d->Drendtime->text(), QStringLiteral("2024-06-01 08:03:10"));
    EXPECT_TRUE(d->Drendtime->isEnabled());
    EXPECT_TRUE(d->lb_msg->text().isEmpty());
    EXPECT_EQ(d->SlDatalow->maximum(), 20);
    EXPECT_EQ(d->lb_mag_up[1]->text(), QStringLiteral("×1"));
    EXPECT_EQ(d->lb_unit_up[1]->text(), QStringLiteral("[ﾟC ]"));
    EXPECT_EQ(d->lb_unit_down[2]->text(), QStringLiteral("[ V ]"));
    EXPECT_EQ(d->UpValueH[1]->maximum(), 1500);
    EXPECT_EQ(d->UpValueL[2]->minimum(), -1000);
    EXPECT_TRUE(d->rangeauto[1]->isChecked());
    // The channel that is not recorded.
    EXPECT_FALSE(d->endv[3]->isEnabled());
    EXPECT_TRUE(d->endv[3]->text().isEmpty());
    EXPECT_FALSE(d->rangeauto[3]->isEnabled());
    EXPECT_EQ(d->lb_mag_up[3]->text(), QStringLiteral("---"));
    EXPECT_EQ(d->lb_unit_down[3]->text(), QStringLiteral("[---]"));
    // The close box enables the graph again.
    d->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(graph->isEnabled());
    // A user range leaves the whole-data box unchecked.
    d = openRange(3, 9);
    EXPECT_FALSE(d->Drangeauto->isChecked());
    EXPECT_EQ(graph_state().graph_zoom_flag, 1);
    d->close();
}

// Leaving a box with Tab runs its check; the focus comes back to a refused
// scale box.
TEST_F(GraphDialogTest, TabLeavesABoxAndRunsItsCheck) {
    fGrarange2* d = openRange(5, 10);
    d->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(d));
    platform::ScopedMessageBoxHook hook;
    d->Drendno->setFocus();
    ASSERT_TRUE(waitUntil([&] { return d->Drendno->hasFocus(); }));
    d->Drendno->selectAll();
    QTest::keyClicks(d->Drendno, QStringLiteral("30"));
    QTest::keyClick(d->Drendno, Qt::Key_Tab);
    EXPECT_EQ(texts(hook), QStringList{kMsg1});
    EXPECT_EQ(d->Drendno->text(), QStringLiteral("20"));
    d->tab->setCurrentIndex(1);
    d->endv[1]->setFocus();
    ASSERT_TRUE(waitUntil([&] { return d->endv[1]->hasFocus(); }));
    d->endv[1]->selectAll();
    QTest::keyClicks(d->endv[1], QStringLiteral("1600"));
    QTest::keyClick(d->endv[1], Qt::Key_Tab);
    EXPECT_TRUE(waitUntil([&] { return d->endv[1]->hasFocus(); }));
    EXPECT_EQ(d->endv[1]->text(), QStringLiteral("40"));
    EXPECT_EQ(texts(hook), (QStringList{kMsg1, kMsg7}));
    d->close();
}

TEST_F(GraphDialogTest, TimeBoxesAreDisabledForMinuteAlignedAndIrregularData) {
    struct Case {
        const char* what;
        QDateTime start;
        qint64 step;
        int records;
        bool enabled;
    };
    const Case cases[] = {
        {"60 s from 10:25:37", QDateTime(QDate(2024, 6, 1), QTime(10, 25, 37), Qt::UTC), 60, 20, false},
        {"60 s from 10:25:37, two records", QDateTime(QDate(2024, 6, 1), QTime(10, 25, 37), Qt::UTC), 60, 2, true},
        {"60 s from 10:25:00", QDateTime(QDate(2024, 6, 1), QTime(10, 25, 0), Qt::UTC), 60, 20, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        src.start = c.start;
        src.step = c.step;
        src.values.resize(size_t(c.records), {100, 5, IGraphSource::kNoValue, 50});
        area().clsLOGGER_GraphInfo().let_GrpDrw_EndPos(c.records);
        fGraph* g = openGraph();
        g->mrange_Click();
        fGrarange2* d = fGrarange2::current();
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->Drstarttime->isEnabled(), c.enabled);
        EXPECT_EQ(d->Drendtime->isEnabled(), c.enabled);
        EXPECT_EQ(d->lb_msg->text(),
                  c.enabled ? QString() : QStringLiteral("手動操作による収録ﾃﾞｰﾀは収録日時での設定はできません"));
        if (c.records > 2 && !c.enabled) {
            // Record 2 of minute-aligned data lies on the next whole minute.
            d->SlDatalow->setValue(2);
            EXPECT_EQ(d->Drstarttime->text(), QStringLiteral("2024-06-01 10:26:00"));
            d->SlDatalow->setValue(3);
            EXPECT_EQ(d->Drstarttime->text(), QStringLiteral("2024-06-01 10:27:00"));
        }
        d->close();
        g->close();
        closeGraph();
    }
}

TEST_F(GraphDialogTest, SlidersSetTheRangeAndLeaveAtLeastTwoRecords) {
    fGrarange2* d = openRange(1, 20);
    d->SlDataHigh->setValue(8);
    EXPECT_EQ(d->Drendno->text(), QStringLiteral("8"));
    EXPECT_EQ(d->Drendtime->text(), QStringLiteral("2024-06-01 08:01:10"));
    EXPECT_FALSE(d->Drangeauto->isChecked());
    EXPECT_EQ(graph_state().graph_zoom_flag, 1);
    d->SlDatalow->setValue(12);  // not past the high slider
    EXPECT_EQ(d->SlDatalow->value(), 8);
    EXPECT_EQ(d->Drstartno->text(), QStringLiteral("8"));
    d->SlDatalow_LostFocus();  // equal positions are separated
    EXPECT_EQ(d->SlDatalow->value(), 7);
    // The whole-data box puts everything back.
    d->Drangeauto->setChecked(true);
    EXPECT_EQ(d->Drstartno->text(), QStringLiteral("1"));
    EXPECT_EQ(d->Drendno->text(), QStringLiteral("20"));
    EXPECT_EQ(d->Drendtime->text(), QStringLiteral("2024-06-01 08:03:10"));
    EXPECT_EQ(graph_state().graph_zoom_flag, 0);
    d->close();
}

TEST_F(GraphDialogTest, ScaleSpinnersAndKeyFilter) {
    fGrarange2* d = openRange(5, 10);
    // A fixed scale: the upper spinner stops one above the lower.
    d->UpValueL[1]->setValue(30);
    d->UpValueH[1]->setValue(30);
    EXPECT_EQ(d->UpValueH[1]->value(), 31);
    EXPECT_EQ(d->endv[1]->text(), QStringLiteral("31"));
    EXPECT_FALSE(d->rangeauto[1]->isChecked());
    // Minus signs only in front.
    d->endv[2]->clear();
    QTest::keyClicks(d->endv[2], QStringLiteral("5-"));
    EXPECT_EQ(d->endv[2]->text(), QStringLiteral("5"));
    d->endv[2]->clear();
    QTest::keyClicks(d->endv[2], QStringLiteral("--"));
    EXPECT_EQ(d->endv[2]->text(), QStringLiteral("-"));
    // The key filters by box kind.
    d->Drstartno->clear();
    QTest::keyClicks(d->Drstartno, QStringLiteral("1a-2 :"));
    EXPECT_EQ(d->Drstartno->text(), QStringLiteral("12"));
    d->Drstarttime->clear();
    QTest::keyClicks(d->Drstarttime, QStringLiteral("2024-06-01x 08:00"));
    EXPECT_EQ(d->Drstarttime->text(), QStringLiteral("2024-06-01 08:00"));
    d->startv[1]->clear();
    QTest::keyClicks(d->startv[1], QStringLiteral("-1.5e"));
    EXPECT_EQ(d->startv[1]->text(), QStringLiteral("-15"));
    d->close();
}

TEST_F(GraphDialogTest, OkStoresRangeScalesAndAxesAndRedraws) {
    fGrarange2* d = openRange(1, 20, false);
    platform::ScopedMessageBoxHook hook;
    enter(d->Drendno, QStringLiteral("12"));
    enter(d->Drstartno, QStringLiteral("4"));
    d->rangeauto[1]->setChecked(false);
    enter(d->endv[1], QStringLiteral("80"));
    enter(d->startv[1], QStringLiteral("-20"));
    d->cb_scale[2]->setChecked(false);
    d->cmdSetgrasnge[0]->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(texts(hook).isEmpty());
    EXPECT_EQ(fGrarange2::current(), nullptr);
    const GraphState& gs = graph_state();
    EXPECT_EQ(gs.graph_start_pos, 4);
    EXPECT_EQ(gs.graph_end_pos, 12);
    EXPECT_EQ(gs.ch_h_scale[1], 800);
    EXPECT_EQ(gs.ch_l_scale[1], -200);
    EXPECT_EQ(gs.ch_scale_manual[1], 1);
    EXPECT_EQ(gs.ch_scale_manual[2], 0);
    EXPECT_FALSE(gs.ch_graph_ax_draw_sw[2]);
    EXPECT_TRUE(gs.ch_graph_ax_draw_sw[1]);
    // The channel not in the data stores 0 as both limits.
    EXPECT_EQ(gs.ch_h_scale[3], 0);
    EXPECT_EQ(gs.ch_l_scale[3], 0);
    EXPECT_TRUE(graph->isEnabled());
    EXPECT_EQ(graph->laDataNum()->text(), QStringLiteral("データ数：9"));
    EXPECT_DOUBLE_EQ(graph->x_per_record(), graph->plotRect().width / 8);
}

TEST_F(GraphDialogTest, OkRefusesALowerLimitAtTheUpperAndCancelKeepsWhatEditingWrote) {
    fGrarange2* d = openRange(5, 10);
    {
        platform::ScopedMessageBoxHook hook;
        // Past the boxes' own checks (a paste, no leave): OK checks again.
        d->endv[1]->setText(QStringLiteral("7"));
        d->startv[1]->setText(QStringLiteral("7"));
        d->cmdSetgrasnge[0]->click();
        EXPECT_EQ(texts(hook), QStringList{kMsg2});
    }
    ASSERT_EQ(fGrarange2::current(), d);  // stays open
    EXPECT_EQ(d->endv[1]->text(), QStringLiteral("40"));
    EXPECT_EQ(d->startv[1]->text(), QStringLiteral("0"));
    EXPECT_EQ(graph_state().ch_scale_manual[1], 1);
    EXPECT_EQ(graph_state().graph_start_pos, 5);

    // Cancel after checking the automatic box: the channel stays automatic,
    // the range is not stored, the graph is not redrawn.
    const QImage before = graph->keptImage();
    d->rangeauto[1]->setChecked(true);
    enter(d->Drendno, QStringLiteral("15"));
    d->cmdSetgrasnge[1]->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(fGrarange2::current(), nullptr);
    EXPECT_EQ(graph_state().ch_scale_manual[1], 0);
    EXPECT_EQ(graph_state().graph_end_pos, 10);
    EXPECT_EQ(graph->keptImage(), before);
    EXPECT_TRUE(graph->isEnabled());
}

// ---------------------------------------------------------------- reference lines

struct SvCase {
    const char* what;
    const char* field;  // up1, down1, sum1, basis2, basis4, ...
    int decimals;       // CH2's decimal position
    QString typed;
    QString result;
    bool message;
};

TEST_F(GraphDialogTest, ReferenceFieldsFollowTheirInputTypeLimits) {
    const SvCase cases[] = {
        {"K upper 2000 becomes the type's limit", "up1", 1, "2000", "1370.0", false},
        {"K upper of letters becomes the limit", "up1", 1, "abc", "1370.0", false},
        {"K upper -200.0 becomes the limit", "up1", 1, "-200.0", "1370.0", false},
        {"K upper -199.9 stays above the lower", "down1+up1", 1, "-199.9", "-199.9", false},
        {"lower equal to the upper becomes -200.0", "down1", 1, "30", "-200.0", false},
        {"K integration -200.0 stays", "sum1", 1, "-200.0", "-200.0", false},
        {"K integration -200.1 becomes 0.0", "sum1", 1, "-200.1", "0.0", false},
        {"K integration 10000 becomes 0.0", "sum1", 1, "10000", "0.0", false},
        {"K basis 25 gets one decimal", "basis1", 1, "25", "25.0", false},
        {"voltage basis -12.34, one decimal", "basis2", 1, "-12.34", "-012.3", false},
        {"voltage basis 1000, one decimal", "basis2", 1, "1000", "000.0", false},
        {"voltage basis 9999, no decimals", "basis2", 0, "9999", "9999", false},
        {"voltage basis 10000, no decimals", "basis2", 0, "10000", "0000", false},
        {"voltage basis of letters", "basis2", 1, "x", "000.0", false},
        {"another type: letters stay and are refused", "up4", 1, "1-2", "1-2", true},
    };
    for (const SvCase& c : cases) {
        SCOPED_TRACE(c.what);
        channel(1, QStringLiteral("V"), c.decimals);
        src.decimals[1] = c.decimals;
        fGraph* g = openGraph();
        g->mpSVline_Click();
        fGrasvline* d = fGrasvline::current();
        ASSERT_NE(d, nullptr);
        EXPECT_FALSE(g->isEnabled());
        QString field = QString::fromLatin1(c.field);
        if (field == QLatin1String("down1+up1")) {
            typeAndLeave(d->txt_alarm_down[1], QStringLiteral("-200.0"));
            field = QStringLiteral("up1");
        }
        const int ch = field.right(1).toInt();
        QLineEdit* box = field.startsWith(QLatin1String("up"))     ? d->txt_alarm_up[ch]
                         : field.startsWith(QLatin1String("down")) ? d->txt_alarm_down[ch]
                         : field.startsWith(QLatin1String("sum"))  ? d->txt_sum[ch]
                                                                   : d->txt_basis[ch];
        std::vector<platform::MessageRecord> shown;
        platform::ScopedMessageBoxHook hook([&](const platform::MessageRecord& m) {
            shown.push_back(m);
            return platform::MsgResult::OK;
        });
        box->setText(c.typed);
        leaveBox(box);
        EXPECT_EQ(box->text(), c.result);
        ASSERT_EQ(shown.size(), c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(shown[0].text, kBadValue);
            EXPECT_EQ(shown[0].icon, platform::MsgIcon::Exclamation);
            QCoreApplication::processEvents();
            EXPECT_EQ(box->selectedText(), c.typed);
        }
        d->btn_cancel->click();
        QCoreApplication::processEvents();
        EXPECT_TRUE(g->isEnabled());
        g->close();
        closeGraph();
    }
}

TEST_F(GraphDialogTest, ReferenceDialogOpensPerChannelClass) {
    fGraph* g = openGraph();
    g->mpSVline_Click();
    fGrasvline* d = fGrasvline::current();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("基準線設定"));
    EXPECT_EQ(d->txt_alarm_up[1]->text(), QStringLiteral("30.0"));
    EXPECT_EQ(d->ud_alarm_up[1]->value(), 300);
    EXPECT_EQ(d->ud_alarm_up[1]->maximum(), 13700);
    EXPECT_EQ(d->ud_alarm_down[1]->minimum(), -2000);
    EXPECT_EQ(d->txt_alarm_up[1]->toolTip(), QStringLiteral("グラフ上限警報値  入力種 [ K ]"));
    EXPECT_EQ(d->cb_alarm[2]->toolTip(), QStringLiteral("ＣＨ２の表示／非表示を切り替えます"));
    EXPECT_EQ(d->lb_unit_sum[1]->text(), QStringLiteral("[ﾟC ]"));
    // Voltage: only the basis line.
    EXPECT_FALSE(d->txt_alarm_up[2]->isEnabled());
    EXPECT_EQ(d->txt_sum[2]->text(), QStringLiteral("-----"));
    EXPECT_TRUE(d->txt_basis[2]->isEnabled());
    EXPECT_EQ(d->UpDown_basic[2]->maximum(), 9999);
    EXPECT_EQ(d->txt_basis[2]->text(), QStringLiteral("000.0"));
    // No data: everything "-----" and disabled.
    for (QLineEdit* e : {d->txt_alarm_up[3], d->txt_alarm_down[3], d->txt_sum[3], d->txt_basis[3]}) {
        EXPECT_EQ(e->text(), QStringLiteral("-----"));
        EXPECT_FALSE(e->isEnabled());
    }
    EXPECT_EQ(d->lb_unit_basis[3]->text(), QStringLiteral("---"));
    // Another input type keeps the wide spinner range; its lower alarm, not
    // set, has no value to move.
    EXPECT_EQ(d->ud_alarm_up[4]->maximum(), 100000);
    EXPECT_TRUE(d->txt_alarm_up[4]->isEnabled());
    EXPECT_EQ(d->txt_alarm_down[4]->text(), QStringLiteral("-----"));
    EXPECT_FALSE(d->txt_alarm_down[4]->isEnabled());
    // The key filter: digits, "-", "." and backspace only.
    d->txt_basis[1]->clear();
    QTest::keyClicks(d->txt_basis[1], QStringLiteral("1a-.2\r"));
    EXPECT_EQ(d->txt_basis[1]->text(), QStringLiteral("1-.2"));
    d->close();
}

// A spinner step writes its value into its own box through that box's check:
// an upper alarm not above the lower, a lower not below the upper, or a
// reference value out of range is replaced by the check's value.
TEST_F(GraphDialogTest, ReferenceSpinnersWriteTheirBoxesThroughTheirChecks) {
    openGraph()->mpSVline_Click();
    fGrasvline* d = fGrasvline::current();
    ASSERT_NE(d, nullptr);
    d->txt_alarm_down[1]->setText(QStringLiteral("10.0"));
    struct Case {
        const char* what;
        UpDown* spin;
        QLineEdit* box;
        int value;
        QString text;
    };
    const Case cases[] = {
        {"upper alarm 25.0", d->ud_alarm_up[1], d->txt_alarm_up[1], 250, QStringLiteral("25.0")},
        {"lower alarm -5.0", d->ud_alarm_down[1], d->txt_alarm_down[1], -50, QStringLiteral("-5.0")},
        {"lower alarm above the upper: reset", d->ud_alarm_down[1], d->txt_alarm_down[1], 400,
         QStringLiteral("-200.0")},
        {"reference 12.3", d->UpDown_sum[1], d->txt_sum[1], 123, QStringLiteral("12.3")},
        {"reference -200.0 accepted", d->UpDown_sum[1], d->txt_sum[1], -2000, QStringLiteral("-200.0")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.spin->setValue(c.value);
        EXPECT_EQ(c.box->text(), c.text);
    }
    d->close();
}

TEST_F(GraphDialogTest, ReferenceOkStoresAndRecomputesCancelKeepsOnlyResets) {
    GraphState& gs = graph_state();
    fGraph* g = openGraph();
    // A reset, then Cancel: the recorded alarm values stay in the graph state.
    gs.ch_h_alm[1] = 99.0;
    g->mpSVline_Click();
    fGrasvline* d = fGrasvline::current();
    ASSERT_NE(d, nullptr);
    d->cb_alarm[1]->setChecked(true);
    d->btn_alarm_init->click();
    EXPECT_EQ(d->txt_alarm_up[1]->text(), QStringLiteral("30.0"));
    d->btn_cancel->click();
    QCoreApplication::processEvents();
    EXPECT_DOUBLE_EQ(gs.ch_h_alm[1], 30.0);
    EXPECT_FALSE(gs.h_alm_sw[1]);  // the ticked box was not stored

    // OK stores the switches and values and recomputes the statistics: the
    // upper alarm at 15.0 counts the records above 150 (CH1 is 100 + 10 r).
    g->mpSVline_Click();
    d = fGrasvline::current();
    ASSERT_NE(d, nullptr);
    d->cb_alarm[1]->setChecked(true);
    typeAndLeave(d->txt_alarm_up[1], QStringLiteral("15"));
    EXPECT_EQ(d->ud_alarm_up[1]->value(), 150);
    d->txt_alarm_down[1]->clear();  // an empty field leaves its value alone
    d->cb_basis[2]->setChecked(true);
    typeAndLeave(d->txt_basis[2], QStringLiteral("4.5"));
    d->cb_basis[3]->setChecked(true);  // disabled channel: nothing changes
    d->btn_ok->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(fGrasvline::current(), nullptr);
    EXPECT_TRUE(g->isEnabled());
    EXPECT_TRUE(gs.h_alm_sw[1]);
    EXPECT_DOUBLE_EQ(gs.ch_h_alm[1], 15.0);
    EXPECT_EQ(gs.ch_h_alm_text[1], QStringLiteral("15.0"));
    EXPECT_DOUBLE_EQ(gs.ch_l_alm[1], 10.0);
    EXPECT_EQ(gs.ch_l_alm_text[4], QStringLiteral("-----"));  // still not set
    EXPECT_TRUE(gs.std_sw[2]);
    EXPECT_DOUBLE_EQ(gs.std_value[2], 4.5);
    EXPECT_FALSE(gs.std_sw[3]);
    EXPECT_EQ(g->stats(1).h_count, 15);  // records 6..20
    EXPECT_EQ(gs.stat_ready_flag, 1);
    // CH4's integration base was not set: its untouched "0.0" leaves it so,
    // a typed value sets it.
    EXPECT_FALSE(gs.ch_sum_std_set[4]);
    EXPECT_EQ(gs.ch_sum_std_text[4], QStringLiteral("-----"));
    g->mpSVline_Click();
    d = fGrasvline::current();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->txt_sum[4]->text(), QStringLiteral("0.0"));
    d->txt_sum[4]->selectAll();
    QTest::keyClicks(d->txt_sum[4], QStringLiteral("7.5"));
    d->btn_ok->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(gs.ch_sum_std_set[4]);
    EXPECT_EQ(gs.ch_sum_std_text[4], QStringLiteral("7.5"));
    EXPECT_DOUBLE_EQ(gs.ch_sum_std_count[4], 7.5);
}

// ---------------------------------------------------------------- channel display

TEST_F(GraphDialogTest, ChannelDialogStoresSwitchesOnOkOnly) {
    fGraph* g = openGraph();
    GraphState& gs = graph_state();
    struct Case {
        const char* what;
        bool ok;
        std::array<bool, 4> tick;  // what the user leaves ticked (CH3 stays disabled)
        std::array<bool, 4> expected;
    };
    const Case cases[] = {
        {"cancel after changes", false, {false, false, false, false}, {true, true, true, true}},
        {"OK with CH2 off", true, {true, false, true, true}, {true, false, false, true}},
        {"OK with all off", true, {false, false, false, false}, {false, false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gs.ch_graph_draw_sw = {false, true, true, true, true};
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<DlgChDispSw*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            seen = true;
            EXPECT_EQ(d->windowTitle(), QStringLiteral("表示チャンネルの選択"));
            EXPECT_FALSE(d->chkChDraw[2]->isEnabled());
            EXPECT_FALSE(d->chkChDraw[2]->isChecked());
            EXPECT_EQ(d->Label1[0]->palette().color(QPalette::Window),
                      platform::basicColour(quint32(gs.ch_g_color[1])));
            for (int i = 0; i < 4; ++i) {
                if (d->chkChDraw[size_t(i)]->isEnabled()) d->chkChDraw[size_t(i)]->setChecked(c.tick[size_t(i)]);
            }
            (c.ok ? d->OKButton : d->CancelButton)->click();
        });
        g->mchan_Click();
        EXPECT_TRUE(seen);
        for (int ch = 1; ch <= 4; ++ch) EXPECT_EQ(gs.ch_graph_draw_sw[ch], c.expected[size_t(ch - 1)]) << "CH" << ch;
    }
    // With every trace off, the statistics grid shows no figures.
    EXPECT_TRUE(g->gpgrid()->TextMatrix(1, 3).isEmpty());
}


// Every dialog the graph opens stands over it as its child and can be used,
// and whichever way it closes the graph is in front and active again.
TEST_F(GraphDialogTest, DialogsOfTheGraphAreItsChildrenAndGiveItBackTheFront) {
    struct Case {
        const char* item;
        const char* answer;  // the graph's own dialogs: "ok", "cancel" or "escape"; Qt's are cancelled
        QStringList dialogs;
    };
    const Case cases[] = {
        {"mrange", "ok", {"mq::fGrarange2"}},          {"mrange", "escape", {"mq::fGrarange2"}},
        {"mpSVline", "ok", {"mq::fGrasvline"}},        {"mpSVline", "cancel", {"mq::fGrasvline"}},
        {"mchan", "ok", {"mq::DlgChDispSw"}},          {"mchan", "escape", {"mq::DlgChDispSw"}},
        {"mgPrint", "ok", {"mq::TestForm", "QFileDialog"}}, {"mgPrint", "cancel", {"mq::TestForm"}},
        {"mPaperset", "cancel", {"QPageSetupDialog"}}, {"mPrinterset", "cancel", {"QPrintDialog"}},
    };
    fGraph* g = openGraph();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.item) + " " + c.answer);
        const bool ok = QLatin1String(c.answer) == QLatin1String("ok");
        DialogDriver driver;
        driver.file = dataHome() + QStringLiteral("/dialog_path.pdf");
        driver.answer = [&](QDialog* d) {
            QAbstractButton* button = nullptr;
            if (QLatin1String(c.answer) == QLatin1String("escape")) return QTest::keyClick(d, Qt::Key_Escape);
            if (auto* r = qobject_cast<fGrarange2*>(d)) button = r->cmdSetgrasnge[ok ? 0 : 1];
            if (auto* s = qobject_cast<fGrasvline*>(d)) button = ok ? s->btn_ok : s->btn_cancel;
            if (auto* ch = qobject_cast<DlgChDispSw*>(d)) button = ok ? ch->OKButton : ch->CancelButton;
            if (qobject_cast<TestForm*>(d)) return answerPrinterChoice(d, ok);
            if (button) QMetaObject::invokeMethod(button, "click", Qt::QueuedConnection);
            else QMetaObject::invokeMethod(d, "reject", Qt::QueuedConnection);
        };
        driver.start();
        g->menuItem(QString::fromLatin1(c.item))->trigger();
        driver.finish();
        EXPECT_EQ(driver.met, c.dialogs);
        EXPECT_TRUE(driver.overGraph);
        EXPECT_TRUE(g->isEnabled());
        EXPECT_EQ(QApplication::activeWindow(), g);
    }
}

}  // namespace
