#include "platform/win32/win32_process.h"

#include <windows.h>
#include <objbase.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "handles/win32_handles.h"
#include "platform/win32/wide_text.h"

namespace lss {
namespace {

// The TOKEN_USER of a process's token; empty when it cannot be read.
std::vector<BYTE> ProcessUser(HANDLE process) {
  UniqueHandle token;
  if (!::OpenProcessToken(process, TOKEN_QUERY, token.put())) return {};
  DWORD size = 0;
  ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  std::vector<BYTE> user(size);
  if (size == 0 || !::GetTokenInformation(token.get(), TokenUser, user.data(), size, &size)) {
    return {};
  }
  return user;
}

PSID SidOf(std::vector<BYTE>& user) { return reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid; }

}  // namespace

std::vector<std::u16string> Win32Process::Arguments() {
  // The C runtime has split the command line by the standard rules already;
  // asking shell32 to do it again would load that large DLL on every start.
  std::vector<std::u16string> arguments;
  if (__wargv == nullptr) return arguments;
  arguments.reserve(static_cast<std::size_t>(__argc));
  for (int i = 0; i < __argc; ++i) arguments.push_back(FromWide(__wargv[i]));
  return arguments;
}

HResult Win32Process::ComInitialize() { return ::CoInitialize(nullptr); }

void Win32Process::ComUninitialize() { ::CoUninitialize(); }

bool Win32Process::IsProgramRunning(std::u16string_view imageName) {
  std::vector<BYTE> me = ProcessUser(::GetCurrentProcess());
  const UniqueSnapshot snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (me.empty() || !snapshot) return false;
  const std::wstring wanted = ToWide(imageName);
  const DWORD self = ::GetCurrentProcessId();
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
       more = ::Process32NextW(snapshot.get(), &entry)) {
    if (entry.th32ProcessID == self || ::lstrcmpiW(entry.szExeFile, wanted.c_str()) != 0) continue;
    const UniqueHandle process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
    if (!process) continue;  // another user's, or gone by now
    std::vector<BYTE> owner = ProcessUser(process.get());
    if (!owner.empty() && ::EqualSid(SidOf(owner), SidOf(me))) return true;
  }
  return false;
}

}  // namespace lss
