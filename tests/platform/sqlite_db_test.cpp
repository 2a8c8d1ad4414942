#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/test_env.h"
#include "platform/sqlite_db.h"

using mq::platform::SqliteDb;
using mq::platform::SqliteError;
using mq::platform::SqliteNameExistsError;
using mq::platform::SqliteStatement;
using mq::platform::SqliteTransaction;

namespace {

class SqliteDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        mq::test::ensureApplication();
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("t.db"));
        m_db.open(m_path);
        m_db.exec(QStringLiteral("CREATE TABLE t (n INTEGER, x REAL, s TEXT)"));
    }

    qint64 count(SqliteDb& db, const QString& table = QStringLiteral("t")) {
        SqliteStatement st = db.prepare(QStringLiteral("SELECT count(*) FROM ") + table);
        st.step();
        return st.columnInt64(0);
    }

    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/mq_sqlite_XXXXXX")};
    QString m_path;
    SqliteDb m_db;
};

TEST_F(SqliteDbTest, BoundValuesComeBackWithTheirTypes) {
    SqliteStatement ins = m_db.prepare(QStringLiteral("INSERT INTO t VALUES (?1, ?2, ?3)"));
    ins.bind(1, qint64(-2147483648LL));
    ins.bind(2, 25.3);
    ins.bind(3, QStringLiteral("ﾏｰｸ 収録日時 ▲"));
    ins.run();
    ins.reset();
    ins.bind(1, qint64(7));
    ins.bindNull(2);
    ins.bind(3, QString());  // a null text is NULL
    ins.run();
    ins.reset();
    ins.bindText(3, QString());  // bindText never stores NULL
    ins.run();

    SqliteStatement sel = m_db.prepare(QStringLiteral("SELECT n, x, s, s IS NULL, length(s) FROM t ORDER BY rowid"));
    ASSERT_TRUE(sel.step());
    EXPECT_EQ(sel.columnInt64(0), -2147483648LL);
    EXPECT_DOUBLE_EQ(sel.columnDouble(1), 25.3);
    EXPECT_EQ(sel.columnText(2), QStringLiteral("ﾏｰｸ 収録日時 ▲"));
    EXPECT_EQ(sel.columnText(0), QStringLiteral("-2147483648"));
    ASSERT_TRUE(sel.step());
    EXPECT_TRUE(sel.columnIsNull(1));
    EXPECT_TRUE(sel.columnIsNull(2));
    EXPECT_TRUE(sel.columnText(2).isNull());
    ASSERT_TRUE(sel.step());
    EXPECT_EQ(sel.columnInt64(3), 0);  // zero-length text, not NULL
    EXPECT_EQ(sel.columnInt64(4), 0);
    EXPECT_FALSE(sel.step());
    EXPECT_EQ(sel.columnCount(), 5);
    EXPECT_EQ(sel.columnName(0), QStringLiteral("n"));
}

TEST_F(SqliteDbTest, EngineFailuresCarryTheEngineMessage) {
    try {
        m_db.exec(QStringLiteral("SELEC nonsense"));
        FAIL() << "no error raised";
    } catch (const SqliteError& e) {
        EXPECT_NE(std::string(e.what()).find("syntax error"), std::string::npos) << e.what();
    }
    EXPECT_THROW(m_db.prepare(QStringLiteral("SELECT * FROM missing_table")), mq::DatabaseError);
    // A name in use is told apart from other failures.
    EXPECT_THROW(m_db.exec(QStringLiteral("CREATE TABLE t (a)")), SqliteNameExistsError);
    m_db.exec(QStringLiteral("CREATE VIEW v AS SELECT * FROM t"));
    EXPECT_THROW(m_db.exec(QStringLiteral("CREATE VIEW V AS SELECT 1")), SqliteNameExistsError);
    EXPECT_THROW(m_db.exec(QStringLiteral("INSERT INTO v VALUES (1,2,3)")), SqliteError);
}

