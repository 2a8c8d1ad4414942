#include "log_data/log_data_files.h"

#include <functional>

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "log_data/integration.h"
#include "log_data/log_csv.h"
#include "log_data/log_data.h"
#include "log_data/log_records.h"
#include "log_data/ml1_format.h"
#include "log_data/ml2_format.h"
#include "main_window/conversions.h"
#include "main_window/home_state.h"
#include "main_window/scrambling.h"
#include "main_window/serial_link.h"
#include "model/channel_values.h"
#include "model/common_proc.h"
#include "model/data_set_handle.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "model/stat_queries.h"
#include "platform/errors.h"
#include "platform/grid.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "sequencer/file_fill.h"
#include "log_data/ops_log_files.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/seq_state.h"

namespace mq {

namespace {

const QString kSixBlanks(6, u' ');
const QString kUnion = QStringLiteral("qTABLE");
const QString kData = QStringLiteral("DATA");

// Records of a table block of the working database.
constexpr qint32 kBlockRecords = 15000;
// The records from which opening asks before the table is filled.
constexpr qint32 kLargeData = 10000;
// Column widths of the records table in twips.
constexpr int kColTwips[7] = {400, 780, 2000, 990, 990, 990, 990};

IMainWindowServices* mainWindow() { return model().main_window; }
QWidget* messageParent() {
    IMainWindowServices* mw = mainWindow();
    return mw ? mw->mainWidget() : nullptr;
}

void showMessage(const QString& text) { show_fill_error(text); }

void failureEnding(const QPointer<log_data>& w) { fill_failure_ending(w.data()); }

void setFileCancel(bool value) {
    seq().file_cancel_flag = value;
}
bool fileCancel() { return seq().file_cancel_flag; }

// Runs an operation of the window's fill over the main window.
void runOperation(Operation op) { prog_run(messageParent(), std::move(op)); }

QString twoDigits(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }
QString blockTable(int k) { return k == 0 ? kData : kData + twoDigits(k); }


// What the ".ML2" loader leaves for the table fill of the same window: the
// block tables it created and the values it read, from which the fill marks
// the extremes and colours and counts the alarms.
class FileLoadState : public QObject {
public:
    explicit FileLoadState(QObject* parent) : QObject(parent) { setObjectName(name()); }
    static QString name() { return QStringLiteral("mq_file_load_state"); }
    void reset() {
        extraTables = 0;
        file.clear();
        ml1Missing = {};
        raw = {};
        any = {};
    }
    qint16 extraTables = 0;
    // ".ML2": the values the loader read, one compact copy (the 16-bit codes
    // of record r at r - 1), and per channel the extremes of the measured ones.
    std::vector<std::array<qint16, 4>> raw;
    std::array<qint16, 4> lo{}, hi{};
    std::array<bool, 4> any{};
    // The whole file, read once by the opening, for the record loader.
    QByteArray file;
    // ".ML1": the channels that had a field without a value.
    std::array<bool, 4> ml1Missing{};
};

FileLoadState& loadStateOf(log_data& w) {
    for (QObject* o : w.children()) {
        if (auto* s = dynamic_cast<FileLoadState*>(o)) return *s;
    }
    return *new FileLoadState(&w);
}

clsFILE_DATA& currentFileData() {
    ModelState& m = model();
    if (!m.act_file_data) throw MissingKeyError("no current file data set");
    return *m.act_file_data;
}

// The number a stored channel text holds (its last six characters); false for
// a range mark, a missing value, an empty text or a text that is no number.
bool storedNumber(const QString& stored, double& v) {
    if (stored.isEmpty() || stored == kStoredOverRange || stored == kStoredUnderRange) return false;
    const QString t = cell_value_text(stored).trimmed();
    if (t.isEmpty() || t.contains(QStringLiteral("--"))) return false;
    bool ok = false;
    v = t.toDouble(&ok);
    return ok;
}

bool isRangeValue(const QString& value) { return is_range_mark(value_kind(value)); }

// The statistics grid's texts of one value, as the ".ML2" window shows them.
QString ml2StatText(const QString& type, int decimals, double value, double unsetValue) {
    QString t = grid_disp_format_mk(platform::cstrNumber(value));
    if (value == unsetValue) t = QString(5, u' ');
    return Disp_DATA(type, qint16(decimals), t) + QLatin1Char(' ');
}

QString statText(const QString& type, int decimals, double value) {
    return Disp_DATA(type, qint16(decimals), grid_disp_format_mk(platform::cstrNumber(value))) + QLatin1Char(' ');
}

QString integrationCell(const QString& type, double value) {
    if (type == QLatin1String("V")) return kSixBlanks + QLatin1Char(' ');
    return platform::format(value, QStringLiteral("0.0")) + QLatin1Char(' ');
}

QString alarmCountCell(const QString& type, qint32 n) {
    if (type == QLatin1String("V")) return kSixBlanks;
    return grid_disp_format_mk(QString::number(n));
}

QString channelHead(const clsFILE_DATA& ds, int ch) {
    return DataWindowBase::channel_head(ch, file_data_gamen_ch_unit_conv(ds, ch));
}

void setRecordsLayout(log_data& w) {
    platform::Grid* g = w.vsFlexGrid1();
    g->setForeColorSel(g->CellForeColor());
    g->setVisible(true);
    g->setRedraw(true);
    for (int c = 0; c < 7; ++c) g->setColWidth(c, w.twipsToPixelsX(kColTwips[c]));
}

// The file data set `key`, made the current one.
clsFILE_DATA& takeFileData(const QString& key) {
    const DataSetHandle ds = DataSetHandle::of_tag(key);
    if (!ds.is_file()) throw MissingKeyError("no file data set " + key.toStdString());
    ds.make_current();
    ds.file()->let_ID(key);
    return *ds.file();
}


// Minimum and maximum of a channel that has records without a value, from the
// values stored in the records (the queries would read the gaps as 0).
bool measuredMinMax(clsLOGGER_DATABASE& db, int ch, double& lo, double& hi) {
    std::shared_ptr<DbRecordset> rs = db.Recordset();
    if (!rs || !rs->IsOpen()) return false;
    bool any = false;
    for (const QString& t : rs->ReadColumn(QStringLiteral("CH%1").arg(ch + 1))) {
        double v = 0;
        if (!storedNumber(t, v)) continue;
        if (!any || v < lo) lo = v;
        if (!any || v > hi) hi = v;
        any = true;
    }
    return any;
}

// The records of the window's table, row by row, for the writers.
LogRecordSource tableRecords(platform::Grid* g) {
    auto row = std::make_shared<int>(0);
    return [g, row](LogRecord& rec) {
        const int r = ++*row;
        if (!g || r >= g->Rows()) return false;
        rec.No = r;
        rec.mark = g->TextMatrix(r, 0);
        for (int c = 0; c < 4; ++c) rec.ch[size_t(c)] = g->TextMatrix(r, 3 + c);
        return true;
    };
}

// The same as the table's bytes, for the CSV export.
LogRecordBytesSource tableBytes(platform::Grid* g) {
    auto row = std::make_shared<int>(0);
    return [g, row](LogRecordBytes& rec) {
        const int r = ++*row;
        if (!g || r >= g->Rows()) return false;
        rec.No = r;
        rec.mark = g->textUtf8(r, 0);
        for (int c = 0; c < 4; ++c) rec.ch[size_t(c)] = g->textUtf8(r, 3 + c);
        return true;
    };
}

struct CurrentSources {
    const clsLOGGER_SETTING* setting = nullptr;
    const clsLOGGER_STATUS* status = nullptr;
    const clsLOGGER_GraphInfo* graph = nullptr;
};

CurrentSources currentSources() {
    // An empty handle, or a logger data set without its logger, has no status.
    const DataSetHandle h = DataSetHandle::current();
    if (!h.status()) return {};
    return {h.setting(), h.status(), h.graph()};
}

const QString kNothingToSave = QStringLiteral("保存するデータがありません。");

}  // namespace

// ---------------------------------------------------------------- ".ML2" opening

namespace {

// The records of an ".ML2" file into the working database, the records table,
// the sums and the integration, straight from the raw values: each record's
// texts are built once, in buffers reused from record to record, and the
// values kept once, compact, for the fill's extremes and alarms.
class Ml2RecordLoader : public Ml2RecordVisitor {
public:
    Ml2RecordLoader(IFileProgress* progress, clsLOGGER_SETTING& s, clsLOGGER_DATABASE& db, platform::Grid* grid,
                    FileLoadState& ls, FoldCounters& fold)
        : m_progress(progress), m_s(s), m_db(db), m_writer(db, grid), m_ls(ls), m_fold(fold) {}

