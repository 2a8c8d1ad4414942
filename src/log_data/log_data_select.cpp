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
#include "sequencer/seq_state.h"

namespace mq {

namespace {

constexpr int kAreas = 20;
constexpr int kHelpContext = 31101;

QString two(int n) { return QString::number(n).rightJustified(2, u'0'); }


}  // namespace

log_data_select::log_data_select(HOME* home, QWidget* parent)
    : ActivatedDialog(parent ? parent : static_cast<QWidget*>(home)), m_home(home) {
    setWindowTitle(QStringLiteral("読み出すデータの選択（ログ・モード）"));
    setModal(true);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setColumnCount(5);
    ListView1->setHeaderLabels({QStringLiteral("   No."), QStringLiteral("ログ名"), QStringLiteral("ﾃﾞｰﾀ数"),
                                QStringLiteral("作業者"), QStringLiteral("ｺﾒﾝﾄ")});
    ListView1->header()->setStretchLastSection(true);
    ListView1->setColumnWidth(0, 60);
    ListView1->setColumnWidth(1, 100);
    ListView1->setColumnWidth(2, 80);
    ListView1->setColumnWidth(3, 100);

    auto button = [this](const char* name, const QString& text, const QString& tip) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        b->setAutoDefault(false);
        return b;
    };
    cmdOK = button("cmdOK", QStringLiteral("OK"), QStringLiteral("選択したﾃﾞｰﾀをﾛｶﾞｰから読み出し開始します"));
    cmdCancel = button("cmdCancel", QStringLiteral("ｷｬﾝｾﾙ"), QStringLiteral("ﾛｶﾞｰからの読み出しをｷｬﾝｾﾙします"));
    Command1 = button("Command1", QStringLiteral("全て選択"), QStringLiteral("読み出せるﾛｶﾞｰのﾃﾞｰﾀをすべて選択します"));
    Command2 = button("Command2", QStringLiteral("全て解除"), QStringLiteral("選択をすべて解除します"));
    Command3 = button("Command3", QStringLiteral("ﾍﾙﾌﾟ"), QStringLiteral("ﾍﾙﾌﾟを表示します"));

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
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(ListView1, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (column != 0) return;
        const int n = ListView1->indexOfTopLevelItem(item) + 1;
        if (n >= 1) ListView1_ItemCheck(n);
    });

    Form_Load();
}

log_data_select::~log_data_select() = default;

log_data_select* log_data_select::openInstance() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* d = qobject_cast<log_data_select*>(w);
        if (d && !d->m_unloaded) return d;
    }
    return nullptr;
}

QTreeWidgetItem* log_data_select::row(int n) const { return platform::tick_row(ListView1, n); }

bool log_data_select::isTicked(int n) const { return platform::tick_is_set(ListView1, n); }

QString log_data_select::cellText(int n, int col) const { return platform::tick_cell_text(ListView1, n, col); }

void log_data_select::setTickSilently(int n, bool ticked) { platform::tick_set(ListView1, n, ticked, /*silently=*/true); }

// itemChanged runs the tick handler.
void log_data_select::clickTick(int n, bool ticked) { platform::tick_set(ListView1, n, ticked, /*silently=*/false); }

// ---------------------------------------------------------------- list display

void log_data_select::log_data_ct_disp(qint16 n) {
    const auto ds = model().act_logger_data;
    QTreeWidgetItem* it = row(n);
    if (!ds || !it) return;
    const QSignalBlocker block(ListView1);
    it->setText(2, QString::number(ds->clsLOGGER_SETTING().data_count()));
}

void log_data_select::log_data_select_disp(qint16 n) {
    const auto ds = model().act_logger_data;
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
    seq().log_list_read_done = false;
    const QSignalBlocker block(ListView1);
    ListView1->clear();
    for (int i = 1; i <= kAreas; ++i) {
        auto* it = new QTreeWidgetItem(ListView1);
        it->setText(0, QString::number(i));
        it->setFlags(it->flags() | Qt::ItemIsUserCheckable);
        it->setCheckState(0, Qt::Unchecked);
    }
    auto& flags = home_state().area_window_flags;
    for (int i = 1; i <= kAreas; ++i) flags[size_t(i)] = m_home && m_home->winTable().win_logger_use_check(i);
    for (int i = 1; i <= kAreas; ++i) row(i)->setCheckState(0, flags[size_t(i)] ? Qt::Checked : Qt::Unchecked);
    platform::centre_on_screen(this);
}

