#include "main_window/startup.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

#include "main_window/command_files.h"
#include "main_window/config_files.h"
#include "main_window/home.h"
#include "main_window/home_state.h"
#include "main_window/identity_check.h"
#include "main_window/serial_link.h"
#include "model/db_workspace.h"
#include "model/model_state.h"
#include "platform/folders.h"
#include "platform/help.h"
#include "platform/message_box.h"

namespace mq {

QString command_line_text(const QStringList& arguments) { return arguments.join(QLatin1Char(' ')); }

CommandLineFile take_command_line_file(const QString& commandLine, QString* path) {
    QString p = commandLine;
    if (path) path->clear();
    if (p.isEmpty()) return CommandLineFile::None;
    if (p.startsWith(QLatin1Char('"'))) p = p.mid(1, p.size() - 2);
    const QString ext = p.right(4).toLower();
    if (ext != QStringLiteral(".ml1") && ext != QStringLiteral(".mt1") && ext != QStringLiteral(".ml2")) {
        return CommandLineFile::Refused;
    }
    // A path that names no file is refused like an empty one.
    const QFileInfo info(p);
    if (!info.isFile() || info.size() == 0) return CommandLineFile::Refused;
    if (path) *path = p;
    return CommandLineFile::Accepted;
}

bool copy_folder(const QString& from, const QString& to) {
    const QDir src(from);
    if (!src.exists()) return false;
    bool ok = QDir().mkpath(to);
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        const QFileInfo info = it.fileInfo();
        const QString target = to + QLatin1Char('/') + src.relativeFilePath(p);
        if (info.isDir()) {
            ok = QDir().mkpath(target) && ok;
        } else {
            QFile::remove(target);
            ok = QFile::copy(p, target) && ok;
        }
    }
    return ok;
}

bool startup_load(HOME& home, const QString& commandLine) {
    HomeState& hs = home_state();
    ModelState& ms = model();
    LinkState& ls = link();

    hs.win_unsaved_flags.fill(0);
    ms.help_file = platform::helpFilePath();

    hs.pending_file_flag = false;
    hs.app_idle_flag = true;
    QString pending;
    switch (take_command_line_file(commandLine, &pending)) {
    case CommandLineFile::Refused:
        hs.pending_file_path.clear();
        return false;
    case CommandLineFile::Accepted:
        hs.pending_file_path = pending;
        hs.pending_file_flag = true;
        break;
    case CommandLineFile::None:
        hs.pending_file_path.clear();
        break;
    }

    // The per-user folder: <data home>/KORVA/Marrowquill4.
    ms.user_dir = platform::userDir();
    const QString makerDir = QFileInfo(ms.user_dir).absolutePath();
    hs.docs_dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (hs.docs_dir.isEmpty()) hs.docs_dir = QDir::homePath();

    ls.link_serial_no.clear();
    ls.link_mode = OpMode::None;
    comm_disconnect(LinkEnd::LinkOnly);

    const CommSetValues comm = load_comm_set(ms.user_dir);
    ls.comm_port_no = comm.port;
    ls.comm_baud_rate = comm.baud;

    // A missing or unreadable graph option marks the first use.
    hs.config_copied_flag = 0;
    bool autoDraw = false;
    if (const auto v = read_graph_option(ms.user_dir)) {
        autoDraw = *v;
    } else {
        QDir().mkpath(makerDir);
        QDir().mkpath(ms.user_dir);
        const QString cfg = user_config_dir(ms.user_dir);
        if (!QFileInfo(cfg).isDir()) {
            // Without the program's folder to copy, the user's own settings
            // still get their folder; the missing command files are said below.
            if (!copy_folder(platform::programConfigDir(), cfg)) QDir().mkpath(cfg);
            hs.config_copied_flag = 1;
        }
        write_graph_option(ms.user_dir, false);
    }
    home.setAutoDrawChecked(autoDraw);

    home.winTable().win_table_clear();
    ls.rx_progress_flag = false;

    comm_setting();
    // Without the command files no command can be sent: say so now, naming
    // the folder, rather than leaving the logger commands silently dead.
    hs.command_files_error.clear();
    if (!cmd_table_load(platform::programConfigDir())) {
        hs.command_files_error = command_files_missing_message(platform::programConfigDir());
        platform::msgBox(&home, hs.command_files_error, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
    }

    hs.ctl_event_lock = 0;
    ms.dao_workspace = std::make_shared<DbWorkspace>();

    std::optional<LafpFolders> lafp;
    if (hs.config_copied_flag == 0) lafp = read_lafp(ms.user_dir);
    if (lafp) {
        hs.lafp_open_dir = lafp->open_dir;
        hs.lafp_save_dir = lafp->save_dir;
        hs.lafp_dir3 = lafp->dir3;
    } else {
        hs.lafp_open_dir = hs.lafp_save_dir = hs.lafp_dir3 = hs.docs_dir;
        write_lafp(ms.user_dir, LafpFolders{hs.docs_dir, hs.docs_dir, hs.docs_dir});
    }
    hs.open_dialog_dir = hs.lafp_open_dir;
    return true;
}

// ---------------------------------------------------------------- single instance

SingleInstance::SingleInstance(const QString& baseName, QObject* parent) : QObject(parent) {
    m_base = baseName.isEmpty() ? QStringLiteral("marrowquill4-%1").arg(::getuid()) : baseName;
}

SingleInstance::~SingleInstance() {
    if (m_server) m_server->close();
    if (m_lock) m_lock->unlock();
}

static QString runtime_folder() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    return dir;
}

