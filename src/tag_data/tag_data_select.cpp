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
#include "model/data_set_handle.h"
#include "model/data_sets.h"
#include "model/data_window.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "platform/tick_list.h"
#include "platform/window_place.h"
#include "sequencer/prog_dialog.h"
#include "tag_data/ops_tag.h"

namespace mq {

namespace {

constexpr int kTags = SelectListDialog::kRows;
constexpr int kHelpContext = 31102;

QString two(int n) { return QString::number(n).rightJustified(2, u'0'); }

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
    : SelectListDialog(home, parent, QStringLiteral("読み出すデータの選択（タグ・モード）"),
                       {QStringLiteral("  No."), QStringLiteral("タグ名"), QStringLiteral("ﾃﾞｰﾀ数")}, {70, 130},
                       kHelpContext, "OKButton", "CancelButton") {
    OKButton = m_ok;
    CancelButton = m_cancel;

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

    Form_Load();
}

tag_data_select::~tag_data_select() = default;

tag_data_select* tag_data_select::openInstance() {
    return open_select_dialog<tag_data_select>(QApplication::topLevelWidgets());
}

// ---------------------------------------------------------------- list display

void tag_data_select::tag_data_select_disp(qint16 n) {
    const auto ds = DataSetHandle::of_tag(DataSetHandle::logger_key(n)).logger();
    QTreeWidgetItem* it = row(n);
    if (!ds || !it) return;
    const QSignalBlocker block(ListView1);
    it->setText(1, ds->clsLOGGER_SETTING().log_name());
}

void tag_data_select::tag_data_ct_disp(qint16 n) {
    const auto ds = DataSetHandle::of_tag(DataSetHandle::logger_key(n)).logger();
    QTreeWidgetItem* it = row(n);
    if (!ds || !it) return;
    const QSignalBlocker block(ListView1);
    it->setText(2, QString::number(ds->clsLOGGER_SETTING().data_count()));
}

// ---------------------------------------------------------------- window procedures

void tag_data_select::Form_Load() { fillRows(); }

void tag_data_select::Form_Activate() {
    activateWithListRead([this] {
        const Outcome o = prog_run(m_home, tag_list_read_operation(this));
        return o != Outcome::Cancelled && o != Outcome::Failed;
    });
}

void tag_data_select::ListView1_ItemCheck(int n) {
    const auto ds = DataSetHandle::of_tag(DataSetHandle::logger_key(n)).logger();
    // A tag without records cannot be chosen.
    if (isTicked(n) && (!ds || ds->clsLOGGER_SETTING().data_count() == 0)) setTickSilently(n, false);
}

void tag_data_select::CancelButton_Click() {
    rebindActive();
    unload();
}

void tag_data_select::OKButton_Click() {
    const Ticks ticks = this->ticks();
    // The dialog leaves the screen at once; it finishes its work with the saved ticks.
    m_unloaded = true;
    hide();

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
                        if (loggerMode() == OpMode::Log) table.win_logger_open_log(nn);
                        else table.win_logger_open_tag(nn);
                    } catch (const Error&) {
                        home_state().data_win_init_flag = true;
                    }
                    gaveUp = home_state().data_win_init_flag;
                }
            }
            if (gaveUp || ln.comm_cancel_flag || !ln.link_connected_flag || !model().logger_main) {
                // A read was cancelled or the link is gone.
                takeBackWindows(ticks, i);
                return;
            }
        }
    }
    for (int i = 1; i <= kTags; ++i) flags[size_t(i)] = ticks[size_t(i)];

    if (m_home) {
        enableDataWindows(QString());
        if (m_home->win_all_use_ct() != 0) {
            if (IDataWindow* act = m_home->activeDataWindow()) DataSetHandle::make_key_current(act->Tag().left(3));
        }
    }
    done(QDialog::Accepted);
}

void install_tag_data_select_target(HomeTargets& targets, HOME* home) {
    targets.commands[HomeCommand::TagDataSelect] = [home] {
        tag_data_select dlg(home);
        dlg.exec();
    };
}

}  // namespace mq
