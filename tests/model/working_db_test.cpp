#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <map>
#include <memory>

#include "common/test_env.h"
#include "model/cls_logger_database.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "platform/sqlite_db.h"

using mq::clsLOGGER_DATABASE;
using mq::DbWorkspace;
using mq::platform::SqliteDb;
using mq::platform::SqliteStatement;

namespace {

QDateTime at(int secondsFromStart) {
    return QDateTime(QDate(2024, 2, 29), QTime(23, 59, 50), Qt::UTC).addSecs(secondsFromStart);
}

QString chText(double v) {  // four blanks + number right-aligned in six, as the data windows store it
    return QStringLiteral("    ") + QString::number(v, 'f', 1).rightJustified(6, QLatin1Char(' '));
}

// Opens the database file with a separate connection, as another reader would.
qint64 countOnDisk(const QString& path, const QString& table) {
    SqliteDb db;
    db.open(path, false);
    SqliteStatement st = db.prepare(QStringLiteral("SELECT count(*) FROM ") + SqliteDb::quoteIdentifier(table));
    st.step();
    return st.columnInt64(0);
}

QString viewSql(const QString& path, const QString& name) {
    SqliteDb db;
    db.open(path, false);
    SqliteStatement st = db.prepare(QStringLiteral("SELECT sql FROM sqlite_master WHERE name = ?1"));
    st.bind(1, name);
    return st.step() ? st.columnText(0) : QString();
}

class WorkingDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        mq::test::ensureApplication();
        m_userDir = mq::test::dataHome() + QStringLiteral("/KORVA/Marrowquill4");
        m_slot->user_dir = m_userDir;
        m_slot->dao_workspace = std::make_shared<DbWorkspace>();
    }
    void TearDown() override { QDir(m_userDir + QStringLiteral("/DBF")).removeRecursively(); }

    std::unique_ptr<clsLOGGER_DATABASE> newDb(const QString& key, quint8 kind = 1) {
        auto db = std::make_unique<clsLOGGER_DATABASE>();
        db->setWorkSpace(m_slot->dao_workspace);
        db->makeDbPath(key);
        db->NewDb(kind);
        return db;
    }

    // Stores records 1..n the way the data-file loader does: a further table
    // from every multiple of 15,000, then the union over all of them.
    static void loadSplit(clsLOGGER_DATABASE& db, int n) {
        for (int r = 1; r <= n; ++r) {
            if (r % 15000 == 0)
                db.CreateRs_LOG2(QStringLiteral("DATA") + QString::number(r / 15000).rightJustified(2, QLatin1Char('0')));
            db.AddRecord_LOG(r, at(r), r % 7 == 0 ? QStringLiteral("*") : QString(), chText(r % 1000 / 10.0),
                             chText(-r % 500 / 10.0), QStringLiteral("     O.R."), QString());
        }
        db.Create_UnionQuery(qint16(n / 15000));
    }

    QString m_userDir;
    mq::ModelSlot m_slot;
};

TEST_F(WorkingDbTest, PathIsDbfFolderPlusFirstThreeCharactersOfTheKey) {
    clsLOGGER_DATABASE db;
    EXPECT_TRUE(db.dbPath().isEmpty());
    db.makeDbPath(QStringLiteral("F03ﾃﾞｰﾀ.ML2"));
    EXPECT_EQ(db.dbPath(), m_userDir + QStringLiteral("/DBF/F03.db"));
    EXPECT_TRUE(QFileInfo(m_userDir + QStringLiteral("/DBF")).isDir());

    // One separator before DBF whether or not the folder ends with one.
    db.makeDbPath(QStringLiteral("L07"), m_userDir + QLatin1Char('/'));
    EXPECT_EQ(db.dbPath(), m_userDir + QStringLiteral("/DBF/L07.db"));
    db.makeDbPath(QStringLiteral("L"), m_userDir);
    EXPECT_EQ(db.dbPath(), m_userDir + QStringLiteral("/DBF/L.db"));
}

