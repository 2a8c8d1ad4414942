#include "model/channel_values.h"

namespace mq {

QStringView blanks_trimmed(QStringView text) {
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && text[b] == u' ') ++b;
    while (e > b && text[e - 1] == u' ') --e;
    return text.mid(b, e - b);
}

ValueKind value_kind(QStringView text) {
    const QStringView t = blanks_trimmed(text);
    if (t.isEmpty()) return ValueKind::Blank;
    if (t == kMissingMark || t == kMissingMark.mid(1)) return ValueKind::Missing;
    if (t == kOverRangeMark) return ValueKind::OverMark;
    if (t == kUnderRangeMark) return ValueKind::UnderMark;
    if (t == kLoggerOverRangeText) return ValueKind::OverCode;
    if (t == kLoggerUnderRangeText) return ValueKind::UnderCode;
    return ValueKind::Other;
}

int channel_scale(const QString& inputType, int periodPos) {
    if (inputType != u"V") return 10;
    switch (periodPos) {
        case 1: return 10;
        case 2: return 100;
        case 3: return 1000;
        default: return 1;
    }
}

}  // namespace mq
