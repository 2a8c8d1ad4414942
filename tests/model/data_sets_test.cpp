// The object tree: write-once IDs, keyed collections and the lifetime of data
// sets and their working database files.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include "common/test_env.h"
#include "model/data_sets.h"
#include "model/db_workspace.h"
#include "model/model_state.h"

namespace mq {
namespace {

QString areaKey(int n) { return QStringLiteral("L%1").arg(n, 2, 10, QLatin1Char('0')); }

// Gives a data set a real working database file in dir and returns its path.
template <class DataSet>
QString giveDatabase(DataSet& ds, const std::shared_ptr<DbWorkspace>& ws, const QString& dir) {
    ds.clsLOGGER_DATABASE().setWorkSpace(ws);
    ds.clsLOGGER_DATABASE().makeDbPath(ds.ID(), dir);
    ds.clsLOGGER_DATABASE().NewDb(1);
    return ds.clsLOGGER_DATABASE().dbPath();
}

class DataSetsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensureApplication();
        ASSERT_TRUE(m_dir.isValid());
        m_slot->user_dir = m_dir.path();
        m_slot->dao_workspace = m_ws;
    }

    ModelSlot m_slot;
    QTemporaryDir m_dir;
    std::shared_ptr<DbWorkspace> m_ws = std::make_shared<DbWorkspace>();
};

TEST_F(DataSetsTest, IdIsTheKeyAndWriteOnce) {
    colLOGGER_DATA list;
    list.Add(QStringLiteral("L05"));
    auto ds = list.Item(QStringLiteral("L05"));
    EXPECT_EQ(ds->ID(), QStringLiteral("L05"));
    // The TAG defaults loader sets another ID later; the key stays.
    ds->let_ID(QStringLiteral("21"));
    EXPECT_EQ(ds->ID(), QStringLiteral("L05"));

    clsFILE_DATA loose;
    EXPECT_TRUE(loose.ID().isEmpty());
    loose.let_ID(QStringLiteral("F03"));
    loose.let_ID(QStringLiteral("F04"));
    EXPECT_EQ(loose.ID(), QStringLiteral("F03"));

    // An empty first ID still counts as the one write.
    clsLOGGER_DATA empty;
    empty.let_ID(QString());
    empty.let_ID(QStringLiteral("L01"));
    EXPECT_TRUE(empty.ID().isEmpty());
}

TEST_F(DataSetsTest, DuplicateKeyRaisesAndLeavesTheCollectionAlone) {
    colFILE_DATA files;
    files.Add(QStringLiteral("F00"));
    auto first = files.Item(QStringLiteral("F00"));
    first->clsLOGGER_SETTING().let_log_name(QStringLiteral("first"));

    EXPECT_THROW(files.Add(QStringLiteral("F00")), DuplicateKeyError);
    EXPECT_EQ(files.Count(), 1);
    EXPECT_EQ(files.Item(QStringLiteral("F00")), first);
    EXPECT_EQ(files.Item(1)->clsLOGGER_SETTING().log_name(), QStringLiteral("first   "));
}

TEST_F(DataSetsTest, ProbingForAMissingKeyRaisesUntilItIsAdded) {
    clsLOGGER_Main root;
    colLOGGER_DATA& list = root.colLOGGER_DATA();
    EXPECT_THROW(list.Item(QStringLiteral("L00")), MissingKeyError);
    EXPECT_THROW(list.Remove(QStringLiteral("L00")), MissingKeyError);

    // The defaults editors' probe: add only when the lookup failed.
    std::shared_ptr<clsLOGGER_DATA> defaults;
    try {
        defaults = list.Item(QStringLiteral("L00"));
    } catch (const MissingKeyError&) {
        list.Add(QStringLiteral("L00"));
        defaults = list.Item(QStringLiteral("L00"));
    }
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->ID(), QStringLiteral("L00"));
    EXPECT_EQ(list.Item(QStringLiteral("L00")), defaults);
    // Keys are exact: no other spelling finds it.
    EXPECT_THROW(list.Item(QStringLiteral("l00")), MissingKeyError);
    EXPECT_THROW(list.Item(QStringLiteral("L00 ")), MissingKeyError);
}

