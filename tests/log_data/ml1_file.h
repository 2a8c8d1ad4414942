#pragma once
// An older ".ML1" LOG data file built field by field, for the tests that
// open one (the file reader's own tests build theirs byte by byte).
#include <gtest/gtest.h>

#include <QByteArray>

#include <array>
#include <vector>

#include "main_window/scrambling.h"

namespace mq::test {

// The body of an ".ML1" file, field by field.
struct Ml1Body {
    QByteArray bytes;
    void put(const char* text, int width) {
        QByteArray t(text);
        t = t.left(width);
        while (t.size() < width) t.append(' ');
        bytes.append(t);
    }
    void right(const char* text, int width) {
        QByteArray t(text);
        while (t.size() < width) t.prepend(' ');
        bytes.append(t);
    }
};

// A file of the channels CH1 K (alarms 10.0/30.0), CH2 unused, CH3 V with
// two decimals, CH4 T (high alarm 100.0), with the records given as
// {time, CH1, CH2, CH3, CH4, flag}.
inline QByteArray ml1File(const std::vector<std::array<const char*, 6>>& records, const char* logName = "PWLOG",
                   const char* worker = "WP&1", int countInHeader = -1) {
    Ml1Body b;
    b.put("MQ-1000", 8);
    b.put("01", 2);
    b.put("02", 2);
    b.put("00", 2);
    b.put("S0001234", 8);
    b.put("OVEN", 8);
    b.put("03", 2);
    b.put(logName, 8);
    b.put("24/01/15 10:00:17", 17);
    b.put(records.empty() ? "24/01/15 10:00:17" : records.back()[0], 17);
    b.put("00:01:00", 8);
    b.put(worker, 8);
    b.put("NOTE", 8);
    for (int ch = 0; ch < 4; ++ch) b.right("0.0", 5);
    b.put("K-VT", 4);
    b.put("   ", 3);
    b.put("   ", 3);
    b.put("mV ", 3);
    b.put("   ", 3);
    for (const char* v : {"-200", "0", "0", "-200"}) b.right(v, 6);
    for (const char* v : {"1370", "0", "500", "400"}) b.right(v, 6);
    b.put("1121", 4);
    for (const char* v : {"10.0", "------", "0.00", "------"}) b.right(v, 6);
    for (const char* v : {"30.0", "------", "1.00", "100.0"}) b.right(v, 6);
    for (const char* v : {"20.0", "------", "0.00", "0.0"}) b.right(v, 6);
    b.right(QByteArray::number(countInHeader >= 0 ? countInHeader : int(records.size())).constData(), 8);
    for (const auto& r : records) {
        b.put(r[0], 17);
        for (int ch = 1; ch <= 4; ++ch) b.right(r[size_t(ch)], 6);
        b.put(r[5], 1);
    }
    for (const char* v : {"1.0", "", "0.10", "1.0"}) b.right(v, 6);    // minimum
    for (const char* v : {"99.9", "", "9.99", "99.9"}) b.right(v, 6);  // maximum
    for (const char* v : {"28.2", "", "0.87", "50.0"}) b.right(v, 6);  // average
    for (const char* v : {"1.5", "", "", "2.5"}) b.right(v, 9);        // L integration
    for (const char* v : {"12.5", "", "", "3.5"}) b.right(v, 9);       // H integration
    EXPECT_EQ(b.bytes.size(), 266 + 42 * qsizetype(records.size()) + 144);
    const QByteArray line1 = data_disk_angou_load_1(QByteArray("MARROWQUILL LOG DATA LD01-010100"));
    return line1 + "\r\n" + data_disk_angou_load_1(b.bytes) + "\r\n";
}

}  // namespace mq::test
