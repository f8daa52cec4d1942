#include "platform/win32/win32_check_queries.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "handles/win32_handles.h"
#include "platform/win32/system_library.h"
#include "platform/win32/token_user.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_program_version.h"
#include "platform/win32/win32_environment.h"

namespace lss {
namespace {

// At most `maxBytes` of a file: from `offset`, or with `tail` its last;
// `size` gets the whole file's size. Opened shared for writing and deleting,
// so a run that is writing its log goes on.
std::optional<std::string> ReadPart(std::u16string_view path, std::uint64_t offset,
                                    std::size_t maxBytes, bool tail, std::uint64_t* size) {
  const std::wstring name = ToWide(path);
  const UniqueFile file(::CreateFileW(name.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER length{};
  if (!file || !::GetFileSizeEx(file.get(), &length)) return std::nullopt;
  *size = static_cast<std::uint64_t>(length.QuadPart);
  const std::uint64_t from = tail ? *size - std::min<std::uint64_t>(*size, maxBytes)
                                  : std::min<std::uint64_t>(offset, *size);
  const std::uint64_t wanted = std::min<std::uint64_t>(*size - from, maxBytes);
  if (from != 0) {
    LARGE_INTEGER start{};
    start.QuadPart = static_cast<LONGLONG>(from);
    if (!::SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN)) return std::nullopt;
  }
  std::string bytes(static_cast<std::size_t>(wanted), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    DWORD read = 0;
    if (!::ReadFile(file.get(), bytes.data() + done, chunk, &read, nullptr)) return std::nullopt;
    if (read == 0) break;  // the file was cut short meanwhile
    done += read;
  }
  bytes.resize(done);
  return bytes;
}

DWORD Attributes(std::u16string_view path) {
  const std::wstring name = ToWide(path);
  return ::GetFileAttributesW(name.c_str());
}

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

bool Win32CheckQueries::IsFile(std::u16string_view path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32CheckQueries::IsFolder(std::u16string_view path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<CheckQueries::Listed> Win32CheckQueries::ListFiles(std::u16string_view folder,
                                                               std::u16string_view pattern) {
  std::wstring query = ToWide(folder);
  if (!query.empty() && query.back() != L'\\') query.push_back(L'\\');
  query += ToWide(pattern);
  std::vector<Listed> listed;
  WIN32_FIND_DATAW found{};
  const UniqueFind search(::FindFirstFileW(query.c_str(), &found));
  if (!search) return listed;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    listed.push_back(
        {FromWide(found.cFileName), std::uint64_t{found.nFileSizeHigh} << 32 | found.nFileSizeLow});
  } while (::FindNextFileW(search.get(), &found));
  return listed;
}

std::optional<CheckQueries::Tail> Win32CheckQueries::ReadTail(std::u16string_view path,
                                                              std::size_t maxBytes) {
  Tail tail;
  std::optional<std::string> bytes = ReadPart(path, 0, maxBytes, true, &tail.size);
  if (!bytes) return std::nullopt;
  tail.bytes = std::move(*bytes);
  return tail;
}

std::optional<std::string> Win32CheckQueries::ReadAt(std::u16string_view path,
                                                     std::uint64_t offset, std::size_t maxBytes) {
  std::uint64_t size = 0;
  return ReadPart(path, offset, maxBytes, false, &size);
}

std::optional<std::u16string> Win32CheckQueries::FileVersion(std::u16string_view path) {
  return ReadFileVersion(path);
}

Status Win32CheckQueries::CreateEmptyFile(std::u16string_view path) {
  const std::wstring name = ToWide(path);
  const UniqueFile file(::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_TEMPORARY, nullptr));
  return file ? ERROR_SUCCESS : static_cast<Status>(::GetLastError());
}

Status Win32CheckQueries::RemoveFile(std::u16string_view path) {
  const std::wstring name = ToWide(path);
  return ::DeleteFileW(name.c_str()) ? ERROR_SUCCESS : static_cast<Status>(::GetLastError());
}

Status Win32CheckQueries::CreateFolder(std::u16string_view path) {
  const std::wstring name = ToWide(path);
  return ::CreateDirectoryW(name.c_str(), nullptr) ? ERROR_SUCCESS
                                                   : static_cast<Status>(::GetLastError());
}

Status Win32CheckQueries::RemoveFolder(std::u16string_view path) {
  const std::wstring name = ToWide(path);
  return ::RemoveDirectoryW(name.c_str()) ? ERROR_SUCCESS : static_cast<Status>(::GetLastError());
}

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

std::u16string Win32CheckQueries::ExpandEnvironment(std::u16string_view text) {
  return ExpandEnvironmentText(text);
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
