#pragma once
// The four channel settings of one TAG-mode setting as a text file of 18
// lines marked "TS01-010100": the TAG setting file the user saves from and
// opens into the TAG settings editor, and "TAG0.CFG", the PC-side default
// TAG setting in the per-user config folder. Both share the layout; they
// differ in how line 11 (offsets), lines 14-15 (scales) and 17-18 (alarms)
// are written. CP932, CR LF.
#include <QByteArray>
#include <QString>

#include "platform/safe_file.h"

namespace mq {

class clsLOGGER_SETTING;
class clsLOGGER_STATUS;

// The largest file the layout holds: 18 lines of at most seven fields (the
// channel lines' empty first field, four values and two empty fields), each
// field no wider than the widest text the layout carries (a number in plain
// decimal text, the model name with the tag) with room for blanks around it,
// and CR LF. A larger file is a damaged one.
inline constexpr qint64 kTagSettingFieldMaxBytes = 32;
inline constexpr qint64 kTagSettingFileMaxBytes = 18 * (7 * kTagSettingFieldMaxBytes + 2);

enum class TagFileLayout {
    SettingFile,  // plain decimal texts
    Defaults,     // fixed-width texts of TAG0.CFG
};

// The 18 lines. status gives the model name of line 1 and the offsets of
// line 11 (the connected logger's); with none, the default model name and
// zero offsets.
QByteArray tag_setting_file_bytes(const clsLOGGER_SETTING& s, const clsLOGGER_STATUS* status,
                                  TagFileLayout layout);

// TAG0.CFG as it is made when there is none.
QByteArray tag0_cfg_default_bytes();

// Whether line 1 carries the format tag: the last 11 characters of its
// second field are "TS01-010100" (the model name in front may be any).
bool tag_setting_file_has_tag(const QByteArray& bytes);

// Reads the channel lines (12-18) into s. All or nothing: a missing line or
// field, or a field that does not convert or does not fit once scaled, leaves
// s as it was and gives the message for the user (naming path).
FileResult tag_setting_channels_read(const QByteArray& bytes, const QString& path, clsLOGGER_SETTING& s);

// The TAG setting file: refused with the format message when line 1 lacks
// the tag; s unchanged on any failure.
FileResult tag_setting_file_load(const QString& path, clsLOGGER_SETTING& s);
FileResult tag_setting_file_save(const QString& path, const clsLOGGER_SETTING& s, const clsLOGGER_STATUS* status);

// TAG0.CFG in the per-user config folder. A missing file is made with the
// default lines and read; a file that exists but cannot be read is reported
// and left on disk, s unchanged.
QString tag0_cfg_path();
FileResult tag0_cfg_load(clsLOGGER_SETTING& s);
FileResult tag0_cfg_save(const clsLOGGER_SETTING& s, const clsLOGGER_STATUS* status);

}  // namespace mq
