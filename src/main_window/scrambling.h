#pragma once
// Scrambling of the data files' identity and setting parts, so that they are
// not plain text in the file.
//
// Current format: every byte XOR 0x5D, nothing added (no separator, length or
// line end). Scrambling and unscrambling are the same operation.
// Old format (nothing writes it any more; kept so old texts can be read): every
// byte as two hexadecimal digit characters, low four bits first, each digit's
// code XOR 0x4E; the writer ends the text with CR LF.
//
// All of it works on bytes: a scrambled byte can be CR, LF or a CP932 lead byte,
// so scrambled data is never decoded as text and never split into lines.
#include <QByteArray>

class QIODevice;

namespace mq {

inline constexpr char kScrambleKey = 0x5D;
inline constexpr char kOldScrambleKey = 0x4E;

// How the long-running scramblers report to the progress dialog of the running
// file operation. The dialog implements it; callers without a dialog pass
// nullptr and the procedures run without progress and without cancel.
class IFileProgress {
public:
    virtual ~IFileProgress() = default;
    // The progress bar's value (the caller has set its maximum).
    virtual void set_progress_value(double value) = 0;
    // Services pending window events, so the dialog repaints and Cancel works.
    virtual void process_events() = 0;
    // The cancel request of a file operation; the reader that honours it clears it.
    virtual bool file_cancel_flag() const = 0;
    virtual void set_file_cancel_flag(bool value) = 0;
};

// Appends the scrambled bytes of plain to out (opened for writing by the
// caller). The progress value rises by one every 1001 bytes. A failed write
// raises IoError.
void data_disk_angou_save(const QByteArray& plain, QIODevice& out, IFileProgress* progress = nullptr);

// Unscrambles in one pass, without progress or cancel (short texts such as a
// file's format tag).
QByteArray data_disk_angou_load_1(const QByteArray& scrambled);

// Unscrambles a whole file text. Every 1004 bytes the progress value rises by
// one, events are serviced and the cancel request is tested; a cancel clears
// the request and gives the empty result.
QByteArray data_disk_angou_load_2(const QByteArray& scrambled, IFileProgress* progress = nullptr);

// Old format writer: two digit characters per byte, then CR LF; the progress
// value rises by 0.001 per byte. A failed write raises IoError.
void old_data_disk_angou_save(const QByteArray& plain, QIODevice& out, IFileProgress* progress = nullptr);

// Old format reader, given the digit pairs without the writer's closing CR LF.
// With show true, the progress value rises by 0.001 per pair, events are
// serviced and the cancel request is tested (a cancel clears it and gives the
// empty result). A text of odd length or with a character that is not a
// scrambled hexadecimal digit raises ConversionError.
QByteArray old_data_disk_angou_load(const QByteArray& scrambled, bool show, IFileProgress* progress = nullptr);

}  // namespace mq
