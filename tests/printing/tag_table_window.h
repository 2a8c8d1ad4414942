#pragma once
// A stand-in for the TAG data window in printing tests and benchmarks.
#include <QStringList>
#include <QWidget>

#include <memory>

#include "model/cls_logger_database.h"
#include "model/data_window.h"
#include "platform/grid.h"

namespace mq::test {

// A TAG table window over a data set's working database: the grid shows the
// TAG records as the TAG data window lays them out (column 1 date and time,
// 2-5 CH1-CH4, 6 worker, 7 comment; record r in row r).
class TagTableWindow : public QWidget, public IDataWindow {
public:
    explicit TagTableWindow(const QString& tag) : m_tag(tag), m_grid(new platform::Grid(this)) {
        m_grid->setRows(1);
        m_grid->setCols(8);
    }
    QString Tag() const override { return m_tag; }
    platform::Grid* vsFlexGrid1() override { return m_grid; }
    void bind_Data1(std::shared_ptr<DbRecordset> rs) override {
        const auto columns = rs->ReadColumns(0, 7);
        const int n = columns.empty() ? 0 : int(columns[0].size());
        m_grid->setRows(n + 1);
        for (int c = 0; c < 8; ++c) {
            QStringList texts;
            for (int r = 0; r < n; ++r) texts << columns[size_t(c)][size_t(r)];
            m_grid->setColumnTexts(c, 1, texts);
        }
    }
    QWidget* widget() override { return this; }

private:
    QString m_tag;
    platform::Grid* m_grid;
};

}  // namespace mq::test
