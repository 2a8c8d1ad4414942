#pragma once
// The shared database workspace. Every data set's working database is created
// "in" it; the program opens one at start-up and hands it to each database
// object before the database is created. With SQLite there is no engine-wide
// session to hold, so the workspace only marks that start-up has prepared the
// database side: a database object refuses to create its file without one, which
// keeps the start-up order visible to callers.
#include <QString>

namespace mq {

class DbWorkspace {
public:
    DbWorkspace() = default;
    DbWorkspace(const DbWorkspace&) = delete;
    DbWorkspace& operator=(const DbWorkspace&) = delete;

    // The folder that holds the working database files: "DBF" under the
    // per-user folder, with exactly one separator before it.
    static QString dbfFolder(const QString& userDir) {
        if (userDir.endsWith(QLatin1Char('/'))) return userDir + QStringLiteral("DBF");
        return userDir + QStringLiteral("/DBF");
    }
};

}  // namespace mq
