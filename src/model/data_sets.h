#pragma once
// The two object trees: the connected logger's data (clsLOGGER_Main) and the
// data read from files (clsFILE_Main), each with a keyed collection of data
// sets. Ownership is by reference counting (std::shared_ptr): a data set lives
// while its collection or any caller still holds it, and ending it releases its
// working database, which deletes the database file.
//
// Keyed collections raise DuplicateKeyError on Add with a key already present
// and MissingKeyError on Item/Remove with a key not present or a position
// outside 1..Count(); callers that probe catch MissingKeyError.
#include <QString>
#include <memory>
#include <vector>

#include "model/cls_logger_database.h"
#include "model/cls_logger_graphinfo.h"
#include "model/cls_logger_setting.h"
#include "model/cls_logger_status.h"
#include "platform/errors.h"

namespace mq {

namespace detail {

// An ordered keyed list with 1-based positional access. The lists hold at most
// a few dozen entries, so a linear search is the simplest sound choice.
template <class T>
class KeyedList {
public:
    using iterator = typename std::vector<std::shared_ptr<T>>::const_iterator;

    // Creates a new T, stores it under key (at the end) and sets its ID.
    void Add(const QString& key) {
        auto item = std::make_shared<T>();
        if (find(key) >= 0) {
            throw DuplicateKeyError("key already present: " + key.toStdString());
        }
        m_keys.push_back(key);
        m_items.push_back(item);
        item->let_ID(key);
    }

    std::shared_ptr<T> Item(const QString& key) const { return m_items[indexOfKey(key)]; }
    std::shared_ptr<T> Item(int position1) const { return m_items[indexOfPosition(position1)]; }
    std::shared_ptr<T> Item(const char* key) const { return Item(QString::fromUtf8(key)); }
    // The entry of key, or null when there is none (no error).
    std::shared_ptr<T> Find(const QString& key) const {
        const int i = find(key);
        return i < 0 ? nullptr : m_items[static_cast<size_t>(i)];
    }

    int Count() const { return static_cast<int>(m_items.size()); }

    void Remove(const QString& key) { erase(indexOfKey(key)); }
    void Remove(int position1) { erase(indexOfPosition(position1)); }
    void Remove(const char* key) { Remove(QString::fromUtf8(key)); }

    // Enumeration over the data sets in insertion order.
    iterator begin() const { return m_items.cbegin(); }
    iterator end() const { return m_items.cend(); }

    // Drops every entry, last first.
    void clear() {
        while (!m_items.empty()) erase(m_items.size() - 1);
    }

private:
    int find(const QString& key) const {
        for (size_t i = 0; i < m_keys.size(); ++i) {
            if (m_keys[i] == key) return static_cast<int>(i);
        }
        return -1;
    }
    size_t indexOfKey(const QString& key) const {
        const int i = find(key);
        if (i < 0) throw MissingKeyError("key not present: " + key.toStdString());
        return static_cast<size_t>(i);
    }
    size_t indexOfPosition(int position1) const {
        if (position1 < 1 || position1 > Count()) {
            throw MissingKeyError("position outside the collection: " + std::to_string(position1));
        }
        return static_cast<size_t>(position1 - 1);
    }
    void erase(size_t i) {
        // Take the item out before it may end, so that its destructor runs on
        // a collection that is already consistent.
        std::shared_ptr<T> gone = std::move(m_items[i]);
        m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(i));
        m_keys.erase(m_keys.begin() + static_cast<std::ptrdiff_t>(i));
        gone.reset();
    }

    std::vector<QString> m_keys;
    std::vector<std::shared_ptr<T>> m_items;
};

}  // namespace detail

// One data set of the connected logger (an area or tag "L01".."L20", or the
// PC-side defaults "L00"). Its status is the logger root's.
class clsLOGGER_DATA {
public:
    clsLOGGER_DATA();
    ~clsLOGGER_DATA();
    clsLOGGER_DATA(const clsLOGGER_DATA&) = delete;
    clsLOGGER_DATA& operator=(const clsLOGGER_DATA&) = delete;

    // Write-once: the first assignment sticks, later ones are ignored.
    void let_ID(const QString& id);
    QString ID() const { return m_id; }