TEST_F(DataSetsTest, PositionsAreOneBasedInInsertionOrder) {
    colLOGGER_DATA list;
    for (int n = 1; n <= 3; ++n) list.Add(areaKey(n));
    list.Add(QStringLiteral("L00"));

    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Item(1)->ID(), QStringLiteral("L01"));
    EXPECT_EQ(list.Item(4)->ID(), QStringLiteral("L00"));
    EXPECT_THROW(list.Item(0), MissingKeyError);
    EXPECT_THROW(list.Item(5), MissingKeyError);
    EXPECT_THROW(list.Item(-1), MissingKeyError);

    QStringList seen;
    for (const auto& ds : list) seen << ds->ID();
    EXPECT_EQ(seen, (QStringList{"L01", "L02", "L03", "L00"}));

    // Removing by position closes the gap; keys still find their own entries.
    list.Remove(2);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Item(2)->ID(), QStringLiteral("L03"));
    EXPECT_EQ(list.Item(QStringLiteral("L03"))->ID(), QStringLiteral("L03"));
    EXPECT_THROW(list.Item(QStringLiteral("L02")), MissingKeyError);
    EXPECT_THROW(list.Remove(4), MissingKeyError);

    seen.clear();
    for (const auto& ds : list) seen << ds->ID();
    EXPECT_EQ(seen, (QStringList{"L01", "L03", "L00"}));
}

TEST_F(DataSetsTest, RemovingAllDataSetsAllowsThemToBeAddedAgain) {
    clsLOGGER_Main root;
    colLOGGER_DATA& list = root.colLOGGER_DATA();
    for (int n = 1; n <= 20; ++n) list.Add(areaKey(n));
    list.Add(QStringLiteral("L00"));
    auto oldArea7 = std::weak_ptr<clsLOGGER_DATA>(list.Item(QStringLiteral("L07")));

    for (int n = 1; n <= 20; ++n) list.Remove(areaKey(n));
    list.Remove(QStringLiteral("L00"));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(oldArea7.expired());

    for (int n = 1; n <= 20; ++n) list.Add(areaKey(n));
    EXPECT_EQ(list.Count(), 20);
    EXPECT_EQ(list.Item(20)->ID(), QStringLiteral("L20"));
}

TEST_F(DataSetsTest, FileDataSetHeldByAWindowOutlivesItsRemoval) {
    clsFILE_Main root;
    root.colFILE_DATA().Add(QStringLiteral("F00"));
    std::shared_ptr<clsFILE_DATA> heldByWindow = root.colFILE_DATA().Item(QStringLiteral("F00"));
    const QString path = giveDatabase(*heldByWindow, m_ws, m_dir.path());
    ASSERT_TRUE(QFileInfo::exists(path));

    root.colFILE_DATA().Remove(QStringLiteral("F00"));
    EXPECT_EQ(root.colFILE_DATA().Count(), 0);
    EXPECT_TRUE(QFileInfo::exists(path)) << "the window still shows it";
    EXPECT_EQ(heldByWindow->ID(), QStringLiteral("F00"));

    heldByWindow.reset();
    EXPECT_FALSE(QFileInfo::exists(path)) << "the last reference took the file with it";
}

TEST_F(DataSetsTest, ReleasingTheLoggerRootEndsEveryUnheldDataSet) {
    auto root = std::make_shared<clsLOGGER_Main>();
    colLOGGER_DATA& list = root->colLOGGER_DATA();
    QStringList paths;
    for (int n = 1; n <= 3; ++n) {
        list.Add(areaKey(n));
        paths << giveDatabase(*list.Item(n), m_ws, m_dir.path());
    }
    for (const QString& p : paths) ASSERT_TRUE(QFileInfo::exists(p));
    std::shared_ptr<clsLOGGER_DATA> current = list.Item(QStringLiteral("L02"));

    root.reset();
    EXPECT_FALSE(QFileInfo::exists(paths[0]));
    EXPECT_TRUE(QFileInfo::exists(paths[1])) << "still the current data set";
    EXPECT_FALSE(QFileInfo::exists(paths[2]));

    current.reset();
    EXPECT_FALSE(QFileInfo::exists(paths[1]));
}

}  // namespace
}  // namespace mq
