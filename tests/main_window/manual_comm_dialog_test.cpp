#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>

#include <memory>

#include "common/test_env.h"
#include "logger_sim/logger_sim.h"
#include "main_window/config_files.h"
#include "main_window/manual_comm_dialog.h"
#include "main_window/serial_link.h"
#include "model/model_state.h"
#include "platform/help.h"
#include "platform/message_box.h"
#include "platform/serial_port.h"

namespace mq::test {
namespace {

using platform::MsgIcon;
using platform::ScopedMessageBoxHook;

class ManualCommDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        model().user_dir = dataHome() + QStringLiteral("/KORVA/Marrowquill4");
        QDir().mkpath(user_config_dir(model().user_dir));
        writeCommSet(" 1 \r\n 9600 \r\n");
        sim = std::make_unique<logger_sim::Simulator>(configDir(), logger_sim::defaultScenario());
        ASSERT_TRUE(sim->start()) << sim->lastError().toStdString();
        // COM1 nothing, COM2 the logger, COM3 a device path that does not exist.
        qputenv("MARROWQUILL_PORTS",
                (QStringLiteral(":") + sim->devicePath() + QStringLiteral(":/nonexistent/ttyX")).toLocal8Bit());
    }

    void TearDown() override { qunsetenv("MARROWQUILL_PORTS"); }

