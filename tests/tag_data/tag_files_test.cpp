// TAG windows and files through the main window's commands: a logger tag
// saved as ".MT1" and CSV, the file opened again into a file window with the
// same records, names, colours and summary, saved again byte for byte the
// same; short and corrupt files refused with a message; failed saves keep
// the data unsaved.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>

#include "common/test_env.h"
#include "main_window/file_open.h"
#include "main_window/file_save.h"
#include "main_window/home.h"
#include "main_window/home_state.h"
#include "main_window/scrambling.h"
#include "main_window/serial_link.h"
#include "model/channel_values.h"
#include "model/cls_logger_database.h"
#include "model/data_sets.h"
#include "model/db_workspace.h"
#include "model/model_state.h"
#include "platform/cp932.h"
#include "platform/grid.h"
#include "platform/message_box.h"
#include "sequencer/file_progress.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/records_read.h"
#include "sequencer/seq_state.h"
#include "tag_data/ops_tag.h"
#include "tag_data/tag_data.h"
#include "tag_data/tag_data_files.h"
#include "tag_data/tag_test_data.h"

namespace {

using mq::home_state;
using mq::link;
using mq::model;

// The reply of tag 3 (CH1 K, CH2 V with two decimals, CH4 T in use): groups
// of three records with a 7-character head and 4 closing characters.
QString tagReply() {
    const QStringList recs = {"  250  150  200131210110000" "0102", "32767-----  210131210110530" "0700",
                              "  -50  -2532766131210110700" "2120", "  300  150  199131231235959" "2001",
                              "  100   50  205140101000000" "0021"};
    QString out;
    for (int i = 0; i < recs.size(); i += 3) {
        out += QChar(0x02) + QStringLiteral("T0103,");
        for (int k = i; k < recs.size() && k < i + 3; ++k) out += recs[k];
        out += QChar(0x03) + QStringLiteral("C\r\n");
    }
    return out;
}

class TagFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        mq::test::ensureApplication();
        folder = mq::test::testFolder();
        model().user_dir = folder + QStringLiteral("/user");
        QDir().mkpath(model().user_dir + QStringLiteral("/config"));
        model().dao_workspace = std::make_shared<mq::DbWorkspace>();
        model().logger_main = std::make_shared<mq::clsLOGGER_Main>();
        mq::clsLOGGER_STATUS& st = model().logger_main->clsLOGGER_STATUS();
        mq::test::fillStatus(st);
        for (int i = 0; i < 20; ++i) {
            st.let_worker_name(i, QStringLiteral("W%1").arg(i + 1));
            st.let_Comment(i, QStringLiteral("C%1").arg(i + 1));
        }
        st.let_worker_name(0, QStringLiteral("ﾀﾅｶ"));
        st.let_Comment(1, QStringLiteral("PW&ｹﾝｻ"));
        for (int i = 1; i <= 20; ++i) {
            model().logger_main->colLOGGER_DATA().Add(QStringLiteral("L%1").arg(i, 2, 10, QLatin1Char('0')));
        }
        mq::test::fillSetting(model().logger_main->colLOGGER_DATA().Item(QStringLiteral("L03"))->clsLOGGER_SETTING(), 5);
        model().act_data_kind = 2;
        link().link_connected_flag = true;
        link().link_mode = mq::OpMode::Tag;

