#pragma once
// The TAG-setting record: one tag's setting as the logger sends it (a
// fixed-column text record). Positions are 1-based character positions of
// the reply as the link returns it (STX at position 1, one character per
// received byte):
//   5 tag number (2, not used), 8 tag name (8),
//   channel blocks of 32 at 27, 59, 101 and 133 (CH3 lies ten characters
//   further on than the stride gives: 91..100 are spare).
// Channel block offsets: 0 input type, 2 unit (3), 6 scale minimum (5),
//   12 scale maximum (5), 18 decimal position, 20 low alarm (5, tenths),
//   26 high alarm (5, tenths).
#include <QString>

namespace mq {

class clsLOGGER_SETTING;

// The last record position the parse reads.
inline constexpr int kTagSettingRecordMinLength = 164;

// Parses one TAG-setting record into the setting of its tag. A record
// shorter than kTagSettingRecordMinLength, or a scale or decimal-position
// field that is not a number, raises ConversionError before anything is
// stored; a scale beyond 16 bits, or an alarm beyond 32 bits once scaled,
// raises OverflowError, the setting unchanged.
void tag_para_data_save(clsLOGGER_SETTING& s, const QString& record);

}  // namespace mq
