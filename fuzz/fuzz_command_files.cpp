// The command files of the configuration folder: the input replaces one of
// them (the first byte says which), the others are the shipped ones, and the
// whole set is loaded as at start.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "fuzz_common.h"
#include "main_window/command_files.h"
#include "main_window/serial_link.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    mq::fuzz::ensureProgramState();
    if (size < 1) return 0;
    static QTemporaryDir dir;
    static const QStringList names = [] {
        QStringList out;
        for (const QString& n : QDir(QStringLiteral(MQ_CONFIG_DIR)).entryList({QStringLiteral("*.REQ"), QStringLiteral("*.RSP")}, QDir::Files, QDir::Name)) {
            QFile::copy(QStringLiteral(MQ_CONFIG_DIR "/") + n, dir.path() + QLatin1Char('/') + n);
            out << n;
        }
        return out;
    }();
    if (names.isEmpty()) return 0;
    const QString target = dir.path() + QLatin1Char('/') + names.at(data[0] % names.size());
    {
        QFile f(target);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        f.write(mq::fuzz::bytesOf(data + 1, size - 1));
    }
    (void)mq::cmd_table_load(mq::link(), dir.path());
    // The shipped file back for the next input.
    QFile::remove(target);
    QFile::copy(QStringLiteral(MQ_CONFIG_DIR "/") + names.at(data[0] % names.size()), target);
    return 0;
}
