// The one clock the benchmark programs time with: a monotonic stopwatch started when it is
// made, read in milliseconds or seconds, restartable.
#pragma once

#include <chrono>

namespace bench {

class Stopwatch {
 public:
  void Restart() { m_start = std::chrono::steady_clock::now(); }
  double Seconds() const { return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count(); }
  double Milliseconds() const { return Seconds() * 1000.0; }
  double Microseconds() const { return Seconds() * 1e6; }

 private:
  std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

}  // namespace bench
