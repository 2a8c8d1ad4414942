#pragma once
// Printing tests: a main window with real LOG data windows (logger and file),
// a TAG data set made in the test with its working database and a table
// window over it, and print runs to PDF files read back with pdftotext.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>

#include <memory>

#include "log_data/log_files_fixture.h"
#include "main_window/small_windows.h"
#include "model/data_sets.h"
#include "model/data_window.h"
#include "platform/grid.h"
#include "platform/numbers.h"
#include "printing/table_print.h"
#include "printing/tag_table_window.h"

namespace mq::test {

class PrintFixture : public LogFilesFixture {
protected:
    void SetUp() override {
        LogFilesFixture::SetUp();
        pdfDir = userDir + QStringLiteral("/pdf");
        QDir().mkpath(pdfDir);
        home_state().current_printer = pdf_file_printer_name();
    }

    // Hooks of a run that prints to `path` on 2025/03/04.
    PrintHooks hooksTo(const QString& path) {
        PrintHooks h;
        h.dialog = [this, path](QWidget*, const FileDialogRequest& r) {
            pdfRequests.push_back(r);
            return FileDialogAnswer{true, path, 1};
        };
        h.today = [] { return QDate(2025, 3, 4); };
        return h;
    }

    // A print run of the active window (or of a graph source) with all pages,
    // the items set by the mask (bit 0 Check1 .. bit 4 Check5).
    std::unique_ptr<PR> run(const QString& path, const GraphPrintSource* graph = nullptr, int items = 0x1f,
                            bool allPages = true, PrintHooks hooks = {}) {
        if (!hooks.dialog) hooks = hooksTo(path);
        auto dlg = std::make_unique<PR>(graph, home.get(), std::move(hooks));
        QCheckBox* boxes[] = {dlg->Check1, dlg->Check2, dlg->Check3, dlg->Check4, dlg->Check5};
        for (int i = 0; i < 5; ++i) boxes[i]->setChecked(items & (1 << i));
        if (allPages) dlg->Option2->click();
        dlg->Command1_Click();
        // Keep a copy of the pages for looking at (README: rendered pages).
        const QString samples = qEnvironmentVariable("MQ_PRINT_SAMPLES");
        if (!samples.isEmpty() && QFile::exists(path)) {
            QDir().mkpath(samples);
            const QString copy = samples + QLatin1Char('/') + QFileInfo(path).fileName();
            QFile::remove(copy);
            QFile::copy(path, copy);
        }
        return dlg;
    }

    // pdftotext's text of a PDF (layout kept; pages end with a form feed).
    static QString pdfText(const QString& path) {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
        if (!p.waitForFinished(60000) || p.exitCode() != 0) return QStringLiteral("<pdftotext failed>");
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    static int pdfPages(const QString& text) { return int(text.count(QChar(0x0c))); }
    // The text of page n (1-based).
    static QString pdfPage(const QString& text, int n) { return text.section(QChar(0x0c), n - 1, n - 1); }

    // The TAG data set L01 of a TAG-mode logger with `n` records in its
    // working database, shown in a TAG table window made active.
    TagTableWindow* openTagSet(int n) {
        ModelState& m = model();
        m.logger_main->clsLOGGER_STATUS().let_mode_type(2);
        m.logger_main->clsLOGGER_STATUS().let_user_model_name(QStringLiteral("TAGLINE"));
        clsLOGGER_SETTING& s = setting();
        s.let_log_name(QStringLiteral("TAG01   "));
        channel(0, QStringLiteral("K"), 1, QStringLiteral("50.0"), QStringLiteral("5.0"));
        channel(1, QStringLiteral("J"), 1);
        channel(2, QStringLiteral("-"));
        channel(3, QStringLiteral("V"), 2, QStringLiteral("1.00"), QStringLiteral("0.00"));
        s.let_Ch_unit(3, QStringLiteral("V"));
        s.let_data_count(n);
        tagRecords = n;
        HomeTargets& t = home_state().targets;
        t.create_window[DataWindowKind::Tag] = [](const QString& tag) -> IDataWindow* {
            return new TagTableWindow(tag);
        };
        t.fill[DataFill::LoggerTag] = [this](IDataWindow& w, const QString&) { fillTagSet(w); };
        home->winTable().win_logger_open_tag(QStringLiteral("01"));
        QCoreApplication::processEvents();
        return dynamic_cast<TagTableWindow*>(model().main_window->activeDataWindow());
    }

    // Records: CH1 = record number (tenths: 1.0 .. ), record 3 over range;
    // CH2 = 20.0 - a tenth per record; CH4 0.50; worker "W" + number on odd
    // records, none on even ones; comment "C" + number.
    void fillTagSet(IDataWindow& w) {
        clsLOGGER_DATA& ds = area();
        clsLOGGER_SETTING& s = ds.clsLOGGER_SETTING();
        clsLOGGER_DATABASE& db = ds.clsLOGGER_DATABASE();
        db.setWorkSpace(model().dao_workspace);
        db.makeDbPath(ds.ID());
        db.NewDb(2);
        double max1 = -1e9, min1 = 1e9, max2 = -1e9, min2 = 1e9;
        for (int i = 1; i <= tagRecords; ++i) {
            const double v1 = i, v2 = 20.0 - i / 10.0;
            const QString ch1 = i == 3 ? QStringLiteral("     O.R.")
                                       : QStringLiteral("    ") + platform::rightAlign(platform::format(v1, "0.0"), 6);
            if (i != 3) max1 = qMax(max1, v1), min1 = qMin(min1, v1);
            max2 = qMax(max2, v2), min2 = qMin(min2, v2);
            db.AddRecord_TAG(i, civil(2024, 2, 1, 8, 0, 0).addSecs(i * 60),
                             i % 2 ? QStringLiteral("W%1").arg(i) : QString(), QStringLiteral("C%1").arg(i), ch1,
                             QStringLiteral("    ") + platform::rightAlign(platform::format(v2, "0.0"), 6), QString(),
                             QStringLiteral("      0.50"));
        }
        if (tagRecords > 0) {
            s.let_Ch_max(0, platform::format(max1, "0.0"));
            s.let_Ch_min(0, platform::format(min1, "0.0"));
            s.let_Ch_ave(0, QStringLiteral("12.5"));
            s.let_Ch_max(1, platform::format(max2, "0.0"));
            s.let_Ch_min(1, platform::format(min2, "0.0"));
            s.let_Ch_ave(1, QStringLiteral("17.5"));
            s.let_Ch_max(3, QStringLiteral("0.50"));
            s.let_Ch_min(3, QStringLiteral("0.50"));
            s.let_Ch_ave(3, QStringLiteral("0.50"));
        }
        s.let_Ch_data_count(0, qMax(0, tagRecords - 1));
        s.let_Ch_data_count(1, tagRecords);
        s.let_Ch_data_count(3, tagRecords);
        w.bind_Data1(db.Recordset());
    }

    // A LOG reply of n records: CH1 K rising a degree per record from 1.0,
    // CH3 1.00 mV, CH4 over range; record 5 marked.
    QString longReply(int n) {
        std::vector<RawRecord> recs;
        for (int i = 1; i <= n; ++i) {
            recs.push_back({{QStringLiteral("%1").arg(i * 10, 5), QStringLiteral("  100"), QStringLiteral("32767")},
                            i == 5 ? QLatin1Char('1') : QLatin1Char('0')});
        }
        return buildReply(recs);
    }

    QString pdfDir;
    std::vector<FileDialogRequest> pdfRequests;
    int tagRecords = 0;
};

}  // namespace mq::test
