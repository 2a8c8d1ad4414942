#pragma once
// Dialog: the small modal window through which the main window tells the user
// how connecting, losing or changing the logger ended, and in which the
// automatic search for the logger's port and speed runs.
//
// The caller puts the message number into home_state().dialog_state and shows
// the window modally (show_connection_dialog does both). The confirming
// messages close by themselves after two seconds; number "10" runs the port
// search when OK is pressed and leaves dialog_state "0" behind, so that the
// next OK closes the window. Callers that need the search result read
// link().comm_port_no and link().comm_baud_rate.
#include <QDialog>
#include <QString>
#include <QtGlobal>

class QLabel;
class QPushButton;
class QTimer;

namespace mq {

struct HomeTargets;

// Title, text and auto-close of a message number; the empty title and text
// for a number outside the table.
struct DialogMessage {
    QString title;
    QString text;
    bool autoClose = false;
};
DialogMessage dialog_message(const QString& state);

// The speeds of the port search, tried in this order (outer loop), and the
// highest COM number tried (inner loop from 1).
inline constexpr qint32 kSearchSpeeds[3] = {128000, 19200, 9600};
inline constexpr qint16 kSearchLastPort = 16;

class Dialog : public QDialog {
    Q_OBJECT
public:
    explicit Dialog(QWidget* parent = nullptr);
    ~Dialog() override;

    // ---- controls
    QLabel* Label1 = nullptr;        // the message
    QLabel* Label2 = nullptr;        // the port being tried during a search
    QPushButton* OKButton = nullptr;  // "OK"
    QTimer* Timer1 = nullptr;         // 2000 ms auto-close, off until loaded with a confirming message

    // ---- event handlers
    // Reads dialog_state and sets title, message, timer and button (run by the constructor).
    void Form_Load();
    void OKButton_Click();
    void Timer1_Timer();
    void Form_Unload();

    // The automatic port search (OK with dialog_state "10").
    void port_search();
    bool searching() const { return m_searching; }

    // Event pumping between two failed probes, in ms (tests may shorten it).
    void setPortPauseMs(int ms) { m_portPauseMs = ms; }

signals:
    // Just before a port is probed, with the speed in force.
    void portProbe(qint16 port, qint32 baud);
    // The search has ended; found: a port answered (its number and speed are now in force).
    void searchEnded(bool found);

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* e) override;
    void done(int r) override;

private:
    void pause_between_ports();

    bool m_searching = false;
    bool m_unloaded = false;
    int m_portPauseMs = 10;
};

// Sets dialog_state and shows Dialog modally over parent (the main window
// when null).
void show_connection_dialog(const QString& state, QWidget* parent = nullptr);

}  // namespace mq
