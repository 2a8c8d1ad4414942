#include "main_window/file_open.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

#include "main_window/config_files.h"
#include "main_window/home.h"
#include "main_window/home_state.h"
#include "main_window/identity_check.h"
#include "main_window/scrambling.h"
#include "main_window/serial_link.h"
#include "model/common_proc.h"
#include "model/data_set_handle.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/folders.h"
#include "platform/message_box.h"

namespace mq {

namespace {

constexpr int kMl2HeaderBytes = 236;
constexpr int kTagBytes = 11;
// The ".MT1" tag line before its CR LF: model name (8), "-", format tag (11).
constexpr int kMt1TagLineBytes = 20;
constexpr qint64 kLineChunk = 4096;

const QString kTagMl1 = QStringLiteral("LD01-010100");
const QString kTagMl2 = QStringLiteral("LD20");
const QString kTagMl2Long = QStringLiteral("LD20101000");
const QString kTagMt1 = QStringLiteral("TD01-010100");

const QString kFilterMl2 = QStringLiteral("Binary files (*.ML2)");
const QString kFilterMl1 = QStringLiteral("Binary files (*.ML1)");
const QString kFilterMt1 = QStringLiteral("Binary files (*.MT1)");

bool isLogTag(const QString& tag) { return tag == kTagMl2 || tag == kTagMl1 || tag == kTagMl2Long; }

void message(HOME& home, const QString& text) {
    platform::msgBox(&home, text, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
}

// The folder the dialog remembers: the folder of the chosen file.
QString folderOf(const QString& path) { return QFileInfo(path).absolutePath(); }

void rememberOpenFolder(const QString& path) {
    HomeState& hs = home_state();
    hs.open_dialog_dir = folderOf(path);
    hs.lafp_open_dir = hs.open_dialog_dir;
    LAFP_save();
}

void rememberMemoryFolder(const QString& path) {
    HomeState& hs = home_state();
    hs.memory_open_dir = folderOf(path);
    hs.lafp_open_dir = hs.memory_open_dir;
    LAFP_save();
}

// The open button is off while the command opens a file, on every path.
class OpeningFile {
public:
    explicit OpeningFile(HOME& home) : m_home(home) { set(true); }
    ~OpeningFile() { set(false); }
    OpeningFile(const OpeningFile&) = delete;
    OpeningFile& operator=(const OpeningFile&) = delete;

private:
    void set(bool opening) {
        home_state().opening_file = opening;
        m_home.refresh_command_state();
    }
    HOME& m_home;
};

// The program goes over to the mode of the file it opens.
void takeMode(HOME& home, OpMode mode) {
    link().link_mode = mode;
    home.refresh_command_state();
}

void openLogWindow(HOME& home, const QString& path) {
    ModelState& m = model();
    if (!m.file_main) m.file_main = std::make_shared<clsFILE_Main>();
    DataSetHandle::set_current_kind(1);
    home.winTable().win_file_open_log(path, path.right(3));
}

void openTagWindow(HOME& home, const QString& path) {
    ModelState& m = model();
    if (!m.file_main) m.file_main = std::make_shared<clsFILE_Main>();
    DataSetHandle::set_current_kind(1);
    home.winTable().win_file_open_tag(path);
}

// TAG file windows are opened through the TAG data window's hooks; until
// they are installed, a TAG file is refused before anything changes.
bool tagFileWindowsAvailable() {
    const HomeTargets& t = home_state().targets;
    return bool(t.create_window[DataWindowKind::Tag]) && bool(t.fill[DataFill::FileMt1]);
}

const QString kNoTagWindows = QStringLiteral("タグ・データ・ファイルはこのバージョンでは開けません。");

// A removable LOG file opened in LOG mode: after the question, every data
// window closes and the program goes over to MEMORY mode, leaving the logger.
void switchToMemoryAndOpen(HOME& home, const QString& path) {
    const bool connected = link().link_connected_flag;
    QString text = QStringLiteral("選択したファイルを開くと『メモリ・モード』に状態を遷移します。\r\n"
                                  "ファイルを開きますか。\r\n");
    if (connected) {
        text += QStringLiteral("※ただし、これまで開いた『ログモード』データは全て破棄され、\r\n"
                               "　ロガーとの通信接続も解除されます。");
    } else {
        text += QStringLiteral("※ただし、これまで開いた『ログモード』データは全て破棄されます。");
    }
    const auto answer = platform::msgBox(&home, text, platform::MsgButtons::YesNo,
                                         platform::MsgIcon::Information, platform::MsgDefault::Second);
    if (answer != platform::MsgResult::Yes) return;
    home.allclose_Click();
    rememberMemoryFolder(path);
    if (connected) comm_disconnect(LinkEnd::LinkOnly);
    takeMode(home, OpMode::Memory);
    openLogWindow(home, path);
}

// A file from elsewhere opened in MEMORY mode: after the question, every data
// window closes and the program goes back to LOG mode, leaving the logger.
void switchToLogAndOpen(HOME& home, const QString& path) {
    const QString text = QStringLiteral(
        "選択したファイルはリムーバブルメディアのデータではありません。\r\n"
        "ファイルを開きますか。通常の『ログモード』に状態を遷移します。\r\n"
        "※ただし、これまで開いた『外部メモリ』データは全て破棄されます。");
    const auto answer = platform::msgBox(&home, text, platform::MsgButtons::YesNo,
                                         platform::MsgIcon::Information, platform::MsgDefault::First);
    if (answer != platform::MsgResult::Yes) return;
    const bool connected = link().link_connected_flag;
    home.allclose_Click();
    rememberOpenFolder(path);
    if (connected) comm_disconnect(LinkEnd::LinkOnly);
    takeMode(home, OpMode::Log);
    openLogWindow(home, path);
}

// No mode yet: the file's tag decides it.
void openWithoutMode(HOME& home, const QString& path, const QString& tag, bool removable) {
    if (tag == kTagMt1) {
        if (!tagFileWindowsAvailable()) {
            message(home, kNoTagWindows);
            return;
        }
        rememberOpenFolder(path);
        takeMode(home, OpMode::Tag);
        openTagWindow(home, path);
    } else if (isLogTag(tag)) {
        if (removable) {
            rememberMemoryFolder(path);
            takeMode(home, OpMode::Memory);
        } else {
            rememberOpenFolder(path);
            takeMode(home, OpMode::Log);
        }
        openLogWindow(home, path);
    } else {
        message(home, QStringLiteral("選択ファイルの形式はデータ・ファイルではありません。"));
    }
}

void openInLogMode(HOME& home, const QString& path, const QString& tag, bool removable) {
    if (!isLogTag(tag)) {
        message(home, QStringLiteral("選択ファイルの形式はログデータではありません。"));
    } else if (removable) {
        switchToMemoryAndOpen(home, path);
    } else {
        rememberOpenFolder(path);
        takeMode(home, OpMode::Log);
        openLogWindow(home, path);
    }
}

void openInTagMode(HOME& home, const QString& path, const QString& tag) {
    if (tag != kTagMt1) {
        message(home, QStringLiteral("選択ファイルの形式はタグ・データではありません。"));
        return;
    }
    if (!tagFileWindowsAvailable()) {
        message(home, kNoTagWindows);
        return;
    }
    rememberOpenFolder(path);
    openTagWindow(home, path);
}

void openInMemoryMode(HOME& home, const QString& path, const QString& tag, bool removable) {
    if (tag != kTagMl2) {
        message(home, QStringLiteral("選択ファイルの形式はメモリ・データではありません。"));
    } else if (!removable) {
        switchToLogAndOpen(home, path);
    } else {
        rememberMemoryFolder(path);
        takeMode(home, OpMode::Memory);
        openLogWindow(home, path);
    }
}

// Step 7 of the command: what the tag and the current mode make of the file.
void openByMode(HOME& home, const QString& path, const QString& tag, OpMode mode, bool removable) {
    switch (mode) {
    case OpMode::None: openWithoutMode(home, path, tag, removable); break;
    case OpMode::Log: openInLogMode(home, path, tag, removable); break;
    case OpMode::Tag: openInTagMode(home, path, tag); break;
    case OpMode::Memory: openInMemoryMode(home, path, tag, removable); break;
    default: break;
    }
}

}  // namespace

// ---------------------------------------------------------------- dialogs

QString case_insensitive_filter(const QString& filter) {
    const qsizetype open = filter.lastIndexOf(QLatin1Char('('));
    const qsizetype close = filter.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open) return filter;
    const QString patterns = filter.mid(open + 1, close - open - 1);
    QString folded;
    for (const QChar c : patterns) {
        if (c.isLetter() && c.toLower() != c.toUpper()) {
            folded += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        } else {
            folded += c;
        }
    }
    return filter + QStringLiteral(" (") + folded + QLatin1Char(')');
}

FileDialogAnswer show_file_dialog(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog d(parent);
    // The platform dialogs compare patterns with the letter case as given;
    // Qt's own dialog takes the bracketed patterns that match every case.
    d.setOption(QFileDialog::DontUseNativeDialog, true);
    d.setOption(QFileDialog::HideNameFilterDetails, true);
    d.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    d.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QStringList filters;
    for (const QString& f : request.filters) filters << case_insensitive_filter(f);
    if (!filters.isEmpty()) {
        d.setNameFilters(filters);
        d.selectNameFilter(filters.value(request.filterIndex - 1, filters.first()));
    }
    if (!request.startDir.isEmpty()) d.setDirectory(request.startDir);
    if (!request.proposedName.isEmpty()) d.selectFile(request.proposedName);
    if (request.save) keep_plain_extension_on_type_change(d, request.filters);
    FileDialogAnswer answer;
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return answer;
    answer.accepted = true;
    answer.path = d.selectedFiles().first();
    answer.filterIndex = filters.isEmpty() ? 0 : chosen_filter_position(d, filters);
    return answer;
}

void keep_plain_extension_on_type_change(QFileDialog& d, const QStringList& shownFilters) {
    // Choosing another type in a save dialog makes Qt's dialog put that
    // type's extension on a typed name, taken from the patterns it was given:
    // here the bracketed ones ("[cC][sS][vV]"). The extension shown to the
    // user ("csv") goes in their place.
    auto* types = d.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    auto* edit = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!types || !edit) return;
    QObject::connect(types, &QComboBox::activated, &d, [shownFilters, edit](int index) {
        const QString shown = shownFilters.value(index);
        const qsizetype open = shown.lastIndexOf(QLatin1Char('('));
        const qsizetype close = shown.lastIndexOf(QLatin1Char(')'));
        if (open < 0 || close < open) return;
        const QString pattern = shown.mid(open + 1, close - open - 1).section(QLatin1Char(' '), 0, 0);
        const QString plain = QFileInfo(pattern).suffix();
        QString name = edit->text();
        const qsizetype bracket = name.lastIndexOf(QLatin1String(".["));
        if (plain.isEmpty() || bracket < 0 || !name.endsWith(QLatin1Char(']'))) return;
        name.truncate(bracket + 1);
        edit->setText(name + plain.toLower());
    });
}

