#include "common/full_disk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace mq::test {

namespace {
const char* const kFiller = ".filler";
QString g_whyNot;

QString makeTempDir() {
    QByteArray tmpl = QDir::tempPath().toLocal8Bit() + "/mq-full-disk-XXXXXX";
    if (!::mkdtemp(tmpl.data())) return {};
    return QString::fromLocal8Bit(tmpl);
}
}  // namespace

QString FullDisk::whyNot() { return g_whyNot; }

std::unique_ptr<FullDisk> FullDisk::make(qint64 sizeBytes) {
    std::unique_ptr<FullDisk> d(new FullDisk);
    d->m_base = makeTempDir();
    if (d->m_base.isEmpty()) {
        g_whyNot = QStringLiteral("no temporary folder");
        return nullptr;
    }
    d->m_path = d->m_base + QStringLiteral("/disk");
    QDir().mkpath(d->m_path);
    // MQ_FULL_DISK_LIMIT=1 tries the file-size limit even as root.
    if (::geteuid() == 0 && qEnvironmentVariableIntValue("MQ_FULL_DISK_LIMIT") == 0) {
        const QByteArray opts = "size=" + QByteArray::number(sizeBytes) + ",mode=0700";
        if (::mount("mq-full-disk", QFile::encodeName(d->m_path).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                    opts.constData()) == 0) {
            d->m_tmpfs = true;
            return d;
        }
    }
    // Without a tmpfs the size limit must be settable and lowerable.
    struct rlimit rl {};
    if (::getrlimit(RLIMIT_FSIZE, &rl) != 0) {
        g_whyNot = QStringLiteral("neither a tmpfs nor RLIMIT_FSIZE is available");
        return nullptr;
    }
    return d;
}

FullDisk::~FullDisk() {
    release();
    if (m_tmpfs) ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
    if (!m_base.isEmpty()) QDir(m_base).removeRecursively();
}

void FullDisk::fill(qint64 room) {
    if (m_tmpfs) {
        const QByteArray filler = QFile::encodeName(m_path + QLatin1Char('/') + QLatin1String(kFiller));
        const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (fd < 0) return;
        const QByteArray chunk(4096, 'F');
        while (::write(fd, chunk.constData(), chunk.size()) > 0) {
        }
        // Byte by byte for the last partial page, then give back the room.
        while (::write(fd, "F", 1) > 0) {
        }
        if (room > 0) {
            const off_t size = ::lseek(fd, 0, SEEK_END);
            ::ftruncate(fd, size > room ? size - room : 0);
        }
        ::close(fd);
        m_filled = true;
        return;
    }
    struct rlimit rl {};
    ::getrlimit(RLIMIT_FSIZE, &rl);
    m_oldSoft = rl.rlim_cur;
    m_oldHard = rl.rlim_max;
    // Beyond the limit the kernel sends SIGXFSZ, which would end the test
    // program; ignored, the write fails with EFBIG instead.
    m_oldHandler = reinterpret_cast<void*>(std::signal(SIGXFSZ, SIG_IGN));
    rl.rlim_cur = static_cast<rlim_t>(room);
    ::setrlimit(RLIMIT_FSIZE, &rl);
    m_limitSet = true;
}

void FullDisk::release() {
    if (m_filled) {
        QFile::remove(m_path + QLatin1Char('/') + QLatin1String(kFiller));
        m_filled = false;
    }
    if (m_limitSet) {
        struct rlimit rl {};
        rl.rlim_cur = static_cast<rlim_t>(m_oldSoft);
        rl.rlim_max = static_cast<rlim_t>(m_oldHard);
        ::setrlimit(RLIMIT_FSIZE, &rl);
        std::signal(SIGXFSZ, reinterpret_cast<void (*)(int)>(m_oldHandler));
        m_limitSet = false;
    }
}

QStringList FullDisk::entries() const {
    QStringList out = QDir(m_path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    out.removeAll(QLatin1String(kFiller));
    return out;
}

}  // namespace mq::test