        home = std::make_unique<mq::HOME>();
        home->setExitStepDelay(0);
        home->Timer3()->stop();
        home->show();
        mq::HomeTargets& t = home_state().targets;
        mq::install_tag_data_targets(t);
        mq::install_tag_file_targets(t);
        const mq::FileDialogFn dialog = [this](QWidget*, const mq::FileDialogRequest& r) {
            requests.push_back(r);
            if (answers.empty()) return mq::FileDialogAnswer{};
            mq::FileDialogAnswer a = answers.front();
            answers.pop_front();
            return a;
        };
        mq::install_file_open_target(t, mq::FileOpenHooks{dialog, [](const QString&) { return false; }});
        mq::install_file_save_target(
            t, mq::FileSaveHooks{dialog, [](qint16 code) { return mq::prog_run_save(mq::tag_save_operation(code)); }});
        // The logger's reply without the line.
        mq::seq().records_read_stand_in = [](mq::Prog_Dialog& dlg, const mq::RecordsRead& read) {
            read.hand(tagReply(), 1, 2);
            dlg.exit_success();
        };
    }

    void TearDown() override {
        {
            mq::platform::ScopedMessageBoxHook no(mq::platform::MsgResult::No);
            home_state().close_reason = 1;
            home->winTable().win_all_close();
        }
        home_state().targets = mq::HomeTargets{};
        home.reset();
    }

    int slotOf(const QString& key) {
        for (int i = 0; i < mq::kWinSlots; ++i)
            if (home_state().win_key_table[i].left(3) == key) return i;
        return -1;
    }

    mq::tag_data* openLogger() {
        home->winTable().win_logger_open_tag(QStringLiteral("03"));
        QCoreApplication::processEvents();
        const int slot = slotOf(QStringLiteral("L03"));
        if (slot < 0) return nullptr;
        home_state().win_unsaved_flags[slot] = 1;
        return qobject_cast<mq::tag_data*>(home_state().win_windows[slot].data());
    }

    void activate(mq::tag_data* w) {
        home->mdiArea()->setActiveSubWindow(home->winTable().subWindowOf(w));
        QCoreApplication::processEvents();
    }

    void save(const QString& path, int filterIndex) {
        answers.push_back(mq::FileDialogAnswer{true, path, filterIndex});
        home->save_Click();
    }

    mq::tag_data* openFile(const QString& path) {
        answers.push_back(mq::FileDialogAnswer{true, path, 1});
        const int before = home->winTable().win_file_use_ct();
        home->fileopen_Click();
        QCoreApplication::processEvents();
        if (home->winTable().win_file_use_ct() <= before) return nullptr;
        return mq::tag_data::activeTagWindow();
    }

    static QStringList rowOf(mq::platform::Grid* g, int r) {
        QStringList out;
        for (int c = 0; c < g->Cols(); ++c) out << g->TextMatrix(r, c);
        return out;
    }

    mq::ModelSlot modelSlot;
    mq::LinkSlot linkSlot;
    mq::HomeSlot homeSlot;
    mq::SeqSlot seqSlot;
    QString folder;
    std::unique_ptr<mq::HOME> home;
    std::deque<mq::FileDialogAnswer> answers;
    std::vector<mq::FileDialogRequest> requests;
};

