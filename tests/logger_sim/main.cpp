// logger_sim: a simulated logger on a pseudo-terminal, for trying the program
// by hand. It prints the device path, answers every command of the command
// files, and runs until interrupted.
//
//   logger_sim [--config DIR] [--scenario FILE] [--baud N] [--fault NAME[:COUNT]]
//
// Point the program at the device with MARROWQUILL_PORTS=/dev/pts/N.
#include "logger_sim.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <exception>

namespace {

QString defaultConfigDir() {
    // The program's own config/ beside the executable, else the working folder's.
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("config"));
    if (QFileInfo(beside).isDir()) return beside;
    return QStringLiteral("config");
}

}  // namespace

int main(int argc, char** argv) {
    // Block the stop signals before any thread starts, so that only sigwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Simulated logger on a pseudo-terminal."));
    p.addHelpOption();
    const QCommandLineOption configOpt(QStringLiteral("config"), QStringLiteral("Folder of the command files."),
                                       QStringLiteral("DIR"), defaultConfigDir());
    const QCommandLineOption scenarioOpt(QStringLiteral("scenario"), QStringLiteral("Scenario file (default: built in)."),
                                         QStringLiteral("FILE"));
    const QCommandLineOption baudOpt(QStringLiteral("baud"), QStringLiteral("Line speed for the paced fault."),
                                     QStringLiteral("N"), QStringLiteral("9600"));
    const QCommandLineOption faultOpt(
        QStringLiteral("fault"),
        QStringLiteral("none, silence, nak, garbled, cut-short, slow, paced or bytes-before; :COUNT limits it to "
                       "the next COUNT replies."),
        QStringLiteral("NAME[:COUNT]"));
    p.addOptions({configOpt, scenarioOpt, baudOpt, faultOpt});
    p.process(app);

    logger_sim::Scenario scenario;
    try {
        scenario = p.isSet(scenarioOpt) ? logger_sim::loadScenario(p.value(scenarioOpt)) : logger_sim::defaultScenario();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "logger_sim: %s\n", e.what());
        return 2;
    }

    logger_sim::Fault fault = logger_sim::Fault::None;
    int faultCount = -1;
    if (p.isSet(faultOpt)) {
        const QStringList parts = p.value(faultOpt).split(u':');
        if (!logger_sim::faultFromName(parts.at(0), &fault)) {
            std::fprintf(stderr, "logger_sim: unknown fault %s\n", qPrintable(parts.at(0)));
            return 2;
        }
        if (parts.size() > 1) {
            bool ok = false;
            faultCount = parts.at(1).toInt(&ok);
            if (!ok || faultCount < 1) {
                std::fprintf(stderr, "logger_sim: bad fault count %s\n", qPrintable(parts.at(1)));
                return 2;
            }
        }
    }
    bool baudOk = false;
    const int baud = p.value(baudOpt).toInt(&baudOk);
    if (!baudOk || baud <= 0) {
        std::fprintf(stderr, "logger_sim: bad baud rate %s\n", qPrintable(p.value(baudOpt)));
        return 2;
    }

    logger_sim::Simulator sim(p.value(configOpt), scenario);
    sim.setBaud(baud);
    sim.setFault(fault, faultCount);
    if (!sim.start()) {
        std::fprintf(stderr, "logger_sim: %s\n", qPrintable(sim.lastError()));
        return 1;
    }
    std::printf("%s\n", qPrintable(sim.devicePath()));
    std::fflush(stdout);

    int sig = 0;
    sigwait(&stopSignals, &sig);
    const int count = sim.received().size();
    sim.stop();
    std::fprintf(stderr, "logger_sim: %d commands answered\n", count);
    return 0;
}
