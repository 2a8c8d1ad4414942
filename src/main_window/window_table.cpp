#include "main_window/window_table.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <utility>

#include "main_window/home.h"
#include "main_window/home_state.h"
#include "model/data_set_handle.h"
#include "model/common_proc.h"
#include "model/data_sets.h"
#include "model/data_window.h"
#include "model/model_state.h"
#include "platform/program_icon.h"
#include "platform/errors.h"
#include "platform/grid.h"
#include "platform/message_box.h"

#include <algorithm>

namespace mq {

namespace {

// Runs its step when the scope ends, however it ends (a fill may throw).
struct AtExit {
    std::function<void()> step;
    ~AtExit() { step(); }
};

QString two_digits(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

// Characters 2 and 3 of a key as a number (-1 when they are not digits).
int key_number(const QString& key) {
    bool ok = false;
    const int v = key.mid(1, 2).trimmed().toInt(&ok);
    return ok ? v : -1;
}

// Starts a fill on a new data window; without its hook the window stays empty.
void start_fill(DataFill fill, IDataWindow& w, const QString& numberOrKey) {
    if (const auto& f = home_state().targets.fill[fill]) f(w, numberOrKey);
}

}  // namespace

DataSubWindow::DataSubWindow(WindowTable& table, QWidget* parent) : QMdiSubWindow(parent), m_table(table) {
    setAttribute(Qt::WA_DeleteOnClose);
    // The frame would otherwise show the toolkit's own logo.
    setWindowIcon(platform::programIcon());
}

void DataSubWindow::closeEvent(QCloseEvent* e) {
    DataSubWindow* outer = m_table.m_selfClosing;
    m_inClose = true;
    m_table.m_selfClosing = this;
    QMdiSubWindow::closeEvent(e);
    m_table.m_selfClosing = outer;
    m_inClose = false;
}

WindowTable::WindowTable(HOME& home) : m_home(home) {}

// ---------------------------------------------------------------- lookups

QMdiSubWindow* WindowTable::subWindowOf(QWidget* w) const {
    if (!w) return nullptr;
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(p)) return sub;
    }
    return nullptr;
}

IDataWindow* WindowTable::dataWindowOf(QWidget* w) const {
    const auto it = m_windows.find(w);
    return it == m_windows.end() ? nullptr : it->second;
}

QWidget* WindowTable::slotWindow(int slot) const {
    if (slot < 0 || slot >= kWinSlots) return nullptr;
    return home_state().win_windows[slot].data();
}

int WindowTable::free_slot() const {
    const HomeState& hs = home_state();
    for (int i = 0; i < kWinSlots; ++i) {
        if (hs.win_key_table[i].isEmpty()) return i;
    }
    return -1;
}

int WindowTable::slot_of_window(QWidget* w) const {
    if (!w) return -1;
    const HomeState& hs = home_state();
    for (int i = 0; i < kWinSlots; ++i) {
        if (!hs.win_key_table[i].isEmpty() && hs.win_windows[i].data() == w) return i;
    }
    return -1;
}

void WindowTable::clear_slot(int slot) {
    HomeState& hs = home_state();
    hs.win_key_table[slot].clear();
    hs.win_windows[slot] = nullptr;
    win_control_refresh();
}

// ---------------------------------------------------------------- counting

int WindowTable::win_logger_use_ct() const {
    int n = 0;
    for (const QString& k : home_state().win_key_table) {
        if (k.startsWith(QLatin1Char('L'))) ++n;
    }
    return n;
}

int WindowTable::win_file_use_ct() const {
    int n = 0;
    for (const QString& k : home_state().win_key_table) {
        if (k.startsWith(QLatin1Char('F'))) ++n;
    }
    return n;
}

int WindowTable::win_all_use_ct() const { return win_logger_use_ct() + win_file_use_ct(); }

int WindowTable::win_file_dim_no_search() const {
    const HomeState& hs = home_state();
    auto used = [&](int n) {
        for (const QString& k : hs.win_key_table) {
            if (k.startsWith(QLatin1Char('F')) && key_number(k) == n) return true;
        }
        return false;
    };
    int n = 0;
    while (n <= 21 && used(n)) ++n;
    return n;
}

bool WindowTable::win_logger_use_check(int n) const {
    const QString key = DataSetHandle::logger_key(n);
    for (const QString& k : home_state().win_key_table) {
        if (k == key) return true;
    }
    return false;
}

