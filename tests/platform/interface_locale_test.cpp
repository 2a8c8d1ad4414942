// The interface stays Japanese under any system locale, also in the file
// dialogs that Qt makes itself (the print dialog's file choice).
#include <gtest/gtest.h>

#include "common/test_env.h"
#include "platform/interface_locale.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <functional>

TEST(InterfaceLocale, QtsOwnFileDialogWritesSizesAndDatesInJapanese) {
    mq::test::ensureApplication();
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/a.txt");
    mq::test::writeAll(path, QByteArray(506, 'x'));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QDateTime(QDate(2026, 12, 9), QTime(16, 36, 27)), QFileDevice::FileModificationTime));
    }
    mq::platform::install_japanese_qt_texts(*QCoreApplication::instance());
    QStringList columns;
    std::function<void()> look = [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* tree = d ? d->findChild<QTreeView*>(QStringLiteral("treeView")) : nullptr;
        // The folder is read in the background: wait until the file shows.
        if (!tree || tree->model()->rowCount(tree->rootIndex()) < 1) {
            QTimer::singleShot(5, look);
            return;
        }
        const QModelIndex name = tree->model()->index(0, 0, tree->rootIndex());
        columns << name.data().toString() << name.siblingAtColumn(1).data().toString()
                << name.siblingAtColumn(3).data().toString();
        d->reject();
    };
    QTimer::singleShot(0, look);
    (void)QFileDialog::getSaveFileName(nullptr, QStringLiteral("PDF"), dir.path());
    EXPECT_EQ(columns, (QStringList{QStringLiteral("a.txt"), QStringLiteral("506 バイト"),
                                    QStringLiteral("2026/12/09 16:36")}));
}
