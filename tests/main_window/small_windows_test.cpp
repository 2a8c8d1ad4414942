#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "common/test_env.h"
#include "main_window/home_state.h"
#include "main_window/serial_link.h"
#include "main_window/small_windows.h"
#include "platform/message_box.h"

namespace mq::test {
namespace {

using platform::ScopedMessageBoxHook;

class SmallWindowsTest : public ::testing::Test {
protected:
    void SetUp() override { ensureApplication(); }

    // Presses a button of the modal dialog of type T as soon as it shows.
    template <class T>
    void pressWhenShown(QPushButton* T::*button) {
        QTimer::singleShot(0, [button] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* d = qobject_cast<T*>(w); d && d->isVisible()) {
                    (d->*button)->click();
                    return;
                }
            }
        });
    }

    LinkSlot linkSlot;
    HomeSlot homeSlot;
};

// ---------------------------------------------------------------- version box

TEST_F(SmallWindowsTest, VersionBoxWithoutALoggerShowsBlanksAndPoints) {
    Ver_Dialog box;
    EXPECT_EQ(box.windowTitle(), QStringLiteral("バージョン情報"));
    EXPECT_EQ(box.Label10->text(), QStringLiteral("マロウクイルデータ読み取りソフトウェア"));
    EXPECT_EQ(box.Label1->text(), QStringLiteral("Ver 5.00"));
    EXPECT_EQ(box.Label2->text(), QStringLiteral("2013/12/03"));
    EXPECT_EQ(box.Label12->text(), QStringLiteral("対応機種："));
    EXPECT_EQ(box.Label3->text(), QStringLiteral("ZK4409,ZK4409-M,ZK4409-U,ZK4409-MU"));
    EXPECT_EQ(box.Label7->text().trimmed(), QString());
    EXPECT_EQ(box.Label8->text().trimmed(), QString());
    EXPECT_EQ(box.Label9->text(), QStringLiteral("  .  .  "));
    EXPECT_EQ(box.OKButton->text(), QStringLiteral("OK"));
    EXPECT_EQ(box.OKButton->toolTip(), QStringLiteral("ﾎｰﾑ画面に戻ります"));
}

TEST_F(SmallWindowsTest, VersionBoxShowsTheConnectedLogger) {
    LinkState& ls = link();
    ls.link_model_text = QStringLiteral("ZK4409-MU       ");
    ls.link_serial_text = QStringLiteral("12345678");
    ls.link_hard_ver_text = QStringLiteral("01");
    ls.link_soft_ver_text = QStringLiteral("23");
    ls.link_special_spec_text = QStringLiteral("00");
    Ver_Dialog box;
    EXPECT_EQ(box.Label7->text(), ls.link_model_text);
    EXPECT_EQ(box.Label8->text(), QStringLiteral("12345678"));
    EXPECT_EQ(box.Label9->text(), QStringLiteral("01.23.00"));
    pressWhenShown<Ver_Dialog>(&Ver_Dialog::OKButton);
    EXPECT_EQ(box.exec(), QDialog::Accepted);
}

// ---------------------------------------------------------------- exit window

TEST_F(SmallWindowsTest, ExitWindowFreesTheTablesInStepsAndCloses) {
    LinkState& ls = link();
    ls.cmd_s_req[0] = QStringLiteral("S00");
    ls.rx_buffer = QByteArray(100, 'x');
    HomeState& hs = home_state();
    hs.win_key_table[0] = QStringLiteral("L01");
    hs.area_window_flags[1] = true;
    int extra = 0;
    hs.targets.commands[HomeCommand::FreeLogWorkTables] = [&] { ++extra; };

    end_wait box(nullptr, 0);
    EXPECT_EQ(box.windowTitle(), QStringLiteral("マロウクイル"));
    EXPECT_EQ(box.exec(), QDialog::Accepted);
    QList<int> expected;
    for (int v = 1; v <= 100; ++v) expected.append(v);
    EXPECT_EQ(box.progressHistory(), expected);
    EXPECT_EQ(box.ProgressBar1->maximum(), 100);
    EXPECT_TRUE(ls.cmd_s_req[0].isEmpty());
    EXPECT_TRUE(ls.rx_buffer.isEmpty());
    EXPECT_TRUE(hs.win_key_table[0].isEmpty());
    EXPECT_FALSE(hs.area_window_flags[1]);
    EXPECT_EQ(extra, 1);
}

// ---------------------------------------------------------------- graph preparation

TEST_F(SmallWindowsTest, GraphPreparationBarFollowsRangeAndChannels) {
    EXPECT_EQ(fGrready::progress_maximum(0, 1000, {1, 0, 1, 0}), 200);
    EXPECT_EQ(fGrready::progress_maximum(500, 1500, {1, 1, 1, 1}), 400);
    EXPECT_EQ(fGrready::progress_maximum(0, 1000, {0, 0, 0, 0}), 0);
    EXPECT_EQ(fGrready::progress_maximum(0, 1003, {1, 1, 0, 0}), 201);  // 200.6 rounds
    EXPECT_EQ(fGrready::progress_maximum(0, 5, {1, 0, 0, 0}), 0);      // 0.5 rounds to even
    // Only a flag of exactly 1 counts as present.
    EXPECT_EQ(fGrready::progress_maximum(0, 100, {2, 1, 0, 0}), 10);
    fGrready w(0, 1000, {1, 0, 1, 0});
    EXPECT_EQ(w.windowTitle(), QStringLiteral("ｸﾞﾗﾌ描画準備中"));
    EXPECT_EQ(w.ProgressBar1->maximum(), 200);
    EXPECT_EQ(w.ProgressBar1->value(), 0);
}

