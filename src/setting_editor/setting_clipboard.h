#pragma once
// The copy-and-paste buffer of the settings editors. It holds what the
// editor's controls showed (list indexes and field texts), not a setting: a
// paste writes the controls back and the setting changes when the editor
// next stores its form. The TAG settings editor uses the channel fields
// (type, scales, decimal position, unit, alarms) and `valid`; the interval and
// the integration bases are the LOG editor's only.
//
// Each editor owns one and clears `valid` when it opens, so a copy can be
// pasted only while the editor that made it stays open.
#include <QString>
#include <QtGlobal>

#include <array>

namespace mq {

struct SettingClipboard {
    static constexpr int kChannels = 4;

    // Interval hours, minutes, seconds as shown, 2 characters each.
    QString hh, mm, ss;
    std::array<qint16, kChannels> a{};  // input-type list index
    std::array<QString, kChannels> scale_min, scale_max;  // 6 characters
    std::array<qint16, kChannels> b{};  // decimal-point list index
    std::array<QString, kChannels> unit;  // 3 characters
    std::array<QString, kChannels> high_alarm, low_alarm, sum_std;  // 6 characters
    bool valid = false;

    // A text as the buffer keeps it: left-aligned, filled with blanks and cut
    // to its width.
    static QString fit(const QString& text, int width) { return text.leftJustified(width, u' ', true); }
};

}  // namespace mq