TEST_F(TagFilesTest, LoggerTagSavedAndOpenedAgainIsTheSameDataSet) {
    mq::platform::ScopedMessageBoxHook boxes;
    mq::tag_data* lw = openLogger();
    ASSERT_NE(lw, nullptr);
    mq::platform::Grid* lg = lw->vsFlexGrid1();
    ASSERT_EQ(lg->Rows(), 6);
    EXPECT_EQ(rowOf(lg, 1), (QStringList{"1", "2013/12/10 11:00:00", "      25.0", "▲   1.50", "", "      20.0",
                                         "ﾀﾅｶ     ", "PW&ｹﾝｻ  "}));
    // No worker 07's name is W7; comment 00 and worker 21 have no name.
    EXPECT_EQ(rowOf(lg, 2), (QStringList{"2", "2013/12/10 11:05:30", "     O.R.", "    ------", "", "▲   21.0",
                                         "W7      ", ""}));
    EXPECT_EQ(rowOf(lg, 3), (QStringList{"3", "2013/12/10 11:07:00", "▼   -5.0", "▼  -0.25", "", "     U.R.", "",
                                         "C20     "}));
    EXPECT_EQ(lg->TextMatrix(4, 2), QStringLiteral("▲   30.0"));
    EXPECT_EQ(lg->TextMatrix(4, 3), QStringLiteral("▲   1.50"));
    EXPECT_EQ(lg->TextMatrix(5, 2), QStringLiteral("      10.0"));
    // Alarms of CH1: -20.0 / 100.0, of CH4: 0 not set / 350.0: nothing crosses them.
    EXPECT_EQ(lw->MSFlexGrid2()->TextMatrix(1, 1), QStringLiteral(" 30.0"));
    EXPECT_EQ(lw->MSFlexGrid2()->TextMatrix(2, 1), QStringLiteral(" -5.0"));
    EXPECT_EQ(lw->MSFlexGrid2()->TextMatrix(3, 1), QStringLiteral(" 15.0"));   // 60.0 / 4
    EXPECT_EQ(lw->MSFlexGrid2()->TextMatrix(3, 2), QStringLiteral(" 0.81"));   // 3.25 / 4 = 0.8125
    EXPECT_EQ(lw->MSFlexGrid2()->TextMatrix(1, 3), QString());
    EXPECT_EQ(lw->MSFlexGrid2()->TextMatrix(3, 4), QStringLiteral(" 20.4"));   // 81.4 / 4 = 20.35

    const QString first = folder + QStringLiteral("/tag3.MT1");
    save(first, 1);
    ASSERT_EQ(requests.back().proposedName, QStringLiteral("TAG_12101100"));
    EXPECT_EQ(home_state().win_unsaved_flags[size_t(slotOf(QStringLiteral("L03")))], 2);
    const QByteArray written = mq::test::readAll(first);
    ASSERT_EQ(written.size(), 22 + 184 + 5 * 57 + 72);
    const QString csvLogger = folder + QStringLiteral("/logger.CSV");
    save(csvLogger, 2);

    mq::tag_data* fw = openFile(first);
    ASSERT_NE(fw, nullptr);
    EXPECT_TRUE(fw->Tag().startsWith(QLatin1Char('F')));
    EXPECT_EQ(fw->Label4()->text(), QStringLiteral("PWﾀｸﾞ   "));
    mq::platform::Grid* fg = fw->vsFlexGrid1();
    ASSERT_EQ(fg->Rows(), lg->Rows());
    // The file holds 8 blanks where a logger record has no worker or comment,
    // and the file window shows what the file holds.
    for (int r = 0; r < lg->Rows(); ++r) {
        QStringList want = rowOf(lg, r);
        for (int c : {6, 7})
            if (r > 0 && want[c].isEmpty()) want[c] = QString(8, u' ');
        EXPECT_EQ(rowOf(fg, r), want) << r;
        for (int c = 2; c <= 5; ++c) EXPECT_EQ(fg->foreColorAt(r, c), lg->foreColorAt(r, c)) << r << "/" << c;
    }
    for (int r = 0; r < 4; ++r) EXPECT_EQ(rowOf(fw->MSFlexGrid2(), r), rowOf(lw->MSFlexGrid2(), r)) << r;

    // Saved from the file window, the file and the export are the same bytes.
    const QString second = folder + QStringLiteral("/again.mt1");
    save(second, 1);
    EXPECT_EQ(mq::test::readAll(second), written);
    const QString csvFile = folder + QStringLiteral("/file.csv");
    save(csvFile, 2);
    EXPECT_TRUE(mq::test::readAll(csvLogger).contains("13/12/10 11:05:30,  O.R.,------,      ,  21.0,W7      ,\r\n"));
    EXPECT_TRUE(mq::test::readAll(csvFile).contains("13/12/10 11:05:30,  O.R.,------,      ,  21.0,W7      ,        \r\n"));
    EXPECT_TRUE(boxes.records().empty());
}

TEST_F(TagFilesTest, SavingIntoAFolderThatIsNotThereKeepsTheDataUnsaved) {
    mq::platform::ScopedMessageBoxHook boxes;
    ASSERT_NE(openLogger(), nullptr);
    home_state().close_cancel_flag = false;
    save(folder + QStringLiteral("/no/such/folder/x.mt1"), 1);
    EXPECT_EQ(home_state().win_unsaved_flags[size_t(slotOf(QStringLiteral("L03")))], 1);
    EXPECT_TRUE(home_state().close_cancel_flag);
    ASSERT_EQ(boxes.records().size(), 1u);
    EXPECT_EQ(boxes.records()[0].icon, mq::platform::MsgIcon::Exclamation);
}

