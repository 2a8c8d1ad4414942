#pragma once
// A recording reservation as the reservation dialog returns it and the LOG
// settings editor keeps it for its write.
#include <QString>
#include <QtGlobal>

namespace mq {

struct Reservation {
    // "yyyy/mm/dd hh:nn:ss"; "0000/00/00 00:00:00" is no start (at once) or
    // no stop (until the memory is full); empty is no reservation.
    QString start;
    QString stop;
    bool by_duration = false;  // the stop is a duration counted from the logger clock at sending
    qint16 dur_halfdays = 0;   // with by_duration: 12-hour steps (2 per whole day)
    QString dur_text;          // with by_duration: the rest below 24 hours, "hh:nn:ss"
    bool no_lead = false;      // with by_duration: no 2-second lead on the stop

    bool complete() const { return !start.isEmpty() && !stop.isEmpty(); }
};

}  // namespace mq
