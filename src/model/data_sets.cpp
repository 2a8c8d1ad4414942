#include "model/data_sets.h"

namespace mq {

// A logger data set builds its settings first and its working database last;
// it lets them go in the opposite order, so the database (and with it the
// file) goes first.
clsLOGGER_DATA::clsLOGGER_DATA()
    : m_setting(std::make_unique<mq::clsLOGGER_SETTING>()),
      m_graphInfo(std::make_unique<mq::clsLOGGER_GraphInfo>()),
      m_database(std::make_unique<mq::clsLOGGER_DATABASE>()) {}

clsLOGGER_DATA::~clsLOGGER_DATA() {
    m_database.reset();
    m_graphInfo.reset();
    m_setting.reset();
}

void clsLOGGER_DATA::let_ID(const QString& id) {
    if (m_idSet) return;
    m_id = id;
    m_idSet = true;
}

clsFILE_DATA::clsFILE_DATA()
    : m_database(std::make_unique<mq::clsLOGGER_DATABASE>()),
      m_graphInfo(std::make_unique<mq::clsLOGGER_GraphInfo>()),
      m_setting(std::make_unique<mq::clsLOGGER_SETTING>()),
      m_status(std::make_unique<mq::clsLOGGER_STATUS>()) {}

clsFILE_DATA::~clsFILE_DATA() {
    m_status.reset();
    m_setting.reset();
    m_graphInfo.reset();
    m_database.reset();
}

void clsFILE_DATA::let_ID(const QString& id) {
    if (m_idSet) return;
    m_id = id;
    m_idSet = true;
}

clsLOGGER_Main::clsLOGGER_Main()
    : m_status(std::make_unique<mq::clsLOGGER_STATUS>()),
      m_data(std::make_unique<mq::colLOGGER_DATA>()) {}

clsLOGGER_Main::~clsLOGGER_Main() {
    m_status.reset();
    m_data.reset();
}

clsFILE_Main::clsFILE_Main() : m_data(std::make_unique<mq::colFILE_DATA>()) {}

clsFILE_Main::~clsFILE_Main() { m_data.reset(); }

}  // namespace mq
