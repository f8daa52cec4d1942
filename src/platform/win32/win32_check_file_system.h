#pragma once
// The whole file system, the check tool's own verbs included: reading parts
// of files, writing new ones, removing folders and reading file versions.
// Only LSSchedulerCheck.exe links it, so the scheduler imports none of them.
#include "platform/win32/win32_file_system.h"

namespace lss {

class Win32CheckFileSystem final : public Win32FileSystem {
 public:
  Win32CheckFileSystem() = default;

  std::optional<Tail> ReadTail(std::u16string_view path, std::size_t maxBytes) override;
  std::optional<std::string> ReadAt(std::u16string_view path, std::uint64_t offset,
                                    std::size_t maxBytes) override;
  Status WriteNewFile(std::u16string_view path, std::string_view bytes) override;
  Status RemoveFolder(std::u16string_view path) override;
  std::optional<std::u16string> FileVersion(std::u16string_view path) override;
};

}  // namespace lss
