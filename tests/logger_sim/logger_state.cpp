#include "logger_state.h"

#include <QDir>
#include <QFile>

#include <iconv.h>

namespace logger_sim {

namespace {

constexpr char STX = 0x02;
constexpr char ETX = 0x03;

QByteArray ackReply() { return QByteArray("\x06\r\n", 3); }
QByteArray nakReply() { return QByteArray("\x15\r\n", 3); }

QByteArray frame(const QByteArray& body) {
    QByteArray r;
    r.reserve(body.size() + 4);
    r.append(STX).append(body).append(ETX).append("\r\n");
    return r;
}

// Two digits with a leading zero (the last two kept).
QByteArray two(int v) { return QByteArray::number(100 + (v % 100)).right(2); }

QByteArray digits(qint64 v, int width) {
    QByteArray s = QByteArray::number(v < 0 ? 0 : v);
    if (s.size() > width) s = s.right(width);
    return QByteArray(width - s.size(), '0') + s;
}

// yymmddhhnnss; twelve zeros for no time.
QByteArray stamp12(const QDateTime& t) {
    if (!t.isValid()) return QByteArray(12, '0');
    const QDate d = t.date();
    const QTime h = t.time();
    return two(d.year()) + two(d.month()) + two(d.day()) + two(h.hour()) + two(h.minute()) + two(h.second());
}

QDateTime fromStamp12(const QByteArray& s) {
    if (s == QByteArray(12, '0')) return {};
    const QDate d(2000 + s.mid(0, 2).toInt(), s.mid(2, 2).toInt(), s.mid(4, 2).toInt());
    const QTime h(s.mid(6, 2).toInt(), s.mid(8, 2).toInt(), s.mid(10, 2).toInt());
    if (!d.isValid() || !h.isValid()) return {};
    return QDateTime(d, h);
}

bool allDigits(const QByteArray& s) {
    if (s.isEmpty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// The number in characters 7-8 of a command (1-based), or -1.
int numberField(const QByteArray& command) {
    const QByteArray nn = command.mid(6, 2);
    return nn.size() == 2 && allDigits(nn) ? nn.toInt() : -1;
}

QByteArray rawValue(const QString& v) { return fitRight(toWire(v), 5); }

// Channel fields common to both setting records: type, unit, scales, decimal
// position and the two alarms (32 characters with the trailing comma).
QByteArray channelFields(const ChannelSetting& c) {
    QByteArray b;
    b += fitLeft(c.type, 1) + ',' + fitLeft(c.unit, 3) + ',' + scaleText(c.scaleMin) + ',' + scaleText(c.scaleMax) +
         ',' + digits(c.decimalPos, 1) + ',' + rawValue(c.lowAlarm) + ',' + rawValue(c.highAlarm) + ',';
    return b;
}

QByteArray logValue(const QStringList& values, int i) {
    return rawValue(i < values.size() ? values.at(i) : QStringLiteral("-----"));
}

}  // namespace

// ---- texts -------------------------------------------------------------

QByteArray toWire(const QString& text) {
    // ASCII is its own CP932 (values, numbers: most of what is sent).
    bool ascii = true;
    for (const QChar c : text) ascii = ascii && c.unicode() < 0x80;
    if (ascii) return text.toLatin1();
    const QByteArray in = text.toUtf8();
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return text.toLatin1();
    QByteArray out(in.size() * 2 + 4, '\0');
    char* src = const_cast<char*>(in.constData());
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    while (srcLeft > 0) {
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) {
            // A character without a code: the logger shows a blank there.
            *dst++ = ' ';
            --dstLeft;
            // skip one UTF-8 sequence
            int len = 1;
            const unsigned char c = static_cast<unsigned char>(*src);
            if (c >= 0xF0) len = 4;
            else if (c >= 0xE0) len = 3;
            else if (c >= 0xC0) len = 2;
            len = std::min<int>(len, static_cast<int>(srcLeft));
            src += len;
            srcLeft -= len;
        }
    }
    iconv_close(cd);
    out.truncate(out.size() - static_cast<int>(dstLeft));
    return out;
}

QString fromWire(const QByteArray& bytes) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) return QString::fromLatin1(bytes);
    QByteArray out(bytes.size() * 4 + 4, '\0');
    char* src = const_cast<char*>(bytes.constData());
    size_t srcLeft = bytes.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    while (srcLeft > 0) {
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) {
            *dst++ = '?';
            --dstLeft;
            ++src;
            --srcLeft;
        }
    }
    iconv_close(cd);
    out.truncate(out.size() - static_cast<int>(dstLeft));
    return QString::fromUtf8(out);
}

