#include "tag_data/tag_data_select.h"

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

#include <array>

#include "main_window/home.h"
#include "main_window/home_state.h"
#include "main_window/serial_link.h"
#include "model/common_proc.h"
#include "model/cur_accessors.h"
#include "model/data_sets.h"
#include "model/data_window.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "platform/tick_list.h"
#include "platform/window_place.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/seq_state.h"

namespace mq {

namespace {

constexpr int kTags = 20;
constexpr int kHelpContext = 31102;

QString two(int n) { return QString::number(n).rightJustified(2, u'0'); }

std::shared_ptr<clsLOGGER_DATA> logger_data_set(const QString& key) {
    const auto& root = model().logger_main;
    if (!root) return nullptr;
    try {
        return root->colLOGGER_DATA().Item(key);
    } catch (const MissingKeyError&) {
        return nullptr;
    }
}

std::shared_ptr<clsFILE_DATA> file_data_set(const QString& key) {
    const auto& root = model().file_main;
    if (!root) return nullptr;
    try {
        return root->colFILE_DATA().Item(key);
    } catch (const MissingKeyError&) {
        return nullptr;
    }
}

// Makes the active data window's data set the current one again.
void rebind_active(HOME* home) {
    if (!home || home->win_all_use_ct() == 0) return;
    IDataWindow* act = home->activeDataWindow();
    if (!act) return;
    const QString key = act->Tag().left(3);
    ModelState& m = model();
    if (key.startsWith(u'F')) {
        m.act_data_kind = 1;
        m.act_file_data = file_data_set(key);
    } else if (key.startsWith(u'L')) {
        m.act_data_kind = 2;
        m.act_logger_data = logger_data_set(key);
    }
}

// List position n (1..20) of a worker or comment record, and its name.
int list_position(const QString& record) {
    const QString t = record.mid(4, 2);
    bool ok = false;
    const int i = t.toInt(&ok);
    if (!ok || t.size() != 2 || i < 1 || i > kTags) {
        throw ConversionError("list record: position is not 01..20: " + t.toStdString());
    }
    return i;
}

}  // namespace

void tag_worker_data_save(const QString& record) {
    const int i = list_position(record);
    if (!model().logger_main) throw MissingKeyError("no logger for the worker list");
    model().logger_main->clsLOGGER_STATUS().let_worker_name(i - 1, record.mid(7, 8));
}

void tag_comment_data_save(const QString& record) {
    const int i = list_position(record);
    if (!model().logger_main) throw MissingKeyError("no logger for the comment list");
    model().logger_main->clsLOGGER_STATUS().let_Comment(i - 1, record.mid(7, 8));
}

tag_data_select::tag_data_select(HOME* home, QWidget* parent)
    : ActivatedDialog(parent ? parent : static_cast<QWidget*>(home)), m_home(home) {
    setWindowTitle(QStringLiteral("読み出すデータの選択（タグ・モード）"));
    setModal(true);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setColumnCount(3);
    ListView1->setHeaderLabels({QStringLiteral("  No."), QStringLiteral("タグ名"), QStringLiteral("ﾃﾞｰﾀ数")});
    ListView1->header()->setStretchLastSection(true);
    ListView1->setColumnWidth(0, 70);
    ListView1->setColumnWidth(1, 130);

    auto button = [this](const char* name, const QString& text, const QString& tip) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        b->setAutoDefault(false);
        return b;
    };
    OKButton = button("OKButton", QStringLiteral("OK"), QStringLiteral("選択したﾃﾞｰﾀをﾛｶﾞｰから読み出し開始します"));
    CancelButton =
        button("CancelButton", QStringLiteral("ｷｬﾝｾﾙ"), QStringLiteral("ﾛｶﾞｰからの読み出しをｷｬﾝｾﾙします"));
    Command1 = button("Command1", QStringLiteral("全て選択"), QStringLiteral("読み出せるﾛｶﾞｰのﾃﾞｰﾀをすべて選択します"));
    Command2 = button("Command2", QStringLiteral("全て解除"), QStringLiteral("選択をすべて解除します"));
    Command3 = button("Command3", QStringLiteral("ﾍﾙﾌﾟ"), QStringLiteral("ﾍﾙﾌﾟを表示します"));

