#pragma once
// The older LOG data file ".ML1" (format tag "LD01-010100"), read only.
//
// Line 1 is a scrambled header line whose last 11 characters are the format
// tag; behind its CR LF comes the scrambled body: a 266-byte header block,
// 42 bytes per record and a 144-byte trailer. The body is taken by byte count
// from its header (266 + 42 × records + 144), never as a line: 'P' and 'W'
// scramble to CR and LF. See docs/file-formats.md.
#include <QByteArray>
#include <QString>

#include "log_data/ml2_format.h"
#include "platform/safe_file.h"

namespace mq {

class clsLOGGER_SETTING;
class clsLOGGER_STATUS;
class clsLOGGER_GraphInfo;

inline constexpr int kMl1HeaderSize = 266;
inline constexpr int kMl1RecordSize = 42;
inline constexpr int kMl1TrailerSize = 144;

// The unscrambled format tag of line 1 (its last 11 characters); empty when
// the file has no CR LF. Line 1 ends at the scrambled tag "LD01-010100"
// followed by CR LF when the file has one, else at its first CR LF.
QByteArray ml1_format_tag(const QByteArray& file);

// From the whole file: the scrambled body, cut to the length its header
// gives. A file without a second line, or a body shorter than its header,
// records and trailer need, is refused with a message.
FileResult ml1_body_of_file(const QByteArray& file, QByteArray& scrambledBody);

// Reads the file at path and returns its scrambled body as above.
FileResult ml1_read_body(const QString& path, QByteArray& scrambledBody);

// Cuts the unscrambled body's header block into the file data set's status
// and setting (status mode_type is left to the caller). A field that does not
// convert refuses the file.
FileResult ml1_header_read(const QByteArray& plainBody, clsLOGGER_SETTING& setting, clsLOGGER_STATUS& status);

// The trailer's statistics (minimum, maximum, average, L and H integration)
// into the setting. The setting's record count must already be read.
FileResult ml1_trailer_read(const QByteArray& plainBody, clsLOGGER_SETTING& setting);

// Graph options of an ".ML1" file (which stores none).
void ml1_graph_defaults(const clsLOGGER_SETTING& setting, clsLOGGER_GraphInfo& graph);

// Hands every record to sink in order: No from 1, the record's own time, mark
// "*" for flag "1", stored channel texts and the 6-character fields as value
// texts. A record time that does not convert stops with a message (the
// records before it were handed over). cancelled is set when sink returns false.
FileResult ml1_for_each_record(const QByteArray& plainBody, const clsLOGGER_SETTING& setting,
                               const LogRecordSink& sink, bool& cancelled);

}  // namespace mq