QByteArray fitLeft(const QString& text, int width) {
    QByteArray b = toWire(text);
    if (b.size() > width) {
        // Never leave half of a two-byte character at the end.
        int i = 0;
        while (i < b.size()) {
            const unsigned char c = static_cast<unsigned char>(b.at(i));
            const int step = ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) ? 2 : 1;
            if (i + step > width) break;
            i += step;
        }
        b.truncate(i);
    }
    return b + QByteArray(width - b.size(), ' ');
}

QByteArray fitRight(const QByteArray& text, int width) {
    if (text.size() >= width) return text.right(width);
    return QByteArray(width - text.size(), ' ') + text;
}

QByteArray scaleText(int value) {
    if (value < 0) return '-' + digits(-static_cast<qint64>(value), 4);
    return ' ' + digits(value, 4);
}

int logDataLength(int records, int channels) {
    const int q = records / 3, r = records % 3;
    int len = q * (15 * channels + 14);
    if (r == 1) len += 5 * channels + 12;
    if (r == 2) len += 10 * channels + 13;
    return len;
}

int tagDataLength(int records, int channels) {
    const int q = records / 3, r = records % 3;
    int len = q * (15 * channels + 59);
    if (r == 1) len += 5 * channels + 27;
    if (r == 2) len += 10 * channels + 43;
    return len;
}

// ---- command tables ----------------------------------------------------

QByteArray CommandTables::stripLine(const QByteArray& line) {
    if (line.isEmpty() || line.at(0) != STX) return {};
    const int etx = line.indexOf(ETX, 1);
    if (etx < 0) return {};
    return line.mid(1, etx - 1);
}

bool CommandTables::load(const QString& dir, QString* error) {
    struct File {
        const char* name;
        QList<QByteArray>* req;
        QList<int>* rsp;
    };
    const File files[] = {{"L_R_CMD", &logReq, &logRsp},          {"T_R_CMD", &tagReq, &tagRsp},
                          {"S_CMD", &statusReq, &statusRsp},       {"K_P_CMD", &listWriteReq, nullptr},
                          {"R_P_CMD", &settingWriteReq, nullptr}};
    auto readLines = [&](const QString& path, QList<QByteArray>* out) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            if (error) *error = QStringLiteral("cannot read %1").arg(path);
            return false;
        }
        const QList<QByteArray> lines = f.readAll().split('\n');
        for (int i = 0; i < lines.size(); ++i) {
            QByteArray line = lines.at(i);
            if (line.endsWith('\r')) line.chop(1);
            if (line.isEmpty() && i == lines.size() - 1) break;  // after the last CR LF
            const QByteArray text = stripLine(line);
            if (text.isEmpty()) {
                if (error) *error = QStringLiteral("%1: line %2 is not framed").arg(path).arg(i + 1);
                return false;
            }
            out->append(text);
        }
        return true;
    };
    for (const File& f : files) {
        f.req->clear();
        if (!readLines(QDir(dir).filePath(QString::fromLatin1(f.name) + ".REQ"), f.req)) return false;
        if (f.rsp) {
            QList<QByteArray> lens;
            if (!readLines(QDir(dir).filePath(QString::fromLatin1(f.name) + ".RSP"), &lens)) return false;
            f.rsp->clear();
            for (const QByteArray& l : lens) f.rsp->append(l.toInt());
        }
    }
    return true;
}

const QList<QByteArray>& CommandTables::requests(Table t) const {
    switch (t) {
    case Table::LogRead: return logReq;
    case Table::TagRead: return tagReq;
    case Table::Status: return statusReq;
    case Table::ListWrite: return listWriteReq;
    case Table::SettingWrite: return settingWriteReq;
    }
    return logReq;
}

int CommandTables::replyLength(Table t, int entry) const {
    const QList<int>* l = nullptr;
    switch (t) {
    case Table::LogRead: l = &logRsp; break;
    case Table::TagRead: l = &tagRsp; break;
    case Table::Status: l = &statusRsp; break;
    case Table::ListWrite:
    case Table::SettingWrite: return entry < requests(t).size() ? 3 : -1;
    }
    return entry >= 0 && entry < l->size() ? l->at(entry) : -1;
}

// ---- state ---------------------------------------------------------------

int LogArea::channelsInUse() const {
    int n = 0;
    for (const auto& c : channels) n += c.inUse() ? 1 : 0;
    return n;
}