QString WindowTable::win_file_use_TagReturn() const {
    for (const QString& k : home_state().win_key_table) {
        if (k.startsWith(QLatin1Char('F'))) return k;
    }
    return QString();
}

bool WindowTable::any_graph_window() const {
    const HomeState& hs = home_state();
    for (int i = 0; i < kWinSlots; ++i) {
        if (hs.win_key_table[i].isEmpty()) continue;
        const IDataWindow* w = dataWindowOf(hs.win_windows[i].data());
        if (!w || w->has_graph()) return true;
    }
    return false;
}

IDataWindow* WindowTable::first_data_window() const {
    const HomeState& hs = home_state();
    for (int i = 0; i < kWinSlots; ++i) {
        if (hs.win_key_table[i].isEmpty()) continue;
        if (IDataWindow* w = dataWindowOf(hs.win_windows[i].data())) return w;
    }
    return nullptr;
}

void WindowTable::win_control_refresh() {
    HomeState& hs = home_state();
    int i = -1;
    for (int k = 0; k < kWinSlots; ++k) {
        if (hs.win_key_table[k].isEmpty()) {
            i = k;
            break;
        }
    }
    if (i < 0) return;
    if (i <= kWinSlots - 2) {
        for (int k = i + 1; k < kWinSlots; ++k) {
            hs.win_key_table[k - 1] = hs.win_key_table[k];
            hs.win_unsaved_flags[k - 1] = hs.win_unsaved_flags[k];
            hs.win_windows[k - 1] = hs.win_windows[k];
        }
    }
    // The last slot is emptied; its unsaved flag keeps its value.
    hs.win_key_table[kWinSlots - 1].clear();
    hs.win_windows[kWinSlots - 1] = nullptr;
}

void WindowTable::win_table_clear() {
    HomeState& hs = home_state();
    for (int i = 0; i < kWinSlots; ++i) {
        hs.win_key_table[i].clear();
        hs.win_windows[i] = nullptr;
    }
}

// ---------------------------------------------------------------- opening

QMdiSubWindow* WindowTable::adopt(IDataWindow* w, const QString& caption) {
    QWidget* widget = w->widget();
    auto* sub = new DataSubWindow(*this);
    sub->setWidget(widget);
    widget->setWindowTitle(caption);
    sub->setWindowTitle(caption);
    m_home.mdiArea()->addSubWindow(sub);
    m_windows[widget] = w;
    QObject::connect(widget, &QObject::destroyed, &m_home, [this, widget] { m_windows.erase(widget); });
    return sub;
}

void WindowTable::show_active(QMdiSubWindow* sub, bool minimised) {
    if (minimised) {
        sub->showMinimized();
    } else {
        sub->show();
        // A new window lies inside the work area, no part of it beyond the
        // main window's edges.
        const QRect view = m_home.mdiArea()->viewport()->rect();
        QRect g = sub->geometry();
        g.setWidth(std::min(g.width(), view.width()));
        g.setHeight(std::min(g.height(), view.height()));
        if (g.right() > view.right()) g.moveRight(view.right());
        if (g.bottom() > view.bottom()) g.moveBottom(view.bottom());
        if (g.left() < view.left()) g.moveLeft(view.left());
        if (g.top() < view.top()) g.moveTop(view.top());
        if (g != sub->geometry()) sub->setGeometry(g);
    }
    m_home.mdiArea()->setActiveSubWindow(sub);
}

void WindowTable::set_data_windows_enabled(bool enabled) {
    for (const auto& [widget, w] : m_windows) {
        if (w->Tag().isEmpty()) continue;
        if (QMdiSubWindow* sub = subWindowOf(widget)) sub->setEnabled(enabled);
        else widget->setEnabled(enabled);
    }
}

// Opens the logger window of area or tag n of the given kind, captioned
// prefix + n, and returns it for its fill; nullptr when none was opened.
IDataWindow* WindowTable::open_logger_window(const QString& n, DataWindowKind kind, const QString& prefix,
                                             bool minimised) {
    if (win_logger_use_ct() >= kWinKindLimit) return nullptr;
    HomeState& hs = home_state();
    const QString key = QLatin1Char('L') + n;
    // Without a logger root (the link was lost meanwhile) there is no data set to show.
    if (!model().logger_main) throw MissingKeyError(key.toStdString());
    // The data set is looked up first so that a missing one leaves no window behind.
    auto data = model().logger_main->colLOGGER_DATA().Item(key);
    const auto& create = hs.targets.create_window[kind];
    const int slot = free_slot();
    if (slot < 0 || !create) return nullptr;
    IDataWindow* w = create(key);
    if (!w) return nullptr;
    QMdiSubWindow* sub = adopt(w, prefix + n);
    hs.win_key_table[slot] = key;
    hs.win_windows[slot] = w->widget();
    data->let_ID(key);
    DataSetHandle::of_tag(key).make_current();
    show_active(sub, minimised);
    return w;
}

