#pragma once
// The check tool's queries, each passed to the Win32 call that answers it.
#include "platform/check_queries.h"

namespace lss {

class Win32CheckQueries final : public CheckQueries {
 public:
  Win32CheckQueries() = default;

  bool IsFile(std::u16string_view path) override;
  bool IsFolder(std::u16string_view path) override;
  std::vector<Listed> ListFiles(std::u16string_view folder, std::u16string_view pattern) override;
  std::optional<Tail> ReadTail(std::u16string_view path, std::size_t maxBytes) override;
  std::optional<std::string> ReadAt(std::u16string_view path, std::uint64_t offset,
                                    std::size_t maxBytes) override;
  std::optional<std::u16string> FileVersion(std::u16string_view path) override;
  Status CreateEmptyFile(std::u16string_view path) override;
  Status RemoveFile(std::u16string_view path) override;
  Status CreateFolder(std::u16string_view path) override;
  Status RemoveFolder(std::u16string_view path) override;
  std::u16string SystemDirectory() override;
  std::u16string ProgramPath() override;
  std::uint16_t NativeMachine() override;
  std::u16string ComputerName() override;
  std::u16string UserName() override;
  std::u16string ExpandEnvironment(std::u16string_view text) override;
  bool IsProgramRunning(std::u16string_view imageName) override;
  MutexProbe ProbeMutex(std::u16string_view name) override;
  std::optional<std::int32_t> UtcOffsetMinutes(const LocalTime& local) override;
};

}  // namespace lss
