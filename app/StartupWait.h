#pragma once

#include <functional>

// Keeps the splash window up for a few seconds while the window system's
// events go on being processed. The time is read as seconds since midnight,
// one-second resolution, so the wait lasts between `seconds` and `seconds` + 1;
// a reading smaller than the first one means the day has turned, so the wait
// ends after the same elapsed time at midnight as at any other time.
class StartupWait {
public:
    using Clock = std::function<int()>;  // seconds since midnight, 0..86399
    using Pump = std::function<void()>;  // processes pending events

    StartupWait();  // the system clock and the application's event loop
    StartupWait(Clock clock, Pump pump);

    // Waits until more than `seconds` have passed; returns how often it pumped.
    int run(int seconds = 3);

    // Seconds from `start` to `now`, both seconds since midnight, across midnight.
    static int elapsed(int start, int now);

    static int secondsSinceMidnight();
    static void processEvents();

private:
    Clock clock_;
    Pump pump_;
};
