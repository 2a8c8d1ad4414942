#pragma once
// Stand-ins for the data windows and the main window, recording what the
// model's common procedures ask of them.
#include <QStringList>
#include <QWidget>
#include <memory>
#include <vector>

#include "model/data_window.h"
#include "platform/grid.h"

namespace mq::test {

class FakeDataWindow : public IDataWindow {
public:
    explicit FakeDataWindow(QString tag, int rows = 0, int cols = 0) : m_tag(std::move(tag)) {
        m_grid.setRows(rows);
        m_grid.setCols(cols);
    }

    QString Tag() const override { return m_tag; }
    platform::Grid* vsFlexGrid1() override { return &m_grid; }
    void bind_Data1(std::shared_ptr<DbRecordset> recordset) override {
        ++bindCount;
        boundRecordset = std::move(recordset);
    }
    QWidget* widget() override { return &m_widget; }

    platform::Grid& grid() { return m_grid; }

    int bindCount = 0;
    std::shared_ptr<DbRecordset> boundRecordset;

private:
    QString m_tag;
    platform::Grid m_grid;
    QWidget m_widget;
};

class FakeMainWindow : public IMainWindowServices {
public:
    IDataWindow* activeDataWindow() override { return active; }
    QWidget* mainWidget() override { return nullptr; }
    void win_active_close() override {
        calls << QStringLiteral("win_active_close");
        if (openWindows > 0) --openWindows;
    }
    int win_all_use_ct() override { return openWindows; }
    bool link_connected_flag() const override { return connected; }
    void let_link_mode(OpMode mode) override { link_mode = mode; }
    void let_link_serial_no(const QString& text) override { link_serial_no = text; }
    void blank_link_identity() override { calls << QStringLiteral("blank_link_identity"); }
    void refresh_command_state() override { calls << QStringLiteral("refresh_command_state"); }
    void yieldToEventLoop() override { ++yields; }

    IDataWindow* active = nullptr;
    int openWindows = 0;
    QString panel1;
    bool connected = false;
    OpMode link_mode = OpMode::Log;
    QString link_serial_no = QStringLiteral("12345678");
    QStringList calls;
    int yields = 0;
};

}  // namespace mq::test
