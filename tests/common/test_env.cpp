#include "test_env.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include "platform/interface_locale.h"

#include <cstdlib>
#include <memory>
#include <sys/stat.h>

namespace mq::test {
namespace {
std::unique_ptr<QTemporaryDir> g_root;
QString g_dataHome;
int g_argc = 1;
char g_arg0[] = "mq_tests";
char* g_argv[] = {g_arg0, nullptr};
}  // namespace

void ensureApplication() {
    if (!g_root) {
        g_root = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/mq_test_XXXXXX");
        const QString runtime = g_root->path() + "/runtime";
        g_dataHome = g_root->path() + "/data";
        QDir().mkpath(runtime);
        QDir().mkpath(g_dataHome);
        ::chmod(runtime.toLocal8Bit().constData(), 0700);
        ::setenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit().constData(), 1);
        ::setenv("XDG_DATA_HOME", g_dataHome.toLocal8Bit().constData(), 1);
        if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    if (!QCoreApplication::instance()) {
        new QApplication(g_argc, g_argv);
        // Widgets under test speak Japanese as the program's do.
        platform::use_japanese_locale(*QCoreApplication::instance());
    }
}

QString dataHome() {
    ensureApplication();
    return g_dataHome;
}

QString configDir() { return QStringLiteral(MQ_CONFIG_DIR); }

void processEventsFor(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) ADD_FAILURE() << "cannot write " << path.toStdString();
}

void writeSparse(const QString& path, qint64 size) {
    if (QFile f(path); !f.open(QIODevice::WriteOnly) || !f.resize(size)) ADD_FAILURE() << path.toStdString();
}

void saveScreenshot(QWidget* widget, const QString& name) {
    const QByteArray dir = qgetenv("MQ_SCREENSHOT_DIR");
    if (dir.isEmpty() || !widget) return;
    QCoreApplication::processEvents();
    widget->grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + name + QStringLiteral(".png"));
}

}  // namespace mq::test
