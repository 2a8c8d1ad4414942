#include "tag_data/tag_data_files.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>

#include <cstdio>
#include <cstring>
#include <vector>

#include "main_window/conversions.h"
#include "main_window/home_state.h"
#include "model/common_proc.h"
#include "model/data_set_handle.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "model/channel_values.h"
#include "model/cls_logger_database.h"
#include "platform/cp932.h"
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

// Marks the cells of channel ch whose stored text is `text` with `mark` and
// the value, in the table and in the working database (a record's row id is
// its number: the load filled one fresh table in order).
void markTableCells(platform::Grid* g, clsLOGGER_DATABASE& db, int ch, const QString& text, const QString& mark) {
    const QByteArray want = text.toUtf8();
    const QString marked = mark + cell_value_text(text);
    std::vector<qint64> rowids;
    for (int r = 1; r < g->Rows(); ++r) {
        if (g->textUtf8(r, ch + kTagFirstChannelCol) != want) continue;
        rowids.push_back(r);
        g->setTextMatrix(r, ch + kTagFirstChannelCol, marked);
    }
    db.SetChannelText(qint16(ch + 1), kData, rowids, marked);
}

// Minimum and maximum from the loaded records replace the file's; the cells
// that hold them are marked.
void markLoadedMinMax(tag_data& w, clsLOGGER_SETTING& s, clsLOGGER_DATABASE& db) {
    for (int ch = 0; ch < 4; ++ch) {
        const QString type = s.Ch_input_type(ch);
        if (type == QLatin1String("-") || s.Ch_data_count(ch) == 0) continue;
        const QString fmt = make_value_format(type, s.Ch_period_pos(ch));
        const QString maxText = platform::rightAlign(platform::format(w.loadedMax(ch), fmt), 10);
        const QString minText = platform::rightAlign(platform::format(w.loadedMin(ch), fmt), 10);
        markTableCells(w.vsFlexGrid1(), db, ch, maxText, QStringLiteral("▲ "));
        // Cells that took the maximum's mark no longer hold the minimum's text.
        markTableCells(w.vsFlexGrid1(), db, ch, minText, QStringLiteral("▼ "));
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
    // The loader filled the table as it went.
    w->show_loaded_records();
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
        w->refresh_Data1();
    }

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

namespace {

// What a channel field of the file holds, read once: its kind, its number,
// and the stored text the table and the working database take.
struct Mt1Cell {
    enum Kind : quint8 { Unused, Number, Over, Under, Missing } kind = Unused;
    double value = 0;
    char text[16] = {};
    int len = 0;
};

// The stored texts of the kinds without a number.
void setFixedText(Mt1Cell& c, Mt1Cell::Kind kind) {
    static constexpr const char* kTexts[] = {"", "", kStoredOverRangeBytes, kStoredUnderRangeBytes, kStoredMissingBytes};
    c.kind = kind;
    c.len = int(std::strlen(kTexts[kind]));
    std::memcpy(c.text, kTexts[kind], size_t(c.len));
}

// A field of ASCII characters as tag_stored_ch_text and the number reading
// take it: blanks around; the logger's range codes and the range marks; a
// number (an optional "-", digits with at most one point) stored as four
// blanks and the number right-aligned in six; anything else a missing value.
// False for a field with other characters, which the text road reads.
bool readAsciiCell(QByteArrayView f, Mt1Cell& c) {
    for (const char ch : f) {
        if (static_cast<unsigned char>(ch) >= 0x80) return false;
    }
    qsizetype b = 0, e = f.size();
    while (b < e && f[b] == ' ') ++b;
    while (e > b && f[e - 1] == ' ') --e;
    const QByteArrayView t = f.sliced(b, e - b);
    if (t == QByteArrayView("3276.7") || t == QByteArrayView("O.R.")) return setFixedText(c, Mt1Cell::Over), true;
    if (t == QByteArrayView("3276.6") || t == QByteArrayView("U.R.")) return setFixedText(c, Mt1Cell::Under), true;
    static constexpr double kTens[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7};
    qsizetype i = t.startsWith('-') ? 1 : 0;
    qint64 m = 0;
    int digits = 0, fraction = -1;
    for (; i < t.size(); ++i) {
        if (t[i] >= '0' && t[i] <= '9') {
            m = m * 10 + (t[i] - '0');
            ++digits;
            if (fraction >= 0) ++fraction;
        } else if (t[i] == '.' && fraction < 0) {
            fraction = 0;
        } else {
            break;
        }
    }
    if (i < t.size() || digits == 0) return setFixedText(c, Mt1Cell::Missing), true;
    c.kind = Mt1Cell::Number;
    const double v = double(m) / kTens[std::max(fraction, 0)];
    c.value = t.startsWith('-') ? -v : v;
    std::memset(c.text, ' ', 10);
    std::memcpy(c.text + 10 - t.size(), t.data(), size_t(t.size()));
    c.len = 10;
    return true;
}

// Any field through the texts, as the logger's records are read.
void readTextCell(QByteArrayView f, int ch, clsLOGGER_SETTING& s, Mt1Cell& c) {
    const QString value = platform::cp932::decode(f.data(), int(f.size()));
    const QString stored = tag_stored_ch_text(value, ch, s);
    const QByteArray bytes = stored.toUtf8();
    c.len = int(std::min<qsizetype>(bytes.size(), qsizetype(sizeof c.text)));
    std::memcpy(c.text, bytes.constData(), size_t(c.len));
    if (tag_is_measured(stored)) {
        c.kind = Mt1Cell::Number;
        c.value = value.toDouble();
    } else {
        c.kind = stored == kStoredOverRange ? Mt1Cell::Over : stored == kStoredUnderRange ? Mt1Cell::Under : Mt1Cell::Missing;
    }
}

// A worker or comment field as the table shows it (UTF-8 of its CP932).
QByteArrayView nameText(QByteArrayView f, QByteArray& buffer) {
    for (const char ch : f) {
        if (static_cast<unsigned char>(ch) >= 0x80) {
            buffer = platform::cp932::decode(f.data(), int(f.size())).toUtf8();
            return buffer;
        }
    }
    return f;
}

// A record's row of the table, as the working database gives it back.
void putTableRow(platform::Grid* g, const TagRecordBytes& row) {
    char no[16];
    const int r = row.No;
    g->setTextUtf8(r, 0, QByteArrayView(no, std::snprintf(no, sizeof no, "%d", r)));
    g->setTextUtf8(r, 1, row.time);
    for (int ch = 0; ch < 4; ++ch) g->setTextUtf8(r, ch + kTagFirstChannelCol, row.ch[size_t(ch)]);
    g->setTextUtf8(r, 6, row.worker);
    g->setTextUtf8(r, 7, row.comment);
}

// The alarms of the values loaded, counted per channel and coloured in the
// table record by record; the table's current cell is left where the
// colouring of one value at a time would leave it.
struct AlarmColouring {
    std::array<AlarmLimits, 4> limits{};
    std::array<qint32, 4> highs{}, lows{};
    int lastRow = -1, lastCol = -1;

    void record(platform::Grid* g, int r, const std::array<Mt1Cell, 4>& cells) {
        for (size_t ch = 0; ch < 4; ++ch) {
            if (cells[ch].kind != Mt1Cell::Number) continue;
            lastRow = r;
            lastCol = int(ch) + kTagFirstChannelCol;
            const AlarmBand band = alarm_band(limits[ch], cells[ch].value);
            if (band == AlarmBand::None) continue;
            (band == AlarmBand::High ? highs : lows)[ch] += 1;
            g->setRow(lastRow);
            g->setCol(lastCol);
            g->setCellForeColor(alarm_band_colour(band));
        }
    }
    void finish(platform::Grid* g, clsLOGGER_SETTING& s) const {
        for (int ch = 0; ch < 4; ++ch) {
            s.let_CH_H_ALM_NUM(ch, highs[size_t(ch)]);
            s.let_CH_L_ALM_NUM(ch, lows[size_t(ch)]);
        }
        if (lastRow < 0) return;
        g->setRow(lastRow);
        g->setCol(lastCol);
    }
};

}  // namespace

void file_tag_data_save(tag_data* w, const QByteArray& body, IFileProgress* progress) {
    if (!w) throw MissingKeyError("no TAG data window to fill");
    clsFILE_DATA& ds = currentFileData();
    clsLOGGER_SETTING& s = ds.clsLOGGER_SETTING();
    platform::Grid* g = w->vsFlexGrid1();
    g->setColAlignment(1, Qt::AlignLeft | Qt::AlignVCenter);
    bind_data_recordset();
    clsLOGGER_DATABASE& db = ds.clsLOGGER_DATABASE();

    const Mt1Layout& layout = w->fileLayout();
    if (FileResult r = mt1_statistics_read(body, layout, s); !r) {
        show_fill_error(r.message);
        setFileCancel(true);
        return;
    }
    std::array<bool, 4> used{};
    std::array<qint32, 4> counted{};
    AlarmColouring alarms;
    for (int ch = 0; ch < 4; ++ch) {
        used[size_t(ch)] = s.Ch_input_type(ch) != QLatin1String("-");
        alarms.limits[size_t(ch)] = alarm_limits(s, ch);
        s.let_Ch_data_count(ch, 0);
        s.let_CH_H_ALM_NUM(ch, 0);
        s.let_CH_L_ALM_NUM(ch, 0);
    }

    w->resetLoaded();
    // The table fills as the records load; the texts are those of the
    // working database, so it reads as the database read back.
    g->setRedraw(false);
    if (g->Rows() < layout.count + 1) g->setRows(layout.count + 1);
    Mt1RecordBytes rec;
    QString error;
    std::array<Mt1Cell, 4> cells;
    QByteArray workerBuffer, commentBuffer;
    for (qint32 i = 0; i < layout.count; ++i) {
        if (progress) {
            progress->process_events();
            if (progress->file_cancel_flag()) return;
        } else if (fileCancel()) {
            return;
        }
        if (!mt1_record_bytes_at(body, layout, i, rec, &error)) {
            show_fill_error(error);
            setFileCancel(true);
            return;
        }
        TagRecordBytes row;
        row.No = i + 1;
        row.time = QByteArrayView(rec.time, 19);
        for (size_t ch = 0; ch < 4; ++ch) {
            Mt1Cell& c = cells[ch];
            if (!used[ch]) {
                c = Mt1Cell{};
            } else if (!readAsciiCell(rec.ch[ch], c)) {
                readTextCell(rec.ch[ch], int(ch), s, c);
                if (c.kind == Mt1Cell::Number) --counted[ch];  // the text road counted it
            }
            if (c.kind == Mt1Cell::Number) {
                ++counted[ch];
                w->foldLoaded(int(ch), c.value);
            }
            row.ch[ch] = QByteArrayView(c.text, c.len);
        }
        // Worker and comment are the file's 8 characters, blanks included:
        // only a logger record without a worker has an empty one.
        row.worker = nameText(rec.worker, workerBuffer);
        row.comment = nameText(rec.comment, commentBuffer);
        // Record numbers run on in 32 bits; they are never cut to five digits.
        db.AddRecord_TAG(row);
        putTableRow(g, row);
        alarms.record(g, row.No, cells);
        if (progress) progress->set_progress_value(i);
    }
    for (int ch = 0; ch < 4; ++ch) s.let_Ch_data_count(ch, s.Ch_data_count(ch) + counted[size_t(ch)]);
    alarms.finish(g, s);
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
    targets.fill[DataFill::FileMt1] = [](IDataWindow& w, const QString& key) {
        if (auto* tw = dynamic_cast<tag_data*>(&w)) disp_file_tag_data_form_mt1(*tw, key);
    };
}

}  // namespace mq
