#include "model/common_proc.h"

#include <QCoreApplication>
#include <QLineEdit>

#include <limits>

#include "model/channel_values.h"
#include "model/data_set_handle.h"
#include "model/data_sets.h"
#include "model/data_window.h"
#include "model/model_state.h"
#include "platform/grid.h"
#include "platform/numbers.h"
#include "platform/text_limit.h"

namespace mq {

namespace {

IDataWindow* activeWindow() {
    IMainWindowServices* mw = model().main_window;
    return mw ? mw->activeDataWindow() : nullptr;
}

bool linkConnected() {
    IMainWindowServices* mw = model().main_window;
    return mw && mw->link_connected_flag();
}

// Basic's RTrim: blanks only.
QString rightTrimmed(const QString& s) {
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == QLatin1Char(' ')) --n;
    return s.left(n);
}

bool isRangeText(const QString& value) { return is_range_mark(value_kind(value)); }


// A count one higher; a count already at the top of its 32-bit range is an
// overflow error, never a wrap to a negative count.
qint32 countedOneMore(qint32 count) {
    if (count == std::numeric_limits<qint32>::max()) throw OverflowError("count beyond the 32-bit range");
    return count + 1;
}

template <class DataSet>
void newWorkingDb(DataSet& ds, quint8 modeType) {
    if (IDataWindow* w = activeWindow()) ds.let_ID(w->Tag().left(3));
    clsLOGGER_DATABASE& db = ds.clsLOGGER_DATABASE();
    if (!db.WorkSpace()) db.setWorkSpace(model().dao_workspace);
    db.NewDb(modeType);
}

clsFILE_DATA& currentFileData() {
    ModelState& m = model();
    if (!m.act_file_data) throw MissingKeyError("no current file data set");
    return *m.act_file_data;
}

}  // namespace

clsLOGGER_SETTING& cur_setting_by_kind() {
    clsLOGGER_SETTING* s = DataSetHandle::current().setting();
    if (!s) throw MissingKeyError("no current data set");
    return *s;
}

void activate_data_window() {
    IDataWindow* w = activeWindow();
    if (!w) return;
    const QString key = w->Tag().left(3);
    if (!key.startsWith(QLatin1Char('F')) && !key.startsWith(QLatin1Char('L'))) return;
    // Look the data set up before touching the current-data-set state, so a
    // failed lookup leaves the kind and the references consistent.
    const DataSetHandle ds = DataSetHandle::of_tag(key);
    if (!ds) throw MissingKeyError("no data set " + key.toStdString());
    ds.make_current();
}

void close_data_window(const QString& key) {
    ModelState& m = model();
    IMainWindowServices* mw = m.main_window;
    if (mw) {
        mw->win_active_close();
        mw->update_command_state();
    }

    const QString dsKey = key.left(3);
    if (dsKey.startsWith(QLatin1Char('F'))) {
        DataSetHandle::release_current(CurrentRef::File);
        // A file data set ends with its window; its database file goes with it
        // once the last reference is gone. A data set that is already gone
        // leaves nothing to release.
        if (DataSetHandle::of_tag(dsKey)) m.file_main->colFILE_DATA().Remove(dsKey);
        DataSetHandle::set_current_kind(linkConnected() ? 2 : 0);
    } else if (dsKey.startsWith(QLatin1Char('L')) && linkConnected()) {
        // A logger data set stays in the list; only its database is closed.
        std::shared_ptr<clsLOGGER_DATA> ds = m.act_logger_data;
        if (!ds || ds->ID() != dsKey) ds = DataSetHandle::of_tag(dsKey).logger();
        if (ds) ds->clsLOGGER_DATABASE().CloseDb();
        DataSetHandle::release_current(CurrentRef::Logger);
        if (mw) {
            mw->yieldToEventLoop();
        } else {
            QCoreApplication::processEvents();
        }
    }
}

void bind_data_recordset(IDataWindow* target) {
    ModelState& m = model();
    clsLOGGER_DATABASE* db = nullptr;
    if (m.act_data_kind == 1) {
        clsFILE_DATA& ds = currentFileData();
        newWorkingDb(ds, ds.clsLOGGER_STATUS().mode_type());
        db = &ds.clsLOGGER_DATABASE();
    } else {
        if (!m.act_logger_data) throw MissingKeyError("no current logger data set");
        if (!m.logger_main) throw MissingKeyError("no logger data is held");
        newWorkingDb(*m.act_logger_data, m.logger_main->clsLOGGER_STATUS().mode_type());
        db = &m.act_logger_data->clsLOGGER_DATABASE();
    }
    if (IDataWindow* w = target ? target : activeWindow()) w->bind_Data1(db->Recordset());
}