TEST_F(SqliteDbTest, AFailedStepLeavesTheStatementUsable) {
    m_db.exec(QStringLiteral("CREATE TABLE u (k INTEGER UNIQUE)"));
    SqliteStatement ins = m_db.prepare(QStringLiteral("INSERT INTO u VALUES (?1)"));
    ins.bind(1, qint64(1));
    ins.run();
    ins.reset();
    EXPECT_THROW(ins.run(), SqliteError);
    ins.bind(1, qint64(2));
    ins.run();
    EXPECT_EQ(count(m_db, QStringLiteral("u")), 2);
}

TEST_F(SqliteDbTest, TransactionsCommitOrRollBack) {
    {
        SqliteTransaction tx(m_db);
        EXPECT_TRUE(m_db.inTransaction());
        m_db.exec(QStringLiteral("INSERT INTO t VALUES (1, 1, 'a')"));
        // rolled back when it ends uncommitted
    }
    EXPECT_FALSE(m_db.inTransaction());
    EXPECT_EQ(count(m_db), 0);
    {
        SqliteTransaction tx(m_db);
        m_db.exec(QStringLiteral("INSERT INTO t VALUES (1, 1, 'a'); INSERT INTO t VALUES (2, 2, 'b')"));
        EXPECT_EQ(m_db.changes(), 1);
        tx.commit();
    }
    // A second connection sees committed rows only.
    SqliteDb other;
    other.open(m_path, false);
    EXPECT_EQ(count(other), 2);
    m_db.begin();
    m_db.exec(QStringLiteral("INSERT INTO t VALUES (3, 3, 'c')"));
    EXPECT_EQ(count(other), 2);
    m_db.commit();
    EXPECT_EQ(count(other), 3);
}

TEST_F(SqliteDbTest, QuotingMakesAnyNameAndTextSafe) {
    const QString odd = QStringLiteral("CH1MAX RecordNo \"DATA01\"");
    m_db.exec(QStringLiteral("CREATE TABLE %1 (%2 TEXT)").arg(SqliteDb::quoteIdentifier(odd),
                                                              SqliteDb::quoteIdentifier(QStringLiteral("ﾏｰｸ"))));
    EXPECT_TRUE(m_db.objectExists(odd));
    EXPECT_TRUE(m_db.objectExists(QStringLiteral("T")));  // any letter case
    EXPECT_FALSE(m_db.objectExists(QStringLiteral("qTABLE")));
    const QString text = QStringLiteral("it's '; DROP TABLE t; --");
    m_db.exec(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(SqliteDb::quoteIdentifier(odd), SqliteDb::quoteLiteral(text)));
    SqliteStatement sel = m_db.prepare(QStringLiteral("SELECT * FROM ") + SqliteDb::quoteIdentifier(odd));
    ASSERT_TRUE(sel.step());
    EXPECT_EQ(sel.columnText(0), text);
    EXPECT_TRUE(m_db.objectExists(QStringLiteral("t")));
}

TEST_F(SqliteDbTest, OpenAndCloseEdges) {
    SqliteDb db;
    EXPECT_THROW(db.open(m_dir.filePath(QStringLiteral("no/such/folder/x.db"))), SqliteError);
    EXPECT_FALSE(db.isOpen());
    EXPECT_THROW(db.open(m_dir.filePath(QStringLiteral("absent.db")), false), SqliteError);
    EXPECT_FALSE(QFile::exists(m_dir.filePath(QStringLiteral("absent.db"))));
    EXPECT_THROW(db.exec(QStringLiteral("SELECT 1")), SqliteError);

    // A statement that outlives its connection object is still safe to use up and drop.
    SqliteStatement survivor;
    {
        SqliteDb shortLived;
        shortLived.open(m_path);
        survivor = shortLived.prepare(QStringLiteral("SELECT count(*) FROM t"));
        shortLived.begin();  // an open transaction is rolled back on close
    }
    EXPECT_TRUE(survivor.step());
    EXPECT_EQ(survivor.columnInt64(0), 0);
}

}  // namespace