TEST_F(WorkingDbTest, AnOldFileOfTheSameNameIsReplacedByAnEmptyDatabase) {
    QDir().mkpath(m_userDir + QStringLiteral("/DBF"));
    const QString path = m_userDir + QStringLiteral("/DBF/L01.db");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("left behind by an earlier run");
    }
    QFile(path + QStringLiteral("-journal")).open(QIODevice::WriteOnly);
    clsLOGGER_DATABASE db;
    db.setWorkSpace(m_slot->dao_workspace);
    db.makeDbPath(QStringLiteral("L01"));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(QFile::exists(path + QStringLiteral("-journal")));
    db.NewDb(1);
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(db.Recordset()->Name(), QStringLiteral("DATA"));
    EXPECT_EQ(db.Recordset()->RecordCount(), 0);
}

TEST_F(WorkingDbTest, NewDbNeedsPathAndWorkspace) {
    clsLOGGER_DATABASE noPath;
    noPath.setWorkSpace(m_slot->dao_workspace);
    EXPECT_THROW(noPath.NewDb(1), mq::DatabaseError);
    clsLOGGER_DATABASE noWs;
    noWs.makeDbPath(QStringLiteral("L02"));
    EXPECT_THROW(noWs.NewDb(1), mq::DatabaseError);
    EXPECT_FALSE(QFile::exists(noWs.dbPath()));
    EXPECT_THROW(noWs.AddRecord_LOG(1, at(0), QString(), {}, {}, {}, {}), mq::DatabaseError);
}

TEST_F(WorkingDbTest, TableLayoutsFollowTheKind) {
    auto log = newDb(QStringLiteral("L01"), 1);
    EXPECT_EQ(log->Recordset()->FieldNames(),
              (QStringList{"ﾏｰｸ", "No", "収録日時", "CH1", "CH2", "CH3", "CH4"}));
    auto mem = newDb(QStringLiteral("L02"), 3);
    EXPECT_EQ(mem->Recordset()->FieldNames().first(), QStringLiteral("ﾏｰｸ"));
    auto tag = newDb(QStringLiteral("L03"), 2);
    EXPECT_EQ(tag->Recordset()->FieldNames(),
              (QStringList{"No", "収録日時", "CH1", "CH2", "CH3", "CH4", "作業者名", "ｺﾒﾝﾄ"}));
    EXPECT_TRUE(tag->Recordset()->Updatable());
}

TEST_F(WorkingDbTest, LogRecordsAreStoredAsTheWindowsReadThem) {
    auto db = newDb(QStringLiteral("L04"));
    db->AddRecord_LOG(1, at(0), QStringLiteral("*"), chText(12.5), QStringLiteral("     O.R."), QString(),
                      QStringLiteral(""));
    db->AddRecord_LOG(2, at(10), QString(), chText(-3.0), QStringLiteral("     U.R."), QString(), QString());
    auto rs = db->Recordset();
    ASSERT_EQ(rs->RecordCount(), 2);
    EXPECT_EQ(rs->ReadRow(0), (QStringList{" * ", "1", "2024/02/29 23:59:50", "      12.5", "     O.R.", "", ""}));
    EXPECT_EQ(rs->ReadRow(1), (QStringList{"   ", "2", "2024/03/01 00:00:00", "      -3.0", "     U.R.", "", ""}));
    EXPECT_THROW(rs->ReadRow(2), mq::OutOfRangeError);

    // Unused channels are zero-length texts, never NULL.
    db->CloseDb();
    SqliteDb raw;
    raw.open(db->dbPath(), false);
    SqliteStatement st = raw.prepare(QStringLiteral("SELECT count(*) FROM DATA WHERE CH3 IS NULL OR CH4 IS NULL"));
    st.step();
    EXPECT_EQ(st.columnInt64(0), 0);
}

