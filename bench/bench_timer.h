// Timing for the benchmarks: the median of several runs, so one slow run does not decide.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string_view>
#include <vector>

namespace bench {

// Smoke mode (a "--smoke" argument) runs every measurement once on small data, so that CTest
// can prove the benchmark still works without spending time on figures.
inline bool IsSmokeRun(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--smoke") return true;
  }
  return false;
}

template <class Work>
double MedianSeconds(int repetitions, Work&& work) {
  std::vector<double> seconds;
  for (int i = 0; i < repetitions; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    seconds.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(seconds.begin(), seconds.end());
  return seconds[seconds.size() / 2];
}

// Keeps the optimizer from dropping a result nobody reads.
template <class T>
void KeepAlive(const T& value) {
  asm volatile("" : : "g"(&value) : "memory");
}

}  // namespace bench
