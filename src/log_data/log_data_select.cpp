#include "log_data/log_data_select.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "main_window/home.h"
#include "main_window/home_state.h"
#include "main_window/serial_link.h"
#include "model/cur_accessors.h"
#include "model/data_set_handle.h"
#include "model/data_sets.h"
#include "model/data_window.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "platform/grid.h"
#include "platform/message_box.h"
#include "platform/tick_list.h"
#include "platform/window_place.h"
#include "sequencer/prog_dialog.h"
#include "log_data/ops_log_read.h"

namespace mq {

namespace {

constexpr int kAreas = SelectListDialog::kRows;
constexpr int kHelpContext = 31101;

QString two(int n) { return QString::number(n).rightJustified(2, u'0'); }


}  // namespace

log_data_select::log_data_select(HOME* home, QWidget* parent)
    : SelectListDialog(home, parent, QStringLiteral("読み出すデータの選択（ログ・モード）"),
                       {QStringLiteral("   No."), QStringLiteral("ログ名"), QStringLiteral("ﾃﾞｰﾀ数"),
                        QStringLiteral("作業者"), QStringLiteral("ｺﾒﾝﾄ")},
                       {60, 100, 80, 100}, kHelpContext, "cmdOK", "cmdCancel") {
    cmdOK = m_ok;
    cmdCancel = m_cancel;

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(Command3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListView1);
    layout->addLayout(buttons);
    resize(560, 460);

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });

    Form_Load();
}

log_data_select::~log_data_select() = default;

log_data_select* log_data_select::openInstance() {
    return open_select_dialog<log_data_select>(QApplication::topLevelWidgets());
}

// ---------------------------------------------------------------- list display

void log_data_select::log_data_ct_disp(qint16 n) {
    const auto ds = DataSetHandle::of_tag(DataSetHandle::logger_key(n)).logger();
    QTreeWidgetItem* it = row(n);
    if (!ds || !it) return;
    const QSignalBlocker block(ListView1);
    it->setText(2, QString::number(ds->clsLOGGER_SETTING().data_count()));
}

void log_data_select::log_data_select_disp(qint16 n) {
    const auto ds = DataSetHandle::of_tag(DataSetHandle::logger_key(n)).logger();
    QTreeWidgetItem* it = row(n);
    if (!ds || !it) return;
    const QSignalBlocker block(ListView1);
    const clsLOGGER_SETTING& s = ds->clsLOGGER_SETTING();
    it->setText(1, s.log_name());
    it->setText(3, s.Worker());
    it->setText(4, s.Comment());
}

// ---------------------------------------------------------------- window procedures

void log_data_select::Form_Load() {
    m_last_checked_area = 0;
    fillRows();
}

void log_data_select::Form_Activate() {
    activateWithListRead([this] {
        const Outcome o = prog_run(m_home, log_list_read_operation(this));
        return o != Outcome::Cancelled && o != Outcome::Failed;
    });
}

void log_data_select::ListView1_ItemCheck(int n) {
    const auto ds = DataSetHandle::of_tag(DataSetHandle::logger_key(n)).logger();
    if (isTicked(n)) {
        if (!ds || ds->clsLOGGER_SETTING().data_count() == 0) {
            // An empty area cannot be read.
            setTickSilently(n, false);
            return;
        }
        m_last_checked_area = qint16(n);
    }
}

void log_data_select::Command1_Click() {
    tickAllWithRecords();
    m_last_checked_area = 0;
}

void log_data_select::cmdCancel_Click() {
    rebindActive();
    unload();
}

void log_data_select::cmdOK_Click() {
    const Ticks ticks = this->ticks();
    // The dialog leaves the screen at once; it finishes its work with the saved ticks.
    m_unloaded = true;
    hide();

    auto& flags = home_state().area_window_flags;
    LinkState& ln = link();
    if (m_home) {
        WindowTable& table = m_home->winTable();
        for (int i = 1; i <= kAreas; ++i) {
            const QString nn = two(i);
            if (flags[size_t(i)] != ticks[size_t(i)]) {
                if (!ticks[size_t(i)] && flags[size_t(i)]) {
                    table.win_logger_close(nn);
                } else if (ticks[size_t(i)] && !flags[size_t(i)] && model().logger_main) {
                    if (loggerMode() == OpMode::Log) table.win_logger_open_log(nn);
                    else table.win_logger_open_tag(nn);
                }
            }
            if (ln.comm_cancel_flag || !ln.link_connected_flag || !model().logger_main) {
                // The link is gone (or a read was left cancelled).
                takeBackWindows(ticks, i);
                return;
            }
        }
    }
    for (int i = 1; i <= kAreas; ++i) flags[size_t(i)] = ticks[size_t(i)];

    QString focusKey;
    if (m_last_checked_area != 0) {
        if (flags[size_t(m_last_checked_area)]) focusKey = DataSetHandle::logger_key(m_last_checked_area);
    } else {
        for (int j = kAreas; j >= 1; --j) {
            if (flags[size_t(j)]) {
                focusKey = QStringLiteral("L") + two(j);
                break;
            }
        }
    }

    if (m_home) {
        if (QMdiSubWindow* focusSub = enableDataWindows(focusKey)) {
            m_home->mdiArea()->setActiveSubWindow(focusSub);
            focusSub->widget()->setFocus();
            DataSetHandle::of_tag(focusKey).make_current();
            if (!m_home->autoDrawChecked()) {
                m_home->GraphDispReturen();
            } else {
                IDataWindow* act = m_home->activeDataWindow();
                platform::Grid* grid = act ? act->vsFlexGrid1() : nullptr;
                if (grid && grid->Rows() - 1 <= 1) {
                    platform::msgBox(m_home, QStringLiteral("ﾃﾞｰﾀが1個の為ｸﾞﾗﾌ描画はできません。"),
                                     platform::MsgButtons::OK, platform::MsgIcon::None, platform::MsgDefault::First,
                                     QStringLiteral("ｸﾞﾗﾌ"));
                    m_home->GraphDispReturen();
                } else {
                    const auto& graph = home_state().targets.graph;
                    if (!graph || !graph()) m_home->GraphDispReturen();
                }
            }
        }

        if (m_home->win_all_use_ct() != 0) {
            QString key = focusKey;
            if (key.isEmpty()) {
                if (IDataWindow* act = m_home->activeDataWindow()) key = act->Tag().left(3);
            }
            DataSetHandle::make_key_current(key);
        }
    }
    done(QDialog::Accepted);
}

void install_log_data_select_target(HomeTargets& targets, HOME* home) {
    targets.commands[HomeCommand::LogDataSelect] = [home] {
        log_data_select dlg(home);
        dlg.exec();
    };
}

}  // namespace mq
