#include "main_window/config_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

#include <climits>
#include <limits>

#include "main_window/home_state.h"
#include "model/data_window.h"
#include "model/model_state.h"
#include "platform/cp932.h"
#include "platform/message_box.h"
#include "platform/safe_file.h"

namespace mq {
namespace {

const QByteArray kCrLf("\r\n");

// The widest line of each form, CR LF included: a number in print form (a
// sign, the 19 digits of the widest number and a blank, with room for blanks
// around it), a Boolean ("#FALSE#" with room for blanks) and a quoted folder
// (the longest path the system allows between its quotes).
constexpr qint64 kNumberLineMaxBytes = 32;
constexpr qint64 kBoolLineMaxBytes = 16;
constexpr qint64 kFolderLineMaxBytes = PATH_MAX + 4;

// The file's lines without their line ends; nothing when the file is missing,
// cannot be read or is larger than `lineCount` lines of at most `lineBytes` each
// (no file of the format is).
std::optional<QList<QByteArray>> read_lines(const QString& path, int lineCount, qint64 lineBytes) {
    QByteArray all;
    if (!read_small_file(path, lineCount * lineBytes, QString(), all)) return std::nullopt;
    QList<QByteArray> lines = all.split('\n');
    // The text after the last line end is a line only when it is not empty.
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (QByteArray& l : lines) {
        if (l.endsWith('\r')) l.chop(1);
    }
    return lines;
}

QByteArray trim_blanks(const QByteArray& b) {
    qsizetype s = 0, e = b.size();
    while (s < e && (b[s] == ' ' || b[s] == '\t')) ++s;
    while (e > s && (b[e - 1] == ' ' || b[e - 1] == '\t')) --e;
    return b.mid(s, e - s);
}

QString join_path(const QString& dir, const QString& name) {
    if (dir.endsWith(QLatin1Char('/'))) return dir + name;
    return dir + QLatin1Char('/') + name;
}

QWidget* message_parent() {
    if (ModelSlot::installed() && model().main_window) return model().main_window->mainWidget();
    return nullptr;
}

}  // namespace

QString user_config_dir(const QString& userDir) { return join_path(userDir, QStringLiteral("config")); }
QString comm_set_path(const QString& userDir) {
    return join_path(user_config_dir(userDir), QStringLiteral("COMM_SET.CFG"));
}
QString graph_option_path(const QString& userDir) {
    return join_path(user_config_dir(userDir), QStringLiteral("GRAPH_OPTION.CFG"));
}
QString lafp_path(const QString& userDir) {
    return join_path(user_config_dir(userDir), QStringLiteral("LAFP.CFG"));
}

QByteArray cfg_print_line(qint64 n) {
    QByteArray out;
    out += n < 0 ? '-' : ' ';
    // The magnitude of the most negative value does not fit; print it from its text.
    QByteArray digits = QByteArray::number(n);
    if (n < 0) digits.remove(0, 1);
    out += digits;
    out += ' ';
    out += kCrLf;
    return out;
}

QByteArray cfg_write_line(const QString& text) {
    return '"' + platform::cp932::encode(text) + '"' + kCrLf;
}

QByteArray cfg_write_line(bool value) {
    return QByteArray(value ? "#TRUE#" : "#FALSE#") + kCrLf;
}

std::optional<qint64> cfg_read_number(const QByteArray& line) {
    const QByteArray t = trim_blanks(line);
    // An empty field reads as 0, as the line-input of numbers does.
    if (t.isEmpty()) return 0;
    qsizetype i = 0;
    if (t[0] == '-' || t[0] == '+') i = 1;
    if (i >= t.size()) return std::nullopt;
    for (qsizetype k = i; k < t.size(); ++k) {
        if (t[k] < '0' || t[k] > '9') return std::nullopt;
    }
    bool ok = false;
    const qint64 v = t.toLongLong(&ok);
    if (!ok) return std::nullopt;
    return v;
}

std::optional<QString> cfg_read_text(const QByteArray& line) {
    const QByteArray t = trim_blanks(line);
    const qsizetype first = t.indexOf('"');
    if (first == 0) {
        const qsizetype last = t.lastIndexOf('"');
        if (last <= first) return std::nullopt;  // an opening quote without its closing one
        return platform::cp932::decode(t.mid(first + 1, last - first - 1));
    }
    return platform::cp932::decode(t);
}

std::optional<bool> cfg_read_bool(const QByteArray& line) {
    const QByteArray t = trim_blanks(line).toUpper();
    if (t == "#TRUE#") return true;
    if (t == "#FALSE#") return false;
    return std::nullopt;
}

bool write_config_file(const QString& path, const QByteArray& bytes, bool quietIfFolderMissing) {
    // A full disk must not leave a truncated file behind: the old file stays
    // until the new one is complete on the disk.
    if (write_file_safely(path, bytes)) return true;

    if (quietIfFolderMissing && !QFileInfo(QFileInfo(path).absolutePath()).isDir()) return false;
    if (HomeSlot::installed()) {
        HomeState& hs = home_state();
        if (hs.config_write_error_reported) return false;
        hs.config_write_error_reported = true;
    }
    platform::msgBox(message_parent(),
                     QStringLiteral("設定ファイルを書き込めませんでした。") + QStringLiteral("\r\n") +
                         QDir::toNativeSeparators(path),
                     platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
    return false;
}

std::optional<CommSetValues> read_comm_set(const QString& userDir) {
    const auto lines = read_lines(comm_set_path(userDir), 2, kNumberLineMaxBytes);
    if (!lines || lines->size() < 2) return std::nullopt;
    const auto port = cfg_read_number(lines->at(0));
    const auto baud = cfg_read_number(lines->at(1));
    if (!port || !baud) return std::nullopt;
    if (*port < std::numeric_limits<qint16>::min() || *port > std::numeric_limits<qint16>::max()) {
        return std::nullopt;
    }
    if (*baud < std::numeric_limits<qint32>::min() || *baud > std::numeric_limits<qint32>::max()) {
        return std::nullopt;
    }
    CommSetValues v;
    v.port = *port == 0 ? kDefaultCommPort : static_cast<qint16>(*port);
    v.baud = *baud == 0 ? kDefaultCommBaud : static_cast<qint32>(*baud);
    return v;
}

CommSetValues load_comm_set(const QString& userDir) {
    if (const auto v = read_comm_set(userDir)) return *v;
    const CommSetValues defaults;
    // On the first start the folder does not exist yet: the defaults hold
    // for this run and the copied configuration brings the file.
    QByteArray bytes = cfg_print_line(defaults.port) + cfg_print_line(defaults.baud);
    write_config_file(comm_set_path(userDir), bytes, /*quietIfFolderMissing=*/true);
    return defaults;
}

bool write_comm_set(const QString& userDir, qint16 port, qint32 baud) {
    return write_config_file(comm_set_path(userDir), cfg_print_line(port) + cfg_print_line(baud));
}

std::optional<bool> read_graph_option(const QString& userDir) {
    const auto lines = read_lines(graph_option_path(userDir), 1, kBoolLineMaxBytes);
    if (!lines || lines->isEmpty()) return std::nullopt;
    return cfg_read_bool(lines->at(0));
}

bool write_graph_option(const QString& userDir, bool autoDraw) {
    return write_config_file(graph_option_path(userDir), cfg_write_line(autoDraw));
}

std::optional<LafpFolders> read_lafp(const QString& userDir) {
    const auto lines = read_lines(lafp_path(userDir), 3, kFolderLineMaxBytes);
    if (!lines || lines->size() < 3) return std::nullopt;
    const auto a = cfg_read_text(lines->at(0));
    const auto b = cfg_read_text(lines->at(1));
    const auto c = cfg_read_text(lines->at(2));
    if (!a || !b || !c) return std::nullopt;
    return LafpFolders{*a, *b, *c};
}

bool write_lafp(const QString& userDir, const LafpFolders& folders) {
    return write_config_file(lafp_path(userDir), cfg_write_line(folders.open_dir) +
                                                     cfg_write_line(folders.save_dir) +
                                                     cfg_write_line(folders.dir3));
}

void LAFP_save() {
    const HomeState& hs = home_state();
    LafpFolders folders{hs.lafp_open_dir, hs.lafp_save_dir, hs.lafp_dir3};
    // A folder whose name has a character outside CP932 would be stored as
    // another name (a "?" in its place) and the next start would open a
    // folder that does not exist: such a folder keeps the one stored before.
    const auto storable = [](const QString& dir) { return platform::cp932::decode(platform::cp932::encode(dir)) == dir; };
    if (!storable(folders.open_dir) || !storable(folders.save_dir) || !storable(folders.dir3)) {
        const LafpFolders before =
            read_lafp(model().user_dir).value_or(LafpFolders{hs.docs_dir, hs.docs_dir, hs.docs_dir});
        if (!storable(folders.open_dir)) folders.open_dir = before.open_dir;
        if (!storable(folders.save_dir)) folders.save_dir = before.save_dir;
        if (!storable(folders.dir3)) folders.dir3 = before.dir3;
    }
    write_lafp(model().user_dir, folders);
}

}  // namespace mq
