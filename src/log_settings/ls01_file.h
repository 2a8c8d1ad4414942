#pragma once
// The LOG setting file "LS01" (a setting CSV the user saves and loads) and the
// PC-side defaults file "LOG0.CFG", which share one layout of 24 CR LF lines
// in CP932, every line starting with an empty field:
//    1  "," model "-LS01-010100"        13  "," worker
//  2-11 ",,"                            14  "," comment
//   12  "," interval "hh:mm:ss"         15  ",,,,,,"
//   16  offsets per channel             17  input types
//   18  units (3 characters each; read by position so that blanks stay)
//   19  scale minima  20 scale maxima   21 decimal positions
//   22  low alarms    23 high alarms    24 integration bases
// Channel lines hold CH1 to CH4, each followed by ",".
//
// The two files differ in number forms: an LS01 file holds plain numbers
// ("-200", "0.5", "0"), LOG0.CFG fixed forms ("-200.0", "0000  "), and
// LOG0.CFG's reader ignores line 1.
#include <QByteArray>
#include <QString>

#include <array>

namespace mq {

class clsLOGGER_SETTING;

inline const QString kLs01Tag = QStringLiteral("LS01-010100");

// The largest file the layout holds: 24 lines of at most six fields (the
// channel lines' empty first field, four values and empty last field), each
// field no wider than the widest text the layout carries (a number in plain
// decimal text, the worker or comment, the model name with the tag) with
// room for blanks around it, and CR LF. A larger file is a damaged one.
inline constexpr qint64 kLs01FieldMaxBytes = 32;
inline constexpr qint64 kLs01MaxBytes = 24 * (6 * kLs01FieldMaxBytes + 2);

// What the writers take from the connected logger.
struct LoggerIdentityForFile {
    QString model_name;              // as line 1 holds it (model_name_in_file)
    std::array<float, 4> offsets{};  // per-channel offsets
};

QByteArray ls01_bytes(const clsLOGGER_SETTING& s, const LoggerIdentityForFile& id);
QByteArray log0_cfg_bytes(const clsLOGGER_SETTING& s, const LoggerIdentityForFile& id);
// The file written when LOG0.CFG is missing.
QByteArray log0_cfg_default_bytes();

enum class SettingFileRead {
    Ok,
    WrongTag,  // line 1 does not end in "LS01-010100" (LS01 only)
    Damaged,   // too short, or a field that does not convert
};

// Reads a file into the setting. Nothing is changed unless the result is Ok
// (a damaged file never half-loads). Worker, comment, offsets and the model
// name are not read.
SettingFileRead ls01_read(const QByteArray& bytes, clsLOGGER_SETTING& into);
SettingFileRead log0_cfg_read(const QByteArray& bytes, clsLOGGER_SETTING& into);

// A chosen save name: ".csv" appended unless it ends in ".csv" or ".CSV".
QString ls01_save_name(const QString& chosen);

}  // namespace mq
