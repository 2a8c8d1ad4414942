#include "sequencer/numbered_read.h"

#include "model/data_set_handle.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "sequencer/prog_dialog.h"

namespace mq {

QString numbered_digits(int n) { return QString::number(n).rightJustified(2, u'0').right(2); }

QString numbered_command(const QString& entry, int n) {
    return entry.left(6).leftJustified(6, u' ') + numbered_digits(n) + entry.mid(8);
}

qint32 numbered_reply_length(const CommandTable& rsp, int entry) { return rsp[entry].trimmed().toInt(); }

void ensure_numbered_data_sets() {
    const auto& root = model().logger_main;
    if (!root) return;
    colLOGGER_DATA& col = root->colLOGGER_DATA();
    for (int n = 1; n <= kNumberedSets; ++n) {
        const QString key = DataSetHandle::logger_key(n);
        if (!col.Find(key)) col.Add(key);
    }
}

bool begin_numbered_read(Prog_Dialog& dlg, double steps) {
    if (dlg.identity_check() != 0) return false;
    if (!model().logger_main) {
        // Nothing to read into: the connection is not what it should be.
        dlg.exit_no_reply();
        return false;
    }
    dlg.set_progress_max(steps);
    ensure_numbered_data_sets();
    return true;
}

bool read_numbered_record(Prog_Dialog& dlg, const QString& command, qint32 length, qint16 timeout,
                          const RecordStore& store) {
    bool stored = send_data_sub(command, length, timeout);
    if (stored && store) {
        try {
            store(rd_string_make());
        } catch (const Error&) {
            stored = false;
        }
    }
    if (!stored) dlg.exit_no_reply();
    return stored;
}

bool read_numbered_list(Prog_Dialog& dlg, const CommandTable& req, const CommandTable& rsp,
                        const NumberedRecord& count, const NumberedRecord& setting) {
    for (int n = 1; n <= kNumberedSets; ++n) {
        dlg.set_progress_value(n);
        clsLOGGER_SETTING& s = model().logger_main->colLOGGER_DATA().Item(DataSetHandle::logger_key(n))->clsLOGGER_SETTING();
        for (const NumberedRecord* r : {&count, &setting}) {
            // The setting only of a number that holds records.
            if (r == &setting && s.data_count() == 0) break;
            const RecordStore store = [&s, r](const QString& record) {
                if (r->store) r->store(s, record);
            };
            if (!read_numbered_record(dlg, numbered_command(req[r->entry], n), numbered_reply_length(rsp, r->entry),
                                      r->timeout, store))
                return false;
            if (r->shown) r->shown(qint16(n));
        }
    }
    // A read leaves no current logger data set behind.
    DataSetHandle::release_current(CurrentRef::Logger);
    return true;
}

void read_numbered_settings(Prog_Dialog& dlg, const CommandTable& req, const CommandTable& rsp, int entry,
                            qint16 timeout, const SettingParse& parse, const NumberShown& shown) {
    if (!begin_numbered_read(dlg, kNumberedSets)) return;
    const QString command = req[entry];
    const qint32 length = numbered_reply_length(rsp, entry);
    for (int n = 1; n <= kNumberedSets; ++n) {
        dlg.set_progress_value(n);
        clsLOGGER_SETTING& s = model().logger_main->colLOGGER_DATA().Item(DataSetHandle::logger_key(n))->clsLOGGER_SETTING();
        const RecordStore store = [&parse, &s](const QString& record) {
            if (parse) parse(s, record);
        };
        if (!read_numbered_record(dlg, numbered_command(command, n), length, timeout, store)) return;
        if (shown) shown(qint16(n));
    }
    DataSetHandle::release_current(CurrentRef::Logger);
    dlg.exit_success();
}

}  // namespace mq
