// docs/logger-protocol.md describes the command set that config/ installs.
// The two are edited by hand, so they drift apart easily: every command text,
// template length and reply length the document names must be the one in the
// command files, and every entry of the command files must be described.
#include "common/test_env.h"
#include "logger_state.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

using namespace logger_sim;

namespace {

// One table row of a command-file section.
struct DocRow {
    int line = 0;               // 1-based line in the document
    QList<int> entries;         // "5", "6-10", "0, 2-7"
    QStringList cells;          // cells after the entry cell, trimmed
    QStringList quoted;         // every `...` text of the second cell
};

struct DocSection {
    Table table;
    bool hasRsp;
    QList<DocRow> rows;
};

QList<int> parseEntries(const QString& cell, bool* ok) {
    QList<int> out;
    *ok = false;
    for (const QString& part : cell.split(u',', Qt::SkipEmptyParts)) {
        static const QRegularExpression one(QStringLiteral("^\\s*(\\d+)\\s*$"));
        static const QRegularExpression range(QStringLiteral("^\\s*(\\d+)-(\\d+)\\s*$"));
        if (const auto m = one.match(part); m.hasMatch()) {
            out << m.captured(1).toInt();
        } else if (const auto r = range.match(part); r.hasMatch()) {
            for (int i = r.captured(1).toInt(); i <= r.captured(2).toInt(); ++i) out << i;
        } else {
            return {};
        }
    }
    *ok = !out.isEmpty();
    return out;
}

// The sections "### X_CMD ..." with their table rows (header and rule rows left out).
QMap<QString, DocSection> readDocument(QString* error) {
    QFile f(QDir(mq::test::configDir()).filePath(QStringLiteral("../docs/logger-protocol.md")));
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read docs/logger-protocol.md");
        return {};
    }
    const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
    const QMap<QString, DocSection> known = {
        {QStringLiteral("L_R_CMD"), {Table::LogRead, true, {}}},
        {QStringLiteral("T_R_CMD"), {Table::TagRead, true, {}}},
        {QStringLiteral("S_CMD"), {Table::Status, true, {}}},
        {QStringLiteral("K_P_CMD"), {Table::ListWrite, false, {}}},
        {QStringLiteral("R_P_CMD"), {Table::SettingWrite, false, {}}},
    };
    QMap<QString, DocSection> out;
    QString current;
    // Only the table whose first column is "entry" lists commands; the record
    // layouts of a section are tables of positions.
    bool inCommandTable = false;
    static const QRegularExpression quotedText(QStringLiteral("`([^`]*)`"));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.startsWith(u'#')) {
            current.clear();
            if (line.startsWith(QStringLiteral("### "))) {
                for (auto it = known.cbegin(); it != known.cend(); ++it)
                    if (line.mid(4).startsWith(it.key() + u' ')) current = it.key();
                if (!current.isEmpty()) out.insert(current, known.value(current));
            }
            continue;
        }
        if (!line.startsWith(u'|')) {
            inCommandTable = false;
            continue;
        }
        if (current.isEmpty()) continue;
        QStringList cells = line.split(u'|');
        cells.removeFirst();
        if (!cells.isEmpty() && cells.last().trimmed().isEmpty()) cells.removeLast();
        if (cells.isEmpty()) continue;
        if (cells.at(0).trimmed() == u"entry") {
            inCommandTable = true;
            continue;
        }
        if (!inCommandTable || cells.size() < 3) continue;
        bool ok = false;
        DocRow row;
        row.entries = parseEntries(cells.at(0), &ok);
        if (!ok) continue;  // the rule under the header
        row.line = i + 1;
        for (int c = 1; c < cells.size(); ++c) row.cells << cells.at(c).trimmed();
        for (auto it = quotedText.globalMatch(row.cells.at(0)); it.hasNext();) row.quoted << it.next().captured(1);
        out[current].rows << row;
    }
    return out;
}

class ProtocolDocument : public ::testing::Test {
protected:
    void SetUp() override {
        QString err;
        ASSERT_TRUE(tables.load(mq::test::configDir(), &err)) << err.toStdString();
        sections = readDocument(&err);
        ASSERT_TRUE(err.isEmpty()) << err.toStdString();
    }
    QString installed(Table t, int entry) const {
        const QList<QByteArray>& req = tables.requests(t);
        return entry < req.size() ? QString::fromLatin1(req.at(entry)) : QString();
    }
    CommandTables tables;
    QMap<QString, DocSection> sections;
};

}  // namespace

