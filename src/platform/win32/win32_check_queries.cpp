#include "platform/win32/win32_check_queries.h"

#include <windows.h>
#include <tlhelp32.h>

#include <string>
#include <utility>
#include <vector>

#include "handles/win32_handles.h"
#include "platform/win32/system_library.h"
#include "platform/win32/token_user.h"
#include "platform/win32/wide_text.h"

namespace lss {
namespace {

// RTL_OSVERSIONINFOW's layout; ntdll's RtlGetVersion fills it truthfully,
// where GetVersionExW answers what the manifest lets the program know.
using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);

// DOMAIN\name of the account that owns this process's token; empty when it
// cannot be read.
std::u16string TokenAccount() {
  std::vector<BYTE> user = ProcessUser(::GetCurrentProcess());
  if (user.empty()) return {};
  wchar_t name[256 + 1];
  wchar_t domain[256 + 1];
  DWORD nameLength = 256 + 1;
  DWORD domainLength = 256 + 1;
  SID_NAME_USE use{};
  if (!::LookupAccountSidW(nullptr, SidOf(user), name, &nameLength, domain, &domainLength, &use)) {
    return {};
  }
  return FromWide(domain) + u"\\" + FromWide(name);
}

}  // namespace

std::u16string Win32CheckQueries::SystemDirectory() {
  wchar_t buffer[MAX_PATH + 1];
  const UINT length = ::GetSystemDirectoryW(buffer, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return {};
  return FromWide(buffer, length);
}

std::u16string Win32CheckQueries::ProgramPath() {
  // Long paths need more than MAX_PATH; the call cuts short without saying so
  // other than by filling the whole buffer.
  for (DWORD capacity = MAX_PATH + 1; capacity <= 32768; capacity *= 2) {
    std::wstring buffer(capacity, L'\0');
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), capacity);
    if (length == 0) return {};
    if (length < capacity) return FromWide(buffer.c_str(), length);
  }
  return {};
}

std::uint16_t Win32CheckQueries::NativeMachine() {
  // Only IsWow64Process2 sees through x64 emulation on Arm, and it is not in
  // every kernel32: looked up, not imported.
  using IsWow64Process2Function = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
  const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
  const auto isWow64Process2 =
      kernel32 == nullptr
          ? nullptr
          : ResolveFunction<IsWow64Process2Function>(kernel32, "IsWow64Process2");
  USHORT process = 0;
  USHORT native = 0;
  if (isWow64Process2 != nullptr && isWow64Process2(::GetCurrentProcess(), &process, &native)) {
    return native;
  }
  SYSTEM_INFO system{};
  ::GetNativeSystemInfo(&system);
  switch (system.wProcessorArchitecture) {
    case PROCESSOR_ARCHITECTURE_AMD64: return IMAGE_FILE_MACHINE_AMD64;
    case PROCESSOR_ARCHITECTURE_ARM64: return IMAGE_FILE_MACHINE_ARM64;
    case PROCESSOR_ARCHITECTURE_INTEL: return IMAGE_FILE_MACHINE_I386;
    default: return 0;
  }
}

std::u16string Win32CheckQueries::WindowsVersion() {
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  if (ntdll == nullptr) return {};
  const auto getVersion = ResolveFunction<RtlGetVersionFunction>(ntdll, "RtlGetVersion");
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (getVersion == nullptr || getVersion(&info) != 0) return {};
  const std::wstring text = std::to_wstring(info.dwMajorVersion) + L"." +
                            std::to_wstring(info.dwMinorVersion) + L"." +
                            std::to_wstring(info.dwBuildNumber);
  return FromWide(text.c_str());
}

std::u16string Win32CheckQueries::ComputerName() {
  wchar_t buffer[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
  if (!::GetComputerNameW(buffer, &length)) return {};
  return FromWide(buffer, length);
}

std::u16string Win32CheckQueries::UserName() {
  // The token's account gives what GetUserNameExW's NameSamCompatible gives,
  // without importing secur32.dll for it.
  return TokenAccount();
}

bool Win32CheckQueries::IsProgramRunning(std::u16string_view imageName) {
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

MutexProbe Win32CheckQueries::ProbeMutex(std::u16string_view name) {
  const std::wstring mutexName = ToWide(name);
  // MUTEX_MODIFY_STATE too: a mutex the wait takes must be released again.
  const UniqueHandle mutex(
      ::OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, mutexName.c_str()));
  if (!mutex) {
    const auto error = static_cast<Status>(::GetLastError());
    if (error == ERROR_FILE_NOT_FOUND) return {MutexState::kMissing, 0};
    if (error == ERROR_INVALID_HANDLE) return {MutexState::kOtherObject, 0};
    return {MutexState::kUnknown, error};
  }
  switch (::WaitForSingleObject(mutex.get(), 0)) {
    case WAIT_OBJECT_0: ::ReleaseMutex(mutex.get()); return {MutexState::kFree, 0};
    case WAIT_ABANDONED: ::ReleaseMutex(mutex.get()); return {MutexState::kAbandoned, 0};
    case WAIT_TIMEOUT: return {MutexState::kHeld, 0};
    default: return {MutexState::kUnknown, static_cast<Status>(::GetLastError())};
  }
}

std::optional<std::int32_t> Win32CheckQueries::UtcOffsetMinutes(const LocalTime& local) {
  if (local.year < 1601 || local.year > 30827) return std::nullopt;  // what a SYSTEMTIME holds
  const auto field = [](int value) { return static_cast<WORD>(value); };
  const SYSTEMTIME asLocal{field(local.year),   field(local.month),  0, field(local.day),
                           field(local.hour),   field(local.minute), field(local.second), 0};
  SYSTEMTIME asUtc{};
  FILETIME localTicks{};
  FILETIME utcTicks{};
  // The first call also refuses a day its month does not have.
  if (!::SystemTimeToFileTime(&asLocal, &localTicks) ||
      !::TzSpecificLocalTimeToSystemTime(nullptr, &asLocal, &asUtc) ||
      !::SystemTimeToFileTime(&asUtc, &utcTicks)) {
    return std::nullopt;
  }
  const auto ticks = [](const FILETIME& time) {
    return static_cast<std::int64_t>((std::uint64_t{time.dwHighDateTime} << 32) |
                                     time.dwLowDateTime);
  };
  constexpr std::int64_t kTicksPerMinute = 600'000'000;
  return static_cast<std::int32_t>((ticks(localTicks) - ticks(utcTicks)) / kTicksPerMinute);
}

}  // namespace lss