    void writeCommSet(const QByteArray& bytes) {
        QFile f(comm_set_path(model().user_dir));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray commSet() const {
        QFile f(comm_set_path(model().user_dir));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    std::unique_ptr<Manual_comm_Dialog1> open(qint16 port, qint32 baud) {
        link().comm_port_no = port;
        link().comm_baud_rate = baud;
        auto dlg = std::make_unique<Manual_comm_Dialog1>();
        dlg->show();
        return dlg;
    }

    ModelSlot modelSlot;
    LinkSlot linkSlot;
    std::unique_ptr<logger_sim::Simulator> sim;
};

TEST_F(ManualCommDialogTest, ListsSixteenPortsWithTheirDevicesAndSelectsTheCurrentOne) {
    auto dlg = open(2, 9600);
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("手動ポート設定"));
    ASSERT_EQ(dlg->Combo1->count(), 16);
    EXPECT_EQ(dlg->Combo1->itemText(0), QStringLiteral("1"));
    EXPECT_EQ(dlg->Combo1->itemText(1), QStringLiteral("2  (") + sim->devicePath() + QStringLiteral(")"));
    EXPECT_EQ(dlg->Combo1->itemText(2), QStringLiteral("3  (/nonexistent/ttyX)"));
    EXPECT_EQ(dlg->Combo1->itemText(15), QStringLiteral("16"));
    EXPECT_EQ(dlg->Combo1->currentIndex(), 1);
    EXPECT_TRUE(dlg->OptComSpd1[0]->isChecked());
    EXPECT_FALSE(dlg->OptComSpd1[1]->isChecked());
}

TEST_F(ManualCommDialogTest, FastSpeedsShowUsbAndOkStores128000) {
    {
        auto dlg = open(2, 128000);
        EXPECT_TRUE(dlg->OptComSpd1[1]->isChecked());
        dlg->OKButton->click();
        EXPECT_EQ(dlg->result(), QDialog::Accepted);
        EXPECT_EQ(link().comm_baud_rate, 128000);
        EXPECT_EQ(commSet(), QByteArray(" 2 \r\n 128000 \r\n"));
    }
    {
        auto dlg = open(2, 19200);
        EXPECT_TRUE(dlg->OptComSpd1[1]->isChecked());
        EXPECT_FALSE(dlg->OptComSpd1[0]->isChecked());
        dlg->OKButton->click();
        EXPECT_EQ(link().comm_baud_rate, 128000);
        EXPECT_EQ(commSet(), QByteArray(" 2 \r\n 128000 \r\n"));
    }
}

TEST_F(ManualCommDialogTest, OkStoresTheChosenPortAndLineTypeWithoutApplyingTheSpeed) {
    link().MSComm1().setSettings(QStringLiteral("9600,e,8,1"));
    auto dlg = open(1, 9600);
    dlg->Combo1->setCurrentIndex(1);
    dlg->OptComSpd1[1]->setChecked(true);
    dlg->OKButton->click();
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(link().comm_port_no, 2);
    EXPECT_EQ(link().comm_baud_rate, 128000);
    EXPECT_EQ(commSet(), QByteArray(" 2 \r\n 128000 \r\n"));
    // The port was opened for the check and closed again; the speed waits for the next connection.
    EXPECT_FALSE(link().MSComm1().isOpen());
    EXPECT_EQ(link().MSComm1().settings(), QStringLiteral("9600,e,8,1"));

    auto again = open(2, 128000);
    again->OptComSpd1[0]->setChecked(true);
    again->OKButton->click();
    EXPECT_EQ(link().comm_baud_rate, 9600);
    EXPECT_EQ(commSet(), QByteArray(" 2 \r\n 9600 \r\n"));
}

TEST_F(ManualCommDialogTest, PortHeldByAnotherOpenIsRefusedAndNothingChanges) {
    platform::SerialPort holder;
    holder.setPortNumber(2);
    ASSERT_EQ(holder.open(), platform::SerialPort::OpenResult::Ok);

    auto dlg = open(1, 9600);
    dlg->Combo1->setCurrentIndex(1);
    ScopedMessageBoxHook box;
    dlg->OKButton->click();

    ASSERT_EQ(box.records().size(), 1u);
    EXPECT_EQ(box.records()[0].text, QStringLiteral("使用中のポートです。"));
    EXPECT_EQ(box.records()[0].title, QStringLiteral("マロウクイル"));
    EXPECT_EQ(box.records()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(box.records()[0].buttons, platform::MsgButtons::OK);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->Combo1->currentIndex(), 0);
    EXPECT_EQ(link().comm_port_no, 1);
    EXPECT_EQ(link().MSComm1().portNumber(), 1);
    EXPECT_EQ(commSet(), QByteArray(" 1 \r\n 9600 \r\n"));
    EXPECT_TRUE(holder.isOpen());

    // Once the port is free the same choice goes through.
    holder.close();
    dlg->Combo1->setCurrentIndex(1);
    dlg->OKButton->click();
    EXPECT_EQ(link().comm_port_no, 2);
    EXPECT_EQ(box.records().size(), 1u);
}

TEST_F(ManualCommDialogTest, ThePortOfTheProgramsOwnOpenLinkIsBusy) {
    link().MSComm1().setPortNumber(2);
    ASSERT_EQ(link().MSComm1().open(), platform::SerialPort::OpenResult::Ok);
    auto dlg = open(2, 9600);
    ScopedMessageBoxHook box;
    dlg->Combo1->setCurrentIndex(2);  // another port: the open link cannot change its number
    dlg->OKButton->click();
    EXPECT_EQ(box.texts(), std::vector<QString>{QStringLiteral("使用中のポートです。")});
    dlg->Combo1->setCurrentIndex(1);  // its own port
    dlg->OKButton->click();
    EXPECT_EQ(box.records().size(), 2u);
    EXPECT_EQ(link().comm_port_no, 2);
    EXPECT_EQ(commSet(), QByteArray(" 1 \r\n 9600 \r\n"));
    // The check never closes a port it did not open.
    EXPECT_TRUE(link().MSComm1().isOpen());
    link().MSComm1().close();
}

TEST_F(ManualCommDialogTest, PortWithoutADeviceIsStoredAsChosen) {
    for (int index : {0, 2, 15}) {
        auto dlg = open(2, 9600);
        ScopedMessageBoxHook box;
        dlg->Combo1->setCurrentIndex(index);
        dlg->OKButton->click();
        EXPECT_TRUE(box.records().empty()) << index;
        EXPECT_EQ(dlg->result(), QDialog::Accepted) << index;
        EXPECT_EQ(link().comm_port_no, index + 1);
    }
    EXPECT_EQ(commSet(), QByteArray(" 16 \r\n 9600 \r\n"));
}

TEST_F(ManualCommDialogTest, NoSelectionMeansPortOne) {
    auto dlg = open(2, 9600);
    dlg->Combo1->setCurrentIndex(-1);
    dlg->OKButton->click();
    EXPECT_EQ(link().comm_port_no, 1);
    EXPECT_EQ(dlg->Combo1->currentIndex(), 0);
}

TEST_F(ManualCommDialogTest, CancelAfterChangesLeavesEverythingAsItWas) {
    auto dlg = open(1, 9600);
    dlg->Combo1->setCurrentIndex(1);
    dlg->OptComSpd1[1]->setChecked(true);
    dlg->CancelButton->click();
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(link().comm_port_no, 1);
    EXPECT_EQ(link().comm_baud_rate, 9600);
    EXPECT_EQ(commSet(), QByteArray(" 1 \r\n 9600 \r\n"));
    EXPECT_TRUE(sim->received().isEmpty());
}


TEST_F(ManualCommDialogTest, TheNoteBreaksBetweenItsSentencesAndStaysClearOfTheButtons) {
    auto dlg = open(1, 9600);
    QLabel* note = dlg->Label1;
    EXPECT_EQ(note->text(), QStringLiteral("設定ポートはお使いのパソコンにより異なります。    "
                                           "通信ポートをご確認の上設定してください。"));
    const QFontMetrics fm(note->font());
    const QString first = QStringLiteral("設定ポートはお使いのパソコンにより異なります。");
    const int width = note->contentsRect().width();
    // The first sentence fits whole; the second cannot start on its line.
    EXPECT_GE(width, fm.horizontalAdvance(first));
    EXPECT_LT(width, fm.horizontalAdvance(first + QStringLiteral("    通")));
    EXPECT_GE(width, fm.horizontalAdvance(QStringLiteral("通信ポートをご確認の上設定してください。")));
    EXPECT_GE(note->height(), note->heightForWidth(note->width()));
    saveScreenshot(dlg.get(), QStringLiteral("manual_comm_dialog"));
    const int noteBottom = note->geometry().bottom();
    for (QPushButton* b : {dlg->OKButton, dlg->CancelButton, dlg->Command1}) {
        EXPECT_GE(b->geometry().top() - noteBottom, 6) << b->text().toStdString();
    }
}

TEST_F(ManualCommDialogTest, HelpOpensAtItsTopicWhileTheDialogIsModal) {
    model().help_file = QStringLiteral(MQ_SOURCE_DIR "/help");
    link().comm_port_no = 1;
    link().comm_baud_rate = 9600;
    Manual_comm_Dialog1 dlg;
    QString page;
    bool shown = false;
    QTimer::singleShot(0, [&] {
        QTest::mouseClick(dlg.Command1, Qt::LeftButton);
        if (platform::HelpWindow* h = platform::helpWindowOf(&dlg)) {
            page = h->currentPage();
            shown = h->isVisible();
        }
        dlg.reject();
    });
    ScopedMessageBoxHook box(platform::MsgResult::OK);
    dlg.exec();
    EXPECT_TRUE(box.records().empty());
    EXPECT_TRUE(shown);
    EXPECT_EQ(page, model().help_file + QStringLiteral("/33002.html"));
}

}  // namespace
}  // namespace mq::test
