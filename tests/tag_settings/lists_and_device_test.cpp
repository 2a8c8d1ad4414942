// The worker-name and comment list editors with their files and their writes
// to the logger (operations 30 and 40), and the clock and user-model-name
// dialog, against the simulated logger.
#include <QCalendarWidget>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "common/pty_peer.h"
#include "common/sim_link.h"
#include "common/test_env.h"
#include "logger_sim/logger_sim.h"
#include "main_window/fake_windows.h"
#include "main_window/identity_check.h"
#include "main_window/serial_link.h"
#include "model/cls_logger_status.h"
#include "model/data_sets.h"
#include "platform/cp932.h"
#include "platform/message_box.h"
#include "tag_settings/ops_list_write.h"
#include "sequencer/seq_state.h"
#include "sequencer/setting_write.h"
#include "tag_settings/comment_list_dialog.h"
#include "tag_settings/list_files.h"
#include "tag_settings/model_setting.h"

namespace {

using logger_sim::Fault;
using mq::ListKind;
using mq::home_state;
using mq::link;
using mq::model;
using mq::platform::MsgResult;
using mq::platform::ScopedMessageBoxHook;
using mq::test::framedRecord;

QString blanks8() { return QString(8, u' '); }
QByteArray wire(const QString& s) { return mq::platform::cp932::encode(s); }

// ---------------------------------------------------------------- list files

// Every test starts without list files; messages are answered OK.
class ListFileTest : public mq::test::HomeTest {
protected:
    void SetUp() override {
        HomeTest::SetUp();
        for (ListKind kind : {ListKind::Worker, ListKind::Comment}) QFile::remove(mq::list_file_path(kind));
    }
    ScopedMessageBoxHook quiet{MsgResult::OK};
    mq::clsLOGGER_STATUS& status() { return model().logger_main->clsLOGGER_STATUS(); }
};

TEST_F(ListFileTest, MissingFileIsCreatedWithTwentyBlankLines) {
    for (ListKind kind : {ListKind::Worker, ListKind::Comment}) {
        const QString path = mq::list_file_path(kind);
        QFile::remove(path);
        status().let_Comment(3, QStringLiteral("OLD"));
        EXPECT_TRUE(mq::list_file_load(kind, status()));
        QByteArray expected;
        for (int i = 0; i < 20; ++i) expected += "        \r\n";
        EXPECT_EQ(mq::test::readAll(path), expected);
        for (const QString& e : mq::list_entries(status(), kind)) EXPECT_EQ(e, blanks8());
    }
}

TEST_F(ListFileTest, EntriesKeepInnerBlanksAndKatakanaThroughStoreAndLoad) {
    QStringList entries(20, QString());
    entries[0] = QStringLiteral("AB CD");
    entries[1] = QStringLiteral("ｻｷﾞｮｳｼｬ1");
    entries[2] = QStringLiteral("TOOLONGNAME");
    entries[19] = QStringLiteral("Z");
    mq::let_list_entries(status(), ListKind::Worker, entries);
    ASSERT_TRUE(mq::list_file_store(ListKind::Worker, status()));
    const QByteArray bytes = mq::test::readAll(mq::list_file_path(ListKind::Worker));
    ASSERT_EQ(bytes.size(), 20 * 10);
    EXPECT_EQ(bytes.left(10), QByteArray("AB CD   \r\n"));
    EXPECT_EQ(bytes.mid(10, 10), wire(QStringLiteral("ｻｷﾞｮｳｼｬ1")) + "\r\n");
    EXPECT_EQ(bytes.mid(20, 10), QByteArray("TOOLONGN\r\n"));

    mq::let_list_entries(status(), ListKind::Worker, QStringList(20, QStringLiteral("x")));
    ASSERT_TRUE(mq::list_file_load(ListKind::Worker, status()));
    EXPECT_EQ(status().worker_name(0), QStringLiteral("AB CD   "));
    EXPECT_EQ(status().worker_name(1), QStringLiteral("ｻｷﾞｮｳｼｬ1"));
    EXPECT_EQ(status().worker_name(19), QStringLiteral("Z       "));
    EXPECT_EQ(mq::list_entry_shown(status().worker_name(0)), QStringLiteral("AB CD"));
}

TEST_F(ListFileTest, ShortFileIsReportedAndKeptWorkerGapsBlankCommentGapsKept) {
    const QByteArray shortFile = "ONE     \r\nTWO     \r\n";
    for (ListKind kind : {ListKind::Worker, ListKind::Comment}) {
        const QString path = mq::list_file_path(kind);
        mq::test::writeAll(path, shortFile);
        mq::let_list_entries(status(), kind, QStringList(20, QStringLiteral("KEEP")));
        const mq::FileResult r = mq::list_file_load(kind, status());
        EXPECT_FALSE(r);
        EXPECT_TRUE(r.message.contains(path));
        EXPECT_EQ(mq::test::readAll(path), shortFile);
        const QStringList e = mq::list_entries(status(), kind);
        EXPECT_EQ(e[1], QStringLiteral("TWO     "));
        EXPECT_EQ(e[2], kind == ListKind::Worker ? blanks8() : QStringLiteral("KEEP    "));
    }
}

TEST_F(ListFileTest, AStoreThatCannotBeWrittenSaysSoAndLeavesTheTarget) {
    // A folder in the file's place cannot be replaced, even by root.
    const QString path = mq::list_file_path(ListKind::Comment);
    ASSERT_TRUE(QDir().mkpath(path + QStringLiteral("/keep")));
    const mq::FileResult r = mq::list_file_store(ListKind::Comment, status());
    EXPECT_FALSE(r);
    EXPECT_FALSE(r.message.isEmpty());
    EXPECT_TRUE(QFileInfo(path + QStringLiteral("/keep")).isDir());
    const QStringList left = QDir(model().user_dir + QStringLiteral("/config")).entryList(QDir::Files);
    EXPECT_TRUE(left.isEmpty()) << "no temporary file is left: " << left.join(u',').toStdString();
    QDir(path).removeRecursively();
}

// ---------------------------------------------------------------- the editors

TEST_F(ListFileTest, BoxesTakeOnlyWhatTheLoggerListsHold) {
    mq::comment1 dlg(home.get());
    QLineEdit* box = dlg.Text1[0];
    box->setFocus();
    const struct {
        QString typed;
        QString kept;
    } cases[] = {
        {QStringLiteral("A,B"), QStringLiteral("AB")},           // comma dropped
        {QStringLiteral("a{|}~z"), QStringLiteral("az")},        // codes 123-126 dropped
        {QStringLiteral("漢ｶﾅ"), QStringLiteral("ｶﾅ")},          // double-byte dropped
        {QStringLiteral("｡｢ｱ･"), QStringLiteral("ｱ･")},          // katakana from "･" on
        {QStringLiteral("123456789"), QStringLiteral("12345678")},
    };
    for (const auto& c : cases) {
        box->clear();
        for (QChar ch : c.typed) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(box, &press);
        }
        EXPECT_EQ(box->text(), c.kept) << c.typed.toStdString();
    }
}