    auto* side = new QVBoxLayout;
    side->addWidget(OKButton);
    side->addWidget(CancelButton);
    side->addSpacing(12);
    side->addWidget(Command1);
    side->addWidget(Command2);
    side->addStretch();
    side->addWidget(Command3);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(ListView1, 1);
    layout->addLayout(side);
    resize(420, 470);

    connect(OKButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
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

tag_data_select::~tag_data_select() = default;

tag_data_select* tag_data_select::openInstance() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* d = qobject_cast<tag_data_select*>(w);
        if (d && !d->m_unloaded) return d;
    }
    return nullptr;
}

QTreeWidgetItem* tag_data_select::row(int n) const { return platform::tick_row(ListView1, n); }

bool tag_data_select::isTicked(int n) const { return platform::tick_is_set(ListView1, n); }

QString tag_data_select::cellText(int n, int col) const { return platform::tick_cell_text(ListView1, n, col); }

void tag_data_select::setTickSilently(int n, bool ticked) { platform::tick_set(ListView1, n, ticked, /*silently=*/true); }

// itemChanged runs the tick handler.
void tag_data_select::clickTick(int n, bool ticked) { platform::tick_set(ListView1, n, ticked, /*silently=*/false); }

// ---------------------------------------------------------------- list display

void tag_data_select::tag_data_select_disp(qint16 n) {
    const auto ds = model().act_logger_data;
    QTreeWidgetItem* it = row(n);
    if (!ds || !it) return;
    const QSignalBlocker block(ListView1);
    it->setText(1, ds->clsLOGGER_SETTING().log_name());
}

void tag_data_select::tag_data_ct_disp(qint16 n) {
    const auto ds = model().act_logger_data;
    QTreeWidgetItem* it = row(n);
    if (!ds || !it) return;
    const QSignalBlocker block(ListView1);
    it->setText(2, QString::number(ds->clsLOGGER_SETTING().data_count()));
}

// ---------------------------------------------------------------- window procedures

void tag_data_select::Form_Load() {
    seq().tag_list_read_done = false;
    const QSignalBlocker block(ListView1);
    ListView1->clear();
    for (int i = 1; i <= kTags; ++i) {
        auto* it = new QTreeWidgetItem(ListView1);
        it->setText(0, QString::number(i));
        it->setFlags(it->flags() | Qt::ItemIsUserCheckable);
        it->setCheckState(0, Qt::Unchecked);
    }
    auto& flags = home_state().area_window_flags;
    for (int i = 1; i <= kTags; ++i) flags[size_t(i)] = m_home && m_home->winTable().win_logger_use_check(i);
    for (int i = 1; i <= kTags; ++i) row(i)->setCheckState(0, flags[size_t(i)] ? Qt::Checked : Qt::Unchecked);
    platform::centre_on_screen(this);
}

