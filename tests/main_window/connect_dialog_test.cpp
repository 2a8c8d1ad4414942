#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <memory>
#include <utility>
#include <vector>

#include "common/test_env.h"
#include "logger_sim/logger_sim.h"
#include "main_window/command_files.h"
#include "main_window/config_files.h"
#include "main_window/connect_command.h"
#include "main_window/connect_dialog.h"
#include "main_window/home_state.h"
#include "main_window/identity_check.h"
#include "main_window/serial_link.h"
#include "model/model_state.h"
#include "platform/serial_port.h"

namespace mq::test {
namespace {

class ConnectDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        model().user_dir = dataHome() + QStringLiteral("/KORVA/Marrowquill4");
        QDir().mkpath(user_config_dir(model().user_dir));
        QFile::remove(comm_set_path(model().user_dir));
        ASSERT_TRUE(cmd_table_load(configDir()));
    }

    void TearDown() override { qunsetenv("MARROWQUILL_PORTS"); }

    // A simulated logger on a pseudo-terminal.
    logger_sim::Simulator& startLogger() {
        sim = std::make_unique<logger_sim::Simulator>(configDir(), logger_sim::defaultScenario());
        EXPECT_TRUE(sim->start()) << sim->lastError().toStdString();
        return *sim;
    }

    // COM n is entry n - 1 of the list; an empty entry has no device.
    void setPorts(const QStringList& devices) { qputenv("MARROWQUILL_PORTS", devices.join(u':').toLocal8Bit()); }

    // A dialog loaded with a message number, shown without blocking.
    std::unique_ptr<Dialog> open(const QString& state) {
        home_state().dialog_state = state;
        auto dlg = std::make_unique<Dialog>();
        dlg->setPortPauseMs(0);
        dlg->show();
        return dlg;
    }

    ModelSlot modelSlot;
    LinkSlot linkSlot;
    HomeSlot homeSlot;
    ConnectionSlot connectionSlot;
    std::unique_ptr<logger_sim::Simulator> sim;
};

// ---------------------------------------------------------------- messages

TEST_F(ConnectDialogTest, EveryMessageNumberHasItsTextAndOnlyConfirmationsCloseByThemselves) {
    struct Row {
        const char* state;
        const char16_t* text;
        bool autoClose;
    };
    const Row rows[] = {
        {"10", u"ロガーとパソコンの接続を確認しＯＫを押して下さい。", false},
        {"20", u"ロガーとの接続に失敗しました。", false},
        {"25", u"ロガーとの接続を確認しました。", true},
        {"30", u"異なるロガーとの接続を確認しました。", true},
        {"32", u"ロガーとの再接続を確認しました。", true},
        {"35", u"動作モード（ログ／タグ／メモリ）が変更されました。", false},
        {"40", u"ロガーと接続状態にありません。\u3000ロガー接続を行って下さい。", false},
        {"90", u"ロガーとの接続が失われました。", true},
        {"95", u"異なるロガーとの接続を確認しました。\u3000ロガー接続を行って下さい。", false},
        {"100", u"ロガーとの接続処理は無効となります。以前の状態を維持します。", false},
    };
    for (const Row& r : rows) {
        auto dlg = open(QString::fromLatin1(r.state));
        EXPECT_EQ(dlg->windowTitle(), QStringLiteral("マロウクイル")) << r.state;
        EXPECT_EQ(dlg->Label1->text(), QString::fromUtf16(r.text)) << r.state;
        EXPECT_TRUE(dlg->Label2->text().isEmpty()) << r.state;
        EXPECT_EQ(dlg->Timer1->isActive(), r.autoClose) << r.state;
        EXPECT_EQ(dlg->Timer1->interval(), 2000);
        EXPECT_TRUE(dlg->OKButton->isEnabled()) << r.state;
    }
    for (const char* other : {"0", "", "11", "9"}) {
        auto dlg = open(QString::fromLatin1(other));
        EXPECT_TRUE(dlg->windowTitle().isEmpty()) << other;
        EXPECT_TRUE(dlg->Label1->text().isEmpty()) << other;
        EXPECT_FALSE(dlg->Timer1->isActive()) << other;
    }
}

TEST_F(ConnectDialogTest, ConfirmationClosesAfterTwoSecondsWithoutAKey) {
    home_state().dialog_state = QStringLiteral("25");
    QElapsedTimer t;
    t.start();
    Dialog dlg;
    dlg.exec();
    EXPECT_GE(t.elapsed(), 1990);  // not before its two seconds
    EXPECT_FALSE(dlg.Timer1->isActive());
}

