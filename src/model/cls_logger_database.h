#pragma once
// The working database of one data set: an SQLite file "DBF/<key>.db" in the
// per-user folder holding the data set's records for display, statistics,
// graph and export. The owning data set creates it, the data windows fill it,
// and destroying the data set deletes the file.
//
// Loads run inside one transaction that the first insertion opens; every
// query, read, view creation and close commits it first, so callers never
// have to remember to.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QByteArrayView>
#include <QtGlobal>

#include <array>
#include <memory>
#include <vector>

#include "model/channel_values.h"
#include "model/db_workspace.h"

namespace mq {

namespace detail {
struct DbSession;
}

class StatQueryHost;  // model/stat_queries.h

// The current record set of a working database: a table (updatable, rows in
// insertion order) or a saved query (read-only). Handed out as a shared
// pointer; once the database closes or replaces it, every call raises
// DatabaseError instead of touching a closed file.
class DbRecordset {
public:
    DbRecordset(std::shared_ptr<detail::DbSession> session, QString source, bool updatable);

    // Name of the table or saved query it shows.
    const QString& Name() const { return m_source; }
    bool Updatable() const { return m_updatable; }
    bool IsOpen() const { return m_session != nullptr; }

    qint32 RecordCount() const;
    QStringList FieldNames() const;

    // Bulk read in record order: the texts of fields firstField..lastField
    // (0-based, in the record set's field order), column by column, starting at
    // record position firstRow (0-based) for rowCount records (-1: to the end).
    // Integer fields come back as decimal text.
    std::vector<std::vector<QString>> ReadColumns(int firstField, int lastField, qint32 firstRow = 0,
                                                  qint32 rowCount = -1) const;
    // The same without a text object per cell: the UTF-8 bytes of fields
    // firstField..lastField of every record in order, handed to the visitor
    // record by record (valid only during the call; a NULL field is empty).
    class RowVisitor {
    public:
        virtual ~RowVisitor() = default;
        virtual void row(qint32 position, const QByteArrayView* fields, int count) = 0;
    };
    void ReadRowsUtf8(int firstField, int lastField, RowVisitor& visitor) const;
    // The texts of one field by name, all records in order.
    std::vector<QString> ReadColumn(const QString& field) const;
    // One record at a position (0-based), all fields as texts.
    QStringList ReadRow(qint32 position) const;

    // Called by the database when it drops this record set.
    void detach() { m_session.reset(); }

private:
    detail::DbSession& session() const;
    // The quoted names of fields firstField..lastField joined by commas;
    // OutOfRangeError for a range outside the fields.
    QString fieldList(int firstField, int lastField) const;

    std::shared_ptr<detail::DbSession> m_session;
    QString m_source;
    bool m_updatable;
};

// One LOG record in its stored form as UTF-8 bytes: the road of the loaders,
// which build the texts once in reused buffers for the database and the
// records table alike.
struct LogRecordBytes {
    qint32 No = 0;
    QByteArrayView time;               // "yyyy/mm/dd hh:nn:ss"
    QByteArrayView mark;               // the mark between two blanks, "   " for none
    std::array<QByteArrayView, 4> ch;  // CH1..CH4, empty for a channel not in use
};

// A channel text the marking of the minimum or maximum rewrote: record
// number, channel (1-4) and the new text.
struct MarkedCell {
    qint32 No = 0;
    qint16 ch = 0;
    QString text;
};

class clsLOGGER_DATABASE {
public:
    clsLOGGER_DATABASE();
    // Closes the database and deletes the file this object created, retrying a
    // bounded number of times; never throws.
    ~clsLOGGER_DATABASE();
    clsLOGGER_DATABASE(const clsLOGGER_DATABASE&) = delete;
    clsLOGGER_DATABASE& operator=(const clsLOGGER_DATABASE&) = delete;

    void setWorkSpace(std::shared_ptr<DbWorkspace> ws) { m_workspace = std::move(ws); }
    std::shared_ptr<DbWorkspace> WorkSpace() const { return m_workspace; }

    // The current record set, or null when none is open.
    std::shared_ptr<DbRecordset> Recordset() const { return m_recordset; }

    // Sets the file path "<user_dir>/DBF/<first three characters of key>.db",
    // creating DBF and deleting an old file of that name. The one-argument form
    // takes user_dir from the model state.
    void makeDbPath(const QString& key);
    void makeDbPath(const QString& key, const QString& userDir);
    QString dbPath() const { return m_path; }

