// lss_log_writer FOLDER LABEL COUNT GO_EVENT
// Writes COUNT entries "writer LABEL entry NNNN ..." through the program's run
// log into FOLDER, starting when the named event GO_EVENT is set; it tells it
// waits there by releasing the named semaphore GO_EVENT + "Ready" once. Its clock
// stands still, so every writer opens the same file, Scheduler061226164509.log.
// Exit code 0: all written; 2: bad arguments; 3: no go; 4: the log did not open;
// 5: a write failed to move to the end of the file.
#include <windows.h>

#include <cwchar>
#include <string>

#include "diag/exceptions.h"
#include "diag/run_log.h"
#include "handles/win32_handles.h"
#include "platform/win32/win32_file_system.h"

namespace {

// 6 December 2026, 16:45:09 local time, forever.
class StoppedClock final : public lss::Clock {
 public:
  std::int64_t Now() override { return 1796575509; }
  bool ToLocal(std::int64_t, lss::LocalTime* out) override {
    *out = lss::LocalTime{2026, 12, 6, 16, 45, 9};
    return true;
  }
  void Sleep(std::uint32_t milliseconds) override { ::Sleep(milliseconds); }
};

std::u16string ToUtf16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 5) return 2;
  const std::wstring folder = argv[1];
  const std::wstring label = argv[2];
  const int count = _wtoi(argv[3]);
  if (count <= 0) return 2;

  // Both writers wait at the same gate, so their writes overlap.
  {
    const lss::UniqueHandle go(::OpenEventW(SYNCHRONIZE, FALSE, argv[4]));
    const lss::UniqueHandle ready(
        ::OpenSemaphoreW(SEMAPHORE_MODIFY_STATE, FALSE, (std::wstring(argv[4]) + L"Ready").c_str()));
    if (!go || !ready || !::ReleaseSemaphore(ready.get(), 1, nullptr)) return 3;
    if (::WaitForSingleObject(go.get(), 30000) != WAIT_OBJECT_0) return 3;
  }

  StoppedClock clock;
  lss::Win32FileSystem files;
  lss::RunLog log;
  log.Open(clock, files, ToUtf16(folder));
  if (!log.IsOpen()) return 4;

  // About 150 characters, so that an overwrite or an interleaving shows.
  const std::wstring filler(100, label.empty() ? L'x' : label[0]);
  for (int i = 1; i <= count; ++i) {
    wchar_t number[16];
    std::swprintf(number, 16, L"%04d", i);
    const std::wstring text = L"writer " + label + L" entry " + number + L" " + filler;
    try {
      log.Write(ToUtf16(text));
    } catch (lss::CException* error) {
      error->Delete();
      return 5;
    }
  }
  return 0;
}