IDataWindow* WindowTable::open_file_window(const QString& caption, DataWindowKind kind, QString& fileKey) {
    HomeState& hs = home_state();
    const auto& create = hs.targets.create_window[kind];
    const int slot = free_slot();
    if (slot < 0 || !create) return nullptr;
    fileKey = QLatin1Char('F') + two_digits(win_file_dim_no_search());
    const QString tag = fileKey + caption;
    IDataWindow* w = create(tag);
    if (!w) return nullptr;
    QMdiSubWindow* sub = adopt(w, caption);
    hs.win_key_table[slot] = tag;
    hs.win_windows[slot] = w->widget();
    if (!model().file_main) model().file_main = std::make_shared<clsFILE_Main>();
    model().file_main->colFILE_DATA().Add(fileKey);
    show_active(sub, /*minimised=*/false);
    return w;
}

void WindowTable::win_logger_open_log(const QString& n) {
    HomeState& hs = home_state();
    const AtExit refresh{[this] { m_home.refresh_command_state(); }};
    // Shown at normal size while it fills: a window that loads in a corner,
    // minimised, leaves the user nothing to look at.
    IDataWindow* w = open_logger_window(n, DataWindowKind::Log, QStringLiteral("LOG"), /*minimised=*/false);
    if (!w) return;
    hs.data_win_init_flag = false;
    start_fill(DataFill::LoggerLog, *w, n);
}

void WindowTable::win_logger_open_tag(const QString& n) {
    const AtExit refresh{[this] { m_home.refresh_command_state(); }};
    // The fill works on the active window, so the window is activated, at normal size.
    IDataWindow* w = open_logger_window(n, DataWindowKind::Tag, QStringLiteral("TAG"), /*minimised=*/false);
    if (!w) return;
    start_fill(DataFill::LoggerTag, *w, n);
}

void WindowTable::win_file_open_log(const QString& caption, const QString& kind) {
    if (win_file_use_ct() >= kWinKindLimit) return;
    HomeState& hs = home_state();
    set_data_windows_enabled(false);
    const AtExit reenable{[this] {
        set_data_windows_enabled(true);
        m_home.refresh_command_state();
    }};
    QString fileKey;
    IDataWindow* w = open_file_window(caption, DataWindowKind::Log, fileKey);
    if (!w) return;
    hs.data_win_init_flag = false;

    QPointer<QWidget> opened = w->widget();
    // The older format is told by its extension in any letter case.
    if (kind.compare(QStringLiteral("ML1"), Qt::CaseInsensitive) == 0) {
        start_fill(DataFill::FileMl1, *w, fileKey);
    } else {
        start_fill(DataFill::FileMl2, *w, fileKey);
    }

    // A fill that closed its window (failure) leaves nothing to draw or restore.
    const bool stillOpen = opened && slot_of_window(opened.data()) >= 0;
    if (!hs.data_win_init_flag && stillOpen) {
        if (m_home.autoDrawChecked()) {
            IDataWindow* act = m_home.activeDataWindow();
            platform::Grid* grid = act ? act->vsFlexGrid1() : nullptr;
            const int dataRows = grid ? grid->Rows() - 1 : 0;
            bool graphOpened = false;
            if (dataRows > 1) {
                if (hs.targets.graph) graphOpened = hs.targets.graph();
                if (!graphOpened) GraphDispReturen();
            } else {
                platform::msgBox(m_home.mainWidget(), QStringLiteral("ﾃﾞｰﾀが1個の為ｸﾞﾗﾌ描画はできません。"),
                                 platform::MsgButtons::OK, platform::MsgIcon::None, platform::MsgDefault::First,
                                 QStringLiteral("ｸﾞﾗﾌ"));
                GraphDispReturen();
            }
        } else {
            GraphDispReturen();
        }
    } else {
        hs.data_win_init_flag = false;
    }
}

