// lss_bench_peak_memory PROGRAM
// Starts PROGRAM without arguments, watches it until it ends and prints its
// peak memory as "peak_working_set=<bytes> peak_pagefile=<bytes>".
// Exit code 0: printed; 2: bad arguments; 3: the start failed; 4: no figures.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "handles/win32_handles.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  // The program's own name as its argv[0]: quoted, it holds no quote itself.
  std::wstring commandLine = L"\"" + std::wstring(argv[1]) + L"\"";

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  if (!::CreateProcessW(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &started)) {
    return 3;
  }
  const lss::UniqueHandle process(started.hProcess);
  const lss::UniqueHandle thread(started.hThread);

  // The peaks only grow, so the last reading before the end holds them. It
  // is taken while the program runs: Wine reads them from the live process,
  // and after its end they read as zero.
  PROCESS_MEMORY_COUNTERS counters{};
  bool read = false;
  do {
    PROCESS_MEMORY_COUNTERS now{};
    now.cb = sizeof(now);
    if (::K32GetProcessMemoryInfo(process.get(), &now, sizeof(now)) &&
        now.PeakWorkingSetSize >= counters.PeakWorkingSetSize) {
      counters = now;
      read = true;
    }
  } while (::WaitForSingleObject(process.get(), 1) == WAIT_TIMEOUT);
  if (!read || counters.PeakWorkingSetSize == 0) return 4;
  std::printf("peak_working_set=%llu peak_pagefile=%llu\n",
              static_cast<unsigned long long>(counters.PeakWorkingSetSize),
              static_cast<unsigned long long>(counters.PeakPagefileUsage));
  return 0;
}