int chosen_filter_position(const QFileDialog& d, const QStringList& filters) {
    // The type list of Qt's own dialog holds the filters in the order they
    // were set; its position is the answer. The text the dialog hands back
    // for the chosen filter is not: with the patterns hidden it may be the
    // shortened text shown in the list rather than the one that was set.
    if (const auto* types = d.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
        const int at = types->currentIndex();
        if (types->count() == filters.size() && at >= 0) return at + 1;
    }
    const QString chosen = d.selectedNameFilter().trimmed();
    for (int i = 0; i < filters.size(); ++i) {
        const QString& f = filters[i];
        if (f == chosen || f.startsWith(chosen + QLatin1Char(' ')) || f.startsWith(chosen + QLatin1Char('('))) {
            return i + 1;
        }
    }
    return 1;
}

// ---------------------------------------------------------------- the tag

QString open_read_error_message(const QString& path) {
    return QStringLiteral("ファイルを読み込めませんでした。\n") + QDir::toNativeSeparators(path);
}

bool read_data_file_tag(const QString& path, QByteArray* tag) {
    tag->clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QString kind = path.right(3).toUpper();
    if (kind == QLatin1String("ML2")) {
        // The header is read by its byte count: a scrambled byte may be CR or LF.
        const QByteArray head = f.read(kMl2HeaderBytes);
        if (f.error() != QFileDevice::NoError || head.isEmpty()) return false;
        *tag = data_disk_angou_load_1(head).mid(208, 4);
        return true;
    }
    if (kind == QLatin1String("ML1")) {
        // Line 1 of an older LOG file ends with the scrambled tag and CR LF. A
        // scrambled 'P' 'W' earlier in the line is also CR LF, so the line
        // ends where the scrambled tag is followed by CR LF, as the file's
        // reader takes it; only a file without that falls back to its first
        // CR LF (or the whole file when it has none).
        static const QByteArray tagEnd = data_disk_angou_load_1(kTagMl1.toLatin1()) + "\r\n";
        QByteArray text;
        qsizetype end = -1;
        while (end < 0) {
            const QByteArray chunk = f.read(kLineChunk);
            if (f.error() != QFileDevice::NoError) return false;
            if (chunk.isEmpty()) break;
            const qsizetype from = std::max<qsizetype>(0, text.size() - (tagEnd.size() - 1));
            text += chunk;
            const qsizetype at = text.indexOf(tagEnd, from);
            if (at >= 0) end = at + tagEnd.size() - 2;
        }
        if (text.isEmpty()) return false;
        if (end < 0) end = text.indexOf("\r\n");
        if (end >= 0) text.truncate(end);
        *tag = data_disk_angou_load_1(text.right(kTagBytes));
        return true;
    }
    if (kind == QLatin1String("MT1")) {
        // The tag line is 20 scrambled bytes and a plain CR LF; a scrambled
        // 'P' 'W' in the model name is CR LF too, so it is taken by its count.
        const QByteArray head = f.read(kMt1TagLineBytes + 2);
        if (f.error() != QFileDevice::NoError) return false;
        if (head.size() == kMt1TagLineBytes + 2 && head.endsWith("\r\n")) {
            *tag = data_disk_angou_load_1(head.left(kMt1TagLineBytes).right(kTagBytes));
            return true;
        }
        // Otherwise the first line: up to its CR LF, or the whole file when it has none.
        if (!f.seek(0)) return false;
        QByteArray line;
        qsizetype eol = -1;
        while (eol < 0) {
            const QByteArray chunk = f.read(kLineChunk);
            if (f.error() != QFileDevice::NoError) return false;
            if (chunk.isEmpty()) break;
            const qsizetype from = std::max<qsizetype>(0, line.size() - 1);
            line += chunk;
            eol = line.indexOf("\r\n", from);
        }
        if (line.isEmpty()) return false;
        if (eol >= 0) line.truncate(eol);
        *tag = data_disk_angou_load_1(line.right(kTagBytes));
        return true;
    }
    // Another extension: a tag that never matches, once the file proves readable.
    char probe = 0;
    if (f.read(&probe, 1) != 1) return false;
    *tag = path.right(3).toLatin1();
    return true;
}

