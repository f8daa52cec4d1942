// lss_bench_clock_resolution
// Prints the smallest step seen between successive readings of the clocks a
// timestamp can come from (in 100 ns units), and the performance counter's
// frequency: "precise_step=<n> coarse_step=<n> qpc_frequency=<n>".
#include <windows.h>

#include <cstdio>

namespace {

constexpr int kSteps = 200;  // steps observed per clock

unsigned long long Ticks(const FILETIME& time) {
  return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Spins until the clock moves, kSteps times, and keeps the smallest move.
template <typename ReadClock>
unsigned long long SmallestStep(ReadClock read) {
  unsigned long long smallest = ~0ull;
  unsigned long long last = read();
  for (int seen = 0; seen < kSteps;) {
    const unsigned long long now = read();
    if (now == last) continue;
    if (now > last && now - last < smallest) smallest = now - last;
    last = now;
    ++seen;
  }
  return smallest;
}

}  // namespace

int wmain() {
  const unsigned long long precise = SmallestStep([] {
    FILETIME now;
    ::GetSystemTimePreciseAsFileTime(&now);
    return Ticks(now);
  });
  const unsigned long long coarse = SmallestStep([] {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return Ticks(now);
  });
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  std::printf("precise_step=%llu coarse_step=%llu qpc_frequency=%lld\n", precise, coarse,
              static_cast<long long>(frequency.QuadPart));
  return 0;
}