TEST_F(ConnectDialogTest, FailureMessageWaitsForOk) {
    home_state().dialog_state = QStringLiteral("20");
    Dialog dlg;
    // Shown, it has no timer that could close it: only OK does.
    bool shownWithoutTimer = false;
    QTimer::singleShot(0, &dlg, [&] {
        shownWithoutTimer = dlg.isVisible() && !dlg.Timer1->isActive();
        dlg.OKButton->click();
    });
    dlg.exec();
    EXPECT_TRUE(shownWithoutTimer);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

TEST_F(ConnectDialogTest, TheMainWindowsHookShowsTheLostLinkMessageThatClosesByItself) {
    HomeTargets targets;
    install_connect_targets(targets);
    targets.comm_dialog(QStringLiteral("90"));  // returns without a key
    EXPECT_EQ(home_state().dialog_state, QStringLiteral("90"));
}

TEST_F(ConnectDialogTest, OkWithAnyOtherNumberOnlyCloses) {
    link().comm_port_no = 4;
    link().comm_baud_rate = 19200;
    for (const char* state : {"20", "35", "0", "100"}) {
        int probes = 0;
        auto dlg = open(QString::fromLatin1(state));
        QObject::connect(dlg.get(), &Dialog::portProbe, [&] { ++probes; });
        dlg->OKButton->click();
        EXPECT_FALSE(dlg->isVisible()) << state;
        EXPECT_EQ(probes, 0) << state;
    }
    EXPECT_EQ(link().comm_port_no, 4);
    EXPECT_EQ(link().comm_baud_rate, 19200);
    EXPECT_FALSE(QFile::exists(comm_set_path(model().user_dir)));
}

// ---------------------------------------------------------------- port search

TEST_F(ConnectDialogTest, SearchFindsTheLoggerOnAnotherComNumberAtTheFirstSpeed) {
    startLogger();
    setPorts({QString(), QString(), sim->devicePath()});
    link().comm_port_no = 1;
    link().comm_baud_rate = 9600;

    auto dlg = open(QStringLiteral("10"));
    std::vector<std::pair<qint16, qint32>> probes;
    QObject::connect(dlg.get(), &Dialog::portProbe, [&](qint16 p, qint32 b) { probes.emplace_back(p, b); });
    bool ended = false, found = false;
    QObject::connect(dlg.get(), &Dialog::searchEnded, [&](bool f) { ended = true, found = f; });
    dlg->OKButton->click();

    ASSERT_TRUE(ended);
    EXPECT_TRUE(found);
    const std::vector<std::pair<qint16, qint32>> expected = {{1, 128000}, {2, 128000}, {3, 128000}};
    EXPECT_EQ(probes, expected);
    EXPECT_EQ(link().comm_port_no, 3);
    EXPECT_EQ(link().comm_baud_rate, 128000);
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("自動設定結果（成功）"));
    EXPECT_EQ(dlg->Label1->text(), QStringLiteral("使用可能なポートが検出されました。 (COM 3)\r\n/// USB ///"));
    EXPECT_TRUE(dlg->Label2->text().isEmpty());
    EXPECT_TRUE(dlg->OKButton->isEnabled());
    EXPECT_EQ(home_state().dialog_state, QStringLiteral("0"));
    EXPECT_EQ(mq::test::readAll(comm_set_path(model().user_dir)), QByteArray(" 3 \r\n 128000 \r\n"));
    // Exactly one probe reached the logger: the identity-probe record.
    ASSERT_EQ(sim->received().size(), 1);
    EXPECT_EQ(QString::fromLatin1(sim->received().at(0)), link().cmd_s_req[1]);
    EXPECT_EQ(link().MSComm1().settings(), QStringLiteral("128000,e,8,1"));

    // The window stays until OK, which now closes it.
    EXPECT_TRUE(dlg->isVisible());
    dlg->OKButton->click();
    EXPECT_FALSE(dlg->isVisible());
}

