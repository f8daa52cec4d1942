// OUTLOOK.EXE of olsim: records how LSScheduler started it, plays the add-in's
// synchronization and exits on the shared MAPI logoff, as Outlook would.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "common/config.h"
#include "common/journal.h"
#include "common/text.h"
#include "handles/win32_handles.h"
#include "outlook/addin.h"
#include "outlook/handoff.h"

namespace olsim {
namespace {

// Signalled by olmapi.dll's IMAPISession::Logoff with MAPI_LOGOFF_SHARED.
constexpr wchar_t kSharedLogoffEvent[] = L"OlsimSharedLogoff";

void JournalArguments(const Journal& journal) {
  int argc = 0;
  const lss::LocalMemory<LPWSTR> argv(CommandLineToArgvW(GetCommandLineW(), &argc));
  if (!argv) return;
  for (int index = 1; index < argc; ++index) {
    journal.Write("arg", {{"index", std::to_string(index)}, {"value", ToUtf8(argv.get()[index])}});
  }
}

// Until the shared logoff or StayMilliseconds after `startTick`.
const char* WaitForLogoff(HANDLE logoffEvent, ULONGLONG startTick, DWORD stayMilliseconds) {
  const ULONGLONG elapsed = GetTickCount64() - startTick;
  const DWORD remaining =
      elapsed >= stayMilliseconds ? 0 : static_cast<DWORD>(stayMilliseconds - elapsed);
  if (logoffEvent == nullptr) {
    Sleep(remaining);
    return "timeout";
  }
  return WaitForSingleObject(logoffEvent, remaining) == WAIT_OBJECT_0 ? "logoff" : "timeout";
}

int Run() {
  const ULONGLONG startTick = GetTickCount64();
  const Config config = ReadConfig();
  const Journal journal(config.journalPath, "outlook");

  // Created before anything is journalled: once `start` is in the journal a
  // logoff cannot be missed. Reset in case an earlier instance left it set.
  const lss::UniqueHandle logoffEvent(CreateEventW(nullptr, TRUE, FALSE, kSharedLogoffEvent));
  if (logoffEvent) ResetEvent(logoffEvent.get());

  journal.Write("start", {{"cmdline", ToUtf8(GetCommandLineW())}});
  JournalArguments(journal);
  JournalHandoff(journal);

  AddinSync addin;
  if (addin.Play(config, journal) == SyncOutcome::kAbandoned) {
    journal.Write("exit", {{"reason", "abandon"}});
    return 0;
  }
  const char* reason = WaitForLogoff(logoffEvent.get(), startTick, config.stayMilliseconds);
  journal.Write("exit", {{"reason", reason}});
  return 0;
}

}  // namespace
}  // namespace olsim

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return olsim::Run(); }