    qint32 counted(int ch) const { return m_counted[size_t(ch)]; }

    bool record(const Ml2RawRecord& rec) override {
        // The channels are taken at the first record, when the file's footer
        // has been read into the settings too.
        if (!m_ready) {
            for (int ch = 0; ch < 4; ++ch) {
                m_used[size_t(ch)] = m_s.Ch_input_type(ch) != QLatin1String("-");
                m_scale[size_t(ch)] = ml2_channel_scale(m_s, ch);
            }
            m_integ = integ_numbers_setup(m_s);
            // The header's count is only a claim: room for no more records
            // than the file's bytes can hold.
            m_ls.raw.reserve(size_t(ml2_records_that_fit(m_ls.file.size(), m_s)));
            m_ready = true;
        }
        if (m_progress) {
            m_progress->process_events();
            if (m_progress->file_cancel_flag()) return false;
        } else if (fileCancel()) {
            return false;
        }
        const qint32 r = rec.No;
        if (r % kBlockRecords == 0) {
            m_ls.extraTables = qint16(r / kBlockRecords);
            m_db.CreateRs_LOG2(blockTable(m_ls.extraTables));
        }
        std::array<QByteArrayView, 4> cells{};
        std::array<IntegValue, 4> kind{};
        std::array<float, 4> number{};
        std::array<double, 4> sum{};
        for (size_t ch = 0; ch < 4; ++ch) {
            kind[ch] = IntegValue::Missing;
            if (!m_used[ch]) continue;
            const qint16 v = rec.raw[ch];
            cells[ch] = QByteArrayView(m_text[ch], ld20_stored_chars(v, m_scale[ch], m_text[ch]));
            if (v == kMl2MissingValue) {
                // No value: nothing to count, no area to integrate.
            } else if (v == kMl2OverRange || v == kMl2UnderRange) {
                kind[ch] = v == kMl2OverRange ? IntegValue::Over : IntegValue::Under;
            } else {
                ++m_counted[ch];
                if (!m_ls.any[ch] || v < m_ls.lo[ch]) m_ls.lo[ch] = v;
                if (!m_ls.any[ch] || v > m_ls.hi[ch]) m_ls.hi[ch] = v;
                m_ls.any[ch] = true;
                sum[ch] = ld20_value_number(v, m_scale[ch]);
                number[ch] = float(sum[ch]);
                kind[ch] = IntegValue::Number;
            }
        }
        m_writer.addBytes(r, rec.secs, rec.marked, cells);
        m_ls.raw.push_back(rec.raw);
        for (size_t ch = 0; ch < 4; ++ch) {
            if (kind[ch] == IntegValue::Number) m_s.let_Ch_sum(int(ch), m_s.Ch_sum(int(ch)) + sum[ch]);
        }
        h_sum_l_sum_calc_numbers(m_integ, rec.secs, kind, number);
        sum_fold_3000(m_fold, r);
        integ_fold_3000(m_fold, r);
        if (m_progress) m_progress->set_progress_value(r);
        return true;
    }

private:
    IFileProgress* m_progress;
    clsLOGGER_SETTING& m_s;
    clsLOGGER_DATABASE& m_db;
    LogRecordWriter m_writer;
    FileLoadState& m_ls;
    FoldCounters& m_fold;
    IntegNumbersSetup m_integ;
    bool m_ready = false;
    std::array<bool, 4> m_used{};
    std::array<int, 4> m_scale{};
    std::array<qint32, 4> m_counted{};
    char m_text[4][16];
};


// Record r's block table and its row id there: DATA holds records 1 to
// 14,999, block table k the 15,000 records from 15,000 k on.
int blockOf(qint32 r) { return r / kBlockRecords; }
qint64 rowidOf(qint32 r) {
    const int k = blockOf(r);
    return k == 0 ? r : r - qint64(k) * kBlockRecords + 1;
}

// Marks the cells of channel c whose stored text is `text` (the maximum's or
// the minimum's, of the loaded value v) with "▲ " or "▼ " before the value,
// in the block tables and in the records table. The values read tell which
// records hold it; a text the value's cells do not show marks nothing.
void markLoadedExtreme(log_data& w, clsLOGGER_DATABASE& db, const FileLoadState& ls, int c, qint16 v, int scale,
                       const QString& text, bool isMax, StatQueryHost& host) {
    char stored[16];
    if (QString::fromLatin1(stored, ld20_stored_chars(v, scale, stored)) != text) return;
    const QString marked = (isMax ? QStringLiteral("▲ ") : QStringLiteral("▼ ")) + cell_value_text(text);
    platform::Grid* g = w.vsFlexGrid1();
    std::vector<qint64> rowids;
    int block = 0;
    const auto flush = [&] {
        if (rowids.empty()) return;
        db.SetChannelText(qint16(c + 1), blockTable(block), rowids, marked);
        host.progressAddMaximum(qint64(rowids.size()));
        host.progressAdvance(qint64(rowids.size()));
        host.yield();
        rowids.clear();
    };
    const qint32 n = qint32(ls.raw.size());
    for (qint32 r = 1; r <= n; ++r) {
        if (ls.raw[size_t(r - 1)][size_t(c)] != v) continue;
        if (blockOf(r) != block) {
            flush();
            block = blockOf(r);
        }
        rowids.push_back(rowidOf(r));
        if (r < g->Rows()) g->setTextMatrix(r, c + 3, marked);
    }
    flush();
}

// Colours the loaded values of channel c in `band` in the records table and
// counts them (a channel not in use, or a side whose alarm is not set, has
// none). The bar grows by the count and advances as the colouring goes.
qint32 colourLoadedAlarms(const FileLoadState& ls, const clsLOGGER_SETTING& s, int c, const AlarmLimits& limits,
                          AlarmBand band, StatQueryHost& host) {
    if (s.Ch_input_type(c) == QLatin1String("-")) return 0;
    if (!(band == AlarmBand::High ? limits.high_set : limits.low_set)) return 0;
    const int scale = ml2_channel_scale(s, c);
    std::vector<qint32> rows;
    const qint32 n = qint32(ls.raw.size());
    for (qint32 r = 1; r <= n; ++r) {
        const qint16 v = ls.raw[size_t(r - 1)][size_t(c)];
        if (v == kMl2MissingValue || v == kMl2OverRange || v == kMl2UnderRange) continue;
        if (alarm_band(limits, qint32(v), scale) == band) rows.push_back(r);
    }
    const qint32 count = qint32(rows.size());
    if (count > 0) host.progressAddMaximum(count);
    host.yield();
    const quint32 colour = alarm_band_colour(band);
    // The event loop runs now and then, the bar with it.
    constexpr int kYieldEvery = 512;
    int sinceYield = 0;
    for (const qint32 r : rows) {
        host.setCellForeColor(r, c + 3, colour);
        if (++sinceYield == kYieldEvery) {
            host.progressAdvance(sinceYield);
            host.yield();
            sinceYield = 0;
        }
    }
    if (sinceYield > 0) host.progressAdvance(sinceYield);
    host.yield();
    return count;
}

// The question before a table of many records is filled; true to go on.
bool confirmLargeFill() {
    const QString text = QStringLiteral("ﾃﾞｰﾀが") + QString::number(kLargeData) +
                         QStringLiteral("件以上存在する大容量ﾃﾞｰﾀの表示処理では、\r\n"
                                        "数分間OSの処理を占有する場合があります。\r\n"
                                        "OS処理占有自体には問題ありません。\r\n"
                                        "しかし、その間他の操作(ﾏｳｽ,ｷｰﾎﾞｰﾄﾞ等)を受け付けられなくなります。\r\n\r\n"
                                        "処理を開始してもよろしいでしょうか。");
    return platform::msgBox(messageParent(), text, platform::MsgButtons::OKCancel, platform::MsgIcon::Information) ==
           platform::MsgResult::OK;
}

// The header of an ".ML2" file read into the file data set; an abnormally
// ended file is recounted from its records. False with the fill given up.
bool readMl2Header(QPointer<log_data>& w, const QByteArray& plain, const QByteArray& file, clsFILE_DATA& ds) {
    clsLOGGER_SETTING& s = ds.clsLOGGER_SETTING();
    Ml2HeaderInfo info;
    FileResult r = ld20_header_read(plain, s, ds.clsLOGGER_STATUS(), info);
    // A recording of one record starts and stops at the same time; when its
    // count is what the file holds it is whole, not abnormal.
    if (r && info.abnormal && !ml2_count_matches(file, s)) {
        showMessage(QStringLiteral("このデータは異常終了したファイルです。\r\n正しく読み込めない可能性があります。"));
        r = emg_file_recount(file, s);
    }
    if (!r) {
        showMessage(r.message);
        failureEnding(w);
        return false;
    }
    return true;
}

// Operations 53 (records) and 700 (table, after the question for a large
// file) for the window. False when the fill was cancelled (the window given
// up) or the window went away.
bool loadAndFillMl2(QPointer<log_data>& w, const clsLOGGER_SETTING& s) {
    platform::Grid* g = w->vsFlexGrid1();
    // The count is only a claim until the records are read: the table is
    // sized for no more records than the file's bytes can hold (a short file
    // is reported by the load and keeps the records it has).
    g->setRows(ml2_records_that_fit(loadStateOf(*w).file.size(), s) + 1);
    g->setVisible(true);

    setFileCancel(false);
    runOperation(ml2_records_load_operation(*w));
    if (!w) return false;
    if (!fileCancel()) {
        if (s.data_count() < kLargeData || confirmLargeFill()) {
            runOperation(data_grid_fill_operation(*w));
            if (!w) return false;
        } else {
            setFileCancel(true);
        }
    }
    if (fileCancel()) {
        setFileCancel(false);
        failureEnding(w);
        return false;
    }
    return true;
}

void writeMl2Statistics(log_data& w, const clsFILE_DATA& ds) {
    const clsLOGGER_SETTING& s = ds.clsLOGGER_SETTING();
    platform::Grid* stats = w.MSFlexGrid2();
    DataWindowBase::write_statistics_row_names(stats);
    for (int ch = 0; ch < 4; ++ch) stats->setTextMatrix(0, ch + 1, channelHead(ds, ch));

    if (s.data_count() == 0) return;
    for (int ch = 0; ch < 4; ++ch) {
        const QString type = s.Ch_input_type(ch);
        if (type == QLatin1String("-") || s.Ch_data_count(ch) == 0) continue;
        const int p = s.Ch_period_pos(ch);
        const int col = ch + 1;
        stats->setTextMatrix(1, col, ml2StatText(type, p, s.Ch_max_value(ch), -999.9));
        stats->setTextMatrix(2, col, ml2StatText(type, p, s.Ch_min_value(ch), 9999.9));
        stats->setTextMatrix(3, col, statText(type, p, s.Ch_ave_value(ch)));
        stats->setTextMatrix(4, col, integrationCell(type, s.Ch_h_sum_value(ch)));
        stats->setTextMatrix(5, col, alarmCountCell(type, s.CH_H_ALM_NUM(ch)));
        stats->setTextMatrix(6, col, alarmCountCell(type, s.CH_L_ALM_NUM(ch)));
    }
}

}  // namespace

void disp_file_log_data_form_ml2(log_data& window, const QString& key) {
    QPointer<log_data> w = &window;
    // The file is read once: its header here, its records by the loader.
    const QString path = home_state().open_file_path;
    QByteArray file;
    QByteArray plain;
    const auto header = [&](QByteArray& scrambled) {
        FileResult r = read_whole_file(path, file);
        return r ? ml2_header_bytes_of_file(file, path, scrambled) : r;
    };
    if (!read_and_descramble(w.data(), header, plain)) return;

    clsFILE_DATA& ds = takeFileData(key);
    clsLOGGER_SETTING& s = ds.clsLOGGER_SETTING();
    ds.clsLOGGER_STATUS().let_mode_type(mode_byte(link().link_mode));
    if (!readMl2Header(w, plain, file, ds)) return;

    w->write_setting_labels(s, /*twoDigitYear=*/false);
    ds.clsLOGGER_DATABASE().makeDbPath(w->Tag());
    FileLoadState& ls = loadStateOf(*w);
    ls.reset();

    // The integration starts from zero even when no record follows, so the
    // texts published at the end are those of an empty recording.
    sum_calc_initial();
    if (s.data_count() != 0) {
        ls.file = std::move(file);
        const bool filled = loadAndFillMl2(w, s);
        if (w) loadStateOf(*w).file.clear();
        if (!filled) return;
    }
    sum_calc_end(s);

    setRecordsLayout(*w);
    writeMl2Statistics(*w, ds);
}

// ---------------------------------------------------------------- ".ML2" records

void file_log_data_save_ml2(log_data* w, IFileProgress* progress) {
    if (!w) throw MissingKeyError("no active LOG data window");
    clsFILE_DATA& ds = currentFileData();
    clsLOGGER_SETTING& s = ds.clsLOGGER_SETTING();
    clsLOGGER_GraphInfo& g = ds.clsLOGGER_GraphInfo();
    clsLOGGER_DATABASE& db = ds.clsLOGGER_DATABASE();
    platform::Grid* grid = w->vsFlexGrid1();

    grid->setVisible(false);
    grid->setColAlignment(1, Qt::AlignLeft | Qt::AlignVCenter);
    open_file_data_db();
    // The fill works out the statistics from the values the loader keeps.
    db.SkipValueGathering();

    FileLoadState& ls = loadStateOf(*w);
    const QByteArray file = std::move(ls.file);
    ls.reset();
    Ml2RecordLoader loader(progress, s, db, grid, ls, w->foldCounters());
    Ml2LoadResult result;
    const FileResult loaded = ml2_load_raw(file, s, g, loader, result);
    for (int ch = 0; ch < 4; ++ch) s.let_Ch_data_count(ch, s.Ch_data_count(ch) + loader.counted(ch));
    if (!loaded) {
        showMessage(loaded.message);
        setFileCancel(true);
        return;
    }
    if (result.cancelled) {
        w->bind_Data1(nullptr);
        setFileCancel(true);
        return;
    }
    if (result.short_file) {
        showMessage(ml2_short_file_message(result.header_count, result.records_read));
        // The window shows, saves and draws the records the file holds.
        s.let_data_count(result.records_read);
        g.let_DataCount(result.records_read);
        if (g.GrpDrw_EndPos() > result.records_read) g.let_GrpDrw_EndPos(result.records_read);
        if (g.GrpDrw_StartPos() > result.records_read) g.let_GrpDrw_StartPos(result.records_read > 0 ? 1 : 0);
        w->Label1()->setText(QString::number(result.records_read));
    }
    sum_fold_final();
    db.Create_UnionQuery(ls.extraTables);
    grid->setVisible(true);
}

// ---------------------------------------------------------------- the table fill

void fill_data_grid(log_data* w, Prog_Dialog& dlg) {
    if (!w) throw MissingKeyError("no active LOG data window");
    clsFILE_DATA& ds = currentFileData();
    clsLOGGER_SETTING& s = ds.clsLOGGER_SETTING();
    clsLOGGER_DATABASE& db = ds.clsLOGGER_DATABASE();
    FileLoadState& ls = loadStateOf(*w);

    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct CursorBack {
        ~CursorBack() { QApplication::restoreOverrideCursor(); }
    } cursorBack;
    const auto yield = [] { QCoreApplication::processEvents(); };
    const auto phase = [&dlg](int n) {
        dlg.Label1->setText(QStringLiteral("ﾃﾞｰﾀ表示処理中(") + QString::number(n) +
                            QStringLiteral("/10)です。他の操作は行わないで下さい。"));
    };

    yield();
    dlg.set_progress_max(9);
    dlg.set_progress_value(1);
    yield();
    w->bind_Data1(db.Recordset());

    LogAlarmHost host(w->vsFlexGrid1(), s, /*fileData=*/true, &dlg);
    for (int c = 0; c < 4; ++c) {
        phase(c + 2);
        dlg.set_progress_value(dlg.progress_value() + 1);
        yield();
        const QString type = s.Ch_input_type(c);
        if (type == QLatin1String("-") || s.Ch_data_count(c) == 0) continue;
        QString mean = platform::cstrNumber(s.Ch_sum(c) / double(s.Ch_data_count(c)));
        s.let_Ch_ave(c, ch_ave_format_conv(qint16(c), mean));
        if (!ls.any[size_t(c)]) continue;
        // The extremes of the values loaded: a record without a value has
        // none to count.
        const QString fmt = make_value_format(type, s.Ch_period_pos(c));
        const int scale = ml2_channel_scale(s, c);
        const qint16 loRaw = ls.lo[size_t(c)];
        const qint16 hiRaw = ls.hi[size_t(c)];
        const QString maxText = platform::rightAlign(platform::format(ld20_value_number(hiRaw, scale), fmt), 10).right(10);
        const QString minText = platform::rightAlign(platform::format(ld20_value_number(loRaw, scale), fmt), 10).right(10);
        markLoadedExtreme(*w, db, ls, c, hiRaw, scale, maxText, true, host);
        // Cells that took the maximum's mark no longer hold the minimum's text.
        if (loRaw != hiRaw) markLoadedExtreme(*w, db, ls, c, loRaw, scale, minText, false, host);
        s.let_Ch_min(c, minText.trimmed());
        s.let_Ch_max(c, maxText.trimmed());
    }

    phase(6);
    yield();
    // The marking left a block table current; the table shows the union again.
    // The loader filled the table as it went: only the marked cells change.
    db.OpenQuery(kUnion);
    w->bind_Data1(db.Recordset());
    w->show_loaded_records(s.data_count());

    for (int c = 0; c < 4; ++c) {
        phase(c + 7);
        dlg.set_progress_value(dlg.progress_value() + 1);
        yield();
        if (s.Ch_input_type(c) != QLatin1String("V")) {
            const AlarmLimits limits = alarm_limits(s, c);
            s.let_CH_H_ALM_NUM(c, colourLoadedAlarms(ls, s, c, limits, AlarmBand::High, host));
            s.let_CH_L_ALM_NUM(c, colourLoadedAlarms(ls, s, c, limits, AlarmBand::Low, host));
        }
        w->vsFlexGrid1()->setTextMatrix(0, c + 3, channelHead(ds, c));
    }
    ls.raw = {};
    dlg.unload();
}

// ---------------------------------------------------------------- ".ML1" opening

void disp_file_log_data_form_ml1(log_data& window, const QString& key) {
    QPointer<log_data> w = &window;
    const QString path = home_state().open_file_path;
    QByteArray plain;
    const auto body = [&path](QByteArray& scrambled) { return ml1_read_body(path, scrambled); };
    if (!read_and_descramble(w.data(), body, plain)) return;

    clsFILE_DATA& ds = takeFileData(key);
    clsLOGGER_SETTING& s = ds.clsLOGGER_SETTING();
    ds.clsLOGGER_STATUS().let_mode_type(1);
    if (FileResult r = ml1_header_read(plain, s, ds.clsLOGGER_STATUS()); !r) {
        showMessage(r.message);
        failureEnding(w);
        return;
    }

    w->write_setting_labels(s, /*twoDigitYear=*/true);

    clsLOGGER_DATABASE& db = ds.clsLOGGER_DATABASE();
    db.makeDbPath(w->Tag());

    platform::Grid* g = w->vsFlexGrid1();
    if (s.data_count() != 0) {
        g->setRows(s.data_count() + 1);
        setFileCancel(false);
        loadStateOf(*w).file = std::move(plain);
        runOperation(ml1_records_load_operation(*w));
        if (!w) return;
        loadStateOf(*w).file.clear();
        if (fileCancel()) {
            setFileCancel(false);
            failureEnding(w);
            return;
        }

        // Minimum and maximum from the stored records replace the trailer's.
        for (int i = 0; i < 4; ++i) {
            const QString type = s.Ch_input_type(i);
            if (type == QLatin1String("-") || s.Ch_data_count(i) == 0) continue;
            const QString fmt = make_value_format(type, s.Ch_period_pos(i));
            QString minText, maxText;
            if (loadStateOf(*w).ml1Missing[size_t(i)]) {
                // The queries would read the missing values as 0.
                double lo = 0, hi = 0;
                db.OpenQuery(kData);
                if (!measuredMinMax(db, i, lo, hi)) continue;
                minText = platform::cstrNumber(lo);
                maxText = platform::cstrNumber(hi);
            } else {
                db.Loaded_MinMax(qint16(i + 1), minText, maxText, kData);
            }
            if (minText.isEmpty() || maxText.isEmpty()) continue;
            maxText = platform::rightAlign(platform::format(platform::val(maxText), fmt), 10).right(10);
            minText = platform::rightAlign(platform::format(platform::val(minText), fmt), 10).right(10);
            db.Loaded_Mark(qint16(i + 1), maxText, kData, true);
            db.Loaded_Mark(qint16(i + 1), minText, kData, false);
            s.let_Ch_min(i, minText.trimmed());
            s.let_Ch_max(i, maxText.trimmed());
        }
        // The table shows the records with their marks; the loader filled it
        // as it went, so only the marked cells change.
        w->bind_Data1(db.Recordset());
        w->show_loaded_records(s.data_count());
    }

    for (int n = 1; n <= 4; ++n) g->setTextMatrix(0, n + 2, channelHead(ds, n - 1));
    setRecordsLayout(*w);
    QCoreApplication::processEvents();

    platform::Grid* stats = w->MSFlexGrid2();
    DataWindowBase::write_statistics_row_names(stats);
    if (s.data_count() == 0) return;
    for (int i = 0; i < 4; ++i) {
        const QString type = s.Ch_input_type(i);
        if (type == QLatin1String("-") || s.Ch_data_count(i) == 0) continue;
        const int d = s.Ch_period_pos(i);
        stats->setTextMatrix(1, i + 1, statText(type, d, s.Ch_max_value(i)));
        stats->setTextMatrix(2, i + 1, statText(type, d, s.Ch_min_value(i)));
        stats->setTextMatrix(3, i + 1, statText(type, d, s.Ch_ave_value(i)));
        stats->setTextMatrix(4, i + 1, integrationCell(type, s.Ch_h_sum_value(i)));
        stats->setTextMatrix(5, i + 1, alarmCountCell(type, s.CH_H_ALM_NUM(i)));
        stats->setTextMatrix(6, i + 1, alarmCountCell(type, s.CH_L_ALM_NUM(i)));
    }
}

// ---------------------------------------------------------------- ".ML1" records

void file_log_data_save(log_data* w, IFileProgress* progress) {
    if (!w) throw MissingKeyError("no active LOG data window");
    clsFILE_DATA& ds = currentFileData();
    clsLOGGER_SETTING& s = ds.clsLOGGER_SETTING();
    w->vsFlexGrid1()->setColAlignment(1, Qt::AlignLeft | Qt::AlignVCenter);
    bind_data_recordset(w);
    clsLOGGER_DATABASE& db = ds.clsLOGGER_DATABASE();

    // The unscrambled body the opening handed over.
    const QByteArray plain = std::move(loadStateOf(*w).file);
    if (FileResult r = ml1_trailer_read(plain, s); !r) {
        showMessage(r.message);
        setFileCancel(true);
        return;
    }
    ml1_graph_defaults(s, ds.clsLOGGER_GraphInfo());
    std::array<bool, 4> used{};
    for (int ch = 0; ch < 4; ++ch) used[size_t(ch)] = s.Ch_input_type(ch) != QLatin1String("-");
    std::array<bool, 4>& missingRows = loadStateOf(*w).ml1Missing;
    missingRows = {};
    LogRecordWriter writer(db, w->vsFlexGrid1());

    const auto sink = [&](const LogRecord& rec) -> bool {
        if (progress) {
            progress->process_events();
            if (progress->file_cancel_flag()) return false;
        } else if (fileCancel()) {
            return false;
        }
        std::array<QString, 4> fields = rec.value;
        std::array<QString, 4> texts;
        std::array<bool, 4> missing{};
        for (size_t ch = 0; ch < 4; ++ch) {
            // A field of a channel in use that holds no number (garbled, or
            // blanks) is a missing value, as in a reply from the logger.
            missing[ch] = used[ch] && !isRangeValue(fields[ch]) && !log_value_is_number(fields[ch]);
            if (missing[ch]) {
                texts[ch] = kStoredMissing;
                missingRows[ch] = true;
            } else {
                texts[ch] = format_ch_value(fields[ch], int(ch) + 1);
            }
        }
        writer.add(rec.No, rec.time, rec.mark, texts);
        for (size_t ch = 0; ch < 4; ++ch) {
            if (missing[ch]) continue;
            mark_alarm_value(s, w->vsFlexGrid1(), kLogFirstChannelCol, fields[ch], rec.No - 1, int(ch) + 1);
        }
        if (progress) progress->set_progress_value(rec.No - 1);
        return true;
    };
    bool cancelled = false;
    // The loader reads the whole body (header block included) by byte position.
    const FileResult r = ml1_for_each_record(plain, s, sink, cancelled);
    if (!r) {
        showMessage(r.message);
        setFileCancel(true);
        return;
    }
    if (cancelled) {
        w->bind_Data1(nullptr);
        setFileCancel(true);
    }
}

// ---------------------------------------------------------------- writers

FileResult file_log_data_file_write_ml2(const QString& path, IFileProgress* progress) {
    log_data* w = log_data::activeLogWindow();
    const CurrentSources src = currentSources();
    if (!w || !src.setting) return FileResult::failure(kNothingToSave);
    platform::Grid* g = w->vsFlexGrid1();
    const bool shown = g->isVisible();
    g->setVisible(false);
    const FileResult r = ml2_write_file(path, Ml2Sources{*src.setting, *src.status, *src.graph}, tableRecords(g),
                                        progress);
    g->setVisible(shown);
    return r;
}

FileResult file_log_data_file_write_csv2(const QString& path, IFileProgress* progress,
                                         const std::function<void(const QString&)>& setCaption) {
    log_data* w = log_data::activeLogWindow();
    const CurrentSources src = currentSources();
    if (!w || !src.setting) return FileResult::failure(kNothingToSave);
    LogCsvSource csv{*src.setting, *src.status, {}, {}, {}, model().act_data_kind == 1};
    platform::Grid* stats = w->MSFlexGrid2();
    for (int c = 0; c < 4; ++c) {
        csv.grid_max[size_t(c)] = stats->TextMatrix(1, c + 1);
        csv.grid_min[size_t(c)] = stats->TextMatrix(2, c + 1);
        csv.grid_ave[size_t(c)] = stats->TextMatrix(3, c + 1);
    }
    LogCsvHooks hooks;
    hooks.progress = progress;
    hooks.set_caption = setCaption;
    return log_csv_write(path, csv, tableBytes(w->vsFlexGrid1()), hooks);
}

// ---------------------------------------------------------------- wiring

void install_log_file_targets(HomeTargets& targets) {
    targets.fill[DataFill::FileMl1] = [](IDataWindow& w, const QString& key) {
        if (auto* lw = dynamic_cast<log_data*>(&w)) disp_file_log_data_form_ml1(*lw, key);
    };
    targets.fill[DataFill::FileMl2] = [](IDataWindow& w, const QString& key) {
        if (auto* lw = dynamic_cast<log_data*>(&w)) disp_file_log_data_form_ml2(*lw, key);
    };
}

}  // namespace mq
