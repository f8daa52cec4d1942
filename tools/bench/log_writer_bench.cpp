// lss_bench_log_writer FOLDER COUNT LENGTH
// Writes COUNT entries of LENGTH characters through the program's run log,
// with the real Win32 file system and clock, into a new file in FOLDER, and
// prints "entries=<n> length=<n> seconds=<s> entries_per_second=<n>".
// Exit code 0: printed; 2: bad arguments; 4: the log did not open; 5: a write
// failed to move to the end of the file.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "diag/exceptions.h"
#include "diag/run_log.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_file_system.h"

namespace {

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 2;
  const long count = std::wcstol(argv[2], nullptr, 10);
  const long length = std::wcstol(argv[3], nullptr, 10);
  if (count <= 0 || length <= 0) return 2;

  lss::Win32Clock clock;
  lss::Win32FileSystem files;
  lss::RunLog log;
  log.Open(clock, files, lss::FromWide(argv[1]));
  if (!log.IsOpen()) return 4;

  // Printable Latin-1 text without line breaks, so that only the length splits it.
  std::u16string message(static_cast<std::size_t>(length), u'x');
  for (std::size_t i = 0; i < message.size(); ++i) {
    message[i] = static_cast<char16_t>(u'a' + i % 26);
  }

  LARGE_INTEGER started;
  ::QueryPerformanceCounter(&started);
  try {
    for (long i = 0; i < count; ++i) log.Write(message);
  } catch (lss::CException* error) {
    error->Delete();
    return 5;
  }
  LARGE_INTEGER ended;
  ::QueryPerformanceCounter(&ended);

  const double seconds = Seconds(started, ended);
  std::printf("entries=%ld length=%ld seconds=%.3f entries_per_second=%.0f\n", count, length,
              seconds, static_cast<double>(count) / seconds);
  return 0;
}
