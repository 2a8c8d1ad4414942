#include "logger_sim.h"

#include "platform/errors.h"

#include <QFile>

#include <cstdlib>

namespace logger_sim {

namespace {

ChannelSetting channel(const QString& type, const QString& unit, int min, int max, int dec, const QString& low,
                       const QString& high, const QString& base) {
    ChannelSetting c;
    c.type = type;
    c.unit = unit;
    c.scaleMin = min;
    c.scaleMax = max;
    c.decimalPos = dec;
    c.lowAlarm = low;
    c.highAlarm = high;
    c.integrationBase = base;
    return c;
}

ChannelSetting unused() { return channel(QStringLiteral("-"), QStringLiteral("   "), 0, 0, 1, "-----", "-----", "-----"); }

QDateTime at(int y, int mo, int d, int h, int mi, int s) { return QDateTime(QDate(y, mo, d), QTime(h, mi, s)); }

LogRecord rec(std::initializer_list<const char*> values, bool mark = false) {
    LogRecord r;
    for (const char* v : values) r.values.append(QString::fromLatin1(v));
    r.mark = mark;
    return r;
}

TagRecord tagRec(const QDateTime& t, int worker, int comment, std::initializer_list<const char*> values) {
    TagRecord r;
    r.time = t;
    r.worker = worker;
    r.comment = comment;
    for (const char* v : values) r.values.append(QString::fromLatin1(v));
    return r;
}

// ---- scenario text ---------------------------------------------------------

[[noreturn]] void fail(int line, const QString& what) {
    throw mq::ConversionError(QStringLiteral("scenario line %1: %2").arg(line).arg(what).toStdString());
}

// Splits a line into words; "double quotes" keep blanks inside one word.
QStringList tokens(const QString& line, int lineNo) {
    QStringList out;
    QString cur;
    bool inWord = false, quoted = false;
    for (QChar c : line) {
        if (quoted) {
            if (c == u'"') quoted = false;
            else cur += c;
        } else if (c == u'"') {
            quoted = true;
            inWord = true;
        } else if (c.isSpace()) {
            if (inWord) out.append(cur);
            cur.clear();
            inWord = false;
        } else {
            cur += c;
            inWord = true;
        }
    }
    if (quoted) fail(lineNo, QStringLiteral("unclosed quote"));
    if (inWord) out.append(cur);
    return out;
}

int toInt(const QString& s, int lineNo) {
    bool ok = false;
    const int v = s.toInt(&ok);
    if (!ok) fail(lineNo, QStringLiteral("not a number: %1").arg(s));
    return v;
}

QDateTime toTime(const QStringList& w, int i, int lineNo) {
    if (w.size() > i && w.at(i) == QStringLiteral("none")) return {};
    if (w.size() < i + 2) fail(lineNo, QStringLiteral("date and time expected"));
    const QDateTime t = QDateTime::fromString(w.at(i) + u' ' + w.at(i + 1), QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    if (!t.isValid()) fail(lineNo, QStringLiteral("bad date and time"));
    return t;
}

bool isRawValue(const QString& v) {
    if (v == QStringLiteral("-----")) return true;
    if (v.isEmpty() || v.size() > 5) return false;
    for (int i = 0; i < v.size(); ++i)
        if (!(v.at(i).isDigit() || (i == 0 && v.at(i) == u'-'))) return false;
    return true;
}

// A deterministic spread of values with the range codes mixed in.
QString generatedValue(int i, int channel) {
    if (i % 97 == 13) return QStringLiteral("32767");
    if (i % 89 == 7) return QStringLiteral("32766");
    if (i % 83 == 5) return QStringLiteral("-----");
    return QString::number(((i * 37 + channel * 211) % 4000) - 500);
}

}  // namespace

Scenario defaultScenario() {
    Scenario s;
    s.serial = QStringLiteral("A0123456");
    s.model = QStringLiteral("ZK4409MU");
    s.hardVer = 1;
    s.softVer = 2;
    s.specialSpec = 0;
    s.mode = Mode::Log;
    s.clock = at(2013, 12, 10, 9, 5, 0);
    s.offsets[0] = QStringLiteral("0000");
    s.offsets[1] = QStringLiteral("0123");
    s.offsets[2] = QStringLiteral("-015");
    s.offsets[3] = QStringLiteral("0000");
    s.userModelName = QStringLiteral("ﾗｲﾝ1");
    s.remainingMemory = 120000;
    s.workers = {QStringLiteral("ﾀﾅｶ"), QStringLiteral("ｽｽﾞｷ"), QStringLiteral("ｻﾄｳ ｹﾝ")};
    s.comments = {QStringLiteral("ｹﾝｻ OK"), QStringLiteral("ｻｲｹﾝｻ"), QStringLiteral("ﾛｯﾄ12")};
    for (int i = s.workers.size() + 1; i <= 20; ++i) s.workers.append(QStringLiteral("W%1").arg(i, 2, 10, QChar(u'0')));
    for (int i = s.comments.size() + 1; i <= 20; ++i) s.comments.append(QStringLiteral("C%1").arg(i, 2, 10, QChar(u'0')));

    const QString degC = QStringLiteral("ﾟC ");

    // Area 1: all four channels, every kind of value, a marked record.
    LogArea a1;
    a1.area = 1;
    a1.name = QStringLiteral("ﾃｽﾄ1");
    a1.worker = QStringLiteral("ﾀﾅｶ");
    a1.comment = QStringLiteral("ｹﾝｻ OK");
    a1.interval = QStringLiteral("00:00:10");
    a1.start = at(2013, 12, 10, 10, 0, 17);
    a1.stop = at(2013, 12, 10, 10, 1, 17);
    a1.channels[0] = channel(QStringLiteral("K"), degC, -200, 1370, 1, "  100", "  500", "  250");
    a1.channels[1] = channel(QStringLiteral("K"), degC, -200, 1370, 1, "-2000", "13700", "    0");
    a1.channels[2] = channel(QStringLiteral("E"), degC, -200, 700, 1, "-----", "-----", "-----");
    a1.channels[3] = channel(QStringLiteral("V"), QStringLiteral("V  "), -1000, 1000, 2, "-----", "-----", "-----");
    a1.records = {rec({"  235", "  240", "  -15", "  512"}),
                  rec({"  236", "32767", "  -12", "   12"}),
                  rec({"  237", "32766", "-----", "  -98"}, true),
                  rec({"  238", "  241", "    0", "32767"}),
                  rec({"  123", "  242", "    5", "    5"}),
                  rec({"-----", "  243", "   18", "  700"}, true),
                  rec({"  240", "  244", "   20", "-1000"})};
    s.areas.append(a1);

    // Area 2: CH1 and CH3 in use, CH2 and CH4 not.
    LogArea a2;
    a2.area = 2;
    a2.name = QStringLiteral("ｴﾘｱ2");
    a2.worker = QStringLiteral("ｽｽﾞｷ");
    a2.comment = QStringLiteral("ﾛｯﾄ12");
    a2.interval = QStringLiteral("00:01:00");
    a2.start = at(2013, 12, 10, 10, 0, 17);
    a2.stop = at(2013, 12, 10, 10, 4, 0);
    a2.channels[0] = channel(QStringLiteral("K"), degC, -200, 1370, 1, "-----", "-----", "-----");
    a2.channels[1] = unused();
    a2.channels[2] = channel(QStringLiteral("T"), degC, -200, 400, 1, " -500", " 3000", "  100");
    a2.channels[3] = unused();
    a2.records = {rec({"  101", "  201"}), rec({"  102", "  202"}, true), rec({"  103", "32767"}),
                  rec({"  104", "  204"}), rec({"  105", "  205"})};
    s.areas.append(a2);

    // Area 3: a single record.
    LogArea a3;
    a3.area = 3;
    a3.name = QStringLiteral("ONE");
    a3.interval = QStringLiteral("00:00:01");
    a3.start = at(2013, 12, 11, 8, 0, 0);
    a3.stop = at(2013, 12, 11, 8, 0, 0);
    a3.channels[0] = channel(QStringLiteral("J"), degC, -200, 700, 1, "-----", "-----", "-----");
    for (int c = 1; c < 4; ++c) a3.channels[c] = unused();
    a3.records = {rec({"  555"})};
    s.areas.append(a3);

    // Tag 1: two channels, four records.
    TagEntry t1;
    t1.tag = 1;
    t1.name = QStringLiteral("ﾀｸﾞ1");
    t1.channels[0] = channel(QStringLiteral("K"), degC, -200, 1370, 1, "  100", "  500", "-----");
    t1.channels[1] = channel(QStringLiteral("J"), degC, -200, 700, 1, "-----", "-----", "-----");
    t1.channels[2] = unused();
    t1.channels[3] = unused();
    t1.records = {tagRec(at(2013, 12, 10, 11, 0, 0), 1, 1, {"  250", "  300"}),
                  tagRec(at(2013, 12, 10, 11, 5, 30), 2, 3, {"32767", "  301"}),
                  tagRec(at(2013, 12, 10, 11, 7, 0), 3, 2, {"32766", "-----"}),
                  tagRec(at(2013, 12, 10, 11, 9, 59), 20, 20, {"   -5", "  302"})};
    s.tags.append(t1);

    // Tag 5: one channel, three records (one full group).
    TagEntry t5;
    t5.tag = 5;
    t5.name = QStringLiteral("ﾀｸﾞ5");
    t5.channels[0] = channel(QStringLiteral("T"), degC, -200, 400, 1, "-----", "-----", "-----");
    for (int c = 1; c < 4; ++c) t5.channels[c] = unused();
    t5.records = {tagRec(at(2013, 12, 12, 9, 0, 0), 1, 2, {"  111"}),
                  tagRec(at(2013, 12, 12, 9, 1, 0), 1, 2, {"  112"}),
                  tagRec(at(2013, 12, 12, 9, 2, 0), 2, 1, {"  113"})};
    s.tags.append(t5);

    s.defaults.area = 0;
    return s;
}

Scenario parseScenario(const QByteArray& text) {
    Scenario s;
    s.defaults.area = 0;
    enum class Block { None, Area, Tag } block = Block::None;
    int blockLine = 0;
    LogArea area;
    TagEntry tag;
    auto closeBlock = [&]() {
        if (block == Block::Area) s.areas.append(area);
        if (block == Block::Tag) s.tags.append(tag);
        block = Block::None;
    };
    auto chans = [&]() -> ChannelSetting* { return block == Block::Area ? area.channels : tag.channels; };
    auto inUse = [&]() { return block == Block::Area ? area.channelsInUse() : tag.channelsInUse(); };

    const QStringList lines = QString::fromUtf8(text).split(u'\n');
    for (int li = 0; li < lines.size(); ++li) {
        const int no = li + 1;
        const QString line = lines.at(li).trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        const QStringList w = tokens(line, no);
        const QString key = w.at(0);
        auto need = [&](int n) {
            if (w.size() < n + 1) fail(no, QStringLiteral("%1 needs %2 values").arg(key).arg(n));
        };
        auto listEntry = [&](QStringList& list) {
            need(2);
            const int n = toInt(w.at(1), no);
            if (n < 1 || n > 20) fail(no, QStringLiteral("list position out of 1-20"));
            while (list.size() < n) list.append(QString());
            list[n - 1] = w.at(2);
        };

        if (block != Block::None) {
            if (key == QStringLiteral("end")) {
                closeBlock();
            } else if (key == QStringLiteral("name")) {
                need(1);
                (block == Block::Area ? area.name : tag.name) = w.at(1);
            } else if (block == Block::Area && key == QStringLiteral("worker")) {
                need(1);
                area.worker = w.at(1);
            } else if (block == Block::Area && key == QStringLiteral("comment")) {
                need(1);
                area.comment = w.at(1);
            } else if (block == Block::Area && key == QStringLiteral("interval")) {
                need(1);
                if (!QTime::fromString(w.at(1), QStringLiteral("HH:mm:ss")).isValid() && w.at(1) != "24:00:00")
                    fail(no, QStringLiteral("interval must be hh:mm:ss"));
                area.interval = w.at(1);
            } else if (block == Block::Area && key == QStringLiteral("start")) {
                area.start = toTime(w, 1, no);
            } else if (block == Block::Area && key == QStringLiteral("stop")) {
                area.stop = toTime(w, 1, no);
            } else if (key == QStringLiteral("ch")) {
                need(6);
                const int c = toInt(w.at(1), no);
                if (c < 1 || c > 4) fail(no, QStringLiteral("channel out of 1-4"));
                ChannelSetting& ch = chans()[c - 1];
                static const QStringList types = {"K", "E", "J", "T", "V", "-"};
                if (!types.contains(w.at(2))) fail(no, QStringLiteral("input type must be K, E, J, T, V or -"));
                ch.type = w.at(2);
                ch.unit = w.at(3);
                ch.scaleMin = toInt(w.at(4), no);
                ch.scaleMax = toInt(w.at(5), no);
                ch.decimalPos = toInt(w.at(6), no);
                if (std::abs(ch.scaleMin) > 9999 || std::abs(ch.scaleMax) > 9999)
                    fail(no, QStringLiteral("scale values have four digits at most"));
                if (ch.decimalPos < 0 || ch.decimalPos > 9) fail(no, QStringLiteral("decimal position is one digit"));
                QString* raw[] = {&ch.lowAlarm, &ch.highAlarm, &ch.integrationBase};
                for (int k = 0; k < 3; ++k) {
                    QString v = w.size() > 7 + k ? w.at(7 + k) : QStringLiteral("-----");
                    if (!isRawValue(v)) fail(no, QStringLiteral("bad alarm or base value %1").arg(v));
                    *raw[k] = v;
                }
            } else if (key == QStringLiteral("rec") && block == Block::Area) {
                LogRecord r;
                QStringList vals = w.mid(1);
                if (!vals.isEmpty() && vals.last() == QStringLiteral("*")) {
                    r.mark = true;
                    vals.removeLast();
                }
                if (vals.size() != inUse()) fail(no, QStringLiteral("one value per channel in use expected"));
                for (const QString& v : vals)
                    if (!isRawValue(v)) fail(no, QStringLiteral("bad value %1").arg(v));
                r.values = vals;
                area.records.append(r);
            } else if (key == QStringLiteral("rec") && block == Block::Tag) {
                need(4);
                TagRecord r;
                r.time = toTime(w, 1, no);
                r.worker = toInt(w.at(3), no);
                r.comment = toInt(w.at(4), no);
                const QStringList vals = w.mid(5);
                if (vals.size() != inUse()) fail(no, QStringLiteral("one value per channel in use expected"));
                for (const QString& v : vals)
                    if (!isRawValue(v)) fail(no, QStringLiteral("bad value %1").arg(v));
                r.values = vals;
                tag.records.append(r);
            } else if (key == QStringLiteral("generate")) {
                need(1);
                const int n = toInt(w.at(1), no);
                if (n < 0) fail(no, QStringLiteral("negative count"));
                const int used = inUse();
                for (int i = 0; i < n; ++i) {
                    QStringList vals;
                    for (int c = 0; c < used; ++c) vals.append(generatedValue(i, c));
                    if (block == Block::Area) {
                        area.records.append(LogRecord{vals, i % 50 == 49});
                    } else {
                        TagRecord r;
                        r.time = at(2013, 12, 10, 0, 0, 0).addSecs(i * 60);
                        r.worker = i % 20 + 1;
                        r.comment = (i / 20) % 20 + 1;
                        r.values = vals;
                        tag.records.append(r);
                    }
                }
            } else {
                fail(no, QStringLiteral("unknown word %1 inside a block").arg(key));
            }
            continue;
        }

        if (key == QStringLiteral("serial")) {
            need(1);
            s.serial = w.at(1);
        } else if (key == QStringLiteral("model")) {
            need(1);
            s.model = w.at(1);
        } else if (key == QStringLiteral("versions")) {
            need(3);
            s.hardVer = toInt(w.at(1), no);
            s.softVer = toInt(w.at(2), no);
            s.specialSpec = toInt(w.at(3), no);
        } else if (key == QStringLiteral("mode")) {
            need(1);
            const QString m = w.at(1).toUpper();
            if (m == QStringLiteral("LOG")) s.mode = Mode::Log;
            else if (m == QStringLiteral("TAG")) s.mode = Mode::Tag;
            else if (m == QStringLiteral("MEMORY")) s.mode = Mode::Memory;
            else fail(no, QStringLiteral("mode must be LOG, TAG or MEMORY"));
        } else if (key == QStringLiteral("clock")) {
            s.clock = toTime(w, 1, no);
        } else if (key == QStringLiteral("offsets")) {
            need(4);
            for (int k = 0; k < 4; ++k) s.offsets[k] = w.at(1 + k);
        } else if (key == QStringLiteral("user-model")) {
            need(1);
            s.userModelName = w.at(1);
        } else if (key == QStringLiteral("memory")) {
            need(1);
            bool ok = false;
            s.remainingMemory = w.at(1).toLongLong(&ok);
            if (!ok) fail(no, QStringLiteral("not a number: %1").arg(w.at(1)));
        } else if (key == QStringLiteral("worker")) {
            listEntry(s.workers);
        } else if (key == QStringLiteral("comment")) {
            listEntry(s.comments);
        } else if (key == QStringLiteral("area") || key == QStringLiteral("tag")) {
            need(1);
            const int n = toInt(w.at(1), no);
            if (n < 1 || n > 20) fail(no, QStringLiteral("number out of 1-20"));
            blockLine = no;
            if (key == QStringLiteral("area")) {
                area = LogArea();
                area.area = n;
                block = Block::Area;
            } else {
                tag = TagEntry();
                tag.tag = n;
                block = Block::Tag;
            }
        } else {
            fail(no, QStringLiteral("unknown word %1").arg(key));
        }
    }
    if (block != Block::None) fail(blockLine, QStringLiteral("block not closed with end"));
    return s;
}

Scenario loadScenario(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) throw mq::IoError(QStringLiteral("cannot read %1").arg(path).toStdString());
    return parseScenario(f.readAll());
}

bool faultFromName(const QString& name, Fault* out) {
    static const struct {
        const char* name;
        Fault f;
    } names[] = {{"none", Fault::None},       {"silence", Fault::Silence},    {"nak", Fault::Nak},
                 {"garbled", Fault::Garbled}, {"cut-short", Fault::CutShort}, {"slow", Fault::SlowWithGaps},
                 {"paced", Fault::Paced},     {"bytes-before", Fault::BytesBeforeFrame}};
    for (const auto& n : names) {
        if (name == QLatin1String(n.name)) {
            *out = n.f;
            return true;
        }
    }
    return false;
}

}  // namespace logger_sim
