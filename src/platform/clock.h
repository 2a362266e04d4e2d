// The local date and time, behind a seam so that names stamped with it (the
// upgrade backups) can be tested.
#pragma once

namespace velmora {

struct LocalTime {
    int year = 0;
    int month = 0; // 1-12
    int day = 0;   // 1-31
    int hour = 0;  // 0-23
    int minute = 0;
    int second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime now() = 0;
};

// The system's local date and time now.
LocalTime systemLocalTime();

// The clock in use for the whole process: the system's until one is installed.
Clock& currentClock();
// Installs `clock` (nullptr restores the system clock); returns the previous one.
Clock* installClock(Clock* clock);

} // namespace velmora
