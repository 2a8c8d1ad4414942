#include "main_window/select_list_dialog.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTreeWidget>

#include "main_window/home.h"
#include "main_window/home_state.h"
#include "main_window/serial_link.h"
#include "model/cur_accessors.h"
#include "model/data_set_handle.h"
#include "model/data_sets.h"
#include "model/data_window.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "platform/tick_list.h"
#include "platform/window_place.h"

namespace mq {

SelectListDialog::SelectListDialog(HOME* home, QWidget* parent, const QString& title, const QStringList& headers,
                                   std::initializer_list<int> widths, int helpContext, const char* okName,
                                   const char* cancelName)
    : ActivatedDialog(parent ? parent : static_cast<QWidget*>(home)), m_home(home), m_helpContext(helpContext) {
    setWindowTitle(title);
    setModal(true);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setColumnCount(int(headers.size()));
    ListView1->setHeaderLabels(headers);
    ListView1->header()->setStretchLastSection(true);
    int col = 0;
    for (int w : widths) ListView1->setColumnWidth(col++, w);

    auto button = [this](const char* name, const QString& text, const QString& tip) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        b->setAutoDefault(false);
        return b;
    };
    m_ok = button(okName, QStringLiteral("OK"), QStringLiteral("選択したﾃﾞｰﾀをﾛｶﾞｰから読み出し開始します"));
    m_cancel = button(cancelName, QStringLiteral("ｷｬﾝｾﾙ"), QStringLiteral("ﾛｶﾞｰからの読み出しをｷｬﾝｾﾙします"));
    Command1 = button("Command1", QStringLiteral("全て選択"), QStringLiteral("読み出せるﾛｶﾞｰのﾃﾞｰﾀをすべて選択します"));
    Command2 = button("Command2", QStringLiteral("全て解除"), QStringLiteral("選択をすべて解除します"));
    Command3 = button("Command3", QStringLiteral("ﾍﾙﾌﾟ"), QStringLiteral("ﾍﾙﾌﾟを表示します"));

    connect(m_cancel, &QPushButton::clicked, this, [this] { cancelClicked(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(ListView1, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (column != 0) return;
        const int n = ListView1->indexOfTopLevelItem(item) + 1;
        if (n >= 1) ListView1_ItemCheck(n);
    });
}

SelectListDialog::~SelectListDialog() = default;

QTreeWidgetItem* SelectListDialog::row(int n) const { return platform::tick_row(ListView1, n); }

bool SelectListDialog::isTicked(int n) const { return platform::tick_is_set(ListView1, n); }

QString SelectListDialog::cellText(int n, int col) const { return platform::tick_cell_text(ListView1, n, col); }

void SelectListDialog::setTickSilently(int n, bool ticked) {
    platform::tick_set(ListView1, n, ticked, /*silently=*/true);
}

// itemChanged runs the tick handler.
void SelectListDialog::clickTick(int n, bool ticked) { platform::tick_set(ListView1, n, ticked, /*silently=*/false); }

void SelectListDialog::fillRows() {
    const QSignalBlocker block(ListView1);
    ListView1->clear();
    for (int i = 1; i <= kRows; ++i) {
        auto* it = new QTreeWidgetItem(ListView1);
        it->setText(0, QString::number(i));
        it->setFlags(it->flags() | Qt::ItemIsUserCheckable);
        it->setCheckState(0, Qt::Unchecked);
    }
    auto& flags = home_state().area_window_flags;
    for (int i = 1; i <= kRows; ++i) flags[size_t(i)] = m_home && m_home->winTable().win_logger_use_check(i);
    for (int i = 1; i <= kRows; ++i) row(i)->setCheckState(0, flags[size_t(i)] ? Qt::Checked : Qt::Unchecked);
    platform::centre_on_screen(this);
}

void SelectListDialog::activateWithListRead(const std::function<bool()>& read) {
    if (m_inActivate || m_unloaded) return;
    m_inActivate = true;
    if (!m_listRead) {
        bool failed = false;
        try {
            failed = !read();
        } catch (const Error&) {
            // A record the program cannot read: the list is not trustworthy.
            failed = true;
        }
        m_listRead = true;
        if (failed) {
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

void SelectListDialog::tickAllWithRecords() {
    const auto& root = model().logger_main;
    if (!root) return;
    int k = 1;
    for (const auto& ds : root->colLOGGER_DATA()) {
        if (ds->ID() == QStringLiteral("L00")) continue;
        if (k <= kRows && ds->clsLOGGER_SETTING().data_count() != 0) setTickSilently(k, true);
        ++k;
    }
}

void SelectListDialog::Command1_Click() { tickAllWithRecords(); }

void SelectListDialog::Command2_Click() {
    for (int i = 1; i <= kRows; ++i) setTickSilently(i, false);
}

void SelectListDialog::Command3_Click() { show_help(this, model().help_file, m_helpContext); }

void SelectListDialog::closeEvent(QCloseEvent* e) {
    // The window's close button acts as Cancel.
    if (!m_unloaded) {
        e->ignore();
        cancelClicked();
        return;
    }
    QDialog::closeEvent(e);
}

void SelectListDialog::rebindActive() {
    if (!m_home || m_home->win_all_use_ct() == 0) return;
    if (IDataWindow* act = m_home->activeDataWindow()) DataSetHandle::make_key_current(act->Tag().left(3));
}

OpMode SelectListDialog::loggerMode() {
    const auto& root = model().logger_main;
    return root ? op_mode_of(root->clsLOGGER_STATUS().mode_type()) : OpMode::None;
}

SelectListDialog::Ticks SelectListDialog::ticks() const {
    Ticks t{};
    for (int i = 1; i <= kRows; ++i) t[size_t(i)] = isTicked(i);
    return t;
}

void SelectListDialog::takeBackWindows(const Ticks& ticks, int i) {
    auto& flags = home_state().area_window_flags;
    WindowTable& table = m_home->winTable();
    for (int j = 1; j <= i; ++j)
        if (ticks[size_t(j)]) table.win_logger_close(DataSetHandle::logger_key(j).mid(1));
    for (int j = i; j <= kRows; ++j)
        if (flags[size_t(j)]) table.win_logger_close(DataSetHandle::logger_key(j).mid(1));
    for (int j = 1; j <= kRows; ++j) flags[size_t(j)] = false;
    done(QDialog::Accepted);
}

QMdiSubWindow* SelectListDialog::enableDataWindows(const QString& focusKey) {
    WindowTable& table = m_home->winTable();
    QMdiSubWindow* focusSub = nullptr;
    for (QMdiSubWindow* sub : m_home->mdiArea()->subWindowList(QMdiArea::CreationOrder)) {
        IDataWindow* w = table.dataWindowOf(sub->widget());
        if (!w || w->Tag().isEmpty()) continue;
        sub->setEnabled(true);
        sub->widget()->setEnabled(true);
        if (!focusKey.isEmpty() && w->Tag() == focusKey) focusSub = sub;
    }
    return focusSub;
}

}  // namespace mq
