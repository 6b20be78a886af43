// Memory figures for the benchmarks (Linux): how much a piece of work adds to the process's
// peak resident memory, measured in a child process so that earlier work does not hide it.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

namespace bench {

// A field of /proc/self/status in KiB ("VmRSS", "VmHWM").
inline int64_t StatusKilobytes(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field + ":", 0) == 0) return std::stoll(line.substr(field.size() + 1));
  }
  return -1;
}

// Runs Work in a forked child and returns the growth of the child's peak resident memory over
// its resident memory at the start, in bytes; -1 when that cannot be measured.
template <class Work>
int64_t PeakMemoryGrowth(Work&& work) {
  int pipe_ends[2];
  if (::pipe(pipe_ends) != 0) return -1;
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe_ends[0]);
    const int64_t start = StatusKilobytes("VmRSS");
    work();
    const int64_t growth = (StatusKilobytes("VmHWM") - start) * 1024;
    if (::write(pipe_ends[1], &growth, sizeof growth) != sizeof growth) _exit(1);
    _exit(0);
  }
  ::close(pipe_ends[1]);
  int64_t growth = -1;
  if (::read(pipe_ends[0], &growth, sizeof growth) != sizeof growth) growth = -1;
  ::close(pipe_ends[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  return growth;
}

}  // namespace bench
