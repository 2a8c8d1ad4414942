#pragma once
// The small windows of the main window: the version box, the exit progress
// window, the graph-preparation progress window and the printer choice.
#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

#include "main_window/file_open.h"

class QComboBox;
class QPrinter;
class QLabel;
class QProgressBar;
class QPushButton;

namespace mq {

// Version box: the program's version and the identity of the connected logger.
class Ver_Dialog : public QDialog {
    Q_OBJECT
public:
    explicit Ver_Dialog(QWidget* parent = nullptr);

    QLabel* Label10 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QPushButton* OKButton = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
};

// Exit progress window: frees the program's tables in steps while its bar
// advances, then closes itself. Shown modally by the closing sequence.
class end_wait : public QDialog {
    Q_OBJECT
public:
    explicit end_wait(QWidget* parent = nullptr, int stepDelayMs = 3);

    QProgressBar* ProgressBar1 = nullptr;
    // Every value the bar took, in order.
    const QList<int>& progressHistory() const { return m_history; }

protected:
    void showEvent(QShowEvent* e) override;

private:
    void run_steps();
    void set_progress(int value);

    int m_stepDelay;
    bool m_started = false;
    QList<int> m_history;
};

// Graph-preparation window: a bar whose maximum follows the drawn range and
// the channels present. The graph window advances it and closes it.
class fGrready : public QDialog {
    Q_OBJECT
public:
    fGrready(qint32 startPos, qint32 endPos, const std::array<int, 4>& presentFlags, QWidget* parent = nullptr);

    // (end - start) / 10 x the number of channels whose present flag is 1.
    static qint32 progress_maximum(qint32 startPos, qint32 endPos, const std::array<int, 4>& presentFlags);

    QProgressBar* ProgressBar1 = nullptr;
};

// Printer choice: the installed printers, the current one selected. OK makes
// the chosen printer the program's current printer (home_state().current_printer).
class TestForm : public QDialog {
    Q_OBJECT
public:
    TestForm(const QStringList& printers, const QString& currentPrinter, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QPushButton* Command1 = nullptr;  // OK
    QPushButton* Command2 = nullptr;  // Cancel

    void Command1_Click();
    void Command2_Click();

protected:
    void closeEvent(QCloseEvent* e) override;
};

// The system's printers in their system order, and the default one.
QStringList installed_printers();
QString default_printer();

// The PDF file printer: listed after the system printers, so that a machine
// without any printer can still print; it asks for the file name when a job
// is sent to it.
QString pdf_file_printer_name();
// What the printer choice lists: the system printers, then the PDF file printer.
QStringList printer_choice_list();

// Points a printer at the program's current printer (home_state().current_printer;
// with none chosen yet, the system default, else the PDF file printer). For
// the PDF file printer the file name is asked with the save file dialog
// (`dialog`, empty: the real one) and becomes the printer's PDF output.
// False when the user cancelled that dialog: nothing is to be printed.
bool prepare_chosen_printer(QPrinter& printer, QWidget* parent, const FileDialogFn& dialog = {});

// Shows the printer choice modally over the printer choice list and returns
// printer_choice_ok. With no printer installed it shows "プリンターが見つかりません。"
// instead and answers false.
bool show_printer_choice(QWidget* parent);
// The same over a given printer list (tests).
bool show_printer_choice(QWidget* parent, const QStringList& printers, const QString& defaultPrinter);

}  // namespace mq