    mq::clsLOGGER_DATABASE& clsLOGGER_DATABASE() { return *m_database; }
    mq::clsLOGGER_GraphInfo& clsLOGGER_GraphInfo() { return *m_graphInfo; }
    mq::clsLOGGER_SETTING& clsLOGGER_SETTING() { return *m_setting; }
    const mq::clsLOGGER_DATABASE& clsLOGGER_DATABASE() const { return *m_database; }
    const mq::clsLOGGER_GraphInfo& clsLOGGER_GraphInfo() const { return *m_graphInfo; }
    const mq::clsLOGGER_SETTING& clsLOGGER_SETTING() const { return *m_setting; }

private:
    std::unique_ptr<mq::clsLOGGER_SETTING> m_setting;
    std::unique_ptr<mq::clsLOGGER_GraphInfo> m_graphInfo;
    std::unique_ptr<mq::clsLOGGER_DATABASE> m_database;
    QString m_id;
    bool m_idSet = false;
};

// One data set read from a file ("F" and two digits), with its own status.
class clsFILE_DATA {
public:
    clsFILE_DATA();
    ~clsFILE_DATA();
    clsFILE_DATA(const clsFILE_DATA&) = delete;
    clsFILE_DATA& operator=(const clsFILE_DATA&) = delete;

    void let_ID(const QString& id);
    QString ID() const { return m_id; }

    mq::clsLOGGER_STATUS& clsLOGGER_STATUS() { return *m_status; }
    mq::clsLOGGER_SETTING& clsLOGGER_SETTING() { return *m_setting; }
    mq::clsLOGGER_GraphInfo& clsLOGGER_GraphInfo() { return *m_graphInfo; }
    mq::clsLOGGER_DATABASE& clsLOGGER_DATABASE() { return *m_database; }
    const mq::clsLOGGER_STATUS& clsLOGGER_STATUS() const { return *m_status; }
    const mq::clsLOGGER_SETTING& clsLOGGER_SETTING() const { return *m_setting; }
    const mq::clsLOGGER_GraphInfo& clsLOGGER_GraphInfo() const { return *m_graphInfo; }
    const mq::clsLOGGER_DATABASE& clsLOGGER_DATABASE() const { return *m_database; }

private:
    std::unique_ptr<mq::clsLOGGER_DATABASE> m_database;
    std::unique_ptr<mq::clsLOGGER_GraphInfo> m_graphInfo;
    std::unique_ptr<mq::clsLOGGER_SETTING> m_setting;
    std::unique_ptr<mq::clsLOGGER_STATUS> m_status;
    QString m_id;
    bool m_idSet = false;
};

class colLOGGER_DATA : public detail::KeyedList<clsLOGGER_DATA> {
public:
    ~colLOGGER_DATA() { clear(); }
};

class colFILE_DATA : public detail::KeyedList<clsFILE_DATA> {
public:
    ~colFILE_DATA() { clear(); }
};

// Root of the connected logger's data.
class clsLOGGER_Main {
public:
    clsLOGGER_Main();
    ~clsLOGGER_Main();
    clsLOGGER_Main(const clsLOGGER_Main&) = delete;
    clsLOGGER_Main& operator=(const clsLOGGER_Main&) = delete;

    mq::clsLOGGER_STATUS& clsLOGGER_STATUS() { return *m_status; }
    mq::colLOGGER_DATA& colLOGGER_DATA() { return *m_data; }
    const mq::clsLOGGER_STATUS& clsLOGGER_STATUS() const { return *m_status; }
    const mq::colLOGGER_DATA& colLOGGER_DATA() const { return *m_data; }

private:
    std::unique_ptr<mq::clsLOGGER_STATUS> m_status;
    std::unique_ptr<mq::colLOGGER_DATA> m_data;
};

// Root of the data read from files.
class clsFILE_Main {
public:
    clsFILE_Main();
    ~clsFILE_Main();
    clsFILE_Main(const clsFILE_Main&) = delete;
    clsFILE_Main& operator=(const clsFILE_Main&) = delete;

    mq::colFILE_DATA& colFILE_DATA() { return *m_data; }
    const mq::colFILE_DATA& colFILE_DATA() const { return *m_data; }

private:
    std::unique_ptr<mq::colFILE_DATA> m_data;
};

}  // namespace mq