    // Creates the file afresh with table DATA (kind 2: TAG layout, otherwise
    // LOG layout) and makes DATA the current record set.
    void NewDb(quint8 kind);
    // Commits, closes the record set and the database; the path stays.
    void CloseDb();
    bool IsOpen() const;

    // Record insertion into the current record set (a table).
    void AddRecord_LOG(qint32 No, const QDateTime& t, const QString& mark, const QString& ch1,
                       const QString& ch2, const QString& ch3, const QString& ch4);
    // The same from texts already in stored form (the mark with its blanks);
    // the field sizes are checked alike.
    void AddRecord_LOG(const LogRecordBytes& rec);
    void AddRecord_TAG(qint32 No, const QDateTime& t, const QString& worker, const QString& comment,
                       const QString& ch1, const QString& ch2, const QString& ch3, const QString& ch4);

    // Starts a further LOG table under the name and makes it current.
    void CreateRs_LOG2(const QString& table);
    // Saves "qTABLE" over DATA and DATA01..DATAnn and makes it current (read-only).
    void Create_UnionQuery(qint16 extraTables);
    // Makes an existing saved query (such as "qTABLE") the current record set
    // again, read-only, after the marking queries left a block table current.
    void OpenQuery(const QString& name) { openQueryRecordset(name); }

    // ---- statistics queries and marking (defined in stat_queries.cpp) ----

    // Minimum and maximum of channel ch (1-4) over source, as plain decimal
    // texts; both empty when no value qualifies.
    void Get_ChData_MinMax(qint16 ch, QString& minText, QString& maxText, const QString& source);
    // Rewrites, in table, the channel text of every record equal to maxText as
    // "▲ " + its last six characters; leaves the table as the current record set.
    void CHData_ADD_H_str(qint16 ch, const QString& maxText, const QString& table,
                          StatQueryHost* host = nullptr);
    // The same for the minimum with "▼ ".
    void CHData_ADD_L_str(qint16 ch, const QString& minText, const QString& table,
                          StatQueryHost* host = nullptr);
    // Colours the values of channel ch over source that `limits` flag as
    // lower (upper) alarms (alarm_band) in the host's grid and returns how
    // many there are; range marks, missing values and empty cells are none.
    // Without a host the channel counts as in use, nothing is coloured and no
    // progress is shown. A side that is not set saves no query and counts 0.
    qint32 CHDATA_LALM_ColorAndNum(qint16 ch, const AlarmLimits& limits, const QString& source,
                                   StatQueryHost* host = nullptr);
    qint32 CHDATA_hALM_ColorAndNum(qint16 ch, const AlarmLimits& limits, const QString& source,
                                   StatQueryHost* host = nullptr);

    // The cells the marking has rewritten since the last call, in the order
    // it rewrote them; the list is emptied. A window that shows the records
    // it loaded applies them instead of reading every record back.
    std::vector<MarkedCell> takeMarkedCells();

    // Converts a date-time to the stored "yyyy/mm/dd hh:nn:ss" text.
    static QString db_record_time_text(const QDateTime& t);
    // The same into buf (at least 48 bytes); returns the length.
    static int db_record_time_chars(const QDateTime& t, char* buf);

private:
    void openTableRecordset(const QString& table);
    void openQueryRecordset(const QString& query);
    void dropRecordset();
    void commitPending();
    detail::DbSession& session();
    // Raises DatabaseError unless a record set is open for adding.
    void requireWritable() const;
    // The session with the insert of a LOG (or TAG) record prepared for the
    // record set and a transaction begun.
    detail::DbSession& insertSession(bool tag);
    void markExtreme(qint16 ch, const QString& value, const QString& table, bool isMax,
                     StatQueryHost* host);
    qint32 alarmColour(qint16 ch, const AlarmLimits& limits, const QString& source, bool high,
                       StatQueryHost* host);

    std::shared_ptr<DbWorkspace> m_workspace;
    std::shared_ptr<detail::DbSession> m_session;
    std::shared_ptr<DbRecordset> m_recordset;
    std::vector<MarkedCell> m_marked;
    QString m_path;
    // Identity of the file this object created, so that destruction never
    // deletes a newer file that another data set has since made at the path.
    quint64 m_fileDev = 0;
    quint64 m_fileIno = 0;
    bool m_created = false;
    // A read-only handle on that file, kept while this object may still delete
    // it: while it is open the file's inode cannot be freed and handed to a
    // newer file at the same path, so device and inode stay a sound identity.
    int m_fileFd = -1;
};

}  // namespace mq