TEST_F(ConnectDialogTest, LoggerAnsweringOnlyAt9600IsFoundAfterBothFastSpeedsFailed) {
    startLogger();
    setPorts({QString(), QString(), sim->devicePath()});
    // A pseudo-terminal has no speed: the logger keeps silent at every speed but 9600.
    auto dlg = open(QStringLiteral("10"));
    int probes = 0;
    QObject::connect(dlg.get(), &Dialog::portProbe, [&](qint16, qint32 baud) {
        ++probes;
        sim->setFault(baud == 9600 ? logger_sim::Fault::None : logger_sim::Fault::Silence);
    });
    dlg->OKButton->click();

    EXPECT_EQ(probes, 16 + 16 + 3);
    EXPECT_EQ(link().comm_port_no, 3);
    EXPECT_EQ(link().comm_baud_rate, 9600);
    EXPECT_EQ(dlg->Label1->text(), QStringLiteral("使用可能なポートが検出されました。 (COM 3)\r\n/// RS-232C ///"));
    EXPECT_EQ(mq::test::readAll(comm_set_path(model().user_dir)), QByteArray(" 3 \r\n 9600 \r\n"));
}

TEST_F(ConnectDialogTest, FailedSearchPutsBackThePortAndSpeedInForceBefore) {
    setPorts({QStringLiteral("/nonexistent/tty-a"), QStringLiteral("/nonexistent/tty-b")});
    QByteArray before = " 5 \r\n 19200 \r\n";
    {
        QFile f(comm_set_path(model().user_dir));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(before);
    }
    link().comm_port_no = 5;
    link().comm_baud_rate = 19200;
    comm_setting();

    auto dlg = open(QStringLiteral("10"));
    std::vector<std::pair<qint16, qint32>> probes;
    QObject::connect(dlg.get(), &Dialog::portProbe, [&](qint16 p, qint32 b) { probes.emplace_back(p, b); });
    dlg->OKButton->click();

    ASSERT_EQ(probes.size(), 48u);
    // Speeds outer, ports inner.
    EXPECT_EQ(probes.front(), (std::pair<qint16, qint32>{1, 128000}));
    EXPECT_EQ(probes[15], (std::pair<qint16, qint32>{16, 128000}));
    EXPECT_EQ(probes[16], (std::pair<qint16, qint32>{1, 19200}));
    EXPECT_EQ(probes.back(), (std::pair<qint16, qint32>{16, 9600}));

    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("自動設定結果（失敗）"));
    EXPECT_EQ(dlg->Label1->text(), QStringLiteral("COM1～COM16 全てのポートでロガーとの通信に失敗しました。"));
    EXPECT_TRUE(dlg->Label2->text().isEmpty());
    EXPECT_TRUE(dlg->OKButton->isEnabled());
    EXPECT_EQ(home_state().dialog_state, QStringLiteral("0"));
    EXPECT_EQ(link().comm_port_no, 5);
    EXPECT_EQ(link().comm_baud_rate, 19200);
    EXPECT_EQ(link().MSComm1().portNumber(), 5);
    EXPECT_EQ(link().MSComm1().settings(), QStringLiteral("19200,e,8,1"));
    EXPECT_EQ(mq::test::readAll(comm_set_path(model().user_dir)), before);

    dlg->OKButton->click();
    EXPECT_FALSE(dlg->isVisible());
}

TEST_F(ConnectDialogTest, NothingEndsARunningSearch) {
    startLogger();
    setPorts({QString(), sim->devicePath()});
    auto dlg = open(QStringLiteral("10"));
    bool okEnabledDuringSearch = true, visibleAfterTries = false;
    QString labelDuringSearch, titleDuringSearch;
    QObject::connect(dlg.get(), &Dialog::portProbe, [&](qint16 port, qint32) {
        if (port != 1) return;
        okEnabledDuringSearch = dlg->OKButton->isEnabled();
        titleDuringSearch = dlg->windowTitle();
        labelDuringSearch = dlg->Label2->text();
        dlg->reject();
        dlg->close();
        dlg->OKButton_Click();
        visibleAfterTries = dlg->isVisible();
    });
    dlg->OKButton->click();
    EXPECT_FALSE(okEnabledDuringSearch);
    EXPECT_EQ(titleDuringSearch, QStringLiteral("自動設定実行中"));
    EXPECT_EQ(labelDuringSearch, QStringLiteral("COM 1"));
    EXPECT_TRUE(visibleAfterTries);
    EXPECT_EQ(link().comm_port_no, 2);
    EXPECT_TRUE(dlg->isVisible());
}

}  // namespace
}  // namespace mq::test
