#pragma once
// Time and randomness come through these small interfaces, so that a test can say "on 5 March 2005 at 09:07"
// or fix the praise and the shuffles.
#include <random>

namespace tavola {

struct DateTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime now() const = 0;
};

class SystemClock : public Clock {
public:
    DateTime now() const override;
};

class FixedClock : public Clock {
public:
    explicit FixedClock(DateTime t) : time(t) {}
    DateTime now() const override { return time; }
    DateTime time;
};

class Random {
public:
    virtual ~Random() = default;
    // A uniformly random integer in [0, n); 0 when n <= 0.
    virtual int below(int n) = 0;
};

class SystemRandom : public Random {
public:
    SystemRandom();
    int below(int n) override;

private:
    std::mt19937 engine_;
};

// The process-wide clock and random source; tests may replace them.
Clock& systemClock();
Random& systemRandom();

} // namespace tavola
