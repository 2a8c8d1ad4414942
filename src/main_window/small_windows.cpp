#include "main_window/small_windows.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include "main_window/home_state.h"
#include "main_window/serial_link.h"
#include "platform/message_box.h"
#include "platform/numbers.h"

namespace mq {

// ---------------------------------------------------------------- Ver_Dialog

Ver_Dialog::Ver_Dialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("バージョン情報"));
    setModal(true);

    Label10 = new QLabel(QStringLiteral("マロウクイルデータ読み取りソフトウェア"), this);
    Label1 = new QLabel(this);
    Label2 = new QLabel(this);
    Label12 = new QLabel(QStringLiteral("対応機種："), this);
    Label3 = new QLabel(this);
    Label7 = new QLabel(this);
    Label8 = new QLabel(this);
    Label9 = new QLabel(this);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setToolTip(QStringLiteral("ﾎｰﾑ画面に戻ります"));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QVBoxLayout(this);
    top->addWidget(Label10);
    auto* ver = new QHBoxLayout;
    ver->addWidget(Label1);
    ver->addWidget(Label2);
    ver->addStretch();
    top->addLayout(ver);
    auto* models = new QHBoxLayout;
    models->addWidget(Label12);
    models->addWidget(Label3);
    models->addStretch();
    top->addLayout(models);

    auto* frame = new QGroupBox(QStringLiteral("接続機器情報"), this);
    auto* grid = new QGridLayout(frame);
    grid->addWidget(new QLabel(QStringLiteral("機種形式"), frame), 0, 0);
    grid->addWidget(Label7, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("ｼﾘｱﾙNo."), frame), 1, 0);
    grid->addWidget(Label8, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("ﾊﾞｰｼﾞｮﾝ"), frame), 2, 0);
    grid->addWidget(Label9, 2, 1);
    grid->setColumnStretch(1, 1);
    top->addWidget(frame);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    top->addLayout(buttons);

    // Filled when the box loads.
    Label1->setText(QStringLiteral("Ver 5.00"));
    Label2->setText(QStringLiteral("2013/12/03"));
    Label3->setText(QStringLiteral("ZK4409,ZK4409-M,ZK4409-U,ZK4409-MU"));
    const LinkState& ls = link();
    Label7->setText(ls.link_model_text);
    Label8->setText(ls.link_serial_text);
    Label9->setText(ls.link_hard_ver_text + QLatin1Char('.') + ls.link_soft_ver_text + QLatin1Char('.') +
                    ls.link_special_spec_text);
}

void Ver_Dialog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (QScreen* screen = this->screen()) {
        const QRect avail = screen->availableGeometry();
        move(avail.center() - rect().center());
    }
}

// ---------------------------------------------------------------- end_wait

end_wait::end_wait(QWidget* parent, int stepDelayMs) : QDialog(parent), m_stepDelay(stepDelayMs) {
    setWindowTitle(QStringLiteral("マロウクイル"));
    setModal(true);
    auto* top = new QVBoxLayout(this);
    top->addWidget(new QLabel(QStringLiteral("終了処理を行っています。　しばらくお待ち下さい。"), this));
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setTextVisible(false);
    top->addWidget(ProgressBar1);
}

void end_wait::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!m_started) {
        m_started = true;
        QTimer::singleShot(0, this, [this] { run_steps(); });
    }
}

void end_wait::set_progress(int value) {
    ProgressBar1->setValue(value);
    m_history.append(value);
}

void end_wait::run_steps() {
    // The link's watchdog first, so that nothing arrives while the tables go.
    link_timers_stop();

    ProgressBar1->setMaximum(100);
    set_progress(1);
    const std::function<void()> steps[] = {
        [] {
            LinkState& ls = link();
            for (CommandTable* t : {&ls.cmd_l_r_req, &ls.cmd_l_r_rsp, &ls.cmd_t_r_req, &ls.cmd_t_r_rsp, &ls.cmd_s_req,
                                    &ls.cmd_s_rsp, &ls.cmd_k_p_req, &ls.cmd_r_p_req}) {
                t->clear();
            }
        },
        [] {
            LinkState& ls = link();
            ls.rx_buffer = QByteArray();
            ls.rx_count = 0;
        },
        [] {
            HomeState& hs = home_state();
            for (int i = 0; i < kWinSlots; ++i) {
                hs.win_key_table[i].clear();
                hs.win_windows[i] = nullptr;
                hs.win_unsaved_flags[i] = 0;
            }
        },
        [] { home_state().area_window_flags.fill(false); },
        [] {
            home_state().targets.run(HomeCommand::FreeLogWorkTables);
        },
    };
    int value = 2;
    for (const auto& step : steps) {
        step();
        set_progress(value++);
        QApplication::processEvents();
    }
    set_progress(value);  // 7
    QApplication::processEvents();

    // The serial ports are left alone: only the pace of the bar remains.
    for (int v = 8; v <= 100; ++v) {
        if (m_stepDelay > 0) {
            QElapsedTimer t;
            t.start();
            while (t.elapsed() < m_stepDelay) {
                QApplication::processEvents(QEventLoop::AllEvents, m_stepDelay);
                QThread::msleep(1);
            }
        } else {
            QApplication::processEvents();
        }
        set_progress(v);
    }
    accept();
}

