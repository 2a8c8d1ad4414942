#include "main_window/home.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include "main_window/command_boundary.h"
#include "main_window/config_files.h"
#include "main_window/connect_command.h"
#include "main_window/home_state.h"
#include "main_window/identity_check.h"
#include "main_window/serial_link.h"
#include "main_window/small_windows.h"
#include "model/common_proc.h"
#include "model/cur_accessors.h"
#include "model/data_set_handle.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/program_icon.h"
#include "platform/grid.h"
#include "platform/message_box.h"

namespace mq {

namespace {
// The commands that need a connected logger (reading follows its own switch).
const char* const kLoggerItems[] = {"logingsv", "namelist", "commlist", "modelset", "defset"};
constexpr toolbar1::Button kLoggerButtons[] = {toolbar1::RecordSettings, toolbar1::WorkerNames, toolbar1::Comments,
                                               toolbar1::DeviceSettings};
// The commands that need a data window (the graph ones follow their own switch).
const char* const kDataWindowItems[] = {"fileclose", "allclose", "save", "print_data", "h_disp", "v_disp", "c_disp"};
constexpr toolbar1::Button kDataWindowButtons[] = {toolbar1::Save, toolbar1::Print};

// The operating mode of the data set a window shows (none when it is gone).
OpMode windowMode(const IDataWindow* w) {
    if (!w) return OpMode::None;
    const clsLOGGER_STATUS* st = DataSetHandle::of_tag(w->Tag()).status();
    return st ? op_mode_of(st->mode_type()) : OpMode::None;
}
}  // namespace

HOME::HOME(QWidget* parent) : QMainWindow(parent), m_table(*this) {
    setObjectName(QStringLiteral("HOME"));
    setWindowTitle(QStringLiteral("マロウクイル"));
    // One icon for the main window, its child windows and every dialog.
    platform::installProgramIcon();
    m_mdi = new QMdiArea(this);
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);

    build_menus();
    build_toolbar();
    build_status_bar();

    // A data window that becomes active makes its data set the current one.
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        if (!sub || !ModelSlot::installed() || !m_table.dataWindowOf(sub->widget())) return;
        try {
            activate_data_window();
        } catch (const MissingKeyError&) {
            // A window whose data set is already released (while closing) changes nothing.
        }
        refresh_command_state();
    });

    m_timer3 = new QTimer(this);
    m_timer3->setInterval(50);
    connect(m_timer3, &QTimer::timeout, this, &HOME::Timer3_Timer);
    m_timer3->start();

    if (ModelSlot::installed()) model().main_window = this;
    if (HomeSlot::installed()) home_state().window = this;
    refresh_command_state();
    resize(800, 600);
}

HOME::~HOME() {
    // The data windows go first, while the window table that tracks them still exists.
    m_mdi->disconnect(this);
    delete m_mdi;
    m_mdi = nullptr;
    if (ModelSlot::installed() && model().main_window == this) model().main_window = nullptr;
    if (HomeSlot::installed() && home_state().window == this) home_state().window = nullptr;
}

// ---------------------------------------------------------------- layout

QAction* HOME::add_item(QMenu* menu, const QString& name, const QString& text, bool enabled) {
    QAction* a = menu->addAction(text);
    a->setObjectName(name);
    a->setEnabled(enabled);
    m_items[name] = a;
    return a;
}