void log_data_select::Form_Activate() {
    if (m_inActivate || m_unloaded) return;
    m_inActivate = true;
    if (!seq().log_list_read_done) {
        seq().prog_mode = op_read_log_list;
        bool failed = false;
        try {
            prog_dialog_show(m_home, this);
        } catch (const Error&) {
            // A record the program cannot read: the list is not trustworthy.
            failed = true;
        }
        seq().log_list_read_done = true;
        if (failed || link().comm_cancel_flag) {
            m_inActivate = false;
            unload();
            return;
        }
    }
    m_inActivate = false;
    if (m_unloaded) return;
    if (link().link_connected_flag) ListView1->setFocus();
    else unload();
}

void log_data_select::ListView1_ItemCheck(int n) {
    const auto ds = DataSetHandle::of_tag(DataSetHandle::logger_key(n)).logger();
    model().act_logger_data = ds;
    if (isTicked(n)) {
        if (!ds || ds->clsLOGGER_SETTING().data_count() == 0) {
            // An empty area cannot be read; the current logger data set stays on it.
            setTickSilently(n, false);
            return;
        }
        m_last_checked_area = qint16(n);
    }
    model().act_logger_data = nullptr;
}

void log_data_select::Command1_Click() {
    if (const auto& root = model().logger_main) {
        int counter = 1;
        for (const auto& ds : root->colLOGGER_DATA()) {
            if (ds->ID() == QStringLiteral("L00")) continue;
            if (counter <= kAreas && ds->clsLOGGER_SETTING().data_count() != 0) setTickSilently(counter, true);
            ++counter;
        }
    }
    m_last_checked_area = 0;
}

void log_data_select::Command2_Click() {
    for (int i = 1; i <= kAreas; ++i) setTickSilently(i, false);
}

void log_data_select::Command3_Click() { show_help(this, model().help_file, kHelpContext); }

void log_data_select::closeEvent(QCloseEvent* e) {
    // The window's close button acts as Cancel.
    if (!m_unloaded) {
        e->ignore();
        cmdCancel_Click();
        return;
    }
    QDialog::closeEvent(e);
}

void log_data_select::cmdCancel_Click() {
    if (m_home && m_home->win_all_use_ct() != 0) {
        if (IDataWindow* act = m_home->activeDataWindow()) {
            const QString key = act->Tag().left(3);
            ModelState& m = model();
            if (key.startsWith(u'F')) {
                m.act_data_kind = 1;
                m.act_file_data = DataSetHandle::of_tag(key).file();
            } else if (key.startsWith(u'L')) {
                m.act_data_kind = 2;
                m.act_logger_data = DataSetHandle::of_tag(key).logger();
            }
        }
    }
    unload();
}

void log_data_select::cmdOK_Click() {
    std::array<bool, kAreas + 1> ticks{};
    for (int i = 1; i <= kAreas; ++i) ticks[size_t(i)] = isTicked(i);
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
                    if (model().logger_main->clsLOGGER_STATUS().mode_type() == 1) table.win_logger_open_log(nn);
                    else table.win_logger_open_tag(nn);
                }
            }
            if (ln.comm_cancel_flag || !ln.link_connected_flag || !model().logger_main) {
                // The link is gone (or a read was left cancelled): take back
                // every logger window this confirmation touched or knew of.
                for (int j = 1; j <= i; ++j)
                    if (ticks[size_t(j)]) table.win_logger_close(two(j));
                for (int j = i; j <= kAreas; ++j)
                    if (flags[size_t(j)]) table.win_logger_close(two(j));
                for (int j = 1; j <= kAreas; ++j) flags[size_t(j)] = false;
                done(QDialog::Accepted);
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
        WindowTable& table = m_home->winTable();
        QMdiSubWindow* focusSub = nullptr;
        for (QMdiSubWindow* sub : m_home->mdiArea()->subWindowList(QMdiArea::CreationOrder)) {
            IDataWindow* w = table.dataWindowOf(sub->widget());
            if (!w || w->Tag().isEmpty()) continue;
            sub->setEnabled(true);
            sub->widget()->setEnabled(true);
            if (!focusKey.isEmpty() && w->Tag() == focusKey) focusSub = sub;
        }
        if (focusSub) {
            m_home->mdiArea()->setActiveSubWindow(focusSub);
            focusSub->widget()->setFocus();
            model().act_logger_data = DataSetHandle::of_tag(focusKey).logger();
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
            if (key.startsWith(u'L')) {
                model().act_logger_data = DataSetHandle::of_tag(key).logger();
            } else if (!key.isEmpty()) {
                model().act_file_data = DataSetHandle::of_tag(key).file();
            }
        }
    }
    done(QDialog::Accepted);
}

void install_log_data_select_target(HomeTargets& targets, HOME* home) {
    targets.log_data_select = [home] {
        log_data_select dlg(home);
        dlg.exec();
    };
}

}  // namespace mq
