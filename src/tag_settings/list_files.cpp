#include "tag_settings/list_files.h"

#include <QFile>
#include <QFileInfo>

#include "model/cls_logger_status.h"
#include "model/model_state.h"
#include "platform/cp932.h"

namespace mq {

QString list_file_name(ListKind kind) {
    return kind == ListKind::Worker ? QStringLiteral("WORKER.CFG") : QStringLiteral("COMMENT.CFG");
}

QString list_file_path(ListKind kind) {
    return model().user_dir + QStringLiteral("/config/") + list_file_name(kind);
}

QString list_entry_fixed(const QString& text) {
    return platform::cp932::padToBytes(platform::cp932::cutToBytes(text, kListEntryBytes), kListEntryBytes);
}

QString list_entry_shown(const QString& entry) {
    qsizetype end = entry.size();
    while (end > 0 && entry.at(end - 1) == u' ') --end;
    return entry.left(end);
}

QStringList list_entries(const clsLOGGER_STATUS& status, ListKind kind) {
    QStringList out;
    out.reserve(kListEntries);
    for (int i = 0; i < kListEntries; ++i) {
        out << (kind == ListKind::Worker ? status.worker_name(i) : status.Comment(i));
    }
    return out;
}

void let_list_entries(clsLOGGER_STATUS& status, ListKind kind, const QStringList& entries) {
    for (int i = 0; i < kListEntries && i < entries.size(); ++i) {
        const QString e = list_entry_fixed(entries.at(i));
        if (kind == ListKind::Worker) status.let_worker_name(i, e);
        else status.let_Comment(i, e);
    }
}

QByteArray list_file_bytes(const QStringList& entries) {
    QByteArray out;
    out.reserve(kListEntries * (kListEntryBytes + 2));
    for (int i = 0; i < kListEntries; ++i) {
        out += platform::cp932::fixedBytes(i < entries.size() ? entries.at(i) : QString(), kListEntryBytes);
        out += "\r\n";
    }
    return out;
}

namespace {

FileResult writeList(const QString& path, const QStringList& entries) {
    SafeFileWriter w(path);
    if (FileResult r = w.open(); !r) return r;
    if (FileResult r = w.write(list_file_bytes(entries)); !r) return r;
    return w.commit();
}

QString unreadableListMessage(ListKind kind, const QString& path) {
    const QString what = kind == ListKind::Worker ? QStringLiteral("作業者名") : QStringLiteral("コメント");
    return what + QStringLiteral("のリストファイルを読み込めませんでした。\n") + path;
}

}  // namespace

FileResult list_file_load(ListKind kind, clsLOGGER_STATUS& status) {
    const QString path = list_file_path(kind);
    QStringList entries = list_entries(status, kind);
    if (kind == ListKind::Worker) entries.fill(QString(kListEntryBytes, u' '));

    if (!QFileInfo::exists(path)) {
        const QStringList blank(kListEntries, QString(kListEntryBytes, u' '));
        let_list_entries(status, kind, blank);
        return writeList(path, blank);
    }
    QByteArray bytes;
    FileResult read = read_small_file(path, kListFileMaxBytes, unreadableListMessage(kind, path), bytes);
    bool complete = bool(read);
    if (read) {
        QList<QByteArray> lines = bytes.split('\n');
        if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        complete = lines.size() >= kListEntries;
        for (int i = 0; i < kListEntries && i < lines.size(); ++i) {
            QByteArray line = lines.at(i);
            if (line.endsWith('\r')) line.chop(1);
            const QString text = platform::cp932::decode(line);
            if (platform::cp932::encode(text) != line) {
                complete = false;
                continue;
            }
            // The list reader skips leading blanks, as the program always has.
            qsizetype lead = 0;
            while (lead < text.size() && text.at(lead) == u' ') ++lead;
            entries[i] = text.mid(lead);
        }
    }
    let_list_entries(status, kind, entries);
    return complete ? FileResult::success() : FileResult::failure(unreadableListMessage(kind, path));
}

FileResult list_file_store(ListKind kind, const clsLOGGER_STATUS& status) {
    return writeList(list_file_path(kind), list_entries(status, kind));
}

}  // namespace mq