int TagEntry::channelsInUse() const {
    int n = 0;
    for (const auto& c : channels) n += c.inUse() ? 1 : 0;
    return n;
}

LoggerState::LoggerState(CommandTables tables, Scenario s) : t_(std::move(tables)), s_(std::move(s)) { startClock(); }

void LoggerState::startClock() {
    clockBase_ = s_.clock.isValid() ? s_.clock : QDateTime();
    clockRun_.start();
}

void LoggerState::freezeClock(const QDateTime& at) {
    if (at.isValid()) {
        frozenAt_ = at;
        return;
    }
    if (frozenAt_.isValid()) {
        clockBase_ = frozenAt_;
        clockRun_.start();
        frozenAt_ = QDateTime();
    }
}

QDateTime LoggerState::now() const {
    if (frozenAt_.isValid()) return frozenAt_;
    if (!clockBase_.isValid()) return QDateTime::currentDateTime();
    return clockBase_.addMSecs(clockRun_.elapsed());
}

std::optional<CommandId> LoggerState::identify(const QByteArray& command) const {
    if (command.size() < 6) return std::nullopt;
    const QByteArray head = command.left(6);
    for (Table t : {Table::LogRead, Table::TagRead, Table::Status, Table::ListWrite, Table::SettingWrite}) {
        const auto& req = t_.requests(t);
        for (int i = 0; i < req.size(); ++i)
            if (req.at(i).left(6) == head) return CommandId{t, i};
    }
    return std::nullopt;
}

bool LoggerState::wellFormed(const CommandId& id, const QByteArray& command) const {
    const QByteArray& tmpl = t_.requests(id.table).at(id.entry);
    // Every command goes out at the full length of its template.
    if (command.size() != tmpl.size()) return false;
    const bool numbered = (id.table == Table::LogRead || id.table == Table::TagRead) ||
                          (id.table == Table::Status && (id.entry == 16 || id.entry == 17)) ||
                          (id.table == Table::ListWrite && (id.entry == 9 || id.entry == 10)) ||
                          (id.table == Table::SettingWrite && id.entry >= 5 && id.entry <= 8) ||
                          (id.table == Table::SettingWrite && id.entry <= 1);
    if (numbered && tmpl.size() >= 8) {
        const int n = numberField(command);
        if (n < 0 || n > 20) return false;
        const bool list = (id.table == Table::Status) || (id.table == Table::ListWrite);
        if (list && n == 0) return false;
    }
    if (id.table == Table::ListWrite && id.entry == 1) return allDigits(command.mid(6, 12));
    if (id.table == Table::SettingWrite && id.entry <= 1) return allDigits(command.mid(9, 12));
    if (id.table == Table::SettingWrite && id.entry == 8) return allDigits(command.mid(9, 6));
    return true;
}

LogArea LoggerState::area(int n) const {
    if (n == 0) return s_.defaults;
    for (const LogArea& a : s_.areas)
        if (a.area == n) return a;
    LogArea empty;
    empty.area = n;
    return empty;
}

TagEntry LoggerState::tag(int n) const {
    for (const TagEntry& t : s_.tags)
        if (t.tag == n) return t;
    TagEntry empty;
    empty.tag = n;
    if (n == 0) {
        for (int i = 0; i < 4; ++i) empty.channels[i] = s_.defaults.channels[i];
        empty.name = s_.defaults.name;
    }
    return empty;
}

LogArea* LoggerState::areaForWrite(int n) {
    if (n == 0) return &s_.defaults;
    for (LogArea& a : s_.areas)
        if (a.area == n) return &a;
    LogArea a;
    a.area = n;
    s_.areas.append(a);
    return &s_.areas.last();
}

TagEntry* LoggerState::tagForWrite(int n) {
    for (TagEntry& t : s_.tags)
        if (t.tag == n) return &t;
    TagEntry t;
    t.tag = n;
    s_.tags.append(t);
    return &s_.tags.last();
}

// ---- records ---------------------------------------------------------------

QByteArray LoggerState::identityRecord() const { return frame("S00" + fitLeft(s_.serial, 8)); }

QByteArray LoggerState::modelRecord() const {
    return frame("S01" + fitLeft(s_.model, 8) + ',' + two(s_.hardVer) + ',' + two(s_.softVer) + ',' +
                 two(s_.specialSpec));
}

QByteArray LoggerState::modeRecord() const { return frame("S03M=" + QByteArray::number(static_cast<int>(s_.mode))); }

QByteArray LoggerState::clockRecord() const { return frame("S04" + stamp12(now())); }

