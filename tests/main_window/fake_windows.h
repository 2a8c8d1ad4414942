#pragma once
// Fake data windows and a main-window fixture for the main window's tests.
// FakeDataWindow is a data window (DataWindowBase) with an empty table that
// follows the main window's side of the close protocol: with close reason 1
// or for a file window it closes without asking; a logger window whose slot
// is unsaved asks to save it (Yes/No/Cancel, or Yes/No while the main window
// closes everything).
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <vector>

#include "common/test_env.h"
#include "main_window/data_window_base.h"
#include "main_window/home.h"
#include "main_window/home_state.h"
#include "main_window/serial_link.h"
#include "model/cls_logger_status.h"
#include "model/common_proc.h"
#include "model/data_sets.h"
#include "model/data_window.h"
#include "model/model_state.h"
#include "platform/grid.h"
#include "platform/message_box.h"

namespace mq::test {

class FakeDataWindow : public DataWindowBase {
public:
    explicit FakeDataWindow(const QString& tag) : DataWindowBase(tag), m_grid(new platform::Grid(this)) {
        m_grid->setRows(1);
        m_grid->setCols(7);
    }

    platform::Grid* vsFlexGrid1() override { return m_grid; }
    void bind_Data1(std::shared_ptr<DbRecordset>) override {}
    bool has_graph() const override { return graph; }

    // Records in the table (row 0 holds the headings).
    void setDataRows(int n) { m_grid->setRows(n + 1); }

    int closeAsked = 0;  // save questions asked
    bool closed = false;
    bool graph = true;   // TAG data has none

protected:
    // The main window's side of the close protocol is tested against a window
    // that leaves close_cancel_flag as the save left it when the user then
    // answers No, so the commands must read the flag after every window.
    void closeEvent(QCloseEvent* e) override {
        HomeState& hs = home_state();
        const bool isFile = Tag().startsWith(QLatin1Char('F'));
        int slot = -1;
        for (int i = 0; i < kWinSlots; ++i) {
            if (hs.win_key_table[i] == Tag()) slot = i;
        }
        if (hs.close_reason != 1 && !isFile && slot >= 0 && hs.win_unsaved_flags[slot] == 1) {
            ++closeAsked;
            const auto answer = platform::msgBox(
                this, QStringLiteral("新規ファイル") + Tag() + QStringLiteral("を保存しますか？"),
                hs.app_closing_flag ? platform::MsgButtons::YesNo : platform::MsgButtons::YesNoCancel,
                platform::MsgIcon::None, platform::MsgDefault::First, QStringLiteral("ウインドウを閉じる"));
            if (answer == platform::MsgResult::Cancel) {
                hs.close_cancel_flag = true;
                e->ignore();
                return;
            }
            if (answer == platform::MsgResult::Yes) {
                if (hs.targets.commands[HomeCommand::Save]) hs.targets.commands[HomeCommand::Save]();
                if (hs.close_cancel_flag) {
                    hs.close_result = true;
                    e->ignore();
                    return;
                }
            }
            hs.win_unsaved_flags[slot] = 0;
        }
        closed = true;
        close_data_window(Tag());
        e->accept();
    }

private:
    platform::Grid* m_grid;
};

// A fresh program state and main window for every test, with fake data
// windows behind the window table's hooks and a logger root holding the 20
// area data sets.
class HomeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        home = std::make_unique<HOME>();
        home->setExitStepDelay(0);
        home->Timer3()->stop();  // tests drive the hand-over timer themselves
        home->show();
        model().logger_main = std::make_shared<clsLOGGER_Main>();
        for (int i = 1; i <= 20; ++i) {
            model().logger_main->colLOGGER_DATA().Add(QStringLiteral("L%1").arg(i, 2, 10, QLatin1Char('0')));
        }
        model().file_main = std::make_shared<clsFILE_Main>();
        model().user_dir = dataHome() + QStringLiteral("/KORVA/Marrowquill4");
        QDir().mkpath(model().user_dir + QStringLiteral("/config"));

        HomeTargets& t = home_state().targets;
        t.create_window[DataWindowKind::Log] = [this](const QString& tag) { return make(tag); };
        t.create_window[DataWindowKind::Tag] = [this](const QString& tag) { return make(tag, /*graph=*/false); };
        t.fill[DataFill::LoggerLog] = [this](IDataWindow& w, const QString& n) { fills.push_back(w.Tag() + "/" + n); };
        t.fill[DataFill::LoggerTag] = [this](IDataWindow& w, const QString& n) { fills.push_back(w.Tag() + "/" + n); };
        t.fill[DataFill::FileMl1] = [this](IDataWindow& w, const QString& k) {
            fills.push_back("ml1:" + k);
            onFileFill(w);
        };
        t.fill[DataFill::FileMl2] = [this](IDataWindow& w, const QString& k) {
            fills.push_back("ml2:" + k);
            onFileFill(w);
        };
        t.fill[DataFill::FileMt1] = [this](IDataWindow& w, const QString& k) { fills.push_back("mt1:" + k); };
    }

    void TearDown() override {
        home_state().targets = HomeTargets{};
        home.reset();
    }

    FakeDataWindow* make(const QString& tag, bool graph = true) {
        auto* w = new FakeDataWindow(tag);
        w->setDataRows(newWindowRows);
        w->graph = graph;
        if (newWindowSize.isValid()) w->resize(newWindowSize);
        windows.push_back(w);
        return w;
    }

    // The fake window of a tag (the last made with it).
    FakeDataWindow* window(const QString& tag) {
        for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
            if (!it->isNull() && (*it)->Tag() == tag) return it->data();
        }
        return nullptr;
    }

    QMdiSubWindow* frame(QWidget* w) { return home->winTable().subWindowOf(w); }

    // Once no modal dialog is left the main window is active and Alt+F, sent
    // where the keyboard is (inside `within` when given), opens its file menu.
    bool keysReachHome(QWidget* within = nullptr) {
        if (!waitUntil([this] { return !QApplication::activeModalWidget() && QApplication::activeWindow() == home.get(); }))
            return false;
        QWidget* focus = QApplication::focusWidget();
        if (within && !within->isAncestorOf(focus)) return false;
        QMenu* file = home->menuItem(QStringLiteral("file"))->menu();
        QTest::keyClick(focus ? focus : home.get(), Qt::Key_F, Qt::AltModifier);
        const bool opened = waitUntil([file] { return file->isVisible(); });
        file->hide();
        return opened;
    }

    QString key(int slot) const { return home_state().win_key_table[slot]; }

    void setMode(quint8 mode) {
        model().act_data_kind = 2;
        model().logger_main->clsLOGGER_STATUS().let_mode_type(mode);
    }

    ModelSlot modelSlot;
    LinkSlot linkSlot;
    HomeSlot homeSlot;
    std::unique_ptr<HOME> home;
    std::vector<QPointer<FakeDataWindow>> windows;
    std::vector<QString> fills;
    int newWindowRows = 5;
    QSize newWindowSize;  // the size new fake windows ask for; invalid: their own
    std::function<void(IDataWindow&)> onFileFill = [](IDataWindow&) {};
};

}  // namespace mq::test
