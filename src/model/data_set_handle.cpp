#include "model/data_set_handle.h"

#include "model/data_sets.h"
#include "model/model_state.h"

namespace mq {

DataSetHandle DataSetHandle::of_tag(const QString& tag) {
    DataSetHandle h;
    if (!ModelSlot::installed()) return h;
    const ModelState& m = model();
    const QString key = tag.left(3);
    if (key.startsWith(u'F')) {
        if (m.file_main) h.m_file = m.file_main->colFILE_DATA().Find(key);
    } else if (key.startsWith(u'L')) {
        if (m.logger_main) h.m_logger = m.logger_main->colLOGGER_DATA().Find(key);
    }
    return h;
}

DataSetHandle DataSetHandle::current() {
    DataSetHandle h;
    if (!ModelSlot::installed()) return h;
    const ModelState& m = model();
    if (m.act_data_kind == 1) h.m_file = m.act_file_data;
    else h.m_logger = m.act_logger_data;
    return h;
}

QString DataSetHandle::logger_key(int n) { return QStringLiteral("L%1").arg(n, 2, 10, QLatin1Char('0')); }

clsLOGGER_SETTING* DataSetHandle::setting() const {
    if (m_file) return &m_file->clsLOGGER_SETTING();
    return m_logger ? &m_logger->clsLOGGER_SETTING() : nullptr;
}

clsLOGGER_STATUS* DataSetHandle::status() const {
    if (m_file) return &m_file->clsLOGGER_STATUS();
    if (!m_logger || !ModelSlot::installed() || !model().logger_main) return nullptr;
    return &model().logger_main->clsLOGGER_STATUS();
}

clsLOGGER_GraphInfo* DataSetHandle::graph() const {
    if (m_file) return &m_file->clsLOGGER_GraphInfo();
    return m_logger ? &m_logger->clsLOGGER_GraphInfo() : nullptr;
}

clsLOGGER_DATABASE* DataSetHandle::database() const {
    if (m_file) return &m_file->clsLOGGER_DATABASE();
    return m_logger ? &m_logger->clsLOGGER_DATABASE() : nullptr;
}

void DataSetHandle::make_current() const {
    ModelState& m = model();
    if (m_file) {
        m.act_file_data = m_file;
        m.act_data_kind = 1;
    } else if (m_logger) {
        m.act_logger_data = m_logger;
        m.act_data_kind = 2;
    }
}

void DataSetHandle::make_key_current(const QString& key) {
    const bool file = key.startsWith(u'F');
    if (!file && !key.startsWith(u'L')) return;
    const DataSetHandle ds = of_tag(key);
    if (ds) {
        ds.make_current();
        return;
    }
    release_current(file ? CurrentRef::File : CurrentRef::Logger);
    set_current_kind(file ? 1 : 2);
}

void DataSetHandle::release_current(CurrentRef ref) {
    ModelState& m = model();
    if (ref == CurrentRef::File) m.act_file_data.reset();
    else m.act_logger_data.reset();
}

void DataSetHandle::set_current_kind(int kind) { model().act_data_kind = kind; }

}  // namespace mq