void WindowTable::win_file_open_tag(const QString& caption) {
    if (win_file_use_ct() >= kWinKindLimit) return;
    set_data_windows_enabled(false);
    const AtExit reenable{[this] {
        set_data_windows_enabled(true);
        m_home.refresh_command_state();
    }};
    QString fileKey;
    if (IDataWindow* w = open_file_window(caption, DataWindowKind::Tag, fileKey)) {
        start_fill(DataFill::FileMt1, *w, fileKey);
    }
}

// ---------------------------------------------------------------- closing

bool WindowTable::unload(QWidget* w) {
    if (!w) return true;
    // Under a modal dialog the window may hold the main window's keyboard.
    if (QApplication::activeModalWidget()) m_closedUnderDialog = true;
    if (QMdiSubWindow* sub = subWindowOf(w)) return sub->close();
    return w->close();
}

void WindowTable::win_active_close() {
    HomeState& hs = home_state();
    if (hs.win_closing_flag) return;

    // A data window that reports its close from inside its own close: its
    // entry goes, the close already under way finishes it.
    if (m_selfClosing) {
        const int slot = slot_of_window(m_selfClosing->widget());
        if (slot >= 0) {
            clear_slot(slot);
            return;
        }
    }

    IDataWindow* act = m_home.activeDataWindow();
    if (!act) return;
    QPointer<QWidget> widget = act->widget();
    if (slot_of_window(widget.data()) < 0) return;
    const bool closed = unload(widget.data());
    if (!closed) return;  // the window kept itself open (a cancelled close): its entry stays
    const int slot = slot_of_window(widget.data());
    if (slot >= 0) clear_slot(slot);
}

void WindowTable::win_logger_close(const QString& n) {
    HomeState& hs = home_state();
    int slot = -1;
    for (int i = 0; i < kWinSlots; ++i) {
        const QString& k = hs.win_key_table[i];
        if (k.startsWith(QLatin1Char('L')) && k.mid(1, 2) == n) {
            slot = i;
            break;
        }
    }
    if (slot < 0) return;
    QPointer<QWidget> widget = hs.win_windows[slot].data();
    const bool outer = hs.win_closing_flag;
    hs.win_closing_flag = true;
    const bool closed = unload(widget.data());
    hs.win_closing_flag = outer;
    // A window that kept itself open keeps its entry, so the table never
    // loses a window that is still there.
    if (!closed) return;
    const int now = widget ? slot_of_window(widget.data()) : slot;
    if (now >= 0) clear_slot(now);
    if (!outer) m_home.refresh_command_state();
}

void WindowTable::win_all_close() {
    HomeState& hs = home_state();
    if (!m_home.activeDataWindow() && win_all_use_ct() == 0) return;
    hs.close_result = false;
    hs.win_closing_flag = true;
    int c = win_all_use_ct();
    while (c >= 1) {
        QWidget* target = nullptr;
        if (IDataWindow* act = m_home.activeDataWindow()) target = act->widget();
        if (!target || slot_of_window(target) < 0) {
            // Another child (the graph window) is active: take the first window of the table.
            target = nullptr;
            for (int i = 0; i < kWinSlots && !target; ++i) {
                QWidget* w = hs.win_windows[i].data();
                if (w && !hs.win_key_table[i].isEmpty()) target = w;
            }
        }
        if (!target) break;
        QPointer<QWidget> guard = target;
        const bool closed = unload(target);
        if (closed) {
            const int slot = slot_of_window(guard.data());
            if (slot >= 0) {
                hs.win_key_table[slot].clear();
                hs.win_windows[slot] = nullptr;
                win_control_refresh();
            }
        }
        if (hs.close_result) {
            hs.close_result = false;  // the same window again, not counted
        } else {
            --c;
        }
        QApplication::processEvents();
    }
    hs.win_closing_flag = false;
    // Entries whose windows are gone are cleared; a window that stayed keeps its entry.
    for (int i = kWinSlots - 1; i >= 0; --i) {
        if (hs.win_key_table[i].isEmpty()) continue;
        QWidget* w = hs.win_windows[i].data();
        if (!w || !subWindowOf(w) || !subWindowOf(w)->isVisible()) {
            hs.win_key_table[i].clear();
            hs.win_windows[i] = nullptr;
        }
    }
    for (int i = 0; i < kWinSlots; ++i) win_control_refresh();
    m_home.refresh_command_state();
}