TEST_F(ProtocolDocument, DescribesEveryCommandFileAndEveryEntryInIt) {
    ASSERT_EQ(sections.size(), 5) << "one section per command table";
    for (auto it = sections.cbegin(); it != sections.cend(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        QSet<int> described;
        for (const DocRow& r : it->rows)
            for (int e : r.entries) {
                EXPECT_FALSE(described.contains(e)) << "entry " << e << " described twice (line " << r.line << ")";
                described.insert(e);
            }
        const QList<QByteArray>& req = tables.requests(it->table);
        for (int e = 0; e < req.size(); ++e) EXPECT_TRUE(described.contains(e)) << "entry " << e << " undocumented";
        for (int e : described) EXPECT_LT(e, req.size()) << "entry " << e << " documented but not installed";
    }
}

TEST_F(ProtocolDocument, CommandTextsAndTemplatesAreTheInstalledOnes) {
    for (auto it = sections.cbegin(); it != sections.cend(); ++it) {
        for (const DocRow& r : it->rows) {
            SCOPED_TRACE(QStringLiteral("%1, line %2").arg(it.key()).arg(r.line).toStdString());
            ASSERT_FALSE(r.quoted.isEmpty()) << "no command text in the row";
            if (r.entries.size() == 1) {
                const QString inst = installed(it->table, r.entries.first());
                // A long template is written as its head and a description of
                // the rest; its length then stands in parentheses.
                static const QRegularExpression length(QStringLiteral("\\((\\d+)\\)"));
                const auto m = length.match(r.cells.at(0));
                if (m.hasMatch()) {
                    EXPECT_TRUE(inst.startsWith(r.quoted.first())) << inst.toStdString();
                    EXPECT_EQ(inst.size(), m.captured(1).toInt()) << inst.toStdString();
                } else {
                    EXPECT_EQ(r.quoted.first().toStdString(), inst.toStdString());
                }
            } else {
                // Runs of reserved entries name their first and last command; the
                // entry number stands at characters 3-4 of each.
                for (const QString& q : r.quoted) {
                    const int e = q.mid(2, 2).toInt();
                    EXPECT_TRUE(r.entries.contains(e)) << q.toStdString();
                    EXPECT_EQ(q.toStdString(), installed(it->table, e).toStdString());
                }
                for (int e : r.entries) EXPECT_FALSE(installed(it->table, e).isEmpty()) << "entry " << e;
            }
        }
    }
}

TEST_F(ProtocolDocument, ReplyLengthsAreTheInstalledOnes) {
    for (auto it = sections.cbegin(); it != sections.cend(); ++it) {
        if (!it->hasRsp) continue;
        for (const DocRow& r : it->rows) {
            SCOPED_TRACE(QStringLiteral("%1, line %2").arg(it.key()).arg(r.line).toStdString());
            const QString len = r.cells.last();
            bool isNumber = false;
            const int n = len.toInt(&isNumber);
            if (isNumber) {
                for (int e : r.entries) EXPECT_EQ(tables.replyLength(it->table, e), n) << "entry " << e;
                continue;
            }
            // Data reads: computed by the reader, and the file's own figure named.
            ASSERT_TRUE(len.startsWith(QStringLiteral("computed"))) << len.toStdString();
            static const QRegularExpression holds(QStringLiteral("holds (\\d+)"));
            const auto m = holds.match(len);
            ASSERT_TRUE(m.hasMatch()) << len.toStdString();
            ASSERT_EQ(r.entries.size(), 1);
            EXPECT_EQ(tables.replyLength(it->table, r.entries.first()), m.captured(1).toInt());
        }
    }
}

TEST_F(ProtocolDocument, ParameterPositionsNamedForTheWritesFitTheirTemplates) {
    // The write tables name the character positions of their fields
    // ("at 10-21", "at 7-14"); each must lie inside the installed template.
    static const QRegularExpression span(QStringLiteral("at (\\d+)-(\\d+)"));
    int checked = 0;
    for (const QString& key : {QStringLiteral("K_P_CMD"), QStringLiteral("R_P_CMD")}) {
        const DocSection s = sections.value(key);
        for (const DocRow& r : s.rows) {
            if (r.entries.size() != 1) continue;
            const QString inst = installed(s.table, r.entries.first());
            for (auto m = span.globalMatch(r.cells.last()); m.hasNext();) {
                const auto g = m.next();
                SCOPED_TRACE(QStringLiteral("%1 entry %2: %3").arg(key).arg(r.entries.first()).arg(g.captured(0)).toStdString());
                EXPECT_LE(g.captured(2).toInt(), inst.size());
                ++checked;
            }
        }
    }
    EXPECT_GE(checked, 5);  // clock, name, two list texts, reservation start and stop ...
}