TEST_F(ListFileTest, ListUpdateStoresTheBoxesAndCancelStoresNothing) {
    QFile::remove(mq::list_file_path(ListKind::Comment));
    {
        mq::comment2 dlg(home.get());
        dlg.Text1[4]->setText(QStringLiteral("X Y"));
        dlg.Command5_Click();
    }
    EXPECT_EQ(mq::test::readAll(mq::list_file_path(ListKind::Comment)).mid(40, 10), QByteArray("        \r\n"));
    {
        mq::comment2 dlg(home.get());
        dlg.Text1[4]->setText(QStringLiteral("X Y"));
        dlg.Command6_Click();
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
    }
    EXPECT_EQ(mq::test::readAll(mq::list_file_path(ListKind::Comment)).mid(40, 10), QByteArray("X Y     \r\n"));
    mq::comment2 again(home.get());
    EXPECT_EQ(again.Text1[4]->text(), QStringLiteral("X Y"));
    EXPECT_EQ(model().logger_main->clsLOGGER_STATUS().Comment(4), QStringLiteral("X Y     "));
}

// ---------------------------------------------------------------- writes to the logger

class ListWriteTest : public mq::test::HomeTest {
protected:
    void SetUp() override {
        HomeTest::SetUp();
        for (ListKind kind : {ListKind::Worker, ListKind::Comment}) QFile::remove(mq::list_file_path(kind));
        home_state().targets.comm_dialog = [](const QString&) {};
    }
    void TearDown() override {
        qunsetenv("MARROWQUILL_PORTS");
        HomeTest::TearDown();
    }
    static QString templ(int entry) { return link().cmd_k_p_req[entry]; }

    mq::SeqSlot seqSlot;
    mq::ConnectionSlot connSlot;
};