TEST_F(TagFilesTest, ACorruptFileIsRefusedWithAMessageAndItsWindowCloses) {
    // A file whose record count claims more records than it holds.
    mq::clsLOGGER_SETTING s;
    mq::clsLOGGER_STATUS st;
    mq::test::fillStatus(st);
    mq::test::fillSetting(s, 1);
    const QString good = folder + QStringLiteral("/one.mt1");
    ASSERT_TRUE(mq::mt1_write_file(good, mq::Mt1Sources{s, st, false},
                                   mq::test::rowsOf({mq::test::row("2013/12/10 11:00:00", "25.0", "1.50", "", "20.0", "A", "B")})));
    const QByteArray bytes = mq::test::readAll(good);
    const auto patched = [&bytes](int at, const QByteArray& plain) {
        return QByteArray(bytes).replace(22 + at, plain.size(), mq::test::xor5d(plain));
    };
    const QString head = QStringLiteral("選択ファイルはタグ・データとして読み込めません。\r\n");
    const struct {
        QByteArray file;
        QString message;
    } cases[] = {
        // A record count that claims more records than the file holds.
        {patched(176, "       9"), head + QStringLiteral("データ数(9件)とファイルの長さが一致しません。")},
        // Alarm values that read as numbers but do not fit once scaled.
        {patched(128, "1.0E10"), head + QStringLiteral("ヘッダーの数値が正しくありません。")},
        {patched(152, "  2D50"), head + QStringLiteral("ヘッダーの数値が正しくありません。")},
    };
    const QString bad = folder + QStringLiteral("/bad.mt1");
    for (const auto& c : cases) {
        mq::test::writeAll(bad, c.file);
        // The message box runs for real and is answered from a timer.
        QString shown;
        auto* poll = new QTimer;
        poll->setInterval(10);
        QObject::connect(poll, &QTimer::timeout, [poll, &shown] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->text();
                poll->stop();
                poll->deleteLater();
                box->accept();
            }
        });
        poll->start();
        EXPECT_EQ(openFile(bad), nullptr);
        EXPECT_EQ(shown, c.message);
        EXPECT_EQ(home->win_all_use_ct(), 0);
        EXPECT_TRUE(home_state().data_win_init_flag);
        EXPECT_FALSE(home->toolbarButton(14)->isEnabled());
    }

    // The good file opens; a file with no records shows heads only.
    {
        mq::platform::ScopedMessageBoxHook boxes;
        mq::tag_data* w = openFile(good);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->vsFlexGrid1()->Rows(), 2);
        EXPECT_EQ(w->MSFlexGrid2()->TextMatrix(1, 1), QStringLiteral(" 25.0"));
        s.let_data_count(0);
        const QString empty = folder + QStringLiteral("/empty.mt1");
        ASSERT_TRUE(mq::mt1_write_file(empty, mq::Mt1Sources{s, st, false}, mq::test::rowsOf({})));
        mq::tag_data* e = openFile(empty);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->vsFlexGrid1()->Rows(), 1);
        EXPECT_EQ(e->MSFlexGrid2()->TextMatrix(0, 3), QStringLiteral("CH3[ ]"));
        EXPECT_EQ(e->MSFlexGrid2()->TextMatrix(0, 2), QStringLiteral("CH2[mV ]"));
        EXPECT_EQ(e->MSFlexGrid2()->TextMatrix(1, 1), QString());
        EXPECT_TRUE(boxes.records().empty());
    }
}

