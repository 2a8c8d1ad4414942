#pragma once
// Start-up of the program: one running copy per user, the per-user folder and
// its configuration (copied from the program's own config folder on first
// use), the three configuration files, the command files, and a data file
// named on the command line, kept pending until the main window is idle.
#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

namespace mq {

class HOME;

// The command line as one text: the program's arguments (without the program
// itself) joined by single blanks.
QString command_line_text(const QStringList& arguments);

// What a command line asks for.
enum class CommandLineFile {
    None,      // no file named
    Accepted,  // a data file to open once the main window is idle
    Refused,   // another type, an empty file, or no such file: the program ends
};
// A path in double quotes loses them; ".ml1", ".mt1" and ".ml2" in any letter
// case are data files. *path receives the path without its quotes (empty when refused).
CommandLineFile take_command_line_file(const QString& commandLine, QString* path);

// Copies a folder with everything in it; false when anything failed.
bool copy_folder(const QString& from, const QString& to);

// The main window's start-up, after the single-instance check. False when the
// program must end at once (a refused command-line file).
bool startup_load(HOME& home, const QString& commandLine);

// One running copy per user. The first start holds a lock file and listens on
// a local socket, both in the user's runtime folder and named from the user
// id; a second start sends its command line there and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // baseName: the name of the lock file and socket without extension; the
    // default is "marrowquill4-" followed by the user id.
    explicit SingleInstance(const QString& baseName = QString(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this is the first copy: the lock is taken and the socket listens.
    // Also true when no lock can be made at all (the copy then runs without
    // hand-over); false only while another copy holds the lock.
    bool tryBecomeFirst();
    // Second start: hands the command line to the running copy. False when no
    // copy accepted it within timeoutMs.
    bool handOver(const QString& commandLine, int timeoutMs = 3000);

    QString lockPath() const;
    QString socketPath() const;

signals:
    // A second start handed over its command line (unchanged).
    void fileHandedOver(const QString& commandText);

private:
    void on_new_connection();

    QString m_base;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};

// A second start: hands a non-empty command line over silently, or says
// "すでに起動しています" when there is none. Sets home_state().start_state
// (2 or 1). Returns the program's exit code.
int second_start(SingleInstance& instance, const QString& commandLine);

}  // namespace mq
