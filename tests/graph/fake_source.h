#pragma once
// A data window's records as the graph reads them, held in the test.
#include <QDateTime>

#include <array>
#include <functional>
#include <vector>

#include "model/graph_source.h"

namespace mq::test {

class FakeSource : public IGraphSource {
public:
    std::vector<std::array<qint32, 4>> values;  // per record, scaled; kRangeMark, kNoValue
    std::vector<bool> marks;
    std::array<QString, 4> units;
    std::array<int, 4> decimals{1, 1, 1, 1};
    QDateTime start{QDate(2024, 6, 1), QTime(8, 0, 0), Qt::UTC};
    qint64 step = 60;
    std::function<void()> onIntegrate;
    QString tag = QStringLiteral("L01");  // the data set the records belong to
    int integrations = 0;

    qint32 record_count() const override { return qint32(values.size()); }
    QString channel_unit(int ch) const override { return units[size_t(ch)]; }
    int value_decimals(int ch) const override { return decimals[size_t(ch)]; }
    qint32 value(qint32 r, int ch) const override { return values[size_t(r - 1)][size_t(ch)]; }
    qint64 record_secs(qint32 r) const override { return start.toSecsSinceEpoch() + (r - 1) * step; }
    bool marked(qint32 r) const override { return size_t(r - 1) < marks.size() && marks[size_t(r - 1)]; }
    QString interval_text() const override {
        return QStringLiteral("%1:%2:%3")
            .arg(step / 3600, 2, 10, QLatin1Char('0'))
            .arg(step / 60 % 60, 2, 10, QLatin1Char('0'))
            .arg(step % 60, 2, 10, QLatin1Char('0'));
    }
    QDateTime start_time() const override { return start; }
    QDateTime stop_time() const override { return start.addSecs((record_count() - 1) * step); }
    void integrate_range(qint32, qint32) override {
        ++integrations;
        if (onIntegrate) onIntegrate();
    }
    bool shows_upper_integration() const override { return true; }
    DataSetHandle data_set() const override { return DataSetHandle::of_tag(tag); }
};

}  // namespace mq::test
