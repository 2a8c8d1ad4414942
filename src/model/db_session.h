#pragma once
// Internal to the working database: the open connection shared by the
// database object and the record sets it hands out.
#include <QString>
#include <QByteArrayView>
#include <QStringView>

#include <string>
#include <utility>
#include <vector>

#include "platform/sqlite_db.h"

namespace mq::detail {

// The measured values of the four channels of one source (table or saved
// query), read in one pass: the statistics queries of a fill all run over the
// same source, so the minimum, maximum and alarm queries of every channel are
// answered from it instead of each scanning the records again. Any change of
// the stored records drops it.
// Where each value is stored (table index into ValueCache::tables and row
// id) is known when the source is a table or a union of tables: the marking
// of a value then rewrites the rows that hold it instead of scanning a table.
struct ChannelValues {
    std::vector<qint32> no;
    std::vector<double> value;
    std::vector<qint64> rowid;
    std::vector<quint16> table;
};

struct ValueCache {
    bool valid = false;
    QString source;
    ChannelValues ch[4];
    // The tables the values were read from, in order; empty when unknown.
    std::vector<QString> tables;
    void clear() {
        valid = false;
        source.clear();
        tables.clear();
        for (auto& c : ch) c = ChannelValues{};
    }
};

struct DbSession {
    platform::SqliteDb db;
    // Insert statement of the table records go into, prepared once per table.
    QString insertTable;
    bool insertIsTag = false;
    platform::SqliteStatement insert;
    // Reused UTF-8 buffers of the fields of one record: a load of several
    // hundred thousand records then allocates nothing per record.
    std::string field[8];

    // Binds a text through field buffer i.
    void bindField(int i, QStringView text) {
        std::string& out = field[i];
        out.clear();
        const char16_t* p = text.utf16();
        const qsizetype n = text.size();
        qsizetype k = 0;
        for (; k < n && p[k] < 0x80; ++k) out.push_back(char(p[k]));
        if (k < n) out += text.mid(k).toUtf8().toStdString();
        insert.bindUtf8(i + 1, out.data(), int(out.size()), false);
    }

    ValueCache values;
    // The same values gathered as the records go in, table after table, so
    // that the first statistics query over everything stored need not read
    // it back. Given up (valid false) by anything it cannot follow; handed
    // over to `values` by that first query.
    ValueCache loaded;
    // Saved queries that join whole tables (the union over the block tables
    // of a split load), with their tables in order.
    std::vector<std::pair<QString, std::vector<QString>>> unions;

    // A load runs as one transaction; anything that reads or changes the
    // schema commits it first.
    void commitPending() {
        if (db.inTransaction()) db.commit();
    }
    void beginIfNeeded() {
        if (!db.inTransaction()) db.begin();
    }
    // Reads of whole tables go through a memory map, once the first one
    // comes: a load, which appends and hardly reads, keeps the file out of
    // the program's memory.
    void mapForReads() {
        if (readsMapped) return;
        db.exec(QStringLiteral("PRAGMA mmap_size = 1073741824"));
        readsMapped = true;
    }
    bool readsMapped = false;
};

// Notes a record just inserted into table (row id rowid) in session.loaded.
void noteLoadedRecord(DbSession& s, const QString& table, qint64 rowid, qint32 no, const QByteArrayView* ch);

// Registers the number-reading functions the saved queries use ("Val", "Right$", "RightVal", "CDbl").
void registerQueryFunctions(platform::SqliteDb& db);

}  // namespace mq::detail
