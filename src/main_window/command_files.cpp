#include "main_window/command_files.h"

#include <QDir>
#include <QFile>

namespace mq {

namespace {

// The files in the order they are read, each with its table.
struct FileTable {
    const char* name;
    CommandTable LinkState::*table;
};

constexpr FileTable kFiles[] = {
    {"L_R_CMD.REQ", &LinkState::cmd_l_r_req}, {"L_R_CMD.RSP", &LinkState::cmd_l_r_rsp},
    {"T_R_CMD.REQ", &LinkState::cmd_t_r_req}, {"T_R_CMD.RSP", &LinkState::cmd_t_r_rsp},
    {"S_CMD.REQ", &LinkState::cmd_s_req},     {"S_CMD.RSP", &LinkState::cmd_s_rsp},
    {"K_P_CMD.REQ", &LinkState::cmd_k_p_req}, {"R_P_CMD.REQ", &LinkState::cmd_r_p_req},
};

// Fills one table from one file; false on a missing file or an empty entry.
bool loadFile(const QString& path, CommandTable& table) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray all = f.readAll();
    if (f.error() != QFileDevice::NoError) return false;

    // Lines end with CR LF; a lone LF or CR ends a line too. The text after
    // the last line end, if any, is a last line.
    qsizetype entry = 0;
    qsizetype pos = 0;
    const qsizetype n = all.size();
    while (pos < n) {
        qsizetype end = pos;
        while (end < n && all[end] != '\r' && all[end] != '\n') ++end;
        const QString line = link_bytes_to_text(all.mid(pos, end - pos));
        if (end < n && all[end] == '\r') ++end;
        if (end < n && all[end] == '\n') ++end;
        pos = end;

        const QString text = cmd_line_strip(line);
        if (text.isEmpty()) return false;
        if (entry < table.size()) table[entry] = text;
        ++entry;
    }
    return true;
}

}  // namespace

QString cmd_line_strip(const QString& line) {
    if (line.isEmpty() || line[0] != QChar(2)) return {};
    const qsizetype etx = line.indexOf(QChar(3), 1);
    if (etx < 0) return {};
    return line.mid(1, etx - 1);
}

bool cmd_table_load(LinkState& st, const QString& configDir) {
    for (const FileTable& ft : kFiles) (st.*ft.table).clear();
    for (const FileTable& ft : kFiles) {
        if (!loadFile(configDir + u'/' + QLatin1String(ft.name), st.*ft.table)) return false;
    }
    return true;
}

bool cmd_table_load(const QString& configDir) { return cmd_table_load(link(), configDir); }

QString command_files_missing_message(const QString& configDir) {
    return QStringLiteral("設定フォルダのコマンドファイルを読み込めません。\nロガーと通信できません。\n") +
           QDir::toNativeSeparators(configDir);
}

}  // namespace mq
