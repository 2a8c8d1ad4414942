#pragma once
// A modal dialog that does its work when it is first activated: the list
// reads of the select dialogs, the settings reads of the editors, the clock
// read of the reservation dialog. The activation runs once the dialog is on
// screen (platforms that never activate a window, such as offscreen, still
// get it from the show) and again whenever the dialog becomes active; it
// never runs inside itself or after the dialog was unloaded.
#include <QDialog>

class QEvent;
class QShowEvent;

namespace mq {

class ActivatedDialog : public QDialog {
    Q_OBJECT
public:
    explicit ActivatedDialog(QWidget* parent = nullptr);

    // The dialog's work on activation.
    virtual void Form_Activate() = 0;

    // Closes the dialog as cancelled, once.
    void unload();
    bool unloaded() const { return m_unloaded; }

protected:
    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;

    // Called by unload() before the dialog closes.
    virtual void unloading() {}

    bool m_unloaded = false;
    // Form_Activate is running (it shows the progress dialog, which
    // activates windows again).
    bool m_inActivate = false;

private:
    bool m_activatePending = false;
};

}  // namespace mq
