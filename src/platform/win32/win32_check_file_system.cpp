#include "platform/win32/win32_check_file_system.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>

#include "handles/win32_handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_program_version.h"

namespace lss {
namespace {

// One ReadFile or WriteFile call moves at most this much.
constexpr std::size_t kChunk = std::size_t{1} << 20;

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
    const auto chunk = static_cast<DWORD>(std::min(bytes.size() - done, kChunk));
    DWORD read = 0;
    if (!::ReadFile(file.get(), bytes.data() + done, chunk, &read, nullptr)) return std::nullopt;
    if (read == 0) break;  // the file was cut short meanwhile
    done += read;
  }
  bytes.resize(done);
  return bytes;
}

}  // namespace

std::optional<FileSystem::Tail> Win32CheckFileSystem::ReadTail(std::u16string_view path,
                                                               std::size_t maxBytes) {
  Tail tail;
  std::optional<std::string> bytes = ReadPart(path, 0, maxBytes, true, &tail.size);
  if (!bytes) return std::nullopt;
  tail.bytes = std::move(*bytes);
  return tail;
}

std::optional<std::string> Win32CheckFileSystem::ReadAt(std::u16string_view path,
                                                        std::uint64_t offset,
                                                        std::size_t maxBytes) {
  std::uint64_t size = 0;
  return ReadPart(path, offset, maxBytes, false, &size);
}

Status Win32CheckFileSystem::WriteNewFile(std::u16string_view path, std::string_view bytes) {
  const std::wstring name = ToWide(path);
  Status status = ERROR_SUCCESS;
  {
    const UniqueFile file(::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return static_cast<Status>(::GetLastError());
    std::size_t done = 0;
    while (done < bytes.size()) {
      const auto chunk = static_cast<DWORD>(std::min(bytes.size() - done, kChunk));
      DWORD written = 0;
      if (!::WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr)) {
        status = static_cast<Status>(::GetLastError());
        break;
      }
      if (written == 0) {
        status = ERROR_WRITE_FAULT;
        break;
      }
      done += written;
    }
    if (status == ERROR_SUCCESS && !::FlushFileBuffers(file.get())) {
      status = static_cast<Status>(::GetLastError());
    }
  }
  // The file is this call's own: a cut-short copy is worse than none.
  if (status != ERROR_SUCCESS) ::DeleteFileW(name.c_str());
  return status;
}

Status Win32CheckFileSystem::RemoveFolder(std::u16string_view path) {
  const std::wstring name = ToWide(path);
  return ::RemoveDirectoryW(name.c_str()) ? ERROR_SUCCESS : static_cast<Status>(::GetLastError());
}

std::optional<std::u16string> Win32CheckFileSystem::FileVersion(std::u16string_view path) {
  return ReadFileVersion(path);
}

}  // namespace lss
