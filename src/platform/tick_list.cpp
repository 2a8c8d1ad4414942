#include "platform/tick_list.h"

#include <QSignalBlocker>
#include <QTreeWidget>

namespace mq::platform {

QTreeWidgetItem* tick_row(const QTreeWidget* list, int n) {
    if (!list || n < 1 || n > list->topLevelItemCount()) return nullptr;
    return list->topLevelItem(n - 1);
}

bool tick_is_set(const QTreeWidget* list, int n) {
    const QTreeWidgetItem* it = tick_row(list, n);
    return it && it->checkState(0) == Qt::Checked;
}

QString tick_cell_text(const QTreeWidget* list, int n, int col) {
    const QTreeWidgetItem* it = tick_row(list, n);
    return it ? it->text(col) : QString();
}

void tick_set(QTreeWidget* list, int n, bool ticked, bool silently) {
    QTreeWidgetItem* it = tick_row(list, n);
    if (!it) return;
    const QSignalBlocker block(silently ? list : nullptr);
    it->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
}

}  // namespace mq::platform
