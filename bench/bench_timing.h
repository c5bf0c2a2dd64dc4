// Timing one piece of work and printing it as a row of a benchmark's table.
#pragma once

#include <QElapsedTimer>
#include <cstdio>
#include <functional>

// Milliseconds the work took, once.
inline double Ms(const std::function<void()>& work) {
  QElapsedTimer timer;
  timer.start();
  work();
  return timer.nsecsElapsed() / 1e6;
}

inline void Row(const char* what, double ms) { std::printf("  %-52s %9.1f ms\n", what, ms); }