// ---------------------------------------------------------------- fGrready

qint32 fGrready::progress_maximum(qint32 startPos, qint32 endPos, const std::array<int, 4>& presentFlags) {
    int channels = 0;
    for (int f : presentFlags) {
        if (f == 1) ++channels;
    }
    return platform::toInt32((static_cast<double>(endPos) - startPos) / 10.0 * channels);
}

fGrready::fGrready(qint32 startPos, qint32 endPos, const std::array<int, 4>& presentFlags, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("ｸﾞﾗﾌ描画準備中"));
    auto* top = new QVBoxLayout(this);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setMinimum(0);
    // A range without channels or records leaves a bar that never moves.
    ProgressBar1->setMaximum(qMax(0, progress_maximum(startPos, endPos, presentFlags)));
    ProgressBar1->setValue(0);
    top->addWidget(ProgressBar1);
    resize(360, sizeHint().height());
}

// ---------------------------------------------------------------- TestForm

TestForm::TestForm(const QStringList& printers, const QString& currentPrinter, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("プリンタの設定"));
    setModal(true);
    Label1 = new QLabel(QStringLiteral("現在のプリンタ　：") + currentPrinter, this);
    Combo1 = new QComboBox(this);
    Combo1->addItems(printers);
    int sel = -1;
    for (int i = 0; i < printers.size(); ++i) {
        if (printers[i] == currentPrinter) sel = i;  // the last of repeated names
    }
    if (sel >= 0) Combo1->setCurrentIndex(sel);
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command2 = new QPushButton(QStringLiteral("Cancel"), this);
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &TestForm::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &TestForm::Command2_Click);

    auto* top = new QVBoxLayout(this);
    top->addWidget(Label1);
    top->addWidget(Combo1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    top->addLayout(buttons);
}

void TestForm::Command1_Click() {
    HomeState& hs = home_state();
    if (Combo1->currentIndex() >= 0) hs.current_printer = Combo1->currentText();
    hs.printer_choice_ok = true;
    accept();
}

void TestForm::Command2_Click() {
    home_state().printer_choice_ok = false;
    reject();
}

void TestForm::closeEvent(QCloseEvent* e) {
    // Closing the window without a button is a Cancel.
    if (result() != QDialog::Accepted) home_state().printer_choice_ok = false;
    QDialog::closeEvent(e);
}

QStringList installed_printers() { return QPrinterInfo::availablePrinterNames(); }
QString default_printer() { return QPrinterInfo::defaultPrinterName(); }

QString pdf_file_printer_name() { return QStringLiteral("PDFファイルに出力"); }

QStringList printer_choice_list() {
    QStringList list = installed_printers();
    list << pdf_file_printer_name();
    return list;
}

bool prepare_chosen_printer(QPrinter& printer, QWidget* parent, const FileDialogFn& dialog) {
    HomeState& hs = home_state();
    QString chosen = hs.current_printer;
    if (chosen.isEmpty()) chosen = default_printer();
    if (chosen.isEmpty()) chosen = pdf_file_printer_name();
    if (chosen != pdf_file_printer_name()) {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(chosen);
        return true;
    }
    FileDialogRequest request;
    request.save = true;
    request.filters = QStringList{QStringLiteral("PDF ファイル (*.pdf)")};
    request.startDir = hs.lafp_save_dir;
    const FileDialogAnswer answer = dialog ? dialog(parent, request) : show_file_dialog(parent, request);
    if (!answer.accepted || answer.path.isEmpty()) return false;
    QString path = answer.path;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) path += QLatin1String(".pdf");
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    return true;
}

bool show_printer_choice(QWidget* parent) {
    const QString systemDefault = default_printer();
    return show_printer_choice(parent, printer_choice_list(),
                               systemDefault.isEmpty() ? pdf_file_printer_name() : systemDefault);
}

bool show_printer_choice(QWidget* parent, const QStringList& printers, const QString& defaultPrinter) {
    HomeState& hs = home_state();
    if (printers.isEmpty()) {
        hs.printer_choice_ok = false;
        platform::msgBox(parent, QStringLiteral("プリンターが見つかりません。"), platform::MsgButtons::OK,
                         platform::MsgIcon::Exclamation);
        return false;
    }
    if (hs.current_printer.isEmpty()) hs.current_printer = defaultPrinter;
    TestForm form(printers, hs.current_printer, parent);
    // Escape and the window's close button count as Cancel.
    hs.printer_choice_ok = false;
    form.exec();
    return hs.printer_choice_ok;
}

}  // namespace mq
