#pragma once
// Answering the real file dialog as a user does: the folder set, the name
// typed, Enter pressed.
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace mq::test {

// Runs act(); the first file dialog it shows is pointed at `folder`, given
// `fileName` and answered; the types it offered go to `offered` when given.
// Returns whether a dialog was answered.
template <class Act>
bool answerFileDialog(const QString& folder, const QString& fileName, Act act, QStringList* offered = nullptr) {
    QTimer drive;
    bool answered = false;
    QObject::connect(&drive, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* fd = qobject_cast<QFileDialog*>(w);
            if (fd && fd->isVisible() && !answered) {
                answered = true;
                if (offered) *offered = fd->nameFilters();
                fd->setDirectory(folder);
                auto* name = fd->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                ASSERT_NE(name, nullptr);
                name->setText(fileName);
                QTest::keyClick(name, Qt::Key_Return);
            }
        }
    });
    drive.start(10);
    act();
    drive.stop();
    return answered;
}

}  // namespace mq::test
