#pragma once
// Small texts of the LOG records table: the data-mark column, a stored
// two-byte value read back for display, and the tooltip over a channel head.
#include <QString>
#include <QtGlobal>

namespace mq {

class clsLOGGER_SETTING;

// The data-mark text: a mark other than "-" stays as it is; "-" becomes "*"
// when bit 0 of the status flag is set, else the empty text. The record
// loader starts each record at "-" and feeds the result back per channel, so
// the first used channel's mark bit decides.
QString status_mark_text(quint8 flag, const QString& mark);

// A stored value (high byte, low byte, two's complement) as display text:
// 32767 "  O.R.", 32766 "  U.R."; otherwise value / divisor with one, two or
// three decimals for divisors 10, 100, 1000, the plain number for any other.
QString period_pos_format(quint8 high, quint8 low, qint16 divisor);

// The tooltip over the head of channel ch (0..3) from the settings given:
// input type and the high alarm, low alarm and integration-base values, each
// in the channel's value format right-aligned in 6 (a longer text keeps its
// last 6 characters).
QString channel_head_tooltip(const clsLOGGER_SETTING& s, int ch);

// The same for the current data set (empty when there is none).
QString channel_head_tooltip(int ch);

}  // namespace mq