// ---------------------------------------------------------------- the command

void fileopen_Click(HOME& home, const FileOpenHooks& hooks) {
    HomeState& hs = home_state();
    BusyScope busy;

    if (home.winTable().win_file_use_ct() >= kWinKindLimit) {
        message(home, QStringLiteral("これ以上のファイルは開けません。"));
        return;
    }

    if (hs.open_dialog_dir.isEmpty()) {
        const QString data = QDir(hs.docs_dir).filePath(QStringLiteral("DATA"));
        hs.open_dialog_dir = QFileInfo(data).isDir() ? data : hs.docs_dir;
    }

    const OpMode mode = get_cur_mode_type();
    FileDialogRequest request;
    request.startDir = hs.open_dialog_dir;
    switch (mode) {
    case OpMode::Log: request.filters = {kFilterMl2, kFilterMl1}; break;
    case OpMode::Tag: request.filters = {kFilterMt1}; break;
    case OpMode::Memory:
        request.filters = {kFilterMl2};
        request.startDir = hs.memory_open_dir;
        break;
    default: request.filters = {kFilterMl2, kFilterMl1, kFilterMt1}; break;
    }

    QString path;
    if (hs.pending_file_flag) {
        path = hs.pending_file_path;
    } else {
        const FileDialogAnswer answer = hooks.dialog ? hooks.dialog(&home, request) : show_file_dialog(&home, request);
        if (!answer.accepted) return;
        path = answer.path;
    }

    const OpeningFile opening(home);
    hs.pending_file_flag = false;
    hs.open_file_path = path;

    QByteArray tagBytes;
    if (!read_data_file_tag(path, &tagBytes)) {
        message(home, open_read_error_message(path));
    } else {
        const QString tag = QString::fromLatin1(tagBytes);
        const bool removable = hooks.removable ? hooks.removable(path) : platform::isRemovableMedia(path);
        openByMode(home, path, tag, mode, removable);
    }
}

void install_file_open_target(HomeTargets& targets, FileOpenHooks hooks) {
    targets.commands[HomeCommand::FileOpen] = [hooks] {
        if (!ModelSlot::installed()) return;
        if (HOME* home = home_window()) fileopen_Click(*home, hooks);
    };
}

}  // namespace mq
