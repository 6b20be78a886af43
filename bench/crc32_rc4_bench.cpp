// Throughput of the package checksum (CRC32) and cipher (RC4) on a 64 MiB buffer, beside zlib's
// crc32 over the same buffer in the same run. Prints figures; asserts nothing.
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#include "bench/bench_timer.h"
#include "support/crypto.h"
#include "support/hashes.h"

int main(int argc, char** argv) {
  const bool smoke = bench::IsSmokeRun(argc, argv);
  const size_t size = smoke ? (1u << 20) : (64u << 20);
  const int repetitions = smoke ? 1 : 7;

  std::vector<uint8_t> buffer(size);
  std::mt19937_64 random(42);
  for (size_t i = 0; i + 8 <= size; i += 8) {
    const uint64_t word = random();
    for (int b = 0; b < 8; ++b) buffer[i + b] = static_cast<uint8_t>(word >> (8 * b));
  }

  const TVYNHashCRC32 crc;
  const double ours = bench::MedianSeconds(repetitions, [&] {
    THashState state;
    crc.Initialize(state);
    crc.Update(state, buffer.data(), buffer.size());
    bench::KeepAlive(crc.Finalize(state));
  });
  const double zlib = bench::MedianSeconds(repetitions, [&] {
    bench::KeepAlive(crc32_z(crc32_z(0, nullptr, 0), buffer.data(), buffer.size()));
  });
  std::vector<uint8_t> output(size);
  const double rc4 = bench::MedianSeconds(repetitions, [&] {
    TRC4State state;
    TRC4::Initialize(state, MakePackageKey());
    TRC4::Crypt(state, buffer.data(), output.data(), static_cast<int64_t>(size));
    bench::KeepAlive(output[size - 1]);
  });

  const double megabytes = static_cast<double>(size) / (1 << 20);
  std::printf("buffer: %.0f MiB, median of %d runs\n", megabytes, repetitions);
  std::printf("CRC32 (ours)     %8.1f MiB/s\n", megabytes / ours);
  std::printf("crc32 (zlib)     %8.1f MiB/s\n", megabytes / zlib);
  std::printf("RC4              %8.1f MiB/s\n", megabytes / rc4);
  std::printf("CRC32 speed relative to zlib: %.2fx (aim: at least 0.80x)\n", zlib / ours);
  return 0;
}
