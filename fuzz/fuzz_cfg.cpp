// The main window's configuration files: the input is one of "COMM_SET.CFG",
// "GRAPH_OPTION.CFG" and "LAFP.CFG" (the first byte says which), read as at
// start, and each of its lines through the three field readers.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "fuzz_common.h"
#include "main_window/config_files.h"
#include "platform/cp932.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    mq::fuzz::ensureProgramState();
    if (size < 1) return 0;
    static QTemporaryDir dir;
    static const bool made = QDir().mkpath(mq::user_config_dir(dir.path()));
    (void)made;
    const QByteArray bytes = mq::fuzz::bytesOf(data + 1, size - 1);
    const QString user = dir.path();
    const QString paths[3] = {mq::comm_set_path(user), mq::graph_option_path(user), mq::lafp_path(user)};
    const QString& path = paths[data[0] % 3];
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        f.write(bytes);
    }
    switch (data[0] % 3) {
    case 0: (void)mq::read_comm_set(user); break;
    case 1: (void)mq::read_graph_option(user); break;
    default:
        if (const auto folders = mq::read_lafp(user)) {
            // A folder text that CP932 can carry and that holds no quote or
            // line end is written and read back unchanged.
            const auto plain = [](const QString& t) {
                return !t.contains(u'"') && !t.contains(u'\r') && !t.contains(u'\n') &&
                       mq::platform::cp932::decode(mq::platform::cp932::encode(t)) == t;
            };
            if (plain(folders->open_dir) && plain(folders->save_dir) && plain(folders->dir3) &&
                mq::write_lafp(user, *folders)) {
                const auto again = mq::read_lafp(user);
                if (!again || again->open_dir != folders->open_dir || again->save_dir != folders->save_dir ||
                    again->dir3 != folders->dir3) {
                    __builtin_trap();
                }
            }
        }
        break;
    }
    for (const QByteArray& line : bytes.split('\n')) {
        (void)mq::cfg_read_number(line);
        (void)mq::cfg_read_text(line);
        (void)mq::cfg_read_bool(line);
    }
    QFile::remove(path);
    return 0;
}