void open_file_data_db() {
    clsFILE_DATA& ds = currentFileData();
    newWorkingDb(ds, ds.clsLOGGER_STATUS().mode_type());
}

void clear_logger_data_list() {
    ModelState& m = model();
    if (!m.logger_main) return;
    colLOGGER_DATA& list = m.logger_main->colLOGGER_DATA();
    // The twenty area or tag data sets come and go together and "L00" exists
    // only while a defaults editor holds it; removing only what is there
    // empties the list the same way without stopping half-way on a gap.
    auto removeIfPresent = [&list](const QString& key) {
        if (list.Find(key)) list.Remove(key);
    };
    const int count = list.Count();
    if (count == 0) return;
    if (count == 1) {
        removeIfPresent(QStringLiteral("L00"));
        return;
    }
    for (int n = 1; n <= 20; ++n) {
        removeIfPresent(DataSetHandle::logger_key(n));
    }
    if (list.Count() == 1) removeIfPresent(QStringLiteral("L00"));
}

OpMode get_cur_mode_type() {
    ModelState& m = model();
    if (m.act_data_kind == 1 && m.act_file_data) return op_mode_of(m.act_file_data->clsLOGGER_STATUS().mode_type());
    if (m.act_data_kind == 2 && m.logger_main) return op_mode_of(m.logger_main->clsLOGGER_STATUS().mode_type());
    return OpMode::None;
}

platform::MsgResult confirm_mode_change() {
    IMainWindowServices* mw = model().main_window;
    const QString text = QStringLiteral(
        "現在のソフト動作モードとロガー動作モードが異なります。\r\n"
        "動作モードを変更しますか？\r\n"
        "（ただし、動作モードを変更するとこれまで展開しているデータは破棄されます。）");
    return platform::msgBox(mw ? mw->mainWidget() : nullptr, text, platform::MsgButtons::YesNo,
                            platform::MsgIcon::Exclamation, platform::MsgDefault::Second);
}

QString format_ch_value(QString& value, int ch) {
    clsLOGGER_SETTING& s = cur_setting_by_kind();
    value = model().act_data_kind == 1 ? range_text_file(value) : range_text_logger(value);
    if (s.Ch_input_type(ch - 1) == QLatin1String("-")) return QString();
    if (isRangeText(value)) return platform::rightAlign(value, 9);
    s.let_Ch_data_count(ch - 1, countedOneMore(s.Ch_data_count(ch - 1)));
    // The value right-aligned in six, and the cell in ten; a longer value
    // ("-300.00", "-3276.7") keeps all its characters.
    value = platform::padLeft(rightTrimmed(value).trimmed(), 6);
    return platform::padLeft(value, 10);
}

QString cell_value_text(const QString& cell) {
    qsizetype start = cell.size();
    while (start > 0 && cell[start - 1] != u' ') --start;
    const qsizetype token = cell.size() - start;
    return cell.right(std::max<qsizetype>(6, token));
}

void mark_alarm_value(clsLOGGER_SETTING& s, platform::Grid* grid, int firstChannelCol, const QString& value,
                      qint32 row, int ch) {
    if (s.Ch_input_type(ch - 1) == QLatin1String("-") || isRangeText(value)) return;
    const AlarmBand band = alarm_band(alarm_limits(s, ch - 1), value);
    if (band == AlarmBand::High) s.let_CH_H_ALM_NUM(ch - 1, countedOneMore(s.CH_H_ALM_NUM(ch - 1)));
    if (band == AlarmBand::Low) s.let_CH_L_ALM_NUM(ch - 1, countedOneMore(s.CH_L_ALM_NUM(ch - 1)));
    if (!grid) return;
    grid->setRow(row + 1);
    grid->setCol(firstChannelCol + ch - 1);
    if (band != AlarmBand::None) grid->setCellForeColor(alarm_band_colour(band));
}

QString range_text_logger(const QString& text) {
    if (text == kLoggerOverRangeText) return kOverRangeMark.toString();
    if (text == kLoggerUnderRangeText) return kUnderRangeMark.toString();
    return text;
}

QString range_text_file(const QString& text) { return text; }

QString make_value_format(const QString& type, int decimals) {
    if (type == QLatin1String("V")) {
        if (decimals <= 0) return QString();
        return QStringLiteral("0.") + QString(decimals, QLatin1Char('0'));
    }
    return QStringLiteral("0.0");
}

void set_text_limit(int maximum, QLineEdit* box) { platform::setTextLimit(box, maximum); }

}  // namespace mq