TEST_F(WorkingDbTest, ValuesThatDoNotFitTheirFieldAreRefused) {
    auto db = newDb(QStringLiteral("L05"));
    EXPECT_THROW(db->AddRecord_LOG(1, at(0), QString(), QStringLiteral("12345678901"), {}, {}, {}), mq::DatabaseError);
    EXPECT_THROW(db->AddRecord_LOG(1, at(0), QStringLiteral("**"), chText(1), {}, {}, {}), mq::DatabaseError);
    EXPECT_THROW(db->AddRecord_LOG(1, QDateTime(), QString(), chText(1), {}, {}, {}), mq::ConversionError);
    EXPECT_EQ(db->Recordset()->RecordCount(), 0);
    db->AddRecord_LOG(1, at(0), QString(), QStringLiteral("1234567890"), {}, {}, {});
    EXPECT_EQ(db->Recordset()->RecordCount(), 1);

    auto tag = newDb(QStringLiteral("L06"), 2);
    EXPECT_THROW(tag->AddRecord_TAG(1, at(0), QStringLiteral("123456789"), QString(), {}, {}, {}, {}),
                 mq::DatabaseError);
    EXPECT_THROW(tag->AddRecord_LOG(1, at(0), QString(), {}, {}, {}, {}), mq::DatabaseError);  // no mark field
}