void WindowTable::win_logger_win_all_close() {
    HomeState& hs = home_state();
    hs.win_closing_flag = true;
    for (int i = 0; i <= 20; ++i) {
        if (!hs.area_window_flags[i]) continue;
        win_logger_close(two_digits(i));
        hs.area_window_flags[i] = false;
    }
    hs.win_closing_flag = false;
    m_home.update_command_state(ForgetLogger::Nothing);
}

// ---------------------------------------------------------------- activation and size

void WindowTable::GraphDispReturen(QWidget* opener) {
    QApplication::processEvents();
    QMdiSubWindow* sub = opener ? subWindowOf(opener) : nullptr;
    if (sub) {
        // A disabled main window drops its focus widget; when it is activated
        // again it would give the focus to the first window of the work area,
        // and that window would become the active one. The focus goes back
        // into the window asked for instead.
        make_active(sub);
    } else if (IDataWindow* act = m_home.activeDataWindow()) {
        sub = subWindowOf(act->widget());
    }
    if (sub) sub->showNormal();
}

void WindowTable::win_ManualActive(const QString& tag) {
    if (tag.isEmpty()) return;
    const QList<QMdiSubWindow*> subs = m_home.mdiArea()->subWindowList(QMdiArea::CreationOrder);
    for (int i = 0; i < subs.size() && i < kWinSlots; ++i) {
        IDataWindow* w = dataWindowOf(subs[i]->widget());
        if (w && w->Tag() == tag) {
            make_active(subs[i]);
            return;
        }
    }
}

void WindowTable::make_active(QMdiSubWindow* sub) {
    m_home.mdiArea()->setActiveSubWindow(sub);
    sub->widget()->setFocus();
}

void WindowTable::main_window_blocked() { m_blocker = QApplication::activeModalWidget(); }

void WindowTable::main_window_unblocked() {
    // A dialog over another window of the program (the graph) gives that
    // window the keyboard back itself.
    const QWidget* over = m_blocker && m_blocker->parentWidget() ? m_blocker->parentWidget()->window() : nullptr;
    const bool overHome = !over || over == &m_home;
    // Queued: the dialog that unblocked the window is still being hidden,
    // and another modal one may follow it at once.
    QTimer::singleShot(0, &m_home, [this, overHome] {
        if (QApplication::activeModalWidget()) return;
        // A dialog that closes itself, by whichever key or button, hands the
        // keyboard to no window on platforms that leave that to the program.
        const bool closedUnder = std::exchange(m_closedUnderDialog, false);
        if (!closedUnder && (!overHome || QApplication::activeWindow())) return;
        QMdiSubWindow* sub = m_home.mdiArea()->currentSubWindow();
        // The focus stays where it was when that is still in the active child.
        if (sub && sub->isVisible() && !sub->isAncestorOf(m_home.focusWidget())) make_active(sub);
        m_home.raise();
        m_home.activateWindow();
    });
}

void WindowTable::Proc_ManualActive() {
    if (win_all_use_ct() == 0 || m_home.activeDataWindow()) return;
    const QString t = win_file_use_TagReturn();
    win_ManualActive(t);
    DataSetHandle::set_current_kind(t.startsWith(QLatin1Char('F')) ? 1 : 2);
}

int WindowTable::capHeightTwips(OpMode mode) { return mode == OpMode::Tag ? 4900 : 6390; }
int WindowTable::capWidthTwips(OpMode mode) { return mode == OpMode::Tag ? 9930 : 7640; }

void WindowTable::win_arrange_size_limit() {
    if (!m_home.activeDataWindow()) return;
    const OpMode mode = get_cur_mode_type();
    QWidget* area = m_home.mdiArea();
    const int capH = capHeightTwips(mode) * area->logicalDpiY() / 1440;
    const int capW = capWidthTwips(mode) * area->logicalDpiX() / 1440;
    const HomeState& hs = home_state();
    for (int i = 0; i < kWinSlots; ++i) {
        if (hs.win_key_table[i].isEmpty()) continue;
        QMdiSubWindow* sub = subWindowOf(hs.win_windows[i].data());
        if (!sub || sub->isMinimized()) continue;
        QSize s = sub->size();
        if (s.height() > capH) s.setHeight(capH);
        if (s.width() > capW) s.setWidth(capW);
        if (s != sub->size()) sub->resize(s);
    }
}

}  // namespace mq
