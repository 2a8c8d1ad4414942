#pragma once
// A data set found by its key or its window's tag ("F" and two digits: a file
// data set, "L" and two digits: a logger area or tag), or the current one.
// A handle is empty when the data set is not there: looking one up never
// raises, so callers test it instead of catching MissingKeyError.
//
// The current data set (act_data_kind, act_file_data, act_logger_data in
// model_state.h) is set only here: make_current() makes a data set the
// current one, make_key_current() follows a window's key, and the two
// bookkeeping steps release_current() and set_current_kind() serve the
// procedures that let a data set go or decide the kind alone.
#include <QString>

#include <memory>

namespace mq {

class clsFILE_DATA;
class clsLOGGER_DATA;
class clsLOGGER_DATABASE;
class clsLOGGER_GraphInfo;
class clsLOGGER_SETTING;
class clsLOGGER_STATUS;

// One of the two references the current data set keeps.
enum class CurrentRef { Logger, File };

class DataSetHandle {
public:
    DataSetHandle() = default;

    // The data set of a tag (its first three characters; "F.." or "L..").
    static DataSetHandle of_tag(const QString& tag);
    // The current data set: the file data set for act_data_kind 1, the
    // logger data set for any other kind (as the channel procedures read it).
    static DataSetHandle current();
    // The key of logger area (or tag) n: "L" and two digits.
    static QString logger_key(int n);

    explicit operator bool() const { return m_file || m_logger; }
    bool is_file() const { return bool(m_file); }
    bool is_logger() const { return bool(m_logger); }
    const std::shared_ptr<clsFILE_DATA>& file() const { return m_file; }
    const std::shared_ptr<clsLOGGER_DATA>& logger() const { return m_logger; }

    // Its parts; null for an empty handle. A logger data set's status is the
    // logger root's (null without a logger).
    clsLOGGER_SETTING* setting() const;
    clsLOGGER_STATUS* status() const;
    clsLOGGER_GraphInfo* graph() const;
    clsLOGGER_DATABASE* database() const;

    // Makes it the current data set: kind 1 with act_file_data for a file
    // data set, kind 2 with act_logger_data for a logger data set; the other
    // reference is kept. An empty handle changes nothing.
    void make_current() const;

    // The current data set follows a window's key ("F.." or "L.."): the
    // key's kind becomes current with its data set, or with none of that kind
    // when the data set is gone. Another key changes nothing.
    static void make_key_current(const QString& key);
    // The current data set lets the reference of one kind go (the kind stays).
    static void release_current(CurrentRef ref);
    // The kind of the current data set alone: 0 none, 1 file, 2 logger.
    static void set_current_kind(int kind);

private:
    std::shared_ptr<clsFILE_DATA> m_file;
    std::shared_ptr<clsLOGGER_DATA> m_logger;
};

}  // namespace mq
