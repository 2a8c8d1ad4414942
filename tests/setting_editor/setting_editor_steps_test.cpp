// The pieces the LOG and TAG settings editors share: finding a setting's data
// set, the defaults data set "L00" that lives only while an editor needs it,
// and the CSV file dialog of the setting files.
#include <gtest/gtest.h>

#include <memory>

#include "main_window/fake_windows.h"
#include "main_window/home_state.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "setting_editor/setting_defaults_editor.h"
#include "setting_editor/setting_editor_steps.h"

namespace {

using mq::model;

class SettingEditorStepsTest : public mq::test::HomeTest {};

bool has(const QString& key) { return mq::setting_logger_item(key) != nullptr; }

TEST_F(SettingEditorStepsTest, SettingNumbersFindTheirDataSetsAndMissingOnesGiveNone) {
    struct Case {
        int area;
        bool found;
    };
    for (const Case c : {Case{1, true}, Case{9, true}, Case{20, true}, Case{0, false}, Case{21, false}}) {
        SCOPED_TRACE(c.area);
        const auto ds = mq::setting_area_data_set(c.area);
        EXPECT_EQ(ds != nullptr, c.found);
        if (ds) EXPECT_EQ(ds, mq::setting_logger_item(QStringLiteral("L%1").arg(c.area, 2, 10, QLatin1Char('0'))));
    }
    EXPECT_FALSE(mq::setting_logger_empty());
    model().logger_main.reset();
    EXPECT_TRUE(mq::setting_logger_empty());
    EXPECT_EQ(mq::setting_area_data_set(1), nullptr);
    EXPECT_EQ(mq::setting_defaults_data_set(), nullptr);
}

TEST_F(SettingEditorStepsTest, TheDefaultsDataSetIsAddedOnceAndRemovedWithoutTouchingTheAreas) {
    bool added = false;
    const auto first = mq::setting_defaults_data_set(&added);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(added);
    bool addedAgain = false;
    EXPECT_EQ(mq::setting_defaults_data_set(&addedAgain), first);
    EXPECT_FALSE(addedAgain);
    EXPECT_EQ(mq::setting_area_data_set(0), first);
    EXPECT_EQ(model().logger_main->colLOGGER_DATA().Count(), 21);

    mq::setting_defaults_data_set_remove();
    mq::setting_defaults_data_set_remove();  // a second removal finds nothing and is harmless
    EXPECT_FALSE(has(QStringLiteral("L00")));
    EXPECT_EQ(model().logger_main->colLOGGER_DATA().Count(), 20);
    EXPECT_TRUE(has(QStringLiteral("L01")));
}

TEST_F(SettingEditorStepsTest, TheCsvDialogAsksForOpenOrSaveInItsFolderAndGivesTheChosenPath) {
    mq::home_state().lafp_open_dir = QStringLiteral("/tmp/open-here");
    mq::home_state().lafp_save_dir = QStringLiteral("/tmp/save-here");
    struct Case {
        bool save;
        bool accept;
        const char* dir;
        const char* result;
    };
    for (const Case c : {Case{false, true, "/tmp/open-here", "/x/a.csv"}, Case{true, true, "/tmp/save-here", "/x/a.csv"},
                         Case{false, false, "/tmp/open-here", ""}, Case{true, false, "/tmp/save-here", ""}}) {
        SCOPED_TRACE(QStringLiteral("save %1 accept %2").arg(c.save).arg(c.accept).toStdString());
        mq::FileDialogRequest seen;
        int calls = 0;
        const mq::FileDialogFn fn = [&](QWidget*, const mq::FileDialogRequest& r) {
            seen = r;
            ++calls;
            mq::FileDialogAnswer a;
            a.accepted = c.accept;
            a.path = QStringLiteral("/x/a.csv");
            return a;
        };
        EXPECT_EQ(mq::setting_csv_dialog(nullptr, fn, c.save), QString::fromLatin1(c.result));
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(seen.save, c.save);
        EXPECT_EQ(seen.startDir, QString::fromLatin1(c.dir));
        EXPECT_EQ(seen.filters, QStringList{QStringLiteral("CSV files (*.csv)")});
    }
}

}  // namespace
