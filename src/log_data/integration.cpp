#include "log_data/integration.h"

#include <cmath>

#include "model/channel_values.h"
#include "model/common_proc.h"
#include "model/data_sets.h"
#include "model/data_window.h"
#include "model/model_state.h"
#include "platform/civil_time.h"
#include "platform/errors.h"
#include "platform/grid.h"
#include "platform/numbers.h"

namespace mq {

namespace {

// The number of a plain decimal text: blanks around, an optional '-' (not
// before a zero value), 1 to 15 digits with at most one point between digits.
// The digits make an exact whole number and 10^k is exact, so the one
// division rounds exactly as the full conversion does. False for any other
// text, which takes the full conversion.
bool plain_decimal(const QString& text, double& out) {
    static constexpr double kTens[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const QStringView t = blanks_trimmed(text);
    const QChar* p = t.data();
    qsizetype i = 0;
    const qsizetype e = t.size();
    const bool negative = i < e && p[i] == QLatin1Char('-');
    if (negative) ++i;
    qint64 m = 0;
    int digits = 0;
    int fraction = -1;
    for (; i < e; ++i) {
        const char16_t c = p[i].unicode();
        if (c >= u'0' && c <= u'9') {
            m = m * 10 + (c - u'0');
            ++digits;
            if (fraction >= 0) ++fraction;
        } else if (c == u'.' && fraction < 0 && digits > 0) {
            fraction = 0;
        } else {
            return false;
        }
    }
    if (digits == 0 || digits > 15 || fraction == 0 || (negative && m == 0)) return false;
    const double v = double(m) / kTens[fraction < 0 ? 0 : fraction];
    out = negative ? -v : v;
    return true;
}

// The settings of the integration steps and their end: the logger data set
// exactly when the kind is 2, else the file data set.
clsLOGGER_SETTING* integration_setting() {
    ModelState& m = model();
    if (m.act_data_kind == 2) return m.act_logger_data ? &m.act_logger_data->clsLOGGER_SETTING() : nullptr;
    return m.act_file_data ? &m.act_file_data->clsLOGGER_SETTING() : nullptr;
}

// The settings the sums are folded in: by kind, nothing for another kind.
clsLOGGER_SETTING* fold_setting() {
    ModelState& m = model();
    if (m.act_data_kind == 1) return m.act_file_data ? &m.act_file_data->clsLOGGER_SETTING() : nullptr;
    if (m.act_data_kind == 2) return m.act_logger_data ? &m.act_logger_data->clsLOGGER_SETTING() : nullptr;
    return nullptr;
}

// A missing value holds nothing for the interval after it; the interval
// before it still takes the previous record's hold.
void missing_step(qint64 secs, int ch) {
    LogDataState& st = log_data_state();
    if (!st.integ_first_flag) {
        const qint64 s = secs - st.integ_prev_secs;
        st.ch_h_integ[ch] += double(st.ch_h_hold[ch]) * double(s);
        st.ch_l_integ[ch] += double(st.ch_l_hold[ch]) * double(s);
    }
    st.ch_h_hold[ch] = 0.0f;
    st.ch_l_hold[ch] = 0.0f;
}

}  // namespace

bool is_missing_value(const QString& text) { return value_kind(text) == ValueKind::Missing; }

bool integrates(const QString& inputType) {
    return inputType == QLatin1String("K") || inputType == QLatin1String("E") || inputType == QLatin1String("J") ||
           inputType == QLatin1String("T");
}

// ---------------------------------------------------------------- integration

void sum_calc_initial() {
    LogDataState& st = log_data_state();
    st.ch_h_integ.fill(0.0);
    st.ch_l_integ.fill(0.0);
    st.ch_h_hold.fill(0.0f);
    st.ch_l_hold.fill(0.0f);
    st.integ_first_flag = true;
}

float integ_value_of(const QString& inputType, const QString& text) {
    const ValueKind kind = value_kind(text);
    const bool over = kind == ValueKind::OverCode;
    const bool under = kind == ValueKind::UnderCode;
    if (over || under) {
        if (inputType == QLatin1String("K")) return over ? 1440.0f : -210.0f;
        if (inputType == QLatin1String("E")) return over ? 740.0f : -210.0f;
        if (inputType == QLatin1String("J") || inputType == QLatin1String("T")) return over ? 420.0f : -210.0f;
        return 0.0f;
    }
    double v = 0.0;
    if (plain_decimal(text, v)) return float(v);
    return float(platform::val(text));
}

void integ_step(float value, float base, qint64 secs, int ch) {
    LogDataState& st = log_data_state();
    if (!st.integ_first_flag) {
        const qint64 s = secs - st.integ_prev_secs;
        st.ch_h_integ[ch] += double(st.ch_h_hold[ch]) * double(s);
        st.ch_l_integ[ch] += double(st.ch_l_hold[ch]) * double(s);
    }
    const float d = value - base;
    if (d > 0.0f) {
        st.ch_h_hold[ch] = d;
        st.ch_l_hold[ch] = 0.0f;
    } else if (d < 0.0f) {
        st.ch_l_hold[ch] = -d;
        st.ch_h_hold[ch] = 0.0f;
    } else {
        st.ch_h_hold[ch] = 0.0f;
        st.ch_l_hold[ch] = 0.0f;
    }
}

void h_sum_l_sum_calc_values(const clsLOGGER_SETTING& s, const QDateTime& t, const std::array<QString, 4>& values) {
    const qint64 secs = platform::civilSeconds(t);
    for (int ch = 0; ch < 4; ++ch) {
        const QString type = s.Ch_input_type(ch);
        if (!integrates(type)) continue;
        QString text = values[ch];
        const ValueKind kind = value_kind(text);
        if (kind == ValueKind::Blank || kind == ValueKind::Missing) {
            missing_step(secs, ch);
            continue;
        }
        // A range mark is integrated as the logger's range code.
        if (kind == ValueKind::OverMark) text = kLoggerOverRangeText.toString();
        else if (kind == ValueKind::UnderMark) text = kLoggerUnderRangeText.toString();
        const float value = integ_value_of(type, text);
        const float base = float(s.Ch_sum_std_count_value(ch));
        integ_step(value, base, secs, ch);
    }
    LogDataState& st = log_data_state();
    st.integ_first_flag = false;
    st.integ_prev_secs = secs;
}

IntegNumbersSetup integ_numbers_setup(const clsLOGGER_SETTING& s) {
    IntegNumbersSetup setup;
    for (int ch = 0; ch < 4; ++ch) {
        const QString type = s.Ch_input_type(ch);
        setup.on[ch] = integrates(type);
        if (!setup.on[ch]) continue;
        setup.base[ch] = float(s.Ch_sum_std_count_value(ch));
        setup.over[ch] = integ_value_of(type, QStringLiteral("3276.7"));
        setup.under[ch] = integ_value_of(type, QStringLiteral("3276.6"));
    }
    return setup;
}

void h_sum_l_sum_calc_numbers(const IntegNumbersSetup& setup, qint64 t, const std::array<IntegValue, 4>& kind,
                              const std::array<float, 4>& value) {
    for (int ch = 0; ch < 4; ++ch) {
        if (!setup.on[ch]) continue;
        switch (kind[ch]) {
        case IntegValue::Missing:
            missing_step(t, ch);
            break;
        case IntegValue::Over:
            integ_step(setup.over[ch], setup.base[ch], t, ch);
            break;
        case IntegValue::Under:
            integ_step(setup.under[ch], setup.base[ch], t, ch);
            break;
        case IntegValue::Number:
            integ_step(value[ch], setup.base[ch], t, ch);
            break;
        }
    }
    LogDataState& st = log_data_state();
    st.integ_first_flag = false;
    st.integ_prev_secs = t;
}

void h_sum_l_sum_calc(qint32 row, const QDateTime& t) {
    const clsLOGGER_SETTING* s = integration_setting();
    IMainWindowServices* mw = model().main_window;
    IDataWindow* w = mw ? mw->activeDataWindow() : nullptr;
    platform::Grid* grid = w ? w->vsFlexGrid1() : nullptr;
    if (!s || !grid) return;
    std::array<QString, 4> values;
    for (int ch = 0; ch < 4; ++ch) {
        // An empty cell is taken as it stands (no value), never waited for.
        values[ch] = integrates(s->Ch_input_type(ch)) ? cell_value_text(grid->TextMatrix(row, 3 + ch)) : QString();
    }
    h_sum_l_sum_calc_values(*s, t, values);
}

void h_sum_l_sum_calc_file(const QDateTime& t, const QString& ch1, const QString& ch2, const QString& ch3,
                           const QString& ch4) {
    ModelState& m = model();
    if (!m.act_file_data) return;
    h_sum_l_sum_calc_values(m.act_file_data->clsLOGGER_SETTING(), t, {ch1, ch2, ch3, ch4});
}

QString integration_text(double unitSeconds) {
    double h = unitSeconds / 3600.0;
    h = std::trunc(h * 10.0 + 0.5) / 10.0;
    return platform::rightAlign(platform::format(h, QStringLiteral("######0.0")), 9);
}

void sum_calc_end(clsLOGGER_SETTING& s) {
    const LogDataState& st = log_data_state();
    for (int ch = 0; ch < 4; ++ch) {
        if (!integrates(s.Ch_input_type(ch))) continue;
        s.let_Ch_h_sum(ch, integration_text(st.ch_h_integ[ch]));
        s.let_Ch_l_sum(ch, integration_text(st.ch_l_integ[ch]));
    }
}

void sum_calc_end() {
    if (clsLOGGER_SETTING* s = integration_setting()) sum_calc_end(*s);
}

// ---------------------------------------------------------------- minimum, maximum, sum

void stat_value_add(clsLOGGER_SETTING& s, bool fileData, const QString& text, int ch) {
    const ValueKind kind = value_kind(text);
    if (kind == ValueKind::Blank || kind == ValueKind::Missing || is_range(kind)) return;
    double v = 0.0;
    try {
        if (!plain_decimal(text, v)) v = platform::toDouble(text);
    } catch (const ConversionError&) {
        return;  // a field that is no number is no measurement
    }
    if (!fileData) {
        const float f = float(v);
        if (f < float(s.Ch_min_value(ch))) s.let_Ch_min(ch, text);
        if (f > float(s.Ch_max_value(ch))) s.let_Ch_max(ch, text);
    }
    s.let_Ch_sum(ch, s.Ch_sum(ch) + v);
}

void stat_record_add(clsLOGGER_SETTING& s, bool fileData, const std::array<QString, 4>& values) {
    for (int ch = 0; ch < 4; ++ch) {
        if (values[ch] == QLatin1String("      ")) continue;
        stat_value_add(s, fileData, values[ch], ch);
    }
}

void stat_record_add(const std::array<QString, 4>& values) {
    ModelState& m = model();
    if (m.act_data_kind == 1) {
        if (m.act_file_data) stat_record_add(m.act_file_data->clsLOGGER_SETTING(), true, values);
        return;
    }
    if (m.act_logger_data) stat_record_add(m.act_logger_data->clsLOGGER_SETTING(), false, values);
}

// ---------------------------------------------------------------- folding

void sum_fold_3000(FoldCounters& fold, qint32 n) {
    LogDataState& st = log_data_state();
    if (n == 1) {
        fold.sum_fold_next = 3000;
        st.ch_sum_bank.fill(0.0);
    }
    if (n != fold.sum_fold_next) return;
    if (clsLOGGER_SETTING* s = fold_setting()) {
        for (int ch = 0; ch < 4; ++ch) {
            st.ch_sum_bank[ch] += s->Ch_sum(ch);
            s->let_Ch_sum(ch, 0.0);
        }
    }
    fold.sum_fold_next += 3000;
}

void integ_fold_3000(FoldCounters& fold, qint32 n) {
    LogDataState& st = log_data_state();
    if (n == 1) {
        fold.integ_fold_next = 3000;
        st.ch_h_integ_bank.fill(0.0);
        st.ch_l_integ_bank.fill(0.0);
    }
    if (n != fold.integ_fold_next) return;
    for (int ch = 0; ch < 4; ++ch) {
        st.ch_h_integ_bank[ch] += st.ch_h_integ[ch];
        st.ch_l_integ_bank[ch] += st.ch_l_integ[ch];
        st.ch_h_integ[ch] = 0.0;
        st.ch_l_integ[ch] = 0.0;
    }
    fold.integ_fold_next += 3000;
}

void sum_fold_final() {
    LogDataState& st = log_data_state();
    for (int ch = 0; ch < 4; ++ch) {
        st.ch_h_integ[ch] += st.ch_h_integ_bank[ch];
        st.ch_l_integ[ch] += st.ch_l_integ_bank[ch];
    }
    if (clsLOGGER_SETTING* s = fold_setting()) {
        for (int ch = 0; ch < 4; ++ch) s->let_Ch_sum(ch, s->Ch_sum(ch) + st.ch_sum_bank[ch]);
    }
}

}  // namespace mq