// The loaders' byte road stores exactly what the text road stores and
// refuses the same texts, counting characters, not bytes.
TEST_F(WorkingDbTest, RecordsGivenAsBytesAreStoredAndCheckedAsTexts) {
    auto byText = newDb(QStringLiteral("L10"));
    auto byBytes = newDb(QStringLiteral("L11"));
    struct Row {
        qint32 no;
        const char* mark;  // as the data sets hold it
        std::array<const char*, 4> ch;
    };
    const Row rows[] = {{1, "*", {"      12.5", "     O.R.", "", ""}},
                        {2, "", {"▲  500.0", "    ------", "     -3.0", "▼ 3276.6"}},
                        {-7, "", {"", "", "", "      0.05"}}};
    for (const Row& r : rows) {
        std::array<QString, 4> texts;
        std::array<QByteArray, 4> utf8;
        mq::LogRecordBytes rec;
        for (size_t c = 0; c < 4; ++c) {
            texts[c] = QString::fromUtf8(r.ch[c]);
            utf8[c] = texts[c].toUtf8();
            rec.ch[c] = utf8[c];
        }
        byText->AddRecord_LOG(r.no, at(r.no), QString::fromUtf8(r.mark), texts[0], texts[1], texts[2], texts[3]);
        const QByteArray time = clsLOGGER_DATABASE::db_record_time_text(at(r.no)).toLatin1();
        const QByteArray mark = *r.mark ? QByteArray(" ") + r.mark + " " : QByteArray("   ");
        rec.No = r.no;
        rec.time = time;
        rec.mark = mark;
        byBytes->AddRecord_LOG(rec);
    }
    ASSERT_EQ(byBytes->Recordset()->RecordCount(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(byBytes->Recordset()->ReadRow(i), byText->Recordset()->ReadRow(i)) << i;

    struct Refused {
        const char* what;
        QByteArray mark, time, ch1;
    };
    const Refused refused[] = {{"mark", " ** ", "2024/02/29 23:59:50", ""},
                               {"time", "   ", "12024/02/29 23:59:50", ""},
                               {"channel", "   ", "2024/02/29 23:59:50", "12345678901"},
                               {"channel of several-byte characters", "   ", "2024/02/29 23:59:50", "▲▲▲▲▲▲▲▲▲▲▲"}};
    for (const Refused& r : refused) {
        mq::LogRecordBytes rec;
        rec.No = 9;
        rec.mark = r.mark;
        rec.time = r.time;
        rec.ch[0] = r.ch1;
        EXPECT_THROW(byBytes->AddRecord_LOG(rec), mq::DatabaseError) << r.what;
    }
    EXPECT_EQ(byBytes->Recordset()->RecordCount(), 3);
    byBytes->Create_UnionQuery(0);
    EXPECT_THROW(byBytes->AddRecord_LOG(mq::LogRecordBytes{}), mq::DatabaseError);  // a saved query is read-only
}

TEST_F(WorkingDbTest, TagRecordsKeepWorkerAndComment) {
    auto db = newDb(QStringLiteral("L07"), 2);
    db->AddRecord_TAG(5, at(0), QStringLiteral("ﾔﾏﾀﾞ    "), QStringLiteral("検査１"), chText(1.5), QString(), QString(),
                      QStringLiteral("     O.R."));
    // An empty worker or comment is kept as a zero-length text; the load goes on.
    db->AddRecord_TAG(6, at(1), QString(), QString(), chText(2.5), QString(), QString(), QString());
    auto rs = db->Recordset();
    EXPECT_EQ(rs->ReadRow(0), (QStringList{"5", "2024/02/29 23:59:50", "       1.5", "", "", "     O.R.", "ﾔﾏﾀﾞ    ", "検査１"}));
    EXPECT_EQ(rs->ReadRow(1).mid(6), (QStringList{"", ""}));
}

TEST_F(WorkingDbTest, RecordTimeText) {
    EXPECT_EQ(clsLOGGER_DATABASE::db_record_time_text(QDateTime(QDate(2001, 1, 2), QTime(0, 0, 0), Qt::UTC)),
              QStringLiteral("2001/01/02 00:00:00"));
    EXPECT_EQ(clsLOGGER_DATABASE::db_record_time_text(QDateTime(QDate(2099, 12, 31), QTime(23, 5, 9), Qt::UTC)),
              QStringLiteral("2099/12/31 23:05:09"));
    EXPECT_THROW(clsLOGGER_DATABASE::db_record_time_text(QDateTime()), mq::ConversionError);
    // Years outside four digits keep their own width; the buffer form agrees.
    EXPECT_EQ(clsLOGGER_DATABASE::db_record_time_text(QDateTime(QDate(999, 3, 4), QTime(5, 6, 7), Qt::UTC)),
              QStringLiteral("999/03/04 05:06:07"));
    EXPECT_EQ(clsLOGGER_DATABASE::db_record_time_text(QDateTime(QDate(12024, 1, 1), QTime(0, 0, 0), Qt::UTC)),
              QStringLiteral("12024/01/01 00:00:00"));
    char buf[48];
    const QDateTime t(QDate(2024, 2, 29), QTime(23, 59, 59), Qt::UTC);
    EXPECT_EQ(QString::fromLatin1(buf, clsLOGGER_DATABASE::db_record_time_chars(t, buf)),
              clsLOGGER_DATABASE::db_record_time_text(t));
}

TEST_F(WorkingDbTest, ReadsCommitTheLoadFirst) {
    auto db = newDb(QStringLiteral("L08"));
    for (int r = 1; r <= 100; ++r) db->AddRecord_LOG(r, at(r), QString(), chText(r), {}, {}, {});
    // Another reader sees nothing of an uncommitted load ...
    EXPECT_EQ(countOnDisk(db->dbPath(), QStringLiteral("DATA")), 0);
    // ... and all of it as soon as anything reads through the database.
    EXPECT_EQ(db->Recordset()->RecordCount(), 100);
    EXPECT_EQ(countOnDisk(db->dbPath(), QStringLiteral("DATA")), 100);
    db->AddRecord_LOG(101, at(101), QString(), chText(1), {}, {}, {});
    db->CloseDb();
    EXPECT_EQ(countOnDisk(db->dbPath(), QStringLiteral("DATA")), 101);
}

TEST_F(WorkingDbTest, BulkColumnReadsFollowRecordOrder) {
    auto db = newDb(QStringLiteral("L09"));
    for (int r = 1; r <= 50; ++r) db->AddRecord_LOG(r, at(r), QString(), chText(r), chText(-r), {}, {});
    auto cols = db->Recordset()->ReadColumns(1, 4, 10, 5);
    ASSERT_EQ(cols.size(), 4u);
    EXPECT_EQ(cols[0], (std::vector<QString>{"11", "12", "13", "14", "15"}));
    EXPECT_EQ(cols[2][0], chText(11));
    EXPECT_EQ(cols[3][4], chText(-15));
    EXPECT_EQ(db->Recordset()->ReadColumns(0, 0, 45)[0].size(), 5u);
    EXPECT_EQ(db->Recordset()->ReadColumn(QStringLiteral("CH2")).back(), chText(-50));
    EXPECT_THROW(db->Recordset()->ReadColumns(3, 7), mq::OutOfRangeError);
    EXPECT_THROW(db->Recordset()->ReadColumn(QStringLiteral("CH9")), mq::MissingKeyError);
}

// A full read gives every text as stored: repeated ones, long ones, empty
// ones (still texts, not null) and the decimal texts of the record numbers.
TEST_F(WorkingDbTest, FullReadsKeepEveryTextAsStored) {
    auto db = newDb(QStringLiteral("L12"));
    const QString long20 = QStringLiteral("0123456789");  // the longest a channel takes
    for (int r = 1; r <= 3000; ++r)
        db->AddRecord_LOG(r, at(r), r % 3 ? QString() : QStringLiteral("*"), chText(r % 7), r % 2 ? long20 : QString(),
                          chText(r % 700 / 10.0), {});
    const auto cols = db->Recordset()->ReadColumns(0, 6);
    ASSERT_EQ(cols[0].size(), 3000u);
    for (int r = 1; r <= 3000; ++r) {
        const size_t i = size_t(r - 1);
        ASSERT_EQ(cols[0][i], r % 3 ? QStringLiteral("   ") : QStringLiteral(" * ")) << r;
        ASSERT_EQ(cols[1][i], QString::number(r)) << r;
        ASSERT_EQ(cols[2][i], clsLOGGER_DATABASE::db_record_time_text(at(r))) << r;
        ASSERT_EQ(cols[3][i], chText(r % 7)) << r;
        ASSERT_EQ(cols[4][i], r % 2 ? long20 : QString()) << r;
        ASSERT_EQ(cols[5][i], chText(r % 700 / 10.0)) << r;
        ASSERT_FALSE(cols[6][i].isNull()) << r;
        ASSERT_TRUE(cols[6][i].isEmpty()) << r;
    }

    // The byte read hands over the same texts, record by record.
    struct Collect : mq::DbRecordset::RowVisitor {
        std::vector<QStringList> rows;
        void row(qint32 position, const QByteArrayView* fields, int count) override {
            EXPECT_EQ(position, qint32(rows.size()));
            QStringList r;
            for (int i = 0; i < count; ++i) r << QString::fromUtf8(fields[i]);
            rows.push_back(r);
        }
    } collect;
    db->Recordset()->ReadRowsUtf8(1, 4, collect);
    ASSERT_EQ(collect.rows.size(), 3000u);
    for (size_t i = 0; i < 3000; ++i)
        ASSERT_EQ(collect.rows[i], (QStringList{cols[1][i], cols[2][i], cols[3][i], cols[4][i]})) << i;
    EXPECT_THROW(db->Recordset()->ReadRowsUtf8(2, 7, collect), mq::OutOfRangeError);
    EXPECT_THROW(db->Recordset()->ReadRowsUtf8(3, 2, collect), mq::OutOfRangeError);
}

// The marking of minimum and maximum reports every cell it rewrote, in every
// block table, once, whether it scans the tables or goes to the rows that the
// values of the statistics point at (gathered during the load or read back);
// a new database starts with none.
TEST_F(WorkingDbTest, MarkingReportsTheCellsItRewrote) {
    enum Mode { Scan, Gathered, ReadBack };
    std::vector<QString> results[3];
    for (const Mode mode : {Scan, Gathered, ReadBack}) {
        SCOPED_TRACE(int(mode));
        auto db = newDb(QStringLiteral("F0%1").arg(int(mode) + 2));
        loadSplit(*db, 31000);  // DATA, DATA01, DATA02
        const auto before = db->Recordset()->ReadColumn(QStringLiteral("CH1"));
        QString mn, mx;
        if (mode != Scan) {
            db->Get_ChData_MinMax(1, mn, mx, QStringLiteral("qTABLE"));  // takes the gathered values
            EXPECT_EQ(mx, QStringLiteral("99.9"));
        }
        if (mode == ReadBack) {
            // Another source, then the union again: its values are read back.
            db->Get_ChData_MinMax(2, mn, mx, QStringLiteral("DATA"));
            db->Get_ChData_MinMax(3, mn, mx, QStringLiteral("qTABLE"));
        }
        for (const QString& t : {QStringLiteral("DATA"), QStringLiteral("DATA01"), QStringLiteral("DATA02")}) {
            db->CHData_ADD_H_str(1, chText(99.9), t);
            // In DATA02 the minimum comes in another alignment: the rows
            // holding 0.0 are visited, but no text equals it.
            db->CHData_ADD_L_str(1, t == QStringLiteral("DATA02") ? QStringLiteral("      0.0 ") : chText(0.0), t);
        }
        db->OpenQuery(QStringLiteral("qTABLE"));
        const auto after = db->Recordset()->ReadColumn(QStringLiteral("CH1"));
        std::map<qint32, QString> changed;
        for (size_t i = 0; i < after.size(); ++i)
            if (after[i] != before[i]) changed[qint32(i + 1)] = after[i];
        ASSERT_EQ(changed.size(), 60u);  // 31 records hold 99.9; 29 of the 31 holding 0.0 are in DATA and DATA01

        std::map<qint32, QString> reported;
        for (const mq::MarkedCell& m : db->takeMarkedCells()) {
            EXPECT_EQ(m.ch, 1);
            EXPECT_TRUE(reported.emplace(m.No, m.text).second) << m.No;
        }
        EXPECT_EQ(reported, changed);
        EXPECT_EQ(reported[999], QStringLiteral("▲   99.9"));
        EXPECT_EQ(reported[29000], QStringLiteral("▼    0.0"));
        EXPECT_EQ(reported.count(31000), 0u);
        EXPECT_TRUE(db->takeMarkedCells().empty());
        results[mode] = after;

        db->CHData_ADD_H_str(2, chText(0.0), QStringLiteral("DATA"));
        EXPECT_FALSE(db->takeMarkedCells().empty());
        db->CHData_ADD_H_str(2, chText(-0.1), QStringLiteral("DATA01"));
        db->NewDb(1);
        EXPECT_TRUE(db->takeMarkedCells().empty());
    }
    EXPECT_EQ(results[Scan], results[Gathered]);
    EXPECT_EQ(results[Scan], results[ReadBack]);
}

TEST_F(WorkingDbTest, LargeFilesAreSplitIntoTablesOf15000AndJoined) {
    auto db = newDb(QStringLiteral("F01"));
    loadSplit(*db, 30001);
    auto rs = db->Recordset();
    EXPECT_EQ(rs->Name(), QStringLiteral("qTABLE"));
    EXPECT_FALSE(rs->Updatable());
    EXPECT_EQ(rs->RecordCount(), 30001);
    EXPECT_EQ(countOnDisk(db->dbPath(), QStringLiteral("DATA")), 14999);
    EXPECT_EQ(countOnDisk(db->dbPath(), QStringLiteral("DATA01")), 15000);
    EXPECT_EQ(countOnDisk(db->dbPath(), QStringLiteral("DATA02")), 2);
    EXPECT_EQ(rs->ReadRow(14998)[1], QStringLiteral("14999"));
    EXPECT_EQ(rs->ReadRow(14999)[1], QStringLiteral("15000"));
    EXPECT_EQ(rs->ReadRow(30000)[1], QStringLiteral("30001"));
    // The union reads every record once, in record-number order.
    const auto numbers = rs->ReadColumn(QStringLiteral("No"));
    ASSERT_EQ(numbers.size(), 30001u);
    for (int i = 0; i < 30001; ++i) ASSERT_EQ(numbers[i], QString::number(i + 1)) << i;
    const QString sel = QStringLiteral("SELECT [ﾏｰｸ],[No],[収録日時],[CH1],[CH2],[CH3],[CH4] From DATA");
    EXPECT_TRUE(viewSql(db->dbPath(), QStringLiteral("qTABLE"))
                    .endsWith(sel + QStringLiteral(" UNION ALL ") + sel + QStringLiteral("01 UNION ALL ") + sel +
                              QStringLiteral("02")))
        << viewSql(db->dbPath(), QStringLiteral("qTABLE")).toStdString();
    // Records cannot be added through the read-only union.
    EXPECT_THROW(db->AddRecord_LOG(30002, at(0), QString(), {}, {}, {}, {}), mq::DatabaseError);
    // A table name in use is an error.
    EXPECT_THROW(db->CreateRs_LOG2(QStringLiteral("DATA01")), mq::DatabaseError);
}

TEST_F(WorkingDbTest, BelowTheSplitSizeEverythingStaysInData) {
    auto db = newDb(QStringLiteral("F02"));
    loadSplit(*db, 14999);
    EXPECT_EQ(db->Recordset()->Name(), QStringLiteral("qTABLE"));
    EXPECT_EQ(db->Recordset()->RecordCount(), 14999);
    EXPECT_EQ(viewSql(db->dbPath(), QStringLiteral("DATA01")), QString());
    EXPECT_TRUE(viewSql(db->dbPath(), QStringLiteral("qTABLE")).endsWith(QStringLiteral("SELECT * FROM DATA")));
}

TEST_F(WorkingDbTest, ASecondUnionWithoutFurtherTablesFallsBackToQTable2) {
    auto db = newDb(QStringLiteral("F03"));
    db->AddRecord_LOG(1, at(0), QString(), chText(1), {}, {}, {});
    db->Create_UnionQuery(0);
    EXPECT_EQ(db->Recordset()->Name(), QStringLiteral("qTABLE"));
    db->Create_UnionQuery(0);
    EXPECT_EQ(db->Recordset()->Name(), QStringLiteral("qTABLE2"));
    EXPECT_EQ(db->Recordset()->RecordCount(), 1);
    EXPECT_FALSE(db->Recordset()->Updatable());
    // With further tables an existing "qTABLE" is an error for the caller.
    db->CreateRs_LOG2(QStringLiteral("DATA01"));
    EXPECT_THROW(db->Create_UnionQuery(1), mq::DatabaseError);
}

TEST_F(WorkingDbTest, CloseKeepsTheFileAndInvalidatesOldRecordsets) {
    auto db = newDb(QStringLiteral("L10"));
    db->AddRecord_LOG(1, at(0), QString(), chText(1), {}, {}, {});
    auto rs = db->Recordset();
    db->CloseDb();
    EXPECT_FALSE(db->IsOpen());
    EXPECT_EQ(db->Recordset(), nullptr);
    EXPECT_FALSE(rs->IsOpen());
    EXPECT_THROW(rs->RecordCount(), mq::DatabaseError);
    EXPECT_TRUE(QFile::exists(db->dbPath()));
    EXPECT_EQ(db->dbPath(), m_userDir + QStringLiteral("/DBF/L10.db"));
    db->CloseDb();  // closing twice is harmless
    EXPECT_THROW(db->AddRecord_LOG(2, at(0), QString(), {}, {}, {}, {}), mq::DatabaseError);
}

TEST_F(WorkingDbTest, ARefillReplacesTheDatabase) {
    auto db = newDb(QStringLiteral("L11"));
    db->AddRecord_LOG(1, at(0), QString(), chText(1), {}, {}, {});
    auto old = db->Recordset();
    db->NewDb(1);  // without CloseDb in between
    EXPECT_FALSE(old->IsOpen());
    EXPECT_EQ(db->Recordset()->RecordCount(), 0);
    db->AddRecord_LOG(1, at(0), QString(), chText(2), {}, {}, {});
    db->CloseDb();
    EXPECT_EQ(countOnDisk(db->dbPath(), QStringLiteral("DATA")), 1);
}

TEST_F(WorkingDbTest, DestructionDeletesOnlyTheFileItMade) {
    QString path;
    {
        auto db = newDb(QStringLiteral("L12"));
        db->AddRecord_LOG(1, at(0), QString(), chText(1), {}, {}, {});
        path = db->dbPath();
        ASSERT_TRUE(QFile::exists(path));
    }
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(QFile::exists(path + QStringLiteral("-journal")));

    // Never created: nothing is deleted, even a file that turned up at the path.
    {
        clsLOGGER_DATABASE db;
        db.makeDbPath(QStringLiteral("L13"));
        QFile f(db.dbPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        path = db.dbPath();
    }
    EXPECT_TRUE(QFile::exists(path));
    { clsLOGGER_DATABASE untouched; }

    // The same key reused while the first owner still lives: the newer file survives
    // the first owner's end, and the newer owner still removes it later.
    auto first = newDb(QStringLiteral("F04"));
    first->AddRecord_LOG(1, at(0), QString(), chText(1), {}, {}, {});
    auto second = newDb(QStringLiteral("F04"));
    second->AddRecord_LOG(1, at(0), QString(), chText(2), {}, {}, {});
    EXPECT_EQ(first->Recordset()->RecordCount(), 1);  // still usable on its own file
    first.reset();
    ASSERT_TRUE(QFile::exists(second->dbPath()));
    EXPECT_EQ(second->Recordset()->ReadRow(0)[3], chText(2));
    path = second->dbPath();
    second.reset();
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(WorkingDbTest, AClosedOwnerNeverDeletesTheNewerFileOfItsKey) {
    // A logger window that closes keeps its data set with the database closed.
    // When the same key is filled anew meanwhile, the new file may take the old
    // one's place on disk; the old owner's end must leave the new file alone.
    for (int round = 0; round < 3; ++round) {
        auto first = newDb(QStringLiteral("L16"));
        first->AddRecord_LOG(1, at(0), QString(), chText(1), {}, {}, {});
        first->CloseDb();
        auto second = newDb(QStringLiteral("L16"));
        second->AddRecord_LOG(1, at(0), QString(), chText(2), {}, {}, {});
        second->AddRecord_LOG(2, at(1), QString(), chText(3), {}, {}, {});
        first.reset();
        ASSERT_TRUE(QFile::exists(second->dbPath())) << "round " << round;
        second->CloseDb();
        EXPECT_EQ(countOnDisk(second->dbPath(), QStringLiteral("DATA")), 2);
        const QString path = second->dbPath();
        second.reset();
        EXPECT_FALSE(QFile::exists(path));
    }
}

TEST_F(WorkingDbTest, AUnionOverAMissingTableFailsWhenItIsMade) {
    // The loader started one further table but asks for two: the failure
    // shows at once, not at the first read of the record set.
    auto db = newDb(QStringLiteral("F05"));
    db->AddRecord_LOG(1, at(0), QString(), chText(1), {}, {}, {});
    db->CreateRs_LOG2(QStringLiteral("DATA01"));
    db->AddRecord_LOG(15000, at(1), QString(), chText(2), {}, {}, {});
    EXPECT_THROW(db->Create_UnionQuery(2), mq::DatabaseError);
    EXPECT_EQ(db->Recordset(), nullptr);
}

TEST_F(WorkingDbTest, MovingToAnotherKeyLeavesNoFileBehind) {
    auto db = newDb(QStringLiteral("L14"));
    const QString oldPath = db->dbPath();
    db->makeDbPath(QStringLiteral("L15"));
    EXPECT_FALSE(db->IsOpen());
    EXPECT_FALSE(QFile::exists(oldPath));
    db->NewDb(1);
    EXPECT_TRUE(QFile::exists(m_userDir + QStringLiteral("/DBF/L15.db")));
}

}  // namespace