void tag_data_select::Form_Activate() {
    if (m_inActivate || m_unloaded) return;
    m_inActivate = true;
    if (!seq().tag_list_read_done) {
        seq().prog_mode = op_read_tag_list;
        bool failed = false;
        try {
            prog_dialog_show(m_home);
        } catch (const Error&) {
            failed = true;
        }
        seq().tag_list_read_done = true;
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

void tag_data_select::ListView1_ItemCheck(int n) {
    const auto ds = logger_data_set(QStringLiteral("L") + two(n));
    model().act_logger_data = ds;
    // A tag without records cannot be chosen.
    if (isTicked(n) && (!ds || ds->clsLOGGER_SETTING().data_count() == 0)) setTickSilently(n, false);
}

void tag_data_select::Command1_Click() {
    const auto& root = model().logger_main;
    if (!root) return;
    int k = 1;
    for (const auto& ds : root->colLOGGER_DATA()) {
        if (ds->ID() == QStringLiteral("L00")) continue;
        if (k <= kTags && ds->clsLOGGER_SETTING().data_count() != 0) setTickSilently(k, true);
        ++k;
    }
}

void tag_data_select::Command2_Click() {
    for (int i = 1; i <= kTags; ++i) setTickSilently(i, false);
}

void tag_data_select::Command3_Click() { show_help(this, model().help_file, kHelpContext); }

void tag_data_select::closeEvent(QCloseEvent* e) {
    // The window's close button acts as Cancel.
    if (!m_unloaded) {
        e->ignore();
        CancelButton_Click();
        return;
    }
    QDialog::closeEvent(e);
}

void tag_data_select::CancelButton_Click() {
    rebind_active(m_home);
    unload();
}

void tag_data_select::OKButton_Click() {
    std::array<bool, kTags + 1> ticks{};
    for (int i = 1; i <= kTags; ++i) ticks[size_t(i)] = isTicked(i);
    // The dialog leaves the screen at once; it finishes its work with the saved ticks.
    m_unloaded = true;
    hide();
    model().act_data_kind = 2;

    auto& flags = home_state().area_window_flags;
    const LinkState& ln = link();
    if (m_home) {
        WindowTable& table = m_home->winTable();
        for (int i = 1; i <= kTags; ++i) {
            const QString nn = two(i);
            bool gaveUp = false;
            if (flags[size_t(i)] != ticks[size_t(i)]) {
                if (!ticks[size_t(i)] && flags[size_t(i)]) {
                    table.win_logger_close(nn);
                } else if (ticks[size_t(i)] && !flags[size_t(i)] && model().logger_main) {
                    // A window whose read is cancelled or fails closes itself
                    // and says so through data_win_init_flag.
                    home_state().data_win_init_flag = false;
                    try {
                        if (get_cur_mode_type() == 1) table.win_logger_open_log(nn);
                        else table.win_logger_open_tag(nn);
                    } catch (const Error&) {
                        home_state().data_win_init_flag = true;
                    }
                    gaveUp = home_state().data_win_init_flag;
                }
            }
            if (gaveUp || ln.comm_cancel_flag || !ln.link_connected_flag || !model().logger_main) {
                // A read was cancelled or the link is gone: take back every
                // window this confirmation touched or knew of.
                for (int j = 1; j <= i; ++j)
                    if (ticks[size_t(j)]) table.win_logger_close(two(j));
                for (int j = i; j <= kTags; ++j)
                    if (flags[size_t(j)]) table.win_logger_close(two(j));
                for (int j = 1; j <= kTags; ++j) flags[size_t(j)] = false;
                done(QDialog::Accepted);
                return;
            }
        }
    }
    for (int i = 1; i <= kTags; ++i) flags[size_t(i)] = ticks[size_t(i)];

    if (m_home) {
        WindowTable& table = m_home->winTable();
        for (QMdiSubWindow* sub : m_home->mdiArea()->subWindowList(QMdiArea::CreationOrder)) {
            IDataWindow* w = table.dataWindowOf(sub->widget());
            if (!w || w->Tag().isEmpty()) continue;
            sub->setEnabled(true);
            sub->widget()->setEnabled(true);
        }
        if (m_home->win_all_use_ct() != 0) {
            if (IDataWindow* act = m_home->activeDataWindow()) {
                const QString key = act->Tag().left(3);
                if (key.startsWith(u'L')) model().act_logger_data = logger_data_set(key);
                else model().act_file_data = file_data_set(key);
            }
        }
    }
    done(QDialog::Accepted);
}

void install_tag_data_select_target(HomeTargets& targets, HOME* home) {
    targets.tag_data_select = [home] {
        tag_data_select dlg(home);
        dlg.exec();
    };
}

}  // namespace mq