QString SingleInstance::lockPath() const { return runtime_folder() + QLatin1Char('/') + m_base + QStringLiteral(".lock"); }
QString SingleInstance::socketPath() const {
    return runtime_folder() + QLatin1Char('/') + m_base + QStringLiteral(".sock");
}

bool SingleInstance::tryBecomeFirst() {
    m_lock = std::make_unique<QLockFile>(lockPath());
    m_lock->setStaleLockTime(0);  // a lock left by a copy that died is taken over
    if (!m_lock->tryLock(100)) {
        // Only a lock held by a running copy makes this a second start. A lock
        // that cannot be made at all (no runtime folder, no permission) must
        // not keep the program from starting: it runs without the hand-over.
        if (m_lock->error() == QLockFile::LockFailedError) return false;
        m_lock.reset();
        return true;
    }
    // The socket of a copy that ended without cleaning up is stale: we hold the lock.
    QLocalServer::removeServer(socketPath());
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(socketPath())) {
        // Hand-over will not work, but this copy still runs.
        delete m_server;
        m_server = nullptr;
        return true;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::on_new_connection);
    return true;
}

void SingleInstance::on_new_connection() {
    while (QLocalSocket* sock = m_server->nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        connect(sock, &QLocalSocket::readyRead, sock, [sock, buffer] { buffer->append(sock->readAll()); });
        connect(sock, &QLocalSocket::disconnected, this, [this, sock, buffer] {
            buffer->append(sock->readAll());
            sock->deleteLater();
            if (!buffer->isEmpty()) emit fileHandedOver(QString::fromUtf8(*buffer));
        });
    }
}

bool SingleInstance::handOver(const QString& commandLine, int timeoutMs) {
    QLocalSocket sock;
    sock.connectToServer(socketPath());
    if (!sock.waitForConnected(timeoutMs)) return false;
    sock.write(commandLine.toUtf8());
    if (!sock.waitForBytesWritten(timeoutMs)) return false;
    sock.disconnectFromServer();
    if (sock.state() != QLocalSocket::UnconnectedState) sock.waitForDisconnected(timeoutMs);
    return true;
}

// The running copy has its own working folder: a relative path is handed over
// made absolute against this start's folder, in its quotes when it had them.
static QString hand_over_text(const QString& commandLine) {
    const bool quoted = commandLine.startsWith(QLatin1Char('"'));
    const QString path = quoted ? commandLine.mid(1, commandLine.size() - 2) : commandLine;
    if (path.isEmpty() || !QFileInfo(path).isRelative()) return commandLine;
    const QString absolute = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    return quoted ? QLatin1Char('"') + absolute + QLatin1Char('"') : absolute;
}

int second_start(SingleInstance& instance, const QString& commandLine) {
    HomeState& hs = home_state();
    if (!commandLine.isEmpty()) {
        hs.start_state = 2;
        instance.handOver(hand_over_text(commandLine));
        return 0;
    }
    hs.start_state = 1;
    QString title = QApplication::applicationDisplayName();
    if (title.isEmpty()) title = QStringLiteral("マロウクイル");
    platform::msgBox(nullptr, QStringLiteral("すでに起動しています"), platform::MsgButtons::OK, platform::MsgIcon::None,
                     platform::MsgDefault::First, title);
    return 0;
}

}  // namespace mq
