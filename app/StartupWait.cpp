#include "app/StartupWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTime>
#include <QTimer>

namespace {
constexpr int kSecondsPerDay = 24 * 60 * 60;
}

StartupWait::StartupWait() : StartupWait(&StartupWait::secondsSinceMidnight, &StartupWait::processEvents) {}

StartupWait::StartupWait(Clock clock, Pump pump) : clock_(std::move(clock)), pump_(std::move(pump)) {}

int StartupWait::elapsed(int start, int now)
{
    return ((now - start) % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay;
}

int StartupWait::run(int seconds)
{
    const int start = clock_();
    int pumps = 0;
    do {
        pump_();
        ++pumps;
    } while (elapsed(start, clock_()) <= seconds);
    return pumps;
}

int StartupWait::secondsSinceMidnight()
{
    return QTime::currentTime().msecsSinceStartOfDay() / 1000;
}

void StartupWait::processEvents()
{
    // Sleep in the event loop instead of spinning: a short timer wakes it when
    // nothing else does, so the clock is read a few times a second.
    QEventLoop loop;
    QTimer::singleShot(50, &loop, &QEventLoop::quit);
    loop.exec();
}