void HOME::build_menus() {
    QMenuBar* bar = menuBar();
    auto menu = [&](const QString& name, const QString& text) {
        QMenu* m = bar->addMenu(text);
        m->setObjectName(name);
        m_items[name] = m->menuAction();
        return m;
    };

    QMenu* logger = menu(QStringLiteral("logger"), QStringLiteral("ﾛｶﾞｰ(&L)"));
    connect(add_item(logger, QStringLiteral("loggerconnect"), QStringLiteral("ﾛｶﾞｰ接続(&J)")), &QAction::triggered,
            this, [this] { guarded([this] { loggerconnect_Click(); }); });
    logger->addSeparator();
    connect(add_item(logger, QStringLiteral("loggerread"), QStringLiteral("ﾛｶﾞｰ読み出し(&R)"), false),
            &QAction::triggered, this, [this] { guarded([this] { loggerread_Click(); }); });
    logger->addSeparator();
    QMenu* loggersv = logger->addMenu(QStringLiteral("ﾛｶﾞｰ設定(&S)"));
    loggersv->setObjectName(QStringLiteral("loggersv"));
    m_items[QStringLiteral("loggersv")] = loggersv->menuAction();
    connect(add_item(loggersv, QStringLiteral("logingsv"), QStringLiteral("収録設定(&V)"), false), &QAction::triggered,
            this, [this] { guarded([this] { logingsv_Click(); }); });
    loggersv->addSeparator();
    connect(add_item(loggersv, QStringLiteral("namelist"), QStringLiteral("作業者名の登録(&W)"), false),
            &QAction::triggered, this, [this] { guarded([this] { namelist_Click(); }); });
    connect(add_item(loggersv, QStringLiteral("commlist"), QStringLiteral("ｺﾒﾝﾄの登録(&C)"), false),
            &QAction::triggered, this, [this] { guarded([this] { commlist_Click(); }); });
    loggersv->addSeparator();
    connect(add_item(loggersv, QStringLiteral("modelset"), QStringLiteral("機器設定(&M)"), false), &QAction::triggered,
            this, [this] { guarded([this] { modelset_Click(); }); });
    connect(add_item(loggersv, QStringLiteral("defset"), QStringLiteral("既定収録設定(&D)"), false),
            &QAction::triggered, this, [this] { guarded([this] { defset_Click(); }); });

    QMenu* file = menu(QStringLiteral("file"), QStringLiteral("ﾌｧｲﾙ(&F)"));
    connect(add_item(file, QStringLiteral("fileopen"), QStringLiteral("開く(&O)")), &QAction::triggered, this,
            [this] { guarded([this] { fileopen_Click(); }); });
    connect(add_item(file, QStringLiteral("fileclose"), QStringLiteral("閉じる(&C)"), false), &QAction::triggered,
            this, [this] { guarded([this] { fileclose_Click(); }); });
    connect(add_item(file, QStringLiteral("allclose"), QStringLiteral("全て閉じる(&E)"), false), &QAction::triggered,
            this, [this] { guarded([this] { allclose_Click(); }); });
    file->addSeparator();
    connect(add_item(file, QStringLiteral("save"), QStringLiteral("名前を付けて保存(&A)"), false), &QAction::triggered,
            this, [this] { guarded([this] { save_Click(); }); });
    file->addSeparator();
    connect(add_item(file, QStringLiteral("print_data"), QStringLiteral("印刷(&P)"), false), &QAction::triggered,
            this, [this] { guarded([this] { print_data_Click(); }); });
    file->addSeparator();
    connect(add_item(file, QStringLiteral("endprog"), QStringLiteral("終了(&X)")), &QAction::triggered, this,
            [this] { guarded([this] { endprog_Click(); }); });

    QMenu* comselect = menu(QStringLiteral("comselect"), QStringLiteral("通信設定(&C)"));
    connect(add_item(comselect, QStringLiteral("a_comm_set"), QStringLiteral("自動設定(&A)")), &QAction::triggered,
            this, [this] { guarded([this] { a_comm_set_Click(); }); });
    connect(add_item(comselect, QStringLiteral("m_comm_set"), QStringLiteral("手動設定(&M)")), &QAction::triggered,
            this, [this] { guarded([this] { m_comm_set_Click(); }); });

    m_windowMenu = menu(QStringLiteral("winchange"), QStringLiteral("ｳｨﾝﾄﾞｳ(&W)"));
    connect(add_item(m_windowMenu, QStringLiteral("h_disp"), QStringLiteral("上下に並べて表示(&H)"), false),
            &QAction::triggered, this, [this] { guarded([this] { h_disp_Click(); }); });
    connect(add_item(m_windowMenu, QStringLiteral("v_disp"), QStringLiteral("左右に並べて表示(&V)"), false),
            &QAction::triggered, this, [this] { guarded([this] { v_disp_Click(); }); });
    connect(add_item(m_windowMenu, QStringLiteral("c_disp"), QStringLiteral("重ねて表示(&C)"), false),
            &QAction::triggered, this, [this] { guarded([this] { c_disp_Click(); }); });
    connect(m_windowMenu, &QMenu::aboutToShow, this, [this] { rebuild_window_menu(); });

    QMenu* graph = menu(QStringLiteral("menu_graph"), QStringLiteral("ｸﾞﾗﾌ(&G)"));
    connect(add_item(graph, QStringLiteral("mGrp_Draw"), QStringLiteral("グラフ描画（&D）"), false),
            &QAction::triggered, this, [this] { guarded([this] { mGrp_Draw_Click(); }); });
    graph->addSeparator();
    QAction* autoDraw = add_item(graph, QStringLiteral("mGrp_optAutoDraw"), QStringLiteral("自動でグラフ描画"));
    autoDraw->setCheckable(true);
    // The check mark is toggled by the handler itself.
    connect(autoDraw, &QAction::triggered, this, [this, autoDraw](bool) {
        autoDraw->setChecked(!autoDraw->isChecked());
        guarded([this] { mGrp_optAutoDraw_Click(); });
    });

    QMenu* help = menu(QStringLiteral("help"), QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    connect(add_item(help, QStringLiteral("loggerhelp"), QStringLiteral("ﾍﾙﾌﾟ(&H)")), &QAction::triggered, this,
            [this] { guarded([this] { loggerhelp_Click(); }); });
    connect(add_item(help, QStringLiteral("version"), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報")), &QAction::triggered, this,
            [this] { guarded([this] { version_Click(); }); });
}

void HOME::rebuild_window_menu() {
    // The three arrangement items stay; the list of child windows follows them.
    const QList<QAction*> actions = m_windowMenu->actions();
    for (QAction* a : actions) {
        if (a->property("mq_window_entry").toBool()) {
            m_windowMenu->removeAction(a);
            a->deleteLater();
        }
    }
    const QList<QMdiSubWindow*> subs = m_mdi->subWindowList(QMdiArea::CreationOrder);
    if (subs.isEmpty()) return;
    QAction* sep = m_windowMenu->addSeparator();
    sep->setProperty("mq_window_entry", true);
    int n = 1;
    for (QMdiSubWindow* sub : subs) {
        QAction* a = m_windowMenu->addAction(QStringLiteral("&%1 %2").arg(n++).arg(sub->windowTitle()));
        a->setProperty("mq_window_entry", true);
        a->setCheckable(true);
        a->setChecked(sub == m_mdi->currentSubWindow());
        QPointer<QMdiSubWindow> target = sub;
        connect(a, &QAction::triggered, this, [this, target] {
            if (target) m_mdi->setActiveSubWindow(target);
        });
    }
}

void HOME::build_toolbar() {
    m_toolbar = addToolBar(QStringLiteral("Toolbar1"));
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setMovable(false);
    struct Button {
        int index;
        const char16_t* tip;
        QStyle::StandardPixmap icon;
        bool enabled;
    };
    const Button buttons[] = {
        {toolbar1::Connect, u"ﾛｶﾞｰ接続", QStyle::SP_DriveNetIcon, true},
        {toolbar1::Read, u"ﾛｶﾞｰ読み出し", QStyle::SP_ArrowDown, false},
        {toolbar1::RecordSettings, u"収録設定", QStyle::SP_FileDialogDetailedView, false},
        {toolbar1::WorkerNames, u"作業者名の登録", QStyle::SP_FileDialogContentsView, false},
        {toolbar1::Comments, u"ｺﾒﾝﾄの登録", QStyle::SP_FileDialogInfoView, false},
        {toolbar1::DeviceSettings, u"機器設定", QStyle::SP_ComputerIcon, false},
        {toolbar1::Open, u"ﾌｧｲﾙを開く", QStyle::SP_DialogOpenButton, true},
        {toolbar1::Save, u"名前をつけて保存", QStyle::SP_DialogSaveButton, false},
        {toolbar1::Print, u"印刷", QStyle::SP_FileIcon, false},
        {toolbar1::Graph, u"ｸﾞﾗﾌ表示", QStyle::SP_DesktopIcon, false},
    };
    int last = 1;  // index 1 is a leading separator, not drawn
    for (const Button& b : buttons) {
        // One drawn separator for each run of separator indices between buttons.
        if (b.index > last + 1 && last > 1) m_toolbar->addSeparator();
        QAction* a = m_toolbar->addAction(style()->standardIcon(b.icon), QString::fromUtf16(b.tip));
        a->setToolTip(QString::fromUtf16(b.tip));
        a->setObjectName(QStringLiteral("Toolbar1_%1").arg(b.index));
        a->setEnabled(b.enabled);
        const int index = b.index;
        connect(a, &QAction::triggered, this, [this, index] { guarded([this, index] { Toolbar1_ButtonClick(index); }); });
        m_buttons[b.index] = a;
        last = b.index;
    }
}

void HOME::build_status_bar() {
    const QString texts[4] = {QStringLiteral("未接続"), QStringLiteral("機種名："), QStringLiteral("機器名称："),
                              QStringLiteral("動作：")};
    const int stretch[4] = {0, 1, 1, 1};
    for (int i = 0; i < 4; ++i) {
        m_panels[i] = new QLabel(texts[i], this);
        m_panels[i]->setObjectName(QStringLiteral("StatusBar1_%1").arg(i + 1));
        m_panels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        m_panels[i]->setMinimumWidth(i == 0 ? 80 : 160);
        statusBar()->addWidget(m_panels[i], stretch[i]);
    }
}

// ---------------------------------------------------------------- services

IDataWindow* HOME::activeDataWindow() {
    QMdiSubWindow* sub = m_mdi->currentSubWindow();
    if (!sub) return nullptr;
    return m_table.dataWindowOf(sub->widget());
}

IDataWindow* HOME::mode_window() {
    IDataWindow* w = activeDataWindow();
    return w ? w : m_table.first_data_window();
}

void HOME::win_active_close() { m_table.win_active_close(); }
int HOME::win_all_use_ct() { return m_table.win_all_use_ct(); }

void HOME::setToolbarButtonEnabled(int index, bool enabled) {
    if (QAction* a = toolbarButton(index)) a->setEnabled(enabled);
}

void HOME::setMenuItemEnabled(const QString& name, bool enabled) {
    if (QAction* a = menuItem(name)) a->setEnabled(enabled);
}

bool HOME::link_connected_flag() const { return LinkSlot::installed() && link().link_connected_flag; }
void HOME::let_link_mode(OpMode mode) { link().link_mode = mode; }
void HOME::let_link_serial_no(const QString& text) { link().link_serial_no = text; }
void HOME::blank_link_identity() { ::mq::blank_link_identity(); }
void HOME::yieldToEventLoop() { QApplication::processEvents(); }

QAction* HOME::menuItem(const QString& name) const {
    const auto it = m_items.find(name);
    return it == m_items.end() ? nullptr : it->second;
}

QAction* HOME::toolbarButton(int index) const {
    const auto it = m_buttons.find(index);
    return it == m_buttons.end() ? nullptr : it->second;
}

QString HOME::statusPanelText(int panel) const {
    if (panel < 1 || panel > 4) return QString();
    return m_panels[panel - 1]->text();
}

void HOME::setStatusPanelText(int panel, const QString& text) {
    if (panel >= 1 && panel <= 4) m_panels[panel - 1]->setText(text);
}

bool HOME::autoDrawChecked() const { return menuItem(QStringLiteral("mGrp_optAutoDraw"))->isChecked(); }
void HOME::setAutoDrawChecked(bool checked) { menuItem(QStringLiteral("mGrp_optAutoDraw"))->setChecked(checked); }

// ---------------------------------------------------------------- command state

CommandInputs HOME::command_inputs() {
    CommandInputs in;
    OpMode linkMode = OpMode::None;
    if (LinkSlot::installed()) {
        const LinkState& ls = link();
        in.connected = ls.link_connected_flag;
        linkMode = ls.link_mode;
        in.model_text = ls.link_model_text;
        in.user_model_text = ls.link_user_model_text;
    }
    if (HomeSlot::installed()) {
        in.data_windows = m_table.win_all_use_ct();
        in.graph_windows = m_table.any_graph_window();
        in.opening_file = home_state().opening_file;
    }
    if (in.connected) {
        in.mode = linkMode;
    } else if (in.data_windows > 0) {
        // Without a logger the windows tell the mode: the one they were
        // opened in, else the mode of the data they show.
        if (linkMode != OpMode::None) {
            in.mode = linkMode;
        } else {
            in.mode = windowMode(mode_window());
        }
    }
    return in;
}

void HOME::refresh_command_state() {
    const CommandState s = command_state_of(command_inputs());
    for (toolbar1::Button b : kLoggerButtons) setToolbarButtonEnabled(b, s.logger_commands);
    for (const char* name : kLoggerItems) setMenuItemEnabled(QString::fromLatin1(name), s.logger_commands);
    setToolbarButtonEnabled(toolbar1::Read, s.read);
    setMenuItemEnabled(QStringLiteral("loggerread"), s.read);
    for (toolbar1::Button b : kDataWindowButtons) setToolbarButtonEnabled(b, s.data_commands);
    for (const char* name : kDataWindowItems) setMenuItemEnabled(QString::fromLatin1(name), s.data_commands);
    setToolbarButtonEnabled(toolbar1::Graph, s.graph_commands);
    setMenuItemEnabled(QStringLiteral("mGrp_Draw"), s.graph_commands);
    setMenuItemEnabled(QStringLiteral("menu_graph"), s.graph_menu);
    setToolbarButtonEnabled(toolbar1::Open, s.open);
    m_mdi->setBackground(palette().brush(s.connected_look ? QPalette::Button : QPalette::Dark));
    for (int i = 0; i < 4; ++i) setStatusPanelText(i + 1, s.panels[i]);
}

// ---------------------------------------------------------------- shared logic

void HOME::show_comm_dialog(const QString& state) {
    HomeState& hs = home_state();
    hs.dialog_state = state;
    if (hs.targets.comm_dialog) hs.targets.comm_dialog(state);
}

bool HOME::command_files_ready() {
    const QString& error = home_state().command_files_error;
    if (error.isEmpty()) return true;
    platform::msgBox(this, error, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
    return false;
}

bool HOME::require_connected() {
    if (!command_files_ready()) return false;
    if (link().link_connected_flag) return true;
    show_comm_dialog(QStringLiteral("40"));
    return false;
}

void HOME::guarded(const std::function<void()>& command) {
    if (!run_command_guarded(this, command)) home_state().app_idle_flag = true;
}

// ---------------------------------------------------------------- commands

void HOME::loggerconnect_Click() {
    if (!command_files_ready()) return;
    const auto& hook = home_state().targets.commands[HomeCommand::LoggerConnect];
    if (hook) hook();
    else ::mq::loggerconnect_Click(*this);
}
void HOME::fileopen_Click() { call(HomeCommand::FileOpen); }
void HOME::save_Click() { call(HomeCommand::Save); }

void HOME::loggerread_Click() {
    HomeState& hs = home_state();
    BusyScope busy;
    if (require_connected()) {
        if (get_cur_mode_type() == OpMode::Log) call(HomeCommand::LogDataSelect);
        else call(HomeCommand::TagDataSelect);
    }
    // Logger windows now hold data not yet saved; file windows never do.
    for (int i = 0; i < kWinSlots; ++i) {
        const QString& k = hs.win_key_table[i];
        if (k.isEmpty() || k.startsWith(QLatin1Char('F'))) hs.win_unsaved_flags[i] = 0;
        else if (hs.win_unsaved_flags[i] == 0) hs.win_unsaved_flags[i] = 1;
    }
}

void HOME::logingsv_Click() {
    BusyScope busy;
    if (require_connected()) {
        if (is_log_data(get_cur_mode_type())) call(HomeCommand::LogSetValue);
        else call(HomeCommand::TagSetValue);
    }
}

// The worker-name and comment list editors rewrite what the TAG windows read
// from the logger, so those windows are closed first when the user agrees.
void HOME::open_list_editor(HomeCommand editor) {
    HomeState& hs = home_state();
    BusyScope busy;
    bool go = true;
    if (get_cur_mode_type() == OpMode::Tag && m_table.win_logger_use_ct() > 0) {
        const auto answer = platform::msgBox(this, QStringLiteral("読み出し済みデータを閉じます。よろしいですか？"),
                                             platform::MsgButtons::OKCancel);
        if (answer == platform::MsgResult::OK) {
            hs.close_reason = 1;
            m_table.win_logger_win_all_close();
            hs.close_reason = 0;
        } else {
            go = false;
        }
    }
    if (go && require_connected()) call(editor);
}

void HOME::namelist_Click() { open_list_editor(HomeCommand::Comment1); }

void HOME::commlist_Click() { open_list_editor(HomeCommand::Comment2); }

void HOME::modelset_Click() {
    BusyScope busy;
    if (require_connected()) call(HomeCommand::ModelSetting);
}

void HOME::defset_Click() {
    BusyScope busy;
    if (require_connected()) {
        const OpMode mode = get_cur_mode_type();
        if (is_log_data(mode)) call(HomeCommand::Log0SetValue);
        else if (mode == OpMode::Tag) call(HomeCommand::Tag0SetValue);
    }
}

void HOME::a_comm_set_Click() {
    if (!command_files_ready()) return;
    BusyScope busy;
    show_comm_dialog(QStringLiteral("10"));
    comm_setting();
}

void HOME::m_comm_set_Click() {
    BusyScope busy;
    call(HomeCommand::ManualCommDialog);
    comm_setting();
}

void HOME::arrange(int how) {
    const QList<QMdiSubWindow*> subs = m_mdi->subWindowList(QMdiArea::CreationOrder);
    if (how == 0) {
        m_mdi->cascadeSubWindows();
    } else {
        QList<QMdiSubWindow*> shown;
        for (QMdiSubWindow* s : subs) {
            if (s->isVisible() && !s->isMinimized()) shown.append(s);
        }
        if (!shown.isEmpty()) {
            const QRect area = m_mdi->viewport()->rect();
            const int n = static_cast<int>(shown.size());
            for (int i = 0; i < n; ++i) {
                if (shown[i]->isMaximized()) shown[i]->showNormal();
                if (how == 1) {
                    // Tiled horizontally: the windows stacked from top to bottom.
                    const int h = area.height() / n;
                    shown[i]->setGeometry(0, i * h, area.width(), h);
                } else {
                    const int w = area.width() / n;
                    shown[i]->setGeometry(i * w, 0, w, area.height());
                }
            }
        }
    }
    QApplication::processEvents();
    m_table.win_arrange_size_limit();
}

void HOME::h_disp_Click() { arrange(1); }
void HOME::v_disp_Click() { arrange(2); }
void HOME::c_disp_Click() { arrange(0); }

bool HOME::mGrp_Draw_Click() {
    IDataWindow* act = activeDataWindow();
    if (!act) return false;
    platform::Grid* grid = act->vsFlexGrid1();
    const int dataRows = grid ? grid->Rows() - 1 : 0;
    if (dataRows <= 1) {
        platform::msgBox(this, QStringLiteral("ﾃﾞｰﾀが1個の為ｸﾞﾗﾌ描画はできません。"), platform::MsgButtons::OK,
                         platform::MsgIcon::None, platform::MsgDefault::First, QStringLiteral("ｸﾞﾗﾌ"));
        return false;
    }
    const auto& graph = home_state().targets.graph;
    return graph ? graph() : false;
}

void HOME::mGrp_optAutoDraw_Click() { setAutoDrawChecked(!autoDrawChecked()); }

void HOME::print_data_Click() {
    if (!activeDataWindow()) return;
    BusyScope busy;
    try {
        if (show_printer_choice(this)) call(HomeCommand::TablePrint);
    } catch (...) {
        // A failure of the printer choice or the printing window ends the command quietly.
    }
}

void HOME::loggerhelp_Click() { show_help(this, model().help_file, help_context::home_loggerhelp); }

void HOME::version_Click() {
    BusyScope busy;
    Ver_Dialog box(this);
    box.exec();
}

void HOME::Toolbar1_ButtonClick(int index) {
    BusyScope busy;
    bool graphOpened = false;
    switch (index) {
    case toolbar1::Connect: loggerconnect_Click(); break;
    case toolbar1::Read: loggerread_Click(); break;
    case toolbar1::RecordSettings: logingsv_Click(); break;
    case toolbar1::WorkerNames: namelist_Click(); break;
    case toolbar1::Comments: commlist_Click(); break;
    case toolbar1::DeviceSettings: modelset_Click(); break;
    case toolbar1::Open: fileopen_Click(); break;
    case toolbar1::Save: save_Click(); break;
    case toolbar1::Print: print_data_Click(); break;
    case toolbar1::Graph: graphOpened = mGrp_Draw_Click(); break;
    default: break;
    }
    // Only an open graph window gives the idle state back later (when it
    // closes); a command that opened nothing must not leave the program busy,
    // or every later hand-over would be dropped.
    if (graphOpened) busy.keep_busy();
}

// ---------------------------------------------------------------- closing commands

void HOME::fileclose_Click() {
    HomeState& hs = home_state();
    hs.app_closing_flag = true;
    hs.close_reason = 0;
    m_table.win_active_close();
    hs.app_closing_flag = false;
}

void HOME::allclose_Click() {
    HomeState& hs = home_state();
    hs.app_closing_flag = true;
    hs.close_reason = 0;
    m_table.win_all_close();
    hs.app_closing_flag = false;
    // Every window asked to save until it closed, so none is left.
    update_command_state(ForgetLogger::Mode);
}

void HOME::endprog_Click() {
    HomeState& hs = home_state();
    hs.app_closing_flag = true;
    hs.close_reason = 0;
    m_table.win_all_close();
    hs.app_closing_flag = false;
    close();
}

bool HOME::MDIForm_QueryUnload(int unloadMode) {
    HomeState& hs = home_state();
    if (isMinimized()) showNormal();
    BusyScope busy;
    if (hs.start_state == 0) {
        hs.close_cancel_flag = false;
        hs.app_closing_flag = true;
        hs.close_reason = unloadMode;
        m_table.win_all_close();
        hs.app_closing_flag = false;
        if (hs.close_cancel_flag) {
            hs.close_cancel_flag = false;
            return false;
        }
        m_timer3->stop();
        write_graph_option(model().user_dir, autoDrawChecked());
        {
            end_wait box(this, m_exitStepDelay);
            box.exec();
        }
        model().dao_workspace.reset();
        DataSetHandle::release_current(CurrentRef::Logger);
        DataSetHandle::release_current(CurrentRef::File);
        model().logger_main.reset();
        model().file_main.reset();
    }
    if (hs.start_state == 1) {
        QString title = QApplication::applicationDisplayName();
        if (title.isEmpty()) title = QStringLiteral("マロウクイル");
        platform::msgBox(this, QStringLiteral("すでに起動しています"), platform::MsgButtons::OK,
                         platform::MsgIcon::None, platform::MsgDefault::First, title);
    }
    // The program ends: it stays busy so that no hand-over starts now.
    busy.keep_busy();
    return true;
}

void HOME::closeEvent(QCloseEvent* e) {
    if (m_closed) {
        e->accept();
        return;
    }
    // The window system's close button is the user's close (0); a close from
    // the program (the exit command) is the code's (1).
    if (!MDIForm_QueryUnload(e->spontaneous() ? 0 : 1)) {
        e->ignore();
        return;
    }
    m_closed = true;
    e->accept();
}

bool HOME::event(QEvent* e) {
    if (e->type() == QEvent::WindowBlocked) m_table.main_window_blocked();
    if (e->type() == QEvent::WindowUnblocked) m_table.main_window_unblocked();
    return QMainWindow::event(e);
}

// ---------------------------------------------------------------- hand-over

void HOME::link_file_request(const QString& text) {
    HomeState& hs = home_state();
    if (!hs.app_idle_flag) return;  // a hand-over during a command is dropped
    QString path = text;
    if (path.startsWith(QLatin1Char('"'))) path = path.mid(1, path.size() - 2);
    hs.pending_file_path = path;
    hs.pending_file_flag = true;
}

void HOME::MDIForm_LinkExecute(const QString& commandText) {
    if (isMinimized()) showMaximized();
    link_file_request(commandText);
}

void HOME::Timer3_Timer() {
    HomeState& hs = home_state();
    if (m_inTimer3 || !hs.app_idle_flag || !hs.pending_file_flag) return;
    m_inTimer3 = true;
    guarded([this] { fileopen_Click(); });
    hs.pending_file_flag = false;
    m_inTimer3 = false;
}

}  // namespace mq
