#pragma once

#include <QTime>

namespace zelvora {

// The time of day, reached through an interface so that tests can move it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double SecondsSinceMidnight() const = 0;
};

class SystemClock : public Clock {
public:
    double SecondsSinceMidnight() const override { return QTime::currentTime().msecsSinceStartOfDay() / 1000.0; }
};

} // namespace zelvora