TEST_F(ListWriteTest, OkSendsTwentyEightByteEntriesAndTheLoggerKeepsThem) {
    logger_sim::Simulator sim(mq::test::configDir(), logger_sim::Scenario{});
    ASSERT_TRUE(sim.start());
    mq::test::attachConnectedLogger(sim.devicePath(), QStringLiteral("00000001"));
    setMode(1);
    ScopedMessageBoxHook answers(MsgResult::OK);

    QStringList typed(20, QString());
    typed[0] = QStringLiteral("AB CD");
    typed[9] = QStringLiteral("ｻﾄｳ");
    typed[19] = QStringLiteral("12345678");
    {
        mq::comment1 dlg(home.get());
        for (int i = 0; i < 20; ++i) dlg.Text1[i]->setText(typed[i]);
        sim.clearReceived();
        dlg.Command2_Click();
    }
    EXPECT_TRUE(answers.texts().empty()) << "LOG mode asks nothing";
    QList<QByteArray> writes;
    for (const QByteArray& c : sim.received())
        if (c.startsWith("KP09")) writes << c;
    ASSERT_EQ(writes.size(), 20);
    for (int n = 1; n <= 20; ++n) {
        const QString entry = (typed[n - 1] + blanks8()).left(8);
        const QString expected = templ(9).left(6) + QStringLiteral("%1").arg(n, 2, 10, QChar(u'0')) + templ(9).mid(8, 1) +
                                 entry + templ(9).mid(17);
        EXPECT_EQ(writes[n - 1], wire(expected)) << n;
    }
    EXPECT_EQ(sim.scenario().workers.value(0).leftJustified(8), QStringLiteral("AB CD   "));
    EXPECT_TRUE(link().link_connected_flag);
}

TEST_F(ListWriteTest, InTagModeCancellingTheQuestionChangesNothing) {
    logger_sim::Simulator sim(mq::test::configDir(), logger_sim::Scenario{});
    ASSERT_TRUE(sim.start());
    mq::test::attachConnectedLogger(sim.devicePath(), QStringLiteral("00000001"));
    setMode(2);
    QFile::remove(mq::list_file_path(ListKind::Comment));
    ScopedMessageBoxHook answers(MsgResult::Cancel);
    mq::comment2 dlg(home.get());
    dlg.Text1[0]->setText(QStringLiteral("NEW"));
    sim.clearReceived();
    dlg.Command2_Click();
    ASSERT_EQ(answers.texts().size(), 1u);
    EXPECT_EQ(answers.texts()[0], QStringLiteral("書き込みを行うとロガーの収録済みデータも書き変わります。よろしいですか？"));
    EXPECT_TRUE(sim.received().isEmpty());
    EXPECT_EQ(mq::test::readAll(mq::list_file_path(ListKind::Comment)).left(8), QByteArray(8, ' '));
}

// A scripted logger that answers the identity check like the simulator and
// each list write with ACK, NAK or nothing, by entry number.
struct ScriptedListLogger {
    explicit ScriptedListLogger(const std::map<int, QByteArray>& byEntry) {
        logger_sim::Simulator sim(mq::test::configDir(), logger_sim::Scenario{});
        for (const char* c : {"ST00SN", "ST03MD"}) peer.replies[c] = sim.replyFor(c);
        const QString t = link().cmd_k_p_req[9];
        for (int n = 1; n <= 20; ++n) {
            const QByteArray cmd = wire(mq::list_write_command(t, n, QString()));
            const auto it = byEntry.find(n);
            const QByteArray reply = it == byEntry.end() ? QByteArray("\x06\r\n") : it->second;
            if (!reply.isEmpty()) peer.replies[cmd] = reply;
        }
    }
    int listWrites() const {
        int n = 0;
        for (const QByteArray& c : peer.received) n += c.startsWith("KP09") ? 1 : 0;
        return n;
    }
    mq::test::ScriptedLogger peer;
};

TEST_F(ListWriteTest, ANakStopsTheWriteNamesTheEntryAndKeepsTheLink) {
    ASSERT_TRUE(mq::cmd_table_load(mq::test::configDir()));
    ScriptedListLogger logger({{3, QByteArray("\x15\r\n")}});
    mq::test::attachConnectedLogger(logger.peer.path, QStringLiteral("00000001"));
    setMode(1);
    ScopedMessageBoxHook answers(MsgResult::OK);
    mq::comment1 dlg(home.get());
    dlg.Command2_Click();
    EXPECT_EQ(logger.listWrites(), 3);
    ASSERT_FALSE(answers.texts().empty());
    EXPECT_EQ(answers.texts().back(), mq::setting_write_rejected_message(QStringLiteral("作業者名 03")));
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_TRUE(home_state().app_idle_flag);
}

TEST_F(ListWriteTest, SilenceAtEntryFiveLeavesFourSentAndDisconnects) {
    ASSERT_TRUE(mq::cmd_table_load(mq::test::configDir()));
    ScriptedListLogger logger({{5, QByteArray()}});
    mq::test::attachConnectedLogger(logger.peer.path, QStringLiteral("00000001"));
    setMode(1);
    ScopedMessageBoxHook answers(MsgResult::OK);
    mq::comment1 dlg(home.get());
    dlg.Command2_Click();
    EXPECT_EQ(logger.listWrites(), 4 + 4) << "entries 1-4 once, entry 5 in four attempts";
    EXPECT_FALSE(link().link_connected_flag);
}

