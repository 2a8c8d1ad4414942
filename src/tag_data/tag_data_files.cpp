#include "tag_data/tag_data_files.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>

#include "main_window/conversions.h"
#include "main_window/home_state.h"
#include "model/common_proc.h"
#include "model/data_set_handle.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "platform/grid.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "sequencer/file_fill.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/seq_state.h"
#include "tag_data/ops_tag.h"
#include "tag_data/tag_csv.h"
#include "tag_data/tag_data.h"
#include "tag_data/tag_data_select.h"
#include "tag_data/tag_records.h"
#include "tag_settings/tag_setting_record.h"

namespace mq {

namespace {

const QString kData = QStringLiteral("DATA");
const QString kNothingToSave = QStringLiteral("保存するデータがありません。");

IMainWindowServices* mainWindow() { return ModelSlot::installed() ? model().main_window : nullptr; }
QWidget* messageParent() {
    IMainWindowServices* mw = mainWindow();
    return mw ? mw->mainWidget() : nullptr;
}

void setFileCancel(bool value) {
    if (SeqSlot::installed()) seq().file_cancel_flag = value;
}
bool fileCancel() { return SeqSlot::installed() && seq().file_cancel_flag; }

clsFILE_DATA& currentFileData() {
    ModelState& m = model();
    if (!m.act_file_data) throw MissingKeyError("no current file data set");
    return *m.act_file_data;
}

// The records of the window's table, row by row, for the writers.
TagRowSource tableRows(platform::Grid* g) {
    auto row = std::make_shared<int>(0);
    return [g, row](TagTableRow& out) {
        const int r = ++*row;
        if (!g || r >= g->Rows()) return false;
        out.time = g->TextMatrix(r, 1);
        for (int c = 0; c < 4; ++c) out.ch[size_t(c)] = g->TextMatrix(r, 2 + c);
        out.worker = g->TextMatrix(r, 6);
        out.comment = g->TextMatrix(r, 7);
        return true;
    };
}

struct CurrentSources {
    const clsLOGGER_SETTING* setting = nullptr;
    const clsLOGGER_STATUS* status = nullptr;
    bool file_data = false;
};

CurrentSources currentSources() {
    // An empty handle, or a logger data set without its logger, has no status.
    const DataSetHandle h = DataSetHandle::current();
    if (!h.status()) return {};
    return {h.setting(), h.status(), h.is_file()};
}

}  // namespace

// ---------------------------------------------------------------- opening

namespace {

// The file data set `key` made the current one, its header read from the
// unscrambled body. False, with the error shown and the fill given up.
bool readMt1Header(QPointer<DataWindowBase> w, const QString& key, const QByteArray& plain, Mt1Layout& layout) {
    ModelState& m = model();
    if (!m.file_main) throw MissingKeyError("no file data is open");
    const DataSetHandle handle = DataSetHandle::of_tag(key);
    if (!handle.is_file()) throw MissingKeyError("no file data set " + key.toStdString());
    handle.make_current();
    clsFILE_DATA& ds = *handle.file();
    ds.let_ID(key);
    ds.clsLOGGER_STATUS().let_mode_type(2);
    if (FileResult h = mt1_header_read(plain, ds.clsLOGGER_SETTING(), ds.clsLOGGER_STATUS(), layout); !h) {
        show_fill_error(h.message);
        fill_failure_ending(w);
        return false;
    }
    return true;
}

// Minimum and maximum from the loaded records replace the file's.
void markLoadedMinMax(const tag_data& w, clsLOGGER_SETTING& s, clsLOGGER_DATABASE& db) {
    for (int ch = 0; ch < 4; ++ch) {
        const QString type = s.Ch_input_type(ch);
        if (type == QLatin1String("-") || s.Ch_data_count(ch) == 0) continue;
        const QString fmt = make_value_format(type, s.Ch_period_pos(ch));
        const QString maxText = platform::rightAlign(platform::format(w.loadedMax(ch), fmt), 10);
        const QString minText = platform::rightAlign(platform::format(w.loadedMin(ch), fmt), 10);
        db.CHData_ADD_H_str(qint16(ch + 1), maxText, kData);
        db.CHData_ADD_L_str(qint16(ch + 1), minText, kData);
        s.let_Ch_min(ch, minText.trimmed());
        s.let_Ch_max(ch, maxText.trimmed());
    }
}

// The record load for the window, then the marking. False when the load was
// cancelled or failed (the window given up) or the window went away.
bool loadMt1Records(QPointer<tag_data>& w, const QByteArray& plain, clsLOGGER_SETTING& s, clsLOGGER_DATABASE& db) {
    HomeState& hs = home_state();
    w->vsFlexGrid1()->setRows(s.data_count() + 1);
    setFileCancel(false);
    try {
        prog_run(messageParent(), mt1_records_load_operation(*w, plain));
    } catch (const Error&) {
        // The working database refused a record: nothing half loaded is shown.
        show_fill_error(file_read_error_message(hs.open_file_path));
        setFileCancel(true);
    }
    if (!w) return false;
    if (fileCancel()) {
        setFileCancel(false);
        fill_failure_ending(w.data());
        return false;
    }
    markLoadedMinMax(*w, s, db);
    w->bind_Data1(db.Recordset());
    return true;
}

}  // namespace

void disp_file_tag_data_form_mt1(tag_data& window, const QString& key) {
    QPointer<tag_data> w = &window;
    HomeState& hs = home_state();

    const QString path = hs.open_file_path;
    const auto body = [&path](QByteArray& scrambled) {
        QByteArray file;
        FileResult r = read_whole_file(path, file);
        return r ? mt1_split_file(file, scrambled) : r;
    };
    QByteArray plain;
    if (!read_and_descramble(w.data(), body, plain)) return;

    Mt1Layout layout;
    if (!readMt1Header(w.data(), key, plain, layout)) return;
    clsFILE_DATA& ds = *model().act_file_data;
    clsLOGGER_SETTING& s = ds.clsLOGGER_SETTING();
    w->setFileLayout(layout);
    w->Label4()->setText(s.log_name());
    clsLOGGER_DATABASE& db = ds.clsLOGGER_DATABASE();
    try {
        db.makeDbPath(w->Tag());
    } catch (const Error&) {
        fill_failure_ending(w.data());
        return;
    }

    if (s.data_count() != 0) {
        if (!loadMt1Records(w, plain, s, db)) return;
    } else {
        try {
            bind_data_recordset();
        } catch (const Error&) {
            fill_failure_ending(w.data());
            return;
        }
    }
    w->refresh_Data1();

    std::array<QString, 4> units;
    for (int ch = 0; ch < 4; ++ch) units[size_t(ch)] = file_data_gamen_ch_unit_conv(ds, ch);
    w->write_channel_heads(units);
    platform::Grid* g = w->vsFlexGrid1();
    g->setForeColorSel(g->CellForeColor());
    g->setVisible(true);
    g->setRedraw(true);
    QCoreApplication::processEvents();
    w->set_records_layout();
    w->fill_summary(s);
}

// ---------------------------------------------------------------- loader

void file_tag_data_save(tag_data* w, const QByteArray& body, IFileProgress* progress) {
    if (!w) throw MissingKeyError("no TAG data window to fill");
    clsFILE_DATA& ds = currentFileData();
    clsLOGGER_SETTING& s = ds.clsLOGGER_SETTING();
    w->vsFlexGrid1()->setColAlignment(1, Qt::AlignLeft | Qt::AlignVCenter);
    bind_data_recordset();
    clsLOGGER_DATABASE& db = ds.clsLOGGER_DATABASE();

    const Mt1Layout& layout = w->fileLayout();
    if (FileResult r = mt1_statistics_read(body, layout, s); !r) {
        show_fill_error(r.message);
        setFileCancel(true);
        return;
    }
    for (int ch = 0; ch < 4; ++ch) {
        s.let_Ch_data_count(ch, 0);
        s.let_CH_H_ALM_NUM(ch, 0);
        s.let_CH_L_ALM_NUM(ch, 0);
    }

    w->resetLoaded();
    Mt1Record rec;
    QString error;
    std::array<QString, 4> cells;
    for (qint32 i = 0; i < layout.count; ++i) {
        if (progress) {
            progress->process_events();
            if (progress->file_cancel_flag()) return;
        } else if (fileCancel()) {
            return;
        }
        if (!mt1_record_at(body, layout, i, rec, &error)) {
            show_fill_error(error);
            setFileCancel(true);
            return;
        }
        for (int ch = 0; ch < 4; ++ch) {
            cells[size_t(ch)] = tag_stored_ch_text(file_read_dim_over_under_conv(rec.ch[size_t(ch)]), ch, s);
        }
        for (int ch = 0; ch < 4; ++ch) {
            if (tag_is_measured(cells[size_t(ch)])) w->foldLoaded(ch, rec.ch[size_t(ch)].toDouble());
        }
        // Record numbers run on in 32 bits; they are never cut to five digits.
        // Worker and comment are the file's 8 characters, blanks included:
        // only a logger record without a worker has an empty one.
        db.AddRecord_TAG(i + 1, rec.time, rec.worker, rec.comment, cells[0], cells[1], cells[2], cells[3]);
        for (int ch = 0; ch < 4; ++ch) {
            if (cells[size_t(ch)].startsWith(QLatin1String("    ")) && tag_is_measured(cells[size_t(ch)])) {
                mark_alarm_value(s, w->vsFlexGrid1(), kTagFirstChannelCol, rec.ch[size_t(ch)], i, ch + 1);
            }
        }
        if (progress) progress->set_progress_value(i);
    }
}

// ---------------------------------------------------------------- writers

FileResult file_tag_data_file_write_mt1(const QString& path, IFileProgress* progress) {
    tag_data* w = tag_data::activeTagWindow();
    const CurrentSources src = currentSources();
    if (!w || !src.setting || !src.status) return FileResult::failure(kNothingToSave);
    return mt1_write_file(path, Mt1Sources{*src.setting, *src.status, src.file_data}, tableRows(w->vsFlexGrid1()),
                          progress);
}

FileResult file_tag_data_file_write_csv2(const QString& path, IFileProgress* progress) {
    tag_data* w = tag_data::activeTagWindow();
    const CurrentSources src = currentSources();
    if (!w || !src.setting || !src.status) return FileResult::failure(kNothingToSave);
    TagCsvSource csv{*src.setting, *src.status, {}, {}, {}};
    platform::Grid* stats = w->MSFlexGrid2();
    for (int c = 0; c < 4; ++c) {
        csv.grid_max[size_t(c)] = stats->TextMatrix(1, c + 1);
        csv.grid_min[size_t(c)] = stats->TextMatrix(2, c + 1);
        csv.grid_ave[size_t(c)] = stats->TextMatrix(3, c + 1);
    }
    return tag_csv_write(path, csv, tableRows(w->vsFlexGrid1()), progress);
}

// ---------------------------------------------------------------- wiring

void install_tag_file_targets(HomeTargets& targets) {
    targets.disp_file_tag_data_form_mt1 = [](IDataWindow& w, const QString& key) {
        if (auto* tw = dynamic_cast<tag_data*>(&w)) disp_file_tag_data_form_mt1(*tw, key);
    };
}

}  // namespace mq
