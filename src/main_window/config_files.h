#pragma once
// The main window's three configuration files in the per-user "config"
// folder: "COMM_SET.CFG" (port and speed), "GRAPH_OPTION.CFG" (automatic graph
// drawing) and "LAFP.CFG" (last-used folders). CP932 text, lines ended by
// CR LF, each file replaced whole on every write.
//
// Line forms:
//   print form of a number: sign position (blank, or "-"), digits, one blank;
//   write form: a text in double quotes, or #TRUE# / #FALSE#.
// Readers take each line as one field: blanks around a number are skipped,
// the outer quotes of a text are removed (everything between the first and
// the last quote of the line is the text).
#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace mq {

inline constexpr qint16 kDefaultCommPort = 1;
inline constexpr qint32 kDefaultCommBaud = 9600;

// The "config" folder under the per-user folder, and the files in it.
QString user_config_dir(const QString& userDir);
QString comm_set_path(const QString& userDir);
QString graph_option_path(const QString& userDir);
QString lafp_path(const QString& userDir);

// One line in each form, CR LF included.
QByteArray cfg_print_line(qint64 n);
QByteArray cfg_write_line(const QString& text);
QByteArray cfg_write_line(bool value);

// One field of a line (no CR LF), or nothing when malformed.
std::optional<qint64> cfg_read_number(const QByteArray& line);
std::optional<QString> cfg_read_text(const QByteArray& line);
std::optional<bool> cfg_read_bool(const QByteArray& line);

struct CommSetValues {
    qint16 port = kDefaultCommPort;
    qint32 baud = kDefaultCommBaud;
};

// Reads "COMM_SET.CFG": nothing when the file is missing, short or malformed
// (or a number is out of its type's range). A value read as 0 becomes the
// default (port 1, speed 9600) without counting as an error.
std::optional<CommSetValues> read_comm_set(const QString& userDir);
// Start-up form: reads the file; on any error writes it with the defaults.
// The result is what is in force for this run.
CommSetValues load_comm_set(const QString& userDir);
// Writes port then speed. False (and reported once, see below) when the file
// cannot be written.
bool write_comm_set(const QString& userDir, qint16 port, qint32 baud);

// "GRAPH_OPTION.CFG": one Boolean.
std::optional<bool> read_graph_option(const QString& userDir);
bool write_graph_option(const QString& userDir, bool autoDraw);

// "LAFP.CFG": the three last-used folders.
struct LafpFolders {
    QString open_dir;
    QString save_dir;
    QString dir3;
};
std::optional<LafpFolders> read_lafp(const QString& userDir);
bool write_lafp(const QString& userDir, const LafpFolders& folders);

// Writes the three folders held in home_state() to "LAFP.CFG" of model().user_dir.
// A failure leaves the folders in memory as they are.
void LAFP_save();

// Writes bytes as the whole file. On failure, the first failure of the run
// (home_state().config_write_error_reported) is shown in a message box,
// unless quietIfFolderMissing and the file's folder does not exist yet (the
// first start, before the per-user folder is made).
bool write_config_file(const QString& path, const QByteArray& bytes, bool quietIfFolderMissing = false);

}  // namespace mq