// ---------------------------------------------------------------- device settings

TEST(ModelSettingArithmetic, ClockRepliesAndCommands) {
    const QString templ = QStringLiteral("KP01CK000000000000");
    EXPECT_EQ(mq::model_clock_command(templ, QDateTime(QDate(2013, 12, 10), QTime(10, 5, 9))),
              QStringLiteral("KP01CK131210100509"));
    EXPECT_EQ(mq::model_name_command(QStringLiteral("KP08UN________"), QStringLiteral("ABC")),
              QStringLiteral("KP08UNABC     "));
}

class ModelSettingTest : public ListWriteTest {};

TEST_F(ModelSettingTest, ShowsTheLoggerClockAndNameAndOkWritesThemBack) {
    logger_sim::Scenario s;
    s.clock = QDateTime(QDate(2013, 12, 10), QTime(10, 5, 9));
    s.userModelName = QStringLiteral("AB CD");
    logger_sim::Simulator sim(mq::test::configDir(), s);
    ASSERT_TRUE(sim.start());
    mq::test::attachConnectedLogger(sim.devicePath(), QStringLiteral("00000001"));
    setMode(1);
    ScopedMessageBoxHook answers(MsgResult::OK);

    mq::Model_Setting dlg(home.get());
    dlg.show();
    ASSERT_TRUE(mq::test::waitUntil([&] { return dlg.Text7->text() == QStringLiteral("AB CD"); }, 10000));
    EXPECT_EQ(dlg.MonthView1->selectedDate(), QDate(2013, 12, 10));
    mq::test::saveScreenshot(&dlg, QStringLiteral("model_setting"));
    EXPECT_EQ(dlg.Combo1->currentIndex(), 10);
    EXPECT_EQ(dlg.Combo2->currentIndex(), 5);
    EXPECT_LE(dlg.Combo3->currentIndex() - 9, 2) << "the logger's clock runs on while it is read";

    const QString shown = QStringLiteral("KP01CK1312101005%1").arg(dlg.Combo3->currentIndex(), 2, 10, QChar(u'0'));
    sim.clearReceived();
    // A second OK while the first one writes does nothing.
    QTimer::singleShot(0, &dlg, [&] { dlg.OKButton_Click(); });
    dlg.OKButton_Click();
    mq::test::processEventsFor(50);
    QList<QByteArray> writes;
    for (const QByteArray& c : sim.received())
        if (c.startsWith("KP")) writes << c;
    ASSERT_EQ(writes.size(), 2);
    EXPECT_EQ(writes[0], wire(shown));
    EXPECT_EQ(writes[1], QByteArray("KP08UNAB CD   "));
    EXPECT_EQ(model().logger_main->clsLOGGER_STATUS().user_model_name(), QStringLiteral("AB CD   "));
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(answers.texts().empty());
}

TEST_F(ModelSettingTest, AClockReplyThatIsNoDateIsReportedAndNothingIsWritten) {
    ASSERT_TRUE(mq::cmd_table_load(mq::test::configDir()));
    mq::test::ScriptedLogger peer;
    logger_sim::Simulator sim(mq::test::configDir(), logger_sim::Scenario{});
    for (const char* c : {"ST00SN", "ST03MD", "ST11UN"}) peer.replies[c] = sim.replyFor(c);
    peer.replies["ST04CK"] = framedRecord("S04139910100509");
    mq::test::attachConnectedLogger(peer.path, QStringLiteral("00000001"));
    setMode(1);
    ScopedMessageBoxHook answers(MsgResult::OK);
    mq::Model_Setting dlg(home.get());
    dlg.show();
    ASSERT_TRUE(mq::test::waitUntil([&] { return !dlg.isVisible(); }, 10000));
    ASSERT_EQ(answers.texts().size(), 1u);
    EXPECT_EQ(answers.texts()[0], QStringLiteral("ロガーの時計の値が正しくありません。"));
    for (const QByteArray& c : peer.received) EXPECT_FALSE(c.startsWith("KP")) << c.constData();
    EXPECT_TRUE(link().link_connected_flag);
}

TEST_F(ModelSettingTest, OkWithoutATimeIsRefusedWithTheMessage) {
    ScopedMessageBoxHook answers(MsgResult::OK);
    mq::Model_Setting dlg(home.get());
    dlg.OKButton_Click();
    ASSERT_EQ(answers.texts().size(), 1u);
    EXPECT_EQ(answers.texts()[0], QStringLiteral("時刻設定が正しくありません。"));
}

}  // namespace