// Fields as a file may hold them: numbers aligned either way, range codes
// and marks, no number at all, characters beyond ASCII; values beyond the
// alarm values. The table filled during the load is the working database
// read back, and its alarms are those the alarm queries find there.
TEST_F(TagFilesTest, RecordNumbersAndCountsOfAFourDigitYearFile) {
    mq::platform::ScopedMessageBoxHook boxes;
    mq::clsLOGGER_SETTING s;
    mq::clsLOGGER_STATUS st;
    mq::test::fillStatus(st);
    mq::test::fillSetting(s, 6);
    QByteArray body = mq::mt1_header_block(mq::Mt1Sources{s, st, false});
    // Records of a date-time, four 6-byte channel fields, worker and comment of 8 bytes.
    for (const char* fields : {"2013/12/10 11:00:00|  25.0|  1.50|      |  20.0|ﾀﾅｶ     |ｹﾝｻ     ",
                               "2013/12/10 11:05:30|  O.R.|------|      |  U.R.|        |        ",
                               "2013/12/10 11:06:00| -10.0|  0.50|      |  21.0|        |        ",
                               "2013/12/10 11:07:00|150.0 |1.5   |      |3276.7|W1      |C1      ",
                               "2013/12/10 11:08:00|  ab  |-     |      |  -5.0|W2      |C2      ",
                               "2013/12/10 11:09:00|-30.0 |１２  |      |3276.6|ﾀﾅｶ     |C3      "}) {
        const QByteArray record = mq::platform::cp932::encode(QString::fromUtf8(fields).remove(u'|'));
        ASSERT_EQ(record.size(), 59) << fields;
        body += record;
    }
    body += QByteArray(72, ' ');
    const QString path = folder + QStringLiteral("/long.mt1");
    mq::test::writeAll(path, mq::test::xor5d(mq::mt1_tag_line(st)) + "\r\n" + mq::test::xor5d(body));
    mq::tag_data* w = openFile(path);
    ASSERT_NE(w, nullptr) << (boxes.records().empty() ? std::string() : boxes.records()[0].text.toStdString());
    const mq::clsLOGGER_SETTING& fs = model().act_file_data->clsLOGGER_SETTING();
    // Each value that is a number is counted, so the window shows statistics.
    EXPECT_EQ(fs.Ch_data_count(0), 4);
    EXPECT_EQ(fs.Ch_data_count(1), 3);
    EXPECT_EQ(fs.Ch_data_count(2), 0);
    EXPECT_EQ(fs.Ch_data_count(3), 3);
    mq::platform::Grid* g = w->vsFlexGrid1();
    EXPECT_EQ(g->TextMatrix(3, 0), QStringLiteral("3"));
    EXPECT_EQ(g->TextMatrix(2, 1), QStringLiteral("2013/12/10 11:05:30"));
    EXPECT_EQ(rowOf(g, 4).mid(2), (QStringList{"▲  150.0", "       1.5", "", "     O.R.", "W1      ", "C1      "}));
    EXPECT_EQ(rowOf(g, 6).mid(2), (QStringList{"▼  -30.0", "    ------", "", "     U.R.", "ﾀﾅｶ     ", "C3      "}));
    EXPECT_EQ(g->TextMatrix(5, 2), QStringLiteral("    ------"));
    EXPECT_EQ(w->MSFlexGrid2()->TextMatrix(1, 1), QStringLiteral(" 150.0"));
    EXPECT_EQ(w->MSFlexGrid2()->TextMatrix(2, 1), QStringLiteral(" -30.0"));
    EXPECT_EQ(w->MSFlexGrid2()->TextMatrix(2, 2), QStringLiteral(" 0.50"));

    std::vector<QStringList> filled;
    for (int r = 0; r < g->Rows(); ++r) filled.push_back(rowOf(g, r));
    mq::clsLOGGER_DATABASE* db = w->window_database();
    for (int ch = 0; ch < 4; ++ch) {
        const mq::AlarmLimits limits = mq::alarm_limits(fs, ch);
        int red = 0, blue = 0;
        for (int r = 1; r < g->Rows(); ++r) {
            red += g->foreColorAt(r, ch + 2) == mq::kHighAlarmColour;
            blue += g->foreColorAt(r, ch + 2) == mq::kLowAlarmColour;
        }
        EXPECT_EQ(red, fs.CH_H_ALM_NUM(ch)) << ch;
        EXPECT_EQ(blue, fs.CH_L_ALM_NUM(ch)) << ch;
        EXPECT_EQ(fs.CH_H_ALM_NUM(ch), db->CHDATA_hALM_ColorAndNum(qint16(ch + 1), limits, QStringLiteral("DATA"))) << ch;
        EXPECT_EQ(fs.CH_L_ALM_NUM(ch), db->CHDATA_LALM_ColorAndNum(qint16(ch + 1), limits, QStringLiteral("DATA"))) << ch;
    }
    // 150.0 and -30.0 on CH1; CH4's low alarm of 0.0 goes into the file as not set.
    EXPECT_EQ(fs.CH_H_ALM_NUM(0) + fs.CH_L_ALM_NUM(0) + fs.CH_L_ALM_NUM(3), 2);
    w->refresh_Data1();
    for (int r = 1; r < g->Rows(); ++r) EXPECT_EQ(rowOf(g, r), filled[size_t(r)]) << r;
}

}  // namespace

