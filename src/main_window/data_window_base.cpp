#include "main_window/data_window_base.h"

#include <QCloseEvent>
#include <QMdiSubWindow>

#include <algorithm>

#include "main_window/home_state.h"
#include "model/cls_logger_database.h"
#include "model/common_proc.h"
#include "model/data_set_handle.h"
#include "model/model_state.h"
#include "platform/grid.h"
#include "platform/message_box.h"

namespace mq {

namespace {

IMainWindowServices* mainWindow() { return ModelSlot::installed() ? model().main_window : nullptr; }

// The logger data set of a window's tag made the one the save command saves;
// a data set already gone changes nothing.
void makeLoggerDataCurrent(const QString& tag) {
    if (const DataSetHandle ds = DataSetHandle::of_tag(tag); ds.is_logger()) ds.make_current();
}

}  // namespace

DataWindowBase::DataWindowBase(const QString& tag, QWidget* parent) : QWidget(parent), m_tag(tag) {}

DataWindowBase::~DataWindowBase() = default;

QMdiSubWindow* DataWindowBase::frame() const {
    for (QWidget* p = parentWidget(); p; p = p->parentWidget()) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(p)) return sub;
    }
    return nullptr;
}

// ---------------------------------------------------------------- closing

bool DataWindowBase::Form_QueryUnload(int /*unloadMode*/) {
    HomeState& hs = home_state();
    const bool ask = hs.close_reason != 1 && !m_tag.startsWith(QLatin1Char('F')) && !m_gaveUp;
    for (int i = 0; ask && i < kWinSlots; ++i) {
        if (hs.win_key_table[i] != m_tag || hs.win_unsaved_flags[i] != 1) continue;
        hs.close_cancel_flag = false;
        const platform::MsgResult answer = platform::msgBox(
            this, QStringLiteral("新規ファイル") + windowTitle() + QStringLiteral("を保存しますか？"),
            hs.app_closing_flag ? platform::MsgButtons::YesNo : platform::MsgButtons::YesNoCancel,
            platform::MsgIcon::Information, platform::MsgDefault::First, QStringLiteral("ウインドウを閉じる"));
        if (answer == platform::MsgResult::Cancel) {
            hs.close_cancel_flag = true;
            return true;
        }
        if (answer == platform::MsgResult::Yes) {
            makeLoggerDataCurrent(m_tag);
            hs.targets.run(HomeCommand::Save);
            if (hs.close_cancel_flag) {
                hs.close_result = true;
                return true;
            }
        } else {
            hs.close_cancel_flag = false;
        }
        hs.win_unsaved_flags[i] = 0;
    }
    close_data_window(m_tag);
    return false;
}

void DataWindowBase::closeEvent(QCloseEvent* e) {
    if (m_inClose) {
        e->accept();
        return;
    }
    m_inClose = true;
    bool cancel = false;
    try {
        cancel = Form_QueryUnload(0);
    } catch (const std::exception&) {
        // The data set is already gone (its list was cleared): nothing to release.
        cancel = false;
    }
    m_inClose = false;
    if (cancel) e->ignore();
    else e->accept();
}

void DataWindowBase::give_up_fill() {
    home_state().data_win_init_flag = true;
    m_gaveUp = true;
    IMainWindowServices* mw = mainWindow();
    if (!mw) {
        close();
        return;
    }
    mw->win_active_close();
    mw->update_command_state();
}

// ---------------------------------------------------------------- size

void DataWindowBase::cap_size_and_enable_commands(QSize capTwips) {
    if (m_inResize) return;
    m_inResize = true;
    if (QMdiSubWindow* sub = frame()) {
        if (!sub->isMinimized() && !sub->isMaximized()) {
            const int capH = twipsToPixelsY(capTwips.height());
            const int capW = twipsToPixelsX(capTwips.width());
            QSize size = sub->size();
            if (size.height() > capH) size.setHeight(capH);
            if (size.width() > capW) size.setWidth(capW);
            if (size != sub->size()) sub->resize(size);
        }
    }
    if (IMainWindowServices* mw = mainWindow()) mw->refresh_command_state();
    m_inResize = false;
}

// ---------------------------------------------------------------- statistics table

void DataWindowBase::write_statistics_row_names(platform::Grid* stats, int rowCount) {
    static const char* const rows[6] = {"最大値", "最小値", "平均値", "積算値[*h]", "上限警報数", "下限警報数"};
    for (int r = 0; r < std::min(rowCount, 6); ++r) stats->setTextMatrix(r + 1, 0, QString::fromUtf8(rows[r]));
}

QString DataWindowBase::channel_head(int ch, const QString& unit) {
    return QStringLiteral("CH") + QString::number(ch + 1) + QLatin1Char('[') + unit + QLatin1Char(']');
}

clsLOGGER_DATABASE* DataWindowBase::window_database() const { return DataSetHandle::of_tag(Tag()).database(); }

void DataWindowBase::write_field_names(const DbRecordset& data1, platform::Grid* grid, int lastColumn) {
    const QStringList names = data1.FieldNames();
    const int lastField = std::min<int>(lastColumn, int(names.size()) - 1);
    for (int c = 0; c <= lastField; ++c) grid->setTextMatrix(0, c, names[c]);
}

void DataWindowBase::refresh_records_table(std::shared_ptr<DbRecordset>& data1, platform::Grid* grid,
                                           int lastColumn) {
    if (!data1 || !data1->IsOpen()) {
        if (clsLOGGER_DATABASE* db = window_database()) data1 = db->Recordset();
    }
    grid->setRedraw(false);
    if (!data1 || !data1->IsOpen()) {
        grid->setRows(1);
        grid->setRedraw(true);
        return;
    }
    const qint32 count = data1->RecordCount();
    const int lastField = std::min<int>(lastColumn, int(data1->FieldNames().size()) - 1);
    grid->setRows(count + 1);
    write_field_names(*data1, grid, lastColumn);
    if (count > 0 && lastField >= 0) {
        struct Fill : DbRecordset::RowVisitor {
            platform::Grid* grid;
            qint32 rows;
            void row(qint32 position, const QByteArrayView* fields, int n) override {
                if (position >= rows) return;
                for (int c = 0; c < n; ++c) grid->setTextUtf8(position + 1, c, fields[c]);
            }
        } fill;
        fill.grid = grid;
        fill.rows = count;
        data1->ReadRowsUtf8(0, lastField, fill);
    }
    grid->setRedraw(true);
}

}  // namespace mq