// ---------------------------------------------------------------- printer choice

TEST_F(SmallWindowsTest, PrinterChoiceSelectsTheCurrentPrinter) {
    TestForm form({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("A"), QStringLiteral("C")},
                  QStringLiteral("A"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("プリンタの設定"));
    EXPECT_EQ(form.Label1->text(), QStringLiteral("現在のプリンタ　：A"));
    EXPECT_EQ(form.Combo1->count(), 4);
    EXPECT_EQ(form.Combo1->currentIndex(), 2);  // the last entry of a repeated name
    EXPECT_EQ(form.Command1->text(), QStringLiteral("OK"));
    EXPECT_EQ(form.Command2->text(), QStringLiteral("Cancel"));
}

TEST_F(SmallWindowsTest, PrinterChoiceOkMakesTheChosenPrinterCurrent) {
    home_state().current_printer = QStringLiteral("B");
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* f = qobject_cast<TestForm*>(w); f && f->isVisible()) {
                f->Combo1->setCurrentIndex(2);
                f->Command1->click();
            }
        }
    });
    EXPECT_TRUE(show_printer_choice(nullptr, {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")},
                                    QStringLiteral("A")));
    EXPECT_TRUE(home_state().printer_choice_ok);
    EXPECT_EQ(home_state().current_printer, QStringLiteral("C"));
}

TEST_F(SmallWindowsTest, PrinterChoiceCancelledLeavesThePrinterUnchanged) {
    home_state().current_printer = QStringLiteral("B");
    home_state().printer_choice_ok = true;
    pressWhenShown<TestForm>(&TestForm::Command2);
    EXPECT_FALSE(show_printer_choice(nullptr, {QStringLiteral("A"), QStringLiteral("B")}, QStringLiteral("A")));
    EXPECT_FALSE(home_state().printer_choice_ok);
    EXPECT_EQ(home_state().current_printer, QStringLiteral("B"));
}

TEST_F(SmallWindowsTest, PrinterChoiceStartsFromTheSystemDefault) {
    QString shownLabel;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* f = qobject_cast<TestForm*>(w); f && f->isVisible()) {
                shownLabel = f->Label1->text();
                f->Command2->click();
            }
        }
    });
    show_printer_choice(nullptr, {QStringLiteral("A"), QStringLiteral("B")}, QStringLiteral("B"));
    EXPECT_EQ(shownLabel, QStringLiteral("現在のプリンタ　：B"));
}

TEST_F(SmallWindowsTest, NoPrinterMeansAMessageAndNoChoice) {
    home_state().printer_choice_ok = true;
    ScopedMessageBoxHook box;
    EXPECT_FALSE(show_printer_choice(nullptr, {}, QString()));
    ASSERT_EQ(box.records().size(), 1u);
    EXPECT_EQ(box.records()[0].text, QStringLiteral("プリンターが見つかりません。"));
    EXPECT_EQ(box.records()[0].icon, platform::MsgIcon::Exclamation);
    EXPECT_EQ(box.records()[0].title, QStringLiteral("マロウクイル"));
    EXPECT_FALSE(home_state().printer_choice_ok);
}

TEST_F(SmallWindowsTest, ThePdfFilePrinterComesLastAndAsksForTheFileName) {
    const QStringList list = printer_choice_list();
    ASSERT_FALSE(list.isEmpty());
    EXPECT_EQ(list.last(), pdf_file_printer_name());
    EXPECT_EQ(list.mid(0, list.size() - 1), installed_printers());

    struct Case {
        QString current;  // the chosen printer
        FileDialogAnswer answer;
        bool expectedOk;
        bool expectedAsked;
        QString expectedFile;
    };
    const Case cases[] = {
        {pdf_file_printer_name(), {true, QStringLiteral("/tmp/out.pdf"), 1}, true, true, QStringLiteral("/tmp/out.pdf")},
        {pdf_file_printer_name(), {true, QStringLiteral("/tmp/out"), 1}, true, true,
         QStringLiteral("/tmp/out.pdf")},  // the extension is added
        {pdf_file_printer_name(), {}, false, true, QString()},  // cancelled
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.current.toStdString() + " " + c.answer.path.toStdString());
        home_state().current_printer = c.current;
        QPrinter printer;
        std::vector<FileDialogRequest> asked;
        const bool ok = prepare_chosen_printer(printer, nullptr, [&](QWidget*, const FileDialogRequest& r) {
            asked.push_back(r);
            return c.answer;
        });
        EXPECT_EQ(ok, c.expectedOk);
        ASSERT_EQ(asked.size(), c.expectedAsked ? 1u : 0u);
        if (c.expectedAsked) {
            EXPECT_TRUE(asked[0].save);
            EXPECT_EQ(asked[0].filters, QStringList{QStringLiteral("PDF ファイル (*.pdf)")});
        }
        if (!ok) continue;
        EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
        EXPECT_EQ(printer.outputFileName(), c.expectedFile);
    }
    // A system printer is used by its name, without a question.
    if (!installed_printers().isEmpty()) {
        home_state().current_printer = installed_printers().first();
        QPrinter printer;
        int asked = 0;
        EXPECT_TRUE(prepare_chosen_printer(printer, nullptr, [&](QWidget*, const FileDialogRequest&) {
            ++asked;
            return FileDialogAnswer{};
        }));
        EXPECT_EQ(asked, 0);
        EXPECT_EQ(printer.printerName(), installed_printers().first());
    }
}

}  // namespace
}  // namespace mq::test