namespace {

TEST_F(TagFilesTest, ClosePromptAsksOnlyForUnsavedLoggerData) {
    struct Case {
        const char* what;
        bool closing;                          // the main window closes everything
        std::vector<mq::platform::MsgResult> answers;
        bool stays;
        mq::platform::MsgButtons buttons;
    };
    const Case cases[] = {
        {"cancel keeps it", false, {mq::platform::MsgResult::Cancel}, true, mq::platform::MsgButtons::YesNoCancel},
        {"no closes it", false, {mq::platform::MsgResult::No}, false, mq::platform::MsgButtons::YesNoCancel},
        {"yes with the save abandoned keeps it", false, {mq::platform::MsgResult::Yes}, true,
         mq::platform::MsgButtons::YesNoCancel},
        {"while all close: yes and no only", true, {mq::platform::MsgResult::No}, false, mq::platform::MsgButtons::YesNo},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        mq::tag_data* w = openLogger();
        ASSERT_NE(w, nullptr);
        mq::platform::ScopedMessageBoxHook boxes(c.answers);
        home_state().app_closing_flag = c.closing;
        home_state().close_result = false;
        answers.push_back(mq::FileDialogAnswer{});  // the save dialog, if asked, is cancelled
        home->winTable().subWindowOf(w)->close();
        QCoreApplication::processEvents();
        home_state().app_closing_flag = false;
        answers.clear();
        ASSERT_GE(boxes.records().size(), 1u);
        EXPECT_EQ(boxes.records()[0].text, QStringLiteral("新規ファイルTAG03を保存しますか？"));
        EXPECT_EQ(boxes.records()[0].title, QStringLiteral("ウインドウを閉じる"));
        EXPECT_EQ(boxes.records()[0].buttons, c.buttons);
        EXPECT_EQ(slotOf(QStringLiteral("L03")) >= 0, c.stays);
        if (c.stays) {
            home_state().close_reason = 1;
            home->winTable().win_logger_close(QStringLiteral("03"));
            home_state().close_reason = 0;
        }
        ASSERT_EQ(slotOf(QStringLiteral("L03")), -1);
    }

    // A saved logger window and a file window close without a question.
    mq::platform::ScopedMessageBoxHook boxes;
    mq::tag_data* w = openLogger();
    const QString path = folder + QStringLiteral("/closing.mt1");
    save(path, 1);
    home->winTable().subWindowOf(w)->close();
    mq::tag_data* f = openFile(path);
    ASSERT_NE(f, nullptr);
    home->winTable().subWindowOf(f)->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(home->win_all_use_ct(), 0);
    EXPECT_TRUE(boxes.records().empty());
}

TEST_F(TagFilesTest, TheWindowNeverGrowsBeyondItsCap) {
    mq::tag_data* w = openLogger();
    ASSERT_NE(w, nullptr);
    QMdiSubWindow* sub = home->winTable().subWindowOf(w);
    const int capW = 9930 * w->logicalDpiX() / 1440;
    const int capH = 4900 * w->logicalDpiY() / 1440;
    sub->resize(capW + 200, capH + 100);
    QCoreApplication::processEvents();
    EXPECT_EQ(sub->width(), capW);
    EXPECT_EQ(sub->height(), capH);
    sub->resize(capW - 50, capH - 60);
    QCoreApplication::processEvents();
    EXPECT_EQ(sub->size(), QSize(capW - 50, capH - 60));
    EXPECT_TRUE(home->toolbarButton(14)->isEnabled());
}

}  // namespace