QByteArray LoggerState::offsetRecord() const {
    QByteArray b = "S05";
    for (int k = 0; k < 4; ++k) {
        if (k) b += ',';
        b += fitRight(toWire(s_.offsets[k]), 4);
    }
    return frame(b);
}

QByteArray LoggerState::userModelRecord() const { return frame("S11" + fitLeft(s_.userModelName, 8)); }

QByteArray LoggerState::memoryRecord() const { return frame("S12" + digits(s_.remainingMemory, 8)); }

QByteArray LoggerState::listEntryRecord(int entry, int n) const {
    const QStringList& list = entry == 16 ? s_.workers : s_.comments;
    const QString text = n >= 1 && n <= list.size() ? list.at(n - 1) : QString();
    return frame('S' + two(entry) + two(n) + ',' + fitLeft(text, 8));
}

QByteArray LoggerState::logSettingRecord(int n) const {
    const LogArea a = area(n);
    const QByteArray interval = fitLeft(a.interval, 8);
    QByteArray b = "L00" + two(n) + ',' + fitLeft(a.name, 8) + ',' + interval.mid(0, 2) + interval.mid(3, 2) +
                   interval.mid(6, 2) + ',' + fitLeft(a.worker, 8) + ',' + fitLeft(a.comment, 8) + ',' +
                   stamp12(a.start) + ',' + stamp12(a.stop) + ',' + digits(a.records.size(), 8) + ',' +
                   digits(a.channelsInUse(), 1);
    for (int c = 0; c < 4; ++c) {
        const ChannelSetting& ch = a.channels[c];
        b += channelFields(ch) + rawValue(ch.integrationBase);  // 37 characters
        if (c == 1) b += ",         ,";                            // ten spare characters before CH3
        else if (c < 3) b += ',';
    }
    return frame(b);
}

QByteArray LoggerState::logCountRecord(int n) const { return frame("L03" + two(n) + ',' + digits(area(n).records.size(), 8)); }

QByteArray LoggerState::logDataReply(int n) const {
    const LogArea a = area(n);
    QList<int> used;
    for (int c = 0; c < 4; ++c)
        if (a.channels[c].inUse()) used.append(c);
    const int count = a.records.size();
    QByteArray out;
    out.reserve(logDataLength(count, used.size()) + 11);
    int i = 0;
    do {
        QByteArray g = "L01" + two(n) + ',';
        const int end = std::min(count, i + 3);
        for (; i < end; ++i) {
            const LogRecord& r = a.records.at(i);
            for (int k = 0; k < used.size(); ++k) g += logValue(r.values, k);
            g += r.mark ? '1' : '0';
        }
        g += i < count ? 'C' : 'E';
        out += frame(g);
    } while (i < count);
    return out;
}

QByteArray LoggerState::tagSettingRecord(int n) const {
    const TagEntry t = tag(n);
    QByteArray b = "T00" + two(n) + ',' + fitLeft(t.name, 8) + ',' + digits(t.records.size(), 8) + ',' +
                   digits(t.channelsInUse(), 1);
    for (int c = 0; c < 4; ++c) {
        b += channelFields(t.channels[c]);  // 32 characters
        if (c == 1) b += "         ,";       // ten spare characters before CH3
    }
    return frame(b);
}

QByteArray LoggerState::tagCountRecord(int n) const { return frame("T03" + two(n) + ',' + digits(tag(n).records.size(), 8)); }

QByteArray LoggerState::tagDataReply(int n) const {
    const TagEntry t = tag(n);
    const int used = t.channelsInUse();
    const int count = t.records.size();
    QByteArray out;
    out.reserve(tagDataLength(count, used) + 11);
    int i = 0;
    do {
        QByteArray g = "T01" + two(n) + ',';
        const int end = std::min(count, i + 3);
        for (; i < end; ++i) {
            const TagRecord& r = t.records.at(i);
            for (int k = 0; k < used; ++k) g += logValue(r.values, k);
            g += stamp12(r.time) + two(r.worker) + two(r.comment);
        }
        g += i < count ? 'C' : 'E';
        out += frame(g);
    } while (i < count);
    return out;
}

QByteArray LoggerState::reservedRecord(Table t, int entry) const {
    const char letter = t == Table::LogRead ? 'L' : t == Table::TagRead ? 'T' : 'S';
    return frame(letter + two(entry) + QByteArray(8, '0'));
}

// ---- dispatch --------------------------------------------------------------

