#include "main_window/activated_dialog.h"

#include <QEvent>
#include <QShowEvent>
#include <QTimer>

namespace mq {

ActivatedDialog::ActivatedDialog(QWidget* parent) : QDialog(parent) {}

void ActivatedDialog::unload() {
    if (m_unloaded) return;
    m_unloaded = true;
    unloading();
    done(QDialog::Rejected);
}

void ActivatedDialog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!m_activatePending) {
        m_activatePending = true;
        QTimer::singleShot(0, this, [this] {
            m_activatePending = false;
            if (isVisible() && !m_unloaded) Form_Activate();
        });
    }
}

void ActivatedDialog::changeEvent(QEvent* e) {
    QDialog::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && isVisible() && !m_unloaded &&
        !m_activatePending) {
        Form_Activate();
    }
}

}  // namespace mq
