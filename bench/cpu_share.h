// The process's CPU time, and its share of one core while the event loop runs.
#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <sys/resource.h>

namespace popchan::bench {

inline double cpu_seconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Runs the event loop for `seconds` and reports CPU use over that time, in
// per cent of one core.
inline double cpu_share_over(double seconds) {
    const double cpu0 = cpu_seconds();
    QElapsedTimer wall;
    wall.start();
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
    return 100 * (cpu_seconds() - cpu0) / (wall.nsecsElapsed() / 1e9);
}

} // namespace popchan::bench