QByteArray LoggerState::reply(const QByteArray& command) const {
    const auto id = identify(command);
    if (!id || !wellFormed(*id, command)) return nakReply();
    const int n = numberField(command);
    switch (id->table) {
    case Table::LogRead:
        switch (id->entry) {
        case 0: return logSettingRecord(n);
        case 1: return logDataReply(n);
        case 3: return logCountRecord(n);
        default: return reservedRecord(id->table, id->entry);
        }
    case Table::TagRead:
        switch (id->entry) {
        case 0: return tagSettingRecord(n);
        case 1: return tagDataReply(n);
        case 3: return tagCountRecord(n);
        default: return reservedRecord(id->table, id->entry);
        }
    case Table::Status:
        switch (id->entry) {
        case 0: return identityRecord();
        case 1: return modelRecord();
        case 3: return modeRecord();
        case 4: return clockRecord();
        case 5: return offsetRecord();
        case 11: return userModelRecord();
        case 12: return memoryRecord();
        case 16:
        case 17: return listEntryRecord(id->entry, n);
        default: return reservedRecord(id->table, id->entry);
        }
    case Table::ListWrite:
    case Table::SettingWrite: return ackReply();
    }
    return nakReply();
}

void LoggerState::apply(const QByteArray& command) {
    const auto id = identify(command);
    if (!id || !wellFormed(*id, command)) return;
    const int n = numberField(command);
    if (id->table == Table::ListWrite) {
        switch (id->entry) {
        case 1: {
            const QDateTime t = fromStamp12(command.mid(6, 12));
            if (t.isValid()) {
                clockBase_ = t;
                clockRun_.start();
            }
            break;
        }
        case 8: s_.userModelName = fromWire(command.mid(6, 8)); break;
        case 9:
        case 10: {
            QStringList& list = id->entry == 9 ? s_.workers : s_.comments;
            while (list.size() < n) list.append(QString());
            list[n - 1] = fromWire(command.mid(9, 8));
            break;
        }
        default: break;
        }
        return;
    }
    if (id->table != Table::SettingWrite) return;
    // Channel settings go to a tag in TAG mode and to an area otherwise;
    // number 00 holds the PC-side defaults.
    const bool toTag = s_.mode == Mode::Tag && (id->entry == 5 || id->entry == 6);
    // A setting or a reservation start written to an area or tag deletes what
    // it has recorded (the program asks the user first): it holds no records
    // and no recording times until it records again. The defaults hold none.
    if (n > 0 && (id->entry == 0 || (id->entry >= 5 && id->entry <= 8))) {
        if (toTag) {
            tagForWrite(n)->records.clear();
        } else {
            LogArea* a = areaForWrite(n);
            a->records.clear();
            a->start = a->stop = QDateTime();
        }
    }
    auto channelsOf = [&]() -> ChannelSetting* {
        if (n == 0) return s_.defaults.channels;
        return toTag ? tagForWrite(n)->channels : areaForWrite(n)->channels;
    };
    ChannelSetting* ch = id->entry >= 5 && id->entry <= 7 ? channelsOf() : nullptr;
    switch (id->entry) {
    case 0: areaForWrite(n)->start = fromStamp12(command.mid(9, 12)); break;
    case 1: areaForWrite(n)->stop = fromStamp12(command.mid(9, 12)); break;
    case 5:
        for (int j = 0; j < 4; ++j) {
            const QByteArray blk = command.mid(9 + 20 * j, 20);
            ch[j].type = fromWire(blk.mid(0, 1));
            ch[j].unit = fromWire(blk.mid(2, 3));
            ch[j].scaleMin = blk.mid(6, 5).trimmed().toInt();
            ch[j].scaleMax = blk.mid(12, 5).trimmed().toInt();
            ch[j].decimalPos = blk.mid(18, 1).toInt();
        }
        break;
    case 6:
        for (int j = 0; j < 4; ++j) {
            const QByteArray blk = command.mid(9 + 12 * j, 12);
            ch[j].lowAlarm = fromWire(blk.mid(0, 5));
            ch[j].highAlarm = fromWire(blk.mid(6, 5));
        }
        break;
    case 7:
        for (int j = 0; j < 4; ++j) ch[j].integrationBase = fromWire(command.mid(9 + 6 * j, 5));
        break;
    case 8: {
        const QByteArray f = command.mid(9, 6);
        LogArea* a = n == 0 ? &s_.defaults : areaForWrite(n);
        a->interval = QString::fromLatin1(f.mid(0, 2) + ':' + f.mid(2, 2) + ':' + f.mid(4, 2));
        break;
    }
    default: break;
    }
}

}  // namespace logger_sim
