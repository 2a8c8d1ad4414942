#pragma once
// A list of numbered rows with a check box in column 0 (the select dialogs'
// lists of areas and tags): row n (1-based) is the list's item n-1.
#include <QString>

class QTreeWidget;
class QTreeWidgetItem;

namespace mq::platform {

// Row n, or null when there is none.
QTreeWidgetItem* tick_row(const QTreeWidget* list, int n);
bool tick_is_set(const QTreeWidget* list, int n);
// The text of row n in column col; empty without the row.
QString tick_cell_text(const QTreeWidget* list, int n, int col);
// Sets row n's tick; `silently` keeps the list's change signal back (the
// dialog's own tick handler does not run), otherwise it runs as after a click.
void tick_set(QTreeWidget* list, int n, bool ticked, bool silently);

}  // namespace mq::platform
